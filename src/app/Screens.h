#pragma once
// Wires every screen and command handler to the main window. Each feature area has its
// own registration function; a screen added later is one line in its area's function.
class Tmain;

void registerAllScreens(Tmain &main);
// app/: ribbon, help, about, user switching
void registerShell(Tmain &main);
