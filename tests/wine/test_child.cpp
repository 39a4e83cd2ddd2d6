// A small console program the process tests start:
//   lanvoy_test_child exit N     ends with exit code N
//   lanvoy_test_child sleep MS   sleeps, then ends with 0
//   lanvoy_test_child print TEXT writes TEXT and CR LF to standard output
//   lanvoy_test_child copy       copies standard input to standard output line by line
//                                until its end
//   lanvoy_test_child many N     writes N bytes "x" to standard output
//   lanvoy_test_child reserved   writes the size of the C runtime's block in its startup
//                                information (cbReserved2)
//   lanvoy_test_child capture FILE COMMAND...
//                                runs the command with its output captured through the
//                                platform's pipes, as the console capture runs it, and
//                                writes the output to FILE
#include "platform/win32/windows_api.h"

#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "win32/win32_test_support.h"

int main(int argc, char** argv) {
  // Bytes pass unchanged: no CR LF translation in either stream.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc == 3 && std::strcmp(argv[1], "exit") == 0) return std::atoi(argv[2]);
  if (argc == 3 && std::strcmp(argv[1], "sleep") == 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "print") == 0) {
    std::fputs(argv[2], stdout);
    std::fputs("\r\n", stdout);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "many") == 0) {
    for (int i = std::atoi(argv[2]); i > 0; --i) std::fputc('x', stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "copy") == 0) {
    // Line by line, each passed on at once, so that a capture sees it while the input
    // stays open.
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, stdin)) {
      std::fputs(buffer, stdout);
      std::fflush(stdout);
    }
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "reserved") == 0) {
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    std::printf("reserved2 %u\r\n", static_cast<unsigned>(startup.cbReserved2));
    return 0;
  }
  if (argc >= 4 && std::strcmp(argv[1], "capture") == 0) {
    std::string commandLine;
    for (int i = 3; i < argc; ++i) {
      const std::string word = argv[i];
      if (i > 3) commandLine += ' ';
      commandLine += word.find(' ') == std::string::npos ? word : lanvoy::test::Quoted(word);
    }
    auto machine = lanvoy::platform::CreatePlatform();
    const lanvoy::test::Captured run = lanvoy::test::RunCaptured(*machine, commandLine);
    std::ofstream(argv[2], std::ios::binary) << run.output;
    return run.started ? 0 : 1;
  }
  std::fputs(
      "usage: lanvoy_test_child exit N | sleep MS | print TEXT | copy | many N | reserved |"
      " capture FILE COMMAND...\n",
      stderr);
  return 2;
}
