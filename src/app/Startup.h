#pragma once
// Program entry: the application title, the main window, the login dialog, the event loop.
#include "store/BackupPaths.h"

#include <QString>
#include <memory>

class QApplication;
class Tmain;

// Creates the main window; when the database cannot be opened, shows the engine's
// message in a box and returns null.
std::unique_ptr<Tmain> createMain(const BackupPaths &backup = BackupPaths::standard(), const QString &pyDir = QString());
int korvelRun(QApplication &app);
