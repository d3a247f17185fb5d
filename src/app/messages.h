// How the core reaches the user: the window shows a message box, the CLI
// prints a line. The core itself never shows anything.
#pragma once

#include <string>

namespace panelcraft {

class UserMessages {
 public:
  virtual ~UserMessages() = default;
  // An information or error message (GBK text).
  virtual void Show(const std::string& text) = 0;
  // A Yes/No question titled "系统提示"; true for Yes.
  virtual bool Ask(const std::string& text) = 0;
};

}  // namespace panelcraft
