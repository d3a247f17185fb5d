// The animation strip of a GIF: all its frames side by side in one JPEG
// picture, cell i showing frame 0 with frames 1 to i drawn over it in turn
// (every pixel of a frame, transparent or not). Saved into the picture
// folder, where the picture library lists it like any other JPEG.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "app/messages.h"
#include "pictures/bitmap.h"

namespace panelcraft {

inline constexpr int kGifStripQuality = 90;

Bitmap MakeGifStrip(const GifPicture& gif);

// A file's name without folder and extension (the whole name when it has none).
std::string GifBaseName(const std::filesystem::path& gifFile);

// Writes `jpeg` to `target`. When the file exists the user is asked
// "已经发现:" + its name + " 文件存在，是否覆盖？" first and nothing is written
// on No. Returns whether the file was written; throws FileError.
bool SaveGifStrip(const std::filesystem::path& target, std::string_view jpeg, UserMessages& messages);

}  // namespace panelcraft
