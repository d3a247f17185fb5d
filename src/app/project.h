// The project commands of the main window (new, open, save, save as, close),
// the new-project dialog's check and the parameter editor's validation,
// without their dialogs: a window asks for the paths and names and calls
// these. Messages and the Yes/No confirmation go through Tglobal::Messages.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace panelcraft {

class Tglobal;

// The baud texts of the parameter editor, by index 0..6.
inline constexpr std::array<std::string_view, 7> kBaudTexts = {"2400",  "4800",  "9600",  "19200",
                                                               "38400", "57600", "115200"};
// The text shown for an index; any index outside 0..6 shows "115200".
std::string_view BaudText(int index);
// The index of a baud text that equals one of the seven exactly, else -1.
int BaudIndexOfText(std::string_view text);

// Unpacks the project file at `path` over the workspace and takes it up. A
// refused archive shows "文件格式不对", an unreadable one the reader's error;
// either way the workspace stays untouched and no project is open.
bool OpenProject(Tglobal& g, std::string_view path);

// Fills the workspace for a new project: folders, "temp/rom.bin" from the
// base data (kept when present), 115200 baud, and the store saved.
void PrepareNewProject(Tglobal& g);

// Asks whether to save the open project before it is replaced; on Yes saves
// the workspace and packs the project file. Returns false when that save
// failed (the caller then stops, so nothing is lost).
bool ConfirmSaveOpenProject(Tglobal& g);

// The new-project dialog's "创建": an empty name shows "工程名为空" and gives
// false; otherwise sets ProjectFile and ProjectName.
bool AcceptNewProjectDialog(Tglobal& g, std::string_view name, std::string_view file);

// "工程文件存盘": refresh, pack to ProjectFile, "保存成功!". A failed pack is
// reported instead of the success message.
bool SaveProject(Tglobal& g);
// "另存工程文件" to `path` (no extension added).
bool SaveProjectAs(Tglobal& g, std::string_view path);
// "关闭当前工程": the confirmation, then the store emptied and "temp/"
// deleted. When the confirmed save fails, the project stays open.
bool CloseProject(Tglobal& g);

// The parameter editor's "保存": name and baud text as typed.
bool SaveParameters(Tglobal& g, std::string_view name, std::string_view baudText);

}  // namespace panelcraft
