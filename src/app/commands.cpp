#include "app/commands.h"

#include <algorithm>
#include <string_view>
#include <type_traits>

#include "app/startup.h"
#include "base/files.h"
#include "base/strings.h"

namespace lanvoy {

namespace {

Json Strings(const std::vector<std::string>& lines, CommandOutput& io) {
  Json list = Json::array();
  for (const std::string& line : lines) list.push_back(io.utf8(line));
  return list;
}

Json Keys(const IniFile::Entries& entries, CommandOutput& io) {
  Json keys = Json::object();
  for (const auto& [key, value] : entries) keys[io.utf8(key)] = io.utf8(value);
  return keys;
}

Json FindingsJson(const std::vector<Finding>& findings, CommandOutput& io) {
  Json list = Json::array();
  for (const Finding& f : findings)
    list.push_back({{"level", f.level == Finding::Error ? "error" : "warning"},
                    {"connection", f.connection.empty() ? Json() : Json(io.utf8(f.connection))},
                    {"message", io.utf8(f.message)}});
  return list;
}

Json StagesJson(const std::vector<StageResult>& stages, CommandOutput& io) {
  Json list = Json::array();
  for (const StageResult& s : stages) {
    Json stage = {{"stage", s.stage}, {"outcome", s.outcome}};
    if (!s.message.empty()) stage["message"] = io.utf8(s.message);
    list.push_back(stage);
  }
  return list;
}

// What the stages did and what verify found, of an apply or an undo.
void AddOutcome(Json& doc, const ApplyReport& report, CommandOutput& io) {
  const ApplyOutcome& outcome = report.outcome;
  doc["stages"] = StagesJson(outcome.stages, io);
  doc["netshRejected"] = Strings(outcome.netshErrors, io);
  std::vector<std::string> problems = outcome.stageProblems;
  if (!outcome.hostsError.empty()) problems.insert(problems.begin(), outcome.hostsError);
  doc["stageProblems"] = Strings(problems, io);
  doc["notInPlace"] = Strings(report.differences, io);
}

// The kind of a connection's IPv4 address key; nullopt for other keys.
std::optional<AddressKind> AddressKindOf(const std::string& key) {
  std::optional<AddressKind> kind;
  for (int n = 0; n < kConnections; ++n)
    for (const char* name : {"IP", "IP2", "Subnet", "Subnet2", "Gateway", "DNS", "DNS2", "WINS"})
      if (SameText(key, name + std::string(ConnectionSuffix(n))))
        kind = name[0] == 'S'                     ? AddressKind::Mask
               : std::string_view(name) == "WINS" ? AddressKind::Wins
                                                  : AddressKind::Address;
  return kind;
}

}  // namespace

void PrintJson(std::ostream& out, const Json& document) {
  out << document.dump(2, ' ', true) << '\n';
  out.flush();
}

std::optional<std::string> StoredName(const TProfileStore& store, const std::string& name,
                                      std::ostream& err) {
  for (const std::string& stored : store.ProfileNames())
    if (SameText(stored, name)) return stored;
  err << "There is no profile \"" << name << "\" in " << store.FileName() << "." << std::endl;
  return std::nullopt;
}

int ListProfiles(const TProfileStore& store, bool json, CommandOutput& io) {
  const std::vector<std::string> names = store.ListedNames();
  if (json) {
    PrintJson(io.out, {{"profiles", Strings(names, io)}});
  } else {
    for (const std::string& name : names) io.out << name << kCRLF;
    io.out.flush();
  }
  return kExitApplied;
}

int ShowProfile(const TProfileStore& store, const std::string& name, bool json, CommandOutput& io) {
  const auto stored = StoredName(store, name, io.err);
  if (!stored) return kExitApplyFailed;
  if (json) {
    const IniFile::Entries values = store.Ini().ReadSectionValues(*stored);
    PrintJson(io.out, {{"name", io.utf8(*stored)}, {"keys", Keys(values, io)}});
  } else {
    io.out << TProfileStore::SectionText(*stored, store.StoredEntries(*stored));
    io.out.flush();
  }
  return kExitApplied;
}

int ExportProfiles(const TProfileStore& store, std::vector<std::string> names, bool all,
                   const std::string& to, CommandOutput& io) {
  if (all) names = store.ProfileNames();
  std::string text;
  for (const std::string& name : names) {
    const auto stored = StoredName(store, name, io.err);
    if (!stored) return kExitApplyFailed;
    // A blank line between sections, as the store has it.
    if (!text.empty()) text += kCRLF;
    text += TProfileStore::SectionText(*stored, store.StoredEntries(*stored));
  }
  if (to.empty()) {
    io.store << text;
    io.store.flush();
  } else if (!WriteFileAtomic(to, text)) {
    io.err << "Cannot create file " << to << std::endl;
    return kExitApplyFailed;
  }
  return kExitApplied;
}

int ShowHistory(const ApplyHistory& history, size_t count, bool json, CommandOutput& io) {
  std::vector<std::string> lines = history.Lines();
  lines.erase(std::remove_if(lines.begin(), lines.end(),
                             [](const std::string& line) { return Trim(line).empty(); }),
              lines.end());
  if (lines.size() > count) lines.erase(lines.begin(), lines.end() - static_cast<long>(count));
  if (!json) {
    for (const std::string& line : lines) io.out << line << kCRLF;
    io.out.flush();
    return kExitApplied;
  }
  Json list = Json::array();
  for (const std::string& line : lines) {
    // "2026-12-09 10:00:00  apply Office: verified"
    const size_t gap = line.find("  ");
    list.push_back({{"time", gap == std::string::npos ? "" : line.substr(0, gap)},
                    {"event", io.utf8(gap == std::string::npos ? line : line.substr(gap + 2))}});
  }
  PrintJson(io.out, {{"lines", list}});
  return kExitApplied;
}

int PrintCheck(const std::string& name, const std::vector<Finding>& findings, bool json,
               CommandOutput& io) {
  const int code = HasErrors(findings) ? kExitRefused : kExitApplied;
  if (json) {
    PrintJson(io.out, {{"profile", io.utf8(name)},
                       {"exitCode", code},
                       {"meaning", ExitCodeMeaning(code)},
                       {"findings", FindingsJson(findings, io)}});
  } else {
    io.out << FindingsText(findings);
    io.out.flush();
  }
  return code;
}

ImportPlan PlanImport(const TProfileStore& store, const std::string& file, bool replace) {
  ImportPlan plan;
  if (!FileExists(file)) {
    plan.errors.push_back("Cannot open file " + file);
    return plan;
  }
  const TProfileStore imported(file);
  const std::vector<std::string> names = imported.ProfileNames();
  if (names.empty()) plan.errors.push_back(file + " holds no profile.");
  const std::vector<std::string> stored = store.ProfileNames();
  std::vector<std::string> seen;
  for (const std::string& name : names) {
    const std::string said = "Profile \"" + name + "\": ";
    auto same = [&](const std::string& other) { return SameText(other, name); };
    if (std::any_of(seen.begin(), seen.end(), same)) {
      plan.errors.push_back(said + "the file holds it twice.");
      continue;
    }
    seen.push_back(name);
    if (!TProfileStore::IsValidProfileName(name) ||
        name.size() > TProfileStore::kMaxNewNameLength) {
      plan.errors.push_back(EProfileNameError(name).what());
      continue;
    }
    const IniFile::Entries values = imported.Ini().ReadSectionValues(name);
    std::vector<std::string> unknown;
    for (const auto& [key, value] : values) {
      if (!TProfileStore::IsKnownKey(key))
        unknown.push_back(key);
      else if (TProfileStore::IsNumberKey(key) && !value.empty() &&
               IniFile::IntegerOf(value, 0) == 0 && IniFile::IntegerOf(value, 1) == 1)
        plan.errors.push_back(said + key + "=" + value + " is no number.");
      else if (const auto kind = AddressKindOf(key); kind && !ValidAddressText(*kind, value))
        plan.errors.push_back(said + key + "=" + value + " is no " +
                              (*kind == AddressKind::Mask ? "subnet mask." : "IPv4 address."));
    }
    if (!unknown.empty()) {
      std::string keys;
      for (const std::string& key : unknown) keys += (keys.empty() ? "" : ", ") + key;
      plan.warnings.push_back(said + "keys Lanvoy does not read are kept: " + keys + ".");
    }
    const auto existing = std::find_if(stored.begin(), stored.end(), same);
    if (existing != stored.end() && !replace) {
      plan.skipped.push_back("Profile \"" + *existing +
                             "\" exists already and was not imported; --replace replaces it.");
      continue;
    }
    // Sections are named in any letter case: the stored one goes, also in other letters.
    if (existing != stored.end()) plan.replaced.push_back(name);
    plan.sections.emplace_back(name, imported.StoredEntries(name));
  }
  return plan;
}

int ImportProfiles(TProfileStore& store, const std::string& file, bool replace, CommandOutput& io) {
  ImportPlan plan = PlanImport(store, file, replace);
  for (const std::string& w : plan.warnings) io.err << "Warning: " << w << kCRLF;
  if (!plan.errors.empty()) {
    for (const std::string& e : plan.errors) io.err << "Error: " << e << kCRLF;
    io.err << "Nothing was imported." << std::endl;
    return kExitApplyFailed;
  }
  for (const std::string& s : plan.skipped) io.err << s << kCRLF;
  io.err.flush();
  if (plan.sections.empty()) return kExitApplied;
  try {
    store.Ini().ReplaceSections(plan.sections);
  } catch (const std::exception& e) {
    io.err << e.what() << std::endl;
    return kExitApplyFailed;
  }
  for (const auto& section : plan.sections) {
    const bool replaced =
        std::count(plan.replaced.begin(), plan.replaced.end(), section.first) != 0;
    io.out << (replaced ? "Replaced " : "Imported ") << section.first << kCRLF;
  }
  io.out.flush();
  return kExitApplied;
}

Json CurrentJson(const std::string& name, const ProfileRecord& record,
                 const std::vector<std::string>& problems, CommandOutput& io) {
  IniFile::Entries entries = TProfileStore::EntriesOf(record);
  for (auto& entry : entries) entry.second = IniFile::ValueAsRead(entry.second);
  return {
      {"name", io.utf8(name)}, {"keys", Keys(entries, io)}, {"problems", Strings(problems, io)}};
}

Json ApplyJson(const ApplyRun& run, CommandOutput& io) {
  Json doc = {{"command", run.command},
              {"profile", io.utf8(run.profile)},
              {"exitCode", run.exitCode},
              {"meaning", ExitCodeMeaning(run.exitCode)}};
  if (!run.error.empty()) doc["error"] = io.utf8(run.error);
  if (!run.report) return doc;
  const ApplyReport& report = *run.report;
  doc["refused"] = report.refused;
  doc["findings"] = FindingsJson(report.findings, io);
  AddOutcome(doc, report, io);
  doc["warnings"] = Strings(report.warnings, io);
  if (run.confirmWithin > 0 && !report.refused && !report.busy) {
    Json confirm = {{"within", run.confirmWithin}, {"kept", run.kept}};
    if (run.undone) {
      Json undo = Json::object();
      AddOutcome(undo, *run.undone, io);
      confirm["undo"] = undo;
    }
    doc["confirm"] = confirm;
  }
  return doc;
}

}  // namespace lanvoy
