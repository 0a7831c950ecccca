#pragma once

// Selects the VST2 binding for the plug-in class compiled into this module.
#include "IPlugVST.h"

using IPlugBinding = IPlugVST;
