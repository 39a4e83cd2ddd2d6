// Scratch folders below the Windows directory's Temp, open to the administrators and SYSTEM
// only; their files made new and held so that nobody may write or delete them meanwhile.
#include "platform/win32/windows_api.h"

#include <sddl.h>

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/win32/win32_parts.h"

namespace lanvoy::win32 {

namespace {

constexpr const char* kPrefix = "Lanvoy-";
constexpr ULONGLONG kKeptFor = 10ull * 60 * 10000000;  // ten minutes in 100 ns

using ReOpenFileFunction = HANDLE(WINAPI*)(HANDLE, DWORD, DWORD, DWORD);

class Win32ScratchFolder : public platform::ScratchFolder {
 public:
  explicit Win32ScratchFolder(std::string path) : path_(std::move(path)) {}
  ~Win32ScratchFolder() override {
    for (HANDLE h : held_) CloseHandle(h);
    if (kept_) return;
    for (const std::string& name : files_) DeleteFileA((path_ + name).c_str());
    RemoveDirectoryA(path_.c_str());
  }
  const std::string& Path() const override { return path_; }
  bool Create(const std::string& name, const std::string& bytes) override {
    if (name.find_first_of("\\/:") != std::string::npos) return false;
    const std::string path = path_ + name;
    // CREATE_NEW: never an existing name, nor a link someone put there.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE | GENERIC_READ, FILE_SHARE_READ, nullptr,
                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    files_.push_back(name);
    DWORD written = 0;
    const bool ok = bytes.empty() || (WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()),
                                                &written, nullptr) &&
                                      written == bytes.size());
    // Held for reading only, and shared for reading only: the program it is for may open
    // it, nobody may write, rename or delete it while this folder lives.
    static const auto reopen = reinterpret_cast<ReOpenFileFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "ReOpenFile")));
    HANDLE reading = reopen ? reopen(h, GENERIC_READ, FILE_SHARE_READ, 0) : INVALID_HANDLE_VALUE;
    if (reading != INVALID_HANDLE_VALUE && reading != nullptr) {
      CloseHandle(h);
      h = reading;
    }
    held_.push_back(h);
    return ok;
  }
  void Keep() override { kept_ = true; }

 private:
  std::string path_;
  std::vector<std::string> files_;
  std::vector<HANDLE> held_;
  bool kept_ = false;
};

ULONGLONG Ticks(const FILETIME& t) {
  return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// Folders kept for a script by makers that have ended, once they are old enough.
void RemoveLeftovers(const std::string& temp) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((temp + kPrefix + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      continue;
    const uint32_t maker = static_cast<uint32_t>(std::strtoul(found.cFileName + 7, nullptr, 10));
    if (platform::ProcessRuns(maker) || Ticks(now) - Ticks(found.ftLastWriteTime) < kKeptFor)
      continue;
    const std::string folder = temp + found.cFileName + "\\";
    WIN32_FIND_DATAA inner;
    HANDLE files = FindFirstFileA((folder + "*").c_str(), &inner);
    if (files != INVALID_HANDLE_VALUE) {
      do {
        if (!(inner.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
          DeleteFileA((folder + inner.cFileName).c_str());
      } while (FindNextFileA(files, &inner));
      FindClose(files);
    }
    RemoveDirectoryA(folder.c_str());
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace

const char* ScratchFolderAccess() {
  // Protected (nothing inherited from the user's folders): full access for
  // BUILTIN\Administrators and SYSTEM, passed on to what is made inside; nobody else.
  return "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";
}

std::unique_ptr<platform::ScratchFolder> MakeScratchFolder(std::string& message) {
  char windows[MAX_PATH + 1] = {};
  const UINT length = GetWindowsDirectoryA(windows, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) {
    message = SystemErrorText(GetLastError());
    return nullptr;
  }
  const std::string temp = std::string(windows, length) + "\\Temp\\";
  CreateDirectoryA(temp.c_str(), nullptr);
  RemoveLeftovers(temp);
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(ScratchFolderAccess(), SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    message = SystemErrorText(GetLastError());
    return nullptr;
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  static unsigned made = 0;
  std::string path;
  DWORD error = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    path = temp + kPrefix + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++made) +
           "-" + std::to_string(counter.QuadPart & 0xFFFFFF);
    // A new folder with its access list from the start: nothing of the user's is in it.
    if (CreateDirectoryA(path.c_str(), &attributes)) {
      // Set once more on its own: a file system that takes no access list with the folder
      // still gets it, or the folder is not used.
      error = SetFileSecurityA(path.c_str(),
                               DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                               descriptor)
                  ? 0
                  : GetLastError();
      if (error != 0) RemoveDirectoryA(path.c_str());
      break;
    }
    error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS) break;
  }
  LocalFree(descriptor);
  if (error != 0) {
    message = "Cannot create a folder in " + temp + ": " + SystemErrorText(error);
    return nullptr;
  }
  return std::make_unique<Win32ScratchFolder>(path + "\\");
}

}  // namespace lanvoy::win32
