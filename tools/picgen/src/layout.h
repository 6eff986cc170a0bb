/** @file layout.h Where the game puts one picture relative to another: the offsets the pictures meet at. */
// Where the game puts one picture relative to another. The pictures are drawn
// so that they meet at exactly these offsets, so keep them in step with the
// game's drawing code.
#pragma once

#include <array>

namespace picgen::layout {

// Picture sizes, in pixels (one pixel is one world unit at zoom 1).
constexpr int kBodyW = 280, kBodyH = 510;  // every fan body frame
constexpr int kChefW = 280, kChefH = 501;  // chef body and chef's jacket
constexpr int kFaceSize = 100;
constexpr int kHairSize = 140;
constexpr int kHatW = 280, kHatH = 91;
constexpr int kToqueW = 242, kToqueH = 233;
constexpr int kBoxW = 280, kBoxH = 185;  // a mixing box and its overlays
constexpr int kCursorW = 44, kCursorH = 74;
constexpr int kVisionW = 300, kVisionH = 200;
constexpr int kOvalW = 2560, kOvalH = 1920;

// A person is put together on his body picture: face and hair at these
// offsets, lowered by the head bob of the body frame.
constexpr double kFaceX = 90, kFaceY = 72;
constexpr double kHairX = 70, kHairY = 29;
constexpr double kHatX = 0, kHatY = 0;
// Head bob per body frame (0-7 walking, 8 standing); the front view bobs less.
constexpr std::array<int, 9> kHeadBob = {14, 21, 12, 1, 14, 29, 17, 10, 0};
constexpr double kFrontBob = 0.35;

// A chef: face and hair as above with no bob, the toque standing on his
// head, a stolen hat held in his hands.
constexpr double kToqueX = 42, kToqueY = -140;
constexpr double kCarriedHatX = 55, kCarriedHatY = 260;

// Taking a new hat: the hat is held up, tilted, before it goes on.
constexpr double kRaisedHatX = 70, kRaisedHatY = -18, kRaisedHatDeg = 7.5;

// Becoming a chef: the jacket comes down in 40-unit steps from 356 above
// the fan to 36 above him, and from the next frame on he is drawn as a chef.
constexpr double kShirtFirstY = -356, kShirtStepY = 40, kShirtLastY = -36;

// The fan's hat: a dome centred over the head, a band along its bottom that
// sits on the forehead, and a brim reaching left.
constexpr double kHatDomeCx = 140, kHatDomeHalfW = 58, kHatTopY = 10, kHatBandY = 84;
constexpr double kHatBrimTipX = 10;

// The head inside the face picture, and so inside the body picture.
constexpr double kHeadCx = 50, kHeadCy = 50, kHeadR = 45;  // face coordinates
constexpr double kBodyHeadCx = kFaceX + kHeadCx;           // 140
constexpr double kBodyHeadCy = kFaceY + kHeadCy;           // 122

}  // namespace picgen::layout
