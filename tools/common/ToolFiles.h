// File input and output shared by the authoring tools: inputs are checked for kind and
// size before a byte is read, outputs appear all at once or not at all, and TOML files are
// bounded before the parser (which recurses once per nesting level) sees them.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Reads a regular file of at most maxBytes. Anything else (missing, a folder, a device, a
// FIFO, a socket, too large, a short read) leaves data empty and returns why, naming the
// path; an empty result means success.
std::string ReadInputFile(const std::string& path, uint64_t maxBytes, std::string& data);

// Writes each (name, bytes) into dir under name + ".tmp" and renames them into place only
// when all are complete. Refuses before writing when an output name is taken by a folder
// or another non-file. On failure no temporary file remains and the result names the file
// and the system's reason; empty on success. dir is created when missing.
std::string WriteFilesAtomically(const std::string& dir,
                                 const std::vector<std::pair<std::string, std::string>>& files);

// Manifests and values files are small; these bounds keep the parser's recursion shallow.
constexpr uint64_t kMaxTomlBytes = 4u << 20;
constexpr int kMaxTomlNesting = 64;

// Why TOML text nests deeper than maxNesting (dotted keys, table headers, arrays and
// inline tables all count); empty when it does not.
std::string TomlNestingProblem(std::string_view text, int maxNesting = kMaxTomlNesting);
