// tolven-artwork: draws the editor's image strips into a folder, and on
// request a preview of the composed editor.
#include "ArtworkPreview.h"
#include "ArtworkSet.h"
#include "LICE_Png.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {
int Usage() {
  std::fprintf(stderr, "usage: tolven-artwork OUTPUT-FOLDER [--preview FILE.png]\n"
                       "Draws BG, HG, MG, LG, IN, OUT, BY and VU .png into OUTPUT-FOLDER.\n");
  return 2;
}
} // namespace

int main(int argc, char** argv) {
  std::string folder, preview;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) {
      preview = argv[++i];
    } else if (argv[i][0] == '-' || !folder.empty()) {
      return Usage();
    } else {
      folder = argv[i];
    }
  }
  if (folder.empty()) return Usage();

  ArtworkSet art;
  if (!art.Render()) {
    std::fprintf(stderr, "tolven-artwork: drawing failed\n");
    return 1;
  }
  std::string error;
  if (!art.Write(folder, error)) {
    std::fprintf(stderr, "tolven-artwork: %s\n", error.c_str());
    return 1;
  }
  std::printf("wrote 8 images to %s\n", folder.c_str());

  if (!preview.empty()) {
    ArtworkPreview::State states[3];
    states[1].high = 0.8, states[1].mid = 0.3, states[1].low = 0.62;
    states[1].input = 0.7, states[1].output = 0.38, states[1].meter = 0.708;
    states[2].high = 0.0, states[2].mid = 1.0, states[2].low = 0.0;
    states[2].input = 1.0, states[2].output = 0.0, states[2].meter = 1.0;
    states[2].bypassed = true;
    std::unique_ptr<LICE_MemBitmap> sheet(ArtworkPreview::ComposeSheet(folder, states, 3));
    if (!sheet || !LICE_WritePng(preview.c_str(), sheet.get(), false)) {
      std::fprintf(stderr, "tolven-artwork: cannot write the preview %s\n", preview.c_str());
      return 1;
    }
    std::printf("wrote the preview %s\n", preview.c_str());
  }
  return 0;
}
