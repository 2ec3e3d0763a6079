// Windows implementation of TFileStream: CreateFileW with the GBK path converted.
#include <windows.h>

#include "framework/Exceptions.h"
#include "framework/Streams.h"
#include "framework/Text.h"

TFileStream::TFileStream(const std::string& path, FileMode mode) : path_(path) {
  std::wstring wpath = GbkToWide(path);
  HANDLE h;
  if (mode == FileMode::Create) {
    h = CreateFileW(wpath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                    nullptr);
    if (h == INVALID_HANDLE_VALUE) throw EFCreateError(path, SystemErrorText(GetLastError()));
  } else {
    DWORD access = mode == FileMode::OpenRead ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    h = CreateFileW(wpath.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw EFOpenError(path, SystemErrorText(GetLastError()));
  }
  handle_ = reinterpret_cast<intptr_t>(h);
}

TFileStream::~TFileStream() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

size_t TFileStream::Read(void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    DWORD chunk = static_cast<DWORD>(count - done > 0x40000000 ? 0x40000000 : count - done);
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), static_cast<char*>(buffer) + done, chunk, &got, nullptr) || got == 0)
      break;
    done += got;
  }
  return done;
}

size_t TFileStream::Write(const void* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    DWORD chunk = static_cast<DWORD>(count - done > 0x40000000 ? 0x40000000 : count - done);
    DWORD put = 0;
    if (!WriteFile(reinterpret_cast<HANDLE>(handle_), static_cast<const char*>(buffer) + done, chunk, &put, nullptr) ||
        put == 0)
      break;
    done += put;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin) {
  LARGE_INTEGER dist, pos;
  dist.QuadPart = offset;
  DWORD method = origin == SeekOrigin::Begin ? FILE_BEGIN : origin == SeekOrigin::Current ? FILE_CURRENT : FILE_END;
  if (!SetFilePointerEx(reinterpret_cast<HANDLE>(handle_), dist, &pos, method)) return -1;
  return pos.QuadPart;
}

int64_t TFileStream::Size() {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(reinterpret_cast<HANDLE>(handle_), &size)) return -1;
  return size.QuadPart;
}
