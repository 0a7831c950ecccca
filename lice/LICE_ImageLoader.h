#pragma once

#include "LICE_IBitmap.h"

// One entry of the process-wide list of image loaders. Decoders put their
// record at the head of the list when the module starts.
struct LICE_ImageLoader {
  // Loads the named file (UTF-8) into target or a new bitmap; with checkName
  // set, files whose name the loader does not recognise are refused at once.
  LICE_IBitmap* (*load)(const char* name, bool checkName, LICE_IBitmap* target);
  // A file-dialog description, such as "PNG files (*.PNG)".
  const char* (*describe)();
  LICE_ImageLoader* next;
};

// Head of the list, or none.
LICE_ImageLoader* LICE_ImageLoaders();

// Puts the record at the head of the list.
void LICE_RegisterImageLoader(LICE_ImageLoader* loader);
