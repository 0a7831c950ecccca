#pragma once

// Selects the VST3 binding for the plug-in class compiled into the VST3
// module: the plug-in derives from IPlugBinding and hands it an
// IPlugInstanceInfo.
#include "IPlugVST3.h"

// What the module's creation function hands to each new instance. A VST3
// instance needs nothing from its creator: the host context arrives later
// through initialize.
struct IPlugInstanceInfo {};

using IPlugBinding = IPlugVST3;
