#include "settlement/SettlementRegister.h"

#include "settlement/TFormYS.h"
#include "settlement/TFormyf.h"
#include "store/DataModule.h"
#include "ui/ScreenHost.h"

void registerSettlement(ScreenHost &host)
{
    host.registerScreen(QStringLiteral("ActionYS"), ScreenHost::OpenPattern::RefreshThenOnce, QStringLiteral("TFormYS"),
                        host.data().ADOQueryYS,
                        [](ScreenHost &h) -> QWidget * { return h.addChild(new TFormYS(h)); });
    host.registerScreen(QStringLiteral("ActionYF"), ScreenHost::OpenPattern::RefreshThenOnce, QStringLiteral("TFormyf"),
                        host.data().ADOQueryYF,
                        [](ScreenHost &h) -> QWidget * { return h.addChild(new TFormyf(h)); });
}
