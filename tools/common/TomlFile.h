// A TOML file read within the bounds of ToolFiles.h. Include only in units compiled with a
// UTF-8 execution character set, as toml++ requires.
#pragma once
#include <optional>
#include <string>

#include <toml++/toml.h>

#include "tools/common/ToolFiles.h"

// Reads and parses a TOML file within those bounds. On failure returns nothing and sets
// error to "PATH: reason" (with the line for a syntax error).
std::optional<toml::table> ReadTomlFile(const std::string& path, std::string& error);
