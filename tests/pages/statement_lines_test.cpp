#include "pages/statement_lines.h"

#include <gtest/gtest.h>

#include "app/text.h"

namespace panelcraft {
namespace {

TEST(FormatStatementLines, Cases) {
  struct Case {
    std::string text;
    std::string lines;
  } cases[] = {
      {"BOX(0, 0,9,9,1); DS12(0,0,'a; b',1);", "BOX(0,0,9,9,1);\r\nDS12(0,0,'a; b',1);\r\n"},
      {"CLS(0);\r\n\r\nSBC(1)", "CLS(0);\r\nSBC(1)"},
      // An escaped quote keeps the quotes open, so the ";" after it stays.
      {"DS12(0,0,'it\\'s; ok',1);CLS(0);", "DS12(0,0,'it\\'s; ok',1);\r\nCLS(0);\r\n"},
      // "\\" escapes itself: the next quote closes.
      {"DS12(0,0,'a\\\\';b',1);", "DS12(0,0,'a\\\\';\r\nb',1);"},
      // A GBK trail byte equal to "\" escapes the quote after it.
      {"DS12(0,0,'\x95\x5C';CLS(0);", "DS12(0,0,'\x95\x5C';CLS(0);"},
      // Line breaks inside quotes go too: the page slot has none.
      {"DS12(0,0,'a\r\nb',1);", "DS12(0,0,'ab',1);\r\n"},
      {";;", ";\r\n;\r\n"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatStatementLines(c.text), c.lines);
  }
  // A formatted text formats to itself.
  const std::string once = FormatStatementLines(Gbk("DS16(0,0,'中 文;',1); BOX(1,2,3,4,5);"));
  EXPECT_EQ(FormatStatementLines(once), once);
}

}  // namespace
}  // namespace panelcraft
