#include "stockout/StockOutRegister.h"

#include "stockout/Tckkd.h"
#include "ui/ScreenHost.h"

#include <QComboBox>

void registerStockOut(ScreenHost &host)
{
    host.registerScreen(QStringLiteral("ActionCKKD"), ScreenHost::OpenPattern::Once, QStringLiteral("Tckkd"), nullptr,
                        [](ScreenHost &h) -> QWidget * {
                            auto *w = new Tckkd(h);
                            h.addChild(w);
                            // The stock-out screen opens maximised.
                            if (QWidget *frame = w->parentWidget())
                                frame->showMaximized();
                            w->ComboBoxBH->setFocus();
                            return w;
                        });
}
