// The ribbon and its commands, help, the about box and the window commands, driven
// through the real main window.
#include "common/Fixture.h"
#include "app/Ribbon.h"
#include "app/TAboutBox.h"
#include "app/Translations.h"
#include "dbwidgets/DBGrid.h"
#include "masterdata/Tformgys.h"
#include "stockin/Trkkd.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTranslator>
#include <QMenu>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QShortcut>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolButton>

namespace {

QString plainText(const QString &html)
{
    QTextDocument doc;
    doc.setHtml(html);
    return doc.toPlainText();
}

// The tab that holds a widget of the ribbon.
QString tabOf(Ribbon *ribbon, QWidget *w)
{
    for (int i = 0; i < ribbon->tabs()->count(); ++i)
        if (ribbon->tabs()->widget(i)->isAncestorOf(w))
            return ribbon->tabs()->tabText(i);
    return QString();
}

} // namespace

class TstShell : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> f;
    std::unique_ptr<AppFixture> tableFixture;

    Ribbon *ribbon() { return f->main().findChild<Ribbon *>(QStringLiteral("Ribbon1")); }
    QToolButton *button(const QString &command)
    {
        return f->main().findChild<QToolButton *>(QStringLiteral("RibbonButton_") + command);
    }
    QList<TAboutBox *> aboutBoxes() { return f->main().findChildren<TAboutBox *>(); }
    static void finishAnimation(TAboutBox *box)
    {
        if (QPropertyAnimation *a = box->animation())
            a->setCurrentTime(a->duration());
    }

private slots:
    void init()
    {
        // The command table reads one main window for all its rows.
        if (QByteArray(QTest::currentTestFunction()) == "commandTable") {
            if (!tableFixture) {
                tableFixture = std::make_unique<AppFixture>();
                tableFixture->createMain();
            }
            return;
        }
        tableFixture.reset();
        f = std::make_unique<AppFixture>();
    }
    void cleanup()
    {
        if (!f)
            return;
        const bool allUsed = f->seams.allAnswersUsed();
        f.reset();
        QVERIFY2(allUsed, "answers queued but not used");
    }
    void cleanupTestCase() { tableFixture.reset(); }
    // Shortcuts work in the active window.
    bool activate()
    {
        f->main().activateWindow();
        return QTest::qWaitForWindowActive(&f->main());
    }

    // ---------------------------------------------------------------- ribbon and commands

    void commandTable_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("buttonCaption");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<QStringList>("tipLines");
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QString>("group");
        const QString ys = "如果都要收款单据，不管是不是现金交易，在出库选择未付。";
        auto row = [](const char *command, const QString &caption, const QString &shortcut, const QStringList &tip,
                      const QString &tab, const QString &group) {
            QTest::newRow(command) << QString(command) << caption << caption + "(&Z)" << shortcut << tip << tab
                                   << group;
        };
        QTest::newRow("ActionGSXXLR") << "ActionGSXXLR" << "公司信息录入" << "公司信息录入(&Z)" << "Ctrl+A"
                                      << QStringList{"①完善公司信息，会打印在出库单上。",
                                                     "本软件正常运行，必须先做①-⑤，共5步。"}
                                      << "基本资料" << "公司信息";
        QTest::newRow("ActionZYDA") << "ActionZYDA" << "职员档案" << "职员档案录入(&Z)" << "Ctrl+B"
                                    << QStringList{"②也是登录人员，必填的内容有编号、名字、选择权限。"} << "基本资料"
                                    << "职员档案";
        QTest::newRow("ActionGYS") << "ActionGYS" << "供应商" << "供应商录入(&Z)" << "Ctrl+G"
                                   << QStringList{"③必填的内容有供应商名称，可以慢慢完善。"} << "基本资料"
                                   << "供应商";
        QTest::newRow("ActionKH") << "ActionKH" << "客户" << "客户录入(&Z)" << "Ctrl+D"
                                  << QStringList{"④必填的内容有公司名称，可以慢慢完善。"} << "基本资料" << "客户";
        row("ActionRKKD", "入库开单", "F2",
            {"⑤先判断产品要用编号管理，还是用名称管理，二先一。已入库的产品会进入“库存”，还没有保存之前数量为0。"
             "必须录入全部产品后方可出库，到此步本软件可正常运转。"},
            "进销管理", "入库开单");
        row("ActionCKKD", "出库开单", "F3", {"示范的产品可按控制条上的减号删除"}, "进销管理", "出库开单");
        row("ActionYS", "应收", "F4", {ys}, "进销管理", "应收");
        row("ActionYF", "应付", "F5", {ys}, "进销管理", "应付");
        row("ActionKCCX", "库存查询", "F6",
            {"两种管理一起用时，有编号的产品名称，不能与没有编号的产品名称相同，这样造成库存错误。"}, "查询",
            "库存查询");
        row("ActionRKCX", "入库查询", "F7", {}, "查询", "入库查询");
        row("ActionCKCX", "出库查询", "F8", {}, "查询", "出库查询");
        row("ActionFKCX", "付款查询", "F9", {}, "查询", "付款查询");
        row("ActionSKCX", "收款查询", "F10", {}, "查询", "收款查询");
        row("ActionKHFX", "客户分析", "F11", {}, "分析", "客户分析");
        row("ActionSPFX", "产品分析", "F12", {}, "分析", "产品分析");
        row("ActionLRFX", "利润分析", "Ctrl+E", {}, "分析", "利润分析");
        row("ActionQCMM", "清除密码", "Ctrl+F", {}, "维护", "用户密码清除");
        row("ActionMMXG", "密码修改", "Ctrl+M", {}, "维护", "密码修改");
        row("ActionYHQF", "用户切换", "Ctrl+H", {}, "维护", "用户切换");
        row("ActionSJBF", "数据备份", "Ctrl+I", {}, "维护", "数据备份");
        row("ActionSJFF", "数据恢复", "Ctrl+J", {}, "维护", "数据恢复");
        row("ActionSJSC", "数据删除", "Ctrl+L", {}, "维护", "数据删除");
        row("ActionBZ", "帮助", "F1", {}, "帮助", "帮助");
        row("ActionLJXX", "软件信息", "Ctrl+K", {}, "帮助", "关于");
        row("WindowCascade1", "层叠", "", {"Cascade"}, "窗口", "层叠窗口");
        row("WindowTileHorizontal1", "水平排列", "", {"Tile Horizontal"}, "窗口", "水平排列");
        row("WindowTileVertical1", "垂直排列", "", {"Tile Vertical"}, "窗口", "垂直排列");
        row("WindowMinimizeAll1", "最小化", "", {"Minimize All"}, "窗口", "全部最小化");
    }
    void commandTable()
    {
        QFETCH(QString, command);
        QFETCH(QString, caption);
        QFETCH(QString, buttonCaption);
        QFETCH(QString, shortcut);
        QFETCH(QStringList, tipLines);
        QFETCH(QString, tab);
        QFETCH(QString, group);
        Tmain &m = tableFixture->main();
        QAction *a = m.action(command);
        QVERIFY(a);
        QCOMPARE(a->text(), caption);
        QCOMPARE(a->iconText(), buttonCaption);
        QCOMPARE(a->shortcut(), QKeySequence(shortcut));
        if (!shortcut.isEmpty())
            QCOMPARE(a->shortcutContext(), Qt::ApplicationShortcut);
        if (command.startsWith("Window"))
            QCOMPARE(a->statusTip(), tipLines.value(0));

        auto *b = m.findChild<QToolButton *>("RibbonButton_" + command);
        QVERIFY(b);
        QCOMPARE(b->text(), buttonCaption);
        QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        QVERIFY(!b->icon().isNull());
        // Screen tip: bold caption, the body, the help footer.
        const QString tip = b->toolTip();
        QVERIFY2(tip.contains("<b>" + caption + "</b>"), qPrintable(tip));
        const QStringList lines = plainText(tip).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.first(), caption);
        QCOMPARE(lines.mid(1, lines.size() - 2), tipLines);
        QCOMPARE(lines.last(), QStringLiteral("请按 F1帮助."));

        QCOMPARE(tabOf(m.ribbon(), b), tab);
        auto *captionLabel = m.findChild<QLabel *>("RibbonGroupCaption_" + command);
        QVERIFY(captionLabel);
        QCOMPARE(captionLabel->text(), group);
        QVERIFY(captionLabel->parentWidget()->isAncestorOf(b));

        // The button runs its command (watched only: no screen is opened here).
        a->setEnabled(true);
        QVERIFY(b->isEnabled());
        QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
        QSignalSpy ran(a, &QAction::triggered);
        b->click();
        QCOMPARE(ran.count(), 1);
    }

    void ribbonHoldsExactlyTheTableCommands()
    {
        f->createMain();
        QStringList names;
        for (QToolButton *b : ribbon()->findChildren<QToolButton *>())
            if (b->objectName().startsWith("RibbonButton_"))
                names << b->objectName().mid(13);
        QStringList commands;
        for (QAction *a : f->main().commandActions())
            commands << a->objectName();
        names.sort();
        commands.sort();
        QCOMPARE(names, commands);
    }

    void tabsInOrderAndHelpInFront()
    {
        f->start();
        Ribbon *r = ribbon();
        QVERIFY(r);
        QCOMPARE(f->main().menuWidget(), r);
        QVERIFY(r->isVisible());
        QStringList tabs;
        for (int i = 0; i < r->tabs()->count(); ++i)
            tabs << r->tabs()->tabText(i);
        QCOMPARE(tabs, (QStringList{"基本资料", "进销管理", "查询", "分析", "维护", "窗口", "帮助"}));
        QCOMPARE(r->tabs()->tabText(r->tabs()->currentIndex()), QStringLiteral("帮助"));
        QVERIFY(button("ActionBZ")->isVisible());
        QVERIFY(button("ActionLJXX")->isVisible());
        // Readable: a large button shows its whole caption.
        QVERIFY(button("ActionBZ")->width() >= button("ActionBZ")->sizeHint().width());
    }

    void applicationMenu()
    {
        f->createMain();
        Ribbon *r = ribbon();
        QToolButton *app = r->applicationButton();
        QCOMPARE(app->property("keyTip").toString(), QStringLiteral("F"));
        QCOMPARE(app->menu(), r->applicationMenu());
        bool altF = false;
        for (QShortcut *s : r->findChildren<QShortcut *>())
            altF |= s->key() == QKeySequence("Alt+F");
        QVERIFY(altF);

        const QList<QAction *> entries = r->applicationMenu()->actions();
        QStringList texts;
        for (QAction *e : entries)
            texts << e->text();
        QCOMPARE(texts, (QStringList{"出库开单(&Z)", "出库查询(&X)", "库存查询(&Y)"}));
        const QStringList commands = {"ActionCKKD", "ActionCKCX", "ActionKCCX"};
        for (int i = 0; i < commands.size(); ++i) {
            QAction *a = f->main().action(commands[i]);
            QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
            QSignalSpy ran(a, &QAction::triggered);
            entries[i]->trigger();
            QCOMPARE(ran.count(), 1);
            a->setEnabled(false);
            QVERIFY(!entries[i]->isEnabled());
            a->setEnabled(true);
            QVERIFY(entries[i]->isEnabled());
        }
    }

    // Role gating disables the buttons with their commands; enabling again restores them.
    void disabledCommandDisablesItsButton()
    {
        f->createMain();
        f->exec("INSERT INTO gy (gybh, mz, sx, qggybh) VALUES ('c1', '出库员甲', '出库员', '')");
        QVERIFY(f->login("c1", ""));
        for (QAction *a : f->main().commandActions())
            QCOMPARE(button(a->objectName())->isEnabled(), a->isEnabled());
        QToolButton *rk = button("ActionRKKD");
        QVERIFY(!rk->isEnabled());
        QVERIFY(button("ActionCKKD")->isEnabled());
        QAction *a = f->main().action("ActionRKKD");
        QSignalSpy ran(a, &QAction::triggered);
        QTest::mouseClick(rk, Qt::LeftButton);
        QCOMPARE(ran.count(), 0);
        QCOMPARE(f->main().instanceFlag("Trkkd"), true);
        a->setEnabled(true);
        QVERIFY(rk->isEnabled());
    }

    void statusBarPanelsAreReadable()
    {
        f->start();
        for (int i = 0; i < 2; ++i) {
            auto *panel = f->main().statusBar()->findChild<QLabel *>(QStringLiteral("StatusBar1Panel%1").arg(i));
            QVERIFY(panel);
            QVERIFY(panel->isVisible());
            QVERIFY(panel->width() >= 50);
            QVERIFY2(panel->width() >= panel->sizeHint().width(), qPrintable(panel->text()));
        }
        QCOMPARE(f->main().panelText(0), QStringLiteral("系统管理员"));
    }

    // ---------------------------------------------------------------- keyboard

    // The window manager (here xdotool) gives the main window the focus back from another
    // window: the commands open their screens at once, each time, whatever has the focus.
    void commandsAfterFocusFromOutside_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("F2") << "ActionRKKD" << int(Qt::Key_F2) << int(Qt::NoModifier);
        QTest::newRow("F7") << "ActionRKCX" << int(Qt::Key_F7) << int(Qt::NoModifier);
        QTest::newRow("Ctrl+G") << "ActionGYS" << int(Qt::Key_G) << int(Qt::ControlModifier);
    }
    void commandsAfterFocusFromOutside()
    {
        QFETCH(QString, command);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        f->start();
        QWidget elsewhere;
        elsewhere.setWindowTitle("elsewhere");
        elsewhere.resize(300, 200);
        elsewhere.show();
        QVERIFY(QTest::qWaitForWindowExposed(&elsewhere));
        auto focusFromOutside = [](QWidget *window) {
            return QProcess::execute("xdotool", {"windowfocus", "--sync", QString::number(window->winId())}) == 0;
        };
        for (int round = 0; round < 3; ++round) {
            QVERIFY(focusFromOutside(&elsewhere));
            QTRY_VERIFY(elsewhere.isActiveWindow());
            QVERIFY(focusFromOutside(&f->main()));
            QTRY_VERIFY(f->main().isActiveWindow());
            QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &f->main();
            QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            QVERIFY2(f->seams.messages().isEmpty(), qPrintable(f->seams.lastMessage()));
            QWidget *w = f->main().lastOpened(command);
            QVERIFY(w && w->isVisible());
            QCOMPARE(f->main().mdiArea()->subWindowList().size(), 1);
            w->parentWidget()->close();
            QTRY_VERIFY(f->main().mdiArea()->subWindowList().isEmpty());
        }
    }

    // Command shortcuts are the program's: they win over what a box or a grid would do
    // with the key (Ctrl+A selects the text of a box).
    void commandShortcutsWinOverTheWidgets_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("command");
        QTest::newRow("Ctrl+A in a text box") << "EditSN" << int(Qt::Key_A) << int(Qt::ControlModifier) << "ActionGSXXLR";
        QTest::newRow("Ctrl+A in a drop-down box")
            << "ComboBoxMC" << int(Qt::Key_A) << int(Qt::ControlModifier) << "ActionGSXXLR";
        QTest::newRow("Ctrl+D in a text box") << "EditLSDH" << int(Qt::Key_D) << int(Qt::ControlModifier) << "ActionKH";
        QTest::newRow("F7 in the lines grid") << "DBGrid1" << int(Qt::Key_F7) << int(Qt::NoModifier) << "ActionRKCX";
        QTest::newRow("Ctrl+B in a price box") << "DBEditcgj" << int(Qt::Key_B) << int(Qt::ControlModifier) << "ActionZYDA";
    }
    void commandShortcutsWinOverTheWidgets()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, command);
        f->start();
        QVERIFY(activate());
        QTest::keyClick(&f->main(), Qt::Key_F2);
        auto *w = qobject_cast<Trkkd *>(f->main().lastOpened("ActionRKKD"));
        QVERIFY(w);
        QWidget *target = w->findChild<QWidget *>(focus);
        QVERIFY(target);
        auto *edit = qobject_cast<QLineEdit *>(target);
        if (auto *box = qobject_cast<QComboBox *>(target)) {
            box->setEditText("abc");
            edit = box->lineEdit();
        }
        target->setFocus();
        QCOMPARE(QApplication::focusWidget(), target);
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY2(f->seams.messages().isEmpty(), qPrintable(f->seams.lastMessage()));
        QVERIFY(f->main().lastOpened(command));
        QCOMPARE(f->main().mdiArea()->subWindowList().size(), 2);
        if (edit)
            QVERIFY(!edit->hasSelectedText());
    }

    // A flag is true exactly when no window of its screen exists.
    void instanceFlagsFollowTheWindows()
    {
        f->start();
        QVERIFY(activate());
        QTest::keyClick(&f->main(), Qt::Key_F2);
        QWidget *w = f->main().lastOpened("ActionRKKD");
        QVERIFY(w);
        QVERIFY(!f->main().instanceFlag("Trkkd"));
        // The window goes without running its close handler.
        delete w->parentWidget();
        QVERIFY(f->main().instanceFlag("Trkkd"));
        QTest::keyClick(&f->main(), Qt::Key_F2);
        QVERIFY(f->seams.messages().isEmpty());
        w = f->main().lastOpened("ActionRKKD");
        QVERIFY(w);
        // A flag left false with no window does not lock the screen out.
        w->parentWidget()->close();
        QTRY_VERIFY(f->main().mdiArea()->subWindowList().isEmpty());
        f->main().setInstanceFlag("Trkkd", false);
        QTest::keyClick(&f->main(), Qt::Key_F2);
        QVERIFY(f->seams.messages().isEmpty());
        QCOMPARE(f->main().mdiArea()->subWindowList().size(), 1);
        // With the window there, a second press still says so.
        QTest::keyClick(&f->main(), Qt::Key_F2);
        QCOMPARE(f->seams.messages(), QStringList{"该窗口已经打开了"});
    }

    // ---------------------------------------------------------------- what the user sees

    void standardDialogsSpeakChinese()
    {
        QTranslator *t = installQtTranslations(*qApp);
        QVERIFY(t);
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
        QFileDialog files;
        files.setOption(QFileDialog::DontUseNativeDialog);
        auto *lookIn = files.findChild<QLabel *>("lookInLabel");
        QVERIFY(lookIn);
        QVERIFY2(!lookIn->text().contains("Look in") && lookIn->text().contains(QChar(0x67E5)), qPrintable(lookIn->text()));
        QCOMPARE(QCoreApplication::translate("QPrintPreviewDialog", "Print"), QStringLiteral("打印"));
        QCoreApplication::removeTranslator(t);
        delete t;
    }

    // A screen opens in the normal state over the whole free area (a list shows at least
    // twenty rows), with the program's icon, and comes back where the user last left it.
    void screensUseTheFreeAreaAndComeBack_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("grid");
        QTest::newRow("stock-in") << "ActionRKKD" << "DBGrid1";
        QTest::newRow("stock-in query") << "ActionRKCX" << "DBGrid1";
        QTest::newRow("suppliers") << "ActionGYS" << "DBGrid1";
    }
    void screensUseTheFreeAreaAndComeBack()
    {
        QFETCH(QString, command);
        QFETCH(QString, grid);
        f->start();
        const QSize area = f->main().workArea();
        QVERIFY(area.width() > 1200 && area.height() > 700);
        f->main().action(command)->trigger();
        QWidget *w = f->main().lastOpened(command);
        QVERIFY(w);
        auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget());
        QVERIFY(sub && !sub->isMaximized());
        QCOMPARE(sub->geometry(), QRect(QPoint(0, 0), area));
        auto *list = w->findChild<DBGrid *>(grid);
        QVERIFY(list);
        QVERIFY2(list->viewport()->height() / list->verticalHeader()->defaultSectionSize() >= 20,
                 qPrintable(QString::number(list->viewport()->height())));
        QCOMPARE(sub->windowIcon().pixmap(32, 32).toImage(), TAboutBox::programIcon().toImage());
        // The caption is shown whole.
        QFont bold = sub->font();
        bold.setBold(true);
        QVERIFY(QFontMetrics(bold).horizontalAdvance(sub->windowTitle()) + 120 < sub->width());

        const QRect given(40, 30, 1000, 640);
        sub->setGeometry(given);
        sub->close();
        QTRY_VERIFY(f->main().mdiArea()->subWindowList().isEmpty());
        f->main().action(command)->trigger();
        sub = qobject_cast<QMdiSubWindow *>(f->main().lastOpened(command)->parentWidget());
        QCOMPARE(sub->geometry(), given);
        // Maximised when closed, it keeps the place it had before.
        sub->showMaximized();
        sub->close();
        QTRY_VERIFY(f->main().mdiArea()->subWindowList().isEmpty());
        f->main().action(command)->trigger();
        sub = qobject_cast<QMdiSubWindow *>(f->main().lastOpened(command)->parentWidget());
        QCOMPARE(sub->geometry(), given);
    }

    void everyWindowCarriesTheProgramIcon()
    {
        f->start();
        const QImage icon = TAboutBox::programIcon().toImage();
        QCOMPARE(f->main().windowIcon().pixmap(32, 32).toImage(), icon);
        Tformgys picker(f->main());
        QCOMPARE(picker.windowIcon().pixmap(32, 32).toImage(), icon);
    }

    // ---------------------------------------------------------------- window commands

    void windowCommandsFollowTheChildWindows()
    {
        f->start();
        const QStringList names = {"WindowCascade1", "WindowTileHorizontal1", "WindowTileVertical1",
                                   "WindowMinimizeAll1"};
        auto check = [&](bool on) {
            for (const QString &n : names) {
                if (f->main().action(n)->isEnabled() != on || button(n)->isEnabled() != on)
                    return false;
            }
            return true;
        };
        QVERIFY(check(false));
        f->main().action("ActionLJXX")->trigger();
        QVERIFY(check(true));
        f->main().action("ActionLJXX")->trigger();
        const auto subs = f->main().mdiArea()->subWindowList();
        f->main().action("WindowCascade1")->trigger();
        QVERIFY(subs[0]->pos() != subs[1]->pos());
        f->main().action("WindowMinimizeAll1")->trigger();
        for (QMdiSubWindow *w : subs)
            QVERIFY(w->isMinimized());
        f->main().mdiArea()->closeAllSubWindows();
        QTRY_VERIFY(f->main().mdiArea()->subWindowList().isEmpty());
        QTRY_VERIFY(check(false));
    }

    // ---------------------------------------------------------------- help

    void help_data()
    {
        QTest::addColumn<QString>("heldName");     // what the dialog holds afterwards; empty: cancelled
        QTest::addColumn<QString>("file");         // file created in the working folder; empty: none
        QTest::addColumn<bool>("viewerStarts");
        QTest::addColumn<QString>("message");
        QTest::newRow("confirmed") << "guide/手册.doc" << "guide/手册.doc" << true << "";
        QTest::newRow("cancelled keeps the default name") << "" << "使用说明.doc" << true << "";
        QTest::newRow("cancelled, default missing") << "" << "" << true << "请选择WORD文档!";
        QTest::newRow("confirmed name missing") << "nope.doc" << "使用说明.doc" << true << "请选择WORD文档!";
        QTest::newRow("a folder") << "guide" << "guide/手册.doc" << true << "请选择WORD文档!";
        QTest::newRow("no viewer") << "" << "使用说明.doc" << false << "没有安装OFFICE2003";
    }
    void help()
    {
        QFETCH(QString, heldName);
        QFETCH(QString, file);
        QFETCH(bool, viewerStarts);
        QFETCH(QString, message);
        f->start();
        if (!file.isEmpty()) {
            QDir(f->dir()).mkpath(QFileInfo(f->path(file)).path());
            QVERIFY(QFile::copy(DOCS_DIR "/使用说明.doc", f->path(file)));
        }
        if (!heldName.isEmpty())
            f->seams.fileAnswers << heldName;
        const bool asksViewer = message.isEmpty() || !viewerStarts;
        if (asksViewer)
            f->seams.documentAnswers << viewerStarts;

        QVERIFY(activate());
        QTest::keyClick(&f->main(), Qt::Key_F1);

        QCOMPARE(f->seams.shown.value(0).kind, QStringLiteral("open"));
        QCOMPARE(f->seams.shown.value(0).text, QStringLiteral("使用说明.doc"));
        QCOMPARE(f->seams.shown.value(0).title, QStringLiteral("使用说明 (*.doc)"));
        const QString used = heldName.isEmpty() ? QStringLiteral("使用说明.doc") : heldName;
        if (message.isEmpty()) {
            QCOMPARE(f->seams.shown.size(), 2);
            QCOMPARE(f->seams.shown[1].kind, QStringLiteral("document"));
            QCOMPARE(QFileInfo(f->seams.shown[1].text), QFileInfo(f->path(used)));
            QVERIFY(f->main().isMinimized());
        } else {
            QCOMPARE(f->seams.lastMessage(), message);
            QCOMPARE(f->seams.shown.last().icon, viewerStarts ? ui::Icon::None : ui::Icon::Error);
            QVERIFY(!f->main().isMinimized());
        }
    }

    void shippedGuideIsAWordDocument()
    {
        QFile doc(DOCS_DIR "/使用说明.doc");
        QVERIFY(doc.open(QIODevice::ReadOnly));
        QVERIFY(doc.size() > 10000);
        // Word 97-2003 documents are compound files.
        QCOMPARE(doc.read(8).toHex(), QByteArray("d0cf11e0a1b11ae1"));
    }

    // ---------------------------------------------------------------- about box

    void aboutBoxContents()
    {
        f->start();
        QVERIFY(activate());
        QTest::keyClick(&f->main(), Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(aboutBoxes().size(), 1);
        TAboutBox *box = aboutBoxes().first();
        finishAnimation(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("关于"));
        QCOMPARE(box->ProductName->text(), QStringLiteral("Korvel商品管理软件系统"));
        QCOMPARE(box->Version->text(), QStringLiteral("版本：10.05.07.19"));
        QCOMPARE(box->Label3->text(), QStringLiteral("更新时看说明。"));
        QVERIFY(box->Label2->text().contains(TAboutBox::webSite().toString()));
        QVERIFY(!box->Label1->text().isEmpty());
        QVERIFY(!box->Copyright->text().isEmpty());
        QCOMPARE(box->OKButton->text(), QStringLiteral("打开网站"));
        QVERIFY(box->OKButton->isDefault());
        QCOMPARE(box->OKButton->toolTip(), QStringLiteral("更新时先把数据备份，文件更新完成，再恢复数据"));
        QCOMPARE(box->ProgramIcon->pixmap().size(), QSize(32, 32));
        QVERIFY(box->ProgramIcon->hasScaledContents());
        QCOMPARE(box->Panel1->frameShadow(), QFrame::Sunken);
        QVERIFY(box->Panel1->isAncestorOf(box->OKButton));

        // A fixed dialog border, centred in the work area.
        auto *sub = qobject_cast<QMdiSubWindow *>(box->parentWidget());
        QVERIFY(sub);
        QCOMPARE(sub->windowTitle(), QStringLiteral("关于"));
        QCOMPARE(sub->minimumSize(), sub->maximumSize());
        QVERIFY(!(sub->windowFlags() & Qt::WindowMaximizeButtonHint));
        const QPoint centre = f->main().mdiArea()->viewport()->rect().center();
        QVERIFY(qAbs(sub->geometry().center().x() - centre.x()) <= 1);
        QVERIFY(qAbs(sub->geometry().center().y() - centre.y()) <= 1);
        QVERIFY(box->width() >= box->Panel1->sizeHint().width());

        // The web site opens and the box stays; Enter presses the default button.
        box->OKButton->click();
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(f->seams.shown.size(), 2);
        for (const auto &s : f->seams.shown) {
            QCOMPARE(s.kind, QStringLiteral("url"));
            QCOMPARE(s.text, TAboutBox::webSite().toString());
        }
        QVERIFY(box->isVisible());

        // Each use opens one more; closing frees the window.
        f->main().action("ActionLJXX")->trigger();
        QCOMPARE(aboutBoxes().size(), 2);
        QPointer<TAboutBox> gone = box;
        sub->close();
        QTRY_VERIFY(gone.isNull());
        QCOMPARE(aboutBoxes().size(), 1);
    }

    void aboutBoxGrowsFromItsCentre()
    {
        f->start();
        TAboutBox *box = TAboutBox::open(f->main());
        QPropertyAnimation *a = box->animation();
        QVERIFY(a);
        QCOMPARE(a->duration(), 1000);
        QCOMPARE(a->state(), QAbstractAnimation::Running);
        const QRect start = a->startValue().toRect();
        const QRect end = a->endValue().toRect();
        QVERIFY(start.width() < 5 && start.height() < 5);
        QVERIFY(qAbs(start.center().x() - end.center().x()) <= 1);
        QVERIFY(qAbs(start.center().y() - end.center().y()) <= 1);
        auto *sub = qobject_cast<QMdiSubWindow *>(box->parentWidget());
        a->setCurrentTime(500);
        QVERIFY(sub->width() > start.width() && sub->width() < end.width());
        QVERIFY(end.contains(sub->geometry()));
        a->setCurrentTime(1000);
        QCOMPARE(sub->geometry(), end);
        QCOMPARE(sub->minimumSize(), end.size());
        QCOMPARE(sub->maximumSize(), end.size());
    }

    void gradientBands_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("bottom");
        QTest::newRow("256: one pixel each, first") << 256 << 0 << 0 << 1;
        QTest::newRow("256: last") << 256 << 255 << 255 << 256;
        QTest::newRow("512: two pixels") << 512 << 100 << 200 << 202;
        QTest::newRow("300: band 1") << 300 << 1 << 1 << 2;    // 1.17 .. 2.34
        QTest::newRow("300: band 2") << 300 << 2 << 2 << 4;    // 2.34 .. 3.52
        QTest::newRow("300: last") << 300 << 255 << 299 << 300;  // 298.8 .. 300
        QTest::newRow("100: band 1 empty") << 100 << 1 << 0 << 1;  // 0.39 .. 0.78
        QTest::newRow("100: band 3") << 100 << 3 << 1 << 2;        // 1.17 .. 1.56
    }
    void gradientBands()
    {
        QFETCH(int, height);
        QFETCH(int, k);
        QFETCH(int, top);
        QFETCH(int, bottom);
        const QList<TAboutBox::Band> bands = TAboutBox::bands(height);
        QCOMPARE(bands.size(), 256);
        QCOMPARE(bands[k].top, top);
        QCOMPARE(bands[k].bottom, bottom);
        QCOMPARE(bands[k].colour, QColor(255 - k, 255 - k, 255 - k));
        // No gaps, no overlaps, top to bottom.
        QCOMPARE(bands.first().top, 0);
        QCOMPARE(bands.last().bottom, height);
        for (int i = 1; i < 256; ++i)
            QCOMPARE(bands[i].top, bands[i - 1].bottom);
    }

    void gradientIsPaintedAroundThePanel()
    {
        f->start();
        TAboutBox *box = TAboutBox::open(f->main());
        finishAnimation(box);
        const QImage img = box->grab().toImage();
        const int h = box->height();
        QCOMPARE(img.height(), h);
        QCOMPARE(QColor(img.pixel(1, 0)), QColor(Qt::white));
        QCOMPARE(QColor(img.pixel(img.width() - 2, h - 1)), QColor(Qt::black));
        for (const TAboutBox::Band &b : TAboutBox::bands(h)) {
            if (b.bottom <= b.top)
                continue;
            QCOMPARE(QColor(img.pixel(2, b.top)), b.colour);
            QCOMPARE(QColor(img.pixel(img.width() - 3, b.bottom - 1)), b.colour);
        }
        // The panel covers the centre.
        const QPoint mid = box->Panel1->geometry().center();
        QVERIFY(box->Panel1->geometry().contains(mid));
        QVERIFY(box->Panel1->geometry().left() > 0 && box->Panel1->geometry().top() > 0);
    }
};

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
