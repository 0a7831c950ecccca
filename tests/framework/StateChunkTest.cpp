#include "StateChunk.h"
#include "VSTChunkHeader.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes BytesOf(const StateChunk& chunk) {
  return Bytes(chunk.Bytes(), chunk.Bytes() + chunk.Size());
}

StateChunk ChunkOf(const Bytes& bytes) {
  StateChunk chunk;
  chunk.PutBytes(bytes.data(), static_cast<int>(bytes.size()));
  return chunk;
}

} // namespace

TEST(StateChunk, EncodingsAndRoundTrip) {
  StateChunk chunk;
  EXPECT_EQ(chunk.PutInt32(0x01020304), 4);
  EXPECT_EQ(chunk.PutInt32(-2), 8);
  EXPECT_EQ(chunk.PutDouble(0.5), 16);
  EXPECT_EQ(chunk.PutBool(true), 17);
  EXPECT_EQ(chunk.PutString("ab"), 23);
  EXPECT_EQ(chunk.PutString(nullptr), 27);
  const Bytes expected = {4,    3,    2, 1, 0xFE, 0xFF, 0xFF, 0xFF, 0,   0, 0, 0, 0, 0,
                          0xE0, 0x3F, 1, 2, 0,    0,    0,    'a',  'b', 0, 0, 0, 0};
  EXPECT_EQ(BytesOf(chunk), expected);
  char text[8] = "";
  EXPECT_EQ(chunk.GetString(text, sizeof(text), 17), 23);
  EXPECT_STREQ(text, "ab");
  EXPECT_EQ(chunk.PutChunk(chunk), 54); // onto itself, no length prefix
  EXPECT_EQ(std::memcmp(chunk.Bytes() + 27, expected.data(), 27), 0);
  EXPECT_EQ(chunk.PutBytes(nullptr, 3), -1);
  EXPECT_EQ(chunk.PutBytes("x", -1), -1);
  EXPECT_EQ(chunk.Size(), 54);
}

TEST(StateChunk, ReadsOutsideFailAndLeaveOutputAlone) {
  const StateChunk chunk = ChunkOf({5, 0, 0, 0, 0});
  int32_t i = 42;
  double d = 4.2;
  bool b = true;
  for (int pos : {-1, INT_MIN, 2, 5, INT_MAX, INT_MAX - 3}) {
    EXPECT_EQ(chunk.GetInt32(&i, pos), -1) << pos;
    EXPECT_EQ(chunk.GetDouble(&d, pos), -1) << pos;
    EXPECT_EQ(chunk.GetBool(&b, pos == 2 ? 5 : pos), -1) << pos;
  }
  EXPECT_EQ(chunk.GetDouble(&d, 0), -1);
  EXPECT_EQ(i, 42);
  EXPECT_EQ(d, 4.2);
  EXPECT_TRUE(b);
  EXPECT_EQ(chunk.GetInt32(&i, 1), 5); // ends exactly at the size
  const StateChunk flags = ChunkOf({0, 2, 0xFF});
  for (int pos = 0; pos < 3; ++pos) {
    EXPECT_EQ(flags.GetBool(&b, pos), pos + 1);
    EXPECT_EQ(b, pos > 0); // any non-zero byte is true
  }
}

TEST(StateChunk, StringLengthsOfEveryKind) {
  char text[8];
  auto read = [&](const Bytes& bytes, int pos) {
    std::strcpy(text, "keep");
    return ChunkOf(bytes).GetString(text, sizeof(text), pos);
  };
  EXPECT_EQ(read({0, 0, 0, 0, 'x'}, 0), 4);
  EXPECT_STREQ(text, "");
  // A negative length: empty text, and the position moves back by it.
  EXPECT_EQ(read({'a', 'b', 'c', 'd', 0xFE, 0xFF, 0xFF, 0xFF}, 4), 6);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(read({0xF0, 0xFF, 0xFF, 0xFF}, 0), -1); // ... but not before the chunk
  EXPECT_EQ(read({0, 0, 0, 0x80}, 0), -1);          // INT32_MIN
  // Past the end, near the 32-bit limit, too short for the length: untouched.
  for (const Bytes& bad :
       {Bytes{3, 0, 0, 0, 'a', 'b'}, Bytes{0xFF, 0xFF, 0xFF, 0x7F, 'a'}, Bytes{1, 0, 0}}) {
    EXPECT_EQ(read(bad, 0), -1);
    EXPECT_STREQ(text, "keep");
  }
  EXPECT_EQ(read({1, 0, 0, 0, 'z'}, -2), -1);
  EXPECT_EQ(read({4, 0, 0, 0, 'a', 0, 'b', 'c'}, 0), 8); // cut at a zero byte
  EXPECT_STREQ(text, "a");
  EXPECT_EQ(read({10, 0, 0, 0, '0', '1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0), 14);
  EXPECT_STREQ(text, "0123456"); // cut to the output
}

TEST(StateChunk, ResizeAndSizeLimit) {
  StateChunk chunk = ChunkOf({0xFF, 0xFF});
  EXPECT_EQ(chunk.Resize(5), 2);
  EXPECT_EQ(BytesOf(chunk), (Bytes{0xFF, 0xFF, 0, 0, 0}));
  for (int bad : {-1, INT_MAX, StateChunk::kMaxBytes + 1})
    EXPECT_EQ(chunk.Resize(bad), -1);
  EXPECT_EQ(chunk.Size(), 5);

  ASSERT_EQ(chunk.Resize(StateChunk::kMaxBytes - 2), 5);
  EXPECT_EQ(chunk.PutInt32(1), -1);
  EXPECT_EQ(chunk.PutString(""), -1);
  EXPECT_EQ(chunk.PutBool(true), StateChunk::kMaxBytes - 1);
  EXPECT_EQ(chunk.PutBool(true), StateChunk::kMaxBytes);
  EXPECT_EQ(chunk.PutBool(true), -1);
  EXPECT_EQ(chunk.PutChunk(chunk), -1);
  EXPECT_EQ(chunk.Size(), StateChunk::kMaxBytes);
  chunk.Clear();
  EXPECT_EQ(chunk.PutBool(true), 1);
}

TEST(StateChunk, RandomBytesNeverReadOutside) {
  std::mt19937 random(12345);
  char text[32] = "";
  for (int round = 0; round < 300; ++round) {
    Bytes bytes(random() % 40);
    for (uint8_t& byte : bytes)
      byte = static_cast<uint8_t>(random());
    const StateChunk chunk = ChunkOf(bytes);
    for (int pos = -2; pos <= chunk.Size() + 2; ++pos) {
      int32_t i;
      double d;
      bool b;
      for (int end : {chunk.GetInt32(&i, pos), chunk.GetDouble(&d, pos), chunk.GetBool(&b, pos),
                      chunk.GetString(text, sizeof(text), pos)}) {
        EXPECT_GE(end, -1);
        EXPECT_LE(end, chunk.Size());
      }
    }
  }
}

TEST(StateChunk, VstHeader) {
  StateChunk chunk = ChunkOf({1, 2, 3});
  VSTChunkHeader::Write(chunk);
  EXPECT_EQ(BytesOf(chunk), (Bytes{0x74, 0x66, 0x66, 0x70, 0, 0, 1, 0}));
  int32_t version = 99;
  EXPECT_EQ(VSTChunkHeader::Read(chunk, &version), 8);
  EXPECT_EQ(version, 0x00010000);
  EXPECT_EQ(VSTChunkHeader::Read(ChunkOf({0x74, 0x66, 0x66, 0x70}), &version), -1);
  EXPECT_EQ(version, 0);
  EXPECT_EQ(VSTChunkHeader::Read(ChunkOf({0x74, 0x66, 0x66, 0x70, 1, 2, 3}), &version), -1);
  EXPECT_EQ(VSTChunkHeader::Read(ChunkOf(Bytes(48, 0)), &version), 0); // raw state
  EXPECT_EQ(VSTChunkHeader::Read(ChunkOf({0x74, 0x66, 0x66}), &version), 0);
  EXPECT_EQ(VSTChunkHeader::Read(ChunkOf({0x70, 0x66, 0x66, 0x74, 0, 0, 1, 0}), &version), 0);
  EXPECT_EQ(version, 0);
}
