// Stored form layouts: a text tree of components and their properties in streaming order.
//
//   object MainForm: TMainForm
//     Caption = 'Setup'#13#10'second line'     strings: GBK bytes, '' for a quote, #n bytes
//     Color = clBtnFace                         identifiers (enums, colour names, True/False)
//     Font.Style = [fsBold, fsUnderline]        sets
//     Width = 503                               integers, also $hex and negative
//     Lines.Strings = ('one' 'two')             lists of values
//     Glyph.Data = {424D3E00}                   binary as hex digits
//     Sections = <                              collections: items of properties, in order
//       item
//         Width = 12
//       end>
//     OnClick = NextBtClick                     handlers are identifiers too
//     object Sheet0: TTabSheet                  nested components; the name may be left out
//     end
//   end
//
// Comments run from // to the end of the line. The reader never throws: malformed text
// gives false and a message naming the line.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TLayoutItem;

struct TLayoutValue {
  enum Kind { Integer, Float, String, Ident, Set, List, Binary, Collection };
  Kind kind = Integer;
  int64_t integer = 0;
  double number = 0;
  std::string text;                 // String: GBK bytes; Ident: the identifier
  std::vector<std::string> items;   // Set: identifiers
  std::vector<TLayoutValue> list;   // List
  std::vector<uint8_t> bytes;       // Binary
  std::vector<TLayoutItem> collection;  // Collection

  const char* KindName() const;
};

struct TLayoutProperty {
  std::string name;
  TLayoutValue value;
  int line = 0;
};

// One item of a collection value.
struct TLayoutItem {
  std::vector<TLayoutProperty> properties;  // in streaming order
  int line = 0;
};

struct TLayoutObject {
  std::string name;        // may be empty
  std::string className;
  std::vector<TLayoutProperty> properties;  // in streaming order
  std::vector<TLayoutObject> children;
  int line = 0;
};

struct TLayoutLimits {
  int maxDepth = 64;       // nested objects
  int maxListDepth = 16;   // nested lists and collections
};

// Reads one top-level object; only white space and comments may follow it.
bool ParseLayout(std::string_view text, TLayoutObject& root, std::string& error, TLayoutLimits limits = {});
