#include "sim/image_output.h"

#include <png.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <vector>

#include "app/files.h"

namespace panelcraft {

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(png));
  out->append(reinterpret_cast<const char*>(data), length);
}

void NoFlush(png_structp) {}

std::vector<uint8_t> RgbRow(const Surface& surface, int y) {
  std::vector<uint8_t> row(static_cast<size_t>(surface.Width()) * 3);
  for (int x = 0; x < surface.Width(); ++x) {
    const SurfaceColour c = surface.Pixel(x, y);
    row[static_cast<size_t>(x) * 3] = c.Red;
    row[static_cast<size_t>(x) * 3 + 1] = c.Green;
    row[static_cast<size_t>(x) * 3 + 2] = c.Blue;
  }
  return row;
}

}  // namespace

std::string EncodePng(const Surface& surface) {
  if (surface.Width() == 0 || surface.Height() == 0) throw std::invalid_argument("an empty picture has no PNG form");
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) throw std::runtime_error("PNG encoder unavailable");
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("PNG encoding failed");
  }
  png_set_write_fn(png, &out, AppendBytes, NoFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(surface.Width()), static_cast<png_uint_32>(surface.Height()), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < surface.Height(); ++y) {
    std::vector<uint8_t> row = RgbRow(surface, y);
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::string EncodePpm(const Surface& surface) {
  std::string out = "P6\n" + std::to_string(surface.Width()) + " " + std::to_string(surface.Height()) + "\n255\n";
  for (int y = 0; y < surface.Height(); ++y) {
    const std::vector<uint8_t> row = RgbRow(surface, y);
    out.append(reinterpret_cast<const char*>(row.data()), row.size());
  }
  return out;
}

void WriteSurfacePicture(const std::filesystem::path& path, const Surface& surface) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  WriteFileReplacing(path, ext == ".ppm" ? EncodePpm(surface) : EncodePng(surface));
}

}  // namespace panelcraft
