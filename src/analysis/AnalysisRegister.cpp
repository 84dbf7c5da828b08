#include "analysis/AnalysisRegister.h"

#include "ui/ScreenHost.h"

void registerAnalysis(ScreenHost &)
{
}
