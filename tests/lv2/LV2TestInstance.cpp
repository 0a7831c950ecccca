#include "LV2TestInstance.h"

#include "StereoBlocks.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>

#include <cmath>

namespace lv2test {

LV2TestInstance::LV2TestInstance(LV2TestWorld& world, const Setup& setup) : mWorld(world) {
  const LilvPlugin* plugin = world.Plugin();
  if (!plugin) return;
  mControls.assign(lilv_plugin_get_num_ports(plugin), 0.0f);
  if (setup.withMap) {
    mMapFeature = {LV2_URID__map, world.MapFeatureData()};
    mFeatures.push_back(&mMapFeature);
  }
  if (setup.maxBlockLength > 0) {
    mBlockLength = setup.maxBlockLength;
    mOptions[0] = {LV2_OPTIONS_INSTANCE,
                   0,
                   world.Map(LV2_BUF_SIZE__maxBlockLength),
                   sizeof(int32_t),
                   world.Map(LV2_ATOM__Int),
                   &mBlockLength};
    mOptionsFeature = {LV2_OPTIONS__options, mOptions};
    mFeatures.push_back(&mOptionsFeature);
  }
  mFeatures.push_back(nullptr);
  mInstance = lilv_plugin_instantiate(plugin, setup.sampleRate, mFeatures.data());
}

LV2TestInstance::~LV2TestInstance() {
  if (mInstance) lilv_instance_free(mInstance);
}

uint32_t LV2TestInstance::Port(const char* symbol) const {
  LilvNode* s = lilv_new_string(mWorld.World(), symbol);
  const LilvPort* port = lilv_plugin_get_port_by_symbol(mWorld.Plugin(), s);
  lilv_node_free(s);
  return port ? lilv_port_get_index(mWorld.Plugin(), port) : NumPorts();
}

void LV2TestInstance::ConnectControls() {
  std::vector<float> defaults(NumPorts());
  lilv_plugin_get_port_ranges_float(mWorld.Plugin(), nullptr, nullptr, defaults.data());
  const LilvNode* control = mWorld.Node(LV2_CORE__ControlPort);
  for (uint32_t i = 0; i < NumPorts(); ++i) {
    if (!lilv_port_is_a(mWorld.Plugin(), lilv_plugin_get_port_by_index(mWorld.Plugin(), i),
                        control))
      continue;
    mControls[i] = std::isnan(defaults[i]) ? 0.0f : defaults[i];
    Connect(i, &mControls[i]);
  }
}

void LV2TestInstance::Connect(uint32_t port, void* data) {
  lilv_instance_connect_port(mInstance, port, data);
}

std::vector<float> LV2TestInstance::Render(const std::vector<float>& interleaved, int block) {
  const uint32_t in[2] = {Port("in_l"), Port("in_r")};
  const uint32_t out[2] = {Port("out_l"), Port("out_r")};
  return RenderStereoInBlocks(interleaved, block, [&](float** inputs, float** outputs, int n) {
    for (int ch = 0; ch < 2; ++ch) {
      Connect(in[ch], inputs[ch]);
      Connect(out[ch], outputs[ch]);
    }
    Run(static_cast<uint32_t>(n));
  });
}

const LV2_State_Interface* LV2TestInstance::StateInterface() const {
  return static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(mInstance, LV2_STATE__interface));
}

LV2_State_Status LV2TestInstance::Save(std::vector<LV2StateValue>& values) {
  values.clear();
  auto store = [](LV2_State_Handle handle, uint32_t key, const void* value, size_t size,
                  uint32_t type, uint32_t flags) {
    auto* list = static_cast<std::vector<LV2StateValue>*>(handle);
    const auto* bytes = static_cast<const uint8_t*>(value);
    list->push_back({key, type, flags, std::vector<uint8_t>(bytes, bytes + size)});
    return LV2_STATE_SUCCESS;
  };
  return StateInterface()->save(lilv_instance_get_handle(mInstance), store, &values,
                                LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, mFeatures.data());
}

LV2_State_Status LV2TestInstance::Restore(const std::vector<LV2StateValue>& values) {
  auto retrieve = [](LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                     uint32_t* flags) -> const void* {
    for (const LV2StateValue& v : *static_cast<const std::vector<LV2StateValue>*>(handle))
      if (v.key == key) {
        *size = v.bytes.size();
        *type = v.type;
        *flags = v.flags;
        return v.bytes.data();
      }
    return nullptr;
  };
  return StateInterface()->restore(lilv_instance_get_handle(mInstance), retrieve,
                                   const_cast<std::vector<LV2StateValue>*>(&values),
                                   LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, mFeatures.data());
}

std::vector<uint8_t> LV2TestInstance::SavedParamState() {
  std::vector<LV2StateValue> values;
  if (Save(values) != LV2_STATE_SUCCESS || values.size() != 1) return {};
  return values[0].bytes;
}

namespace {

const void* PortValue(const char* symbol, void* userData, uint32_t* size, uint32_t* type) {
  auto* self = static_cast<std::pair<LV2TestInstance*, LV2TestWorld*>*>(userData);
  const uint32_t port = self->first->Port(symbol);
  if (port >= self->first->NumPorts()) return nullptr;
  *size = sizeof(float);
  *type = self->second->Map(LV2_ATOM__Float);
  return &self->first->Control(symbol);
}

void SetPortValue(const char* symbol, void* userData, const void* value, uint32_t size,
                  uint32_t type) {
  auto* self = static_cast<std::pair<LV2TestInstance*, LV2TestWorld*>*>(userData);
  if (size == sizeof(float) && type == self->second->Map(LV2_ATOM__Float))
    self->first->Control(symbol) = *static_cast<const float*>(value);
}

} // namespace

std::string LV2TestInstance::SaveSession() {
  std::pair<LV2TestInstance*, LV2TestWorld*> self(this, &mWorld);
  LilvState* state = lilv_state_new_from_instance(
      mWorld.Plugin(), mInstance, mWorld.MapFeatureData(), nullptr, nullptr, nullptr, nullptr,
      PortValue, &self, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, mFeatures.data());
  if (!state) return {};
  char* text =
      lilv_state_to_string(mWorld.World(), mWorld.MapFeatureData(), mWorld.UnmapFeatureData(),
                           state, "urn:tolven:test-session", nullptr);
  std::string turtle = text ? text : "";
  lilv_free(text);
  lilv_state_free(state);
  return turtle;
}

bool LV2TestInstance::LoadSession(const std::string& turtle) {
  LilvState* state =
      lilv_state_new_from_string(mWorld.World(), mWorld.MapFeatureData(), turtle.c_str());
  if (!state) return false;
  ApplyState(state);
  lilv_state_free(state);
  return true;
}

void LV2TestInstance::ApplyState(const LilvState* state) {
  std::pair<LV2TestInstance*, LV2TestWorld*> self(this, &mWorld);
  lilv_state_restore(state, mInstance, SetPortValue, &self, 0, mFeatures.data());
}

} // namespace lv2test
