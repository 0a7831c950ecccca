#include "LV2TurtleWriter.h"

#include "IPlugBase.h"
#include "LV2PortLayout.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace {

const char kPrefixes[] = "@prefix atom:  <http://lv2plug.in/ns/ext/atom#> .\n"
                         "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
                         "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
                         "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
                         "@prefix opts:  <http://lv2plug.in/ns/ext/options#> .\n"
                         "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
                         "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                         "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
                         "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                         "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
                         "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
                         "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n"
                         "@prefix xsd:   <http://www.w3.org/2001/XMLSchema#> .\n\n";

// A Turtle string literal.
std::string Quoted(const char* text) {
  std::string out = "\"";
  for (const char* c = text; *c; ++c) {
    if (*c == '"' || *c == '\\') out += '\\';
    out += *c;
  }
  return out + "\"";
}

std::string Uri(const std::string& uri) {
  return "<" + uri + ">";
}

// One port as a blank node of the plug-in's lv2:port list.
std::string PortNode(const std::string& types, uint32_t index, const char* symbol, const char* name,
                     const std::string& body) {
  std::ostringstream s;
  s << "[\n    a " << types << " ;\n    lv2:index " << index << " ;\n    lv2:symbol "
    << Quoted(symbol) << " ;\n    lv2:name " << Quoted(name) << " ;\n"
    << body << "  ]";
  return s.str();
}

// Bounds and default of a control port.
std::string Range(double defaultValue, double minValue, double maxValue) {
  return "    lv2:default " + LV2TurtleWriter::Number(defaultValue) + " ;\n    lv2:minimum " +
         LV2TurtleWriter::Number(minValue) + " ;\n    lv2:maximum " +
         LV2TurtleWriter::Number(maxValue) + " ;\n";
}

} // namespace

LV2TurtleWriter::LV2TurtleWriter(const IPlugBase& plug, const LV2BundleDescription& description)
    : mPlug(plug), mDescription(description) {}

std::string LV2TurtleWriter::PluginDataFileName() const {
  return std::string(mPlug.GetEffectName()) + ".ttl";
}

std::string LV2TurtleWriter::PresetUri(int slot) const {
  if (slot == 0) return mDescription.defaultPresetUri;
  return std::string(mDescription.pluginUri) + "#preset-" + std::to_string(slot);
}

std::string LV2TurtleWriter::Manifest() const {
  std::ostringstream s;
  s << kPrefixes << Uri(mDescription.pluginUri) << "\n  a lv2:Plugin ;\n  lv2:binary "
    << Uri(mDescription.binaryName) << " ;\n  rdfs:seeAlso " << Uri(PluginDataFileName()) << " .\n"
    << "\n"
    << Uri(mDescription.uiUri) << "\n  a ui:X11UI ;\n  ui:binary " << Uri(mDescription.uiBinaryName)
    << " ;\n  rdfs:seeAlso " << Uri(PluginDataFileName()) << " .\n";
  for (int i = 0; i < mPlug.NumPresets(); ++i) {
    if (!mPlug.GetPreset(i)->initialized) continue;
    s << "\n"
      << Uri(PresetUri(i)) << "\n  a pset:Preset ;\n  lv2:appliesTo " << Uri(mDescription.pluginUri)
      << " ;\n  rdfs:seeAlso <presets.ttl> .\n";
  }
  return s.str();
}

std::string LV2TurtleWriter::ParamPort(int paramIndex) const {
  const IParameter& p = *mPlug.GetParam(paramIndex);
  std::string body = Range(p.Default(), p.Min(), p.Max());
  if (!p.IsDouble()) {
    // Stepped: whole numbers only; a 0..1 one is a switch.
    body += "    lv2:portProperty lv2:integer";
    if (p.Min() == 0.0 && p.Max() == 1.0) body += " , lv2:toggled";
    body += " ;\n";
  }
  if (mDescription.isDecibel && mDescription.isDecibel(paramIndex))
    body += "    units:unit units:db ;\n";
  const LV2PortLayout layout(mPlug.NumParams());
  return PortNode("lv2:InputPort , lv2:ControlPort", layout.ParamPort(paramIndex),
                  Symbol(p.Name()).c_str(), p.Name(), body);
}

std::string LV2TurtleWriter::PluginData() const {
  const LV2PortLayout layout(mPlug.NumParams());
  const auto version = static_cast<uint32_t>(mPlug.GetVersion());
  std::ostringstream s;
  s << kPrefixes << Uri(mDescription.pluginUri)
    << "\n  a lv2:Plugin , lv2:EQPlugin , doap:Project ;\n"
    << "  doap:name " << Quoted(mPlug.GetEffectName()) << " ;\n"
    << "  doap:maintainer [ foaf:name " << Quoted(mPlug.GetMakerName()) << " ] ;\n"
    << "  lv2:minorVersion " << ((version >> 8) & 0xFFu) << " ;\n"
    << "  lv2:microVersion " << (version & 0xFFu) << " ;\n"
    << "  lv2:requiredFeature urid:map ;\n"
    << "  lv2:optionalFeature opts:options ;\n"
    << "  lv2:extensionData state:interface ;\n"
    << "  ui:ui " << Uri(mDescription.uiUri) << " ;\n"
    << "  lv2:port ";
  for (int i = 0; i < mPlug.NumParams(); ++i)
    s << ParamPort(i) << " , ";
  static const char* const kSide[LV2PortLayout::kAudioChannels][2] = {{"in_l", "Left In"},
                                                                      {"in_r", "Right In"}};
  static const char* const kOutSide[LV2PortLayout::kAudioChannels][2] = {{"out_l", "Left Out"},
                                                                         {"out_r", "Right Out"}};
  for (int ch = 0; ch < LV2PortLayout::kAudioChannels; ++ch)
    s << PortNode("lv2:InputPort , lv2:AudioPort", layout.AudioIn(ch), kSide[ch][0], kSide[ch][1],
                  "")
      << " , ";
  for (int ch = 0; ch < LV2PortLayout::kAudioChannels; ++ch)
    s << PortNode("lv2:OutputPort , lv2:AudioPort", layout.AudioOut(ch), kOutSide[ch][0],
                  kOutSide[ch][1], "")
      << " , ";
  // The host's own bypass: 1 processes, 0 engages the plug-in's bypass.
  s << PortNode("lv2:InputPort , lv2:ControlPort", layout.Enabled(), "enabled", "Enabled",
                Range(1.0, 0.0, 1.0) +
                    "    lv2:designation lv2:enabled ;\n"
                    "    lv2:portProperty lv2:integer , lv2:toggled , lv2:connectionOptional ;\n")
    << " , ";
  // The VU meter's level (1.0 is the needle fully right).
  s << PortNode("lv2:OutputPort , lv2:ControlPort", layout.Meter(), "meter", "Meter",
                "    lv2:minimum 0.0 ;\n    lv2:maximum 1.0 ;\n"
                "    lv2:portProperty lv2:connectionOptional ;\n")
    << " .\n\n";
  // The key of the saved parameter state (in presets and hosts' sessions).
  s << Uri(mDescription.stateKeyUri)
    << "\n  a rdf:Property ;\n  rdfs:label \"parameter state\" ;\n"
       "  rdfs:comment \"One little-endian IEEE 754 double per parameter, in index order.\" ;\n"
       "  rdfs:range atom:Chunk .\n\n"
    << UiData();
  return s.str();
}

std::string LV2TurtleWriter::UiData() const {
  // The editor opens inside the host's window (ui:parent) and, like the
  // plug-in, requires the URI map; nothing else is required. Resizing and
  // touch gestures are used when offered; the idle call drives the editor's
  // redraw tick. The meter port is asked for explicitly, being an output the
  // host might not otherwise send.
  const LV2PortLayout layout(mPlug.NumParams());
  std::ostringstream s;
  s << Uri(mDescription.uiUri) << "\n  a ui:X11UI ;\n"
    << "  lv2:requiredFeature ui:parent , urid:map ;\n"
    << "  lv2:optionalFeature ui:resize , ui:touch , ui:idleInterface ;\n"
    << "  lv2:extensionData ui:idleInterface ;\n"
    << "  ui:portNotification [\n    ui:plugin " << Uri(mDescription.pluginUri)
    << " ;\n    lv2:index " << layout.Meter() << " ;\n    ui:protocol ui:floatProtocol\n  ] .\n";
  return s.str();
}

std::string LV2TurtleWriter::Presets() const {
  std::ostringstream s;
  s << kPrefixes;
  for (int i = 0; i < mPlug.NumPresets(); ++i) {
    const PresetSlot& slot = *mPlug.GetPreset(i);
    if (!slot.initialized) continue;
    s << Uri(PresetUri(i)) << "\n  a pset:Preset ;\n  lv2:appliesTo " << Uri(mDescription.pluginUri)
      << " ;\n  rdfs:label " << Quoted(slot.name) << " ;\n";
    // The slot's values on the ports, for hosts that apply presets there...
    s << "  lv2:port ";
    for (int p = 0; p < mPlug.NumParams(); ++p) {
      double value = 0.0;
      slot.state.GetDouble(&value, p * static_cast<int>(sizeof(double)));
      s << (p ? " , " : "") << "[ lv2:symbol " << Quoted(Symbol(mPlug.GetParam(p)->Name()).c_str())
        << " ; pset:value " << Number(value) << " ]";
    }
    // ...and the slot's state bytes, as the plug-in saves them.
    s << " ;\n  state:state [ " << Uri(mDescription.stateKeyUri) << " "
      << Quoted(Base64(slot.state.Bytes(), static_cast<std::size_t>(slot.state.Size())).c_str())
      << "^^xsd:base64Binary ] .\n\n";
  }
  return s.str();
}

bool LV2TurtleWriter::SymbolsUnique(std::string& error) const {
  std::set<std::string> symbols = {"in_l", "in_r", "out_l", "out_r", "enabled", "meter"};
  for (int i = 0; i < mPlug.NumParams(); ++i) {
    const std::string symbol = Symbol(mPlug.GetParam(i)->Name());
    if (!symbols.insert(symbol).second) {
      error = "two ports would have the symbol \"" + symbol + "\"";
      return false;
    }
  }
  return true;
}

bool LV2TurtleWriter::WriteBundle(const std::string& folder, std::string& error) const {
  if (!SymbolsUnique(error)) return false;
  const std::pair<std::string, std::string> files[] = {{"manifest.ttl", Manifest()},
                                                       {PluginDataFileName(), PluginData()},
                                                       {"presets.ttl", Presets()}};
  for (const auto& file : files) {
    const std::string path = folder + "/" + file.first;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << file.second;
    out.close();
    if (!out) {
      error = "cannot write " + path;
      return false;
    }
  }
  return true;
}

std::string LV2TurtleWriter::Symbol(const char* name) {
  std::string symbol;
  for (const char* c = name; *c; ++c) {
    const auto u = static_cast<unsigned char>(*c);
    symbol += std::isalnum(u) ? static_cast<char>(std::tolower(u)) : '_';
  }
  if (symbol.empty() || std::isdigit(static_cast<unsigned char>(symbol[0]))) symbol = "_" + symbol;
  return symbol;
}

std::string LV2TurtleWriter::Number(double value) {
  char text[40];
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(text, sizeof text, "%.*g", precision, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  std::string s = text;
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  return s;
}

std::string LV2TurtleWriter::Base64(const uint8_t* bytes, std::size_t size) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < size; i += 3) {
    const uint32_t n = (uint32_t{bytes[i]} << 16) |
                       (i + 1 < size ? uint32_t{bytes[i + 1]} << 8 : 0) |
                       (i + 2 < size ? uint32_t{bytes[i + 2]} : 0);
    out += kDigits[(n >> 18) & 63];
    out += kDigits[(n >> 12) & 63];
    out += i + 1 < size ? kDigits[(n >> 6) & 63] : '=';
    out += i + 2 < size ? kDigits[n & 63] : '=';
  }
  return out;
}
