#include "Screens.h"
#include "Tmain.h"

void registerSettlement(Tmain &)
{
}
