// Test pictures made by the tests themselves: GIF files written with giflib
// from colour indices, JPEG files with libjpeg-turbo.
#pragma once

#include <gif_lib.h>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "pictures/bitmap.h"

namespace panelcraft::test {

using Rgb = std::array<uint8_t, 3>;

struct TestFrame {
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<uint8_t> indices;  // width x height, rows top to bottom
  int transparent = -1;          // colour index drawn as transparent, or -1
  bool interlaced = false;       // rows stored in the four interlace passes
};

inline int WriteToString(GifFileType* gif, const GifByteType* data, int length) {
  static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
  return length;
}

// A GIF of the logical size with a global palette (padded to 256 colours).
inline std::string MakeGif(int width, int height, const std::vector<Rgb>& palette,
                           const std::vector<TestFrame>& frames) {
  std::string out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, WriteToString, &error);
  std::vector<GifColorType> colours(256, GifColorType{0, 0, 0});
  for (size_t i = 0; i < palette.size(); ++i) colours[i] = GifColorType{palette[i][0], palette[i][1], palette[i][2]};
  ColorMapObject* map = GifMakeMapObject(256, colours.data());
  EGifSetGifVersion(gif, true);
  if (EGifPutScreenDesc(gif, width, height, 8, 0, map) != GIF_OK) throw std::runtime_error("gif screen");
  for (const TestFrame& f : frames) {
    GraphicsControlBlock control{};
    control.TransparentColor = f.transparent < 0 ? NO_TRANSPARENT_COLOR : f.transparent;
    GifByteType extension[4];
    const size_t n = EGifGCBToExtension(&control, extension);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), extension);
    if (EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, nullptr) != GIF_OK)
      throw std::runtime_error("gif frame");
    std::vector<GifPixelType> row(static_cast<size_t>(f.width));
    std::vector<int> order;
    if (f.interlaced) {
      for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int y = start; y < f.height; y += step) order.push_back(y);
    } else {
      for (int y = 0; y < f.height; ++y) order.push_back(y);
    }
    for (int y : order) {
      for (int x = 0; x < f.width; ++x) row[static_cast<size_t>(x)] = f.indices[static_cast<size_t>(y * f.width + x)];
      EGifPutLine(gif, row.data(), f.width);
    }
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(map);
  return out;
}

// A GIF of one frame covering it, every pixel of colour index 0.
inline std::string SolidGif(int width, int height, Rgb colour) {
  return MakeGif(width, height, {colour},
                 {{0, 0, width, height, std::vector<uint8_t>(static_cast<size_t>(width * height), 0)}});
}

inline std::string SolidJpeg(int width, int height, Rgb colour) {
  return EncodeJpeg(Bitmap(width, height, colour[0], colour[1], colour[2]), 95);
}

inline Rgb PixelOf(const Bitmap& picture, int x, int y) {
  const uint8_t* p = picture.At(x, y);
  return {p[0], p[1], p[2]};
}

}  // namespace panelcraft::test
