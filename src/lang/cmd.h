// Tcmd: the statement catalogue, the statement parser and (built on them, in
// interpreter.cpp) the statement interpreter of the virtual display.
//
// Files:
//   catalogue.cpp  the catalogue: the 55 statements with their box kinds,
//                  syntax lines, default statements, parameters, remarks and
//                  palette categories;
//   parser.cpp     splitting statement lists, statement names and reading the
//                  arguments of CurrentStatement from ReadPos;
//   interpreter.cpp (statement execution) RunStatement and the state of the
//                  virtual display; see "Statement execution" below.
//
// Every text is GBK bytes; the parser works on bytes and never fails: a
// malformed statement simply yields other values (0 or empty text).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/gd.h"
#include "store/hash_table.h"

namespace panelcraft {

// Hands each statement of a statement list to `run`, in order, without its
// ";". Blanks and control bytes outside single quotes are dropped, empty
// statements are skipped, a ";" inside quotes does not end a statement
// ("\" before a quote keeps it from closing the quotes), and the text after
// the last ";" is never handed on.
void SplitStatementList(std::string_view text, const std::function<void(const std::string&)>& run);

// The name of a statement: "Qn", "Sn" or "DRn" for Q, S or DR followed by a
// digit; else the bytes before the first "(", else before the first ";",
// else the whole text. Case-sensitive.
std::string StatementName(std::string_view statement);

// True for the statements that open a statement group: "SXY", "W8UE", "CEUE".
bool IsGroupOpener(std::string_view name);

// One parameter of a catalogue entry, from a line of its parameter list.
struct CatalogueParameter {
  std::string Name;
  std::string Kind;  // "X", "Y", "int", "str", "c", "pic", "color" or "asc"
  std::string Description;
};

class Tcmd {
 public:
  static constexpr int CategorySlots = 20;
  static constexpr int CaptionedCategories = 10;
  static constexpr int MaxTextBytes = 103;  // longest text argument
  static constexpr int MaxNumberDigits = 5;

  // Builds the catalogue.
  Tcmd();
  Tcmd(const Tcmd&) = delete;
  Tcmd& operator=(const Tcmd&) = delete;

  // ---- Catalogue (catalogue.cpp) -------------------------------------------

  // Empties the categories, gives slots 0..9 their captions, adds the 55
  // entries in palette order and sets the origin to 0, 0.
  void BuildCatalogue();
  // Adds (or overwrites) an entry; `parameters` in the "name:kind:description"
  // form joined by "|". The item caption (syntax line up to its first ":",
  // then the name) is appended to the category, also when the name was there
  // before. Throws std::out_of_range for a category outside 0..19.
  void AddEntry(int boxKind, int category, std::string_view name, std::string_view syntax,
                std::string_view defaultStatement, std::string_view parameters, std::string_view remark);

  // Lookups by entry name ("Qn", not "Q128"); a name without an entry gives 0
  // or empty text.
  int BoxKind(std::string_view name) const;
  std::string SyntaxLine(std::string_view name) const;
  std::string DefaultStatement(std::string_view name) const;
  std::string Remark(std::string_view name) const;
  // One parameter per line, lines separated by CR LF; empty without any.
  std::string ParameterList(std::string_view name) const;
  // The parameter list split into its parameters: each line at its first two
  // ":" (the description may hold more).
  std::vector<CatalogueParameter> Parameters(std::string_view name) const;

  // The palette: slot i = 0..19, item k below the count. Out of range: empty
  // text or 0.
  std::string CategoryCaption(int i) const;
  int CategoryCount(int i) const;
  std::string CategoryItem(int i, int k) const;
  // The category whose palette lists `name`, or -1.
  int CategoryOf(std::string_view name) const;

  // ---- Parser (parser.cpp) -------------------------------------------------

  // Parser state. ReadPos counts from 1; positions outside CurrentStatement
  // read as nothing.
  std::string CurrentStatement;
  int32_t ReadPos = 1;
  std::string LastText;
  int32_t OriginX = 0;  // added to every "X" argument; set by SXY
  int32_t OriginY = 0;

  // Starts reading `statement` at `position` (the byte just after "(" is the
  // name's length + 2).
  void BeginReading(std::string_view statement, int32_t position);
  // Up to five decimal digits at ReadPos (0 when none), then one more byte
  // (the separator, whatever it is) is passed over.
  int32_t ReadNumber();
  int32_t ReadX() { return ReadNumber() + OriginX; }
  int32_t ReadY() { return ReadNumber() + OriginY; }
  // Passes over the opening quote (whatever byte it is) and reads up to 103
  // bytes into LastText: "\" takes the following byte as it is, "'" ends the
  // text and the separator after it is passed over.
  void ReadText();

  // Splits a statement list (SplitStatementList) and hands each statement,
  // in order, to Runner. Nothing runs while Runner is empty.
  void RunStatementList(std::string_view text);

  // ---- Statement execution -------------------------------------------------
  // Extension point for the interpreter: it sets Runner to its RunStatement
  // (in interpreter.cpp, e.g. in MakeInterpreter) so that RunStatementList
  // runs each statement there. The interpreter's own fields (the virtual
  // display, report fields, display size) and operations are declared below
  // this line and defined in interpreter.cpp; catalogue.cpp and parser.cpp do
  // not depend on them.
  std::function<void(const std::string& statement)> Runner;

  // The virtual display the statements draw on.
  Tgd Display;
  // Size of the display in pixels; 0 until a caller sets them. CLS clears
  // this much, and PS text without a right limit stops at the width.
  int32_t DisplayWidth = 0;
  int32_t DisplayHeight = 0;
  // The area covered by the statement run last, or -1 each when it reported
  // none.
  int32_t ReportLeft = -1, ReportTop = -1, ReportRight = -1, ReportBottom = -1;
  // Size of a designer frame, written by the designer with the report
  // fields before it rebuilds a statement from a frame.
  int32_t FrameWidth = 0, FrameHeight = 0;

  // Makes the display (palette and font header read), builds the catalogue
  // and lets RunStatementList and the display's menus run statements here.
  void MakeInterpreter();
  // Runs one statement (without its ";") on Display; afterwards the report
  // fields tell its area. Statements only a real display can carry out, and
  // names without an entry, draw nothing.
  void RunStatement(std::string_view statement);

 private:
  struct Category {
    std::string Caption;
    std::vector<std::string> Items;
  };
  std::array<Category, CategorySlots> categories_;
  THashTable entries_;  // name + "#T", "#S", "#D", "#BZ", "#P"

  // The byte at a 1-based position, or -1 outside the statement.
  int ByteAt(int32_t position) const;
};

}  // namespace panelcraft
