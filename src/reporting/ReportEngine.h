#pragma once
// Runs a report project file (rK.rav, CK.rav, ...) over the main window's named data
// connections as they are at that moment and hands the document to the print output.
// The file format is described in reports/README.md.
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <Qt>
#include <optional>

class QWidget;
class DataModule;

namespace report {

// A missing project file stops the print with the engine's message; nothing changes.
// A project that cannot be read or does not fit the data connections shows a Chinese
// message and prints nothing.
void runProject(DataModule &main, QWidget *parent, const QString &file);

// ---- the parsed project, exposed for the layouts' own checks

struct Column {
    QString field;
    QString heading;
    int width = 10;  // relative weight
    Qt::Alignment align = Qt::AlignLeft;
};

struct Total {
    enum Kind { Sum, Count } kind = Count;
    QString field;   // for Sum
    QString label;
};

struct Project {
    QList<QPair<QString, QString>> connections;  // alias -> connection name
    QString titleRef;                            // alias.field
    QString titleFallback;                       // used when the referenced title is empty
    QString subtitle;
    int fontSize = 10;                           // points, the whole document scales with it
    QString companyAlias;
    QList<QPair<QString, QString>> headers;      // label -> alias.field or @today
    QString detailAlias;
    QList<Column> columns;
    QList<Total> totals;
    QStringList footers;
};

// Parses the project text; on failure returns nothing and sets *error to a Chinese reason
// naming the line.
std::optional<Project> parseProject(const QString &text, QString *error);

} // namespace report
