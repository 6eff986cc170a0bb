/** @file frame_read.cpp ReadFrameBeforeSwap: glReadPixels of the back buffer's viewport. */
#include "platform/backends/x11/frame_read.h"

#include <GL/gl.h>

#include <cstddef>

#include "platform/backends/x11/gl_painter.h"

bool ReadFrameBeforeSwap(std::vector<uint8_t>& rgb, int& width, int& height) {
  GlPainter::FinishCurrent();  // shapes still gathered belong to this frame
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  width = viewport[2];
  height = viewport[3];
  if (width <= 0 || height <= 0) return false;
  rgb.resize(std::size_t(width) * std::size_t(height) * 3);
  // An earlier error is not this read's (GL keeps a few flags at most).
  for (int i = 0; i < 8 && glGetError() != GL_NO_ERROR; ++i) {
  }
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(viewport[0], viewport[1], width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return glGetError() == GL_NO_ERROR;
}
