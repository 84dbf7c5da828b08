#pragma once
// The about box: product name, version, contact, the web site for updates, over a
// grey gradient. Every use of its command opens one more.
#include "ui/MdiForm.h"

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QPropertyAnimation>
#include <QRect>
#include <QUrl>

class QFrame;
class Tmain;
class QLabel;
class QPushButton;

class TAboutBox : public MdiForm {
    Q_OBJECT
public:
    explicit TAboutBox(Tmain &main);

    // Creates the box as a child window of main, centred, with its opening animation.
    static TAboutBox *open(Tmain &main);

    struct Band {
        int top;
        int bottom;  // exclusive
        QColor colour;
    };
    // The 256 grey bands of the background for a client area of the given height.
    static QList<Band> bands(int clientHeight);
    static QUrl webSite();
    // The program's picture: 32 x 32 in the sixteen standard colours.
    static QPixmap programIcon();

    QFrame *Panel1;
    QLabel *ProgramIcon;
    QLabel *ProductName;
    QLabel *Version;
    QLabel *Copyright;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QPushButton *OKButton;

    // The running opening animation (null once it has ended).
    QPropertyAnimation *animation() const { return animation_; }

protected:
    void paintEvent(QPaintEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    void FormCreate();
    void FormPaint(QPainter &p);
    void OKButtonClick();

    QPointer<QPropertyAnimation> animation_;
};
