#include "dbwidgets/SheetWriter.h"

#include "dataset/Errors.h"
#include "dataset/Formats.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <cerrno>
#include <clocale>
#include <cstdio>

namespace sheet {

namespace {

// Widest column, in character units: longer texts wrap out of sight as in the grid.
constexpr int MaxWidth = 60;
// Rows between checks of the engine's temporary data for a failed write.
constexpr qint64 CheckEvery = 4096;
// Longest text a spreadsheet cell holds.
constexpr int MaxCellText = 32767;

QString reasonOf(int err)
{
    switch (err) {
    case ENOSPC:
    case EFBIG:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("磁盘空间不足");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("没有写入这个文件夹的权限");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("文件夹不存在");
    case EISDIR:
        return QStringLiteral("同名的文件夹已经存在");
    default:
        return QStringLiteral("写入出错");
    }
}

// The folder's own state tells most failures apart before the system's error number does.
int folderError(const QString &target)
{
    const QFileInfo dir(QFileInfo(target).absolutePath());
    if (!dir.exists())
        return ENOENT;
    if (!dir.isDir())
        return ENOTDIR;
    if (!dir.isWritable())
        return EACCES;
    if (QFileInfo(target).isDir())
        return EISDIR;
    return 0;
}

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// Decimals a money value needs (0 to 4): the grid shows no trailing zeros.
int decimalsOf(Money m)
{
    qint64 r = m.raw() < 0 ? -m.raw() : m.raw();
    int d = 4;
    while (d > 0 && r % 10 == 0) {
        r /= 10;
        --d;
    }
    return d;
}

// Characters of the amount as the grid shows it, counted without making the text: the
// width is worked out for every money cell of a long list.
int moneyWidth(Money m)
{
    unsigned long long a = m.raw() < 0 ? 0ULL - (unsigned long long)m.raw() : (unsigned long long)m.raw();
    a /= Money::Scale;
    int w = m.raw() < 0 ? 2 : 1;
    for (; a >= 10; a /= 10)
        ++w;
    const int d = decimalsOf(m);
    return d ? w + 1 + d : w;
}

bool isInteger(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool isText(const FieldDef &def) { return def.type == FieldType::Text || def.type == FieldType::Memo; }

// The engine writes numbers with the C library's printf, which follows LC_NUMERIC: under a
// locale with a decimal comma the workbook would hold "12,5" and open broken.
class CNumericLocale {
public:
    CNumericLocale()
    {
        const char *old = std::setlocale(LC_NUMERIC, nullptr);
        saved_ = old ? QByteArray(old) : QByteArray("C");
        std::setlocale(LC_NUMERIC, "C");
    }
    ~CNumericLocale() { std::setlocale(LC_NUMERIC, saved_.constData()); }
    CNumericLocale(const CNumericLocale &) = delete;
    CNumericLocale &operator=(const CNumericLocale &) = delete;

private:
    QByteArray saved_;
};

// ---------------------------------------------------------------- xlsx

class XlsxWriter : public Writer {
public:
    explicit XlsxWriter(const QString &target) : Writer(target)
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        wb_ = workbook_new_opt(QFile::encodeName(tempPath()).constData(), &options);
        if (wb_)
            ws_ = workbook_add_worksheet(wb_, nullptr);
        if (!ws_) {
            const int err = errno ? errno : ENOSPC;
            if (wb_)
                lxw_workbook_free(wb_);
            wb_ = nullptr;
            fail(err);
        }
        headerFormat_ = workbook_add_format(wb_);
        format_set_bold(headerFormat_);
        format_set_bottom(headerFormat_, LXW_BORDER_THIN);
        format_set_bg_color(headerFormat_, 0xE8EEF7);
        for (int d = 0; d <= 4; ++d) {
            moneyFormat_[d] = workbook_add_format(wb_);
            const QByteArray pattern = d == 0 ? QByteArray("0") : "0." + QByteArray(d, '0');
            format_set_num_format(moneyFormat_[d], pattern.constData());
        }
        integerFormat_ = workbook_add_format(wb_);
        format_set_num_format(integerFormat_, "0");
        dateFormat_ = workbook_add_format(wb_);
        format_set_num_format(dateFormat_, "yyyy-m-d h:mm:ss");
    }

    ~XlsxWriter() override
    {
        if (wb_)
            lxw_workbook_free(wb_);
    }

    void header(const QList<Column> &columns) override
    {
        columns_ = columns;
        widths_.fill(0, columns.size());
        for (int c = 0; c < columns.size(); ++c) {
            text(0, c, columns[c].label, headerFormat_);
            widths_[c] = textWidth(columns[c].label);
        }
        worksheet_freeze_panes(ws_, 1, 0);
        row_ = 0;
    }

    void row(const QVariantList &values) override
    {
        ++row_;
        for (int c = 0; c < columns_.size() && c < values.size(); ++c)
            cell(c, values[c]);
        if (row_ % CheckEvery == 0)
            checkTemporaryData();
    }

protected:
    void writeTotals(const QList<Total> &totals) override
    {
        lxw_row_t r = lxw_row_t(row_ + 1);
        for (const Total &t : totals) {
            ++r;
            text(r, 0, t.label, nullptr);
            widen(0, textWidth(t.label));
            if (t.value) {
                money(r, 1, *t.value);
                widen(1, moneyWidth(*t.value));
            }
        }
    }

    void close() override
    {
        checkTemporaryData();
        for (int c = 0; c < widths_.size(); ++c)
            worksheet_set_column(ws_, lxw_col_t(c), lxw_col_t(c), std::min(widths_[c] + 2, MaxWidth), nullptr);
        errno = 0;
        lxw_workbook *wb = wb_;
        wb_ = nullptr;  // closing frees it, whatever the outcome
        if (workbook_close(wb) != LXW_NO_ERROR)
            fail(errno ? errno : ENOSPC);
    }

private:
    void cell(int c, const QVariant &v)
    {
        if (!v.isValid() || v.isNull())
            return;
        const lxw_row_t r = lxw_row_t(row_);
        const lxw_col_t col = lxw_col_t(c);
        if (v.metaType() == QMetaType::fromType<Money>()) {
            const Money m = v.value<Money>();
            money(r, col, m);
            widen(c, moneyWidth(m));
        } else if (v.metaType().id() == QMetaType::QDateTime) {
            const QDateTime dt = v.toDateTime();
            if (!dt.isValid() || dt.date().year() < 1900) {
                text(r, col, fmt::displayDateTime(dt), nullptr);
                return;
            }
            lxw_datetime d{dt.date().year(), dt.date().month(), dt.date().day(), dt.time().hour(),
                           dt.time().minute(), dt.time().second() + dt.time().msec() / 1000.0};
            worksheet_write_datetime(ws_, r, col, &d, dateFormat_);
            widen(c, 18);
        } else if (isInteger(v)) {
            const qlonglong n = v.toLongLong();
            worksheet_write_number(ws_, r, col, double(n), integerFormat_);
            widen(c, QString::number(n).size());
        } else if (v.metaType().id() == QMetaType::Double) {
            worksheet_write_number(ws_, r, col, v.toDouble(), nullptr);
            widen(c, fmt::generalNumber(v.toDouble()).size());
        } else {
            const QString s = cellText(columns_[c].def, v);
            text(r, col, s, nullptr);
            widen(c, textWidth(s));
        }
    }

    void money(lxw_row_t r, lxw_col_t c, Money m)
    {
        worksheet_write_number(ws_, r, c, double(m.raw()) / Money::Scale, moneyFormat_[decimalsOf(m)]);
    }

    // Always a string cell: a name beginning with "=" stays a name, never a formula.
    void text(lxw_row_t r, lxw_col_t c, const QString &s, lxw_format *f)
    {
        if (s.isEmpty())
            return;
        const QByteArray utf8 = (s.size() > MaxCellText ? s.left(MaxCellText) : s).toUtf8();
        worksheet_write_string(ws_, r, c, utf8.constData(), f);
    }

    void widen(int c, int w)
    {
        if (c < widths_.size() && w > widths_[c])
            widths_[c] = w;
        else if (c >= widths_.size()) {
            widths_.resize(c + 1, 0);
            widths_[c] = w;
        }
    }

    // The rows go to a temporary file of the engine, which does not check its writes: a
    // full disk there would otherwise end in a truncated workbook reported as written.
    void checkTemporaryData()
    {
        FILE *data = ws_ ? ws_->optimize_tmpfile : nullptr;
        if (!data)
            return;
        errno = 0;
        if (std::fflush(data) != 0 || std::ferror(data))
            fail(errno ? errno : ENOSPC);
    }

    CNumericLocale locale_;
    lxw_workbook *wb_ = nullptr;
    lxw_worksheet *ws_ = nullptr;
    lxw_format *headerFormat_ = nullptr;
    lxw_format *moneyFormat_[5] = {};
    lxw_format *integerFormat_ = nullptr;
    lxw_format *dateFormat_ = nullptr;
    QList<Column> columns_;
    QList<int> widths_;
    qint64 row_ = 0;
};

// ---------------------------------------------------------------- csv

class CsvWriter : public Writer {
public:
    explicit CsvWriter(const QString &target) : Writer(target), file_(tempPath())
    {
        errno = 0;
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            fail(errno);
        // A byte order mark, so that a spreadsheet reads the Chinese text as UTF-8.
        buffer_.append("\xEF\xBB\xBF");
    }

    void header(const QList<Column> &columns) override
    {
        columns_ = columns;
        QStringList labels;
        for (const Column &c : columns)
            labels << c.label;
        line(labels);
    }

    void row(const QVariantList &values) override
    {
        QStringList cells;
        cells.reserve(columns_.size());
        for (int c = 0; c < columns_.size(); ++c) {
            const QString s = cellText(columns_[c].def, values.value(c));
            cells << (isText(columns_[c].def) ? defused(s) : s);
        }
        line(cells);
    }

protected:
    void writeTotals(const QList<Total> &totals) override
    {
        if (totals.isEmpty())
            return;
        line({});
        for (const Total &t : totals)
            line(t.value ? QStringList{t.label, t.value->toString()} : QStringList{t.label});
    }

    void close() override
    {
        flush();
        file_.close();
    }

private:
    // A spreadsheet runs a cell that begins with "=", "+", "-" or "@" as a formula; a text
    // like that keeps a leading apostrophe. Plain numbers ("-25") are no formula.
    static QString defused(const QString &s)
    {
        if (s.isEmpty() || !QStringLiteral("=+-@\t\r").contains(s.front()))
            return s;
        static const QRegularExpression plainNumber(QStringLiteral("^[+-]?[0-9]+(\\.[0-9]+)?$"));
        return plainNumber.match(s).hasMatch() ? s : u'\'' + s;
    }

    static QString quoted(const QString &s)
    {
        static const QRegularExpression special(QStringLiteral("[\",\\r\\n]|^\\s|\\s$"));
        if (!special.match(s).hasMatch())
            return s;
        QString q = s;
        q.replace(u'"', QStringLiteral("\"\""));
        return u'"' + q + u'"';
    }

    void line(const QStringList &cells)
    {
        QStringList out;
        out.reserve(cells.size());
        for (const QString &c : cells)
            out << quoted(c);
        buffer_.append(out.join(u',').toUtf8());
        buffer_.append("\r\n");
        if (buffer_.size() >= (1 << 20))
            flush();
    }

    void flush()
    {
        if (buffer_.isEmpty())
            return;
        errno = 0;
        if (file_.write(buffer_) != buffer_.size())
            fail(errno ? errno : ENOSPC);
        buffer_.clear();
    }

    QFile file_;
    QByteArray buffer_;
    QList<Column> columns_;
};

} // namespace

// ---------------------------------------------------------------- shared

Writer::Writer(const QString &target) : target_(QFileInfo(target).absoluteFilePath())
{
    if (const int err = folderError(target_))
        fail(err);
    // A name of our own beside the target, on the same disk, so that the rename at the end
    // puts the whole file in place at once.
    const QFileInfo info(target_);
    QTemporaryFile reserve(QDir(info.absolutePath()).filePath(QStringLiteral(".~") + info.fileName() +
                                                              QStringLiteral(".XXXXXX")));
    reserve.setAutoRemove(false);
    errno = 0;
    if (!reserve.open())
        fail(errno ? errno : EACCES);
    temp_ = reserve.fileName();
}

Writer::~Writer()
{
    if (!done_ && !temp_.isEmpty())
        QFile::remove(temp_);
}

void Writer::finish(const QList<Total> &totals)
{
    writeTotals(totals);
    close();
    const QByteArray from = QFile::encodeName(temp_), to = QFile::encodeName(target_);
    errno = 0;
    if (std::rename(from.constData(), to.constData()) != 0) {
        // Where renaming does not replace a file, the old one goes first.
        if (!QFile::exists(target_) || !QFile::remove(target_) || std::rename(from.constData(), to.constData()) != 0)
            fail(errno ? errno : EACCES);
    }
    done_ = true;
}

void Writer::fail(int err) const
{
    throw KorvelError(QStringLiteral("导出失败：无法写入“%1”（%2），没有生成文件。")
                          .arg(QDir::toNativeSeparators(target_), reasonOf(err)));
}

std::unique_ptr<Writer> Writer::create(Format format, const QString &target)
{
    if (format == Format::Csv)
        return std::make_unique<CsvWriter>(target);
    return std::make_unique<XlsxWriter>(target);
}

QString cellText(const FieldDef &def, const QVariant &value)
{
    return fields::displayText(def, value);
}

int textWidth(const QString &text)
{
    int w = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text.at(++i).unicode());
        w += isWide(c) ? 2 : 1;
    }
    return w;
}

} // namespace sheet
