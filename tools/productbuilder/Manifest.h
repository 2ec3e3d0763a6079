// A product manifest (TOML, UTF-8) turned into the three resources setup.exe embeds.
// Every check runs before anything is written, so a refused manifest leaves no output.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "framework/Bytes.h"
#include "installer/SetupConfig.h"

struct BuiltProduct {
  SetupConfig config;
  std::vector<uint8_t> pack;
  std::string licence;  // GBK, CR LF line breaks
};

// Reads the manifest and every file it names. On failure returns false and fills errors
// with one message per problem, each naming the field ("shortcuts[2].file: ...").
// vars: ${NAME} in file paths is replaced by vars[NAME].
bool BuildProduct(const std::string& manifestPath, const std::map<std::string, std::string>& vars, BuiltProduct& out,
                  std::vector<std::string>& errors);
