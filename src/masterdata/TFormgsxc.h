#pragma once
// Company information: the one row of by1 that every printout shows. Saving also
// rewrites the five document titles in the counters row.
#include "dbwidgets/DBControls.h"
#include "ui/MdiForm.h"

class QLabel;
class QPushButton;


class QPropertyAnimation;

class TFormgsxc : public MdiForm {
    Q_OBJECT
public:
    explicit TFormgsxc(ScreenHost &host, QWidget *parent = nullptr);

    // Labels and edits share their number: Label4 names DBEdit4.
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;
    DBEdit *DBEdit1, *DBEdit2, *DBEdit3, *DBEdit4, *DBEdit5, *DBEdit6, *DBEdit7, *DBEdit8, *DBEdit9;
    QPushButton *Button1;

    // Opening animation; runs once the window sits in its frame.
    void FormCreate();
    void Button1Click();

    QSize sizeHint() const override { return {560, 360}; }

    static constexpr int AnimationMs = 1000;
    QPropertyAnimation *animation() const { return animation_; }

protected:
    void FormClose() override;

private:
    QPropertyAnimation *animation_ = nullptr;
};
