/** @file picture.h Picture: the catalogue of the game's pictures, each with its file name, size, storage and drawer. */
// The catalogue of the game's pictures: what each file is called, its size,
// how it is stored, and the function that draws it.
#pragma once

#include <cairo.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace picgen {

// How a picture is stored on disk. Every picture is 8 bits per channel.
enum class Kind { Rgba, GreyAlpha };

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

// A fresh, fully transparent ARGB32 surface.
Surface makeSurface(int width, int height);
// A drawing context with the house style's defaults (anti-aliased, round joins).
Context makeContext(cairo_surface_t* surface);

struct Picture {
  std::string name;  // file name inside assets/
  int width;
  int height;
  Kind kind;
  std::function<void(cairo_t*)> draw;  // draws onto a transparent surface of that size
};

// Each subject adds its pictures in the order the game registers them.
void addPeoplePictures(std::vector<Picture>& out);  // bodies, chef, new-hat and inspiration frames
void addHeadPictures(std::vector<Picture>& out);    // faces, hair, hat, toque
void addMiscPictures(std::vector<Picture>& out);    // cursor, vision, box overlays, oval

// All 94 pictures in the game's registration order.
std::vector<Picture> catalogue();

}  // namespace picgen
