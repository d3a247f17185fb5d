// PageList: the in-memory copy of the project's 128 pages (the console's page
// list). The simulator runs a page's statements from here and the page picker
// lists the captions. It is refilled from the project store whenever the
// workspace is loaded and whenever the console is shown, and kept up to date
// by every path that stores a page.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace panelcraft {

class THashTable;

// Page n (1..128) lives in the store under "page" + (n - 1) (its name) and
// "pgcn" + (n - 1) (its statements, line breaks included).
std::string PageNameKey(int n);
std::string PageContentKey(int n);

class PageList {
 public:
  static constexpr int PageCount = 128;

  struct Entry {
    std::string Caption;  // n + ":" + name
    std::string Content;  // the statements as stored, line breaks included
  };

  PageList();

  // Refills all 128 entries from the store; missing keys read as empty.
  void RebuildPageList(const THashTable& store);

  // Page n = 1..128; anything else gives empty text.
  std::string PageContent(int n) const;
  std::string PageCaption(int n) const;
  // The name part of a caption: the text after its first ":".
  std::string PageName(int n) const;

  // Sets page n's entry (1..128; others are ignored).
  void SetPage(int n, std::string_view name, std::string_view content);

 private:
  std::array<Entry, PageCount> entries_;
};

}  // namespace panelcraft
