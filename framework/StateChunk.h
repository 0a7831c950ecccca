#pragma once

#include <cstdint>
#include <vector>

// The growable little-endian byte buffer that carries every stored state.
// Appends return the new size, or -1 when the chunk would outgrow kMaxBytes or
// memory runs out (the chunk is then unchanged). Reads never change the chunk:
// each takes a start position and returns the position after the item, or -1
// when the item does not lie wholly inside the chunk (the output is untouched
// then), whatever lengths the bytes claim.
class StateChunk {
public:
  // Upper bound of a chunk, far above any state this framework writes; keeps a
  // size claimed by a host or a length field from allocating gigabytes.
  static constexpr int kMaxBytes = 64 * 1024 * 1024;

  StateChunk() = default;

  int PutInt32(int32_t value);
  int PutDouble(double value);
  // One byte, 0 or 1.
  int PutBool(bool value);
  // 32-bit byte length (no terminator), then the bytes. Null reads as "".
  int PutString(const char* text);
  // The other chunk's bytes as they are, no length prefix.
  int PutChunk(const StateChunk& other);
  // Raw bytes; a null pointer or a negative size appends nothing and fails.
  int PutBytes(const void* data, int size);

  int GetInt32(int32_t* value, int startPos) const;
  int GetDouble(double* value, int startPos) const;
  // Any non-zero byte reads as true.
  int GetBool(bool* value, int startPos) const;
  // Reads a length n and the n bytes after it into text (textSize bytes,
  // always terminated; the text is cut at its first zero byte and to fit).
  // n < 1 gives "". Returns the position after the string; when that lies
  // beyond the size the text is untouched and the result is -1 (a negative
  // n whose end falls before the chunk's start has already emptied the text).
  int GetString(char* text, int textSize, int startPos) const;

  // New size in bytes; grown bytes are zero. Returns the old size, or -1 (and
  // leaves the chunk alone) for a negative size, one above kMaxBytes, or when
  // memory runs out.
  int Resize(int newSize);
  void Clear() { mBytes.clear(); }

  int Size() const { return static_cast<int>(mBytes.size()); }
  const uint8_t* Bytes() const { return mBytes.data(); }
  uint8_t* Bytes() { return mBytes.data(); }

private:
  // Room for n more bytes (storage grows in steps of 4096); false if refused.
  bool Reserve(int64_t extra);
  bool InRange(int startPos, int64_t length) const;

  std::vector<uint8_t> mBytes;
};
