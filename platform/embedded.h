/** @file embedded.h EmbeddedFile: the files of assets/ as the build put them inside the executable. */
#pragma once

#include <cstdint>

struct EmbeddedFile {
  const char* Name;
  const uint8_t* Data;
  int32_t Size;
};

// Every embedded file, in name order; the list ends at EmbeddedFileCount.
extern const EmbeddedFile EmbeddedFiles[];
extern const int EmbeddedFileCount;

// The embedded file of that exact name, or null.
const EmbeddedFile* FindEmbeddedFile(const char* name);
