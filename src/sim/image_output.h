// Pictures of a Surface as files: PNG for people, binary PPM (P6) for scripts.
#pragma once

#include <filesystem>
#include <string>

#include "sim/surface.h"

namespace panelcraft {

// The encoded bytes of the surface.
std::string EncodePng(const Surface& surface);
std::string EncodePpm(const Surface& surface);

// Writes the picture whole (a temporary file replaces the old one); PPM when
// the name ends in ".ppm" (any case), PNG otherwise. Throws FileError.
void WriteSurfacePicture(const std::filesystem::path& path, const Surface& surface);

}  // namespace panelcraft
