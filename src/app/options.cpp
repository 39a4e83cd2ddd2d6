#include "app/options.h"

namespace lanvoy {

bool& AfterApplyGroup::Box(AfterApply which) {
  switch (which) {
    case AfterApply::Minimize:
      return MinimizeAfterApply;
    case AfterApply::NoAction:
      return NoActionAfterApply;
    case AfterApply::Terminate:
      break;
  }
  return Terminate;
}

void AfterApplyGroup::Set(AfterApply which, bool ticked) {
  Box(which) = ticked;
  if (!ticked) return;
  for (AfterApply other : {AfterApply::Terminate, AfterApply::Minimize, AfterApply::NoAction})
    if (other != which) Box(other) = false;
}

ProgramOptions ReadProgramOptions(const IniFile& ini) {
  ProgramOptions o;
  const char* s = kOptionsSection;
  o.Terminate = ini.ReadBool(s, "Terminate", o.Terminate);
  o.MinimizeAfterApply = ini.ReadBool(s, "MinimizeAfterApply", o.MinimizeAfterApply);
  o.NoActionAfterApply = ini.ReadBool(s, "NoActionAfterApply", o.NoActionAfterApply);
  o.Trayicon = ini.ReadBool(s, "Trayicon", o.Trayicon);
  o.StartMin = ini.ReadBool(s, "StartMin", o.StartMin);
  o.LANName = ini.ReadString(s, "LANName", o.LANName);
  o.NoValidationMessage = ini.ReadBool(s, "NoValidationMessage", o.NoValidationMessage);
  return o;
}

AfterApplyGroup LoadAfterApplyGroup(const ProgramOptions& options) {
  AfterApplyGroup group;
  // Only a change of state runs a box's click rule.
  auto load = [&group](AfterApply which, bool value) {
    if (group.Box(which) != value) group.Set(which, value);
  };
  load(AfterApply::Terminate, options.Terminate);
  load(AfterApply::Minimize, options.MinimizeAfterApply);
  load(AfterApply::NoAction, options.NoActionAfterApply);
  return group;
}

void WriteProgramOptions(IniFile& ini, const ProgramOptions& options) {
  const char* s = kOptionsSection;
  ini.WriteBool(s, "StartMin", options.StartMin);
  ini.WriteBool(s, "MinimizeAfterApply", options.MinimizeAfterApply);
  ini.WriteBool(s, "Terminate", options.Terminate);
  ini.WriteBool(s, "NoActionAfterApply", options.NoActionAfterApply);
  ini.WriteBool(s, "Trayicon", options.Trayicon);
  ini.WriteString(s, "LANName", options.LANName);
}

void WriteStartupMessages(IniFile& ini, bool show) {
  ini.WriteBool(kOptionsSection, "MsgRestartBrowser", !show);
  ini.WriteBool(kOptionsSection, "MsgAdminNeeded", !show);
}

void WriteAskBeforeApply(IniFile& ini, bool ask) {
  ini.WriteBool(kOptionsSection, "NoValidationMessage", ask);
}

std::string AutostartData(const std::string& exePath) {
  return "\"" + exePath + "\"";
}

std::string VersionText(const std::array<uint16_t, 4>& v) {
  return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." +
         std::to_string(v[3]);
}

}  // namespace lanvoy
