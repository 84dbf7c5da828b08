#include "stockout/StockOutRegister.h"

#include "ui/ScreenHost.h"

void registerStockOut(ScreenHost &)
{
}
