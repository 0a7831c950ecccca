#pragma once

// Selects the LV2 UI binding for the plug-in class compiled into the UI module.
#include "IPlugLV2UI.h"

using IPlugBinding = IPlugLV2UI;
