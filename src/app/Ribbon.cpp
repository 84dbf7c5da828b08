#include "app/Ribbon.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtMath>
#include <cmath>
#include <vector>

namespace {

struct Group {
    const char16_t *caption;
    const char *command;
};

struct Tab {
    const char16_t *caption;
    std::vector<Group> groups;
};

// Tabs in their order, each group one command.
const Tab ribbonLayout[] = {
    {u"基本资料",
     {{u"公司信息", "ActionGSXXLR"}, {u"职员档案", "ActionZYDA"}, {u"供应商", "ActionGYS"}, {u"客户", "ActionKH"}}},
    {u"进销管理",
     {{u"入库开单", "ActionRKKD"}, {u"出库开单", "ActionCKKD"}, {u"应收", "ActionYS"}, {u"应付", "ActionYF"}}},
    {u"查询",
     {{u"库存查询", "ActionKCCX"},
      {u"入库查询", "ActionRKCX"},
      {u"出库查询", "ActionCKCX"},
      {u"付款查询", "ActionFKCX"},
      {u"收款查询", "ActionSKCX"}}},
    {u"分析", {{u"客户分析", "ActionKHFX"}, {u"产品分析", "ActionSPFX"}, {u"利润分析", "ActionLRFX"}}},
    {u"维护",
     {{u"用户密码清除", "ActionQCMM"},
      {u"密码修改", "ActionMMXG"},
      {u"用户切换", "ActionYHQF"},
      {u"数据备份", "ActionSJBF"},
      {u"数据恢复", "ActionSJFF"},
      {u"数据删除", "ActionSJSC"}}},
    {u"窗口",
     {{u"层叠窗口", "WindowCascade1"},
      {u"水平排列", "WindowTileHorizontal1"},
      {u"垂直排列", "WindowTileVertical1"},
      {u"全部最小化", "WindowMinimizeAll1"}}},
    {u"帮助", {{u"帮助", "ActionBZ"}, {u"关于", "ActionLJXX"}}},
};

// The application menu: its own captions with accelerators, each running a command.
const Group applicationMenuEntries[] = {
    {u"出库开单(&Z)", "ActionCKKD"}, {u"出库查询(&X)", "ActionCKCX"}, {u"库存查询(&Y)", "ActionKCCX"}};

// ---------------------------------------------------------------- icons

struct IconLook {
    const char *command;
    const char16_t *glyph;  // empty: a drawn picture instead of a character
    QRgb colour;
    char overlay;  // 'q' magnifier, 0 none
};

const IconLook iconLooks[] = {
    {"ActionGSXXLR", u"司", 0xff2f6fb5, 0},   {"ActionZYDA", u"职", 0xff2f6fb5, 0},
    {"ActionGYS", u"供", 0xff2f6fb5, 0},      {"ActionKH", u"客", 0xff2f6fb5, 0},
    {"ActionRKKD", u"入", 0xff2e8b57, 0},     {"ActionCKKD", u"出", 0xffd2691e, 0},
    {"ActionYS", u"收", 0xff2e8b57, 0},       {"ActionYF", u"付", 0xffd2691e, 0},
    {"ActionKCCX", u"库", 0xff6a5acd, 'q'},   {"ActionRKCX", u"入", 0xff6a5acd, 'q'},
    {"ActionCKCX", u"出", 0xff6a5acd, 'q'},   {"ActionFKCX", u"付", 0xff6a5acd, 'q'},
    {"ActionSKCX", u"收", 0xff6a5acd, 'q'},   {"ActionKHFX", u"", 0xff1e90b0, 0},
    {"ActionSPFX", u"", 0xff1e90b0, 0},       {"ActionLRFX", u"", 0xff1e90b0, 0},
    {"ActionQCMM", u"清", 0xffb03a2e, 0},     {"ActionMMXG", u"密", 0xffb03a2e, 0},
    {"ActionYHQF", u"换", 0xffb03a2e, 0},     {"ActionSJBF", u"备", 0xff7a5230, 0},
    {"ActionSJFF", u"恢", 0xff7a5230, 0},     {"ActionSJSC", u"删", 0xff7a5230, 0},
    {"WindowCascade1", u"", 0xff50607a, 0},   {"WindowTileHorizontal1", u"", 0xff50607a, 0},
    {"WindowTileVertical1", u"", 0xff50607a, 0}, {"WindowMinimizeAll1", u"", 0xff50607a, 0},
    {"ActionBZ", u"?", 0xff2f6fb5, 0},        {"ActionLJXX", u"i", 0xff2f6fb5, 0},
};

void drawWindows(QPainter &p, const QString &command, qreal s)
{
    p.setPen(QPen(Qt::white, s / 32.0 * 1.6));
    auto win = [&](qreal x, qreal y, qreal w, qreal h) {
        const QRectF r(x * s, y * s, w * s, h * s);
        p.setBrush(QColor(255, 255, 255, 60));
        p.drawRect(r);
        p.fillRect(QRectF(r.left(), r.top(), r.width(), s * 0.09), Qt::white);
    };
    if (command == QLatin1String("WindowCascade1")) {
        win(0.18, 0.18, 0.46, 0.4);
        win(0.36, 0.38, 0.46, 0.4);
    } else if (command == QLatin1String("WindowTileHorizontal1")) {
        win(0.2, 0.18, 0.6, 0.29);
        win(0.2, 0.53, 0.6, 0.29);
    } else if (command == QLatin1String("WindowTileVertical1")) {
        win(0.18, 0.2, 0.29, 0.6);
        win(0.53, 0.2, 0.29, 0.6);
    } else {
        p.fillRect(QRectF(0.2 * s, 0.68 * s, 0.26 * s, 0.1 * s), Qt::white);
        p.fillRect(QRectF(0.54 * s, 0.68 * s, 0.26 * s, 0.1 * s), Qt::white);
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(0.5 * s, 0.2 * s), QPointF(0.5 * s, 0.55 * s));
        p.drawLine(QPointF(0.38 * s, 0.43 * s), QPointF(0.5 * s, 0.55 * s));
        p.drawLine(QPointF(0.62 * s, 0.43 * s), QPointF(0.5 * s, 0.55 * s));
    }
}

void drawPie(QPainter &p, const QString &command, qreal s)
{
    const QRectF r(0.18 * s, 0.18 * s, 0.64 * s, 0.64 * s);
    p.setPen(QPen(QColor(0, 0, 0, 60), 1));
    const int highlight = command == QLatin1String("ActionKHFX") ? 0 : command == QLatin1String("ActionSPFX") ? 1 : 2;
    const QColor colours[] = {QColor(255, 214, 90), QColor(140, 220, 140), QColor(255, 140, 120)};
    const int spans[] = {150, 120, 90};
    int start = 90;
    for (int i = 0; i < 3; ++i) {
        p.setBrush(i == highlight ? colours[i] : QColor(255, 255, 255, 200));
        QRectF slice = r;
        if (i == highlight) {
            const qreal mid = qDegreesToRadians(start + spans[i] / 2.0);
            slice.translate(std::cos(mid) * s * 0.05, -std::sin(mid) * s * 0.05);
        }
        p.drawPie(slice, start * 16, spans[i] * 16);
        start += spans[i];
    }
}

QPixmap drawIcon(const IconLook &look, int s)
{
    QPixmap pm(s, s);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c = QColor::fromRgba(look.colour);
    QLinearGradient g(0, 0, 0, s);
    g.setColorAt(0, c.lighter(135));
    g.setColorAt(1, c.darker(115));
    p.setPen(QPen(c.darker(140), s / 32.0));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1, 1, s - 2, s - 2), s * 0.18, s * 0.18);
    const QString command = QString::fromLatin1(look.command);
    const QString glyph = QString::fromUtf16(look.glyph);
    if (command.startsWith(QLatin1String("Window"))) {
        drawWindows(p, command, s);
    } else if (glyph.isEmpty()) {
        drawPie(p, command, s);
    } else {
        QFont f(QStringLiteral("Noto Sans CJK SC"));
        f.setPixelSize(int(s * (look.overlay ? 0.55 : 0.62)));
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        QRectF box(0, 0, s, s);
        if (look.overlay)
            box = QRectF(0, 0, s * 0.8, s * 0.8);
        p.drawText(box, Qt::AlignCenter, glyph);
    }
    if (look.overlay == 'q') {
        // A magnifier in the lower right corner marks the queries.
        p.setPen(QPen(QColor(40, 40, 40), s * 0.09, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.78, s * 0.78), QPointF(s * 0.92, s * 0.92));
        p.setPen(QPen(QColor(40, 40, 40), s * 0.06));
        p.setBrush(QColor(230, 245, 255));
        p.drawEllipse(QPointF(s * 0.68, s * 0.68), s * 0.15, s * 0.15);
    }
    return pm;
}

QPixmap drawApplicationLogo(int s)
{
    QPixmap pm(s, s);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(s * 0.4, s * 0.3, s * 0.7);
    g.setColorAt(0, QColor(120, 180, 240));
    g.setColorAt(1, QColor(20, 70, 150));
    p.setPen(QPen(QColor(10, 40, 100), s / 24.0));
    p.setBrush(g);
    p.drawEllipse(QRectF(1, 1, s - 2, s - 2));
    QFont f;
    f.setPixelSize(int(s * 0.55));
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, s, s), Qt::AlignCenter, QStringLiteral("K"));
    return pm;
}

} // namespace

QIcon Ribbon::commandIcon(const QString &command)
{
    for (const IconLook &look : iconLooks) {
        if (command == QLatin1String(look.command)) {
            QIcon icon;
            icon.addPixmap(drawIcon(look, 32));
            icon.addPixmap(drawIcon(look, 64));
            return icon;
        }
    }
    return QIcon();
}

QString Ribbon::screenTip(const QString &caption, const QString &body)
{
    QString html = QStringLiteral("<p style='margin:2px'><b>") + caption.toHtmlEscaped() + QStringLiteral("</b></p>");
    if (!body.isEmpty()) {
        QString text = body.toHtmlEscaped();
        text.replace(QLatin1Char('\n'), QLatin1String("<br/>"));
        html += QStringLiteral("<p style='margin:4px 2px 4px 12px'>") + text + QStringLiteral("</p>");
    }
    html += QStringLiteral("<hr/><p style='margin:2px'>请按 F1帮助.</p>");
    return html;
}

Ribbon::Ribbon(const std::function<QAction *(const QString &)> &commands, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Ribbon1"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("RibbonTabs"));
    tabs_->setUsesScrollButtons(true);
    setAutoFillBackground(true);
    QPalette back = palette();
    back.setColor(QPalette::Window, QColor(0xdf, 0xe8, 0xf3));
    setPalette(back);
    tabs_->setStyleSheet(QStringLiteral(
        "QTabWidget::pane { border: none; border-top: 1px solid #b4c3d6; border-bottom: 1px solid #b4c3d6;"
        " background: #f6f9fc; }"
        "QTabBar::tab { padding: 5px 18px; margin: 3px 1px 0 1px; border: 1px solid transparent;"
        " border-bottom: none; color: #1f2d3d; }"
        "QTabBar::tab:selected { background: #f6f9fc; border-color: #b4c3d6;"
        " border-top-left-radius: 3px; border-top-right-radius: 3px; }"
        "QTabBar::tab:hover:!selected { background: #eaf1f9; }"
        "QFrame[ribbonSeparator=\"true\"] { color: #c8d2de; }"
        "QLabel[ribbonCaption=\"true\"] { color: #4a5666; }"));

    for (const Tab &tab : ribbonLayout) {
        const QString tabCaption = QString::fromUtf16(tab.caption);
        auto *page = new QWidget;
        page->setObjectName(QStringLiteral("RibbonTab_") + tabCaption);
        page->setAutoFillBackground(true);
        QPalette pagePalette = page->palette();
        pagePalette.setColor(QPalette::Window, QColor(0xf6, 0xf9, 0xfc));
        page->setPalette(pagePalette);
        auto *row = new QHBoxLayout(page);
        row->setContentsMargins(6, 4, 6, 2);
        row->setSpacing(2);
        for (const Group &g : tab.groups) {
            QAction *action = commands(QString::fromLatin1(g.command));
            if (!action)
                continue;  // a command the main window does not have is not shown
            row->addWidget(makeGroup(QString::fromUtf16(g.caption), action));
            auto *sep = new QFrame(page);
            sep->setFrameShape(QFrame::VLine);
            sep->setProperty("ribbonSeparator", true);
            row->addWidget(sep);
        }
        row->addStretch(1);
        tabs_->addTab(page, tabCaption);
    }
    // The help tab is in front when the window is first shown.
    tabs_->setCurrentIndex(tabs_->count() - 1);

    appButton_ = new QToolButton(this);
    appButton_->setObjectName(QStringLiteral("RibbonApplicationButton"));
    appButton_->setProperty("keyTip", QStringLiteral("F"));
    appButton_->setIcon(QIcon(drawApplicationLogo(48)));
    appButton_->setIconSize(QSize(24, 24));
    appButton_->setAutoRaise(true);
    appButton_->setPopupMode(QToolButton::InstantPopup);
    appButton_->setToolTip(QStringLiteral("Korvel商品管理系统 (Alt+F)"));
    appMenu_ = new QMenu(appButton_);
    appMenu_->setObjectName(QStringLiteral("RibbonApplicationMenu"));
    for (const Group &e : applicationMenuEntries) {
        const QString name = QString::fromLatin1(e.command);
        QAction *command = commands(name);
        if (!command)
            continue;
        QAction *entry = appMenu_->addAction(command->icon().isNull() ? commandIcon(name) : command->icon(),
                                             QString::fromUtf16(e.caption));
        entry->setObjectName(QStringLiteral("ApplicationMenu_") + name);
        entry->setEnabled(command->isEnabled());
        connect(command, &QAction::changed, entry, [entry, command] { entry->setEnabled(command->isEnabled()); });
        connect(entry, &QAction::triggered, command, [command] { command->trigger(); });
    }
    appButton_->setMenu(appMenu_);
    appButton_->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
    appButton_->setFixedSize(30, 28);
    auto *corner = new QWidget(this);
    auto *cornerLayout = new QHBoxLayout(corner);
    cornerLayout->setContentsMargins(6, 2, 8, 0);
    cornerLayout->addWidget(appButton_);
    tabs_->setCornerWidget(corner, Qt::TopLeftCorner);
    // Key tip "F": Alt+F drops the application menu down.
    auto *keyTip = new QShortcut(QKeySequence(QStringLiteral("Alt+F")), this);
    keyTip->setContext(Qt::WindowShortcut);
    connect(keyTip, &QShortcut::activated, appButton_, &QToolButton::showMenu);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_);
}

QWidget *Ribbon::makeGroup(const QString &caption, QAction *action)
{
    const QString name = action->objectName();
    auto *group = new QWidget;
    group->setObjectName(QStringLiteral("RibbonGroup_") + name);
    group->setProperty("caption", caption);
    auto *col = new QVBoxLayout(group);
    col->setContentsMargins(2, 0, 2, 0);
    col->setSpacing(1);

    auto *b = new QToolButton(group);
    b->setObjectName(QStringLiteral("RibbonButton_") + name);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setIconSize(QSize(32, 32));
    b->setMinimumSize(72, 62);
    b->setIcon(action->icon().isNull() ? commandIcon(name) : action->icon());
    b->setText(action->iconText());
    b->setToolTip(screenTip(action->text(), action->property("tipBody").toString()));
    b->setEnabled(action->isEnabled());
    // The button follows its command: role gating and the window count enable and disable it.
    connect(action, &QAction::changed, b, [b, action] { b->setEnabled(action->isEnabled()); });
    connect(b, &QToolButton::clicked, action, [action] { action->trigger(); });
    col->addWidget(b, 0, Qt::AlignHCenter);

    auto *label = new QLabel(caption, group);
    label->setObjectName(QStringLiteral("RibbonGroupCaption_") + name);
    label->setProperty("ribbonCaption", true);
    label->setAlignment(Qt::AlignCenter);
    col->addWidget(label);

    buttons_.insert(name, b);
    return group;
}
