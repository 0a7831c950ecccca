#pragma once

// System fonts for the cached text renderer: a Win32 HFONT on Windows, a
// FreeType face chosen through fontconfig elsewhere.
typedef void* LICE_FontHandle;

// Creates a system font with the conventions of Win32 CreateFont: height > 0
// is the cell height in pixels, < 0 the character height; weight 100..900
// (400 normal, 700 bold, 0 default); escapement in tenths of a degree
// (ignored outside Windows); quality a Win32 quality code (0 default,
// 3 non-antialiased, 4 antialiased, 5 ClearType). A face that is not
// installed falls back to the closest installed one. Returns none on failure.
LICE_FontHandle LICE_CreateSystemFont(const char* face, int height, int weight = 400,
                                      bool italic = false, int escapement = 0, int quality = 0);

// Frees a font made by LICE_CreateSystemFont.
void LICE_DestroySystemFont(LICE_FontHandle font);
