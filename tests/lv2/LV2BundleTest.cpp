// The bundle as a host discovers it: found through LV2_PATH, described by
// Turtle that matches the channel strip's own parameter table, with its
// default preset, refusing hosts that lack the one required feature.
#include "BuiltInReference.h"
#include "LV2TestInstance.h"

#include <gtest/gtest.h>

#include <lv2/core/lv2.h>
#include <lv2/presets/presets.h>
#include <lv2/ui/ui.h>
#include <lv2/units/units.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

namespace {

using namespace lv2test;

std::string Text(const LilvNode* node) {
  return node ? lilv_node_as_string(node) : "";
}

class LV2Bundle : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_NE(nullptr, world.Plugin()) << "TOLVEN not found on LV2_PATH"; }

  const LilvPlugin* Plugin() const { return world.Plugin(); }
  const LilvPort* PortAt(uint32_t index) const {
    return lilv_plugin_get_port_by_index(Plugin(), index);
  }
  bool PortIs(uint32_t index, const char* classUri) {
    return lilv_port_is_a(Plugin(), PortAt(index), world.Node(classUri));
  }
  bool PortHas(uint32_t index, const char* propertyUri) {
    return lilv_port_has_property(Plugin(), PortAt(index), world.Node(propertyUri));
  }
  // The port's value of a predicate, as text ("" when absent or not one).
  std::string PortValue(uint32_t index, const char* predicateUri) {
    LilvNodes* values = lilv_port_get_value(Plugin(), PortAt(index), world.Node(predicateUri));
    std::string text = values && lilv_nodes_size(values) == 1 ? Text(lilv_nodes_get_first(values))
                                                              : (values ? "<several>" : "");
    lilv_nodes_free(values);
    return text;
  }

  LV2TestWorld world;
};

TEST_F(LV2Bundle, HostsFindOnePluginWithItsBinaryInTheBundle) {
  EXPECT_TRUE(lilv_plugin_verify(Plugin()));
  LilvNode* name = lilv_plugin_get_name(Plugin());
  EXPECT_EQ("TOLVEN", Text(name));
  lilv_node_free(name);
  LilvNode* author = lilv_plugin_get_author_name(Plugin());
  EXPECT_EQ("Oskavarine", Text(author));
  lilv_node_free(author);
  EXPECT_EQ(LV2_CORE__EQPlugin, Text(lilv_plugin_class_get_uri(lilv_plugin_get_class(Plugin()))));
  const std::string binary = Text(lilv_plugin_get_library_uri(Plugin()));
  EXPECT_NE(std::string::npos, binary.find("/TOLVEN.lv2/TOLVEN.so")) << binary;
  // Only the URI map is required; the options are offered to hosts.
  LilvNodes* required = lilv_plugin_get_required_features(Plugin());
  ASSERT_EQ(1u, lilv_nodes_size(required));
  EXPECT_EQ(LV2_URID__map, Text(lilv_nodes_get_first(required)));
  lilv_nodes_free(required);
  EXPECT_TRUE(lilv_plugin_has_extension_data(Plugin(), world.Node(LV2_STATE__interface)));
}

TEST_F(LV2Bundle, OneX11UiInItsOwnBinaryRequiringOnlyTheParentAndTheUriMap) {
  LilvUIs* uis = lilv_plugin_get_uis(Plugin());
  ASSERT_EQ(1u, uis ? lilv_uis_size(uis) : 0u);
  const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
  EXPECT_EQ(std::string(kPluginUri) + "#ui", Text(lilv_ui_get_uri(ui)));
  EXPECT_TRUE(lilv_ui_is_a(ui, world.Node(LV2_UI__X11UI)));
  const LilvNodes* classes = lilv_ui_get_classes(ui);
  EXPECT_EQ(1u, lilv_nodes_size(classes));
  const std::string binary = Text(lilv_ui_get_binary_uri(ui));
  EXPECT_NE(std::string::npos, binary.find("/TOLVEN.lv2/TOLVEN_ui.so")) << binary;

  // Features are the UI's own, read from the data like a host does.
  lilv_world_load_resource(world.World(), lilv_ui_get_uri(ui));
  const auto objects = [&](const char* predicate) {
    std::set<std::string> found;
    LilvNodes* nodes =
        lilv_world_find_nodes(world.World(), lilv_ui_get_uri(ui), world.Node(predicate), nullptr);
    LILV_FOREACH(nodes, i, nodes) {
      found.insert(Text(lilv_nodes_get(nodes, i)));
    }
    lilv_nodes_free(nodes);
    return found;
  };
  EXPECT_EQ((std::set<std::string>{LV2_UI__parent, LV2_URID__map}),
            objects(LV2_CORE__requiredFeature));
  EXPECT_EQ((std::set<std::string>{LV2_UI__resize, LV2_UI__touch, LV2_UI__idleInterface}),
            objects(LV2_CORE__optionalFeature));
  EXPECT_EQ((std::set<std::string>{LV2_UI__idleInterface}), objects(LV2_CORE__extensionData));
  lilv_uis_free(uis);
}

TEST_F(LV2Bundle, ControlPortsAreTheParameterTableInIndexOrder) {
  BuiltInReference reference(48000.0, 512);
  const TOLVEN& strip = reference.Strip();
  ASSERT_EQ(static_cast<uint32_t>(strip.NumParams() + 6), lilv_plugin_get_num_ports(Plugin()));
  std::set<std::string> symbols;
  for (int i = 0; i < strip.NumParams(); ++i) {
    const IParameter& p = *strip.GetParam(i);
    const auto port = static_cast<uint32_t>(i);
    SCOPED_TRACE(p.Name());
    EXPECT_TRUE(PortIs(port, LV2_CORE__InputPort));
    EXPECT_TRUE(PortIs(port, LV2_CORE__ControlPort));
    LilvNode* name = lilv_port_get_name(Plugin(), PortAt(port));
    EXPECT_EQ(p.Name(), Text(name));
    lilv_node_free(name);
    symbols.insert(Text(lilv_port_get_symbol(Plugin(), PortAt(port))));
    // Real values, exactly: the Turtle numbers read back as the doubles.
    LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
    lilv_port_get_range(Plugin(), PortAt(port), &def, &min, &max);
    ASSERT_TRUE(def && min && max);
    EXPECT_EQ(p.Default(), std::stod(Text(def)));
    EXPECT_EQ(p.Min(), std::stod(Text(min)));
    EXPECT_EQ(p.Max(), std::stod(Text(max)));
    lilv_node_free(def);
    lilv_node_free(min);
    lilv_node_free(max);
    EXPECT_EQ(!p.IsDouble(), PortHas(port, LV2_CORE__integer));
    EXPECT_EQ(!p.IsDouble() && p.Min() == 0.0 && p.Max() == 1.0, PortHas(port, LV2_CORE__toggled));
    const bool decibel = i == kInputGain || i == kOutputGain;
    EXPECT_EQ(decibel ? LV2_UNITS__db : "", PortValue(port, LV2_UNITS__unit));
  }
  EXPECT_EQ(static_cast<std::size_t>(strip.NumParams()), symbols.size()) << "symbols collide";
  EXPECT_TRUE(PortHas(kBypass, LV2_CORE__toggled));
}

TEST_F(LV2Bundle, AudioBypassAndMeterPortsFollowTheParameters) {
  const uint32_t first = lilv_plugin_get_num_ports(Plugin()) - 6;
  const char* const kAudio[4] = {"in_l", "in_r", "out_l", "out_r"};
  for (uint32_t k = 0; k < 4; ++k) {
    SCOPED_TRACE(kAudio[k]);
    EXPECT_TRUE(PortIs(first + k, LV2_CORE__AudioPort));
    EXPECT_TRUE(PortIs(first + k, k < 2 ? LV2_CORE__InputPort : LV2_CORE__OutputPort));
    EXPECT_EQ(kAudio[k], Text(lilv_port_get_symbol(Plugin(), PortAt(first + k))));
  }
  const uint32_t enabled = first + 4;
  EXPECT_EQ(enabled, lilv_port_get_index(Plugin(), lilv_plugin_get_port_by_designation(
                                                       Plugin(), world.Node(LV2_CORE__InputPort),
                                                       world.Node(LV2_CORE__enabled))));
  EXPECT_TRUE(PortHas(enabled, LV2_CORE__toggled));
  EXPECT_EQ("1.0", PortValue(enabled, LV2_CORE__default));
  const uint32_t meter = first + 5;
  EXPECT_TRUE(PortIs(meter, LV2_CORE__OutputPort));
  EXPECT_TRUE(PortIs(meter, LV2_CORE__ControlPort));
  EXPECT_EQ("meter", Text(lilv_port_get_symbol(Plugin(), PortAt(meter))));
}

TEST_F(LV2Bundle, TheDefaultPresetIsTheStripsPresetSlot) {
  LilvNodes* presets = lilv_plugin_get_related(Plugin(), world.Node(LV2_PRESETS__Preset));
  ASSERT_EQ(1u, lilv_nodes_size(presets));
  const LilvNode* preset = lilv_nodes_get_first(presets);
  ASSERT_GT(lilv_world_load_resource(world.World(), preset), 0); // files read
  LilvNodes* labels =
      lilv_world_find_nodes(world.World(), preset, world.Node(LILV_NS_RDFS "label"), nullptr);
  EXPECT_EQ("-", labels ? Text(lilv_nodes_get_first(labels)) : "");
  lilv_nodes_free(labels);

  LilvState* state = lilv_state_new_from_world(world.World(), world.MapFeatureData(), preset);
  ASSERT_NE(nullptr, state);
  EXPECT_EQ(std::string("-"), lilv_state_get_label(state));
  // Applied to an instance whose ports are elsewhere, the preset sets the
  // ports and the plug-in's own state to the slot's values.
  LV2TestInstance instance(world);
  ASSERT_NE(nullptr, instance.Get());
  instance.ConnectControls();
  instance.Control("input_1") = 5.0f;
  instance.Control("bypass_1") = 1.0f;
  instance.Run(16);
  instance.ApplyState(state);
  lilv_state_free(state);
  lilv_nodes_free(presets);
  BuiltInReference reference(48000.0, 512);
  const PresetSlot& slot = *reference.Strip().GetPreset(0);
  EXPECT_EQ(std::vector<uint8_t>(slot.state.Bytes(), slot.state.Bytes() + slot.state.Size()),
            instance.SavedParamState());
  EXPECT_EQ(0.0f, instance.Control("input_1"));
  EXPECT_EQ(0.0f, instance.Control("bypass_1"));
}

TEST_F(LV2Bundle, HostsWithoutTheUridMapOrASampleRateAreRefused) {
  LV2TestInstance::Setup noMap;
  noMap.withMap = false;
  EXPECT_EQ(nullptr, LV2TestInstance(world, noMap).Get());
  for (double rate : {0.0, -44100.0, std::numeric_limits<double>::quiet_NaN(),
                      std::numeric_limits<double>::infinity()}) {
    LV2TestInstance::Setup setup;
    setup.sampleRate = rate;
    EXPECT_EQ(nullptr, LV2TestInstance(world, setup).Get()) << rate;
  }
  // The bare minimum a host must give, with no options, is enough.
  LV2TestInstance::Setup bare;
  bare.maxBlockLength = 0;
  EXPECT_NE(nullptr, LV2TestInstance(world, bare).Get());
}

} // namespace
