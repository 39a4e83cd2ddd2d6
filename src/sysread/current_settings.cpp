#include "sysread/current_settings_reader.h"

#include "apply/hosts_file.h"
#include "apply/mail_servers.h"
#include "apply/printer_computer.h"
#include "apply/proxy_settings.h"
#include "base/error.h"
#include "base/files.h"
#include "base/strings.h"
#include "components/appexec.h"
#include "sysread/connections.h"
#include "sysread/dump_parser.h"

namespace lanvoy {

std::string DumpBatchLine(const std::string& dumpFile) {
  return "netsh.exe -c interface dump >\"" + dumpFile + "\"";
}

TNetworkInfoSet ReadInterfaceDump(ReadContext& ctx) {
  platform::System& system = ctx.platform.system();
  const std::string batch = ctx.programDirectory + kDumpBatchFile;
  const std::string dump = ctx.programDirectory + kDumpOutputFile;
  WriteTextLines(system.NativePath(batch), {DumpBatchLine(dump)}, Durability::kLazy);
  // Quoted: unquoted, a blank in the program folder's path ("C:\Program Files\...") makes
  // the system start "C:\Program" first.
  ctx.tempBat.SetExeName("\"" + batch + "\"");
  ctx.tempBat.SetExeParams({});
  ctx.tempBat.Execute();

  auto bytes = ReadFileBytes(system.NativePath(dump));
  DeleteFileAt(system.NativePath(dump));
  DeleteFileAt(system.NativePath(batch));
  if (!bytes) throw EFOpenError(dump);
  return ParseInterfaceDump(SplitLines(*bytes));
}

void ReadCurrentSettings(ReadContext& ctx, CurrentSettingsSink& sink) {
  platform::Platform& platform = ctx.platform;
  platform::System& system = platform.system();

  sink.ClearInputFields();
  sink.ShowConnections({});

  sink.ShowProxy(ReadProxySettings(platform.registry()));
  if (auto mail = ReadMailServers(platform.registry())) sink.ShowMail(*mail);
  sink.ShowComputerName(ReadComputerName(platform.registry()));
  std::vector<std::string> problems;
  TNetworkInfoSet table = ReadConnections(ctx, &problems);

  if (auto printer = CurrentDefaultPrinter(platform.printers())) sink.ShowDefaultPrinter(*printer);
  sink.ShowHosts(FillHostsGrid(ReadHostsFile(system, ctx.windowsDirectory)));
  sink.ShowConnections(table);
  if (!problems.empty()) sink.ShowProblems(problems);
}

}  // namespace lanvoy
