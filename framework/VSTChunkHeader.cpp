#include "VSTChunkHeader.h"

#include "StateChunk.h"

void VSTChunkHeader::Write(StateChunk& chunk) {
  chunk.Clear();
  chunk.PutInt32(kMagic);
  chunk.PutInt32(kVersion);
}

int VSTChunkHeader::Read(const StateChunk& chunk, int32_t* version) {
  int position = 0;
  int32_t headerVersion = 0;
  int32_t magic = 0;
  if (chunk.Size() >= 4 && chunk.GetInt32(&magic, 0) == 4 && magic == kMagic) {
    if (chunk.Size() >= 8) {
      chunk.GetInt32(&headerVersion, 4);
      position = 8;
    } else {
      position = -1;
    }
  }
  if (version) *version = headerVersion;
  return position;
}
