// The commands of the command line that end without a window (--list, --show, --export,
// --import, --history, --check) and the JSON documents of --json.
#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "apply/apply_session.h"
#include "apply/preflight.h"
#include "apply/safe_apply.h"
#include "profiles/profile_store.h"

namespace lanvoy {

using Json = nlohmann::ordered_json;

// Where a command's output goes.
struct CommandOutput {
  std::ostream& out;    // results, in the console's code page
  std::ostream& store;  // text as the store holds it (an export), bytes as they are
  std::ostream& err;    // messages, in the console's code page
  // The program's 8-bit text in UTF-8, for JSON.
  std::function<std::string(const std::string&)> utf8;
};

// One document, every character beyond ASCII escaped: it reads the same in any code page.
void PrintJson(std::ostream& out, const Json& document);

// The stored name of a profile given in any letter case; nullopt, said on err, when the
// store has none.
std::optional<std::string> StoredName(const TProfileStore& store, const std::string& name,
                                      std::ostream& err);

int ListProfiles(const TProfileStore& store, bool json, CommandOutput& io);
int ShowProfile(const TProfileStore& store, const std::string& name, bool json, CommandOutput& io);
// To the file `to` in one write, or to the store stream without one.
int ExportProfiles(const TProfileStore& store, std::vector<std::string> names, bool all,
                   const std::string& to, CommandOutput& io);
int ShowHistory(const ApplyHistory& history, size_t lines, bool json, CommandOutput& io);
// --check's result: 0 without errors, kExitRefused with.
int PrintCheck(const std::string& name, const std::vector<Finding>& findings, bool json,
               CommandOutput& io);

// What an import would do with a file's profiles; nothing is written until Write.
struct ImportPlan {
  std::vector<std::pair<std::string, IniFile::Entries>> sections;  // to be written
  std::vector<std::string> replaced;  // names of sections that take a stored one's place
  std::vector<std::string> errors;    // any one refuses the whole file
  std::vector<std::string> warnings, skipped;
};
ImportPlan PlanImport(const TProfileStore& store, const std::string& file, bool replace);
int ImportProfiles(TProfileStore& store, const std::string& file, bool replace, CommandOutput& io);

// --current as JSON: the section's keys as the store would read them, and what could not be
// read.
Json CurrentJson(const std::string& name, const ProfileRecord& record,
                 const std::vector<std::string>& problems, CommandOutput& io);

// An unattended apply or undo as --json gives it.
struct ApplyRun {
  std::string command;  // "apply" or "undo"
  std::string profile;
  int exitCode = 0;
  std::optional<ApplyReport> report;  // none when it stopped with an error
  std::string error;
  int confirmWithin = 0;  // seconds given to --keep, 0 without
  bool kept = false;
  std::optional<ApplyReport> undone;  // the undo of an apply not kept in time
};
Json ApplyJson(const ApplyRun& run, CommandOutput& io);

}  // namespace lanvoy
