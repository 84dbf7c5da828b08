#include "masterdata/MasterDataRegister.h"

#include "masterdata/TFormgsxc.h"
#include "masterdata/Tgy.h"
#include "masterdata/Tgys.h"
#include "masterdata/Tkh.h"
#include "store/DataModule.h"
#include "ui/ScreenHost.h"

void registerMasterData(ScreenHost &host)
{
    using P = ScreenHost::OpenPattern;
    DataModule &dm = host.data();
    host.registerScreen(QStringLiteral("ActionGSXXLR"), P::OnceSilently, QStringLiteral("TFormgsxc"), nullptr,
                        [](ScreenHost &h) -> QWidget * {
                            auto *w = new TFormgsxc(h);
                            h.addChild(w);
                            w->FormCreate();
                            return w;
                        });
    host.registerScreen(QStringLiteral("ActionZYDA"), P::RefreshThenOnce, QStringLiteral("Tgy"), dm.ADOTableGY,
                        [](ScreenHost &h) -> QWidget * { return h.addChild(new Tgy(h)); });
    host.registerScreen(QStringLiteral("ActionGYS"), P::RefreshThenOnce, QStringLiteral("Tgys"), dm.ADOTableGYS,
                        [](ScreenHost &h) -> QWidget * { return h.addChild(new Tgys(h)); });
    host.registerScreen(QStringLiteral("ActionKH"), P::RefreshThenOnce, QStringLiteral("Tkh"), dm.ADOTableKH,
                        [](ScreenHost &h) -> QWidget * { return h.addChild(new Tkh(h)); });
}
