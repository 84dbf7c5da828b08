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

    // Size and place of the child window once it sits in its frame: where the user last
    // left it (screens open once at a time); otherwise a screen with a list takes the
    // host's free area (area), and one without keeps its own size. Always inside the area.
    void placeInHost(const QSize &area);
    // Where the places are kept: the user's settings of the program.
    static QString placementKey(const QString &screen);

signals:
    // The screen is about to close: pending edits are stored before its close handler runs.
    void closing();

protected:
    // The screen's own close handler; runs before the window is freed.
    virtual void FormClose() {}
    // Runs each time the screen's child window becomes the active one.
    virtual void FormActivate() {}
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void savePlacement();

    bool activationWired_ = false;
    ScreenHost &host_;
    QString flag_;
};
