#include "Screens.h"
#include "Tmain.h"

void registerMaintenance(Tmain &)
{
}
