#include "StateChunk.h"

#include <cstring>
#include <exception>

namespace {

void StoreLE(uint8_t* dest, uint64_t bits, int bytes) {
  for (int i = 0; i < bytes; ++i)
    dest[i] = static_cast<uint8_t>(bits >> (8 * i));
}

uint64_t LoadLE(const uint8_t* src, int bytes) {
  uint64_t bits = 0;
  for (int i = 0; i < bytes; ++i)
    bits |= static_cast<uint64_t>(src[i]) << (8 * i);
  return bits;
}

} // namespace

bool StateChunk::Reserve(int64_t extra) {
  const int64_t needed = static_cast<int64_t>(mBytes.size()) + extra;
  if (extra < 0 || needed > kMaxBytes) return false;
  if (needed <= static_cast<int64_t>(mBytes.capacity())) return true;
  try {
    mBytes.reserve(static_cast<std::size_t>((needed + 4095) / 4096 * 4096));
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

bool StateChunk::InRange(int startPos, int64_t length) const {
  return startPos >= 0 && static_cast<int64_t>(startPos) + length <= Size();
}

int StateChunk::PutBytes(const void* data, int size) {
  if (!data || size < 0 || !Reserve(size)) return -1;
  const uint8_t* src = static_cast<const uint8_t*>(data);
  mBytes.insert(mBytes.end(), src, src + size);
  return Size();
}

int StateChunk::PutInt32(int32_t value) {
  uint8_t bytes[4];
  StoreLE(bytes, static_cast<uint32_t>(value), 4);
  return PutBytes(bytes, 4);
}

int StateChunk::PutDouble(double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof(bits));
  uint8_t bytes[8];
  StoreLE(bytes, bits, 8);
  return PutBytes(bytes, 8);
}

int StateChunk::PutBool(bool value) {
  const uint8_t byte = value ? 1 : 0;
  return PutBytes(&byte, 1);
}

int StateChunk::PutString(const char* text) {
  const std::size_t length = text ? std::strlen(text) : 0;
  if (length > static_cast<std::size_t>(kMaxBytes) || !Reserve(4 + static_cast<int64_t>(length)))
    return -1;
  PutInt32(static_cast<int32_t>(length));
  return length ? PutBytes(text, static_cast<int>(length)) : Size();
}

int StateChunk::PutChunk(const StateChunk& other) {
  if (other.Size() == 0) return Size();
  if (&other != this) return PutBytes(other.Bytes(), other.Size());
  // Appending a chunk to itself: the source must not move while it grows.
  std::vector<uint8_t> copy;
  try {
    copy = mBytes;
  } catch (const std::exception&) {
    return -1;
  }
  return PutBytes(copy.data(), static_cast<int>(copy.size()));
}

int StateChunk::GetInt32(int32_t* value, int startPos) const {
  if (!InRange(startPos, 4)) return -1;
  if (value) *value = static_cast<int32_t>(static_cast<uint32_t>(LoadLE(Bytes() + startPos, 4)));
  return startPos + 4;
}

int StateChunk::GetDouble(double* value, int startPos) const {
  if (!InRange(startPos, 8)) return -1;
  const uint64_t bits = LoadLE(Bytes() + startPos, 8);
  if (value) std::memcpy(value, &bits, sizeof(bits));
  return startPos + 8;
}

int StateChunk::GetBool(bool* value, int startPos) const {
  if (!InRange(startPos, 1)) return -1;
  if (value) *value = Bytes()[startPos] != 0;
  return startPos + 1;
}

int StateChunk::GetString(char* text, int textSize, int startPos) const {
  int32_t length = 0;
  const int afterLength = GetInt32(&length, startPos);
  if (afterLength < 0) return -1;
  // 64-bit: a length near the 32-bit limit must not wrap the end position.
  const int64_t end = static_cast<int64_t>(afterLength) + length;
  if (end > Size()) return -1;
  if (text && textSize > 0) {
    int n = 0;
    if (length > 0) {
      const uint8_t* src = Bytes() + afterLength;
      while (n < length && n < textSize - 1 && src[n] != 0)
        ++n;
      std::memcpy(text, src, static_cast<std::size_t>(n));
    }
    text[n] = '\0';
  }
  return end < 0 ? -1 : static_cast<int>(end);
}

int StateChunk::Resize(int newSize) {
  const int oldSize = Size();
  if (newSize < 0 || newSize > kMaxBytes) return -1;
  if (newSize > oldSize && !Reserve(newSize - oldSize)) return -1;
  mBytes.resize(static_cast<std::size_t>(newSize), 0);
  return oldSize;
}
