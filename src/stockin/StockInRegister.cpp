#include "stockin/StockInRegister.h"

#include "stockin/Trkkd.h"
#include "ui/ScreenHost.h"

#include <QMdiSubWindow>

void registerStockIn(ScreenHost &host)
{
    host.registerScreen(QStringLiteral("ActionRKKD"), ScreenHost::OpenPattern::Once, QStringLiteral("Trkkd"), nullptr,
                        [](ScreenHost &h) -> QWidget * {
                            auto *w = new Trkkd(h);
                            h.addChild(w);
                            // Opens in the normal state, as large as the work area allows.
                            if (auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget())) {
                                const QSize area = h.workArea();
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
