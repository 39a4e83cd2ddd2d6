// Output for the caller's console: the program's 8-bit text is in the ANSI code page, a
// console reads another (OEM on Windows, UTF-8 in a terminal of the simulated host).
#pragma once

#include <cstdint>
#include <ostream>
#include <streambuf>
#include <string>

#include "platform/platform.h"

namespace lanvoy {

// Text in the ANSI code page in the console's code page; unchanged when they are the same.
std::string ConsoleText(platform::System& system, uint32_t consolePage, const std::string& text);

// An ostream whose text goes to target converted, a line at a time (a line of a double-byte
// code page is never cut inside a character), each line ended by CR LF.
class ConsoleStream : public std::ostream {
 public:
  ConsoleStream(std::ostream& target, platform::System& system, uint32_t consolePage);
  ~ConsoleStream() override;

 private:
  class Buffer : public std::streambuf {
   public:
    Buffer(std::ostream& target, platform::System& system, uint32_t page)
        : target_(target), system_(system), page_(page) {}
    int sync() override;
    void Finish();  // what is left, a lone CR too

   protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;

   private:
    std::ostream& target_;
    platform::System& system_;
    uint32_t page_;
    std::string line_;
  };
  Buffer buffer_;
};

}  // namespace lanvoy
