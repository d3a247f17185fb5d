#include "app/global.h"

#include "app/files.h"
#include "app/text.h"

namespace panelcraft {

Tglobal::Tglobal(std::filesystem::path home, UserMessages& messages)
    : Home(std::move(home)), Messages(messages) {
  Rom.Workspace = Workspace();
  Store.Folder = Workspace();
  MakeFont.Workspace = Workspace();
  // The virtual display draws out of the image, re-reads its font header
  // after every build, and runs menu pages from the page list.
  Cmd.Display.SetRom(&Rom);
  Cmd.Display.ReloadFontHeader();
  Rom.ReloadFontHeader = [this] { Cmd.Display.ReloadFontHeader(); };
  Cmd.Display.PageSource = [this](int n) { return Pages.PageContent(n); };
}

void Tglobal::Start() {
  ReceiveBuffer.Clear();
  LinkState = 0;
  ProjectFile.clear();
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(Workspace(), ec))) {
    // Failures here show up later, when files are written into them.
    fs::create_directories(PicFolder(), ec);
    UpdateMenus();
  } else if (fs::exists(StoreKeyFile(), ec)) {
    ReloadWorkspace();
  }
}

void Tglobal::Finish() {
  if (ProjectOpen()) SaveWorkspace();
}

void Tglobal::ReloadWorkspace() {
  std::error_code ec;
  if (!fs::exists(StoreKeyFile(), ec)) return;
  try {
    Store.LoadFrom("prj.ini");
  } catch (const FileError& e) {
    Messages.Show(e.what());
    ProjectFile.clear();
    UpdateMenus();
    return;
  }
  Pages.RebuildPageList(Store);
  if (ProjectFile.empty()) ProjectFile = Store.Get("PrjFileName");
  ProjectName = Store.Get("PrjName");
  MinFontsize = Store.GetInt("MinFontsize");
  PicSize = Store.GetInt("PicSize");
  Fontsize = Store.GetInt("Fontsize");
  BaudIndex = Store.GetInt("BTL");
  UpdateMenus();
  RefreshMain();
}

bool Tglobal::SaveWorkspace() {
  Store.Put("PrjFileName", ProjectFile);
  Store.Put("PrjName", ProjectName);
  Store.PutInt("MinFontsize", MinFontsize);
  Store.PutInt("PicSize", PicSize);
  Store.PutInt("Fontsize", Fontsize);
  Store.PutInt("BTL", BaudIndex);
  try {
    std::error_code ec;
    fs::create_directories(Workspace(), ec);
    Store.SaveTo("prj.ini");
    return true;
  } catch (const FileError& e) {
    Messages.Show(e.what());
    return false;
  }
}

void Tglobal::UpdateMenus() {
  if (!ProjectOpen()) LinkState = 0;
  if (MenusChanged) MenusChanged();
}

void Tglobal::RefreshMain() {
  UpdateMenus();
  if (ProjectOpen()) RebuildImage();
}

void Tglobal::Refresh() {
  RefreshMain();
  if (ProjectOpen()) SaveWorkspace();
}

Trom::BuildInput Tglobal::BuildInputs() const {
  Trom::BuildInput input;
  input.BaseData = BaseDataFile();
  input.Store = &Store;
  input.BaudIndex = BaudIndex;
  return input;
}

bool Tglobal::RebuildImage() {
  const Trom::BuildReport report = Rom.BuildImage(BuildInputs());
  LastBuildOk = report.Ok;
  for (const std::string& message : report.Messages) Messages.Show(message);
  return report.Ok;
}

}  // namespace panelcraft
