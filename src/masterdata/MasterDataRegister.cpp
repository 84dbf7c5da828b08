#include "Screens.h"
#include "Tmain.h"

void registerMasterData(Tmain &)
{
}
