// Small file-system services shared by both targets. Paths are GBK text (host paths are
// used as given).
#pragma once
#include <string>

// True when path names an existing file (not a folder).
bool FileExists(const std::string& path);
// True when path names an existing folder.
bool FolderExists(const std::string& path);
// Deletes a file; false when it could not be deleted.
bool RemoveFile(const std::string& path);
// The user's temporary folder, always ending in the path separator.
std::string TempFolder();
// The running executable's folder, the Windows folder and the system folder, each ending in
// the path separator. The host has no Windows or system folder: those answer empty.
std::string ExeFolder();
std::string WindowsFolder();
std::string SystemFolder();
// A newly created GUID in its braced text form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
std::string NewGuidText();
