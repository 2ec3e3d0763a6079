// The registry accessor (Windows only): one root key, an access mask for the keys it
// opens, at most one open key at a time. Texts are GBK; the W functions are called.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/Handles.h"

// An opened HKEY; the predefined root keys are never held by one.
namespace handle_traits {
struct RegKey {
  using Type = HKEY;
  static HKEY Invalid() { return nullptr; }
  static bool Valid(HKEY k) { return k != nullptr; }
  static void Close(HKEY k) { RegCloseKey(k); }
};
}  // namespace handle_traits
using UniqueHKey = UniqueAny<handle_traits::RegKey>;

class TRegistry {
 public:
  explicit TRegistry(REGSAM access = KEY_ALL_ACCESS) : access_(access) {}
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  HKEY RootKey() const { return root_; }
  // Changing the root closes the open key.
  void SetRootKey(HKEY root);
  REGSAM Access() const { return access_; }
  void SetAccess(REGSAM access) { access_ = access; }
  HKEY CurrentKey() const { return current_.get(); }

  // Opens path below the root key (a leading backslash is allowed) with Access(); with
  // canCreate the key and every missing level is created. Any key open before is closed.
  // False when the key cannot be opened.
  bool OpenKey(const std::string& path, bool canCreate);
  void CloseKey() { current_.reset(); }

  // A REG_DWORD value. Missing: "Failed to get data for '%s'"; another type: "Invalid
  // data type for '%s'" (ERegistryException).
  int32_t ReadInteger(const std::string& name);
  bool ReadBool(const std::string& name) { return ReadInteger(name) != 0; }
  // A REG_SZ or REG_EXPAND_SZ value; missing (or no open key) reads as empty; another
  // type: "Invalid data type for '%s'". The empty name is the key's default value.
  std::string ReadString(const std::string& name);
  bool ValueExists(const std::string& name);

  // REG_SZ and REG_DWORD. Failure (also with no open key): "Failed to set data for '%s'".
  void WriteString(const std::string& name, const std::string& value);
  void WriteInteger(const std::string& name, int32_t value);

 private:
  HKEY root_ = HKEY_CURRENT_USER;
  REGSAM access_;
  UniqueHKey current_;
};
