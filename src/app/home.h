// The program's home: the folder that holds the workspace "temp/", the base
// data "default.bin", "ser.ini" and "sd/". Never the install folder.
#pragma once

#include <filesystem>
#include <optional>

namespace panelcraft {

// `--home DIR`, else $PANELCRAFT_HOME, else $XDG_DATA_HOME/panelcraft, else
// ~/.local/share/panelcraft.
std::filesystem::path ChooseHome(const std::optional<std::filesystem::path>& option);

// A file shipped with the program (for example "default.bin"): looked up in
// $PANELCRAFT_DATA_DIR, beside the program in ../share/panelcraft, and in the
// build tree. Empty when there is none.
std::filesystem::path FindBundledFile(const std::filesystem::path& name);

// Creates the home if needed; a home without "default.bin" receives the
// bundled one. Throws FileError when the home cannot be created.
void PrepareHome(const std::filesystem::path& home);

}  // namespace panelcraft
