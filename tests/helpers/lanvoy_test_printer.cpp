// A console program for the capture tests: prints what its arguments ask for, slowly if
// wanted, and then ends with a chosen exit code or sleeps until it is ended.
//
//   --lines N       print "line 1" .. "line N", each ended by CR LF (by LF with --lf)
//   --delay-ms D    wait D ms before each line
//   --text T        print T raw; \r, \n, \0 and \\ are unescaped
//   --partial T     print T at the end, with no line end
//   --sleep-ms S    wait S ms before printing anything
//   --long-line N   print N bytes "x" with no line end, 64 KiB at a time, 1 ms apart
//   --echo          copy standard input to standard output, line by line, until it ends
//   --exit C        end with exit code C
//   --forever       sleep until ended from outside
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == '0' ? '\0' : c;
  }
  return out;
}

void Put(const std::string& bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  long lines = 0;
  long delayMs = 0;
  long sleepMs = 0;
  int exitCode = 0;
  bool lf = false;
  bool echo = false;
  bool forever = false;
  std::string text;
  std::string partial;
  long longLine = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--lines" && hasValue) {
      lines = std::atol(argv[++i]);
    } else if (arg == "--delay-ms" && hasValue) {
      delayMs = std::atol(argv[++i]);
    } else if (arg == "--sleep-ms" && hasValue) {
      sleepMs = std::atol(argv[++i]);
    } else if (arg == "--text" && hasValue) {
      text = Unescape(argv[++i]);
    } else if (arg == "--partial" && hasValue) {
      partial = Unescape(argv[++i]);
    } else if (arg == "--long-line" && hasValue) {
      longLine = std::atol(argv[++i]);
    } else if (arg == "--exit" && hasValue) {
      exitCode = std::atoi(argv[++i]);
    } else if (arg == "--lf") {
      lf = true;
    } else if (arg == "--echo") {
      echo = true;
    } else if (arg == "--forever") {
      forever = true;
    } else {
      std::fprintf(stderr, "unknown argument %s\n", arg.c_str());
      return 64;
    }
  }

  if (sleepMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
  if (!text.empty()) Put(text);
  const std::string end = lf ? "\n" : "\r\n";
  std::string block;
  for (long n = 1; n <= lines; ++n) {
    if (delayMs > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
      Put("line " + std::to_string(n) + end);
    } else {
      block += "line " + std::to_string(n) + end;
      if (block.size() >= 4096) {
        Put(block);
        block.clear();
      }
    }
  }
  Put(block);
  if (echo) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, stdin) != nullptr) Put(buffer);
  }
  for (long left = longLine; left > 0; left -= 65536) {
    Put(std::string(static_cast<size_t>(left < 65536 ? left : 65536), 'x'));
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!partial.empty()) {
    if (delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    Put(partial);
  }
  while (forever) std::this_thread::sleep_for(std::chrono::seconds(1));
  return exitCode;
}
