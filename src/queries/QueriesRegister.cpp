#include "queries/QueriesRegister.h"

#include "queries/TFormCKCX.h"
#include "queries/TFormPL.h"
#include "queries/TFormRKCX.h"
#include "queries/TFormfkcx.h"
#include "queries/TFormskcx.h"
#include "store/DataModule.h"
#include "ui/ScreenHost.h"

void registerQueries(ScreenHost &host)
{
    host.registerScreen(QStringLiteral("ActionRKCX"), ScreenHost::OpenPattern::RefreshThenOnce,
                        QStringLiteral("TFormRKCX"), host.data().ADOQueryDHrk,
                        [](ScreenHost &h) -> QWidget * { return h.addChild(new TFormRKCX(h)); });
    host.registerScreen(QStringLiteral("ActionCKCX"), ScreenHost::OpenPattern::RefreshThenOnce,
                        QStringLiteral("TFormCKCX"), host.data().ADOQueryDHck,
                        [](ScreenHost &h) -> QWidget * { return h.addChild(new TFormCKCX(h)); });
    host.registerScreen(QStringLiteral("ActionFKCX"), ScreenHost::OpenPattern::Once, QStringLiteral("TFormfkcx"), nullptr,
                        [](ScreenHost &h) -> QWidget * { return h.addChild(new TFormfkcx(h)); });
    host.registerScreen(QStringLiteral("ActionSKCX"), ScreenHost::OpenPattern::Once, QStringLiteral("TFormskcx"), nullptr,
                        [](ScreenHost &h) -> QWidget * { return h.addChild(new TFormskcx(h)); });
    host.registerScreen(QStringLiteral("ActionKCCX"), ScreenHost::OpenPattern::RefreshThenOnce, QStringLiteral("TFormPL"),
                        host.data().ADOQueryPLCX, [](ScreenHost &h) -> QWidget * { return h.addChild(new TFormPL(h)); });
}
