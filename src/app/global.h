// Tglobal: the program's context. It owns the global objects (the ROM image
// and the project store; later subsystems add theirs) and the shared state,
// and knows the home folder with its workspace "temp/". The application makes
// one; a test makes its own in a temporary folder.
//
// Threading: the shared state is plain data used from one thread (the UI
// thread or the CLI's); long jobs on worker threads get what they need passed
// in and only touch StopRequest.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "app/messages.h"
#include "device/receive_buffer.h"
#include "device/rom.h"
#include "fonts/drawing_surface.h"
#include "fonts/makefont.h"
#include "lang/cmd.h"
#include "pages/page_list.h"
#include "store/hash_table.h"

namespace panelcraft {

class Tglobal {
 public:
  Tglobal(std::filesystem::path home, UserMessages& messages);
  Tglobal(const Tglobal&) = delete;
  Tglobal& operator=(const Tglobal&) = delete;

  // Folders and files of the home.
  const std::filesystem::path Home;
  std::filesystem::path Workspace() const { return Home / "temp"; }
  std::filesystem::path PicFolder() const { return Home / "temp" / "pic"; }
  std::filesystem::path BaseDataFile() const { return Home / "default.bin"; }
  std::filesystem::path StoreKeyFile() const { return Home / "temp" / "prj.ini.key"; }

  UserMessages& Messages;

  // Global objects.
  Trom Rom;
  THashTable Store;  // the project store, stem "prj.ini"
  DrawingSurface Surface;            // the glyph rasterizer's 3200 x 255 1-bit surface
  Tmakefont MakeFont{Rom, Surface};  // the glyph rasterizer; writes its files into the workspace
  Tcmd Cmd;          // statement catalogue, parser and interpreter
  PageList Pages;    // the 128 pages as the console lists them

  // Shared state (GBK texts).
  std::string ProjectFile;  // empty: no project is open
  std::string ProjectName;
  int32_t MinFontsize = 0;
  int32_t PicSize = 0;
  int32_t Fontsize = 0;
  int32_t BaudIndex = 0;  // 0..6 = 2400..115200
  int32_t LinkState = 0;  // 0 no display, 1 connected, 2 offline design
  // Filled by the serial port's I/O thread; it holds ReceivedFlag too.
  panelcraft::ReceiveBuffer ReceiveBuffer;
  std::atomic<int32_t> ReceiveRoute{0};  // 1: received bytes also go to the console's log
  std::atomic<bool> StopRequest{false};

  // Windows hook in here: the menus follow ProjectFile and LinkState, and the
  // serial port is closed when a project is closed while connected.
  std::function<void()> MenusChanged;
  std::function<void()> ClosePort;

  bool ProjectOpen() const { return !ProjectFile.empty(); }

  // Program start as far as files go: creates "temp/" and "temp/pic/" when
  // there is no workspace, takes up one that has a store, and leaves a
  // workspace without a store alone.
  void Start();
  // Program end: saves the workspace while a project is open.
  void Finish();

  // Loads the project store and the shared state from "temp"; with a project
  // open this refreshes (rebuilds the image). A store that cannot be read is
  // reported and leaves no project open.
  void ReloadWorkspace();
  // Writes the shared state into the store and the store to disk. Errors are
  // reported; returns whether the store was written.
  bool SaveWorkspace();

  // The refresh command: menus, a rebuild of the image while a project is
  // open, and the workspace saved while a project is open.
  void Refresh();
  // Rebuilds the ROM image from the workspace (messages shown); returns
  // whether the build placed everything.
  bool RebuildImage();
  // Whether the last build placed everything; an image whose build ran out
  // of room is never uploaded.
  bool LastBuildOk = true;
  Trom::BuildInput BuildInputs() const;

  void UpdateMenus();

 private:
  void RefreshMain();
};

}  // namespace panelcraft
