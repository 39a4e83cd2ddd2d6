#include "apply/elevated_apply.h"

#include "apply/apply_session.h"
#include "profiles/profile_store.h"

namespace lanvoy {

bool AppliesElevated(platform::System& system) {
  return !system.Elevated();
}

std::string ElevatedApplyParameters() {
  return "hide";
}

ElevatedApplyReport ApplyElevated(platform::Shell& shell, const std::string& exePath,
                                  const std::string& profile, const ProfileRecord& record) {
  const std::string quoted = "\"" + profile + "\"";
  const platform::Shell::ElevatedRun run = shell.RunElevated(
      exePath, ElevatedApplyParameters(), TProfileStore::SectionText(profile, record));
  ElevatedApplyReport report;
  if (run.refused) {
    report.message = "Windows did not give the administrator's permission. The profile " + quoted +
                     " was not applied; nothing was changed.";
    return report;
  }
  if (!run.started) {
    report.message = "Lanvoy could not start itself as administrator (system error " +
                     std::to_string(run.error) + "). The profile " + quoted +
                     " was not applied; nothing was changed.";
    return report;
  }
  report.changed = run.exitCode != kExitRefused;
  report.applied = run.exitCode == kExitApplied;
  const std::string code = " (exit code " + std::to_string(run.exitCode) + ")";
  switch (run.exitCode) {
    case kExitApplied:
      report.message = "The profile " + quoted + " was applied as administrator.";
      break;
    case kExitApplyFailed:
      report.message = "Applying the profile " + quoted +
                       " as administrator failed: a stage raised an error and the later "
                       "stages were skipped" +
                       code + ".";
      break;
    case kExitNetshErrors:
      report.message = "The profile " + quoted +
                       " was applied as administrator, but netsh did not accept all network "
                       "settings or the hosts file could not be written" +
                       code + ".";
      break;
    case kExitNotInPlace:
      report.message = "The profile " + quoted +
                       " was applied as administrator, but not every setting is in place" + code +
                       ".";
      break;
    case kExitRefused:
      report.message = "The checks of the profile " + quoted +
                       " found errors: nothing was changed" + code +
                       ". Mend the profile, or apply it anyway from the command line with "
                       "--force.";
      break;
    case kExitReverted:
      report.message = "The profile " + quoted +
                       " was applied as administrator, then undone: it was not kept in time" +
                       code + ".";
      break;
    default:
      report.message =
          "Lanvoy, applying the profile " + quoted + " as administrator, ended" + code + ".";
  }
  return report;
}

}  // namespace lanvoy
