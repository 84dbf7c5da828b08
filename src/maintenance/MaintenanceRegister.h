#pragma once
// Wires the screens and commands of this area to their host.
class ScreenHost;

void registerMaintenance(ScreenHost &host);
