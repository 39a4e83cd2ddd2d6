// The built program run as a user runs it: a program folder with Lanvoy, its INI files and
// the stand-ins, and the simulated host beside them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "base/command_line.h"
#include "platform/sim/sim_platform.h"
#include "profiles/ini_file.h"
#include "profiles/profile_store.h"
#include "test_support/host_windows.h"
#include "test_support/temp_dir.h"

extern char** environ;

namespace lanvoy {
namespace {

namespace fs = std::filesystem;

fs::path BuildBin() {
  return fs::read_symlink("/proc/self/exe").parent_path();
}

// An X server of this test's own: Xvfb picks a free display and names it on a pipe once it
// takes connections.
struct VirtualDisplay {
  VirtualDisplay() {
    int fds[2];
    if (pipe(fds) != 0) return;
    const std::string fd = std::to_string(fds[1]);
    std::vector<std::string> args = {"Xvfb", "-displayfd",  fd,          "-screen",
                                     "0",    "1024x768x24", "-nolisten", "tcp"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&server, "Xvfb", &actions, nullptr, argv.data(), environ) != 0) server = 0;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string number;
    char c;
    while (server && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (!number.empty()) name = ":" + number;
  }
  ~VirtualDisplay() {
    if (!server) return;
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
  }
  pid_t server = 0;
  std::string name;  // ":N", empty when it did not start
};

struct ProgramRun {
  std::optional<int> exitCode;  // nullopt: still running when it was stopped
  std::string out, err;
};

class ProgramTest : public ::testing::Test {
 protected:
  // The Windows of the host the program makes: XP, whose netsh's words the tests read.
  std::string windows = "xp";
  void SetUp() override {
    for (const char* name :
         {"Lanvoy", "lanvoy_windows.so", "netsh", "ipconfig", "cmd", "Rundll32"}) {
      std::error_code ec;
      fs::create_hard_link(BuildBin() / name, dir.path() / name, ec);
      if (ec) fs::copy_file(BuildBin() / name, dir.path() / name);
    }
    dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\n");
    dir.Write(
        "Lanvoy.INI",
        "[Office]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=10.20.30.40\r\n"
        "Subnet=255.255.255.0\r\nGateway=10.20.30.1\r\nDNS=10.20.30.2\r\n"
        "Proxy=cache.office\r\nProxyPort=3128\r\nEnableProxy=1\r\n"
        "IncludeHostModification=1\r\nHostsCount=2\r\nH1='127.0.0.1   localhost   #'\r\n"
        "H2='10.20.30.10   fileserver   #files'\r\nIncludeDefPrint=1\r\nDefPrinter=Canon iP4200\r\n"
        "IncludeHostName=1\r\nHostName=OFFICE-PC\r\n");
    // The system's font cache lives as long as the process; it is no leak of ours.
    dir.Write("lsan.supp", "leak:libfontconfig.so\n");
  }

  // Starts the program with the arguments; the entries of `more` replace those of the
  // environment of the same name. Its output goes to out.txt and err.txt.
  pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& more = {}) {
    // No display; the offscreen platform's notes about what it cannot do stay out of the
    // program's error output.
    fs::create_directory(dir.path() / "runtime");
    fs::permissions(dir.path() / "runtime", fs::perms::owner_all);
    std::vector<std::string> env = more;
    for (const std::string& entry :
         {"LANVOY_SIM_WINDOWS=" + windows, std::string("QT_QPA_PLATFORM=offscreen"),
          std::string("QT_LOGGING_RULES=default.warning=false"),
          "XDG_RUNTIME_DIR=" + dir.File("runtime"),
          "LSAN_OPTIONS=suppressions=\"" + dir.File("lsan.supp") + "\""})
      env.push_back(entry);
    // The caller's own host never counts.
    for (char** e = environ; *e; ++e)
      if (std::string(*e).rfind("LANVOY_HOST=", 0) != 0) env.push_back(*e);
    // The first entry of a name counts.
    std::vector<std::string> unique;
    for (const std::string& entry : env) {
      const std::string name = entry.substr(0, entry.find('=') + 1);
      if (std::none_of(unique.begin(), unique.end(),
                       [&](const std::string& kept) { return kept.rfind(name, 0) == 0; }))
        unique.push_back(entry);
    }
    std::vector<std::string> argv = {dir.File("Lanvoy")};
    argv.insert(argv.end(), args.begin(), args.end());
    auto pointers = [](std::vector<std::string>& list) {
      std::vector<char*> p;
      for (std::string& s : list) p.push_back(s.data());
      p.push_back(nullptr);
      return p;
    };
    std::vector<char*> argvp = pointers(argv), envp = pointers(unique);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Started in its folder, as from a prompt there: file names on its line are relative to it.
    posix_spawn_file_actions_addchdir_np(&actions, dir.path().c_str());
    // Standard input: in.txt where a test wrote one.
    if (dir.Exists("in.txt"))
      posix_spawn_file_actions_addopen(&actions, 0, dir.File("in.txt").c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, dir.File("out.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, dir.File("err.txt").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argvp[0], &actions, nullptr, argvp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(spawned, 0);
    return spawned == 0 ? pid : 0;
  }

  // Runs the program with the arguments; stops it after the time limit, or one second after
  // its error output first holds stopAfter.
  ProgramRun Start(const std::vector<std::string>& args, std::chrono::milliseconds limit,
                   const std::string& stopAfter = "", const std::vector<std::string>& more = {}) {
    const pid_t pid = Spawn(args, more);
    ProgramRun run;
    if (pid == 0) return run;
    auto deadline = std::chrono::steady_clock::now() + limit;
    bool seen = false;
    int status = 0;
    for (;;) {
      if (!stopAfter.empty() && !seen && dir.Read("err.txt").find(stopAfter) != std::string::npos) {
        seen = true;
        deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
      }
      if (waitpid(pid, &status, WNOHANG) == pid) {
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        break;
      }
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    run.out = dir.Read("out.txt");
    run.err = dir.Read("err.txt");
    return run;
  }
  // Runs a stand-in on the program's host.
  std::string StandIn(const std::string& commandLine) {
    const std::string command =
        "cd '" + dir.path().string() + "' && env -u LANVOY_HOST ./" + commandLine;
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
      char buffer[4096];
      size_t got;
      while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
      pclose(pipe);
    }
    return output;
  }

  // The program's folder, with a blank in its path as under Windows.
  test::TempDir dir{"Program Files/Lanvoy"};
};

TEST_F(ProgramTest, HideAppliesTheProfileToTheHostAndEnds) {
  // From a shell without a display, as a scheduled task or a remote login starts it; it
  // needs no window toolkit, so the module of the windows may be missing.
  fs::remove(dir.path() / "lanvoy_windows.so");
  const ProgramRun run = Start({"office", "HIDE"}, std::chrono::seconds(60), "",
                               {"QT_QPA_PLATFORM=xcb", "DISPLAY=", "WAYLAND_DISPLAY="});
  ASSERT_TRUE(run.exitCode.has_value()) << "the program did not end: " << run.err;
  EXPECT_EQ(*run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");

  const std::string dump = StandIn("netsh -c interface dump");
  EXPECT_NE(dump.find("set address name=\"LAN-Verbindung\" source=static addr=10.20.30.40 "
                      "mask=255.255.255.0"),
            std::string::npos)
      << dump;
  EXPECT_NE(dump.find("gateway=10.20.30.1"), std::string::npos);
  const std::string registry = dir.Read("host/registry.reg");
  EXPECT_NE(registry.find("\"ProxyServer\"=\"cache.office:3128\""), std::string::npos) << registry;
  EXPECT_NE(registry.find("\"ProxyEnable\"=dword:00000001"), std::string::npos);
  EXPECT_NE(registry.find("\"ComputerName\"=\"OFFICE-PC\""), std::string::npos);
  const std::string hosts = dir.Read("host/WINDOWS/system32/drivers/etc/hosts");
  EXPECT_NE(hosts.find("10.20.30.10"), std::string::npos) << hosts;
  EXPECT_NE(hosts.find("fileserver"), std::string::npos);
  EXPECT_NE(dir.Read("host/WINDOWS/win.ini").find("device=Canon iP4200,"), std::string::npos);
  // No restart was asked for, and the script file is gone.
  EXPECT_EQ(dir.Read("host/events.log").find("ExitWindowsEx"), std::string::npos);
  EXPECT_FALSE(dir.Exists("tmp.txt"));
}

TEST_F(ProgramTest, DebugMarkerStillWaitsForNetshOnTheCommandLine) {
  dir.Write("Debug", "");
  dir.Write("nosplash", "");
  const ProgramRun run = Start({"Office", "hide"}, std::chrono::seconds(60));
  ASSERT_TRUE(run.exitCode.has_value());
  EXPECT_EQ(*run.exitCode, 0) << run.err;
  // Waited for: the addresses are in place when the program has ended.
  EXPECT_NE(StandIn("netsh -c interface dump").find("addr=10.20.30.40"), std::string::npos);
}

TEST_F(ProgramTest, NetshErrorsEndWithANonZeroExitCode) {
  dir.Write("Lanvoy.INI",
            "[Bad]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=10.20.30.400\r\n"
            "Subnet=255.255.255.0\r\nDNS=10.20.30.2\r\n");
  const ProgramRun run = Start({"bad", "hide", "--force"}, std::chrono::seconds(60));
  ASSERT_TRUE(run.exitCode.has_value());
  EXPECT_EQ(*run.exitCode, 2);
  EXPECT_NE(run.err.find("Invalid addr parameter (10.20.30.400)."), std::string::npos) << run.err;
}

TEST_F(ProgramTest, UnknownNameGivesTheMessageAndStaysOpen) {
  const std::string name = "no such profile";  // one argument, blanks and all
  const ProgramRun run = Start({name}, std::chrono::seconds(60), "< not found !");
  EXPECT_FALSE(run.exitCode.has_value()) << "ended with " << run.exitCode.value_or(-1);
  EXPECT_EQ(run.err.rfind("Profile >" + name + "< not found !\r\n", 0), 0u) << run.err;
  // Nothing was applied.
  EXPECT_EQ(dir.Read("host/registry.reg").find("OFFICE-PC"), std::string::npos);
}

// A start that asks for no window ends on its own, whatever it was asked; a name typed in
// a UTF-8 terminal finds the profile the store holds in the ANSI code page.
TEST_F(ProgramTest, UnattendedStartsEndOnTheirOwn) {
  dir.Write("Lanvoy.INI",
            "[B\xFCro]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=1\r\nDHCP_DNS=1\r\n"
            "DHCP_WINS=1\r\n"
            "IncludeHostName=1\r\nHostName=BUERO-PC\r\n");
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string out, err;
  } cases[] = {
      {{"B\xC3\xBCro", "hide"}, 0, "", ""},
      {{"Buero", "hide"}, 1, "", "Profile >Buero< not found !"},
      {{"--help", "hide"}, 0, "Lanvoy --undo [hide]", ""},
      {{"/?"}, 0, "Exit codes:", ""},
      {{"--keep"}, 1, "", "No apply is waiting to be kept."},
  };
  for (const auto& c : cases) {
    const ProgramRun run = Start(c.args, std::chrono::seconds(30), "", {"LC_ALL=C.UTF-8"});
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args[0] << ": " << run.err;
    EXPECT_NE(run.out.find(c.out), std::string::npos) << c.args[0] << ": " << run.out;
    EXPECT_NE(run.err.find(c.err), std::string::npos) << c.args[0] << ": " << run.err;
  }
  EXPECT_NE(dir.Read("host/registry.reg").find("BUERO-PC"), std::string::npos);
}

// Without the module of the windows an interactive start says what is missing.
TEST_F(ProgramTest, AMissingWindowsModuleIsNamed) {
  fs::remove(dir.path() / "lanvoy_windows.so");
  const ProgramRun run = Start({"Office"}, std::chrono::seconds(30));
  ASSERT_TRUE(run.exitCode.has_value());
  EXPECT_EQ(*run.exitCode, 1);
  EXPECT_EQ(run.err.rfind("Cannot show the windows: ", 0), 0u) << run.err;
  EXPECT_NE(run.err.find("lanvoy_windows.so"), std::string::npos) << run.err;
}

// The arguments are the program's own: names that Qt would take for its options are
// profile names.
TEST_F(ProgramTest, ArgumentsLikeQtOptionsAreProfileNames) {
  for (const std::string name : {"-reverse", "-style"}) {
    dir.Write("Lanvoy.INI", "[" + name +
                                "]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=1\r\nDHCP_DNS=1\r\n"
                                "DHCP_WINS=1\r\n"
                                "DHCP_DNS=1\r\nIncludeHostName=1\r\nHostName=PC" +
                                name + "\r\n");
    const ProgramRun run = Start({name, "hide"}, std::chrono::seconds(30));
    ASSERT_TRUE(run.exitCode.has_value()) << name << " started interactively: " << run.err;
    EXPECT_EQ(*run.exitCode, 0) << run.err;
    EXPECT_NE(dir.Read("host/registry.reg").find("\"ComputerName\"=\"PC" + name + "\""),
              std::string::npos)
        << name;
  }
}

// A simulated host that cannot be made is reported as every error is, and the program ends
// with a non-zero exit code.
TEST_F(ProgramTest, AHostThatCannotBeMadeEndsWithItsMessage) {
  dir.Write("blocker", "a file where the host's folder should go");
  const ProgramRun run = Start({"office", "hide"}, std::chrono::seconds(30), "",
                               {"LANVOY_HOST=" + dir.File("blocker") + "/host"});
  ASSERT_TRUE(run.exitCode.has_value());
  EXPECT_EQ(*run.exitCode, 1) << run.err;
  EXPECT_EQ(run.err.find("terminate called"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("Cannot create file"), std::string::npos) << run.err;
}

// A German connection name in Windows-1252, from a program folder with a blank in its path:
// applied from the command line, then read back by Get Current in the window of a start with
// an empty store (the profile "DEFAULT" in edit mode) and stored with the Save button, pressed
// as a user presses it: Alt+S on a virtual display, then Escape for "apply it now?".
TEST_F(ProgramTest, AGermanConnectionNameSurvivesApplyAndGetCurrent) {
  const std::string name =
      "Netzwerkbr\xFC"
      "cke";
  dir.Write("Lanvoy.INI", "[Office]\r\nLongLANDescription=" + name +
                              "\r\nDHCP=0\r\nIP=10.20.30.40\r\nSubnet=255.255.255.0\r\n"
                              "Gateway=10.20.30.1\r\nDNS=10.20.30.2\r\n");
  dir.Write("nosplash", "");
  ASSERT_TRUE(Start({"nowhere", "hide"}, std::chrono::seconds(30), "< not found !").err.size());
  dir.Write("host/network.ini",
            "[" + name + "]\r\nMode=dhcp\r\nDnsSource=dhcp\r\nWinsSource=dhcp\r\n");
  const ProgramRun applied = Start({"Office", "hide"}, std::chrono::seconds(60));
  ASSERT_EQ(applied.exitCode, 0) << applied.err;
  EXPECT_NE(StandIn("netsh -c interface dump")
                .find("set address name=\"" + name + "\" source=static addr=10.20.30.40"),
            std::string::npos);
  EXPECT_NE(StandIn("ipconfig /all")
                .find("Netzwerkbr\x81"
                      "cke"),
            std::string::npos);

  // A virtual display of its own.
  ASSERT_EQ(std::system("command -v Xvfb >/dev/null && command -v xdotool >/dev/null"), 0)
      << "scripts/setup installs Xvfb and xdotool";
  const VirtualDisplay display;
  ASSERT_FALSE(display.name.empty()) << "Xvfb did not start";
  const std::string env = "DISPLAY=" + display.name;
  auto x = [&](const std::string& command) {
    return std::system(("export " + env + "; " + command).c_str());
  };

  dir.Write("Lanvoy.INI", "");
  const pid_t program = Spawn({}, {env, "QT_QPA_PLATFORM=xcb"});
  const std::string window = "xdotool search --sync --onlyvisible --name '^Lanvoy$' | head -1";
  EXPECT_EQ(x("timeout 30 " + window + " >/dev/null"), 0) << dir.Read("err.txt");
  // While the start's Get Current reads, the window answers but takes no input: a user whose
  // Alt+S found it reading presses again.
  bool asked = false;
  for (int i = 0; i < 20 && !asked; ++i) {
    x("xdotool windowfocus $(" + window + ") key --clearmodifiers alt+s");
    asked = x("timeout 1 xdotool search --sync --onlyvisible --name '^Confirm$' >/dev/null") == 0;
  }
  EXPECT_TRUE(asked);
  x("xdotool key Escape");
  // Saved before the question was asked; the question's window is gone once it is answered.
  EXPECT_EQ(x("timeout 10 sh -c 'while xdotool search --onlyvisible --name \"^Confirm$\" "
              ">/dev/null; do sleep 0.05; done'"),
            0);
  const std::string stored =
      IniFile(dir.File("Lanvoy.INI")).ReadString("DEFAULT", "LongLANDescription", "");
  kill(program, SIGKILL);
  waitpid(program, nullptr, 0);
  EXPECT_EQ(stored, name);
}

// A new user at the window, mouse and keys on a virtual display: the start-up notice takes
// a click at once (no splash over it); one Esc while editing asks before it throws the edits
// away; after an apply the keep question comes first, the browser notice after it.
TEST_F(ProgramTest, ANewUserAtTheWindow) {
  dir.Write("Lanvoy.GUI", "[Programm]\r\n");
  dir.Write("Lanvoy.INI",
            "[Office]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=10.20.30.40\r\n"
            "Subnet=255.255.255.0\r\nConfirmKeep=1\r\nConfirmSeconds=60\r\n");
  ASSERT_EQ(std::system("command -v Xvfb >/dev/null && command -v xdotool >/dev/null"), 0)
      << "scripts/setup installs Xvfb and xdotool";
  const VirtualDisplay display;
  ASSERT_FALSE(display.name.empty()) << "Xvfb did not start";
  auto x = [&](const std::string& command) {
    return std::system(("export DISPLAY=" + display.name + "; " + command).c_str());
  };
  auto shown = [&](const std::string& title, int seconds) {
    return x("timeout " + std::to_string(seconds) +
             " xdotool search --sync --onlyvisible --name '^" + title + "$' >/dev/null") == 0;
  };
  auto gone = [&](const std::string& title, int seconds) {
    return x("timeout " + std::to_string(seconds) +
             " sh -c 'while xdotool search --onlyvisible "
             "--name \"^" +
             title + "$\" >/dev/null; do sleep 0.05; done'") == 0;
  };
  // A click at a point of a window, as the pointer gets there.
  auto click = [&](const std::string& title, const std::string& at) {
    return x("w=$(xdotool search --onlyvisible --name '^" + title +
             "$' | head -1); eval $(xdotool getwindowgeometry --shell $w); xdotool mousemove "
             "--window $w " +
             at + " click 1");
  };
  // A key into a question once it has the keyboard.
  auto answer = [&](const std::string& title, const std::string& key) {
    return x("xdotool windowfocus --sync $(xdotool search --onlyvisible --name '^" + title +
             "$' | head -1) key " + key);
  };
  const pid_t program = Spawn({}, {"DISPLAY=" + display.name, "QT_QPA_PLATFORM=xcb"});

  ASSERT_TRUE(shown("Information", 30)) << dir.Read("err.txt");
  click("Information", "$((WIDTH / 2)) $((HEIGHT - 25))");  // its OK button
  EXPECT_TRUE(gone("Information", 3)) << "the click did not reach the notice";

  ASSERT_TRUE(shown("Lanvoy", 10));
  // While the start's Get Current reads, the window takes no input: a user whose keys found
  // it reading types again.
  bool asked = false;
  for (int i = 0; i < 6 && !asked; ++i) {
    x("xdotool windowfocus --sync $(xdotool search --onlyvisible --name '^Lanvoy$' | head -1) "
      "key --clearmodifiers alt+m && sleep 0.5 && xdotool key ctrl+a BackSpace && xdotool type "
      "10.20.30.41 && xdotool key Escape");
    asked = shown("Confirm", 3);
  }
  EXPECT_TRUE(asked) << "Esc threw the edits away without a word";
  answer("Confirm", "Return");  // No, the default: go on editing
  EXPECT_TRUE(gone("Confirm", 5));
  click("Lanvoy", "383 145");        // Save
  ASSERT_TRUE(shown("Confirm", 5));  // apply it now?
  EXPECT_EQ(IniFile(dir.File("Lanvoy.INI")).ReadString("Office", "IP", ""), "10.20.30.41");

  answer("Confirm", "Return");
  EXPECT_TRUE(gone("Confirm", 5));
  EXPECT_TRUE(shown("Confirm", 30)) << "no keep question: " << dir.Read("err.txt");
  EXPECT_FALSE(shown("Information", 1)) << "the browser notice came before the keep question";
  answer("Confirm", "Return");  // Yes, keep them
  EXPECT_TRUE(shown("Information", 10));
  kill(program, SIGKILL);
  waitpid(program, nullptr, 0);
  EXPECT_NE(StandIn("netsh -c interface dump").find("addr=10.20.30.41"), std::string::npos);
}

// Safe apply as a script meets it: a gateway outside the subnet is refused with nothing
// changed, --force applies it all the same, --undo gives the host back as it was.
TEST_F(ProgramTest, RefusedForcedAndUndone) {
  dir.Write("Lanvoy.INI",
            "[Far]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=10.20.30.40\r\n"
            "Subnet=255.255.255.0\r\nGateway=10.99.0.1\r\nDNS=10.20.30.2\r\nProxy=cache\r\n"
            "ProxyPort=3128\r\nEnableProxy=1\r\nIncludeHostModification=1\r\nHostsCount=1\r\n"
            "H1='10.20.30.10   fileserver   #'\r\nIncludeHostName=1\r\nHostName=FAR-PC\r\n");
  dir.Write("nosplash", "");
  ASSERT_TRUE(Start({"--undo", "hide"}, std::chrono::seconds(30)).exitCode);  // makes the host
  auto host = [&] {
    return dir.Read("host/network.ini") + dir.Read("host/registry.reg") +
           dir.Read("host/WINDOWS/system32/drivers/etc/hosts");
  };
  const std::string before = host();

  const ProgramRun refused = Start({"far", "hide"}, std::chrono::seconds(30));
  EXPECT_EQ(refused.exitCode, 4) << refused.err;
  EXPECT_NE(refused.err.find("the gateway 10.99.0.1 lies outside the subnet"), std::string::npos)
      << refused.err;
  EXPECT_EQ(host(), before);

  const ProgramRun forced = Start({"far", "hide", "--force"}, std::chrono::seconds(60));
  EXPECT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_NE(StandIn("netsh -c interface dump").find("gateway=10.99.0.1"), std::string::npos);
  // Named as stored, and said to be forced.
  EXPECT_NE(dir.Read("Lanvoy.log")
                .find("apply Far: applied despite findings: LAN-Verbindung: the gateway 10.99.0.1"),
            std::string::npos)
      << dir.Read("Lanvoy.log");

  const ProgramRun undone = Start({"--undo", "hide"}, std::chrono::seconds(60));
  EXPECT_EQ(undone.exitCode, 0) << undone.err;
  EXPECT_EQ(host(), before);
}

// Windows 10, the host a new user gets: the demo apply in today's netsh, Get Current after it
// field for field, verify, undo, and an apply not kept in time, all with the built program.
TEST_F(ProgramTest, Windows10AppliesReadsBackUndoesAndReverts) {
  windows = "10";
  const std::string office =
      "[Office]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=10.20.30.40\r\n"
      "Subnet=255.255.255.0\r\nIP2=10.20.31.40\r\nSubnet2=255.255.0.0\r\nGateway=10.20.30.1\r\n"
      "DNS=10.20.30.2\r\nDNS2=10.20.30.3\r\nWINS=10.20.30.4\r\nLongLANDescriptionLan2=WLAN\r\n"
      "DHCPLan2=1\r\nDHCP_DNSLan2=0\r\nDNSLan2=10.40.0.53\r\nDHCP_WINSLan2=1\r\n"
      "IncludeHostName=1\r\nHostName=OFFICE-PC\r\n";
  dir.Write("Lanvoy.INI", office);
  dir.Write("nosplash", "");
  ASSERT_TRUE(Start({"--current"}, std::chrono::seconds(30)).exitCode);  // makes the host
  auto host = [&] { return dir.Read("host/network.ini") + dir.Read("host/registry.reg"); };
  const std::string before = host();

  const ProgramRun applied = Start({"Office", "hide"}, std::chrono::seconds(60));
  EXPECT_EQ(applied.exitCode, 0) << applied.err;
  // Today's dump: the static profile kept its gateway.
  const std::string dump = StandIn("netsh -c interface dump");
  EXPECT_NE(dump.find("add route prefix=0.0.0.0/0 interface=\"LAN-Verbindung\" nexthop=10.20.30.1"),
            std::string::npos)
      << dump;
  EXPECT_NE(dump.find("add address name=\"LAN-Verbindung\" address=10.20.31.40 mask=255.255.0.0"),
            std::string::npos);

  // What Get Current reads, as a section of a store: the profile's settings, key for key.
  const ProgramRun current = Start({"--current", "Now"}, std::chrono::seconds(30));
  ASSERT_EQ(current.exitCode, 0) << current.err;
  dir.Write("current.INI", current.out);
  IniFile read(dir.File("current.INI")), stored(dir.File("Lanvoy.INI"));
  ASSERT_EQ(read.ReadSections(), std::vector<std::string>{"Now"});
  for (const char* key : {"LongLANDescription", "DHCP", "IP", "Subnet", "IP2", "Subnet2", "Gateway",
                          "DNS", "DNS2", "WINS", "LongLANDescriptionLan2", "DHCPLan2",
                          "DHCP_DNSLan2", "DNSLan2", "DHCP_WINSLan2", "HostName"})
    EXPECT_EQ(read.ReadString("Now", key, "?"), stored.ReadString("Office", key, "?")) << key;

  const ProgramRun undone = Start({"--undo", "hide"}, std::chrono::seconds(60));
  EXPECT_EQ(undone.exitCode, 0) << undone.err;
  EXPECT_EQ(host(), before);

  // Not kept within a second: undone, exit code 5.
  const ProgramRun reverted =
      Start({"Office", "hide", "--confirm-within", "1"}, std::chrono::seconds(60));
  EXPECT_EQ(reverted.exitCode, 5) << reverted.err;
  EXPECT_EQ(host(), before);
}

// The copy an apply from the window starts with an administrator's rights runs only what it
// was handed and the system's own programs: not the store as another process changed it, not
// a netsh put beside it, not a file swapped or linked by another user while it runs.
TEST_F(ProgramTest, ElevatedCopyRunsOnlyWhatItWasHanded) {
  dir.Write("nosplash", "");
  {
    // The machine, its system programs the stand-ins of the build, not of the program folder.
    test::HostWindows made(windows);
    sim::SimPlatform host(dir.path() / "host");
  }
  // A netsh beside the program that would leave a mark; the store changed behind the window.
  fs::remove(dir.path() / "netsh");  // a link to the build's: not written through
  dir.Write("netsh", "#!/bin/sh\ntouch '" + dir.File("planted") + "'\n");
  fs::permissions(dir.path() / "netsh", fs::perms::owner_all);
  dir.Write("Lanvoy.INI",
            "[Office]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\n"
            "IP=6.6.6.6\r\nSubnet=255.0.0.0\r\nIncludeSript=1\r\n"
            "ScriptLinesCount=1\r\nS1='touch planted'\r\n");
  dir.Write("in.txt",
            "[Office]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\n"
            "IP=10.20.30.40\r\nSubnet=255.255.255.0\r\nGateway=10.20.30.1\r\n"
            "DNS=10.20.30.2\r\n");
  const ProgramRun run = Start({"hide", "--handover", "-"}, std::chrono::seconds(60));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(dir.Read("host/network.ini").find("Address1=10.20.30.40"), std::string::npos);
  EXPECT_FALSE(dir.Exists("planted"));
  EXPECT_NE(dir.Read("Lanvoy.log").find("apply Office: verified"), std::string::npos);
  fs::remove(dir.path() / "in.txt");

  // Another user, who may write the program folder, swaps and links what the copy writes and
  // runs, 20 times.
  if (geteuid() != 0) GTEST_SKIP() << "needs root to be another user";
  const fs::path secret = dir.path().parent_path() / "secret";
  dir.Write("../secret", "only root writes this\n");
  fs::permissions(dir.path(), fs::perms::all);
  for (const char* name : {"Lanvoy.INI", "Lanvoy.log", "Lanvoy.undo"})
    if (dir.Exists(name)) fs::permissions(dir.path() / name, fs::perms::all);
  dir.Write("Lanvoy.INI",
            "[Office]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\n"
            "IP=10.20.30.41\r\nSubnet=255.255.255.0\r\nDNS=10.20.30.2\r\n"
            "IncludeSript=1\r\nScriptLinesCount=1\r\nS1='@exit'\r\n");
  fs::permissions(dir.path() / "Lanvoy.INI", fs::perms::all);
  // The other user: links where the copy writes its history and snapshots, then files
  // swapped in where it hands its scripts over.
  auto attack = [&](bool links) {
    const pid_t attacker = fork();
    if (attacker != 0) return attacker;
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(1);
    const fs::path temp = dir.path() / "host/WINDOWS/Temp";
    for (;;) {
      std::error_code ec;
      for (const char* name : {"Lanvoy.log", "Lanvoy.undo"}) {
        if (!links) break;
        fs::remove(dir.path() / name, ec);
        fs::create_symlink(secret, dir.path() / name, ec);
      }
      for (const auto& folder : fs::directory_iterator(temp, ec))
        for (const char* name : {"tmp.txt", "Script.bat"}) {
          std::ofstream(folder.path() / "swap") << "touch '" << dir.File("planted") << "'\r\n";
          fs::rename(folder.path() / "swap", folder.path() / name, ec);
        }
      usleep(200);
    }
  };
  for (const bool links : {true, false}) {
    const pid_t attacker = attack(links);
    ASSERT_GT(attacker, 0);
    for (int i = 0; i < 20; ++i) {
      const ProgramRun run = Start({"Office", "hide"}, std::chrono::seconds(60));
      // Applied; or, for a link, refused before any change.
      EXPECT_TRUE(run.exitCode == 0 ||
                  (links && run.exitCode == 1 && run.err.find("Lanvoy.undo") != std::string::npos))
          << run.err;
    }
    kill(attacker, SIGKILL);
    waitpid(attacker, nullptr, 0);
    for (const char* name : {"Lanvoy.log", "Lanvoy.undo"})
      if (fs::is_symlink(dir.path() / name)) fs::remove(dir.path() / name);
  }
  EXPECT_EQ(dir.Read("../secret"), "only root writes this\n");
  EXPECT_FALSE(dir.Exists("planted"));
  EXPECT_NE(dir.Read("host/network.ini").find("Address1=10.20.30.41"), std::string::npos);
}

// The store of the command line's guide: a profile with a German name in the ANSI code page,
// and one the checks refuse.
constexpr const char* kGuideStore =
    "[B\xFCro]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=10.20.30.40\r\n"
    "Subnet=255.255.255.0\r\nGateway=10.20.30.1\r\nDNS=10.20.30.2\r\n\r\n"
    "[Kunde]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=0\r\nIP=192.168.7.20\r\n"
    "Subnet=255.255.255.0\r\nGateway=192.168.8.1\r\n";

// Times change from run to run; line ends are CR LF from the program, LF in the guide.
std::string Comparable(std::string text) {
  static const std::regex time("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}");
  text = std::regex_replace(text, time, "TIME");
  return std::regex_replace(text, std::regex("\r\n"), "\n");
}

// Every example of the guide, in its order, on the store it describes: the output exactly,
// and each JSON document parsed back and compared field by field.
TEST_F(ProgramTest, TheCommandLineGuideIsWhatTheProgramPrints) {
  windows = "10";
  dir.Write("Lanvoy.INI", kGuideStore);
  std::ifstream guide(LANVOY_COMMAND_LINE_GUIDE);
  ASSERT_TRUE(guide) << LANVOY_COMMAND_LINE_GUIDE;
  std::vector<std::pair<std::string, std::string>> examples;  // command line, output
  bool inBlock = false;
  for (std::string line; std::getline(guide, line);) {
    if (line == "```console") {
      inBlock = true;
    } else if (inBlock && line == "```") {
      inBlock = false;
    } else if (inBlock && line.rfind("$ Lanvoy ", 0) == 0) {
      examples.emplace_back(line.substr(9), "");
    } else if (inBlock && !examples.empty()) {
      examples.back().second += line + "\n";
    }
  }
  ASSERT_GE(examples.size(), 14u);
  for (const auto& [commandLine, expected] : examples) {
    const ProgramRun run =
        Start(SplitCommandLine(commandLine), std::chrono::seconds(60), "", {"LC_ALL=C.UTF-8"});
    ASSERT_TRUE(run.exitCode) << commandLine;
    EXPECT_EQ(Comparable(run.out), Comparable(expected)) << commandLine << "\n" << run.err;
    if (expected.empty() || expected[0] != '{') continue;
    const auto shown = nlohmann::ordered_json::parse(expected);
    const auto printed = nlohmann::ordered_json::parse(run.out, nullptr, false);
    ASSERT_TRUE(printed.is_object()) << commandLine << ": " << run.out;
    EXPECT_EQ(printed.size(), shown.size()) << commandLine;
    for (const auto& [field, value] : shown.items()) {
      if (field == "lines") continue;  // times
      EXPECT_EQ(printed.value(field, nlohmann::ordered_json()), value)
          << commandLine << ": " << field;
    }
  }
}

// What a script gets for a line it got wrong, an import that must not happen and a store
// moved to another machine.
TEST_F(ProgramTest, ScriptsGetTheUsageARefusedImportChangesNothingAndExportsComeBack) {
  const struct {
    std::vector<std::string> args;
    const char* err;
  } wrong[] = {
      {{"--bogus"}, "Unknown option --bogus."},
      {{"--show"}, "--show needs a profile name."},
      {{"--list", "--show", "Office"}, "give one at a time"},
      {{"--check", "Office", "extra"}, "Unexpected argument \"extra\"."},
      {{"Office", "--json"}, "--json goes with"},
      {{"--import", "x.INI", "--all"}, "--all belongs to --export."},
      {{"--confirm-within", "soon", "Office", "hide"}, "takes a number of seconds"},
  };
  for (const auto& c : wrong) {
    // No window waits: each ends at once with the reason and the usage.
    const ProgramRun run = Start(c.args, std::chrono::seconds(20));
    EXPECT_EQ(run.exitCode, 1) << c.args[0];
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Exit codes:"), std::string::npos) << c.args[0];
    EXPECT_EQ(run.out, "") << c.args[0];
  }
  EXPECT_EQ(Start({"--show", "Nobody"}, std::chrono::seconds(20)).exitCode, 1);

  // Every kind of key, a German name, an unknown key and values that need their quotes.
  const std::string store =
      dir.Read("Lanvoy.INI") +
      "\r\n[Gr\xFC\xDF Gott]\r\nLongLANDescription=Drahtlose Netzwerkverbindung\r\nDHCP=1\r\n"
      "DHCP_DNS=1\r\nLongLANDescriptionLan2=LAN-Verbindung 2\r\nIPLan2=192.168.0.5\r\n"
      "SubnetLan2=255.255.0.0\r\nProxyNotUsed=*.local;intranet\r\nIncludeSript=1\r\n"
      "ScriptLinesCount=2\r\nScriptKind=1\r\nS1=' echo \"hallo\" '\r\nS2='net use'\r\n"
      "ConfirmKeep=1\r\nConfirmSeconds=30\r\nAbteilung=Vertrieb\r\n";
  dir.Write("Lanvoy.INI", store);
  dir.Write("bad.INI", "[Neu]\r\nDHCP=1\r\n\r\n[Office]\r\nIP=10.0.0.300\r\n");
  const ProgramRun refused = Start({"--import", "bad.INI", "--replace"}, std::chrono::seconds(20));
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("Profile \"Office\": IP=10.0.0.300 is no IPv4 address."),
            std::string::npos)
      << refused.err;
  EXPECT_EQ(dir.Read("Lanvoy.INI"), store);

  const ProgramRun exported =
      Start({"--export", "--all", "--to", dir.File("Team Datei.INI")}, std::chrono::seconds(20));
  ASSERT_EQ(exported.exitCode, 0) << exported.err;
  std::filesystem::rename(dir.path() / "Lanvoy.INI", dir.path() / "before.INI");
  const ProgramRun imported = Start({"--import", "Team Datei.INI"}, std::chrono::seconds(20));
  ASSERT_EQ(imported.exitCode, 0) << imported.err;
  EXPECT_NE(imported.err.find("keys Lanvoy does not read are kept: Abteilung."), std::string::npos)
      << imported.err;
  const TProfileStore before(dir.File("before.INI")), after(dir.File("Lanvoy.INI"));
  ASSERT_EQ(after.ProfileNames(), before.ProfileNames());
  for (const std::string& name : before.ProfileNames()) {
    EXPECT_EQ(after.Ini().ReadSectionValues(name), before.Ini().ReadSectionValues(name)) << name;
    EXPECT_EQ(after.LoadProfile(name), before.LoadProfile(name)) << name;
  }
  // Once more: each is there, and skipped unless replaced; a terminal of UTF-8 reads the name.
  const ProgramRun again = Start({"--import", dir.File("Team Datei.INI")}, std::chrono::seconds(20),
                                 "", {"LC_ALL=C.UTF-8"});
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_NE(again.err.find("\"Gr\xC3\xBC\xC3\x9F Gott\" exists already"), std::string::npos)
      << again.err;
}

}  // namespace
}  // namespace lanvoy
