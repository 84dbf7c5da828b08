#pragma once
// Base of the work screens shown as child windows of the main window. A screen with
// an instance flag gets it set again when it closes.
#include <QString>
#include <QWidget>

class Tmain;

class MdiForm : public QWidget {
    Q_OBJECT
public:
    MdiForm(Tmain &main, const QString &flagName, QWidget *parent = nullptr);
    Tmain &mainForm() const { return main_; }
    QString flagName() const { return flag_; }

protected:
    // The screen's own close handler; runs before the window is freed.
    virtual void FormClose() {}
    void closeEvent(QCloseEvent *e) override;

private:
    Tmain &main_;
    QString flag_;
};
