#include "app/console_stream.h"

namespace lanvoy {

namespace {

constexpr uint32_t kUtf8Page = 65001;

// Every line ended by CR LF, as the store's text already is and the console's is.
std::string WindowsLines(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

}  // namespace

std::string ConsoleText(platform::System& system, uint32_t consolePage, const std::string& text) {
  const uint32_t ansi = system.AnsiCodePage();
  if (consolePage == 0 || consolePage == ansi) return text;
  const std::string utf8 = system.ToUtf8(text, ansi);
  return consolePage == kUtf8Page ? utf8 : system.FromUtf8(utf8, consolePage);
}

ConsoleStream::ConsoleStream(std::ostream& target, platform::System& system, uint32_t page)
    : std::ostream(&buffer_), buffer_(target, system, page) {}

ConsoleStream::~ConsoleStream() {
  buffer_.pubsync();
  buffer_.Finish();
}

void ConsoleStream::Buffer::Finish() {
  if (!line_.empty()) target_ << ConsoleText(system_, page_, line_) << std::flush;
  line_.clear();
}

int ConsoleStream::Buffer::sync() {
  // A CR waits for the LF that may follow it.
  const size_t keep = !line_.empty() && line_.back() == '\r' ? 1 : 0;
  if (line_.size() > keep)
    target_ << ConsoleText(system_, page_, WindowsLines(line_.substr(0, line_.size() - keep)));
  line_.erase(0, line_.size() - keep);
  target_.flush();
  return target_ ? 0 : -1;
}

ConsoleStream::Buffer::int_type ConsoleStream::Buffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char ch = traits_type::to_char_type(c);
  xsputn(&ch, 1);
  return c;
}

std::streamsize ConsoleStream::Buffer::xsputn(const char* s, std::streamsize n) {
  line_.append(s, static_cast<size_t>(n));
  const size_t end = line_.rfind('\n');
  if (end != std::string::npos) {
    target_ << ConsoleText(system_, page_, WindowsLines(line_.substr(0, end + 1)));
    line_.erase(0, end + 1);
  }
  return n;
}

}  // namespace lanvoy
