#include "Screens.h"
#include "TFormRKCX.h"
#include "Tmain.h"

void registerQueries(Tmain &main)
{
    main.registerScreen(QStringLiteral("ActionRKCX"), Tmain::OpenPattern::RefreshThenOnce, QStringLiteral("TFormRKCX"),
                        main.ADOQueryDHrk, [](Tmain &m) -> QWidget * {
                            auto *w = new TFormRKCX(m);
                            m.addChild(w);
                            return w;
                        });
}
