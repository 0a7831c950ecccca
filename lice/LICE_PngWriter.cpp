// PNG writing for tools (pictures, snapshots); the editor never writes images.
// As in the decoder, libpng errors longjmp back into WriteRows(), whose owned
// resources are plain pointers released on both paths.
#include "LICE_FileOpen.h"
#include "LICE_Png.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>

namespace {

bool WriteRows(FILE* file, LICE_IBitmap* bitmap, bool keepAlpha) {
  const int width = bitmap->Width(), height = bitmap->Height();
  const LICE_PixelWord* pixels = bitmap->Pixels();
  const long long span = bitmap->RowSpan();
  const bool bottomUp = bitmap->IsBottomUp();

  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  const int channels = keepAlpha ? 4 : 3;
  unsigned char* volatile row = (unsigned char*)malloc((size_t)width * channels);
  if (!row) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    free(row);
    return false;
  }

  png_init_io(png, file);
  png_set_IHDR(png, info, (png_uint_32)width, (png_uint_32)height, 8,
               keepAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    const LICE_PixelWord* in = pixels + span * (bottomUp ? height - 1 - y : y);
    unsigned char* out = row;
    for (int x = 0; x < width; ++x) {
      LICE_PixelWord p = in[x];
      *out++ = (unsigned char)LICE_PixelRed(p);
      *out++ = (unsigned char)LICE_PixelGreen(p);
      *out++ = (unsigned char)LICE_PixelBlue(p);
      if (keepAlpha) *out++ = (unsigned char)LICE_PixelAlpha(p);
    }
    png_write_row(png, row);
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  free(row);
  return true;
}

} // namespace

bool LICE_WritePng(const char* path, LICE_IBitmap* bitmap, bool keepAlpha) {
  if (!path || !bitmap || !bitmap->Pixels() || bitmap->Width() < 1 || bitmap->Height() < 1 ||
      bitmap->RowSpan() < bitmap->Width())
    return false;
  FILE* file = LICE_OpenFileUtf8(path, "wb");
  if (!file) return false;
  bool ok = WriteRows(file, bitmap, keepAlpha);
  if (fclose(file) != 0) ok = false;
  return ok;
}
