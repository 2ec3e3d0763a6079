// Reader of the layout text format described in Layout.h.
#include "framework/Layout.h"

#include <cstdlib>
#include <limits>

#include "framework/Text.h"

namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || IsDigit(c); }
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Parser {
 public:
  Parser(std::string_view text, TLayoutLimits limits) : s_(text), limits_(limits) {}

  bool Run(TLayoutObject& root) {
    SkipSpace();
    if (!Object(root, 0)) return false;
    SkipSpace();
    if (pos_ != s_.size()) return Fail("text after the final 'end'");
    return true;
  }
  std::string error;

 private:
  bool Fail(const std::string& what) {
    if (error.empty()) error = "Layout line " + std::to_string(line_) + ": " + what;
    return false;
  }
  bool AtEnd() const { return pos_ >= s_.size(); }
  char Peek(size_t ahead = 0) const { return pos_ + ahead < s_.size() ? s_[pos_ + ahead] : '\0'; }

  void SkipSpace() {
    while (!AtEnd()) {
      char c = s_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
        ++pos_;
      } else if (c == '/' && Peek(1) == '/') {
        while (!AtEnd() && s_[pos_] != '\n') ++pos_;
      } else {
        break;
      }
    }
  }

  // An identifier, with dots between parts when dotted is set (property paths).
  bool Identifier(std::string& out, bool dotted) {
    SkipSpace();
    if (AtEnd() || !IsIdentStart(Peek())) return Fail("identifier expected");
    size_t start = pos_;
    while (!AtEnd()) {
      if (IsIdentChar(Peek())) {
        ++pos_;
      } else if (dotted && Peek() == '.' && IsIdentStart(Peek(1))) {
        ++pos_;
      } else {
        break;
      }
    }
    out.assign(s_.substr(start, pos_ - start));
    return true;
  }

  bool PeekKeyword(std::string_view word) {
    SkipSpace();
    if (s_.size() - pos_ < word.size()) return false;
    if (!SameText(s_.substr(pos_, word.size()), word)) return false;
    return pos_ + word.size() == s_.size() || !IsIdentChar(s_[pos_ + word.size()]);
  }

  bool Expect(char c) {
    SkipSpace();
    if (Peek() != c || AtEnd()) return Fail(std::string("'") + c + "' expected");
    ++pos_;
    return true;
  }

  bool Object(TLayoutObject& obj, int depth) {
    if (depth >= limits_.maxDepth) return Fail("objects nested too deeply");
    SkipSpace();
    obj.line = line_;
    if (!PeekKeyword("object")) return Fail("'object' expected");
    pos_ += 6;
    std::string first;
    if (!Identifier(first, false)) return false;
    SkipSpace();
    if (Peek() == ':') {
      ++pos_;
      obj.name = std::move(first);
      if (!Identifier(obj.className, false)) return false;
    } else {
      obj.className = std::move(first);
    }
    for (;;) {
      SkipSpace();
      if (AtEnd()) return Fail("'end' expected before the end of the text");
      if (PeekKeyword("end")) {
        pos_ += 3;
        return true;
      }
      if (PeekKeyword("object")) {
        obj.children.emplace_back();
        if (!Object(obj.children.back(), depth + 1)) return false;
        continue;
      }
      obj.properties.emplace_back();
      if (!Property(obj.properties.back(), 0)) return false;
    }
  }

  bool Property(TLayoutProperty& prop, int listDepth) {
    prop.line = line_;
    if (!Identifier(prop.name, true)) return false;
    if (!Expect('=')) return false;
    return Value(prop.value, listDepth);
  }

  // < item Name = value ... end item ... end >
  bool CollectionValue(TLayoutValue& v, int listDepth) {
    if (listDepth >= limits_.maxListDepth) return Fail("collections nested too deeply");
    ++pos_;
    v.kind = TLayoutValue::Collection;
    for (;;) {
      SkipSpace();
      if (AtEnd()) return Fail("'>' expected");
      if (Peek() == '>') {
        ++pos_;
        return true;
      }
      if (!PeekKeyword("item")) return Fail("'item' or '>' expected");
      pos_ += 4;
      v.collection.emplace_back();
      TLayoutItem& item = v.collection.back();
      item.line = line_;
      for (;;) {
        SkipSpace();
        if (AtEnd()) return Fail("'end' expected before the end of the text");
        if (PeekKeyword("end")) {
          pos_ += 3;
          break;
        }
        item.properties.emplace_back();
        if (!Property(item.properties.back(), listDepth + 1)) return false;
      }
    }
  }

  bool Value(TLayoutValue& v, int listDepth) {
    SkipSpace();
    if (AtEnd()) return Fail("value expected");
    char c = Peek();
    if (c == '\'' || c == '#') return StringValue(v);
    if (c == '-' || c == '+' || IsDigit(c) || c == '$') return Number(v);
    if (c == '[') return SetValue(v);
    if (c == '(') return ListValue(v, listDepth);
    if (c == '{') return BinaryValue(v);
    if (c == '<') return CollectionValue(v, listDepth);
    if (IsIdentStart(c)) {
      v.kind = TLayoutValue::Ident;
      return Identifier(v.text, true);
    }
    return Fail("value expected");
  }

  // 'abc'#13#10'def', and pieces joined with + across lines.
  bool StringValue(TLayoutValue& v) {
    v.kind = TLayoutValue::String;
    for (;;) {
      SkipSpace();
      char c = Peek();
      if (AtEnd() || (c != '\'' && c != '#')) return Fail("string expected");
      while (!AtEnd() && (Peek() == '\'' || Peek() == '#')) {
        if (Peek() == '\'') {
          ++pos_;
          for (;;) {
            if (AtEnd() || Peek() == '\n') return Fail("string not closed on its line");
            char d = s_[pos_++];
            if (d == '\'') {
              if (Peek() == '\'') {
                v.text += '\'';
                ++pos_;
                continue;
              }
              break;
            }
            v.text += d;
          }
        } else {
          ++pos_;
          if (!IsDigit(Peek())) return Fail("character code expected after '#'");
          int code = 0;
          while (IsDigit(Peek())) {
            code = code * 10 + (Peek() - '0');
            if (code > 255) return Fail("character code above 255");
            ++pos_;
          }
          v.text += static_cast<char>(code);
        }
      }
      SkipSpace();
      if (Peek() == '+' && !AtEnd()) {
        ++pos_;
        continue;
      }
      return true;
    }
  }

  bool Number(TLayoutValue& v) {
    bool negative = false;
    if (Peek() == '-' || Peek() == '+') {
      negative = Peek() == '-';
      ++pos_;
    }
    if (Peek() == '$') {
      ++pos_;
      if (HexValue(Peek()) < 0 || AtEnd()) return Fail("hex digits expected after '$'");
      uint64_t value = 0;
      int digits = 0;
      while (!AtEnd() && HexValue(Peek()) >= 0) {
        if (++digits > 16) return Fail("hex number too long");
        value = value * 16 + static_cast<uint64_t>(HexValue(Peek()));
        ++pos_;
      }
      if (negative && value > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
        return Fail("number out of range");
      v.kind = TLayoutValue::Integer;
      // Up to 16 digits keep their bits ($FFFFFFFFFFFFFFFF is -1), as masks are written so.
      v.integer = static_cast<int64_t>(value);
      if (negative) v.integer = -v.integer;
      return true;
    }
    if (!IsDigit(Peek()) || AtEnd()) return Fail("digits expected");
    size_t start = pos_;
    uint64_t value = 0;
    bool overflow = false;
    while (!AtEnd() && IsDigit(Peek())) {
      uint64_t digit = static_cast<uint64_t>(Peek() - '0');
      if (value > (static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) - digit) / 10) overflow = true;
      value = value * 10 + digit;
      ++pos_;
    }
    if (Peek() == '.' && IsDigit(Peek(1))) {
      ++pos_;
      while (!AtEnd() && IsDigit(Peek())) ++pos_;
      if ((Peek() == 'e' || Peek() == 'E')) {
        size_t save = pos_++;
        if (Peek() == '-' || Peek() == '+') ++pos_;
        if (!IsDigit(Peek())) {
          pos_ = save;
        } else {
          while (!AtEnd() && IsDigit(Peek())) ++pos_;
        }
      }
      std::string digits(s_.substr(start, pos_ - start));
      v.kind = TLayoutValue::Float;
      v.number = std::strtod(digits.c_str(), nullptr);
      if (negative) v.number = -v.number;
      return true;
    }
    if (overflow) return Fail("number out of range");
    v.kind = TLayoutValue::Integer;
    v.integer = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
    return true;
  }

  bool SetValue(TLayoutValue& v) {
    ++pos_;
    v.kind = TLayoutValue::Set;
    SkipSpace();
    if (Peek() == ']' && !AtEnd()) {
      ++pos_;
      return true;
    }
    for (;;) {
      std::string item;
      if (!Identifier(item, false)) return false;
      v.items.push_back(std::move(item));
      SkipSpace();
      if (AtEnd()) return Fail("']' expected");
      if (Peek() == ',') {
        ++pos_;
        continue;
      }
      return Expect(']');
    }
  }

  bool ListValue(TLayoutValue& v, int listDepth) {
    if (listDepth >= limits_.maxListDepth) return Fail("lists nested too deeply");
    ++pos_;
    v.kind = TLayoutValue::List;
    for (;;) {
      SkipSpace();
      if (AtEnd()) return Fail("')' expected");
      if (Peek() == ')') {
        ++pos_;
        return true;
      }
      TLayoutValue item;
      if (!Value(item, listDepth + 1)) return false;
      v.list.push_back(std::move(item));
    }
  }

  bool BinaryValue(TLayoutValue& v) {
    ++pos_;
    v.kind = TLayoutValue::Binary;
    int high = -1;
    for (;;) {
      SkipSpace();
      if (AtEnd()) return Fail("'}' expected");
      char c = Peek();
      if (c == '}') {
        if (high >= 0) return Fail("odd number of hex digits");
        ++pos_;
        return true;
      }
      int h = HexValue(c);
      if (h < 0) return Fail("hex digit expected");
      ++pos_;
      if (high < 0) {
        high = h;
      } else {
        v.bytes.push_back(static_cast<uint8_t>(high * 16 + h));
        high = -1;
      }
    }
  }

  std::string_view s_;
  TLayoutLimits limits_;
  size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace

const char* TLayoutValue::KindName() const {
  switch (kind) {
    case Integer: return "integer";
    case Float: return "number";
    case String: return "string";
    case Ident: return "identifier";
    case Set: return "set";
    case List: return "list";
    case Binary: return "binary data";
    case Collection: return "collection";
  }
  return "value";
}

bool ParseLayout(std::string_view text, TLayoutObject& root, std::string& error, TLayoutLimits limits) {
  Parser parser(text, limits);
  TLayoutObject parsed;
  if (!parser.Run(parsed)) {
    error = parser.error;
    return false;
  }
  root = std::move(parsed);
  error.clear();
  return true;
}
