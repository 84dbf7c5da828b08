#include "Screens.h"
#include "Tmain.h"

void registerAnalysis(Tmain &)
{
}
