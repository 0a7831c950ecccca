#pragma once

#include <cstdio>

// Opens a file named in UTF-8. On Windows the name is converted strictly to a
// wide name (at most 2048 characters) and opened with the wide call; if that
// conversion or open fails, the narrow name is tried as it stands.
FILE* LICE_OpenFileUtf8(const char* path, const char* mode);
