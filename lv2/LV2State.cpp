#include "LV2State.h"

#include "IPlugLV2.h"

const LV2_State_Interface* LV2State::Interface() {
  static const LV2_State_Interface kInterface = {Save, Restore};
  return &kInterface;
}

LV2_State_Status LV2State::Save(LV2_Handle instance, LV2_State_Store_Function store,
                                LV2_State_Handle handle, uint32_t /*flags*/,
                                const LV2_Feature* const* /*features*/) {
  auto* plug = static_cast<IPlugLV2*>(instance);
  if (!plug || !store) return LV2_STATE_ERR_UNKNOWN;
  StateChunk chunk;
  if (!plug->WriteState(chunk) || chunk.Size() < 1) return LV2_STATE_ERR_NO_SPACE;
  return store(handle, plug->StateKey(), chunk.Bytes(), static_cast<size_t>(chunk.Size()),
               plug->ChunkType(), LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status LV2State::Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                                   LV2_State_Handle handle, uint32_t /*flags*/,
                                   const LV2_Feature* const* /*features*/) {
  auto* plug = static_cast<IPlugLV2*>(instance);
  if (!plug || !retrieve) return LV2_STATE_ERR_UNKNOWN;
  size_t size = 0;
  uint32_t type = 0;
  uint32_t valueFlags = 0;
  const void* data = retrieve(handle, plug->StateKey(), &size, &type, &valueFlags);
  if (!data) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != plug->ChunkType()) return LV2_STATE_ERR_BAD_TYPE;
  return plug->RestoreParamState(data, size) ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
}
