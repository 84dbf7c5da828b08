#include "Screens.h"
#include "Tmain.h"

void registerQueries(Tmain &)
{
}
