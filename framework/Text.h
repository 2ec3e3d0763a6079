// Text conversion at the edges of the system. Inside, text is GBK (code page 936) bytes.
#pragma once
#include <string>
#include <string_view>

// UTF-8 to GBK. False when a character has no GBK form or the input is not valid UTF-8.
bool Utf8ToGbk(std::string_view utf8, std::string& gbk);
// GBK to UTF-8 (for printing on a host terminal). Invalid bytes become U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

#ifdef _WIN32
// GBK to UTF-16 for the W functions, and back. Converted with code page 936 whatever
// the process's ANSI code page is.
std::wstring GbkToWide(std::string_view gbk);
std::string WideToGbk(std::wstring_view wide);
// The system's message text for an error code (GBK), without a trailing line break.
std::string SystemErrorText(unsigned long code);
#endif
