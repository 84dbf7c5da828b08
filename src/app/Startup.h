#pragma once
// Program entry: the application title, the main window, the login dialog, the event loop.
#include "store/BackupPaths.h"

#include <QString>
#include <memory>

class QApplication;
class Tmain;

// Removes the temporary files of copies killed half-way, then creates the main window;
// when the database cannot be opened or does not hold the schema, shows why in one box
// and returns null.
std::unique_ptr<Tmain> createMain(const BackupPaths &backup = BackupPaths::standard(), const QString &pyDir = QString());
int korvelRun(QApplication &app);
