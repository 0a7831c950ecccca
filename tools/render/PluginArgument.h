#pragma once

#include <string>

// The --plugin option of tolven-render: render through a plug-in module
// loaded the way a host loads it instead of the built-in channel strip.
// Taken out of the command line before the other options are read.

// Removes "--plugin PATH" or "--plugin=PATH" from argv (argc shrinks) and
// stores PATH. False, with a message, when the option lacks its path or
// comes twice. Arguments after "--" are file names and are left alone.
bool TakePluginArgument(int& argc, char** argv, std::string& path, std::string& error);

// The usage lines for the option.
std::string PluginUsage();
