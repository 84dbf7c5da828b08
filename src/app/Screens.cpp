#include "app/Screens.h"

#include "analysis/AnalysisRegister.h"
#include "app/Tmain.h"
#include "maintenance/MaintenanceRegister.h"
#include "masterdata/MasterDataRegister.h"
#include "queries/QueriesRegister.h"
#include "settlement/SettlementRegister.h"
#include "stockin/StockInRegister.h"
#include "stockout/StockOutRegister.h"

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
