#include "stockin/StockInRegister.h"

#include "stockin/Trkkd.h"
#include "ui/ScreenHost.h"

#include <QComboBox>

void registerStockIn(ScreenHost &host)
{
    // The host gives the screen its size and place; it opens in the normal state.
    host.registerScreen(QStringLiteral("ActionRKKD"), ScreenHost::OpenPattern::Once, QStringLiteral("Trkkd"), nullptr,
                        [](ScreenHost &h) -> QWidget * {
                            auto *w = new Trkkd(h);
                            h.addChild(w);
                            w->ComboBoxBH->setFocus();
                            return w;
                        });
}
