#include "Screens.h"
#include "TFormgsxc.h"
#include "Tgy.h"
#include "Tgys.h"
#include "Tkh.h"
#include "Tmain.h"

void registerMasterData(Tmain &main)
{
    using P = Tmain::OpenPattern;
    main.registerScreen(QStringLiteral("ActionGSXXLR"), P::OnceSilently, QStringLiteral("TFormgsxc"), nullptr,
                        [](Tmain &m) -> QWidget * {
                            auto *w = new TFormgsxc(m);
                            m.addChild(w);
                            w->FormCreate();
                            return w;
                        });
    main.registerScreen(QStringLiteral("ActionZYDA"), P::RefreshThenOnce, QStringLiteral("Tgy"), main.ADOTableGY,
                        [](Tmain &m) -> QWidget * { return m.addChild(new Tgy(m)); });
    main.registerScreen(QStringLiteral("ActionGYS"), P::RefreshThenOnce, QStringLiteral("Tgys"), main.ADOTableGYS,
                        [](Tmain &m) -> QWidget * { return m.addChild(new Tgys(m)); });
    main.registerScreen(QStringLiteral("ActionKH"), P::RefreshThenOnce, QStringLiteral("Tkh"), main.ADOTableKH,
                        [](Tmain &m) -> QWidget * { return m.addChild(new Tkh(m)); });
}
