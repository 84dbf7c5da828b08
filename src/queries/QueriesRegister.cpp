#include "queries/QueriesRegister.h"

#include "queries/TFormPL.h"
#include "queries/TFormRKCX.h"
#include "store/DataModule.h"
#include "ui/ScreenHost.h"

void registerQueries(ScreenHost &host)
{
    host.registerScreen(QStringLiteral("ActionRKCX"), ScreenHost::OpenPattern::RefreshThenOnce,
                        QStringLiteral("TFormRKCX"), host.data().ADOQueryDHrk,
                        [](ScreenHost &h) -> QWidget * { return h.addChild(new TFormRKCX(h)); });
    host.registerScreen(QStringLiteral("ActionKCCX"), ScreenHost::OpenPattern::RefreshThenOnce, QStringLiteral("TFormPL"),
                        host.data().ADOQueryPLCX, [](ScreenHost &h) -> QWidget * { return h.addChild(new TFormPL(h)); });
}
