// Splitting statement lists, statement names and argument reading, on bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/text.h"
#include "lang/cmd.h"

namespace panelcraft {
namespace {

std::vector<std::string> Split(std::string_view text) {
  std::vector<std::string> statements;
  SplitStatementList(text, [&](const std::string& s) { statements.push_back(s); });
  return statements;
}

TEST(SplitStatementList, Cases) {
  // A GBK character whose second byte is "\" (0x5C): 0x95 0x5C.
  const std::string slashTrail = "\x95\x5C";
  struct Case {
    std::string text;
    std::vector<std::string> statements;
  } cases[] = {
      {"CLS(0);BOX(0,0,10,10,1);", {"CLS(0)", "BOX(0,0,10,10,1)"}},
      {"CLS(0);BOX(0,0,10,10,1)", {"CLS(0)"}},  // text after the last ";" never runs
      {"DS16(0,0,'a;b',1);", {"DS16(0,0,'a;b',1)"}},
      {"DS16(0,0,'a b',1);", {"DS16(0,0,'a b',1)"}},
      {"BOX(0, 0,10,10,1);", {"BOX(0,0,10,10,1)"}},
      {"DS16(0,0,'it\\'s',1);", {"DS16(0,0,'it\\'s',1)"}},
      {";;CLS(0);;", {"CLS(0)"}},
      {"\r\nCLS(0);\r\n\tSBC(1);\r\n", {"CLS(0)", "SBC(1)"}},
      {"DS12(0,0,'a\r\nb',1);", {"DS12(0,0,'a\r\nb',1)"}},
      // A quote after an escaped backslash counts as escaped: the quotes stay
      // open, so the ";" does not end the statement.
      {"DS12(0,0,'a\\\\';X;',1);", {"DS12(0,0,'a\\\\';X;',1)"}},
      // Same for a quote right after a GBK character ending in 0x5C.
      {"DS12(0,0,'" + slashTrail + "';CLS(0);", {}},
      {"DS12(0,0,'" + slashTrail + "';CLS(0);';", {"DS12(0,0,'" + slashTrail + "';CLS(0);'"}},
      {"", {}},
      {"   ", {}},
      {"RQX;MSHW;Q128;", {"RQX", "MSHW", "Q128"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Split(c.text), c.statements);
  }
}

TEST(SplitStatementList, RunStatementListHandsStatementsToTheRunner) {
  Tcmd cmd;
  cmd.RunStatementList("CLS(0);");  // no runner: nothing happens
  std::vector<std::string> ran;
  cmd.Runner = [&](const std::string& s) {
    ran.push_back(s);
    if (s == "MSHW") cmd.RunStatementList("SBC(2);");  // a runner may run lists itself
  };
  cmd.RunStatementList("CLS(0); MSHW;BOX(1,1,2,2,1)");
  EXPECT_EQ(ran, (std::vector<std::string>{"CLS(0)", "MSHW", "SBC(2)"}));
}

TEST(StatementName, Cases) {
  struct Case {
    const char* text;
    const char* name;
  } cases[] = {
      {"Q128", "Qn"},
      {"S5", "Sn"},
      {"DR3", "DRn"},
      {"SXY(0,0)", "SXY"},
      {"RQX", "RQX"},
      {"Q", "Q"},
      {"cls(0)", "cls"},
      {"", ""},
      {"SBC", "SBC"},
      {"INF;", "INF"},
      {"SEBL(1;2)", "SEBL"},
      {"Qx1", "Qx1"},
      {"D1", "D1"},
      {"S", "S"},
      {"DS12(0,0,'(',1)", "DS12"},
  };
  for (const Case& c : cases) EXPECT_EQ(StatementName(c.text), c.name) << c.text;
}

TEST(StatementName, GroupOpeners) {
  for (const char* name : {"SXY", "W8UE", "CEUE"}) EXPECT_TRUE(IsGroupOpener(name)) << name;
  for (const char* name : {"sxy", "SXY(0,0)", "BOX", ""}) EXPECT_FALSE(IsGroupOpener(name)) << name;
}

// Reads the arguments of a statement from the byte after "(": "n" a number,
// "x"/"y" a coordinate, "t" a text; the results joined by "|".
std::string ReadAll(Tcmd& cmd, std::string_view statement, std::string_view plan) {
  cmd.BeginReading(statement, static_cast<int32_t>(StatementName(statement).size()) + 2);
  std::string out;
  for (const char what : plan) {
    if (!out.empty()) out += "|";
    switch (what) {
      case 'n':
        out += std::to_string(cmd.ReadNumber());
        break;
      case 'x':
        out += std::to_string(cmd.ReadX());
        break;
      case 'y':
        out += std::to_string(cmd.ReadY());
        break;
      case 't':
        cmd.ReadText();
        out += cmd.LastText;
        break;
    }
  }
  return out;
}

TEST(ReadArguments, Cases) {
  const std::string text110(110, 'a');
  struct Case {
    std::string statement;
    const char* plan;
    std::string values;
  } cases[] = {
      {"BOX(0,0,100,100,1)", "nnnnn", "0|0|100|100|1"},
      {"BOX(123456,7,8,9,1)", "nnn", "12345|0|7"},    // five digits; the sixth is passed as the separator
      {"BOX(-5,7)", "nnn", "0|5|7"},                  // the minus sign is passed as a separator
      {"BOX(,3)", "nn", "0|3"},                       // an empty argument
      {"DS16(0,0,'abc',1)", "nntnn", "0|0|abc|1|0"},  // the omitted fifth reads as 0
      {"DS16(0,0,'abc',1)", "nntnntn", "0|0|abc|1|0||0"},
      {"DS16(0,0,'it\\'s',1)", "nntn", "0|0|it's|1"},
      {"DS16(0,0,'a\\\\b',1)", "nntn", "0|0|a\\b|1"},
      {"DS16(0,0,abc,1)", "nntn", "0|0|bc,1)|0"},  // no quotes: the a is taken as the quote
      {"DS16(0,0,'" + text110 + "',1)", "nntnn", "0|0|" + std::string(103, 'a') + "|0|0"},
      {"DS16(0,0,'" + std::string(100, 'a') + "12345',7)", "nntnn",
       "0|0|" + std::string(100, 'a') + "123|45|0"},         // numbers read from inside the rest
      {"DS16(0,0,'\\", "nnt", "0|0|"},                       // an escape at the very end
      {"DS16(0,0,'\x95\x5C',1)", "nntn", "0|0|\x95',1)|0"},  // a trail byte 0x5C escapes the quote
      {"Q128", "n", "128"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statement);
    Tcmd cmd;
    if (c.statement == "Q128") {
      cmd.BeginReading(c.statement, 2);
      EXPECT_EQ(std::to_string(cmd.ReadNumber()), c.values);
      continue;
    }
    EXPECT_EQ(ReadAll(cmd, c.statement, c.plan), c.values);
  }
}

TEST(ReadArguments, PositionsAndOrigin) {
  Tcmd cmd;
  cmd.BeginReading("BOX(123456,7)", 5);
  EXPECT_EQ(cmd.ReadNumber(), 12345);
  EXPECT_EQ(cmd.ReadPos, 11);  // on the comma's follower: "6" was the separator
  // A text of 103 bytes without its closing quote leaves ReadPos inside it.
  cmd.BeginReading("T('" + std::string(110, 'b') + "')", 3);
  cmd.ReadText();
  EXPECT_EQ(cmd.LastText, std::string(103, 'b'));
  EXPECT_EQ(cmd.ReadPos, 4 + 103);
  // Coordinates add the origin, plain numbers do not.
  cmd.OriginX = 160;
  cmd.OriginY = 120;
  EXPECT_EQ(ReadAll(cmd, "BOX(0,0,10,10,1)", "xyxyn"), "160|120|170|130|1");
  // Reading before the start or far past the end yields nothing.
  cmd.BeginReading("BOX(1)", -3);
  EXPECT_EQ(cmd.ReadNumber(), 0);
  cmd.BeginReading("BOX(1)", 1000);
  cmd.ReadText();
  EXPECT_EQ(cmd.LastText, "");
}

}  // namespace
}  // namespace panelcraft
