// Picture files as the editor loads them: the bytes are decoded from memory
// and, the same bytes, from a file. Both readers agree, and a decoded
// picture has a sensible size and its pixels.
#include "FuzzSupport.h"
#include "LICE_MemBitmap.h"
#include "LICE_Png.h"

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

namespace {
std::string gPath;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gPath = "/tmp/tolven-png-fuzz-" + std::to_string(getpid()) + ".png";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<LICE_IBitmap> fromMemory(LICE_DecodePngMemory(data, size));
  FILE* file = std::fopen(gPath.c_str(), "wb");
  FUZZ_CHECK(file);
  FUZZ_CHECK(std::fwrite(data, 1, size, file) == size);
  std::fclose(file);
  std::unique_ptr<LICE_IBitmap> fromFile(LICE_DecodePngFile(gPath.c_str()));
  std::remove(gPath.c_str());
  FUZZ_CHECK(!fromMemory == !fromFile);
  if (!fromMemory) return 0;
  const int w = fromMemory->Width(), h = fromMemory->Height();
  FUZZ_CHECK(w > 0 && h > 0 && static_cast<long long>(w) * h <= LICE_PNG_MAX_PIXELS);
  FUZZ_CHECK(fromFile->Width() == w && fromFile->Height() == h);
  const LICE_PixelWord* a = fromMemory->Pixels();
  const LICE_PixelWord* b = fromFile->Pixels();
  FUZZ_CHECK(a && b);
  for (int y = 0; y < h; ++y)
    FUZZ_CHECK(std::memcmp(a + static_cast<size_t>(y) * fromMemory->RowSpan(),
                           b + static_cast<size_t>(y) * fromFile->RowSpan(),
                           sizeof(LICE_PixelWord) * w) == 0);
  return 0;
}
