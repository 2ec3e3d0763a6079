#include <iconv.h>

#include <cerrno>

#include "framework/Text.h"

namespace {

// Converts with iconv; returns false on any character that cannot be converted.
bool Convert(const char* to, const char* from, std::string_view in, std::string& out, bool lenient) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out.clear();
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  char buf[4096];
  bool ok = true;
  while (left > 0) {
    char* dst = buf;
    size_t room = sizeof buf;
    size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buf, static_cast<size_t>(dst - buf));
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      if (!lenient) { ok = false; break; }
      out += "\xEF\xBF\xBD";
      ++src;
      --left;
    } else if (r > 0 && !lenient) {
      ok = false;  // irreversible (approximated) conversions count as failures
      break;
    }
  }
  iconv_close(cd);
  return ok;
}

}  // namespace

bool Utf8ToGbk(std::string_view utf8, std::string& gbk) { return Convert("GBK", "UTF-8", utf8, gbk, false); }

std::string GbkToUtf8(std::string_view gbk) {
  std::string out;
  Convert("UTF-8", "GBK", gbk, out, true);
  return out;
}
