#pragma once

#include <QString>

// The user's data folder of the program: "Lumbrack/Ostrel/" in the user's
// data folder (~/.local/share), ending in '/'.  Spelled out rather than
// AppDataLocation, so the place does not depend on whether the application
// object has set its names yet.  Not created here.
QString AppDataFolder();
