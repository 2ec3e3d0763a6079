// Shell integration helpers: path display and search, the user's shell folders, shortcut
// files and folder creation. Stateless; where they touch the system they take the
// Platform. Paths are GBK: searches for a backslash never stop inside a double-byte
// character whose second byte happens to be 0x5C.
#pragma once
#include <string>
#include <string_view>

#include "framework/Text.h"
#include "installer/Platform.h"

inline constexpr const char* kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// 1-based position of the last occurrence of needle in haystack, 0 if none. Only
// occurrences that start and end on character boundaries count.
int LastPos(std::string_view needle, std::string_view haystack);

// 0-based index of the first backslash that is a character of its own, or npos.
size_t FirstBackslash(std::string_view path);

// The folder part of a path, up to and including its last backslash ("" when none).
std::string FolderPart(std::string_view path);

// The text to show for path: path itself when it fits in width bytes, else its first three
// bytes, "...\" and at most 40 bytes that follow its last backslash.
std::string ShortenPath(const std::string& path, int width);

// The current user's shell folders from the registry; empty when not named. A value of
// another type raises the registry's read error.
std::string GetDesktopDir(Platform& platform);
std::string GetProgramsDir(Platform& platform);

// Writes folder\caption.lnk pointing at target with arguments, the target's first icon and
// the target's folder as working directory. COM is initialised around it; when that fails,
// nothing happens.
void CreateShellLink(Platform& platform, const std::string& target, const std::string& caption,
                     const std::string& folder, const std::string& arguments);
// On the desktop; nothing when the desktop folder is unknown or missing.
void CreateDesktopShortcut(Platform& platform, const std::string& target, const std::string& caption,
                           const std::string& arguments);
// In programs\group, creating the group folder; nothing when the programs folder is unknown
// or missing. A group folder that cannot be entered raises EInOutError.
void CreateGroupShortcut(Platform& platform, const std::string& group, const std::string& target,
                         const std::string& caption, const std::string& arguments);

// Creates path level by level; true when every level exists at the end. Folders made
// before a failure stay.
bool MakeDirs(Platform& platform, const std::string& path);

#ifdef _WIN32
// The Win32 side of CreateShellLink: the shell-link object through IShellLinkW and
// IPersistFile. COM must be initialised. The object cannot be created: an Exception.
void SaveShellLinkFile(const ShellLinkData& link);
#endif
