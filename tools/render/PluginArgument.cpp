#include "PluginArgument.h"

#include <cstring>

bool TakePluginArgument(int& argc, char** argv, std::string& path, std::string& error) {
  bool found = false;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i] ? argv[i] : "";
    if (std::strcmp(arg, "--") == 0) {
      while (i < argc)
        argv[kept++] = argv[i++];
      break;
    }
    std::string value;
    if (std::strcmp(arg, "--plugin") == 0) {
      if (i + 1 >= argc || !argv[i + 1]) {
        error = "--plugin needs the path of a plug-in module";
        return false;
      }
      value = argv[++i];
    } else if (std::strncmp(arg, "--plugin=", 9) == 0) {
      value = arg + 9;
    } else {
      argv[kept++] = argv[i];
      continue;
    }
    if (found) {
      error = "--plugin given twice";
      return false;
    }
    if (value.empty()) {
      error = "--plugin needs the path of a plug-in module";
      return false;
    }
    path = value;
    found = true;
  }
  argc = kept;
  argv[argc] = nullptr;
  return true;
}

std::string PluginUsage() {
  return "  --plugin PATH       render through a VST2 module (TOLVEN.so, TOLVEN.dll)\n"
         "                      loaded as a host loads it, with 64-bit processing\n";
}
