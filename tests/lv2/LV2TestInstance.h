#pragma once

// One plug-in instance driven as an LV2 host drives it: instantiated by lilv
// with the host's features, every port connected to host-owned memory, run in
// blocks, its state saved and restored through the State extension, or as a
// session through lilv's state API.

#include "LV2TestWorld.h"

#include <lv2/options/options.h>
#include <lv2/state/state.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lv2test {

// One stored property as the plug-in handed it to the host.
struct LV2StateValue {
  LV2_URID key = 0;
  LV2_URID type = 0;
  uint32_t flags = 0;
  std::vector<uint8_t> bytes;
};

class LV2TestInstance {
public:
  struct Setup {
    double sampleRate = 48000.0;
    int maxBlockLength = 4096; // announced through options; 0: no options
    bool withMap = true;
  };

  explicit LV2TestInstance(LV2TestWorld& world) : LV2TestInstance(world, Setup()) {}
  LV2TestInstance(LV2TestWorld& world, const Setup& setup);
  ~LV2TestInstance();
  LV2TestInstance(const LV2TestInstance&) = delete;
  LV2TestInstance& operator=(const LV2TestInstance&) = delete;

  // Null when instantiation was refused.
  LilvInstance* Get() const { return mInstance; }
  uint32_t NumPorts() const { return static_cast<uint32_t>(mControls.size()); }
  // Index of the port with this symbol; NumPorts() when there is none.
  uint32_t Port(const char* symbol) const;
  // The host's value of a control port (connected by ConnectControls).
  float& Control(const char* symbol) { return mControls[Port(symbol)]; }

  // Every control port to its host value, initialised to its default.
  void ConnectControls();
  void Connect(uint32_t port, void* data);
  void Run(uint32_t frames) { lilv_instance_run(mInstance, frames); }
  // Interleaved stereo through the audio ports, block frames per run.
  std::vector<float> Render(const std::vector<float>& interleaved, int block);

  const LV2_State_Interface* StateInterface() const;
  LV2_State_Status Save(std::vector<LV2StateValue>& values);
  // Offers exactly the given properties to the plug-in's restore.
  LV2_State_Status Restore(const std::vector<LV2StateValue>& values);
  // The plug-in's parameter state as saved; empty when the save failed.
  std::vector<uint8_t> SavedParamState();

  // The whole state as a host session holds it (port values and the
  // plug-in's properties), in Turtle, and back.
  std::string SaveSession();
  bool LoadSession(const std::string& turtle);
  // Port values and properties of a state (a session or a preset) applied.
  void ApplyState(const LilvState* state);

private:
  LV2TestWorld& mWorld;
  LilvInstance* mInstance = nullptr;
  std::vector<float> mControls;
  int32_t mBlockLength = 0;
  LV2_Options_Option mOptions[2]{};
  LV2_Feature mMapFeature{};
  LV2_Feature mOptionsFeature{};
  std::vector<const LV2_Feature*> mFeatures;
};

} // namespace lv2test
