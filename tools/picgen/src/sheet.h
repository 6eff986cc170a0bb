/** @file sheet.h The picture sheet (writeSheet): every picture, and people put together, for a person to look over. */
// The picture sheet: every picture on a checkerboard, and people put together
// the way the game puts them together, for a person to look over.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "picture.h"

namespace picgen {

using PictureSet = std::map<std::string, Surface>;

// `order` lists the pictures as the game registers them. Returns false
// (after printing why) if the sheet cannot be written.
bool writeSheet(const std::string& path, const PictureSet& pictures, const std::vector<std::string>& order);

}  // namespace picgen
