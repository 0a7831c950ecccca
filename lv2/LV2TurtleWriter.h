#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class IPlugBase;

// What the bundle says about a plug-in beyond its parameter table.
struct LV2BundleDescription {
  const char* pluginUri;
  const char* stateKeyUri;
  const char* defaultPresetUri; // preset slot 0
  const char* binaryName;       // the shared object, relative to the bundle
  const char* uiUri;            // the editor, an X11 UI
  const char* uiBinaryName;     // its shared object, relative to the bundle
  int bypassParam;              // engaged by the host's lv2:enabled; -1: none
  bool (*isDecibel)(int paramIndex);
};

// Writes a bundle's Turtle files from a live plug-in instance, so that the
// ports' names, ranges, defaults, units and the stepped or switch nature of
// each parameter are the ones the code defines, and the presets are the
// plug-in's own preset slots. Port indices come from LV2PortLayout.
class LV2TurtleWriter {
public:
  LV2TurtleWriter(const IPlugBase& plug, const LV2BundleDescription& description);

  // manifest.ttl: the plug-in and its UI with their binaries and data file,
  // the presets.
  std::string Manifest() const;
  // <effect name>.ttl: the plug-in and its ports, and the UI's features.
  std::string PluginData() const;
  // presets.ttl: every initialised preset slot, as port values and state.
  std::string Presets() const;
  std::string PluginDataFileName() const;

  // Writes the three files into folder (which must exist); false, with a
  // message in error, when a file cannot be written or two ports would share
  // a symbol.
  bool WriteBundle(const std::string& folder, std::string& error) const;

  // A port symbol from a parameter name: "High Gain 1" -> "high_gain_1".
  static std::string Symbol(const char* name);
  // The shortest decimal text that reads back as exactly value, always with
  // a point or an exponent (a Turtle double or decimal, never an integer).
  static std::string Number(double value);
  static std::string Base64(const uint8_t* bytes, std::size_t size);

private:
  std::string PresetUri(int slot) const;
  std::string ParamPort(int paramIndex) const;
  std::string UiData() const;
  bool SymbolsUnique(std::string& error) const;

  const IPlugBase& mPlug;
  LV2BundleDescription mDescription;
};
