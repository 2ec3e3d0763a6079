// The operating-system services that the installer's decisions use. The start-up
// sequence, the folder checks, the navigation rules and the installation run are written
// against this interface: Win32Platform runs them for real, FakePlatform in memory.
// Paths and texts are GBK.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "framework/Bytes.h"

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
  // Creates (or truncates) the file exclusively and writes all of data with one write.
  // Creation failure: EFCreateError; a short write: EWriteError.
  virtual void WriteNewFile(const std::string& path, std::span<const uint8_t> data) = 0;
  // Reads a whole file. Failure to open: EFOpenError.
  virtual Bytes ReadWholeFile(const std::string& path) = 0;

  // --- dialogs ---
  // The standard confirmation: caption "Confirm", question icon, Yes and No. True for Yes.
  virtual bool Confirm(const std::string& text) = 0;
};
