#include "pictures/gif_strip.h"

#include "app/files.h"
#include "app/text.h"

namespace panelcraft {

Bitmap MakeGifStrip(const GifPicture& gif) {
  const int32_t w = gif.Width;
  Bitmap strip(w * static_cast<int32_t>(gif.Frames.size()), gif.Height);
  Bitmap working(w, gif.Height);
  DrawFrame(working, gif.Frames[0], 0, 0, 0, w, false);
  for (size_t i = 0; i < gif.Frames.size(); ++i) {
    const GifFrame& frame = gif.Frames[i];
    DrawFrame(working, frame, frame.Left, frame.Top, 0, w, false);
    strip.Draw(working, static_cast<int32_t>(i) * w, 0);
  }
  return strip;
}

std::string GifBaseName(const std::filesystem::path& gifFile) {
  const std::filesystem::path name = gifFile.filename();
  return TextFromPath(name.has_extension() ? name.stem() : name);
}

bool SaveGifStrip(const std::filesystem::path& target, std::string_view jpeg, UserMessages& messages) {
  std::error_code ec;
  if (std::filesystem::exists(target, ec) &&
      !messages.Ask(Gbk("已经发现:") + TextFromPath(target.filename()) + Gbk(" 文件存在，是否覆盖？")))
    return false;
  std::filesystem::create_directories(target.parent_path(), ec);
  WriteFileReplacing(target, jpeg);
  return true;
}

}  // namespace panelcraft
