#include "queries/QueriesRegister.h"

#include "queries/TFormCKCX.h"
#include "queries/TFormRKCX.h"
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
}
