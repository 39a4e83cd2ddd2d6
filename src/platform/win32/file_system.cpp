#include "platform/file_system.h"

#include "platform/win32/windows_api.h"

namespace lanvoy::platform {

bool WriteNewFileToDisk(const std::string& path, const std::string& bytes, bool flush) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool written = true;
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (written && left > 0) {
    const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD done = 0;
    written = WriteFile(file, data, chunk, &done, nullptr) && done > 0;
    data += done;
    left -= done;
  }
  written = written && (!flush || FlushFileBuffers(file));
  return CloseHandle(file) && written;
}

bool ReplaceFileOnDisk(const std::string& from, const std::string& to, bool flush) {
  const DWORD through = flush ? MOVEFILE_WRITE_THROUGH : 0;
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | through) != 0;
}

bool RewriteFileInPlace(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  std::string old;
  bool ok = GetFileSizeEx(h, &size) && size.QuadPart < (1ll << 30);
  if (ok) {
    old.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    ok = old.empty() || (ReadFile(h, old.data(), static_cast<DWORD>(old.size()), &got, nullptr) &&
                         got == old.size());
  }
  auto writeAt0 = [&](const std::string& data) {
    LARGE_INTEGER zero{};
    DWORD written = 0;
    return SetFilePointerEx(h, zero, nullptr, FILE_BEGIN) &&
           (data.empty() ||
            (WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
             written == data.size()));
  };
  auto endAt = [&](size_t length) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(length);
    return SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && SetEndOfFile(h);
  };
  // The room first: a disk that cannot hold the new bytes leaves the old file whole.
  if (ok && bytes.size() > old.size() && !endAt(bytes.size())) {
    endAt(old.size());
    ok = false;
  } else if (ok) {
    ok = writeAt0(bytes) && endAt(bytes.size()) && FlushFileBuffers(h);
    if (!ok) {
      writeAt0(old);
      endAt(old.size());
      FlushFileBuffers(h);
    }
  }
  CloseHandle(h);
  return ok;
}

bool IsLink(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool AppendToFileOnDisk(const std::string& path, const std::string& bytes, bool refuseLinks) {
  // The link itself is opened, not what it names; then refused if it is one.
  HANDLE h = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL | (refuseLinks ? FILE_FLAG_OPEN_REPARSE_POINT : 0),
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  bool ok = GetFileInformationByHandle(h, &info) &&
            !(refuseLinks && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT));
  DWORD written = 0;
  ok = ok && (bytes.empty() ||
              (WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size()));
  CloseHandle(h);
  return ok;
}

uint32_t CurrentProcessId() {
  return GetCurrentProcessId();
}

bool ProcessRuns(uint32_t id) {
  if (id == 0) return false;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  const bool runs = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  CloseHandle(process);
  return runs;
}

}  // namespace lanvoy::platform
