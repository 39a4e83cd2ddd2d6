// TMainForm: the profile list, the operations on profiles and the window's modes.
#include <algorithm>

#include "base/strings.h"
#include "mainwindow/main_form.h"

namespace lanvoy {

namespace {

std::string RemoveBlanks(std::string name) {
  name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
  return name;
}

}  // namespace

std::string TMainForm::SelectedProfile() const {
  const int index = ProfileList.ItemIndex();
  return index < 0 ? std::string() : ProfileList.Item(index);
}

void TMainForm::SelectListRow(int row) {
  ProfileList.SetItemIndex(row);
}

void TMainForm::SelectListEntry(const std::string& name) {
  for (int row = 0; row < ProfileList.Count(); ++row) {
    if (SameText(ProfileList.Item(row), name)) {
      SelectListRow(row);
      return;
    }
  }
}

void TMainForm::RefillProfileList() {
  // One read of the store for the list and the tray menu.
  const std::vector<std::string> sorted = store_->ListedNames();
  ProfileList.SetItems(sorted);
  SelectListRow(sorted.empty() ? -1 : 0);
  BuildTrayProfileMenu(sorted);
}

void TMainForm::ProfileListClick() {
  const std::string name = SelectedProfile();
  if (name.empty()) return;
  LoadProfile(name);
  LeaveEditMode();
}

void TMainForm::ProfileListDblClick() {
  if (SelectedProfile().empty()) return;  // nothing to apply on an empty list
  ButtonApplyClick(&ProfileList);
}

bool TMainForm::Editing() const {
  return ButtonGetcurrent.Enabled();
}

void TMainForm::SetEnabledChildren(const std::string& parent, bool enabled) {
  for (const ControlEntry& entry : MainFormLayout().controls)
    if (entry.parent == parent)
      if (auto* control = dynamic_cast<Control*>(set_.Find(entry.name)))
        control->SetEnabled(enabled);
}

void TMainForm::LeaveEditMode() {
  RGDHCPClick(nullptr);
  for (const char* parent : {"SeiteLan1", "SeiteLan2", "GroupOExpr"})
    SetEnabledChildren(parent, false);
  Inputproxy.SetEnabled(false);
  InputPort.SetEnabled(false);
  MemoExcludeAddresses.SetReadOnly(true);
  CheckEnableProxy.SetEnabled(false);
  CheckNoProxyLocal.SetEnabled(false);
  SeiteMailClients.SetEnabled(false);
  ButtonSave.SetEnabled(false);
  ButtonCancel.SetEnabled(false);
  ButtonNew.SetEnabled(true);
  const bool selected = !SelectedProfile().empty();
  for (Button* b : {&ButtonDelete, &ButtonModify, &ButtonApply, &ButtonCopy, &ButtonRename})
    b->SetEnabled(selected);
  for (MenuItem* item : {&Modify1, &MenuDelete, &Rename1, &Copy1, &ApplytoSystem1})
    item->SetEnabled(selected);
  ButtonGetcurrent.SetEnabled(false);
  ProfileList.SetEnabled(true);
  ButtonExit.SetEnabled(true);
  ButtonMinimize.SetEnabled(true);
  for (Control* c : std::initializer_list<Control*>{
           &ComboPrinters, &CheckUsePrinter, &CheckincludeHosts, &GridHosts, &ButtonNewHost,
           &ButtonDeleteHost, &ButtonOpenHostFile, &CheckIncludeSript, &MemoScript,
           &ButtonLoadScript, &ComboScriptExtension})
    c->SetEnabled(false);
  trayMenu_.SetAutoPopup(true);
  for (Control* c : std::initializer_list<Control*>{&CheckUseHostName, &InputPCName,
                                                    &CheckConfirmKeep, &InputConfirmSeconds})
    c->SetEnabled(false);
  RGIPv6ModeClick();
  RGIPv6ModeLan2Click();
}

void TMainForm::EnterEditMode() {
  RGDHCPClick(nullptr);
  for (const char* parent : {"SeiteLan1", "SeiteLan2", "GroupOExpr"})
    SetEnabledChildren(parent, true);
  ExpandWindow();
  Inputproxy.SetEnabled(true);
  InputPort.SetEnabled(true);
  MemoExcludeAddresses.SetReadOnly(false);
  CheckEnableProxy.SetEnabled(true);
  CheckNoProxyLocal.SetEnabled(true);
  const bool selected = !SelectedProfile().empty();
  ButtonRename.SetEnabled(selected);
  SeiteMailClients.SetEnabled(true);
  ButtonSave.SetEnabled(true);
  ButtonCancel.SetEnabled(true);
  ButtonGetcurrent.SetEnabled(true);
  ButtonNew.SetEnabled(false);
  ButtonDelete.SetEnabled(selected);
  ButtonModify.SetEnabled(false);
  ButtonApply.SetEnabled(false);
  for (MenuItem* item : {&Modify1, &MenuDelete, &Rename1}) item->SetEnabled(false);
  ProfileList.SetEnabled(false);
  ButtonExit.SetEnabled(false);
  ButtonMinimize.SetEnabled(false);
  CheckUsePrinter.SetEnabled(true);
  ComboPrinters.SetEnabled(CheckUsePrinter.Checked());
  CheckincludeHosts.SetEnabled(true);
  for (Control* c : std::initializer_list<Control*>{&GridHosts, &ButtonNewHost, &ButtonDeleteHost,
                                                    &ButtonOpenHostFile})
    c->SetEnabled(CheckincludeHosts.Checked());
  CheckIncludeSript.SetEnabled(true);
  MemoScript.SetEnabled(CheckIncludeSript.Checked());
  ButtonLoadScript.SetEnabled(true);
  ComboScriptExtension.SetEnabled(MemoScript.Enabled());
  for (ConnectionControls* c : {&Lan1, &Lan2}) {
    c->DnsFromDhcp.SetEnabled(c->Mode.ItemIndex() == 1);
    c->WinsFromDhcp.SetEnabled(c->Mode.ItemIndex() == 1);
  }
  for (Control* c : std::initializer_list<Control*>{&CheckUseHostName, &InputPCName,
                                                    &CheckConfirmKeep, &InputConfirmSeconds})
    c->SetEnabled(true);
  RGIPv6ModeClick();
  RGIPv6ModeLan2Click();
  Lan1.IP.SetFocus();  // a field that cannot take the focus is passed over
  trayMenu_.SetAutoPopup(false);
  view_.Repaint();
}

std::string TMainForm::NameProblem(const std::string& name, const std::string& keep,
                                   NameBox box) const {
  if (Trim(name).empty() || !TProfileStore::IsValidProfileName(name))
    return "Please enter a profile name (it may not be empty or hold \"[\", \"]\" or a line "
           "break).";
  if (name.size() > TProfileStore::kMaxNewNameLength)
    return "A profile name may have at most " + std::to_string(TProfileStore::kMaxNewNameLength) +
           " characters; this one has " + std::to_string(name.size()) + ".";
  if (store_->ProfileExists(name) && !SameText(name, keep))
    return "Profile \"" + name + "\" already exists! " +
           (box == NameBox::New ? "Enter a new name please?" : "Choose another name please.");
  return "";
}

std::optional<std::string> TMainForm::AskProfileName(NameBox box, const std::string& source) {
  const bool fresh = box == NameBox::New;
  std::string proposal = fresh ? "" : box == NameBox::Copy ? "Copy of " + source : source;
  for (;;) {
    const std::optional<std::string> typed =
        questions_.InputBox(fresh                  ? "New IP- Profile"
                            : box == NameBox::Copy ? "Copy Profile"
                                                   : "Rename Profile",
                            fresh ? "Enter profile name" : "Enter new name", proposal);
    if (!typed) return std::nullopt;
    proposal = fresh ? RemoveBlanks(*typed) : *typed;
    if (box == NameBox::Rename && proposal == source) return proposal;  // nothing to rename
    const std::string problem =
        NameProblem(proposal, box == NameBox::Rename ? source : std::string(), box);
    if (problem.empty()) return proposal;
    if (questions_.MessageDlg(problem, mtError, {mbOK, mbCancel}) != mrOk) return std::nullopt;
  }
}

void TMainForm::ShowChangedProfile(const std::string& name) {
  LeaveEditMode();
  RefillProfileList();
  SelectListEntry(name);
  LoadProfile(name);
}

void TMainForm::ButtonNewClick() {
  ExpandWindow();
  const std::optional<std::string> name = AskProfileName(NameBox::New, "");
  if (!name) return;
  ShowRecord(store_->CreateProfile(*name));
  RefillProfileList();
  SelectListEntry(*name);
  EnterEditMode();
  GetCurrentSettings();
}

void TMainForm::ButtonDeleteClick() {
  const std::string name = SelectedProfile();
  if (name.empty()) return;
  if (questions_.MessageDlg("This deletes selected profile \"" + name + "\"! Proceed?", mtWarning,
                            {mbYes, mbNo}, mbNo) != mrYes)
    return;
  ClearInputFields();
  store_->DeleteProfile(name);
  RefillProfileList();
  LeaveEditMode();
  if (ProfileList.Count() > 0) LoadProfile(ProfileList.Item(0));
}

void TMainForm::ButtonCopyClick() {
  const std::string source = SelectedProfile();
  if (source.empty()) return;
  ClearInputFields();
  const std::optional<std::string> name = AskProfileName(NameBox::Copy, source);
  if (!name) {
    // Nothing is copied; the source is shown again as it is stored.
    LoadProfile(source);
    LeaveEditMode();
    return;
  }
  store_->CopyProfile(source, *name);
  ShowChangedProfile(*name);
}

void TMainForm::ButtonRenameClick() {
  const std::string source = SelectedProfile();
  if (source.empty()) return;
  ClearInputFields();
  const std::optional<std::string> name = AskProfileName(NameBox::Rename, source);
  if (!name || *name == source || !store_->MoveProfile(source, *name)) {
    LoadProfile(source);
    LeaveEditMode();
    return;
  }
  ShowChangedProfile(*name);
}

void TMainForm::ButtonSaveClick() {
  const std::string name = SelectedProfile();
  if (name.empty()) return;
  // Said now, while the user is at the values, not at an apply days later. Cancel leaves
  // everything typed in edit mode.
  const std::vector<Finding> findings = ValueChecks(ShownRecord());
  if (!findings.empty() &&
      !questions_.Confirm("The checks of the profile found:\r\n\r\n" + FindingsText(findings) +
                              "\r\nSave it anyway?",
                          HasErrors(findings) ? mtError : mtWarning, "Save anyway", "Cancel"))
    return;
  SaveProfile(name);
  LoadProfile(name);
  LeaveEditMode();
  if (questions_.MessageDlg("Would you like to apply this profile to your computer right now?",
                            mtConfirmation, {mbYes, mbNo}) == mrYes)
    ButtonApplyClick(&ButtonSave);
}

void TMainForm::ButtonCancelClick() {
  const std::string name = SelectedProfile();
  // Typed work is not thrown away without a word (Esc presses Cancel too).
  if (!name.empty() && store_->ProfileExists(name) &&
      !(ShownRecord() == store_->LoadProfile(name)) &&
      questions_.MessageDlg("Discard the changes to the profile \"" + name + "\"?", mtConfirmation,
                            {mbYes, mbNo}, mbNo) != mrYes)
    return;
  if (!name.empty()) LoadProfile(name);
  LeaveEditMode();
  // Not the next button in the row, which may be "REBOOT !".
  ProfileList.SetFocus();
}

}  // namespace lanvoy
