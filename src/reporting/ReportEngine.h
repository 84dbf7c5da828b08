#pragma once
// Runs a report project file (rK.rav, CK.rav, ...) over the main window's named data
// connections as they are at that moment and hands the document to the print output.
#include <QString>

class QWidget;
class Tmain;

namespace report {

// A missing project file stops the print with the engine's message; nothing changes.
void runProject(Tmain &main, QWidget *parent, const QString &file);

} // namespace report
