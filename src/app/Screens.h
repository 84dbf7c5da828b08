#pragma once
// Wires every screen and command handler to the main window. Each feature area has its
// own registration function; a screen added later is one line in its area's function.
class Tmain;

void registerAllScreens(Tmain &main);

void registerMasterData(Tmain &main);   // masterdata/
void registerMaintenance(Tmain &main);  // maintenance/
void registerStockIn(Tmain &main);      // stockin/
void registerStockOut(Tmain &main);     // stockout/
void registerQueries(Tmain &main);      // queries/
void registerSettlement(Tmain &main);   // settlement/
void registerAnalysis(Tmain &main);     // analysis/
void registerShell(Tmain &main);        // app/: ribbon, help, about
