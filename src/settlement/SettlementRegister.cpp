#include "settlement/SettlementRegister.h"

#include "ui/ScreenHost.h"

void registerSettlement(ScreenHost &)
{
}
