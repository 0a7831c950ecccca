#pragma once

#include <functional>
#include <string>

// One --set NAME=VALUE from a tool's command line. Both stay text until the
// processor is there, since names and bounds belong to it.
struct ParameterSetting {
  std::string name; // parameter name (any letter case) or index, as typed
  std::string value;
};

// Splits NAME=VALUE at the first '='. False with a message in error when there
// is no '=' or no name; an empty value is left for ParseDecimal to refuse.
bool ParseParameterSetting(const std::string& text, ParameterSetting& setting, std::string& error);

// Reads a whole text as a finite plain decimal number (blanks around it
// allowed). False for anything else: empty, trailing garbage, hexadecimal,
// NaN, infinity, out of range.
bool ParseDecimal(const std::string& text, double& value);

// The parameter a setting's key names among count parameters, nameAt(i)
// giving their names: a key of digits only is an index (at most six digits);
// otherwise an exact name first, then the same name in any letter case. -1
// when nothing matches.
int FindParameterIndex(const std::string& key, int count,
                       const std::function<std::string(int)>& nameAt);
