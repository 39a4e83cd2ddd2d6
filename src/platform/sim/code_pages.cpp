// The simulated host converts with the C library's iconv; a code page iconv does not know
// keeps only ASCII.
#include "platform/code_pages.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <cerrno>
#include <string>

namespace lanvoy::sim {

namespace {

// iconv's name of a Windows code page.
std::string IconvName(uint32_t codePage) {
  switch (codePage) {
    case 65001:
      return "UTF-8";
    case 20127:
      return "ASCII";
    case 20866:
      return "KOI8-R";
    case 21866:
      return "KOI8-U";
    default:
      if (codePage >= 28591 && codePage <= 28606)
        return "ISO-8859-" + std::to_string(codePage - 28590);
      return "CP" + std::to_string(codePage);
  }
}

// The bytes of the UTF-8 sequence at the front of text (at least one), so that a character
// that cannot be converted is skipped whole.
std::size_t SequenceLength(std::string_view text) {
  std::size_t n = 1;
  while (n < text.size() && n < 4 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) ++n;
  return n;
}

// Where a byte or character fails, "?" stands in its place and the input goes on behind
// it (one byte, or a whole UTF-8 sequence). Without a converter ASCII passes alone.
std::string Convert(std::string_view text, const std::string& from, const std::string& to,
                    bool utf8Input) {
  std::string out;
  const iconv_t cd = iconv_open(to.c_str(), from.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    for (std::size_t i = 0; i < text.size();) {
      if (static_cast<unsigned char>(text[i]) < 0x80) {
        out += text[i++];
      } else {
        out += '?';
        i += utf8Input ? SequenceLength(text.substr(i)) : 1;
      }
    }
    return out;
  }
  std::string buffer(64 + text.size() * 4, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  for (;;) {
    char* o = buffer.data();
    std::size_t oLeft = buffer.size();
    const std::size_t result = iconv(cd, &in, &inLeft, &o, &oLeft);
    const int error = errno;
    out.append(buffer.data(), buffer.size() - oLeft);
    if (result != static_cast<std::size_t>(-1)) break;
    if (error == E2BIG) continue;
    out += '?';
    const std::size_t skip = utf8Input ? SequenceLength({in, inLeft}) : 1;
    in += skip;
    inLeft -= skip;
  }
  iconv_close(cd);
  return out;
}

}  // namespace

bool LocaleIsUtf8() {
  // The environment's locale without making it the process's: only this question asks it.
  const locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
  if (!locale) return false;
  const std::string codeset = nl_langinfo_l(CODESET, locale);
  freelocale(locale);
  return codeset == "UTF-8";
}

bool IsUtf8(std::string_view text) {
  bool wide = false;
  for (char c : text) wide = wide || static_cast<unsigned char>(c) >= 0x80;
  // iconv marks each malformed byte, so well-formed text converts into itself.
  return wide && Convert(text, "UTF-8", "UTF-8", false) == text;
}

}  // namespace lanvoy::sim

namespace lanvoy::platform {

std::string CodePageToUtf8(std::string_view text, uint32_t codePage) {
  return sim::Convert(text, sim::IconvName(codePage), "UTF-8", false);
}

std::string Utf8ToCodePage(std::string_view utf8, uint32_t codePage) {
  return sim::Convert(utf8, "UTF-8", sim::IconvName(codePage), true);
}

}  // namespace lanvoy::platform
