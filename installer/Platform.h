// The operating-system services that the installer's decisions use. The start-up
// sequence, the folder checks, the navigation rules and the installation run are written
// against this interface: Win32Platform runs them for real, FakePlatform in memory.
// Paths and texts are GBK.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "framework/Bytes.h"
#include "framework/Streams.h"

// Registry hives the installer touches.
enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine };

// Access masks as the registry takes them.
inline constexpr uint32_t kKeyQueryValue = 0x0001;
inline constexpr uint32_t kKeySetValue = 0x0002;
inline constexpr uint32_t kGenericRead = 0x80000000u;
inline constexpr uint32_t kReadAndSetValues = kGenericRead | kKeySetValue;      // 0x80000002
inline constexpr uint32_t kReadAndQueryValues = kGenericRead | kKeyQueryValue;  // 0x80000001

// A registry accessor on one hive, with at most one open key: the operations of the
// framework's TRegistry. Key paths are taken from the root of the hive (a leading
// backslash is allowed). Errors are ERegistryException.
class RegistryAccess {
 public:
  virtual ~RegistryAccess() = default;
  // Opens (canCreate: creates when missing) the key with the accessor's access mask,
  // closing any key open before. False when it cannot be opened; nothing is raised.
  virtual bool OpenKey(const std::string& path, bool canCreate) = 0;
  // A REG_DWORD value, non-zero meaning true. Missing, or of another type: an error.
  virtual bool ReadBool(const std::string& name) = 0;
  // A REG_SZ (or REG_EXPAND_SZ) value; missing reads as empty; another type: an error.
  // The empty name reads the key's default value.
  virtual std::string ReadString(const std::string& name) = 0;
  // REG_SZ and REG_DWORD. Any failure, including no open key, raises
  // "Failed to set data for '<name>'".
  virtual void WriteString(const std::string& name, const std::string& value) = 0;
  virtual void WriteInteger(const std::string& name, int32_t value) = 0;
  virtual void CloseKey() = 0;
  // Deletes a value of the open key; false when it is missing or cannot be deleted.
  virtual bool DeleteValue(const std::string& name) = 0;
  // Deletes the key at path (from the root) when it holds neither values nor subkeys;
  // false when it is missing, not empty or cannot be deleted. Closes the open key.
  virtual bool DeleteKeyIfEmpty(const std::string& path) = 0;
};

// What a shortcut (.lnk) file stores, and where it goes.
struct ShellLinkData {
  std::string target;
  std::string arguments;
  std::string iconPath;
  int iconIndex = 0;
  std::string workingDirectory;
  std::string fileName;  // the .lnk file's full path
};

struct ProcessEntry {
  uint32_t id = 0;
  std::string exeName;  // the executable-name field of the process list, as listed
};

// Drive types as the system reports them.
inline constexpr int kDriveRemovable = 2;
inline constexpr int kDriveFixed = 3;

// Connection flags.
inline constexpr uint32_t kConnectionModem = 1;
inline constexpr uint32_t kConnectionLan = 2;
inline constexpr uint32_t kConnectionProxy = 4;

// Show commands.
inline constexpr int kShowNormal = 1;
inline constexpr int kShow = 5;

class Platform {
 public:
  virtual ~Platform() = default;

  // --- module resources ---
  // An RT_RCDATA resource of the running executable by name (ignoring case). The bytes
  // live as long as the process. Missing: EResNotFound.
  virtual std::span<const uint8_t> Resource(const std::string& name) = 0;
  // Full path of the running executable.
  virtual std::string ExePath() = 0;

  // --- files and folders ---
  virtual bool FileExists(const std::string& path) = 0;
  // Attributes can be read and include the directory flag.
  virtual bool DirectoryExists(const std::string& path) = 0;
  // Deletes a file; false when it could not be deleted. Shows nothing.
  virtual bool RemoveFile(const std::string& path) = 0;
  // Creates one folder level; false on failure.
  virtual bool MakeDir(const std::string& path) = 0;
  // Removes an empty folder; false when it is not empty or cannot be removed.
  virtual bool RemoveDir(const std::string& path) = 0;
  // Names of the files and folders directly inside a folder (no "." or ".."); empty when
  // it cannot be read.
  virtual std::vector<std::string> ListDir(const std::string& path) = 0;
  // Makes path the current folder; 0 on success, else the system's error code.
  virtual unsigned long ChangeDir(const std::string& path) = 0;
  // Creates (or truncates) the file exclusively and writes all of data with one write.
  // Creation failure: EFCreateError; a short write: EWriteError.
  virtual void WriteNewFile(const std::string& path, std::span<const uint8_t> data) = 0;
  // The same creation, for writing piece by piece through the stream (WriteBuffer raises
  // EWriteError on a short write); the file is closed when the stream is destroyed.
  virtual std::unique_ptr<TStream> CreateNewFile(const std::string& path) = 0;
  // Reads a whole file. Failure to open: EFOpenError.
  virtual Bytes ReadWholeFile(const std::string& path) = 0;

  // --- drives ---
  // The list of logical drive roots as the system returns it: entries such as "C:\"
  // each ended by a NUL (the final extra NUL is not included).
  virtual std::string LogicalDriveStrings() = 0;
  // The drive type of a root such as "E:\" (kDriveRemovable, ...).
  virtual int DriveType(const std::string& root) = 0;

  // --- registry ---
  // A new accessor on root requesting access for the keys it opens.
  virtual std::unique_ptr<RegistryAccess> Registry(RegRoot root, uint32_t access) = 0;

  // --- shortcut files ---
  // COM for the calling thread: true when initialisation succeeded (S_OK or S_FALSE),
  // and only then must ComUninitialize balance it.
  virtual bool ComInitialize() = 0;
  virtual void ComUninitialize() = 0;
  // Writes a shortcut file through the shell-link object, overwriting one of that name.
  // The object cannot be created: an Exception. The setters' and the save's results are
  // not examined.
  virtual void SaveShellLink(const ShellLinkData& link) = 0;

  // --- processes ---
  virtual std::vector<ProcessEntry> Processes() = 0;
  // Opens the process with terminate rights and ends it; false when it could not.
  virtual bool EndProcess(uint32_t id, uint32_t exitCode) = 0;

  // --- network and shell ---
  // The connection state: true when connected, flags set to the kConnection* bits.
  virtual bool ConnectedState(uint32_t& flags) = 0;
  // Starts file through the shell (verb empty: the default action). Result not examined.
  virtual void ShellOpen(const std::string& verb, const std::string& file, const std::string& parameters,
                         int showCommand) = 0;

  // --- dialogs ---
  // The plain message box: OK button, the application title as caption.
  virtual void ShowMessage(const std::string& text) = 0;
  // The standard confirmation: caption "Confirm", question icon, Yes and No. True for Yes.
  virtual bool Confirm(const std::string& text) = 0;
  // The modal folder picker rooted at a special folder (CSIDL), file-system folders only.
  // The chosen path, or empty.
  virtual std::string PickFolder(int rootCsidl, const std::string& title) = 0;
};
