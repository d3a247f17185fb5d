// Support for panelcraft-cli's commands: argument reading, output in UTF-8,
// and the two ways a command fails (exit code 1 for an error, 2 for bad usage).
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/global.h"
#include "app/messages.h"

namespace panelcraft {
class PictureLibrary;
}

namespace panelcraft::cli {

// Bad usage: printed with the command's usage, exit code 2.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// A failed command whose reason was already reported: exit code 1.
struct Failed : std::runtime_error {
  Failed() : std::runtime_error("") {}
  using std::runtime_error::runtime_error;
};

// Messages of the core go to standard error as UTF-8. A question is answered
// by a preset answer (from --save/--discard, --yes …) or, on a terminal, by
// the user; without either it is a usage error.
class CliMessages : public UserMessages {
 public:
  void Show(const std::string& text) override;
  bool Ask(const std::string& text) override;
  std::optional<bool> Answer;
  std::vector<std::string> Shown;  // every message shown, GBK
};

// The arguments after the command words, with options taken out by name.
class Args {
 public:
  explicit Args(std::vector<std::string> words) : words_(std::move(words)) {}
  // "--name VALUE" (or "--name=VALUE"); taken out of the list.
  std::optional<std::string> Option(std::string_view name);
  // "--name"; taken out of the list.
  bool Flag(std::string_view name);
  // The next positional word; UsageError naming `what` when there is none.
  std::string Next(std::string_view what);
  std::optional<std::string> NextIfAny();
  // UsageError when words are left over (an unknown option, say).
  void Done() const;
  bool Empty() const { return words_.empty(); }

 private:
  std::vector<std::string> words_;
};

struct Context {
  Tglobal& g;
  CliMessages& messages;
  std::ostream& out;
};

// UTF-8 command-line text as GBK; UsageError when a character has no GBK form.
std::string ArgToGbk(std::string_view utf8);
// A path typed on the command line as an absolute GBK path text.
std::string PathArgToText(std::string_view utf8);
// GBK text for the terminal.
std::string Show(std::string_view gbk);
// An integer option with a fixed set of values.
int IntChoice(std::string_view text, std::string_view option, std::initializer_list<int> allowed);
// The progress of a run as a bar on a terminal's standard error; nothing
// when standard error is not a terminal.
class ProgressBar {
 public:
  ProgressBar();
  ~ProgressBar() { Clear(); }
  void Show(int percent);
  void Clear();

 private:
  bool terminal_;
  bool shown_ = false;
};

// Fails unless a project is open.
void RequireProject(const Context& c);

// Command groups: each takes the words after its name.
int ProjectCommand(Context& c, Args args);
int StoreCommand(Context& c, Args args);
int RomCommand(Context& c, Args args);
int FontsCommand(Context& c, Args args);
int MakeBaseCommand(Context& c, Args args);
int CatalogueCommand(Context& c, Args args);
int CcodeCommand(Context& c, Args args);
int FormatCommand(Context& c, Args args);
int PagesCommand(Context& c, Args args);
int PortsCommand(Context& c, Args args);
int ConnectCommand(Context& c, Args args);
int SendCommand(Context& c, Args args);
int LineTestCommand(Context& c, Args args);
int UploadCommand(Context& c, Args args);
int RunCommand(Context& c, Args args);
int RenderCommand(Context& c, Args args);
int PicturesCommand(Context& c, Args args);
int GifStripCommand(Context& c, Args args);
int SdCommand(Context& c, Args args);
int ImeCommand(Context& c, Args args);
// list|tidy|generate|move of a picture library (the project's or the SD card's).
int PictureLibraryCommand(Context& c, PictureLibrary& library, Args& args);

// Statement text from a file, or from standard input when there is none or it
// is "-": UTF-8 when it reads as UTF-8, else taken as GBK.
std::string ReadStatementInput(const std::optional<std::string>& file);

}  // namespace panelcraft::cli
