#include "mainwindow/main_form.h"

#include <algorithm>

#include "app/options.h"
#include "apply/preflight.h"
#include "apply/printer_computer.h"
#include "apply/profile_script.h"
#include "base/files.h"
#include "base/strings.h"
#include "mainwindow/layout.h"
#include "platform/registry_access.h"
#include "profiles/ini_file.h"
#include "sysread/connections.h"
#include "sysread/current_settings_reader.h"

namespace lanvoy {

namespace {

std::string JoinWithCrlf(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? kCRLF : "") + lines[i];
  return text;
}

FileDialogOptions ScriptDialog(bool open) {
  FileDialogOptions options;
  options.defaultExt = "bat";
  options.filter =
      "Batch- Files (*.bat)|*.bat|Text- Files (*.txt)|*.txt|Java Script (*.js)|*.js|Visual "
      "Basic Script (*.vbs)|*.vbs|All Files|*.*";
  options.mustExist = open;
  options.hideReadOnly = open;
  options.overwritePrompt = !open;
  return options;
}

constexpr const char* kDefaultMask = "255.255.255.0";

}  // namespace

ConnectionControls::ConnectionControls(const ControlSet& set, const std::string& s)
    : Name(set.Get<ComboBox>("EditLongLanDescription" + s)),
      Mode(set.Get<RadioGroup>("RGDHCP" + s)),
      IP(set.Get<TextField>("InputIP" + s)),
      Subnet(set.Get<TextField>("InputSubnet" + s)),
      IP2(set.Get<TextField>("InputIP2" + s)),
      Subnet2(set.Get<TextField>("InputSubnet2" + s)),
      DNS(set.Get<TextField>("InputDNS" + s)),
      DNS2(set.Get<TextField>("InputSecondDNS" + s)),
      Gateway(set.Get<TextField>("InputGateway" + s)),
      Wins(set.Get<TextField>("InputWins" + s)),
      DnsFromDhcp(set.Get<CheckBox>("CheckGetDNSFromDHCP" + s)),
      WinsFromDhcp(set.Get<CheckBox>("CheckWINSDHCP" + s)),
      IPv6Mode(set.Get<RadioGroup>("RGIPv6Mode" + s)),
      IPv6(set.Get<TextField>("InputIPv6" + s)),
      IPv6Prefix(set.Get<TextField>("InputIPv6Prefix" + s)),
      IPv6_2(set.Get<TextField>("InputIPv6_2" + s)),
      IPv6Prefix2(set.Get<TextField>("InputIPv6Prefix2" + s)),
      IPv6Gateway(set.Get<TextField>("InputIPv6Gateway" + s)),
      IPv6DNS(set.Get<TextField>("InputIPv6DNS" + s)),
      IPv6DNS2(set.Get<TextField>("InputIPv6DNS2" + s)),
      IPv6DnsFromDhcp(set.Get<CheckBox>("CheckIPv6DNSFromDHCP" + s)),
      DNSMore(set.Get<TextField>("InputDNSMore" + s)),
      DNSSuffix(set.Get<TextField>("InputDNSSuffix" + s)),
      GatewayMetric(set.Get<TextField>("InputGatewayMetric" + s)),
      WlanProfile(set.Get<TextField>("InputWlanProfile" + s)),
      AdapterState(set.Get<RadioGroup>("RGAdapterState" + s)) {}

void ConnectionControls::Show(const ConnectionSettings& c) {
  Name.SetText(c.LongLANDescription);
  for (auto [field, text] : {std::pair{&IP, &c.IP},
                             {&Subnet, &c.Subnet},
                             {&IP2, &c.IP2},
                             {&Subnet2, &c.Subnet2},
                             {&Gateway, &c.Gateway},
                             {&DNS, &c.DNS},
                             {&DNS2, &c.DNS2},
                             {&Wins, &c.WINS}})
    field->SetText(*text);
  // The mode's rule runs first; the boxes it sets are then set as the connection has them.
  Mode.SetItemIndex(std::clamp(c.DHCP, kModeNone, kModeDhcp));
  DnsFromDhcp.SetChecked(c.DHCP_DNS);
  WinsFromDhcp.SetChecked(c.DHCP_WINS);
  ShowNewer(c);
}

void ConnectionControls::ShowNewer(const ConnectionSettings& c) {
  for (auto [field, text] : {std::pair{&IPv6, &c.IPv6},
                             {&IPv6Prefix, &c.IPv6Prefix},
                             {&IPv6_2, &c.IPv6_2},
                             {&IPv6Prefix2, &c.IPv6Prefix2},
                             {&IPv6Gateway, &c.IPv6Gateway},
                             {&IPv6DNS, &c.IPv6DNS},
                             {&IPv6DNS2, &c.IPv6DNS2},
                             {&DNSMore, &c.DNSMore},
                             {&DNSSuffix, &c.DNSSuffix},
                             {&GatewayMetric, &c.GatewayMetric},
                             {&WlanProfile, &c.WlanProfile}})
    field->SetText(*text);
  // The groups' first item is "Leave alone" (-1).
  IPv6Mode.SetItemIndex(std::clamp(c.IPv6Mode, kModeNone, kIPv6Automatic) + 1);
  IPv6DnsFromDhcp.SetChecked(c.DHCP_IPv6DNS);
  AdapterState.SetItemIndex(std::clamp(c.AdapterState, kModeNone, kAdapterEnabled) + 1);
}

ConnectionSettings ConnectionControls::Shown() const {
  ConnectionSettings c;
  c.LongLANDescription = Name.Text();
  c.DHCP = Mode.ItemIndex();
  c.IP = IP.Text();
  c.Subnet = Subnet.Text();
  c.IP2 = IP2.Text();
  c.Subnet2 = Subnet2.Text();
  c.Gateway = Gateway.Text();
  c.DNS = DNS.Text();
  c.DNS2 = DNS2.Text();
  c.WINS = Wins.Text();
  c.DHCP_DNS = DnsFromDhcp.Checked();
  c.DHCP_WINS = WinsFromDhcp.Checked();
  c.IPv6Mode = std::max(IPv6Mode.ItemIndex() - 1, kModeNone);
  c.IPv6 = IPv6.Text();
  c.IPv6Prefix = IPv6Prefix.Text();
  c.IPv6_2 = IPv6_2.Text();
  c.IPv6Prefix2 = IPv6Prefix2.Text();
  c.IPv6Gateway = IPv6Gateway.Text();
  c.IPv6DNS = IPv6DNS.Text();
  c.IPv6DNS2 = IPv6DNS2.Text();
  c.DHCP_IPv6DNS = IPv6DnsFromDhcp.Checked();
  c.DNSMore = DNSMore.Text();
  c.DNSSuffix = DNSSuffix.Text();
  c.GatewayMetric = GatewayMetric.Text();
  c.WlanProfile = WlanProfile.Text();
  c.AdapterState = std::max(AdapterState.ItemIndex() - 1, kModeNone);
  return c;
}

TMainForm::TMainForm(platform::Platform& platform, Questions& questions, std::string exePath,
                     std::vector<std::string> args, MainWindowView& view)
    : platform_(platform),
      questions_(questions),
      exePath_(std::move(exePath)),
      newerSettings_(!platform.system().WindowsVersion().Windows5()),
      args_(std::move(args)),
      optionsPath_(OptionsPathFor(exePath_)),
      view_(view),
      set_(view.Controls()),
      Lan1(set_, ""),
      Lan2(set_, "Lan2"),
      dialogAdmin_(std::make_unique<TMessageDlg>(questions)),
      dialogBrowserRestart_(std::make_unique<TMessageDlg>(questions)),
      sysInfo_(platform.system()),
      trayMenu_(MainFormLayout(), set_, "PopUPTray") {
  appExec2_ = std::make_unique<TAppExec>(platform_.processes());
  appExec2_->SetExeName(SystemProgram(platform_.system(), "rundll32.exe"));
  appExec2_->SetExeParams({"Shell32.dll,Control_RunDLL ncpa.cpl"});
  appExec2_->SetWait(false);
  appExec2_->SetWindowState(wsMinimized);
  appExec2_->SetHideIfMinimized(false);
  netshExe_ = std::make_unique<TAppExec>(platform_.processes());
  netshExe_->SetExeName(SystemProgram(platform_.system(), "netsh.exe"));
  netshExe_->SetWait(true);
  netshExe_->SetWindowState(wsMinimized);
  netshExe_->SetHideIfMinimized(true);
  netshExe_->SetRunner([this](const std::function<void()>& run) { RunAnswering(run); });
  tempBat_ = std::make_unique<TAppExec>(platform_.processes());
  tempBat_->SetWait(true);
  tempBat_->SetWindowState(wsMinimized);
  tempBat_->SetHideIfMinimized(true);
  tempBat_->SetRunner([this](const std::function<void()>& run) { RunAnswering(run); });
  dosCommand_ = std::make_unique<TDosCommand>(platform_.processes(), view_.Dispatcher());
  dosCommand_->SetInputToOutput(false);
  dosCommand_->SetMaxTimeAfterBeginning(0);
  dosCommand_->SetMaxTimeAfterLastOutput(0);
  dosCommand_->SetShowWindow(swMINIMIZE);
  dosCommand_->SetCreationFlag(fCREATE_NEW_CONSOLE);
  dosCommand_->SetReturnCode(rcCRLF);
  dosCommand_->SetOnNewLine([this](TDosCommand& sender, const std::string& piece,
                                   TOutputType type) { DosCommandNewLine(sender, piece, type); });
  // The capture reports a program that cannot start in the error box.
  dosCommand_->SetOnError([this](TDosCommand&, const std::string& message) {
    questions_.MessageDlg(message, mtError, {mbOK});
  });
  OnReadCurrentSettings = [this](CurrentSettingsSink& sink) {
    ReadContext context{platform_, ProgramDirectory(), sysInfo_.WindowsDirectory(), *tempBat_};
    ReadCurrentSettings(context, sink);
  };
  OnReadConnections = [this] {
    ReadContext context{platform_, ProgramDirectory(), sysInfo_.WindowsDirectory(), *tempBat_};
    return ReadConnections(context);
  };
  SetupDialogAdmin(*dialogAdmin_);
  SetupDialogBrowserRestart(*dialogBrowserRestart_);
  trayIcon_ = std::make_unique<TCoolTrayIcon>(view_.TrayArea());
  trayIcon_->SetIcon(view_.ProgramIcon());
  trayIcon_->SetIconIndex(0);
  trayIcon_->SetHint("Lanvoy");
  trayIcon_->PopupMenu = &trayMenu_;
  trayIcon_->OnBalloonHintClick = [this](TCoolTrayIcon&) {
    Guarded([this] { TrayIconBalloonHintClick(); });
  };
  trayIcon_->Loaded();
  Connect();
}

TMainForm::~TMainForm() {
  // FormDestroy: the options outlive the window.
  if (created_) Guarded([this] { SaveOptions(); });
  connections_.clear();
  // No output may reach the LAN state window once it is gone.
  dosCommand_.reset();
  // The icon leaves the tray with the window.
  trayIcon_.reset();
}

void TMainForm::Guarded(const std::function<void()>& handler) {
  if (answering_) return;
  try {
    handler();
  } catch (const std::exception& e) {
    questions_.MessageDlg(e.what(), mtError, {mbOK});
  }
}

std::string TMainForm::ProgramDirectory() const {
  return ExtractFilePath(exePath_);
}

void TMainForm::Connect() {
  auto run = [this](void (TMainForm::*handler)()) {
    return [this, handler] { Guarded([this, handler] { (this->*handler)(); }); };
  };
  ProfileList.OnClick = run(&TMainForm::ProfileListClick);
  ProfileList.OnDblClick = run(&TMainForm::ProfileListDblClick);
  ProfileList.OnKeyPress = [this](char key) {
    if (key != '\r') return false;  // the list's own behaviour
    Guarded([this] { ProfileListDblClick(); });
    return true;
  };
  ButtonMoreLess.OnClick = run(&TMainForm::ExpandWindow);
  ButtonMinimize.OnClick = run(&TMainForm::ButtonMinimizeClick);
  ButtonExit.OnClick = run(&TMainForm::Close);
  BitBtn2.OnClick = run(&TMainForm::BitBtn2Click);
  BitBtn1.OnClick = run(&TMainForm::BitBtn1Click);
  auto apply = [this](const Widget* sender) {
    return [this, sender] { Guarded([this, sender] { ButtonApplyClick(sender); }); };
  };
  ButtonApply.OnClick = apply(&ButtonApply);
  ButtonUndo.OnClick = run(&TMainForm::UndoLastApplyClick);
  ButtonNew.OnClick = New2.OnClick = run(&TMainForm::ButtonNewClick);
  ButtonDelete.OnClick = MenuDelete.OnClick = run(&TMainForm::ButtonDeleteClick);
  ButtonRename.OnClick = Rename1.OnClick = run(&TMainForm::ButtonRenameClick);
  ButtonCopy.OnClick = Copy1.OnClick = run(&TMainForm::ButtonCopyClick);
  ButtonModify.OnClick = Modify1.OnClick = run(&TMainForm::ButtonModifyClick);
  ButtonGetcurrent.OnClick = run(&TMainForm::GetCurrentSettings);
  ButtonSave.OnClick = run(&TMainForm::ButtonSaveClick);
  ButtonCancel.OnClick = run(&TMainForm::ButtonCancelClick);
  ApplytoSystem1.OnClick = apply(&ApplytoSystem1);
  ShowWindow1.OnClick = run(&TMainForm::ShowWindow1Click);
  Close1.OnClick = run(&TMainForm::Close);
  UndoLastApply1.OnClick = UndoLastApply2.OnClick = run(&TMainForm::UndoLastApplyClick);
  TimerMinimize.OnTimer = run(&TMainForm::TimerMinimizeTimer);
  TimerSystrayWatchdog.OnTimer = run(&TMainForm::TimerSystrayWatchdogTimer);

  // Network tab: programmatic changes run the same rules as clicks, with the control as
  // origin.
  ConnectionEvents(Lan1, &TMainForm::RGDHCPClick, &TMainForm::CheckGetDNSFromDHCPClick,
                   &TMainForm::CheckWINSDHCPClick, &TMainForm::EditLongLanDescriptionClick);
  ConnectionEvents(Lan2, &TMainForm::RGDHCPLan2Click, &TMainForm::CheckGetDNSFromDHCPLan2Click,
                   &TMainForm::CheckWINSDHCPLan2Click, &TMainForm::EditLongLanDescriptionLan2Click);
  for (TextField* field : enterKeyFields_)
    field->OnKeyPress = [this, field](char key) { return InputIPKeyPress(*field, key); };
  Lan1.IPv6Mode.OnClick = run(&TMainForm::RGIPv6ModeClick);
  Lan2.IPv6Mode.OnClick = run(&TMainForm::RGIPv6ModeLan2Click);
  Lan1.IPv6DnsFromDhcp.OnClick = run(&TMainForm::CheckIPv6DNSFromDHCPClick);
  Lan2.IPv6DnsFromDhcp.OnClick = run(&TMainForm::CheckIPv6DNSFromDHCPLan2Click);
  ButtonSystemDialog.OnClick = run(&TMainForm::ButtonSystemDialogClick);
  Label8.OnClick = run(&TMainForm::Label8Click);

  // Other tabs.
  CheckIncludeOExpress.OnClick = run(&TMainForm::CheckIncludeOExpressClick);
  CheckincludeHosts.OnClick = run(&TMainForm::CheckincludeHostsClick);
  ButtonNewHost.OnClick = run(&TMainForm::ButtonNewHostClick);
  ButtonDeleteHost.OnClick = run(&TMainForm::ButtonDeleteHostClick);
  ButtonOpenHostFile.OnClick = run(&TMainForm::ButtonOpenHostFileClick);
  CheckIncludeSript.OnClick = run(&TMainForm::CheckIncludeSriptClick);
  ButtonLoadScript.OnClick = run(&TMainForm::ButtonLoadScriptClick);
  ButtonSaveScripts.OnClick = run(&TMainForm::ButtonSaveScriptsClick);
  ButtonTestScript.OnClick = run(&TMainForm::ButtonTestScriptClick);
  CheckUsePrinter.OnClick = run(&TMainForm::CheckUsePrinterClick);

  // Options.
  CheckAutostart.OnClick = run(&TMainForm::CheckAutostartClick);
  for (CheckBox* box : {&CheckTerminate, &CheckMinimizeAfterApply, &CheckNoAction})
    box->OnClick = [this, box] { Guarded([this, box] { AfterApplyClick(*box); }); };
  CheckShowWarningMessages.OnClick = [this] {
    Guarded([this] { SetStartupMessages(CheckShowWarningMessages.Checked()); });
  };
  CheckboxValidationMessage.OnClick = [this] {
    Guarded([this] { SetAskBeforeApply(CheckboxValidationMessage.Checked()); });
  };

  // Info tab.
  Button1.OnClick = run(&TMainForm::Button1Click);
  const std::string mail = MainFormLayout().Find("LinkLabel1")->caption;
  LinkLabel1.OnClick = [this, mail] {
    Guarded([this, mail] { platform_.shell().Open("mailto:" + mail, "", "", 1); });
  };
  LinkLabel2.OnClick = [this] {
    Guarded([this] { platform_.shell().Open("https://lanvoy.example/download", "", "", 1); });
  };

  // The window itself.
  view_.OnCloseQuery = [this] {
    if (answering_) return false;
    bool close = true;
    Guarded([&] { close = FormCloseQuery(); });
    return close;
  };
  view_.OnContextPopup = [this](int x, int y) {
    if (!answering_) FormContextPopup(x, y);
  };
}

void TMainForm::ConnectionEvents(ConnectionControls& c, void (TMainForm::*modeRule)(const Widget*),
                                 void (TMainForm::*dnsRule)(const Widget*),
                                 void (TMainForm::*winsRule)(const Widget*),
                                 void (TMainForm::*nameRule)(int)) {
  auto rule = [this](void (TMainForm::*r)(const Widget*), const Widget* origin) {
    return [this, r, origin] { Guarded([this, r, origin] { (this->*r)(origin); }); };
  };
  c.Mode.OnClick = rule(modeRule, &c.Mode);
  c.DnsFromDhcp.OnClick = rule(dnsRule, &c.DnsFromDhcp);
  c.WinsFromDhcp.OnClick = rule(winsRule, &c.WinsFromDhcp);
  c.Name.OnSelect = [this, nameRule](int i) {
    Guarded([this, nameRule, i] { (this->*nameRule)(i); });
  };
  // The Enter key moves on from every address field but connection 2's WINS field.
  for (TextField* e : {&c.IP, &c.Subnet, &c.IP2, &c.Subnet2, &c.DNS, &c.DNS2, &c.Gateway, &c.Wins})
    if (&c == &Lan1 || e != &c.Wins) enterKeyFields_.push_back(e);
  // Each change of an address field says at once whether it holds one.
  for (auto [field, kind] : {std::pair{&c.IP, AddressKind::Address},
                             {&c.Subnet, AddressKind::Mask},
                             {&c.IP2, AddressKind::Address},
                             {&c.Subnet2, AddressKind::Mask},
                             {&c.Gateway, AddressKind::Address},
                             {&c.DNS, AddressKind::Address},
                             {&c.DNS2, AddressKind::Address},
                             {&c.Wins, AddressKind::Wins}}) {
    TextField* e = field;
    const AddressKind k = kind;
    e->OnChange = [e, k] { e->SetInvalid(!ValidAddressText(k, e->Text())); };
  }
  // IPv4 DNS servers after the second, each an address.
  c.DNSMore.OnChange = [e = &c.DNSMore] {
    const std::string text = e->Text();
    bool valid = true;
    for (size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
      end = text.find(';', start);
      valid = valid && ValidAddressText(AddressKind::Address,
                                        Trim(std::string_view(text).substr(start, end - start)));
    }
    e->SetInvalid(!valid);
  };
  // Plain variables, not a structured binding: clang 14 (the fuzz build) cannot capture one.
  for (auto fields : {std::pair{&c.IP, &c.Subnet}, std::pair{&c.IP2, &c.Subnet2}}) {
    TextField* address = fields.first;
    TextField* mask = fields.second;
    mask->OnEnter = [this, address, mask] {
      Guarded([=, this] { DefaultMaskRule(*address, *mask); });
    };
  }
}

// ---------------------------------------------------------------- creation and options

void TMainForm::FormCreate() {
  view_.SetApplicationHints(1500, 5000, 0x00FFFF);  // aqua
  CompactWindow();
  SeiteNetwork.Activate();
  SeiteLan1.Activate();
  store_ = std::make_unique<TProfileStore>(StorePathFor(exePath_));
  created_ = true;
  Guarded([this] { LoadOptions(); });
  Guarded([this] { RefillProfileList(); });
  Guarded([this] { FillPrinterList(); });
  SelectListRow(ProfileList.Count() > 0 ? 0 : -1);
  Guarded([this] { dialogAdmin_->Execute(); });
  LabelBuilt.SetCaption(GetFileVersionText());
  Guarded([this] { GetCurrentSettings(); });
  if (ProfileList.Count() > 0) {
    Guarded([this] { LoadProfile(ProfileList.Item(0)); });
    LeaveEditMode();
  } else {
    Guarded([this] {
      ShowRecord(store_->CreateProfile("DEFAULT"));
      RefillProfileList();
      SelectListRow(-1);
      GetCurrentSettings();
    });
    EnterEditMode();
    SelectListRow(ProfileList.Count() > 0 ? 0 : -1);
  }
  Guarded([this] { EnableUndo(); });
  ProfileList.SetFocus();
}

void TMainForm::LoadOptions() {
  dialogBrowserRestart_->IniFile = optionsPath_;
  dialogBrowserRestart_->IniSection = kOptionsSection;
  dialogBrowserRestart_->SetIniItem("MsgRestartBrowser");
  dialogAdmin_->IniFile = optionsPath_;
  dialogAdmin_->IniSection = kOptionsSection;
  dialogAdmin_->SetIniItem("MsgAdminNeeded");

  IniFile ini(optionsPath_);
  const ProgramOptions o = ReadProgramOptions(ini);
  // Each box's click rule runs when loading changes it (the after-apply group).
  CheckTerminate.SetChecked(o.Terminate);
  CheckMinimizeAfterApply.SetChecked(o.MinimizeAfterApply);
  CheckNoAction.SetChecked(o.NoActionAfterApply);
  CheckTray.SetChecked(o.Trayicon);
  CheckStartMinmized.SetChecked(o.StartMin);

  const bool hide = args_.size() >= 2 && LowerCase(args_[1]) == "hide";
  if (!hide) {
    if (CheckStartMinmized.Checked())
      ButtonMinimizeClick();
    else
      view_.Show();
  }
  Lan1.Name.SetText(o.LANName);
  CheckboxValidationMessage.SetChecked(o.NoValidationMessage);

  TRegistry reg(platform_.registry(), platform::RootKey::CurrentUser);
  if (reg.OpenKey(kRunKey, true)) {
    bool autostart = false;
    try {
      autostart = !reg.ReadString(kRunValue).empty();
    } catch (const ERegistryException&) {
      autostart = false;  // a value of another type is no autostart entry of ours
    }
    CheckAutostart.SetChecked(autostart);
  }
}

void TMainForm::SaveOptions() {
  ProgramOptions o;
  o.StartMin = CheckStartMinmized.Checked();
  o.MinimizeAfterApply = CheckMinimizeAfterApply.Checked();
  o.Terminate = CheckTerminate.Checked();
  o.NoActionAfterApply = CheckNoAction.Checked();
  o.Trayicon = CheckTray.Checked();
  o.LANName = Lan1.Name.Text();
  IniFile ini(optionsPath_);
  WriteProgramOptions(ini, o);
}

void TMainForm::AfterApplyClick(CheckBox& box) {
  if (!box.Checked()) return;
  for (CheckBox* other : {&CheckTerminate, &CheckMinimizeAfterApply, &CheckNoAction})
    if (other != &box) other->SetChecked(false);
}

void TMainForm::CheckAutostartClick() {
  TRegistry reg(platform_.registry(), platform::RootKey::CurrentUser);
  if (!reg.OpenKey(kRunKey, true)) return;
  if (CheckAutostart.Checked())
    reg.WriteString(kRunValue, AutostartData(exePath_));
  else
    reg.DeleteValue(kRunValue);
}

void TMainForm::SetStartupMessages(bool show) {
  IniFile ini(optionsPath_);
  WriteStartupMessages(ini, show);
}

void TMainForm::SetAskBeforeApply(bool ask) {
  IniFile ini(optionsPath_);
  WriteAskBeforeApply(ini, ask);
}

std::string TMainForm::GetFileVersionText() {
  auto version = platform_.system().FileVersion(exePath_);
  return version ? VersionText(*version) : std::string();
}

void TMainForm::CompactWindow() {
  view_.MoveTo(0, 0);
  view_.SetClientSize(kCompactWidth, kCompactHeight);
  ButtonMoreLess.SetEnabled(true);
  compact_ = true;
}

void TMainForm::ExpandWindow() {
  view_.SetClientSize(kFullWidth, kFullHeight);
  ButtonMoreLess.SetEnabled(false);
  compact_ = false;
}

bool TMainForm::FormCloseQuery() {
  if (!ButtonSave.Enabled()) return true;
  return questions_.MessageDlg("You are about to edit a profile! Teminate anyway ?", mtWarning,
                               {mbYes, mbNo}, mbNo) == mrYes;
}

void TMainForm::Close() {
  if (FormCloseQuery()) view_.Closed();
}

void TMainForm::Button1Click() {
  view_.Help().ShowModal();
}

void TMainForm::BitBtn2Click() {
  // Enter is the harmless answer: Esc, Enter, Enter never restarts the computer.
  if (questions_.MessageDlg("This reboots your system!", mtWarning, {mbOK, mbCancel}, mbCancel) !=
      mrOk)
    return;
  RestartComputer(platform_.system());
}

// ---------------------------------------------------------------- network tab rules

bool TMainForm::InputIPKeyPress(TextField& origin, char key) {
  if (key != '\r') return false;
  view_.FocusNext(origin);
  return true;
}

void TMainForm::DefaultMaskRule(TextField& address, TextField& mask) {
  if (!address.Text().empty() && mask.Text().empty()) mask.SetText(kDefaultMask);
}

void TMainForm::ModeRule(ConnectionControls& c, const Widget* origin) {
  const bool editing = Editing();
  const bool isStatic = c.Mode.ItemIndex() == 0;
  const bool dhcp = c.Mode.ItemIndex() == 1;
  for (TextField* e : {&c.IP, &c.Subnet, &c.IP2, &c.Subnet2, &c.Gateway})
    e->SetEnabled(isStatic && editing);
  c.DnsFromDhcp.SetEnabled(dhcp && editing);
  c.WinsFromDhcp.SetEnabled(dhcp && editing);
  if (origin == &c.Mode) {
    c.DnsFromDhcp.SetChecked(dhcp && editing);
    c.WinsFromDhcp.SetChecked(dhcp && editing);
  }
}

void TMainForm::RGDHCPClick(const Widget* origin) {
  ModeRule(Lan1, origin);
}
void TMainForm::RGDHCPLan2Click(const Widget* origin) {
  ModeRule(Lan2, origin);
}

// The DHCP boxes' rules act only on a click of their own box.
void TMainForm::DnsRule(ConnectionControls& c, const Widget* origin) {
  if (origin != &c.DnsFromDhcp) return;
  c.DNS.SetEnabled(!c.DnsFromDhcp.Checked());
  c.DNS2.SetEnabled(!c.DnsFromDhcp.Checked());
}

void TMainForm::WinsRule(ConnectionControls& c, const Widget* origin) {
  if (origin == &c.WinsFromDhcp) c.Wins.SetEnabled(!c.WinsFromDhcp.Checked());
}

void TMainForm::CheckGetDNSFromDHCPClick(const Widget* origin) {
  DnsRule(Lan1, origin);
}
void TMainForm::CheckGetDNSFromDHCPLan2Click(const Widget* origin) {
  DnsRule(Lan2, origin);
}
void TMainForm::CheckWINSDHCPClick(const Widget* origin) {
  WinsRule(Lan1, origin);
}
void TMainForm::CheckWINSDHCPLan2Click(const Widget* origin) {
  WinsRule(Lan2, origin);
}

void TMainForm::NewerRule(ConnectionControls& c) {
  const bool on = Editing() && newerSettings_;
  for (Control* x :
       std::initializer_list<Control*>{&c.IPv6Mode, &c.IPv6DnsFromDhcp, &c.DNSMore, &c.DNSSuffix,
                                       &c.GatewayMetric, &c.WlanProfile, &c.AdapterState})
    x->SetEnabled(on);
  const bool isStatic = c.IPv6Mode.ItemIndex() == kIPv6Static + 1;
  for (TextField* e : {&c.IPv6, &c.IPv6Prefix, &c.IPv6_2, &c.IPv6Prefix2, &c.IPv6Gateway})
    e->SetEnabled(on && isStatic);
  for (TextField* e : {&c.IPv6DNS, &c.IPv6DNS2}) e->SetEnabled(on && !c.IPv6DnsFromDhcp.Checked());
}

void TMainForm::RGIPv6ModeClick() {
  NewerRule(Lan1);
}
void TMainForm::RGIPv6ModeLan2Click() {
  NewerRule(Lan2);
}
void TMainForm::CheckIPv6DNSFromDHCPClick() {
  NewerRule(Lan1);
}
void TMainForm::CheckIPv6DNSFromDHCPLan2Click() {
  NewerRule(Lan2);
}

void TMainForm::EditLongLanDescriptionClick(int index) {
  ShowConnection1(index);
}

void TMainForm::EditLongLanDescriptionLan2Click(int index) {
  if (Lan1.Name.Text() != Lan2.Name.Text()) {
    ShowConnection2(index);
    return;
  }
  questions_.MessageDlg("This Connection is in use allready by connection 1!", mtError, {mbOK});
  Lan2.Name.SetItemIndex(-1);
  Lan2.Name.SetText("");
}

void TMainForm::ShowConnection(ConnectionControls& c, int index) {
  if (index < 0 || index >= static_cast<int>(connections_.size())) return;
  ConnectionSettings shown = connections_[static_cast<size_t>(index)];
  // Windows 2000/XP tells none of the newer settings: the profile's stay.
  if (!newerSettings_) {
    const ConnectionSettings kept = c.Shown();
    ForEachNewerConnectionField(
        [&](const char*, auto member, auto, auto) { shown.*member = kept.*member; });
  }
  c.Show(shown);
}

void TMainForm::ShowConnection1(int index) {
  ShowConnection(Lan1, index);
}
void TMainForm::ShowConnection2(int index) {
  ShowConnection(Lan2, index);
}

void TMainForm::ButtonSystemDialogClick() {
  appExec2_->Execute();
}

void TMainForm::Label8Click() {
  questions_.MessageDlg(
      "Example, how to name your Lan- Connection:\r\n\r\nEnglish: Local Area "
      "Connection\r\nGerman: Lan-Verbindung\r\nSee system dialog for details!",
      mtInformation, {mbOK});
}

// ---------------------------------------------------------------- include boxes of the tabs

void TMainForm::CheckIncludeOExpressClick() {
  const bool on = CheckIncludeOExpress.Checked() && ButtonGetcurrent.Enabled();
  for (TextField* e : {&InputPopServer, &InputSMTPServer, &InputImapServer}) e->SetEnabled(on);
}

void TMainForm::CheckincludeHostsClick() {
  const bool on = CheckincludeHosts.Checked() && CheckincludeHosts.Enabled();
  GridHosts.SetEnabled(on);
  ButtonNewHost.SetEnabled(on);
  ButtonDeleteHost.SetEnabled(on);
  ButtonOpenHostFile.SetEnabled(on);
}

void TMainForm::ButtonNewHostClick() {
  const int current = GridHosts.CurrentRow();
  GridHosts.InsertRow(current < 0 ? GridHosts.RowCount() : current + 1);
  GridHosts.SetCurrentCell(GridHosts.RowCount() - 1, 0);
  GridHosts.SetFocus();
}

void TMainForm::ButtonDeleteHostClick() {
  if (GridHosts.RowCount() > 1) {
    const int row = GridHosts.CurrentRow();
    GridHosts.DeleteRow(row < 0 ? GridHosts.RowCount() - 1 : row);
    return;
  }
  for (int column = 0; column < 3; ++column) GridHosts.SetCell(0, column, "");
}

void TMainForm::ButtonOpenHostFileClick() {
  const std::string hosts =
      platform_.system().WindowsDirectory() + "\\system32\\drivers\\etc\\hosts";
  platform_.shell().Open("notepad.exe", hosts, "", 1 /* SW_SHOWNORMAL */);
  view_.Minimize();
}

void TMainForm::CheckIncludeSriptClick() {
  MemoScript.SetEnabled(CheckIncludeSript.Checked() && CheckIncludeSript.Enabled());
  ComboScriptExtension.SetEnabled(MemoScript.Enabled());
}

void TMainForm::ButtonLoadScriptClick() {
  auto name = questions_.OpenFileName(ScriptDialog(true));
  if (!name) return;
  MemoScript.SetText(JoinWithCrlf(ReadTextLines(*name)));
}

void TMainForm::ButtonSaveScriptsClick() {
  auto name = questions_.SaveFileName(ScriptDialog(false));
  if (!name) return;
  WriteTextLines(*name, ScriptLines());
}

void TMainForm::ButtonTestScriptClick() {
  RunProfileScript(platform_, ScriptLines(), ComboScriptExtension.ItemIndex());
}

std::vector<std::string> TMainForm::ScriptLines() const {
  return SplitLines(MemoScript.Text());
}

void TMainForm::CheckUsePrinterClick() {
  ComboPrinters.SetEnabled(CheckUsePrinter.Checked() && CheckUsePrinter.Enabled());
}

void TMainForm::FillPrinterList() {
  ComboPrinters.Clear();
  for (const std::string& name : platform_.printers().Installed()) ComboPrinters.AddItem(name);
  ComboPrinters.SetItemIndex(-1);
  ComboPrinters.SetText("");
}

// ---------------------------------------------------------------- the shown profile

std::vector<HostRow> TMainForm::HostRows() const {
  std::vector<HostRow> rows;
  for (int r = 0; r < GridHosts.RowCount(); ++r)
    rows.push_back(HostRow{GridHosts.Cell(r, 0), GridHosts.Cell(r, 1), GridHosts.Cell(r, 2)});
  return rows;
}

void TMainForm::ShowHosts(const std::vector<HostRow>& rows) {
  GridHosts.SetRowCount(0);
  GridHosts.SetRowCount(std::max<int>(1, static_cast<int>(rows.size())));
  for (size_t r = 0; r < rows.size(); ++r) {
    const int row = static_cast<int>(r);
    GridHosts.SetCell(row, 0, rows[r].HostName);
    GridHosts.SetCell(row, 1, rows[r].IPAddress);
    GridHosts.SetCell(row, 2, rows[r].Remark);
  }
}

void TMainForm::ShowRecord(const ProfileRecord& p) {
  Lan1.Show(ConnectionOf(p, 0));
  Lan2.Show(ConnectionOf(p, 1));
  Inputproxy.SetText(p.Proxy);
  InputPort.SetText(p.ProxyPort);
  CheckEnableProxy.SetChecked(p.EnableProxy);
  CheckNoProxyLocal.SetChecked(p.ProxyNoLocal);
  MemoExcludeAddresses.SetText(p.ProxyNotUsed);
  InputPopServer.SetText(p.OLEXPPOP);
  InputSMTPServer.SetText(p.OLEXPSMTP);
  InputImapServer.SetText(p.OLEXPIMAP);
  CheckIncludeOExpress.SetChecked(p.IncludeOLExp);
  CheckUsePrinter.SetChecked(p.IncludeDefPrint);
  ComboPrinters.SetText(p.DefPrinter);
  CheckincludeHosts.SetChecked(p.IncludeHostModification);
  ShowHosts(p.Hosts);
  CheckUseHostName.SetChecked(p.IncludeHostName);
  InputPCName.SetText(p.HostName);
  MemoScript.SetText("");
  ComboScriptExtension.SetText("");
  CheckIncludeSript.SetChecked(p.IncludeSript);
  const bool known = p.ScriptKind >= 0 && p.ScriptKind < 4;
  ComboScriptExtension.SetItemIndex(known ? p.ScriptKind : -1);
  MemoScript.SetText(JoinWithCrlf(p.ScriptLines));
  CheckConfirmKeep.SetChecked(p.ConfirmKeep);
  InputConfirmSeconds.SetText(std::to_string(p.ConfirmSeconds));
}

ProfileRecord TMainForm::ShownRecord() const {
  ProfileRecord p;
  SetConnection(p, 0, Lan1.Shown());
  SetConnection(p, 1, Lan2.Shown());
  p.Proxy = Inputproxy.Text();
  p.ProxyPort = InputPort.Text();
  p.EnableProxy = CheckEnableProxy.Checked();
  p.ProxyNoLocal = CheckNoProxyLocal.Checked();
  p.ProxyNotUsed = MemoExcludeAddresses.Text();
  p.OLEXPPOP = InputPopServer.Text();
  p.OLEXPSMTP = InputSMTPServer.Text();
  p.OLEXPIMAP = InputImapServer.Text();
  p.IncludeOLExp = CheckIncludeOExpress.Checked();
  p.IncludeDefPrint = CheckUsePrinter.Checked();
  p.DefPrinter = ComboPrinters.Text();
  p.IncludeHostModification = CheckincludeHosts.Checked();
  p.Hosts = HostRows();
  p.IncludeHostName = CheckUseHostName.Checked();
  p.HostName = InputPCName.Text();
  p.IncludeSript = CheckIncludeSript.Checked();
  p.ScriptLines = ScriptLines();
  p.ScriptKind = ComboScriptExtension.ItemIndex();
  p.ConfirmKeep = CheckConfirmKeep.Checked();
  p.ConfirmSeconds = std::clamp(IniFile::IntegerOf(InputConfirmSeconds.Text(), 15), 1, 255);
  return p;
}

void TMainForm::LoadProfile(const std::string& name) {
  ShowRecord(store_->LoadProfile(name));
}

void TMainForm::SaveProfile(const std::string& name) {
  store_->SaveProfile(name, ShownRecord());
}

// ---------------------------------------------------------------- Get Current

void TMainForm::GetCurrentSettings() {
  if (!OnReadCurrentSettings) return;
  // Not while an apply changes what is read.
  const auto lock = platform_.system().LockApplies(std::chrono::seconds(60));
  if (!lock) throw Error("Another apply is running on this computer; try Get Current again later.");
  OnReadCurrentSettings(*this);
}

void TMainForm::ClearInputFields() {
  for (ConnectionControls* c : {&Lan1, &Lan2}) {
    for (TextField* e :
         {&c->IP, &c->Subnet, &c->IP2, &c->Subnet2, &c->Gateway, &c->Wins, &c->DNS, &c->DNS2})
      e->SetText("");
    c->Name.Clear();
    if (newerSettings_) c->ShowNewer(ConnectionSettings());
  }
  for (TextField* e :
       {&Inputproxy, &InputPort, &InputPopServer, &InputSMTPServer, &InputImapServer})
    e->SetText("");
  CheckIncludeOExpress.SetChecked(false);
}

void TMainForm::ShowProxy(const ProxySettings& proxy) {
  Inputproxy.SetText(proxy.Server);
  InputPort.SetText(proxy.Port);
  CheckEnableProxy.SetChecked(proxy.Enable);
  CheckNoProxyLocal.SetChecked(proxy.NoLocal);
  MemoExcludeAddresses.SetText(JoinWithCrlf(proxy.Exceptions));
}

void TMainForm::ShowMail(const MailServers& mail) {
  InputPopServer.SetText(mail.Pop);
  InputSMTPServer.SetText(mail.Smtp);
  InputImapServer.SetText(mail.Imap);
}

void TMainForm::ShowComputerName(const std::string& name) {
  InputPCName.SetText(name);
}

void TMainForm::ShowDefaultPrinter(const std::string& name) {
  ComboPrinters.SetText(name);
}

void TMainForm::ShowProblems(const std::vector<std::string>& problems) {
  std::string text;
  for (const std::string& p : problems) text += (text.empty() ? "" : "\r\n\r\n") + p;
  questions_.MessageDlg(text, mtWarning, {mbOK});
}

void TMainForm::ShowConnections(const TNetworkInfoSet& table) {
  connections_ = table;
  if (!connections_.empty()) ShowConnection1(0);
  if (connections_.size() >= 2) ShowConnection2(1);
  for (ComboBox* c : {&Lan1.Name, &Lan2.Name}) {
    const std::string text = c->Text();
    for (const TNetworkInfo& info : connections_) c->AddItem(info.LongLANDescription);
    c->SetText(text);
  }
}

}  // namespace lanvoy
