#pragma once

#include "SnapshotOptions.h"

#include <string>
#include <vector>

class IPlugOffline;

// Applies --set settings to a strip as a host would (real units, pushed into
// the editor's controls). False with a message for an unknown parameter, a
// value that is not a number, out of range or between the steps of a stepped
// parameter; settings before the faulty one stay applied.
bool ApplySettings(IPlugOffline& strip, const std::vector<SnapshotOptions::Setting>& settings,
                   std::string& error);

// The index of a parameter named (exactly, then in any letter case) or
// numbered by key; -1 when there is none.
int FindParameter(const IPlugOffline& strip, const std::string& key);
