// Runs a list of INI operations through Windows' own private profile functions and writes
// one result line per read, so that the differential test can hold our INI layer against
// them. Usage: lanvoy_ini_oracle <operations file> <results file>
//
// An operation is one line, fields separated by the unit separator (0x1F):
//   W file section key value   WritePrivateProfileStringA
//   D file section key         WritePrivateProfileStringA with no value (deletes the key)
//   E file section             WritePrivateProfileStringA with no key (erases the section)
//   R file section key default GetPrivateProfileStringA, 2048-byte buffer -> the value
//   I file section key default GetPrivateProfileIntA -> the number
//   S file                     GetPrivateProfileSectionNamesA, 16384 bytes -> names
//   K file section             GetPrivateProfileStringA with no key, 16384 bytes -> names
// Lists are written with the record separator (0x1E) between names.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = line.find('\x1f', start);
    fields.push_back(
        line.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return fields;
    start = end + 1;
  }
}

// A double-NUL-terminated list as the profile functions return it.
std::string JoinList(const std::vector<char>& buffer, DWORD length) {
  std::string joined;
  std::size_t i = 0;
  while (i < length && buffer[i] != '\0') {
    std::string name(&buffer[i]);
    if (!joined.empty()) joined += '\x1e';
    joined += name;
    i += name.size() + 1;
  }
  return joined;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: lanvoy_ini_oracle <operations file> <results file>\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  if (!in || !out) {
    std::cerr << "cannot open the operations or the results file\n";
    return 2;
  }
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::vector<std::string> f = Fields(line);
    const std::string& op = f[0];
    const char* file = f.size() > 1 ? f[1].c_str() : "";
    if (op == "W" && f.size() == 5) {
      WritePrivateProfileStringA(f[2].c_str(), f[3].c_str(), f[4].c_str(), file);
    } else if (op == "D" && f.size() == 4) {
      WritePrivateProfileStringA(f[2].c_str(), f[3].c_str(), nullptr, file);
    } else if (op == "E" && f.size() == 3) {
      WritePrivateProfileStringA(f[2].c_str(), nullptr, nullptr, file);
    } else if (op == "R" && f.size() == 5) {
      std::vector<char> buffer(2048);
      DWORD n = GetPrivateProfileStringA(f[2].c_str(), f[3].c_str(), f[4].c_str(), buffer.data(),
                                         static_cast<DWORD>(buffer.size()), file);
      out << std::string(buffer.data(), n) << '\n';
    } else if (op == "I" && f.size() == 5) {
      UINT n = GetPrivateProfileIntA(f[2].c_str(), f[3].c_str(), std::stoi(f[4]), file);
      out << static_cast<int>(n) << '\n';
    } else if (op == "S" && f.size() == 2) {
      std::vector<char> buffer(16384);
      DWORD n =
          GetPrivateProfileSectionNamesA(buffer.data(), static_cast<DWORD>(buffer.size()), file);
      out << JoinList(buffer, n) << '\n';
    } else if (op == "K" && f.size() == 3) {
      std::vector<char> buffer(16384);
      DWORD n = GetPrivateProfileStringA(f[2].c_str(), nullptr, "", buffer.data(),
                                         static_cast<DWORD>(buffer.size()), file);
      out << JoinList(buffer, n) << '\n';
    } else {
      std::cerr << "unknown operation: " << line << '\n';
      return 2;
    }
  }
  out.flush();
  return out ? 0 : 1;
}
