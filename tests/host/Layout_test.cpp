#include <gtest/gtest.h>

#include "framework/Layout.h"

namespace {

TEST(Layout, ReadsEveryKindOfValueInOrder) {
  const char* text =
      "object MainForm: TMainForm\n"
      "  Left = -12\n"
      "  Color = $00FF00FF // fuchsia\n"
      "  Caption = 'It''s '#13#10'两行' +\n"
      "    ' more'\n"
      "  Font.Style = [fsBold, fsUnderline]\n"
      "  Empty = []\n"
      "  Visible = False\n"
      "  Scale = 1.5\n"
      "  Lines.Strings = (\n"
      "    'a'\n"
      "    'b')\n"
      "  Glyph.Data = {424D 0a}\n"
      "  object Sheet0: TTabSheet\n"
      "    object TLabel\n"
      "    end\n"
      "  end\n"
      "end\n";
  TLayoutObject root;
  std::string error;
  ASSERT_TRUE(ParseLayout(text, root, error)) << error;
  EXPECT_EQ(root.name, "MainForm");
  EXPECT_EQ(root.className, "TMainForm");
  ASSERT_EQ(root.properties.size(), 9u);
  const auto& p = root.properties;
  EXPECT_EQ(p[0].name, "Left");
  EXPECT_EQ(p[0].value.integer, -12);
  EXPECT_EQ(p[1].value.integer, 0xFF00FF);
  EXPECT_EQ(p[1].line, 3);
  EXPECT_EQ(p[2].value.kind, TLayoutValue::String);
  EXPECT_EQ(p[2].value.text, "It's \r\n两行 more");
  EXPECT_EQ(p[3].name, "Font.Style");
  EXPECT_EQ(p[3].value.items, (std::vector<std::string>{"fsBold", "fsUnderline"}));
  EXPECT_TRUE(p[4].value.items.empty());
  EXPECT_EQ(p[5].value.kind, TLayoutValue::Ident);
  EXPECT_EQ(p[5].value.text, "False");
  EXPECT_EQ(p[6].value.kind, TLayoutValue::Float);
  EXPECT_DOUBLE_EQ(p[6].value.number, 1.5);
  ASSERT_EQ(p[7].value.list.size(), 2u);
  EXPECT_EQ(p[7].value.list[1].text, "b");
  EXPECT_EQ(p[8].value.bytes, (std::vector<uint8_t>{0x42, 0x4D, 0x0A}));
  ASSERT_EQ(root.children.size(), 1u);
  EXPECT_EQ(root.children[0].name, "Sheet0");
  ASSERT_EQ(root.children[0].children.size(), 1u);
  EXPECT_EQ(root.children[0].children[0].name, "");
  EXPECT_EQ(root.children[0].children[0].className, "TLabel");
}

TEST(Layout, MalformedTextIsRejectedWithTheLine) {
  struct Row {
    const char* what;
    const char* text;
    const char* message;  // part of the error
  } rows[] = {
      {"empty text", "", "line 1: 'object' expected"},
      {"no end", "object A: TForm\n  Left = 1\n", "'end' expected"},
      {"missing value", "object A: TForm\n  Left =\n", "line 3: value expected"},
      {"missing equals", "object A: TForm\n  Left 1\nend", "line 2: '=' expected"},
      {"open string", "object A: TForm\n  Caption = 'abc\nend", "line 2: string not closed"},
      {"char code too big", "object A: TForm\n  Caption = #256\nend", "above 255"},
      {"bare hash", "object A: TForm\n  Caption = #x\nend", "character code expected"},
      {"odd hex", "object A: TForm\n  Data = {ABC}\nend", "odd number"},
      {"bad hex", "object A: TForm\n  Data = {AZ}\nend", "hex digit expected"},
      {"open binary", "object A: TForm\n  Data = {AB", "'}' expected"},
      {"open set", "object A: TForm\n  S = [a, b\nend", "']' expected"},
      {"set of numbers", "object A: TForm\n  S = [1]\nend", "identifier expected"},
      {"open list", "object A: TForm\n  L = ('a'", "')' expected"},
      {"overflow", "object A: TForm\n  N = 99999999999999999999\nend", "out of range"},
      {"hex overflow", "object A: TForm\n  N = $11112222333344445\nend", "too long"},
      {"negative hex overflow", "object A: TForm\n  N = -$8000000000000000\nend", "out of range"},
      {"lone dollar", "object A: TForm\n  N = $\nend", "hex digits expected"},
      {"lone minus", "object A: TForm\n  N = -\nend", "digits expected"},
      {"trailing text", "object A: TForm\nend\nend", "text after"},
      {"no class", "object A:\n", "identifier expected"},
      {"plus without string", "object A: TForm\n  C = 'a' + 1\nend", "string expected"},
      {"stray symbol", "object A: TForm\n  C = ;\nend", "value expected"},
  };
  for (const Row& row : rows) {
    TLayoutObject root;
    root.name = "untouched";
    std::string error;
    EXPECT_FALSE(ParseLayout(row.text, root, error)) << row.what;
    EXPECT_NE(error.find(row.message), std::string::npos) << row.what << ": " << error;
    EXPECT_EQ(root.name, "untouched") << row.what;
  }
}

TEST(Layout, NestingIsBounded) {
  std::string deep;
  for (int i = 0; i < 100; ++i) deep += "object A: T\n";
  for (int i = 0; i < 100; ++i) deep += "end\n";
  TLayoutObject root;
  std::string error;
  EXPECT_FALSE(ParseLayout(deep, root, error));
  EXPECT_NE(error.find("nested too deeply"), std::string::npos);

  std::string lists = "object A: T\n  L = " + std::string(100, '(') + std::string(100, ')') + "\nend";
  EXPECT_FALSE(ParseLayout(lists, root, error));
  EXPECT_NE(error.find("lists nested too deeply"), std::string::npos);

  std::string shallow;
  for (int i = 0; i < 10; ++i) shallow += "object A: T\n";
  for (int i = 0; i < 10; ++i) shallow += "end\n";
  EXPECT_TRUE(ParseLayout(shallow, root, error)) << error;
}

}  // namespace
