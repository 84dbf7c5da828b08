#include "dbwidgets/GridExport.h"

#include "dataset/DataSet.h"
#include "dataset/Errors.h"
#include "dataset/Formats.h"
#include "dbwidgets/DBGrid.h"
#include "ui/Controls.h"
#include "ui/MdiForm.h"
#include "ui/Seams.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolButton>

namespace gridexport {

namespace {

const QString XlsxFilter = QStringLiteral("Excel 工作簿 (*.xlsx)");
const QString CsvFilter = QStringLiteral("CSV 文件，UTF-8 逗号分隔 (*.csv)");
// Rows read in one go, and between two looks at the progress dialog.
constexpr qint64 ProgressEvery = 500;

// The file name offered: the screen's name (its caption up to the first comma) and today.
QString defaultName(const DBGrid *grid)
{
    QString title;
    for (const QWidget *p = grid->parentWidget(); p && title.isEmpty(); p = p->parentWidget())
        if (qobject_cast<const MdiForm *>(p) || p->isWindow())
            title = p->windowTitle();
    static const QRegularExpression cut(QStringLiteral("[,，].*$"));
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|]"));
    title = title.remove(cut).remove(unsafe).trimmed();
    if (title.isEmpty())
        title = QStringLiteral("导出");
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString name = title + u'-' + fmt::shortDate(fmt::now().date()) + QStringLiteral(".xlsx");
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

} // namespace

QStringList statusTexts(const DBGrid *grid)
{
    QStringList out;
    const QWidget *screen = grid ? grid->parentWidget() : nullptr;
    const auto *bar =
        screen ? screen->findChild<const QStatusBar *>(QStringLiteral("StatusBar1"), Qt::FindDirectChildrenOnly) : nullptr;
    if (!bar)
        return out;
    for (int i = 0;; ++i) {
        const auto *panel = bar->findChild<const QLabel *>(QStringLiteral("StatusBar1Panel%1").arg(i));
        if (!panel)
            break;
        if (!panel->text().trimmed().isEmpty())
            out << panel->text().trimmed();
    }
    return out;
}

QList<sheet::Total> parseTotals(const QStringList &texts)
{
    static const QRegularExpression gap(QStringLiteral("\\s{2,}"));
    static const QRegularExpression labelled(QStringLiteral("^(.*[：:])\\s*([-+]?[0-9]+(?:\\.[0-9]+)?)$"));
    QList<sheet::Total> out;
    for (const QString &text : texts) {
        for (const QString &part : text.split(gap, Qt::SkipEmptyParts)) {
            const QRegularExpressionMatch m = labelled.match(part.trimmed());
            std::optional<Money> amount = m.hasMatch() ? Money::parse(m.captured(2)) : std::nullopt;
            if (amount)
                out.append({m.captured(1), amount});
            else
                out.append({part.trimmed(), std::nullopt});
        }
    }
    return out;
}

Listing ofGrid(const DBGrid *grid)
{
    Listing l;
    l.ds = grid->dataSet();
    const DataSetModel *model = grid->dataModel();
    if (!l.ds || !model)
        return l;
    for (int c = 0; c < model->columnCount(); ++c) {
        const int f = model->fieldOfColumn(c);
        if (f < 0)
            continue;
        l.fields << f;
        l.columns.append({model->headerData(c, Qt::Horizontal).toString(), l.ds->fieldDef(f)});
    }
    l.totals = parseTotals(statusTexts(grid));
    return l;
}

bool write(const Listing &listing, const QString &target, sheet::Format format, const Progress &progress)
{
    DataSet *ds = listing.ds;
    if (!ds)
        return false;
    // Reading the count may be the list's first read; what it announces is no change.
    const qint64 total = ds->isActive() ? ds->recordCount() : 0;
    const qint64 sheetRows = 1 + total + (listing.totals.isEmpty() ? 0 : 1 + listing.totals.size());
    if (format == sheet::Format::Xlsx && sheetRows > sheet::XlsxMaxRows)
        throw KorvelError(QStringLiteral("列表共%1行，超过Excel工作表的上限（%2行）。请缩小查询范围，或导出为CSV文件。")
                              .arg(total)
                              .arg(sheet::XlsxMaxRows - 1));
    std::unique_ptr<sheet::Writer> w = sheet::Writer::create(format, target);
    w->header(listing.columns);

    // The rows are read by position: a list reopened meanwhile would mix two lists in one file.
    bool changed = false;
    QObject guard;
    QObject::connect(ds, &DataSet::rowsReset, &guard, [&] { changed = true; });
    QObject::connect(ds, &DataSet::closed, &guard, [&] { changed = true; });
    auto stillSame = [&] {
        if (changed)
            throw KorvelError(QStringLiteral("导出时列表已经改变，导出已停止，没有生成文件。"));
    };

    if (progress && !progress(0, total))
        return false;
    // A window of rows at a time, read in one go and never all at once.
    QVariantList values;
    values.resize(listing.fields.size());
    for (qint64 from = 0; from < total; from += ProgressEvery) {
        const QList<QVariantList> rows = ds->listedRows(int(from), int(ProgressEvery));
        for (const QVariantList &row : rows) {
            for (int i = 0; i < listing.fields.size(); ++i)
                values[i] = row.value(listing.fields[i]);
            w->row(values);
        }
        const qint64 done = std::min(total, from + ProgressEvery);
        if (done < total) {
            if (progress && !progress(done, total))
                return false;
            stillSame();
        }
    }
    if (progress && !progress(total, total))
        return false;
    stillSame();
    w->finish(listing.totals);
    return true;
}

sheet::Format formatFor(QString *path, const QString &filter)
{
    const QString suffix = QFileInfo(*path).suffix().toLower();
    if (suffix == QLatin1String("xlsx"))
        return sheet::Format::Xlsx;
    if (suffix == QLatin1String("csv"))
        return sheet::Format::Csv;
    const bool csv = filter == CsvFilter;
    *path += csv ? QStringLiteral(".csv") : QStringLiteral(".xlsx");
    return csv ? sheet::Format::Csv : sheet::Format::Xlsx;
}

void exportGrid(DBGrid *grid)
{
    if (!grid || !grid->dataSet())
        return;
    QWidget *parent = grid->window();
    const Listing listing = ofGrid(grid);
    QString filter = XlsxFilter;
    QString path = ui::seams().saveFileName(parent, defaultName(grid), XlsxFilter + QStringLiteral(";;") + CsvFilter,
                                            &filter);
    if (path.isEmpty())
        return;
    const sheet::Format format = formatFor(&path, filter);

    QProgressDialog dlg(parent);
    dlg.setObjectName(QStringLiteral("ExportProgress"));
    dlg.setWindowTitle(QStringLiteral("导出到Excel"));
    dlg.setCancelButtonText(QStringLiteral("取消"));
    dlg.setWindowModality(Qt::ApplicationModal);
    dlg.setAutoClose(false);
    dlg.setAutoReset(false);
    dlg.setMinimumDuration(500);
    const QString name = QFileInfo(path).fileName();
    auto progress = [&](qint64 written, qint64 total) {
        dlg.setMaximum(int(std::max<qint64>(total, 1)));
        dlg.setLabelText(QStringLiteral("正在导出到“%1”\n已写入 %2 / %3 行").arg(name).arg(written).arg(total));
        dlg.setValue(int(written));
        // Until the dialog shows (and holds every other window back), clicks and keys wait:
        // they must not reopen the list half written.
        QCoreApplication::processEvents(dlg.isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        return !dlg.wasCanceled();
    };

    bool written = false;
    try {
        written = write(listing, path, format, progress);
    } catch (const KorvelError &e) {
        dlg.close();
        ui::message(parent, e.message(), QString(), ui::Icon::Warning);
        return;
    }
    dlg.close();
    if (!written)
        return;
    ui::message(parent,
                QStringLiteral("已导出%1行到“%2”。").arg(listing.ds->recordCount()).arg(QDir::toNativeSeparators(path)),
                QString(), ui::Icon::Information);
}

QToolButton *toolButton(DBGrid *grid, QWidget *screen)
{
    QToolButton *b = ui::makeToolButton(screen, QStringLiteral("SpeedButton_Export"), QStringLiteral("导出到Excel..."),
                                        QStyle::SP_FileIcon);
    QObject::connect(b, &QToolButton::clicked, grid->exportAction(), &QAction::trigger);
    return b;
}

} // namespace gridexport
