#include "Screens.h"

void registerAllScreens(Tmain &main)
{
    registerShell(main);
    registerMasterData(main);
    registerMaintenance(main);
    registerStockIn(main);
    registerStockOut(main);
    registerQueries(main);
    registerSettlement(main);
    registerAnalysis(main);
}
