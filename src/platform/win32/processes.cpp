#include "platform/win32/windows_api.h"

#include <string>
#include <vector>

#include "platform/win32/win32_parts.h"

namespace lanvoy::win32 {

namespace {

void CloseIfOpen(HANDLE& handle) {
  if (handle != nullptr) {
    CloseHandle(handle);
    handle = nullptr;
  }
}

class Win32Pipe : public platform::Pipe {
 public:
  Win32Pipe(HANDLE readEnd, HANDLE writeEnd) : read_(readEnd), write_(writeEnd) {}
  ~Win32Pipe() override {
    CloseIfOpen(read_);
    CloseIfOpen(write_);
  }
  Win32Pipe(const Win32Pipe&) = delete;
  Win32Pipe& operator=(const Win32Pipe&) = delete;

  bool Peek(char* buffer, uint32_t size, uint32_t& copied, uint32_t& available) override {
    DWORD got = 0;
    DWORD waiting = 0;
    BOOL ok = PeekNamedPipe(read_, buffer, size, &got, &waiting, nullptr);
    copied = got;
    available = waiting;
    return ok != 0;
  }

  bool Read(char* buffer, uint32_t size, uint32_t& got) override {
    DWORD read = 0;
    BOOL ok = ReadFile(read_, buffer, size, &read, nullptr);
    got = read;
    return ok != 0;
  }

  bool Write(const char* data, uint32_t size, uint32_t& written) override {
    DWORD done = 0;
    BOOL ok = WriteFile(write_, data, size, &done, nullptr);
    written = done;
    return ok != 0;
  }

  void CloseReadEnd() override { CloseIfOpen(read_); }
  void CloseWriteEnd() override { CloseIfOpen(write_); }

  HANDLE ReadEnd() const { return read_; }
  HANDLE WriteEnd() const { return write_; }

 private:
  HANDLE read_;
  HANDLE write_;
};

class Win32Process : public platform::Process {
 public:
  explicit Win32Process(const PROCESS_INFORMATION& info)
      : process_(info.hProcess), thread_(info.hThread) {}
  ~Win32Process() override {
    CloseIfOpen(thread_);
    CloseIfOpen(process_);
  }
  Win32Process(const Win32Process&) = delete;
  Win32Process& operator=(const Win32Process&) = delete;

  // Kernel handles are small numbers, so the 32-bit form loses nothing.
  uint32_t Handle() const override {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(process_));
  }

  bool Wait(uint32_t timeoutMs) override {
    return WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
  }

  uint32_t ExitCode() override {
    DWORD code = 0;
    // A failed query must not look like a program that still runs, or a poll loop waits for ever.
    if (!GetExitCodeProcess(process_, &code)) return static_cast<uint32_t>(GetLastError());
    return code;
  }

  bool Terminate(uint32_t exitCode) override { return TerminateProcess(process_, exitCode) != 0; }

 private:
  HANDLE process_;
  HANDLE thread_;
};

class Win32Processes : public platform::Processes {
 public:
  std::unique_ptr<platform::Process> Start(const platform::StartInfo& info,
                                           uint32_t& error) override {
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    BOOL inherit = FALSE;
    auto* input = dynamic_cast<Win32Pipe*>(info.stdinPipe);
    auto* output = dynamic_cast<Win32Pipe*>(info.stdoutPipe);
    if (input != nullptr && output != nullptr) {
      // The console capture redirects all three streams. Its block starts empty, not as a
      // copy of the own: the C runtime block in lpReserved2 that this program may have been
      // given would make a C runtime child take its handles from there, not from the pipes.
      startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
      startup.hStdInput = input->ReadEnd();
      startup.hStdOutput = output->WriteEnd();
      startup.hStdError = output->WriteEnd();
      // The ends the program keeps stay out of the child: an inherited write end of the
      // input pipe would keep the child's input open for ever.
      if (input->WriteEnd() != nullptr)
        SetHandleInformation(input->WriteEnd(), HANDLE_FLAG_INHERIT, 0);
      if (output->ReadEnd() != nullptr)
        SetHandleInformation(output->ReadEnd(), HANDLE_FLAG_INHERIT, 0);
      inherit = TRUE;
    } else {
      startup.dwFlags = STARTF_USESHOWWINDOW;
    }
    startup.cb = sizeof startup;
    startup.wShowWindow = info.showWindow;

    // CreateProcessA may write into the command line, so it gets its own copy.
    std::vector<char> commandLine(info.commandLine.begin(), info.commandLine.end());
    commandLine.push_back('\0');
    PROCESS_INFORMATION started;
    ZeroMemory(&started, sizeof started);
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, inherit, info.creationFlags,
                        nullptr, nullptr, &startup, &started)) {
      error = GetLastError();
      return nullptr;
    }
    error = 0;
    return std::make_unique<Win32Process>(started);
  }

  std::unique_ptr<platform::Pipe> CreatePipe(uint32_t& error) override {
    // A present but empty DACL grants everybody access to the pipe.
    SECURITY_DESCRIPTOR descriptor;
    if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE)) {
      error = GetLastError();
      return nullptr;
    }
    SECURITY_ATTRIBUTES attributes;
    attributes.nLength = sizeof attributes;
    attributes.lpSecurityDescriptor = &descriptor;
    attributes.bInheritHandle = TRUE;
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &attributes, 0)) {
      error = GetLastError();
      return nullptr;
    }
    error = 0;
    return std::make_unique<Win32Pipe>(readEnd, writeEnd);
  }

  bool SetCurrentDirectory(const std::string& dir, std::string& message) override {
    if (SetCurrentDirectoryA(dir.c_str())) return true;
    message = SystemErrorText(GetLastError()) + ": " + dir;
    return false;
  }
};

}  // namespace

std::unique_ptr<platform::Processes> MakeProcesses() {
  return std::make_unique<Win32Processes>();
}

}  // namespace lanvoy::win32
