#include "analysis/AnalysisRegister.h"

#include "analysis/ChartKinds.h"
#include "analysis/ChartScreen.h"
#include "store/DataModule.h"
#include "ui/ScreenHost.h"

void registerAnalysis(ScreenHost &host)
{
    for (const ChartKind *k : {&ChartKind::customers(), &ChartKind::products(), &ChartKind::profit()})
        host.registerScreen(QString::fromLatin1(k->command), ScreenHost::OpenPattern::RefreshThenOnce,
                            QString::fromLatin1(k->screen), host.data().*(k->dataSet),
                            [k](ScreenHost &h) -> QWidget * { return h.addChild(new ChartScreen(h, *k)); });
}
