#pragma once
// The grids' command "导出到Excel...": the rows a grid lists, in its visible columns with
// their titles, and the totals its screen shows in the status bar, written to an .xlsx or
// .csv file the user names. Long lists stream: the rows are read in the data set's windows
// and written one by one, never all held at once.
#include "dbwidgets/SheetWriter.h"

#include <QStringList>
#include <functional>

class DataSet;
class DBGrid;
class QToolButton;

namespace gridexport {

// What is written: the rows a data set lists, in the given fields under the given titles,
// and the totals under them.
struct Listing {
    DataSet *ds = nullptr;
    QList<int> fields;
    QList<sheet::Column> columns;
    QList<sheet::Total> totals;
};

// The grid's rows, visible columns in their order and titles, and its screen's totals.
Listing ofGrid(const DBGrid *grid);
// Texts of the panels of the status bar "StatusBar1" that sits beside the grid, in order;
// empty panels left out.
QStringList statusTexts(const DBGrid *grid);
// Totals of status-bar texts: "总金额：12.5   总数量：3" gives two with amounts, "共3条" one
// without.
QList<sheet::Total> parseTotals(const QStringList &texts);

// Called with the rows written so far and the rows listed; false stops the export.
using Progress = std::function<bool(qint64 written, qint64 total)>;
// Writes the listing to target. False when progress stopped it; nothing is left behind
// then. Throws KorvelError with the user's message when the file cannot be written, the
// list does not fit a sheet or changes while it is written.
bool write(const Listing &listing, const QString &target, sheet::Format format, const Progress &progress = {});

// The format of a chosen file: its suffix decides; a name without a known one gets the
// suffix of the filter chosen.
sheet::Format formatFor(QString *path, const QString &filter);

// The whole command: the save dialog, a progress dialog that can cancel, and a message
// saying where the file is or why there is none.
void exportGrid(DBGrid *grid);

// A tool button "导出到Excel..." of a screen that runs the grid's own command.
QToolButton *toolButton(DBGrid *grid, QWidget *screen);

} // namespace gridexport
