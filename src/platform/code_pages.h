// 8-bit text in a Windows code page to UTF-8 and back, as this machine converts it (what
// System::ToUtf8 and FromUtf8 do, for code that has no platform at hand); implemented by
// each backend. A character the other side lacks becomes "?".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lanvoy::platform {

std::string CodePageToUtf8(std::string_view text, uint32_t codePage);
std::string Utf8ToCodePage(std::string_view utf8, uint32_t codePage);

}  // namespace lanvoy::platform
