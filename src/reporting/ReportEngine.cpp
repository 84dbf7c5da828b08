#include "reporting/ReportEngine.h"

#include "dataset/DataSet.h"
#include "dataset/Errors.h"
#include "dataset/Formats.h"
#include "ui/Seams.h"
#include "store/DataModule.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QHash>
#include <QTextDocument>
#include <QTextOption>

namespace report {

namespace {

const QString Magic = QStringLiteral("korvel-report");

// Splits a line into words; "double quoted" words may hold blanks.
QStringList words(const QString &line, bool *ok)
{
    QStringList out;
    QString cur;
    bool inQuote = false, have = false;
    for (const QChar c : line) {
        if (inQuote) {
            if (c == u'"')
                inQuote = false;
            else
                cur += c;
        } else if (c == u'"') {
            inQuote = true;
            have = true;
        } else if (c.isSpace()) {
            if (have || !cur.isEmpty())
                out << cur;
            cur.clear();
            have = false;
        } else {
            cur += c;
        }
    }
    if (have || !cur.isEmpty())
        out << cur;
    *ok = !inQuote;
    return out;
}

QString lineError(int line, const QString &reason)
{
    return QStringLiteral("第%1行：%2").arg(line).arg(reason);
}

// alias.field, or @today for the day of printing.
bool validRef(const QString &ref, const QHash<QString, QString> &aliases, QString *why)
{
    if (ref == QLatin1String("@today"))
        return true;
    const int dot = int(ref.indexOf(u'.'));
    if (dot <= 0 || dot == ref.size() - 1) {
        *why = QStringLiteral("“%1”不是“别名.字段”的形式").arg(ref);
        return false;
    }
    if (!aliases.contains(ref.left(dot).toLower())) {
        *why = QStringLiteral("没有声明数据连接别名“%1”").arg(ref.left(dot));
        return false;
    }
    return true;
}

// Text of a value in a printout: money and numbers in the general number format,
// dates as short dates.
QString valueText(const FieldDef &def, const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return {};
    if (v.metaType() == QMetaType::fromType<Money>())
        return v.value<Money>().toString();
    if (v.metaType().id() == QMetaType::QDateTime)
        return fmt::shortDate(v.toDateTime().date());
    if (v.metaType().id() == QMetaType::QDate)
        return fmt::shortDate(v.toDate());
    if (v.metaType().id() == QMetaType::Double)
        return fmt::generalNumber(v.toDouble());
    if (def.type == FieldType::Blob)
        return {};
    return v.toString();
}

class Runner {
public:
    Runner(DataModule &main, const Project &p) : main_(main), p_(p) {}

    // Throws InputError naming what does not fit.
    void resolve()
    {
        for (const auto &c : p_.connections) {
            DataSet *ds = main_.reportConnection(c.second);
            if (!ds)
                throw InputError(QStringLiteral("没有名为“%1”的数据连接").arg(c.second));
            sets_.insert(c.first.toLower(), ds);
        }
        auto need = [this](const QString &alias, const QString &field) {
            DataSet *ds = sets_.value(alias.toLower());
            if (ds->fieldIndex(field) < 0)
                throw InputError(QStringLiteral("数据连接“%1”中没有字段“%2”").arg(alias, field));
        };
        auto needRef = [&](const QString &ref) {
            if (ref.startsWith(u'@'))
                return;
            const int dot = int(ref.indexOf(u'.'));
            need(ref.left(dot), ref.mid(dot + 1));
        };
        needRef(p_.titleRef);
        for (const auto &h : p_.headers)
            needRef(h.second);
        if (!p_.companyAlias.isEmpty())
            for (const char *f : {"d", "m", "h", "o", "n", "k", "l", "i", "j"})
                need(p_.companyAlias, QString::fromLatin1(f));
        if (!p_.detailAlias.isEmpty()) {
            for (const Column &c : p_.columns)
                need(p_.detailAlias, c.field);
            for (const Total &t : p_.totals)
                if (t.kind == Total::Sum)
                    need(p_.detailAlias, t.field);
        }
    }

    QString title()
    {
        const QString t = ref(p_.titleRef).trimmed();
        return t.isEmpty() ? p_.titleFallback : t;
    }

    QString html(const QString &title)
    {
        QString h;
        h += QStringLiteral("<html><body>");
        h += QStringLiteral("<p align=\"center\" style=\"font-size:17pt; font-weight:bold; margin-bottom:2px\">%1</p>")
                 .arg(title.toHtmlEscaped());
        if (!p_.subtitle.isEmpty())
            h += QStringLiteral("<p align=\"center\" style=\"font-size:13pt; margin:0\">%1</p>")
                     .arg(p_.subtitle.toHtmlEscaped());
        h += companyTop(title);
        h += headerBlock();
        h += detailTable();
        h += totalsLine();
        h += companyBottom();
        for (const QString &f : p_.footers)
            h += QStringLiteral("<p style=\"margin-top:14px\">%1</p>")
                     .arg(f.toHtmlEscaped().replace(u' ', QStringLiteral("&nbsp;")));
        h += QStringLiteral("</body></html>");
        return h;
    }

private:
    DataSet *set(const QString &alias) const { return sets_.value(alias.toLower()); }

    // A reference reads the first row of its connection: the single row of kr and by1,
    // the first line of an invoice.
    QString ref(const QString &r)
    {
        if (r == QLatin1String("@today"))
            return fmt::shortDate(QDate::currentDate());
        const int dot = int(r.indexOf(u'.'));
        return firstRowText(set(r.left(dot)), r.mid(dot + 1));
    }

    static QString firstRowText(DataSet *ds, const QString &field)
    {
        if (!ds || ds->recordCount() == 0)
            return {};
        const int col = ds->fieldIndex(field);
        return valueText(ds->fieldDef(col), ds->rowValue(0, col));
    }

    QString company(const char *field)
    {
        return firstRowText(set(p_.companyAlias), QString::fromLatin1(field)).trimmed();
    }

    static QString pair(const QString &label, const QString &value)
    {
        return QStringLiteral("%1：%2").arg(label.toHtmlEscaped(), value.toHtmlEscaped());
    }

    QString companyTop(const QString &title)
    {
        if (p_.companyAlias.isEmpty())
            return {};
        QString h;
        const QString name = company("d");
        if (!name.isEmpty() && !title.contains(name))
            h += QStringLiteral("<p align=\"center\" style=\"font-size:12pt; margin:0\">%1</p>").arg(name.toHtmlEscaped());
        QStringList parts;
        const QString addr = company("i");
        if (!addr.isEmpty())
            parts << pair(QStringLiteral("地址"), addr);
        const struct { const char *f; const char16_t *label; } items[] = {
            {"m", u"联系人"}, {"h", u"电话"}, {"o", u"手机"}, {"n", u"传真"}};
        for (const auto &it : items) {
            const QString v = company(it.f);
            if (!v.isEmpty())
                parts << pair(QString::fromUtf16(it.label), v);
        }
        if (!parts.isEmpty())
            h += QStringLiteral("<p align=\"center\" style=\"font-size:9pt; color:#333333; margin:0\">%1</p>")
                     .arg(parts.join(QStringLiteral("&nbsp;&nbsp;&nbsp;")));
        return h;
    }

    QString companyBottom()
    {
        if (p_.companyAlias.isEmpty())
            return {};
        QStringList parts;
        const QString k = company("k"), l = company("l"), j = company("j");
        if (!k.isEmpty())
            parts << pair(QStringLiteral("帐号"), k);
        if (!l.isEmpty())
            parts << pair(QStringLiteral("帐号"), l);
        if (!j.isEmpty())
            parts << pair(QStringLiteral("备注"), j);
        if (parts.isEmpty())
            return {};
        return QStringLiteral("<p style=\"font-size:9pt; margin-top:10px\">%1</p>").arg(parts.join(QStringLiteral("<br>")));
    }

    QString headerBlock()
    {
        if (p_.headers.isEmpty())
            return {};
        QString h = QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"3\" style=\"margin-top:10px\"><tr>");
        int n = 0;
        for (const auto &hd : p_.headers) {
            if (n > 0 && n % 3 == 0)
                h += QStringLiteral("</tr><tr>");
            h += QStringLiteral("<td width=\"33%\"><b>%1：</b>%2</td>")
                     .arg(hd.first.toHtmlEscaped(), ref(hd.second).toHtmlEscaped());
            ++n;
        }
        h += QStringLiteral("</tr></table>");
        return h;
    }

    static QString alignAttr(Qt::Alignment a)
    {
        if (a & Qt::AlignRight)
            return QStringLiteral("right");
        if (a & Qt::AlignHCenter)
            return QStringLiteral("center");
        return QStringLiteral("left");
    }

    // Walks the rows by index: the data set's current row, state and edits stay as they are.
    QString detailTable()
    {
        if (p_.detailAlias.isEmpty() || p_.columns.isEmpty())
            return {};
        DataSet *ds = set(p_.detailAlias);
        int weight = 0;
        for (const Column &c : p_.columns)
            weight += c.width;
        QString h = QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\" "
                                   "style=\"border-collapse:collapse; border-color:#555555; margin-top:6px\">");
        // Headings stay on one line, and so do numbers and dates; texts (names, remarks)
        // wrap inside their column, so that every column of a line stays on the page.
        h += QStringLiteral("<thead><tr style=\"background-color:#e6e6e6\">");
        for (const Column &c : p_.columns)
            h += QStringLiteral("<th width=\"%1%\" align=\"center\" style=\"white-space:nowrap\">%2</th>")
                     .arg(c.width * 100 / std::max(weight, 1))
                     .arg(c.heading.toHtmlEscaped());
        h += QStringLiteral("</tr></thead>");

        QList<int> cols;
        for (const Column &c : p_.columns)
            cols << ds->fieldIndex(c.field);
        rows_ = ds->recordCount();
        for (const Total &t : p_.totals)
            if (t.kind == Total::Sum)
                sums_.insert(t.field.toLower(), Sum{});
        for (int r = 0; r < rows_; ++r) {
            h += QStringLiteral("<tr>");
            for (int i = 0; i < cols.size(); ++i) {
                const FieldDef &def = ds->fieldDef(cols[i]);
                const bool wraps = def.type == FieldType::Text || def.type == FieldType::Memo;
                h += QStringLiteral("<td align=\"%1\"%2>%3</td>")
                         .arg(alignAttr(p_.columns[i].align),
                              wraps ? QString() : QStringLiteral(" style=\"white-space:nowrap\""),
                              valueText(def, ds->rowValue(r, cols[i])).toHtmlEscaped());
            }
            h += QStringLiteral("</tr>");
            for (auto it = sums_.begin(); it != sums_.end(); ++it) {
                const int col = ds->fieldIndex(it.key());
                add(it.value(), ds->fieldDef(col), ds->rowValue(r, col));
            }
        }
        if (rows_ == 0)
            h += QStringLiteral("<tr><td colspan=\"%1\" align=\"center\">（无记录）</td></tr>").arg(cols.size());
        h += QStringLiteral("</table>");
        return h;
    }

    struct Sum {
        Money money;
        qint64 whole = 0;
        double real = 0;
    };

    static void add(Sum &s, const FieldDef &def, const QVariant &v)
    {
        switch (def.type) {
        case FieldType::SmallInt:
        case FieldType::Integer:
        case FieldType::AutoInc:
            s.whole += v.toLongLong();
            break;
        case FieldType::Float:
            s.real += v.toDouble();
            break;
        default:
            s.money += fmt::toMoney(v);
            break;
        }
    }

    QString sumText(const QString &field) const
    {
        const Sum s = sums_.value(field.toLower());
        DataSet *ds = set(p_.detailAlias);
        const FieldType type = ds->fieldDef(ds->fieldIndex(field)).type;
        switch (type) {
        case FieldType::SmallInt:
        case FieldType::Integer:
        case FieldType::AutoInc:
            return QString::number(s.whole);
        case FieldType::Float:
            return fmt::generalNumber(s.real);
        default:
            return s.money.toString();
        }
    }

    QString totalsLine()
    {
        if (p_.totals.isEmpty())
            return {};
        QStringList parts;
        for (const Total &t : p_.totals)
            parts << QStringLiteral("<b>%1：</b>%2")
                         .arg(t.label.toHtmlEscaped(),
                              t.kind == Total::Count ? QString::number(rows_) : sumText(t.field).toHtmlEscaped());
        return QStringLiteral("<p align=\"right\" style=\"font-size:11pt; margin-top:6px\">%1</p>")
            .arg(parts.join(QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;")));
    }

    DataModule &main_;
    const Project &p_;
    QHash<QString, DataSet *> sets_;
    QHash<QString, Sum> sums_;
    int rows_ = 0;
};

} // namespace

std::optional<Project> parseProject(const QString &text, QString *error)
{
    Project p;
    QHash<QString, QString> aliases;
    bool sawMagic = false, sawTitle = false;
    int detailLine = 0;
    const QStringList lines = text.split(u'\n');
    auto fail = [&](int line, const QString &reason) {
        if (error)
            *error = lineError(line, reason);
        return std::nullopt;
    };
    for (int n = 1; n <= lines.size(); ++n) {
        const QString line = lines[n - 1].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        bool ok = true;
        const QStringList w = words(line, &ok);
        if (!ok)
            return fail(n, QStringLiteral("引号没有配对"));
        const QString key = w[0].toLower();
        if (!sawMagic) {
            if (key != Magic || w.size() != 2 || w[1] != QLatin1String("1"))
                return fail(n, QStringLiteral("文件应以“korvel-report 1”开头"));
            sawMagic = true;
            continue;
        }
        QString why;
        if (key == QLatin1String("connection")) {
            if (w.size() != 3)
                return fail(n, QStringLiteral("connection 需要别名和数据连接名"));
            if (aliases.contains(w[1].toLower()))
                return fail(n, QStringLiteral("别名“%1”重复").arg(w[1]));
            aliases.insert(w[1].toLower(), w[2]);
            p.connections.append({w[1], w[2]});
        } else if (key == QLatin1String("title")) {
            if (w.size() < 2 || w.size() > 3)
                return fail(n, QStringLiteral("title 需要一个字段引用和可选的备用标题"));
            if (!validRef(w[1], aliases, &why))
                return fail(n, why);
            p.titleRef = w[1];
            p.titleFallback = w.value(2);
            sawTitle = true;
        } else if (key == QLatin1String("company")) {
            if (w.size() != 2 || !aliases.contains(w[1].toLower()))
                return fail(n, QStringLiteral("company 需要一个已声明的别名"));
            p.companyAlias = w[1];
        } else if (key == QLatin1String("header")) {
            if (w.size() != 3)
                return fail(n, QStringLiteral("header 需要标签和字段引用"));
            if (!validRef(w[2], aliases, &why))
                return fail(n, why);
            p.headers.append({w[1], w[2]});
        } else if (key == QLatin1String("detail")) {
            if (w.size() != 2 || !aliases.contains(w[1].toLower()))
                return fail(n, QStringLiteral("detail 需要一个已声明的别名"));
            p.detailAlias = w[1];
            detailLine = n;
        } else if (key == QLatin1String("column")) {
            if (p.detailAlias.isEmpty())
                return fail(n, QStringLiteral("column 必须写在 detail 之后"));
            if (w.size() != 5)
                return fail(n, QStringLiteral("column 需要字段、标题、宽度和对齐方式"));
            Column c;
            c.field = w[1];
            c.heading = w[2];
            bool num = false;
            c.width = w[3].toInt(&num);
            if (!num || c.width < 1 || c.width > 100)
                return fail(n, QStringLiteral("宽度“%1”应为1到100的整数").arg(w[3]));
            const QString a = w[4].toLower();
            if (a == QLatin1String("left"))
                c.align = Qt::AlignLeft;
            else if (a == QLatin1String("center"))
                c.align = Qt::AlignHCenter;
            else if (a == QLatin1String("right"))
                c.align = Qt::AlignRight;
            else
                return fail(n, QStringLiteral("对齐方式“%1”应为 left、center 或 right").arg(w[4]));
            p.columns.append(c);
        } else if (key == QLatin1String("total")) {
            if (p.detailAlias.isEmpty())
                return fail(n, QStringLiteral("total 必须写在 detail 之后"));
            Total t;
            if (w.size() == 4 && w[1].toLower() == QLatin1String("sum")) {
                t.kind = Total::Sum;
                t.field = w[2];
                t.label = w[3];
            } else if (w.size() == 3 && w[1].toLower() == QLatin1String("count")) {
                t.kind = Total::Count;
                t.label = w[2];
            } else {
                return fail(n, QStringLiteral("total 应写作“total sum 字段 标签”或“total count 标签”"));
            }
            p.totals.append(t);
        } else if (key == QLatin1String("fontsize")) {
            bool num = false;
            const int size = w.value(1).toInt(&num);
            if (w.size() != 2 || !num || size < 6 || size > 16)
                return fail(n, QStringLiteral("fontsize 应为6到16之间的整数"));
            p.fontSize = size;
        } else if (key == QLatin1String("subtitle")) {
            p.subtitle = line.mid(w[0].size()).trimmed();
        } else if (key == QLatin1String("footer")) {
            p.footers.append(line.mid(w[0].size()).trimmed());
        } else {
            return fail(n, QStringLiteral("不认识的关键字“%1”").arg(w[0]));
        }
    }
    if (!sawMagic)
        return fail(1, QStringLiteral("文件是空的"));
    if (!sawTitle)
        return fail(int(lines.size()), QStringLiteral("缺少 title"));
    if (!p.detailAlias.isEmpty() && p.columns.isEmpty())
        return fail(detailLine, QStringLiteral("detail 之后至少需要一个 column"));
    return p;
}

void runProject(DataModule &main, QWidget *parent, const QString &file)
{
    const QString path = QDir::current().absoluteFilePath(file);
    if (!QFileInfo(path).isFile()) {
        ui::message(parent, QStringLiteral("The following reporting project does not exist:\n\"%1\"").arg(path));
        return;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ui::message(parent, QStringLiteral("无法读取报表工程文件：\n\"%1\"\n%2").arg(path, f.errorString()), QString(),
                    ui::Icon::Warning);
        return;
    }
    const QString text = QString::fromUtf8(f.readAll());
    QString why;
    const std::optional<Project> p = parseProject(text, &why);
    if (!p) {
        ui::message(parent, QStringLiteral("报表工程文件格式错误：\n\"%1\"\n%2").arg(path, why), QString(),
                    ui::Icon::Warning);
        return;
    }
    Runner runner(main, *p);
    try {
        runner.resolve();
    } catch (const InputError &e) {
        ui::message(parent, QStringLiteral("报表工程文件与数据不符：\n\"%1\"\n%2").arg(path, e.message()), QString(),
                    ui::Icon::Warning);
        return;
    }
    QString title = runner.title();
    if (title.isEmpty())
        title = QFileInfo(path).completeBaseName();
    QTextDocument doc;
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPointSize(p->fontSize);
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0);
    // A long word without a break (a code, a Latin name) breaks anywhere rather than
    // pushing the columns after it off the page.
    QTextOption wrap = doc.defaultTextOption();
    wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    doc.setDefaultTextOption(wrap);
    doc.setHtml(runner.html(title));
    ui::seams().print(parent, title, doc);
}

} // namespace report
