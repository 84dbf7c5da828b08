#pragma once
// Base of the work screens shown as child windows of the main window. A screen with
// an instance flag gets it set again when it closes.
#include <QString>
#include <QWidget>

class DataModule;
class ScreenHost;

class MdiForm : public QWidget {
    Q_OBJECT
public:
    MdiForm(ScreenHost &host, const QString &flagName, QWidget *parent = nullptr);
    ScreenHost &host() const { return host_; }
    DataModule &data() const;
    QString flagName() const { return flag_; }

protected:
    // The screen's own close handler; runs before the window is freed.
    virtual void FormClose() {}
    // Runs each time the screen's child window becomes the active one.
    virtual void FormActivate() {}
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    bool activationWired_ = false;
    ScreenHost &host_;
    QString flag_;
};
