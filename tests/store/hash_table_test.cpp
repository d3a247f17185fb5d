#include "store/hash_table.h"

#include <gtest/gtest.h>

#include "app/files.h"
#include "support/temp_dir.h"

namespace panelcraft {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(THashTable, PutReplacesInPlaceAndKeysAreExact) {
  THashTable t;
  t.Put("a", "1");
  t.Put("b", "2");
  t.Put("a", "3");
  t.Put("BTL", "6");
  t.Put("btl", "2");
  EXPECT_EQ(t.Keys, (std::vector<std::string>{"a", "b", "BTL", "btl"}));
  EXPECT_EQ(t.Get("a"), "3");
  EXPECT_EQ(t.GetInt("BTL"), 6);
  EXPECT_EQ(t.GetInt("btl"), 2);
  EXPECT_EQ(t.Get("missing"), "");
  EXPECT_EQ(t.FoundIndex, -1);
  EXPECT_EQ(t.GetInt("missing"), 0);
}

TEST(THashTable, EscapesLineBreaksAndReadsTheEscapeTextsBack) {
  THashTable t;
  t.Put("two", "CLS(0);\r\nBOX(1,1,2,2,1);");
  EXPECT_EQ(t.Values[0], "CLS(0);#~@A#~@BBOX(1,1,2,2,1);");
  EXPECT_EQ(t.Get("two"), "CLS(0);\r\nBOX(1,1,2,2,1);");
  t.Put("literal", "x#~@By");
  EXPECT_EQ(t.Get("literal"), "x\ny");
  t.Put("n", "0x10");
  EXPECT_EQ(t.GetInt("n"), 16);
  t.Put("n", "12a");
  EXPECT_EQ(t.GetInt("n"), 0);
  t.Put("n", "2147483648");
  EXPECT_EQ(t.GetInt("n"), 0);
  t.Put("n", " 16");
  EXPECT_EQ(t.GetInt("n"), 16);
}

TEST(THashTable, SavesTheExactFileFormatAndLoadsItBack) {
  TempDir dir;
  THashTable t;
  t.Folder = dir.path();
  t.Put("PrjName", "\xB2\xE2\xCA\xD4");  // GBK passes through unchanged
  t.Put("empty", "");
  t.Put("pgcn0", "A;\r\nB;");
  t.SaveTo("prj.ini");
  EXPECT_EQ(ReadFile(dir / "prj.ini.key"), "PrjName\r\nempty\r\npgcn0\r\n");
  EXPECT_EQ(ReadFile(dir / "prj.ini.val"), "\xB2\xE2\xCA\xD4\r\n\r\nA;#~@A#~@BB;\r\n");

  THashTable u;
  u.Folder = dir.path();
  u.Put("stale", "x");
  u.LoadFrom("prj.ini");
  EXPECT_EQ(u.Keys, t.Keys);
  for (const auto& key : t.Keys) EXPECT_EQ(u.Get(key), t.Get(key));
}

TEST(THashTable, ReadsAnyLineEndAndUnevenFiles) {
  TempDir dir;
  WriteFile(dir / "s.key", "a\nb\rc\r\nd");
  WriteFile(dir / "s.val", "1\n2\r3");
  THashTable t;
  t.Folder = dir.path();
  t.LoadFrom("s");
  EXPECT_EQ(t.Keys, (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(t.Get("c"), "3");
  EXPECT_EQ(t.Get("d"), "");  // a value file shorter than the key file

  // The first of two equal keys (a hand-edited file) is the one used.
  WriteFile(dir / "s.key", "k\r\nk\r\n");
  WriteFile(dir / "s.val", "first\r\nsecond\r\nsurplus\r\n");
  t.LoadFrom("s");
  EXPECT_EQ(t.Count(), 2u);
  EXPECT_EQ(t.Get("k"), "first");
  t.Put("k", "new");
  EXPECT_EQ(t.Values, (std::vector<std::string>{"new", "second"}));
}

TEST(THashTable, EmptyStoreRoundTripsAndMissingFilesFailWithoutChange) {
  TempDir dir;
  THashTable t;
  t.Folder = dir.path();
  t.SaveTo("e");
  EXPECT_EQ(ReadFile(dir / "e.key"), "");
  EXPECT_EQ(ReadFile(dir / "e.val"), "");
  t.Put("x", "1");
  t.LoadFrom("e");
  EXPECT_EQ(t.Count(), 0u);

  t.Put("kept", "1");
  EXPECT_THROW(t.LoadFrom("absent"), FileError);
  EXPECT_EQ(t.Get("kept"), "1");
}

}  // namespace
}  // namespace panelcraft
