#include "Screens.h"
#include "Tmain.h"
#include "Trkkd.h"

#include <QMdiArea>
#include <QMdiSubWindow>

void registerStockIn(Tmain &main)
{
    main.registerScreen(QStringLiteral("ActionRKKD"), Tmain::OpenPattern::Once, QStringLiteral("Trkkd"), nullptr,
                        [](Tmain &m) -> QWidget * {
                            auto *w = new Trkkd(m);
                            m.addChild(w);
                            // Opens in the normal state, as large as the work area allows.
                            if (auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget())) {
                                const QSize area = m.mdiArea()->viewport()->size();
                                QSize want(1080, 720);
                                if (area.width() > 200 && area.height() > 200)
                                    want = want.boundedTo(area);
                                sub->showNormal();
                                sub->resize(want);
                            }
                            w->ComboBoxBH->setFocus();
                            return w;
                        });
}
