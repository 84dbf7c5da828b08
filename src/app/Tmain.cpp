#include "app/Tmain.h"

#include "dataset/Errors.h"

#include "dataset/Formats.h"
#include "ui/MdiForm.h"
#include "app/Ribbon.h"
#include "store/Schema.h"
#include "app/Screens.h"
#include "ui/Seams.h"
#include "app/TFormdl.h"
#include "maintenance/MaintenanceRegister.h"

#include "app/TAboutBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QStatusBar>

namespace {

struct CommandInfo {
    const char *name;
    const char16_t *caption;
    const char16_t *button;
    const char *shortcut;
    const char16_t *tip;
};

// Every command: caption, ribbon button caption, application-wide shortcut, screen tip body.
const CommandInfo commandTable[] = {
    {"ActionGSXXLR", u"公司信息录入", u"公司信息录入(&Z)", "Ctrl+A",
     u"①完善公司信息，会打印在出库单上。\n本软件正常运行，必须先做①-⑤，共5步。"},
    {"ActionZYDA", u"职员档案", u"职员档案录入(&Z)", "Ctrl+B", u"②也是登录人员，必填的内容有编号、名字、选择权限。"},
    {"ActionGYS", u"供应商", u"供应商录入(&Z)", "Ctrl+G", u"③必填的内容有供应商名称，可以慢慢完善。"},
    {"ActionKH", u"客户", u"客户录入(&Z)", "Ctrl+D", u"④必填的内容有公司名称，可以慢慢完善。"},
    {"ActionRKKD", u"入库开单", u"入库开单(&Z)", "F2",
     u"⑤先判断产品要用编号管理，还是用名称管理，二先一。已入库的产品会进入“库存”，还没有保存之前数量为0。"
     u"必须录入全部产品后方可出库，到此步本软件可正常运转。"},
    {"ActionCKKD", u"出库开单", u"出库开单(&Z)", "F3", u"示范的产品可按控制条上的减号删除"},
    {"ActionYS", u"应收", u"应收(&Z)", "F4", u"如果都要收款单据，不管是不是现金交易，在出库选择未付。"},
    {"ActionYF", u"应付", u"应付(&Z)", "F5", u"如果都要收款单据，不管是不是现金交易，在出库选择未付。"},
    {"ActionKCCX", u"库存查询", u"库存查询(&Z)", "F6",
     u"两种管理一起用时，有编号的产品名称，不能与没有编号的产品名称相同，这样造成库存错误。"},
    {"ActionRKCX", u"入库查询", u"入库查询(&Z)", "F7", u""},
    {"ActionCKCX", u"出库查询", u"出库查询(&Z)", "F8", u""},
    {"ActionFKCX", u"付款查询", u"付款查询(&Z)", "F9", u""},
    {"ActionSKCX", u"收款查询", u"收款查询(&Z)", "F10", u""},
    {"ActionKHFX", u"客户分析", u"客户分析(&Z)", "F11", u""},
    {"ActionSPFX", u"产品分析", u"产品分析(&Z)", "F12", u""},
    {"ActionLRFX", u"利润分析", u"利润分析(&Z)", "Ctrl+E", u""},
    {"ActionQCMM", u"清除密码", u"清除密码(&Z)", "Ctrl+F", u""},
    {"ActionMMXG", u"密码修改", u"密码修改(&Z)", "Ctrl+M", u""},
    {"ActionYHQF", u"用户切换", u"用户切换(&Z)", "Ctrl+H", u""},
    {"ActionSJBF", u"数据备份", u"数据备份(&Z)", "Ctrl+I", u""},
    {"ActionSJFF", u"数据恢复", u"数据恢复(&Z)", "Ctrl+J", u""},
    {"ActionSJSC", u"数据删除", u"数据删除(&Z)", "Ctrl+L", u""},
    {"ActionBZ", u"帮助", u"帮助(&Z)", "F1", u""},
    {"ActionLJXX", u"软件信息", u"软件信息(&Z)", "Ctrl+K", u""},
    {"WindowCascade1", u"层叠", u"层叠(&Z)", "", u"Cascade"},
    {"WindowTileHorizontal1", u"水平排列", u"水平排列(&Z)", "", u"Tile Horizontal"},
    {"WindowTileVertical1", u"垂直排列", u"垂直排列(&Z)", "", u"Tile Vertical"},
    {"WindowMinimizeAll1", u"最小化", u"最小化(&Z)", "", u"Minimize All"},
};

} // namespace

namespace {
// The database lies in the working directory; a failure ends start-up with the engine's message.
std::unique_ptr<Connection> openDatabase()
{
    auto c = std::make_unique<Connection>();
    schema::open(*c, QStringLiteral("lr"));
    try {
        schema::ensureIndexes(*c);
    } catch (const KorvelError &) {
        // A file that cannot be written keeps the indexes it has: slower, still right.
    }
    return c;
}
} // namespace

Tmain::Tmain(const BackupPaths &backup, const QString &pyDir)
    : QMainWindow(nullptr), DataModule(openDatabase(), std::make_unique<PyLibrary>(pyDir)), backup_(backup)
{
    setObjectName(QStringLiteral("main"));
    setWindowTitle(QStringLiteral("Korvel商品管理系统-下载更新请看关于"));
    // Every window, child windows and pickers included, carries the program's icon.
    QApplication::setWindowIcon(TAboutBox::programIcon());
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("MdiArea"));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);

    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < 2; ++i) {
        panels_[i] = new QLabel(bar);
        panels_[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panels_[i]->setMinimumWidth(50);
        bar->addWidget(panels_[i]);
    }
    setStatusBar(bar);

    openAtStart();
    createActions();
    ribbon_ = new Ribbon([this](const QString &n) { return action(n); }, this);
    setMenuWidget(ribbon_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { updateWindowCommands(); });

    // FormCreate: the support library is loaded above; every screen may be opened.
    for (const QString &f : flagNames())
        flags_[f] = true;
    registerAllScreens(*this);
    qApp->installEventFilter(this);
}

Tmain::~Tmain()
{
    // The screens that go from here on (closed ones waiting to be freed included) must
    // not call back into the main window.
    qApp->removeEventFilter(this);
    for (MdiForm *form : mdi_->findChildren<MdiForm *>())
        disconnect(form, nullptr, this, nullptr);
    // Child windows go first: their close handlers still use the data sets.
    const auto subs = mdi_->subWindowList();
    for (QMdiSubWindow *w : subs)
        delete w;
}

QString Tmain::panelText(int i) const
{
    return panels_[i]->text();
}

void Tmain::setPanelText(int i, const QString &text)
{
    panels_[i]->setText(text);
}

const QStringList &Tmain::flagNames()
{
    static const QStringList names = {"Tgy",       "Tgys",     "Tkh",       "Trkkd",     "Tckkd",     "TFormPL",
                                      "TFormRKCX", "TFormCKCX", "TFormYS",   "TFormyf",   "TFormkhfx", "TFormspfx",
                                      "TFormlr",   "TFormskcx", "TFormfkcx", "TFormgsxc", "TFormdele"};
    return names;
}

const QStringList &Tmain::roleGatedCommands()
{
    static const QStringList names = {"ActionZYDA", "ActionGYS",  "ActionRKKD", "ActionRKCX", "ActionQCMM",
                                      "ActionGSXXLR", "ActionLRFX", "ActionFKCX", "ActionYF",   "ActionSJSC"};
    return names;
}

QList<QAction *> Tmain::commandActions() const
{
    QList<QAction *> out;
    for (const QString &n : commandOrder_)
        out << actions_.value(n);
    return out;
}

void Tmain::createActions()
{
    for (const CommandInfo &c : commandTable) {
        const QString name = QString::fromLatin1(c.name);
        auto *a = new QAction(QString::fromUtf16(c.caption), this);
        a->setObjectName(name);
        a->setIconText(QString::fromUtf16(c.button));
        if (*c.shortcut) {
            a->setShortcut(QKeySequence(QString::fromLatin1(c.shortcut)));
            a->setShortcutContext(Qt::ApplicationShortcut);
        }
        const QString tip = QString::fromUtf16(c.tip);
        a->setProperty("tipBody", tip);
        if (name.startsWith(QLatin1String("Window"))) {
            a->setStatusTip(tip);  // the window commands carry their tip text as hint too
            a->setEnabled(false);
        }
        addAction(a);
        actions_.insert(name, a);
        commandOrder_ << name;
        connect(a, &QAction::triggered, this, [this, name] { ui::guard(this, [&] { runCommand(name); }); });
    }
}

void Tmain::registerScreen(const QString &command, OpenPattern pattern, const QString &flag, DataSet *refresh,
                           ScreenFactory factory)
{
    screens_.insert(command, {pattern, flag, refresh, std::move(factory)});
}

void Tmain::setCommandHandler(const QString &command, std::function<void()> handler)
{
    handlers_.insert(command, std::move(handler));
}

QSize Tmain::workArea() const
{
    return mdi_->viewport()->size();
}

void Tmain::closeAllScreens()
{
    mdi_->closeAllSubWindows();
}

QWidget *Tmain::addChild(QWidget *w)
{
    QMdiSubWindow *sub = mdi_->addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(w->windowTitle());
    connect(sub, &QObject::destroyed, this, [this] { updateWindowCommands(); }, Qt::QueuedConnection);
    w->show();
    if (auto *form = qobject_cast<MdiForm *>(w)) {
        form->placeInHost(workArea());
        // The flag follows the window: once it is gone, the screen may be opened again.
        const QString flag = form->flagName();
        if (!flag.isEmpty())
            connect(form, &QObject::destroyed, this, [this, flag] {
                if (!screenOpen(flag))
                    setInstanceFlag(flag, true);
            });
    }
    updateWindowCommands();
    return w;
}

bool Tmain::screenOpen(const QString &flag) const
{
    const auto subs = mdi_->subWindowList();
    for (QMdiSubWindow *sub : subs)
        if (auto *form = qobject_cast<MdiForm *>(sub->widget()); form && form->flagName() == flag)
            return true;
    return false;
}

bool Tmain::eventFilter(QObject *watched, QEvent *e)
{
    // A widget that wants a key for itself says so in the override event; for the keys of
    // the command table it is not asked, so the command runs. A modal dialog keeps its keys.
    if (e->type() == QEvent::ShortcutOverride && !QApplication::activeModalWidget()) {
        auto *k = static_cast<QKeyEvent *>(e);
        const QKeySequence pressed(k->keyCombination());
        for (QAction *a : std::as_const(actions_)) {
            if (a->isEnabled() && !a->shortcut().isEmpty() && a->shortcut() == pressed) {
                k->ignore();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void Tmain::runCommand(const QString &name)
{
    QAction *a = actions_.value(name);
    if (a && !a->isEnabled())
        return;
    const auto it = screens_.constFind(name);
    if (it != screens_.constEnd()) {
        const ScreenEntry &e = *it;
        if (e.pattern == OpenPattern::RefreshThenOnce && e.refresh) {
            // The screen starts from current data, also when it is already open.
            e.refresh->close();
            e.refresh->open();
        }
        // A flag left false without its window (the window went without its close
        // handler) must not lock the screen out.
        if (!instanceFlag(e.flag) && !screenOpen(e.flag))
            setInstanceFlag(e.flag, true);
        if (!instanceFlag(e.flag)) {
            if (e.pattern != OpenPattern::OnceSilently)
                ui::message(this, QStringLiteral("该窗口已经打开了"));
        } else {
            QWidget *w = e.factory(*this);
            setInstanceFlag(e.flag, false);
            opened_[name] = w;
        }
    }
    std::function<void()> handler = handlers_.value(name);
    if (name == QLatin1String("WindowCascade1")) handler = [this] { mdi_->cascadeSubWindows(); };
    else if (name == QLatin1String("WindowTileHorizontal1")) handler = [this] { tileSubWindows(Qt::Vertical); };
    else if (name == QLatin1String("WindowTileVertical1")) handler = [this] { tileSubWindows(Qt::Horizontal); };
    else if (name == QLatin1String("WindowMinimizeAll1"))
        handler = [this] {
            for (QMdiSubWindow *w : mdi_->subWindowList())
                w->showMinimized();
        };
    if (handler)
        handler();
}

void Tmain::tileSubWindows(Qt::Orientation stacking)
{
    const auto subs = mdi_->subWindowList();
    if (subs.isEmpty())
        return;
    const QRect area = mdi_->viewport()->rect();
    const int n = int(subs.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *w = subs[i];
        w->showNormal();
        if (stacking == Qt::Vertical) {
            const int h = area.height() / n;
            w->setGeometry(0, i * h, area.width(), h);
        } else {
            const int wd = area.width() / n;
            w->setGeometry(i * wd, 0, wd, area.height());
        }
    }
}

void Tmain::updateWindowCommands()
{
    const bool any = !mdi_->subWindowList().isEmpty();
    for (const char *n : {"WindowCascade1", "WindowTileHorizontal1", "WindowTileVertical1", "WindowMinimizeAll1"})
        if (QAction *a = actions_.value(QString::fromLatin1(n)))
            a->setEnabled(any);
}

void Tmain::FormShow()
{
    // The current account is the first row whose name is the logged-in name.
    ADOTabledlck->setFilter({{"mz", FilterCondition::Eq, panelText(0)}});
    ADOTabledlck->setFiltered(true);
    ADOTabledlck->first();
    const QString role = ADOTabledlck->recordCount() > 0 ? ADOTabledlck->fieldByName("sx").asString() : QString();
    QStringList off;
    if (role == QStringLiteral("出库员"))
        off = roleGatedCommands();
    else if (role == QStringLiteral("入库员"))
        off = {"ActionZYDA", "ActionQCMM", "ActionGSXXLR", "ActionLRFX", "ActionFKCX", "ActionSJSC"};
    else if (role.isEmpty()) {
        close();
        return;
    }
    for (const QString &n : off)
        actions_.value(n)->setEnabled(false);
}

bool Tmain::copyOnCloseDay(const QDate &today)
{
    // Day of the week 1 = Sunday .. 7 = Saturday, read as a date counted from 30 Dec 1899.
    const int dow = today.dayOfWeek() % 7 + 1;
    const QString text = fmt::shortDate(QDate(1899, 12, 30).addDays(dow));
    return text.size() >= 8 && text.at(7) == u'5';
}

void Tmain::FormClose()
{
    // The backup command's own copy, with its check of lr: a damaged file never replaces
    // the good backup. After a restore the connection is closed and lr is the backup itself.
    if (copyOnCloseDay(backup_.closingDay()) && conn().isOpen())
        backupDatabase(*this);
}

void Tmain::closeEvent(QCloseEvent *e)
{
    if (closed_) {
        e->accept();
        return;
    }
    // Screens close first so that their close handlers run on open data sets.
    mdi_->closeAllSubWindows();
    ui::guard(this, [this] { FormClose(); });
    closed_ = true;
    e->accept();
    emit closed();
}
