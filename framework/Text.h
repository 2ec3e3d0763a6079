// Text conversion at the edges of the system. Inside, text is GBK (code page 936) bytes.
#pragma once
#include <string>
#include <string_view>

// A GBK lead byte; the byte after one belongs to the same character.
constexpr bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Name comparison without regard to letter case: ASCII letters fold, the bytes of a GBK
// double-byte character compare exactly (a trail byte may look like an ASCII letter).
bool SameText(std::string_view a, std::string_view b);
// ASCII letters lowered; other bytes as they are. Keys for case-blind lookups.
constexpr int LowerAscii(int c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }
std::string LowerText(std::string_view s);
// The key under which SameText compares: ASCII letters lowered except where they are the
// trail byte of a GBK character. SameText(a, b) exactly when the keys are equal.
std::string FoldedText(std::string_view s);

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
