#include "app/TAboutBox.h"

#include "ui/Seams.h"
#include "app/Tmain.h"

#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QVBoxLayout>

// A parcel on a shelf.
QPixmap TAboutBox::programIcon()
{
    const QColor black(0, 0, 0), maroon(128, 0, 0), olive(128, 128, 0), navy(0, 0, 128), grey(128, 128, 128),
        silver(192, 192, 192), yellow(255, 255, 0), blue(0, 0, 255), white(255, 255, 255), teal(0, 128, 128),
        aqua(0, 255, 255);
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    // shelf
    p.fillRect(2, 26, 28, 3, grey);
    p.fillRect(2, 29, 28, 1, black);
    // back parcel
    p.fillRect(16, 8, 13, 18, teal);
    p.fillRect(16, 8, 13, 2, aqua);
    p.setPen(black);
    p.drawRect(16, 8, 12, 17);
    // front parcel with tape
    p.fillRect(3, 12, 16, 14, olive);
    p.fillRect(3, 12, 16, 3, yellow);
    p.fillRect(10, 12, 3, 14, maroon);
    p.drawRect(3, 12, 15, 13);
    // label on the front parcel
    p.fillRect(5, 18, 4, 4, white);
    p.fillRect(6, 19, 2, 1, navy);
    p.fillRect(6, 21, 2, 1, navy);
    // price tag
    p.fillRect(21, 13, 6, 4, silver);
    p.fillRect(22, 14, 4, 2, blue);
    p.end();
    return QPixmap::fromImage(img);
}

namespace {

QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

QUrl TAboutBox::webSite()
{
    return QUrl(QStringLiteral("https://www.korvel.example/download"));
}

QList<TAboutBox::Band> TAboutBox::bands(int clientHeight)
{
    QList<Band> out;
    out.reserve(256);
    const double h = clientHeight / 256.0;
    for (int k = 0; k < 256; ++k) {
        const int grey = 255 - k;
        out.append({qRound(k * h), qRound((k + 1) * h), QColor(grey, grey, grey)});
    }
    return out;
}

TAboutBox::TAboutBox(Tmain &main) : MdiForm(main, QString())
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("关于"));

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);
    Panel1->setAutoFillBackground(true);

    ProgramIcon = label(Panel1, "ProgramIcon", QString());
    ProgramIcon->setPixmap(programIcon());
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setFixedSize(32, 32);

    ProductName = label(Panel1, "ProductName", QStringLiteral("Korvel商品管理软件系统"));
    QFont big = ProductName->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    ProductName->setFont(big);
    Version = label(Panel1, "Version", QStringLiteral("版本：10.05.07.19"));
    Copyright = label(Panel1, "Copyright", QStringLiteral("技术支持：support@korvel.example"));
    Label1 = label(Panel1, "Label1", QStringLiteral("感谢您使用本软件！使用中有问题或建议，欢迎来信告诉我们。"));
    Label2 = label(Panel1, "Label2", QStringLiteral("下载更新请到网站：") + webSite().toString());
    Label2->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label3 = label(Panel1, "Label3", QStringLiteral("更新时看说明。"));

    OKButton = new QPushButton(QStringLiteral("打开网站"), Panel1);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setToolTip(QStringLiteral("更新时先把数据备份，文件更新完成，再恢复数据"));
    OKButton->setMinimumWidth(96);

    auto *grid = new QGridLayout(Panel1);
    grid->setContentsMargins(16, 14, 16, 12);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(6);
    grid->addWidget(ProgramIcon, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(ProductName, 0, 1);
    grid->addWidget(Version, 1, 1);
    grid->addWidget(Copyright, 2, 1);
    grid->setRowMinimumHeight(3, 8);
    grid->addWidget(Label1, 4, 0, 1, 2);
    grid->addWidget(Label2, 5, 0, 1, 2);
    grid->addWidget(Label3, 6, 0, 1, 2);
    grid->addWidget(OKButton, 7, 0, 1, 2, Qt::AlignHCenter);

    // The gradient shows in the margin around the panel.
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(26, 22, 26, 22);
    outer->addWidget(Panel1);

    ui::on(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
}

TAboutBox *TAboutBox::open(Tmain &main)
{
    auto *box = new TAboutBox(main);
    main.addChild(box);
    box->FormCreate();
    return box;
}

void TAboutBox::FormCreate()
{
    auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!sub)
        return;
    // A fixed dialog border: title and close button only, no resizing.
    sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowCloseButtonHint);
    sub->setWindowIcon(QIcon(programIcon()));
    sub->adjustSize();
    QRect end(QPoint(0, 0), sub->sizeHint().expandedTo(sub->size()));
    const QRect area(QPoint(0, 0), host().workArea());
    end.moveCenter(area.center());
    end.moveTopLeft(QPoint(qMax(0, end.left()), qMax(0, end.top())));
    sub->show();

    // Grows out of its centre over one second.
    const QRect start(end.center(), QSize(1, 1));
    animation_ = new QPropertyAnimation(sub, "geometry", this);
    animation_->setDuration(1000);
    animation_->setStartValue(start);
    animation_->setEndValue(end);
    animation_->setEasingCurve(QEasingCurve::OutCubic);
    connect(animation_, &QPropertyAnimation::finished, sub, [sub, end] {
        sub->setGeometry(end);
        sub->setFixedSize(end.size());
    });
    sub->setGeometry(start);
    animation_->start(QAbstractAnimation::DeleteWhenStopped);
}

void TAboutBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    FormPaint(p);
}

void TAboutBox::FormPaint(QPainter &p)
{
    for (const Band &b : bands(height()))
        p.fillRect(QRect(0, b.top, width(), b.bottom - b.top), b.colour);
}

void TAboutBox::keyPressEvent(QKeyEvent *e)
{
    // Enter presses the default button.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        OKButton->click();
        return;
    }
    MdiForm::keyPressEvent(e);
}

void TAboutBox::OKButtonClick()
{
    if (!ui::seams().openUrl(webSite()))
        ui::message(this, QStringLiteral("无法打开网站：") + webSite().toString(), QString(), ui::Icon::Warning);
}
