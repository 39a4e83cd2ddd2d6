#include "platform/win32/windows_api.h"

#include <string>
#include <vector>

#include <objbase.h>

#include "platform/win32/win32_parts.h"

namespace lanvoy::win32 {

namespace {

const char* OrNull(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

class Win32Shell : public platform::Shell {
 public:
  int Open(const std::string& file, const std::string& parameters, const std::string& directory,
           int showCommand) override {
    HINSTANCE result = ShellExecuteA(nullptr, "open", file.c_str(), OrNull(parameters),
                                     OrNull(directory), showCommand);
    return static_cast<int>(reinterpret_cast<INT_PTR>(result));
  }
  ElevatedRun RunElevated(const std::string& program, const std::string& parameters,
                          const std::string& handover) override {
    ElevatedRun run;
    // A pipe of this process, new (no other may have made it first), local only; the
    // elevated copy checks that this process serves it.
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const std::string pipe = "\\\\.\\pipe\\Lanvoy-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(counter.QuadPart);
    HANDLE server = CreateNamedPipeA(
        pipe.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED,
        PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 1 << 16, 0, 0, nullptr);
    if (server == INVALID_HANDLE_VALUE) {
      run.error = GetLastError();
      return run;
    }
    const std::string token = pipe + ":" + std::to_string(GetCurrentProcessId());
    const std::string all = parameters + (parameters.empty() ? "" : " ") + "--handover " + token;
    // The window may run this on a worker thread: the shell's extensions need COM on it.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    struct ComEnd {
      bool initialized;
      ~ComEnd() {
        if (initialized) CoUninitialize();
      }
    } comEnd{SUCCEEDED(com)};
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "runas";
    info.lpFile = program.c_str();
    info.lpParameters = all.c_str();
    info.nShow = SW_HIDE;
    if (!ShellExecuteExA(&info)) {
      run.error = GetLastError();
      run.refused = run.error == ERROR_CANCELLED;
      CloseHandle(server);
      return run;
    }
    run.started = true;
    if (info.hProcess) {
      // The copy connects and reads; should it end first, nobody waits for it.
      OVERLAPPED connected{};
      connected.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
      const bool pending = !ConnectNamedPipe(server, &connected);
      const DWORD why = GetLastError();
      bool ready = !pending || why == ERROR_PIPE_CONNECTED;
      if (pending && why == ERROR_IO_PENDING) {
        HANDLE both[] = {connected.hEvent, info.hProcess};
        ready = WaitForMultipleObjects(2, both, FALSE, INFINITE) == WAIT_OBJECT_0;
        if (!ready) CancelIo(server);
      }
      if (ready) {
        OVERLAPPED wrote{};
        wrote.hEvent = connected.hEvent;
        ResetEvent(wrote.hEvent);
        DWORD written = 0;
        if (!WriteFile(server, handover.data(), static_cast<DWORD>(handover.size()), nullptr,
                       &wrote) &&
            GetLastError() == ERROR_IO_PENDING)
          GetOverlappedResult(server, &wrote, &written, TRUE);
        FlushFileBuffers(server);
      }
      CloseHandle(connected.hEvent);
      CloseHandle(server);
      WaitForSingleObject(info.hProcess, INFINITE);
      DWORD code = 0;
      GetExitCodeProcess(info.hProcess, &code);
      run.exitCode = code;
      CloseHandle(info.hProcess);
    } else {
      CloseHandle(server);
    }
    return run;
  }

  std::optional<std::string> ReceiveHandover(const std::string& token) override {
    const size_t colon = token.rfind(':');
    if (colon == std::string::npos || token.rfind("\\\\.\\pipe\\Lanvoy-", 0) != 0)
      return std::nullopt;
    const std::string pipe = token.substr(0, colon);
    const unsigned long starter = std::strtoul(token.c_str() + colon + 1, nullptr, 10);
    HANDLE h = CreateFileA(pipe.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           SECURITY_IDENTIFICATION, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    // Only the starter's own pipe counts: another process could have made one of that name.
    using ServerPid = BOOL(WINAPI*)(HANDLE, PULONG);
    static const auto serverPid = reinterpret_cast<ServerPid>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetNamedPipeServerProcessId")));
    ULONG server = 0;
    if (!serverPid || !serverPid(h, &server) || server != starter) {
      CloseHandle(h);
      return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(h);
    return bytes;
  }
  bool CanOpen(const std::string& extension) override {
    char program[MAX_PATH];
    DWORD size = sizeof program;
    return AssocQueryStringA(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, extension.c_str(), "open",
                             program, &size) == S_OK;
  }
};

// Names of the printers EnumPrintersA lists at one information level; false when the
// level cannot be listed.
bool EnumerateAt(DWORD level, std::vector<std::string>& names) {
  const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
  DWORD needed = 0;
  DWORD count = 0;
  if (!EnumPrintersA(flags, nullptr, level, nullptr, 0, &needed, &count)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
  }
  if (needed == 0) return true;  // nothing installed
  std::vector<BYTE> buffer(needed);
  if (!EnumPrintersA(flags, nullptr, level, buffer.data(), needed, &needed, &count)) return false;
  for (DWORD i = 0; i < count; ++i) {
    const char* name = level == 4
                           ? reinterpret_cast<PRINTER_INFO_4A*>(buffer.data())[i].pPrinterName
                           : reinterpret_cast<PRINTER_INFO_2A*>(buffer.data())[i].pPrinterName;
    if (name != nullptr) names.emplace_back(name);
  }
  return true;
}

class Win32Printers : public platform::Printers {
 public:
  std::vector<std::string> Installed() override {
    std::vector<std::string> names;
    // Level 4 is the cheap one; a spooler without it still answers level 2.
    if (!EnumerateAt(4, names)) {
      names.clear();
      EnumerateAt(2, names);
    }
    return names;
  }

  std::optional<std::string> DefaultPrinter() override {
    DWORD size = 0;
    GetDefaultPrinterA(nullptr, &size);
    if (size == 0) return std::nullopt;
    std::vector<char> name(size);
    if (!GetDefaultPrinterA(name.data(), &size)) return std::nullopt;
    return std::string(name.data());
  }

  bool WriteProfileString(const std::string& section, const std::string& key,
                          const std::string& value) override {
    return WriteProfileStringA(section.c_str(), key.c_str(), value.c_str()) != 0;
  }

  bool SetDefault(const std::string& name) override {
    return SetDefaultPrinterA(name.c_str()) != 0;
  }

  void BroadcastSettingChange(const std::string& section) override {
    // Every window answers in turn, as with SendMessage, but one that has stopped
    // answering is passed over instead of blocking the program for ever.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0,
                        reinterpret_cast<LPARAM>(section.c_str()), SMTO_ABORTIFHUNG,
                        kPerWindowTimeoutMs, &result);
  }

 private:
  static constexpr UINT kPerWindowTimeoutMs = 5000;
};

}  // namespace

std::unique_ptr<platform::Shell> MakeShell() {
  return std::make_unique<Win32Shell>();
}
std::unique_ptr<platform::Printers> MakePrinters() {
  return std::make_unique<Win32Printers>();
}

}  // namespace lanvoy::win32
