#include "framework/Text.h"

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (IsGbkLeadByte(x) && i + 1 < a.size()) {
      if (x != y || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (LowerAscii(x) != LowerAscii(y)) {
      return false;
    }
  }
  return true;
}

std::string FoldedText(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    if (IsGbkLeadByte(static_cast<unsigned char>(out[i])) && i + 1 < out.size())
      ++i;
    else
      out[i] = static_cast<char>(LowerAscii(static_cast<unsigned char>(out[i])));
  }
  return out;
}

std::string LowerText(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(LowerAscii(static_cast<unsigned char>(c)));
  return out;
}
