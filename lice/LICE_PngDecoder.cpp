// PNG decoding with libpng. libpng reports errors by longjmp back into
// Decode(); nothing that needs a destructor lives in the frames it skips, and
// everything Decode() owns is held in plain (volatile) pointers that the error
// branch releases.
#include "LICE_FileOpen.h"
#include "LICE_ImageLoader.h"
#include "LICE_MemBitmap.h"
#include "LICE_Png.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

const unsigned char kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

// Bytes still to be read from a memory image.
struct MemorySource {
  const unsigned char* cursor;
  size_t remaining;
};

// A read past the end of the image is an error at once: a chunk length that
// points beyond the data must not have libpng chew through gigabytes of
// padding before its checksum fails.
void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  MemorySource* source = (MemorySource*)png_get_io_ptr(png);
  if (length > source->remaining) png_error(png, "read past the end of the data");
  memcpy(out, source->cursor, length);
  source->cursor += length;
  source->remaining -= length;
}

// Requests the transforms that turn every colour type and bit depth into four
// bytes per pixel: alpha, red, green, blue.
void RequestTransforms(png_structp png, png_infop info, int bitDepth, int colourType) {
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  bool alpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0;
  if (png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_tRNS_to_alpha(png);
    alpha = true;
  }
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  if (alpha)
    png_set_swap_alpha(png);
  else
    png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
}

void Release(png_structp* png, png_infop* info, png_bytep* rows, LICE_IBitmap* created) {
  png_destroy_read_struct(png, info, nullptr);
  free(rows);
  delete created;
}

// Decodes from whatever reader install() sets up. Returns the bitmap or none;
// on failure nothing is left allocated and a caller's target is not deleted.
LICE_IBitmap* Decode(void (*install)(png_structp, void*), void* io, LICE_IBitmap* target) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return nullptr;
  }

  // Changed after setjmp, so volatile: their values must survive the longjmp.
  LICE_IBitmap* volatile created = nullptr;
  png_bytep* volatile rows = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    Release(&png, &info, rows, created);
    return nullptr;
  }

  install(png, io);
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colourType = 0, interlace = 0, compression = 0, filter = 0;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, &interlace, &compression,
               &filter);
  if (width == 0 || height == 0 || (uint64_t)width * height > (uint64_t)LICE_PNG_MAX_PIXELS) {
    Release(&png, &info, nullptr, nullptr);
    return nullptr;
  }
  RequestTransforms(png, info, bitDepth, colourType);
  // Interlaced images need all passes combined; png_read_image would switch
  // this on itself, but the row size must be known before any row is read.
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != (size_t)width * 4) {
    Release(&png, &info, nullptr, nullptr);
    return nullptr;
  }

  LICE_IBitmap* bitmap = target;
  if (!bitmap) {
    created = new (std::nothrow) LICE_MemBitmap();
    if (created) created->Resize((int)width, (int)height);
    bitmap = created;
  } else {
    bitmap->Resize((int)width, (int)height);
  }
  LICE_PixelWord* pixels = bitmap ? bitmap->Pixels() : nullptr;
  if (!pixels || bitmap->Width() != (int)width || bitmap->Height() != (int)height ||
      bitmap->RowSpan() < (int)width) {
    Release(&png, &info, nullptr, created);
    return nullptr;
  }

  rows = (png_bytep*)malloc(sizeof(png_bytep) * height);
  if (!rows) {
    Release(&png, &info, nullptr, created);
    return nullptr;
  }
  const size_t span = (size_t)bitmap->RowSpan();
  const bool bottomUp = bitmap->IsBottomUp();
  for (png_uint_32 y = 0; y < height; ++y)
    rows[y] = (png_bytep)(pixels + span * (bottomUp ? height - 1 - y : y));
  png_read_image(png, rows);
  png_destroy_read_struct(&png, &info, nullptr);

  // Bytes alpha, red, green, blue become the pixel word, in place.
  for (png_uint_32 y = 0; y < height; ++y) {
    unsigned char* p = rows[y];
    LICE_PixelWord* out = (LICE_PixelWord*)rows[y];
    for (png_uint_32 x = 0; x < width; ++x, p += 4)
      out[x] = (LICE_PixelWord)p[0] << 24 | (LICE_PixelWord)p[1] << 16 | (LICE_PixelWord)p[2] << 8 |
               p[3];
  }
  free(rows);
  return bitmap;
}

void InstallMemoryReader(png_structp png, void* io) {
  png_set_read_fn(png, io, ReadFromMemory);
}

void InstallFileReader(png_structp png, void* io) {
  png_init_io(png, (FILE*)io);
}

// The image-loader entry: with checkName, only names ending in ".png" (any
// case) are taken.
LICE_IBitmap* LoadPngFile(const char* name, bool checkName, LICE_IBitmap* target) {
  if (!name) return nullptr;
  if (checkName) {
    const char* p = name + strlen(name);
    while (p > name && *p != '\\' && *p != '/' && *p != '.')
      --p;
    static const char kExtension[] = ".png";
    for (int k = 0; k < 5; ++k) {
      char c = p[k];
      if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
      if (c != kExtension[k]) return nullptr;
    }
  }
  return LICE_DecodePngFile(name, target);
}

const char* DescribePng() {
  return "PNG files (*.PNG)";
}

struct PngLoaderRegistration {
  LICE_ImageLoader record;
  PngLoaderRegistration() {
    record.load = LoadPngFile;
    record.describe = DescribePng;
    record.next = nullptr;
    LICE_RegisterImageLoader(&record);
  }
} gPngLoader;

} // namespace

LICE_IBitmap* LICE_DecodePngMemory(const void* bytes, size_t length, LICE_IBitmap* target) {
  if (!bytes || length <= 7 || memcmp(bytes, kSignature, 8) != 0) return nullptr;
  MemorySource source = {(const unsigned char*)bytes, length};
  return Decode(InstallMemoryReader, &source, target);
}

LICE_IBitmap* LICE_DecodePngFile(const char* path, LICE_IBitmap* target) {
  FILE* file = LICE_OpenFileUtf8(path, "rb");
  if (!file) return nullptr;
  LICE_IBitmap* bitmap = Decode(InstallFileReader, file, target);
  fclose(file);
  return bitmap;
}
