#include "sysread/current_settings_reader.h"

#include "apply/hosts_file.h"
#include "apply/mail_servers.h"
#include "apply/printer_computer.h"
#include "apply/proxy_settings.h"
#include "base/error.h"
#include "base/files.h"
#include "base/strings.h"
#include "components/appexec.h"
#include "components/sys_info.h"
#include "sysread/connections.h"
#include "sysread/dump_parser.h"

namespace lanvoy {

TNetworkInfoSet ReadInterfaceDump(ReadContext& ctx) {
  // The system's netsh, its dump read through the capture's pipe: no file lies between the
  // two that another process could change.
  TAppExec& netsh = ctx.tempBat;
  netsh.SetExeName(SystemProgram(ctx.platform.system(), "netsh.exe"));
  netsh.SetExeParams({"-c interface dump"});
  netsh.SetCaptureOutput(true);
  netsh.Execute();
  return ParseInterfaceDump(SplitLines(netsh.Output()));
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
  // A profile keeps a gateway metric only where it is not the default: Windows' automatic
  // one (0) and 1 leave the key out. Windows 5's dump sets nothing of the newer settings.
  for (TNetworkInfo& c : table)
    if (c.GatewayMetric == "0" || c.GatewayMetric == "1" ||
        UsesInterfaceDump(system.WindowsVersion()))
      c.GatewayMetric.clear();

  if (auto printer = CurrentDefaultPrinter(platform.printers())) sink.ShowDefaultPrinter(*printer);
  sink.ShowHosts(FillHostsGrid(ReadHostsFile(system, ctx.windowsDirectory)));
  sink.ShowConnections(table);
  if (!problems.empty()) sink.ShowProblems(problems);
}

}  // namespace lanvoy
