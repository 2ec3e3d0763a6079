// A read-only stream over an RT_RCDATA resource of a module (Windows only). The bytes
// stay in the module's image; nothing is copied.
#pragma once
#include <string>

#include "framework/Streams.h"

class TResourceStream : public TCustomMemoryStream {
 public:
  // module: an HMODULE, or nullptr for the running executable. The name is looked up
  // ignoring case; a missing one raises EResNotFound.
  TResourceStream(void* module, const std::string& name);
};
