#pragma once
// Wires the screens and commands of this area to their host.
class ScreenHost;

void registerMaintenance(ScreenHost &host);

// Copies the database "lr" over the backup file, once the open file is found sound. When it
// is not, or the copy fails, tells the user why and leaves the old backup byte for byte;
// returns false then. The backup command, the deletion command and the copy on closing
// all make this copy.
bool backupDatabase(ScreenHost &host);
