#pragma once

#include "ArtworkLayout.h"
#include "LICE_MemBitmap.h"

#include <memory>
#include <string>

// The editor's eight image strips, drawn in memory and written as PNG files
// named as the editor's resource list names them.
class ArtworkSet {
public:
  ArtworkSet();
  ~ArtworkSet();
  ArtworkSet(const ArtworkSet&) = delete;
  ArtworkSet& operator=(const ArtworkSet&) = delete;

  // Draws every strip. False if one could not be drawn.
  bool Render();
  // The strip for a resource id after Render, or none.
  LICE_IBitmap* Image(int id) const;
  // Writes every strip into folder (which must exist); error says which failed.
  bool Write(const std::string& folder, std::string& error) const;

  static constexpr int kCount = 8;

private:
  std::unique_ptr<LICE_MemBitmap> mImages[kCount]; // in artwork_layout::kStrips order
};
