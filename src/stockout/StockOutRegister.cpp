#include "Screens.h"
#include "Tmain.h"

void registerStockOut(Tmain &)
{
}
