// tolven-lv2-turtle FOLDER: writes the bundle's manifest.ttl, TOLVEN.ttl and
// presets.ttl into FOLDER from a TOLVEN instance built exactly as the module
// builds it, so the bundle's data always describes the code it ships with.
#include "LV2TurtleWriter.h"
#include "TOLVEN.h"
#include "TOLVENLV2.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s BUNDLE-FOLDER\n", argv[0]);
    return 2;
  }
  // No host features: enough to define the parameters and fill the presets.
  const TOLVEN plug{IPlugInstanceInfo{}};
  const LV2BundleDescription description = {
      TOLVENLV2::kPluginUri,   TOLVENLV2::kStateKeyUri,  TOLVENLV2::kDefaultPresetUri,
      TOLVENLV2::kBinaryName,  TOLVENLV2::kUiUri,        TOLVENLV2::kUiBinaryName,
      TOLVENLV2::kBypassParam, TOLVENLV2::IsDecibelParam};
  std::string error;
  if (!LV2TurtleWriter(plug, description).WriteBundle(argv[1], error)) {
    std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
    return 1;
  }
  return 0;
}
