#include "pages/page_list.h"

#include "store/hash_table.h"

namespace panelcraft {

std::string PageNameKey(int n) { return "page" + std::to_string(n - 1); }
std::string PageContentKey(int n) { return "pgcn" + std::to_string(n - 1); }

PageList::PageList() {
  for (int n = 1; n <= PageCount; ++n) entries_[n - 1].Caption = std::to_string(n) + ":";
}

void PageList::RebuildPageList(const THashTable& store) {
  for (int n = 1; n <= PageCount; ++n) SetPage(n, store.Value(PageNameKey(n)), store.Value(PageContentKey(n)));
}

std::string PageList::PageContent(int n) const {
  return n >= 1 && n <= PageCount ? entries_[n - 1].Content : std::string();
}

std::string PageList::PageCaption(int n) const {
  return n >= 1 && n <= PageCount ? entries_[n - 1].Caption : std::string();
}

std::string PageList::PageName(int n) const {
  const std::string caption = PageCaption(n);
  const size_t colon = caption.find(':');
  return colon == std::string::npos ? std::string() : caption.substr(colon + 1);
}

void PageList::SetPage(int n, std::string_view name, std::string_view content) {
  if (n < 1 || n > PageCount) return;
  Entry& entry = entries_[n - 1];
  entry.Caption = std::to_string(n) + ":";
  entry.Caption += name;
  entry.Content.assign(content);
}

}  // namespace panelcraft
