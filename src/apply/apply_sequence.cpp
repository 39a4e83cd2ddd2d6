#include "apply/apply_sequence.h"

#include <thread>

#include "apply/hosts_file.h"
#include "apply/mail_servers.h"
#include "apply/netsh_script.h"
#include "apply/printer_computer.h"
#include "apply/profile_script.h"
#include "apply/proxy_settings.h"
#include "base/error.h"
#include "base/files.h"
#include "base/strings.h"
#include "components/appexec.h"

namespace lanvoy {

std::vector<std::string> NetshErrorLines(const std::string& output) {
  std::vector<std::string> errors;
  for (const std::string& line : SplitLines(output)) {
    std::string text = Trim(line);
    // What netsh says after a change: XP's "Ok.", and "wlan connect"'s answer.
    if (!text.empty() && text != "Ok." && text != "Connection request was completed successfully.")
      errors.push_back(text);
  }
  return errors;
}

namespace {

// Closes the progress window and restores the cursor however the stages end.
class StageGuard {
 public:
  explicit StageGuard(ApplyObserver& observer) : observer_(observer) {
    observer_.SetBusyCursor(true);
  }
  ~StageGuard() {
    observer_.ProgressClose();
    observer_.SetBusyCursor(false);
  }
  StageGuard(const StageGuard&) = delete;
  StageGuard& operator=(const StageGuard&) = delete;

 private:
  ApplyObserver& observer_;
};

// The script, made new in a scratch folder of this apply that nobody else may enter, and
// netsh run on it while the folder holds it.
void RunNetsh(const std::vector<std::string>& script, ApplyContext& ctx, ApplyOutcome& outcome) {
  std::string why;
  std::unique_ptr<platform::ScratchFolder> folder = ctx.platform.system().MakeScratchFolder(why);
  const std::string scriptPath = (folder ? folder->Path() : std::string()) + kNetshScriptFile;
  if (!folder || !folder->Create(kNetshScriptFile, NetshScriptText(script)))
    throw EFCreateError(scriptPath + (why.empty() ? "" : " (" + why + ")"));
  TAppExec& netsh = ctx.netshExe;
  netsh.SetExeParams({"-f \"" + scriptPath + "\""});
  // What netsh says about the script is collected, so a rejected line is not taken for success.
  netsh.SetCaptureOutput(netsh.Wait());
  netsh.Execute();
  outcome.netshWaited = netsh.Wait();
  if (outcome.netshWaited) {
    outcome.netshExitCode = netsh.ExitCode();
    outcome.netshOutput = netsh.Output();
    outcome.netshErrors = NetshErrorLines(outcome.netshOutput);
  } else {
    folder->Keep();  // netsh runs on without being waited for (debug mode)
  }
}

// What the stage did, as its last result tells; a stage the profile leaves out is skipped.
void Record(ApplyOutcome& outcome, const char* stage, bool included, const std::string& failure) {
  outcome.stages.push_back({stage,
                            !included         ? "skipped"
                            : failure.empty() ? "done"
                                              : "failed",
                            included ? failure : ""});
}

std::string LastProblemSince(const ApplyOutcome& outcome, size_t count) {
  return outcome.stageProblems.size() > count ? outcome.stageProblems.back() : "";
}

// netsh's stage: failed when it refused lines or ended with an error.
void RecordNetsh(ApplyOutcome& outcome) {
  if (!outcome.netshWaited) {
    outcome.stages.push_back({"network", "not waited for", ""});
    return;
  }
  std::string failure;
  if (!outcome.netshErrors.empty())
    failure = "netsh refused " + std::to_string(outcome.netshErrors.size()) + " line(s)";
  else if (outcome.netshExitCode != 0)
    failure = "netsh ended with exit code " + std::to_string(outcome.netshExitCode);
  Record(outcome, "network", true, failure);
}

}  // namespace

void SetDnsSuffixes(platform::Platform& platform,
                    const std::vector<std::pair<std::string, std::string>>& suffixes,
                    ApplyOutcome& outcome) {
  if (suffixes.empty()) return;
  const size_t problems = outcome.stageProblems.size();
  for (const auto& [connection, suffix] : suffixes) {
    try {
      platform.network().SetDnsSuffix(connection, suffix);
    } catch (const std::exception& e) {
      outcome.stageProblems.push_back(e.what());
    }
  }
  Record(outcome, "dns suffix", true, LastProblemSince(outcome, problems));
}

namespace {

void RunStages(const ProfileRecord& p, bool show, ApplyContext& ctx, ApplyOutcome& outcome) {
  ApplyObserver& ui = ctx.observer;
  platform::Platform& platform = ctx.platform;
  auto pause = [&] {
    if (ctx.pause.count() > 0) std::this_thread::sleep_for(ctx.pause);
  };
  // Each stage's work touches no window: the window answers while it runs.
  auto stage = [&](int position, const char* label, const std::function<void()>& work) {
    ui.ProgressStage(position, label, show);
    ui.RunAnswering(work);
  };

  ui.ProgressRange(1, 5);
  ui.ProgressStage(1, "Applying network settings", show);
  RunNetsh(BuildNetshScript(p, ctx.netsh), ctx, outcome);
  RecordNetsh(outcome);
  if (ctx.netsh.ipv4Grammar) {
    std::vector<std::pair<std::string, std::string>> suffixes;
    for (const ConnectionSettings& c : ConnectionsOf(p))
      if (!c.LongLANDescription.empty() && !c.DNSSuffix.empty())
        suffixes.emplace_back(c.LongLANDescription, c.DNSSuffix);
    SetDnsSuffixes(platform, suffixes, outcome);
  }

  bool windows5 = false;
  stage(2, "Processing proxy/ Outlook Express account settings", [&] {
    pause();
    // Written at every apply, so that a profile with the proxy off switches it off.
    WriteProxySettings(platform.registry(), p.Proxy, p.ProxyPort, SplitLines(p.ProxyNotUsed),
                       p.ProxyNoLocal, p.EnableProxy);
    windows5 = platform.system().WindowsVersion().Windows5();
    // Later Windows keep no proxy they read once: running programs are told.
    if (!windows5) platform.system().InternetSettingsChanged();
    Record(outcome, "proxy", true, "");
    const size_t problems = outcome.stageProblems.size();
    if (p.IncludeOLExp) {
      if (!windows5 && !MailAccountExists(platform.registry()))
        outcome.stageProblems.push_back(kNoMailAccountMessage);
      else
        WriteMailServers(platform.registry(), p.OLEXPIMAP, p.OLEXPSMTP, p.OLEXPPOP);
    }
    Record(outcome, "mail", p.IncludeOLExp, LastProblemSince(outcome, problems));
  });

  stage(3, "Processing Host file modification/ script execution", [&] {
    if (p.IncludeHostModification) {
      try {
        WriteHostsFile(platform.system(), ctx.windowsDirectory, p.Hosts);
      } catch (const std::exception& e) {
        // A locked hosts file must not stop the later stages.
        outcome.hostsError = e.what();
      }
    }
    Record(outcome, "hosts", p.IncludeHostModification, outcome.hostsError);
    if (p.IncludeSript) RunProfileScript(platform, p.ScriptLines, p.ScriptKind);
    Record(outcome, "script", p.IncludeSript, "");
    pause();
  });

  stage(4, "Processing default printer", [&] {
    pause();
    const size_t problems = outcome.stageProblems.size();
    if (p.IncludeDefPrint) {
      if (windows5)
        SetDefaultPrinter(platform, p.DefPrinter);
      else if (!platform.printers().SetDefault(p.DefPrinter))
        outcome.stageProblems.push_back("Windows did not make \"" + p.DefPrinter +
                                        "\" the default printer: it is not installed here.");
    }
    Record(outcome, "printer", p.IncludeDefPrint, LastProblemSince(outcome, problems));
  });

  stage(5, "Processing computer name", [&] {
    pause();
    const size_t problems = outcome.stageProblems.size();
    if (p.IncludeHostName) {
      std::string refused;
      if (windows5)
        WriteComputerName(platform.registry(), p.HostName);
      else if (!platform.system().SetComputerName(p.HostName, refused))
        outcome.stageProblems.push_back("Windows refused the computer name \"" + p.HostName +
                                        "\": " + refused + ".");
    }
    Record(outcome, "computer name", p.IncludeHostName, LastProblemSince(outcome, problems));
  });
  if (ctx.afterStages) ctx.afterStages(show);
}

}  // namespace

ApplyOutcome RunNetshScript(const std::vector<std::string>& script, ApplyContext& ctx) {
  ApplyOutcome outcome;
  RunNetsh(script, ctx, outcome);
  RecordNetsh(outcome);
  return outcome;
}

ApplyOutcome ApplyProfile(const ProfileRecord& profile, bool showProgress, ApplyContext& ctx) {
  ApplyOutcome outcome;
  {
    StageGuard guard(ctx.observer);
    RunStages(profile, showProgress, ctx, outcome);
  }
  if (ctx.closingNotice) {
    try {
      ClosingNotice(profile, ctx.platform, ctx.observer);
    } catch (...) {
      // The closing notice never turns a finished apply into a failure.
    }
  }
  return outcome;
}

void ClosingNotice(const ProfileRecord& profile, platform::Platform& platform,
                   ApplyObserver& observer) {
  if (IsMailClientRunning(platform.system()) && (profile.EnableProxy || profile.IncludeOLExp))
    observer.ShowMailClientWarning(kMailClientWarning);
  else
    observer.RunBrowserRestartNotice();
}

}  // namespace lanvoy
