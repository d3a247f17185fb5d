#include "cli/cli.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>

#include "app/files.h"
#include "app/text.h"

namespace panelcraft::cli {

void CliMessages::Show(const std::string& text) {
  Shown.push_back(text);
  std::cerr << GbkToUtf8(text) << "\n";
}

bool CliMessages::Ask(const std::string& text) {
  if (Answer) return *Answer;
  if (!::isatty(STDIN_FILENO)) throw UsageError("this needs an answer to: " + GbkToUtf8(text));
  std::cerr << GbkToUtf8(text) << " [y/n] " << std::flush;
  std::string line;
  std::getline(std::cin, line);
  return !line.empty() && (line[0] == 'y' || line[0] == 'Y');
}

std::optional<std::string> Args::Option(std::string_view name) {
  for (size_t i = 0; i < words_.size(); ++i) {
    const std::string& w = words_[i];
    if (w == name) {
      if (i + 1 >= words_.size()) throw UsageError(std::string(name) + " needs a value");
      std::string value = words_[i + 1];
      words_.erase(words_.begin() + static_cast<long>(i), words_.begin() + static_cast<long>(i) + 2);
      return value;
    }
    if (w.size() > name.size() && w.compare(0, name.size(), name) == 0 && w[name.size()] == '=') {
      std::string value = w.substr(name.size() + 1);
      words_.erase(words_.begin() + static_cast<long>(i));
      return value;
    }
  }
  return std::nullopt;
}

bool Args::Flag(std::string_view name) {
  const auto it = std::find(words_.begin(), words_.end(), name);
  if (it == words_.end()) return false;
  words_.erase(it);
  return true;
}

std::optional<std::string> Args::NextIfAny() {
  if (words_.empty()) return std::nullopt;
  std::string word = words_.front();
  words_.erase(words_.begin());
  return word;
}

std::string Args::Next(std::string_view what) {
  auto word = NextIfAny();
  if (!word) throw UsageError("missing " + std::string(what));
  return *word;
}

void Args::Done() const {
  if (!words_.empty()) throw UsageError("unexpected argument: " + words_.front());
}

std::string ArgToGbk(std::string_view utf8) {
  auto gbk = TryUtf8ToGbk(utf8);
  if (!gbk) throw UsageError("text without a GBK form: " + std::string(utf8));
  return *gbk;
}

std::string PathArgToText(std::string_view utf8) {
  return ArgToGbk(fs::absolute(fs::path(std::string(utf8))).lexically_normal().generic_string());
}

std::string Show(std::string_view gbk) { return GbkToUtf8(gbk); }

ProgressBar::ProgressBar() : terminal_(::isatty(STDERR_FILENO) != 0) {}

void ProgressBar::Show(int percent) {
  if (!terminal_) return;
  percent = std::clamp(percent, 0, 100);
  const int filled = percent * 40 / 100;
  std::cerr << "\r[" << std::string(static_cast<size_t>(filled), '#') << std::string(static_cast<size_t>(40 - filled), '.')
            << "] " << percent << "%" << std::flush;
  shown_ = true;
}

void ProgressBar::Clear() {
  if (!shown_) return;
  std::cerr << "\r" << std::string(48, ' ') << "\r" << std::flush;
  shown_ = false;
}

int IntChoice(std::string_view text, std::string_view option, std::initializer_list<int> allowed) {
  const int value = IntOrZero(text);
  if (std::find(allowed.begin(), allowed.end(), value) == allowed.end())
    throw UsageError(std::string(option) + ": not an allowed value: " + std::string(text));
  return value;
}

void RequireProject(const Context& c) {
  if (!c.g.ProjectOpen()) {
    std::cerr << "no project is open (use: project new NAME, or project open PATH)\n";
    throw Failed();
  }
}

}  // namespace panelcraft::cli
