#include "Screens.h"
#include "Tmain.h"

void registerShell(Tmain &)
{
}
