/** @file catalogue.h The embedded font and pictures: their registration in the game's order and their loading. */
// The embedded font and pictures: their registration in the order the game
// lists them, and their loading into the picture globals and tables.
#pragma once

#include <string>
#include <vector>

// The 95 embedded file names in registration order.
const std::vector<std::string>& CatalogueNames();
// Registers every catalogued file that the build embedded, in catalogue order.
void RegisterEmbeddedFiles();
// Loads the body, face, hair, hat, chef, new-hat, vision and inspiration
// pictures and fills HeadBob, InspireBIndex and InspireCIndex.
void LoadPeoplePictures();
// Loads the protected, finalized and full overlays of the boxes.
void LoadBoxPictures();
// How many of the 94 picture globals hold a loaded picture.
int LoadedPictureCount();
