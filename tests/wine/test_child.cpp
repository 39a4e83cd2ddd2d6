// A small console program the process tests start:
//   lanvoy_test_child exit N     ends with exit code N
//   lanvoy_test_child sleep MS   sleeps, then ends with 0
//   lanvoy_test_child print TEXT writes TEXT and CR LF to standard output
//   lanvoy_test_child copy       copies standard input to standard output line by line
//                                until its end
//   lanvoy_test_child many N     writes N bytes "x" to standard output
#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

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
  std::fputs("usage: lanvoy_test_child exit N | sleep MS | print TEXT | copy | many N\n", stderr);
  return 2;
}
