// Errors that travel to the application's top-level handler, which shows their text.
// Every message is GBK text, like everything else the system shows.
#pragma once
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reading a stream came up short ("Stream read error"), or writing one failed.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};
class EReadError : public EStreamError {
 public:
  EReadError() : EStreamError("Stream read error") {}
};
class EWriteError : public EStreamError {
 public:
  EWriteError() : EStreamError("Stream write error") {}
};
// "Cannot create file "%s". %s" / "Cannot open file "%s". %s" with the system's error text.
class EFCreateError : public EStreamError {
 public:
  EFCreateError(const std::string& path, const std::string& systemText)
      : EStreamError("Cannot create file \"" + path + "\". " + systemText) {}
};
class EFOpenError : public EStreamError {
 public:
  EFOpenError(const std::string& path, const std::string& systemText)
      : EStreamError("Cannot open file \"" + path + "\". " + systemText) {}
};
class EResNotFound : public Exception {
 public:
  explicit EResNotFound(const std::string& name) : Exception("Resource " + name + " not found") {}
};
// Corrupt compressed data. The text is the decompressor's generic "Error".
class EDecompressionError : public Exception {
 public:
  EDecompressionError() : Exception("Error") {}
};
class ERegistryException : public Exception {
 public:
  using Exception::Exception;
};
class EInOutError : public Exception {
 public:
  using Exception::Exception;
};
