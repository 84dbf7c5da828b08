#pragma once
// Wires the screens and commands of this area to their host.
class ScreenHost;

void registerStockIn(ScreenHost &host);
