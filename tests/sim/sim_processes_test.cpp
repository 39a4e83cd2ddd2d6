// Processes and pipes of the simulated host, run against /bin/sh.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/sim/processes.h"
#include "test_support/temp_dir.h"

namespace lanvoy::sim {
namespace {

namespace fs = std::filesystem;
using platform::kInfinite;
using platform::kStillActive;
using platform::StartInfo;

class SimProcessesTest : public ::testing::Test {
 protected:
  std::unique_ptr<platform::Process> Run(const std::string& commandLine, uint32_t& error,
                                         platform::Pipe* in = nullptr,
                                         platform::Pipe* out = nullptr) {
    StartInfo info;
    info.commandLine = commandLine;
    info.showWindow = 0;
    info.stdinPipe = in;
    info.stdoutPipe = out;
    return processes.Start(info, error);
  }

  // Everything the child wrote, read until the end of the output.
  static std::string ReadAll(platform::Pipe& pipe) {
    std::string text;
    char buffer[256];
    uint32_t got = 0;
    while (pipe.Read(buffer, sizeof buffer, got)) text.append(buffer, got);
    return text;
  }

  std::string Output(const std::string& commandLine) {
    uint32_t error = 0;
    auto in = processes.CreatePipe(error);
    auto out = processes.CreatePipe(error);
    auto process = Run(commandLine, error, in.get(), out.get());
    EXPECT_NE(process, nullptr) << error;
    if (!process) return "";
    in->CloseWriteEnd();
    std::string text = ReadAll(*out);
    process->Wait(kInfinite);
    return text;
  }

  test::TempDir root;
  SimProcesses processes{root.path()};
};

TEST_F(SimProcessesTest, ExitCodesAndWaiting) {
  uint32_t error = 99;
  auto process = Run(R"(/bin/sh -c "exit 7")", error);
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(error, 0u);
  EXPECT_GT(process->Handle(), 0u);
  EXPECT_TRUE(process->Wait(kInfinite));
  EXPECT_EQ(process->ExitCode(), 7u);

  auto sleeper = Run(R"(/bin/sh -c "sleep 30")", error);
  ASSERT_NE(sleeper, nullptr);
  EXPECT_EQ(sleeper->ExitCode(), kStillActive);
  EXPECT_FALSE(sleeper->Wait(50));
  EXPECT_TRUE(sleeper->Terminate(42));
  EXPECT_TRUE(sleeper->Wait(1000));
  EXPECT_EQ(sleeper->ExitCode(), 42u);
  EXPECT_FALSE(sleeper->Terminate(1)) << "an ended process cannot be terminated again";
  EXPECT_EQ(sleeper->ExitCode(), 42u);
}

TEST_F(SimProcessesTest, StartFailuresCarryWindowsErrorCodes) {
  uint32_t error = 0;
  EXPECT_EQ(Run("lanvoy-no-such-program-here.exe /x", error), nullptr);
  EXPECT_EQ(error, kErrorFileNotFound);
  EXPECT_EQ(Run("", error), nullptr);
  EXPECT_EQ(error, kErrorFileNotFound);
  EXPECT_EQ(Run(R"(C:\No\Such\Folder\netsh.exe)", error), nullptr);
  EXPECT_EQ(error, kErrorPathNotFound);
  EXPECT_EQ(Run(R"(C:\missing.exe)", error), nullptr);
  EXPECT_EQ(error, kErrorFileNotFound);

  root.Write("plain.exe", "not a program");
  EXPECT_EQ(Run(R"(C:\plain.exe)", error), nullptr);
  EXPECT_EQ(error, kErrorAccessDenied);
}

TEST_F(SimProcessesTest, OutputAndErrorsArriveThroughOnePipe) {
  EXPECT_EQ(Output(R"(/bin/sh -c "echo out; echo err >&2; echo again")"), "out\nerr\nagain\n");
  EXPECT_EQ(Output(R"(/bin/sh -c "printf %s $LANVOY_HOST")"), root.path().string());
  EXPECT_EQ(Output("/bin/cat"), "") << "an input pipe closed at once gives the end of input";
}

TEST_F(SimProcessesTest, InputPipeFeedsTheChild) {
  uint32_t error = 0;
  auto in = processes.CreatePipe(error);
  auto out = processes.CreatePipe(error);
  auto process = Run("/bin/cat", error, in.get(), out.get());
  ASSERT_NE(process, nullptr);
  uint32_t written = 0;
  ASSERT_TRUE(in->Write("line one\r\nline two", 18, written));
  EXPECT_EQ(written, 18u);
  in->CloseWriteEnd();
  EXPECT_EQ(ReadAll(*out), "line one\r\nline two");
  EXPECT_TRUE(process->Wait(kInfinite));
  EXPECT_EQ(process->ExitCode(), 0u);
}

TEST_F(SimProcessesTest, HiddenConsoleWritesNowhereAVisibleOneInherits) {
  // Our own output goes to a file while the two children run.
  fflush(stdout);
  int saved = dup(1);
  int file = open(root.File("console.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(file, 0);
  dup2(file, 1);
  close(file);
  uint32_t error = 0;
  StartInfo info;
  info.commandLine = R"(/bin/sh -c "echo hidden; echo hidden-err >&2")";
  info.showWindow = 0;
  auto hidden = processes.Start(info, error);
  info.commandLine = R"(/bin/sh -c "echo visible")";
  info.showWindow = 1;
  auto visible = processes.Start(info, error);
  if (hidden) hidden->Wait(kInfinite);
  if (visible) visible->Wait(kInfinite);
  dup2(saved, 1);
  close(saved);
  ASSERT_NE(hidden, nullptr);
  ASSERT_NE(visible, nullptr);
  EXPECT_EQ(root.Read("console.txt"), "visible\n");
}

TEST_F(SimProcessesTest, PeekLeavesTheDataForRead) {
  uint32_t error = 0;
  auto in = processes.CreatePipe(error);
  auto out = processes.CreatePipe(error);
  auto process = Run(R"(/bin/sh -c "printf hello-world")", error, in.get(), out.get());
  ASSERT_NE(process, nullptr);
  ASSERT_TRUE(process->Wait(5000));

  char buffer[64] = {};
  uint32_t copied = 0, available = 0;
  ASSERT_TRUE(out->Peek(buffer, 5, copied, available));
  EXPECT_EQ(std::string(buffer, copied), "hello");
  EXPECT_EQ(available, 11u);
  ASSERT_TRUE(out->Peek(buffer, sizeof buffer, copied, available));
  EXPECT_EQ(std::string(buffer, copied), "hello-world");
  EXPECT_EQ(available, 11u);

  uint32_t got = 0;
  ASSERT_TRUE(out->Read(buffer, 3, got));
  EXPECT_EQ(std::string(buffer, got), "hel");
  ASSERT_TRUE(out->Read(buffer, sizeof buffer, got));
  EXPECT_EQ(std::string(buffer, got), "lo-world");
  // The child has ended and our copy of its end is closed: the pipe reports its end.
  EXPECT_FALSE(out->Peek(buffer, sizeof buffer, copied, available));
  EXPECT_EQ(available, 0u);
  EXPECT_FALSE(out->Read(buffer, sizeof buffer, got));
  EXPECT_EQ(got, 0u);
}

TEST_F(SimProcessesTest, PeekOnAnEmptyOpenPipeSeesNothing) {
  uint32_t error = 0;
  auto pipe = processes.CreatePipe(error);
  char buffer[8];
  uint32_t copied = 1, available = 1;
  EXPECT_TRUE(pipe->Peek(buffer, sizeof buffer, copied, available));
  EXPECT_EQ(copied, 0u);
  EXPECT_EQ(available, 0u);

  pipe->CloseReadEnd();
  uint32_t written = 0;
  EXPECT_FALSE(pipe->Write("x", 1, written)) << "no reader left: an error, not a signal";
  EXPECT_FALSE(pipe->Peek(buffer, sizeof buffer, copied, available));
}

TEST_F(SimProcessesTest, ChildInheritsNoOtherDescriptor) {
  // A descriptor opened without close-on-exec, as other code might, and the program's own
  // ends of the two pipes: none of them may be open in the child.
  int stray = open("/dev/null", O_RDONLY);
  ASSERT_GE(stray, 0);
  uint32_t error = 0;
  auto in = processes.CreatePipe(error);
  auto out = processes.CreatePipe(error);
  auto* outPipe = static_cast<SimPipe*>(out.get());
  int highest = std::max({stray, outPipe->ReadFd(), static_cast<SimPipe*>(in.get())->WriteFd()});
  std::string script = "for n in $(seq 3 " + std::to_string(highest + 2) +
                       "); do [ -e /proc/self/fd/$n ] && echo $n; done; true";
  auto process = Run("/bin/sh -c \"" + script + "\"", error, in.get(), out.get());
  ASSERT_NE(process, nullptr);
  in->CloseWriteEnd();
  std::string open = ReadAll(*out);
  process->Wait(kInfinite);
  close(stray);
  EXPECT_EQ(open, "");
}

TEST_F(SimProcessesTest, CurrentDirectoryFollowsWindowsPaths) {
  fs::path before = fs::current_path();
  fs::create_directories(root.path() / "Tools");
  std::string message;
  ASSERT_TRUE(processes.SetCurrentDirectory(R"(C:\tools)", message)) << message;
  EXPECT_EQ(fs::current_path(), root.path() / "Tools");
  EXPECT_FALSE(processes.SetCurrentDirectory(R"(C:\Nowhere)", message));
  EXPECT_EQ(message, "No such file or directory");
  fs::current_path(before);
}

TEST_F(SimProcessesTest, BatchFileRunsThroughTheCommandInterpreter) {
  // The system's interpreter reports how it was called; one planted along the search path
  // is never started.
  fs::path bin = root.path() / "bin";
  root.Write("WINDOWS/system32/cmd", "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done\n");
  root.Write("bin/cmd", "#!/bin/sh\necho planted\n");
  fs::permissions(root.path() / "WINDOWS/system32/cmd", fs::perms::owner_all);
  fs::permissions(bin / "cmd", fs::perms::owner_all);
  root.Write("Tmp.bat", "@echo off\r\n");
  SimProcesses withCmd(root.path(), {bin});
  uint32_t error = 0;
  auto in = withCmd.CreatePipe(error);
  auto out = withCmd.CreatePipe(error);
  StartInfo info;
  info.commandLine = R"(C:\tmp.BAT first "two words")";
  info.stdinPipe = in.get();
  info.stdoutPipe = out.get();
  auto process = withCmd.Start(info, error);
  ASSERT_NE(process, nullptr) << error;
  in->CloseWriteEnd();
  EXPECT_EQ(ReadAll(*out),
            "[/c]\n[" + (root.path() / "Tmp.bat").string() + "]\n[first]\n[two words]\n");

  // Without the system's interpreter, the planted one is still not taken.
  fs::remove(root.path() / "WINDOWS/system32/cmd");
  EXPECT_EQ(withCmd.Start(info, error), nullptr);
  EXPECT_EQ(error, kErrorFileNotFound);
  info.commandLine = R"(C:\missing.bat)";
  EXPECT_EQ(withCmd.Start(info, error), nullptr);
  EXPECT_EQ(error, kErrorFileNotFound);
}

TEST_F(SimProcessesTest, CommandLineWithBlanksIsReadAsCreateProcessReadsIt) {
  const std::string lister = "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done\n";
  root.Write("WINDOWS/system32/cmd", "#!/bin/sh\necho cmd\n" + lister);
  root.Write("Program Files/Lanvoy/tool", "#!/bin/sh\necho tool\n" + lister);
  root.Write("Program Files/Lanvoy/tmp.bat", "@echo off\r\n");
  fs::permissions(root.path() / "WINDOWS/system32/cmd", fs::perms::owner_all);
  fs::permissions(root.path() / "Program Files/Lanvoy/tool", fs::perms::owner_all);
  const std::string bat = (root.path() / "Program Files/Lanvoy/tmp.bat").string();
  SimProcesses withCmd(root.path(), {root.path() / "bin"});
  auto output = [&](const std::string& commandLine, uint32_t& error) {
    auto in = withCmd.CreatePipe(error);
    auto out = withCmd.CreatePipe(error);
    StartInfo info;
    info.commandLine = commandLine;
    info.stdinPipe = in.get();
    info.stdoutPipe = out.get();
    auto process = withCmd.Start(info, error);
    if (!process) return std::string("error");
    in->CloseWriteEnd();
    std::string text = ReadAll(*out);
    process->Wait(kInfinite);
    return text;
  };
  const struct {
    bool hijacker;  // an executable C:\Program stands in the way
    const char* commandLine;
    std::string output;
    uint32_t error;
  } cases[] = {
      // Unquoted, each blank ends a name to try; the first that exists is the program.
      {false, R"(C:\Program Files\Lanvoy\tool a "b c")", "tool\n[a]\n[b c]\n", 0},
      {false, R"(C:\Program Files\Lanvoy\tmp.bat)", "cmd\n[/c]\n[" + bat + "]\n", 0},
      {false, R"(C:\Program Files\Lanvoy\none x)", "error", kErrorFileNotFound},
      {true, R"(C:\Program Files\Lanvoy\tool a)", "program\n[Files\\Lanvoy\\tool]\n[a]\n", 0},
      // Quoted, the name is taken whole.
      {true, R"("C:\Program Files\Lanvoy\tool" a)", "tool\n[a]\n", 0},
      {true, R"("C:\Program Files\Lanvoy\tmp.bat")", "cmd\n[/c]\n[" + bat + "]\n", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.commandLine);
    if (c.hijacker) {
      root.Write("Program", "#!/bin/sh\necho program\n" + lister);
      fs::permissions(root.path() / "Program", fs::perms::owner_all);
    }
    uint32_t error = 99;
    EXPECT_EQ(output(c.commandLine, error), c.output);
    EXPECT_EQ(error, c.error);
  }
}

class FindProgramTest : public ::testing::Test {
 protected:
  void Executable(const fs::path& dir, const std::string& name) {
    fs::create_directories(dir);
    temp.Write((dir / name).lexically_relative(temp.path()).string(), "#!/bin/sh\n");
    fs::permissions(dir / name, fs::perms::owner_all);
  }
  test::TempDir temp;
};

TEST_F(FindProgramTest, WindowsNamesFindTheStandIns) {
  fs::path bin = temp.path() / "bin", other = temp.path() / "other";
  Executable(bin, "netsh");
  Executable(bin, "Rundll32");
  Executable(other, "netsh");
  Executable(other, "ipconfig");
  fs::create_directories(bin / "ipconfig");  // a folder of that name does not count
  std::vector<fs::path> dirs{bin, other};

  EXPECT_EQ(FindProgram("netsh.exe", false, dirs).path, bin / "netsh");
  EXPECT_EQ(FindProgram("NETSH", false, dirs).path, bin / "netsh");
  EXPECT_EQ(FindProgram("Rundll32.exe", false, dirs).path, bin / "Rundll32");
  EXPECT_EQ(FindProgram("rundll32.EXE", false, dirs).path, bin / "Rundll32");
  EXPECT_EQ(FindProgram("ipconfig", false, dirs).path, other / "ipconfig");
  EXPECT_EQ(FindProgram("route.exe", false, dirs).error, kErrorFileNotFound);
  EXPECT_EQ(FindProgram(".exe", false, dirs).error, kErrorFileNotFound);

  EXPECT_EQ(FindProgram((other / "NetSh.exe").string(), true, dirs).path, other / "netsh");
  EXPECT_EQ(FindProgram((temp.path() / "none" / "x").string(), true, dirs).error,
            kErrorPathNotFound);
}

}  // namespace
}  // namespace lanvoy::sim
