#pragma once

#include <cstdint>

// Packs four ASCII characters into a 32-bit code, the first character in the
// most significant byte: FourCharCode('T', 'L', 'V', '1') == 0x544C5631.
constexpr int32_t FourCharCode(char a, char b, char c, char d) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
                              static_cast<uint32_t>(static_cast<unsigned char>(d)));
}

// Same from a string literal of (at least) four characters: FourCharCode("TLV1").
// A shorter text is padded with zero bytes instead of reading past its end.
template <std::size_t N> constexpr int32_t FourCharCode(const char (&text)[N]) {
  return FourCharCode(N > 0 ? text[0] : '\0', N > 1 ? text[1] : '\0', N > 2 ? text[2] : '\0',
                      N > 3 ? text[3] : '\0');
}
