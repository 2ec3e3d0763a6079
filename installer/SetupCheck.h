// The rules an authored setup record keeps so that it installs as its publisher meant:
// names Windows accepts as files, folders, links and registry keys, and tables whose rows
// point where they should. The product builder refuses a manifest that breaks one; the
// inspect command reports them in a record it reads.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "installer/SetupConfig.h"

// Why a text cannot be one component of a Windows path (a file, folder or link name, or a
// registry key name): empty, control characters, \ / : * ? " < > |, a trailing dot or
// space, a device name such as CON or LPT1. Empty when it can. GBK-aware.
std::string NameComponentProblem(std::string_view name);
// Why a file-table name does not install as one file inside the target folder: the
// installer's own rule for safe relative names, then every component as above.
std::string FileNameProblem(std::string_view name);
// Why a text cannot be a registry key path below "Software\": empty, an empty component,
// control characters.
std::string KeyPathProblem(std::string_view path);
// Why a text is no calendar date YYYYMMDD.
std::string DateProblem(std::string_view date);
// Why a compressed resource is not exactly one zlib stream that ends at the end of the
// resource, yields the declared size and passes its own check value. Empty when it is.
std::string ResourceStreamProblem(std::span<const uint8_t> resource);

struct RecordProblem {
  std::string field;  // in the record's own names: "ProductName", "Files[2].Name"
  std::string what;
};

// The three resources as a checking tool sees them: each compressed stream whole and
// sound (ResourceStreamProblem), a record of exactly kSetupConfigSize bytes, no resource
// empty. Fields "SETUPINI", "SETUPPACK", "Protocol".
std::vector<RecordProblem> CheckResources(std::span<const uint8_t> ini, std::span<const uint8_t> pack,
                                          std::span<const uint8_t> licence);

// Every rule above applied to a record, plus counts outside 0..256, length bytes above a
// slot's capacity, shortcuts to rows not in use, file rows outside the pack and names
// used twice (letter case aside).
std::vector<RecordProblem> CheckSetupRecord(const SetupConfig& config, uint64_t packSize);
