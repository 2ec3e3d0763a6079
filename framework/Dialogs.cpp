// Portable part of the dialogs: the error box's text.
#include "framework/Dialogs.h"

namespace {
// True when the GBK text's last character is the two-byte ideographic full stop A1 A3.
// Walks from the start because a trail byte can look like a lead byte.
bool EndsInIdeographicStop(std::string_view text) {
  size_t i = 0;
  size_t last = std::string_view::npos;
  while (i < text.size()) {
    last = i;
    auto b = static_cast<unsigned char>(text[i]);
    i += (b >= 0x81 && b <= 0xFE && i + 1 < text.size()) ? 2 : 1;
  }
  return last != std::string_view::npos && text.size() - last == 2 &&
         static_cast<unsigned char>(text[last]) == 0xA1 && static_cast<unsigned char>(text[last + 1]) == 0xA3;
}
}  // namespace

std::string ErrorBoxText(std::string_view text) {
  std::string out(text);
  if (out.empty() || out.back() == '.' || EndsInIdeographicStop(out)) return out;
  out += '.';
  return out;
}
