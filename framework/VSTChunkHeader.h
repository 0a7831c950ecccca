#pragma once

#include <cstdint>

class StateChunk;

// The 8-byte header a VST2 host finds ahead of program and bank chunks: the
// magic 'tffp' (bytes 74 66 66 70) and the chunk-format version.
class VSTChunkHeader {
public:
  static constexpr int32_t kMagic = 0x70666674;
  static constexpr int32_t kVersion = 0x00010000;

  // Clears the chunk and writes the header.
  static void Write(StateChunk& chunk);
  // Start position of the state after the header, and the header's version.
  // A chunk without the magic is raw state: position 0, version 0. A chunk
  // holding the magic but too short for the version gives position -1, so
  // every following read fails.
  static int Read(const StateChunk& chunk, int32_t* version);
};
