// Applying the profile shown in the window: the five stages, each told to the progress
// window, then the closing notice.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "apply/netsh_script.h"
#include "platform/platform.h"
#include "profiles/profile_record.h"

namespace lanvoy {

class TAppExec;

inline constexpr const char* kMailClientWarning =
    "Your Internet settings have been modified as well. \r\nYou need to restart Outlook Express "
    "to accept the new settings.";

// What the window shows while and after an apply.
class ApplyObserver {
 public:
  virtual ~ApplyObserver() = default;
  virtual void SetBusyCursor(bool busy) = 0;
  // The bar's maximum, then its minimum.
  virtual void ProgressRange(int minimum, int maximum) = 0;
  // Position and label of a stage; the window made visible and brought to the front, or
  // hidden; then repainted at once.
  virtual void ProgressStage(int position, const std::string& label, bool visible) = 0;
  virtual void ProgressClose() = 0;
  // The closing notice: the mail program's warning (OK only), or the restart-your-browser
  // dialog, which shows itself unless the user has silenced it.
  virtual void ShowMailClientWarning(const std::string& text) = 0;
  virtual void RunBrowserRestartNotice() = 0;
  // Runs work, which touches no window, while the windows keep painting and the main window
  // takes no input, so that a slow netsh never leaves it unanswered; raises what work raised.
  virtual void RunAnswering(const std::function<void()>& work) { work(); }
};

// The pause in each of stages 2 to 5, so that the progress window can be read.
inline constexpr std::chrono::milliseconds kStagePause{500};

struct ApplyContext {
  platform::Platform& platform;
  std::string programDirectory;  // with its trailing separator
  std::string windowsDirectory;
  TAppExec& netshExe;
  ApplyObserver& observer;
  std::chrono::milliseconds pause = kStagePause;
  // The netsh the script is written for.
  NetshTarget netsh = {};
  // The closing notice after the stages; off where the caller gives it later (after the
  // question whether to keep the settings).
  bool closingNotice = true;
  // Runs after the last stage, while the progress window is still shown (the check that
  // the settings are in place).
  std::function<void(bool showProgress)> afterStages = nullptr;
};

// What one stage did: "done", "skipped" (the profile leaves it out), "failed" (with why), or
// "not waited for" (netsh in debug mode).
struct StageResult {
  std::string stage;
  std::string outcome;
  std::string message;
  bool operator==(const StageResult&) const = default;
};

// What netsh made of the script. Known only when netsh was waited for (not in debug mode).
struct ApplyOutcome {
  std::vector<StageResult> stages;  // in the order they ran
  bool netshWaited = false;
  uint32_t netshExitCode = 0;
  std::string netshOutput;
  std::vector<std::string> netshErrors;  // what netsh printed other than "Ok."
  std::string hostsError;                // the swallowed error of the hosts stage, if any
  // What a later stage could not do on Vista and later, where Windows says so (no mail
  // account, a printer or computer name Windows refused).
  std::vector<std::string> stageProblems;
  bool NetshSucceeded() const {
    return !netshWaited || (netshExitCode == 0 && netshErrors.empty());
  }
};

inline constexpr const char* kNetshScriptFile = "tmp.txt";

// The lines of netsh's output that report a problem.
std::vector<std::string> NetshErrorLines(const std::string& output);

// Runs the stages in order. A failure that stops the sequence (the script cannot be written,
// netsh cannot be started, the proxy, mail or computer-name writer fails) is raised after the
// progress window is closed. The netsh script lives in a scratch folder of the apply's own
// (platform::ScratchFolder), gone when netsh has read it.
ApplyOutcome ApplyProfile(const ProfileRecord& profile, bool showProgress, ApplyContext& context);

// The closing notice: the mail program's warning, or the restart-your-browser dialog.
void ClosingNotice(const ProfileRecord& profile, platform::Platform& platform,
                   ApplyObserver& observer);

// Sets each connection's own DNS suffix (connection, suffix), which netsh cannot; what
// Windows refuses goes to the outcome's stage problems, and the step to its stages.
void SetDnsSuffixes(platform::Platform& platform,
                    const std::vector<std::pair<std::string, std::string>>& suffixes,
                    ApplyOutcome& outcome);

// Runs netsh on the script as stage 1 does.
ApplyOutcome RunNetshScript(const std::vector<std::string>& script, ApplyContext& context);

}  // namespace lanvoy
