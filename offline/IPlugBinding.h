#pragma once

// Selects the offline binding for a plug-in class compiled into this target.
#include "IPlugOffline.h"

using IPlugBinding = IPlugOffline;
