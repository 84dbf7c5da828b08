#pragma once
// Qt's own texts (standard buttons, file and print dialogs) in Chinese, like the rest of
// the program.
class QCoreApplication;
class QTranslator;

// Loads qtbase_zh_CN from Qt's translations folder and installs it in app, which owns it;
// null when the file is missing (the standard dialogs then stay in English).
QTranslator *installQtTranslations(QCoreApplication &app);
