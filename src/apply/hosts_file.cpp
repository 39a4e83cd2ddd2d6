#include "apply/hosts_file.h"

#include "base/error.h"
#include "base/files.h"
#include "base/strings.h"

namespace lanvoy {

std::string HostsFilePath(const std::string& windowsDirectory) {
  return windowsDirectory + "\\system32\\drivers\\etc\\" + "hosts";
}

std::vector<std::string> HostsFileLines(const std::vector<HostRow>& rows) {
  std::vector<std::string> lines;
  for (const HostRow& row : rows)
    if (auto line = HostsLineOf(row)) lines.push_back(std::move(*line));
  return lines;
}

void WriteHostsFile(platform::System& system, const std::string& windowsDirectory,
                    const std::vector<HostRow>& rows) {
  const std::string path = HostsFilePath(windowsDirectory);
  const std::string native = system.NativePath(path);
  const std::string bytes = JoinLines(HostsFileLines(rows));
  if (WriteFileAtomic(native, bytes)) return;
  // A folder that refuses new files may still let the file itself be rewritten; never a
  // new one made that way, never half of it.
  if (!FileExists(native) || FolderTakesNewFiles(native) || !WriteFileDirect(native, bytes))
    throw EFCreateError(path);
}

std::vector<std::string> ReadHostsFile(platform::System& system,
                                       const std::string& windowsDirectory) {
  const std::string path = HostsFilePath(windowsDirectory);
  auto bytes = ReadFileBytes(system.NativePath(path));
  if (!bytes) throw EFOpenError(path);
  return SplitLines(*bytes);
}

}  // namespace lanvoy
