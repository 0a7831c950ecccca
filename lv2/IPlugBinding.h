#pragma once

// Selects the LV2 binding for the plug-in class compiled into this module.
#include "IPlugLV2.h"

using IPlugBinding = IPlugLV2;
