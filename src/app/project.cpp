#include "app/project.h"

#include "app/files.h"
#include "app/global.h"
#include "app/text.h"
#include "store/project_archive.h"

namespace panelcraft {

std::string_view BaudText(int index) {
  return index >= 0 && index < static_cast<int>(kBaudTexts.size()) ? kBaudTexts[static_cast<size_t>(index)]
                                                                     : kBaudTexts.back();
}

int BaudIndexOfText(std::string_view text) {
  for (size_t i = 0; i < kBaudTexts.size(); ++i)
    if (kBaudTexts[i] == text) return static_cast<int>(i);
  return -1;
}

namespace {

bool Pack(Tglobal& g, std::string_view path) {
  try {
    Tmakeprjfile(g.Home).Pack(PathFromText(path));
    return true;
  } catch (const FileError& e) {
    g.Messages.Show(e.what());
    return false;
  }
}

}  // namespace

bool OpenProject(Tglobal& g, std::string_view path) {
  const std::string previous = g.ProjectFile;
  g.ProjectFile = std::string(path);
  std::string error;
  const auto result = Tmakeprjfile(g.Home).Unpack(PathFromText(path), &error);
  if (result != Tmakeprjfile::UnpackResult::Accepted) {
    g.ProjectFile = previous;
    g.Messages.Show(result == Tmakeprjfile::UnpackResult::Refused ? Gbk("文件格式不对") : error);
    return false;
  }
  g.ReloadWorkspace();
  return g.ProjectOpen();
}

void PrepareNewProject(Tglobal& g) {
  std::error_code ec;
  fs::create_directories(g.PicFolder(), ec);
  g.UpdateMenus();
  const fs::path rom = g.Workspace() / "rom.bin";
  if (!fs::exists(rom, ec) && FileSizeOrMinusOne(g.BaseDataFile()) >= 0) {
    try {
      WriteFileReplacing(rom, ReadFileBytes(g.BaseDataFile()));
    } catch (const FileError& e) {
      g.Messages.Show(e.what());
    }
  }
  g.BaudIndex = 6;
  g.SaveWorkspace();
}

bool ConfirmSaveOpenProject(Tglobal& g) {
  if (!g.ProjectOpen()) return true;
  if (!g.Messages.Ask(Gbk("是否保存工程:") + g.ProjectName + Gbk(" 到工程文件:") + g.ProjectFile)) return true;
  return g.SaveWorkspace() && Pack(g, g.ProjectFile);
}

bool AcceptNewProjectDialog(Tglobal& g, std::string_view name, std::string_view file) {
  if (name.empty()) {
    g.Messages.Show(Gbk("工程名为空"));
    return false;
  }
  g.ProjectFile = std::string(file);
  g.ProjectName = std::string(name);
  return true;
}

bool SaveProject(Tglobal& g) {
  g.Refresh();
  if (g.ProjectOpen() && !Pack(g, g.ProjectFile)) return false;
  g.Messages.Show(Gbk("保存成功!"));
  return true;
}

bool SaveProjectAs(Tglobal& g, std::string_view path) {
  g.Refresh();
  if (!Pack(g, path)) return false;
  g.ProjectFile = std::string(path);
  g.UpdateMenus();
  if (g.ProjectOpen()) g.RebuildImage();
  return true;
}

bool CloseProject(Tglobal& g) {
  if (!ConfirmSaveOpenProject(g)) return false;
  g.ProjectFile.clear();
  if (g.LinkState == 1 && g.ClosePort) g.ClosePort();
  g.LinkState = 0;
  g.Store.Clear();
  DeleteFolder(g.Workspace());
  g.UpdateMenus();
  return true;
}

bool SaveParameters(Tglobal& g, std::string_view name, std::string_view baudText) {
  g.ProjectName = std::string(name);
  const int index = BaudIndexOfText(baudText);
  if (index < 0) {
    g.Messages.Show(Gbk("波特率设置不正确,保存失败!"));
    return false;
  }
  g.BaudIndex = index;
  if (!g.SaveWorkspace()) return false;
  g.Messages.Show(Gbk("保存成功!"));
  return true;
}

}  // namespace panelcraft
