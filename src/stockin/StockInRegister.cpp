#include "Screens.h"
#include "Tmain.h"

void registerStockIn(Tmain &)
{
}
