#include "pictures/picture_library.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <system_error>

#include "app/files.h"
#include "app/text.h"

namespace panelcraft {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

bool HasExtension(const fs::path& name, std::string_view ext) { return Lower(name.extension().string()) == ext; }

// The user's picture files of a folder by name, in name order.
std::vector<fs::path> FolderFiles(const fs::path& folder) {
  std::vector<fs::path> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (it->is_regular_file(typeError)) names.push_back(it->path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

bool BaseNameNumber(const std::string& fileName, int64_t& number) {
  const size_t dot = fileName.find('.');
  const std::string base = (dot == std::string::npos || dot == 0) ? fileName : fileName.substr(0, dot);
  size_t i = 0;
  const bool negative = !base.empty() && base[0] == '-';
  if (!base.empty() && (base[0] == '+' || base[0] == '-')) i = 1;
  if (i >= base.size()) return false;
  int64_t value = 0;
  for (; i < base.size(); ++i) {
    if (base[i] < '0' || base[i] > '9') return false;
    value = std::min<int64_t>(value * 10 + (base[i] - '0'), int64_t{1} << 40);
  }
  number = negative ? -value : value;
  return true;
}

PictureLibrary::PictureLibrary(PictureLibraryKind kind, fs::path pictureFolder, fs::path outputFolder)
    : Kind(kind), PictureFolder(std::move(pictureFolder)), OutputFolder(std::move(outputFolder)) {
  if (Kind == PictureLibraryKind::SdCard) {
    Store.StoreMode = 1;
    Store.BaseAddress = 8192;
  }
}

int32_t PictureLibrary::PictureNumber(size_t position) const {
  return static_cast<int32_t>(position) + (Kind == PictureLibraryKind::Project ? 1 : 1024);
}

void PictureLibrary::AddTile(const fs::path& name, UserMessages& messages) {
  PictureTile tile{-1, TextFromPath(name), PictureFolder / name};
  if (Tiles.size() >= static_cast<size_t>(Tjpglist::SlotCount)) {
    messages.Show(Gbk("图片超过512幅,此文件未列入: ") + tile.Hint);
    return;
  }
  try {
    if (Store.AddFile(tile.File)) tile.Slot = Store.Count - 1;
  } catch (const std::exception& e) {
    messages.Show(Gbk("图片文件无法读取,已跳过: ") + tile.Hint + " (" + e.what() + ")");
  }
  Tiles.push_back(std::move(tile));
}

void PictureLibrary::RefreshList(UserMessages& messages) {
  Store.Clear();
  Tiles.clear();
  const std::vector<fs::path> files = FolderFiles(PictureFolder);
  std::map<std::string, fs::path> byLowerName;
  for (const fs::path& name : files) byLowerName.emplace(Lower(name.string()), name);

  const bool project = Kind == PictureLibraryKind::Project;
  std::set<fs::path> listed;
  for (int n = 1; n <= 512; ++n)
    for (const char* ext : {".jpg", ".gif"}) {
      if (!project && std::string_view(ext) == ".gif") continue;
      const auto found = byLowerName.find(std::to_string(n) + ext);
      if (found == byLowerName.end()) continue;
      listed.insert(found->second);
      AddTile(found->second, messages);
    }
  for (const char* ext : {".gif", ".jpg"}) {
    if (!project && std::string_view(ext) == ".gif") continue;
    for (const fs::path& name : files) {
      if (!HasExtension(name, ext) || listed.count(name)) continue;
      const std::string text = name.string();
      if (text.rfind("_@", 0) == 0) continue;  // left by an unfinished tidying
      int64_t number = 0;
      if (BaseNameNumber(text, number) && number <= 512) {
        messages.Show(Gbk("编号文件名只能是1到512,此文件未列入: ") + TextFromPath(name));
        continue;
      }
      AddTile(name, messages);
    }
  }
}

bool PictureLibrary::MoveTile(size_t from, size_t to) {
  if (from >= Tiles.size() || to >= Tiles.size()) return false;
  PictureTile tile = std::move(Tiles[from]);
  Tiles.erase(Tiles.begin() + static_cast<std::ptrdiff_t>(from));
  Tiles.insert(Tiles.begin() + static_cast<std::ptrdiff_t>(to), std::move(tile));
  return true;
}

void PictureLibrary::TidyFileNames(UserMessages& messages) {
  auto rename = [&](const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (!fs::exists(from, ec) || fs::exists(to, ec)) return;  // a taken name is never overwritten
    fs::rename(from, to, ec);
    if (ec) messages.Show(FileErrorText("cannot rename", from, ec.message()));
  };
  auto extensionOf = [&](const PictureTile& tile) {
    return Kind == PictureLibraryKind::Project && HasExtension(tile.File.filename(), ".gif") ? ".gif" : ".jpg";
  };
  for (size_t p = 0; p < Tiles.size(); ++p)
    rename(Tiles[p].File, PictureFolder / ("_@" + std::to_string(p + 1) + extensionOf(Tiles[p])));
  if (Kind == PictureLibraryKind::Project) {
    for (size_t p = 0; p < Tiles.size(); ++p) {
      const std::string name = std::to_string(p + 1) + extensionOf(Tiles[p]);
      rename(PictureFolder / ("_@" + name), PictureFolder / name);
    }
  } else {
    for (int n = 1; n <= 512; ++n)
      rename(PictureFolder / ("_@" + std::to_string(n) + ".jpg"), PictureFolder / (std::to_string(n) + ".jpg"));
  }
  RefreshList(messages);
}

void PictureLibrary::GeneratePictureData(UserMessages& messages, const std::function<void(int)>& progress) {
  Store.Clear();
  const size_t count = Tiles.size();
  for (size_t p = 0; p < count; ++p) {
    if (progress) progress(static_cast<int>(p * 100 / count));
    const PictureTile& tile = Tiles[p];
    if (tile.Slot < 0) continue;
    const int32_t entry = static_cast<int32_t>(p) + (Kind == PictureLibraryKind::Project ? 1 : 0);
    try {
      switch (Store.ConvertPicture(entry, tile.Slot)) {
        case Tjpglist::Converted::Written:
          break;
        case Tjpglist::Converted::TooLarge:
          messages.Show(Gbk("图片太大(宽度须小于5000,高度须小于1500),未生成: ") + tile.Hint);
          break;
        case Tjpglist::Converted::Full:
          messages.Show(Gbk("图片数据已满,此图片未生成: ") + tile.Hint);
          break;
      }
    } catch (const PictureError& e) {
      messages.Show(Gbk("图片文件无法读取,已跳过: ") + tile.Hint + " (" + e.what() + ")");
    }
  }
  if (progress) progress(100);
  std::error_code ec;
  fs::create_directories(OutputFolder, ec);
  WriteFileReplacing(DataFile(), std::string_view(reinterpret_cast<const char*>(Store.DataArea.data()), Store.DataPos));
  WriteFileReplacing(IndexFile(), std::string_view(reinterpret_cast<const char*>(Store.IndexArea.data()), 4096));
  messages.Show(Gbk(Kind == PictureLibraryKind::Project ? "生成完成!" : "图片生成完成!"));
}

}  // namespace panelcraft
