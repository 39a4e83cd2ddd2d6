// TMainForm: the main window's logic. The shown profile lives in the window's controls; the
// creation and closing sequences, the options, the profile list with its view and edit
// modes, the editing rules of the tabs, Get Current, the apply and the tray work on them.
// The window itself is a MainWindowView of some toolkit, built from MainFormLayout(); its
// controls' events run the handlers below, named after their control and event.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "apply/apply_session.h"
#include "components/appexec.h"
#include "components/cool_tray_icon.h"
#include "components/dos_command.h"
#include "components/msg_dlg.h"
#include "components/sys_info.h"
#include "mainwindow/controls.h"
#include "mainwindow/main_window_view.h"
#include "mainwindow/questions.h"
#include "mainwindow/tray_menu.h"
#include "platform/platform.h"
#include "profiles/profile_record.h"
#include "profiles/profile_store.h"
#include "sysread/current_settings.h"
#include "sysread/lan_state.h"

namespace lanvoy {

// The controls of one connection tab: the window's binding of a connection's settings.
struct ConnectionControls {
  ConnectionControls(const ControlSet& set, const std::string& suffix);
  void Show(const ConnectionSettings& c);
  ConnectionSettings Shown() const;
  // The settings of Vista and later alone, from its page "IPv6 and more".
  void ShowNewer(const ConnectionSettings& c);
  ComboBox& Name;
  RadioGroup& Mode;
  TextField &IP, &Subnet, &IP2, &Subnet2, &DNS, &DNS2, &Gateway, &Wins;
  CheckBox &DnsFromDhcp, &WinsFromDhcp;
  RadioGroup& IPv6Mode;  // item 0 leaves IPv6 alone, then static and automatic
  TextField &IPv6, &IPv6Prefix, &IPv6_2, &IPv6Prefix2, &IPv6Gateway, &IPv6DNS, &IPv6DNS2;
  CheckBox& IPv6DnsFromDhcp;
  TextField &DNSMore, &DNSSuffix, &GatewayMetric, &WlanProfile;
  RadioGroup& AdapterState;  // item 0 leaves the adapter alone, then disabled and enabled
};

class TMainForm : public CurrentSettingsSink, public ApplyObserver {
 public:
  // args: the command-line arguments after the program name (the second may be "hide").
  TMainForm(platform::Platform& platform, Questions& questions, std::string exePath,
            std::vector<std::string> args, MainWindowView& view);
  // FormDestroy: saves the options; the icon leaves the tray.
  ~TMainForm() override;
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  // The creation sequence; run once after construction.
  void FormCreate();

  // What Get Current reads; the system's readers unless replaced (tests feed their own).
  std::function<void(CurrentSettingsSink&)> OnReadCurrentSettings;
  // The connections of the interface dump for the checks and the snapshot of an apply;
  // without it they are not read.
  std::function<TNetworkInfoSet()> OnReadConnections;
  // The pause in each of the apply's stages 2 to 5.
  std::chrono::milliseconds ApplyPause = kStagePause;

  // ---- apply
  void ButtonApplyClick(const Widget* sender);
  // netsh runs in a visible window and is not waited for; the caption says so.
  void SetDebugMode();
  // The apply session of this window: the window is its observer.
  ApplySession Session();
  // Asks whether to undo the last apply, naming it; the button, the tray's and the list's menus.
  void UndoLastApplyClick();
  // Back to the state before the apply `back` applies ago, which the user chose as `asked`;
  // what came of it is said, naming that apply.
  void UndoBack(size_t back, const Snapshot& asked);
  // The undo button is there to be pressed when an apply can be undone.
  void EnableUndo();
  // Asks whether to keep the applied settings, with a countdown; without a yes, undoes.
  bool KeepOrRevert(int seconds);

  // ---- the profile shown
  void LoadProfile(const std::string& name);
  void SaveProfile(const std::string& name);
  ProfileRecord ShownRecord() const;
  void ShowRecord(const ProfileRecord& record);
  std::string SelectedProfile() const;  // "" without a selection

  // ---- profile list and modes
  void RefillProfileList();
  void EnterEditMode();
  void LeaveEditMode();
  bool Editing() const;  // edit mode: Get Current is enabled
  void ProfileListClick();
  void ProfileListDblClick();
  void ButtonNewClick();
  void ButtonDeleteClick();
  void ButtonCopyClick();
  void ButtonRenameClick();
  void ButtonModifyClick() { EnterEditMode(); }
  void ButtonSaveClick();
  void ButtonCancelClick();

  // ---- editing rules of the network tab
  void RGDHCPClick(const Widget* origin);
  void RGDHCPLan2Click(const Widget* origin);
  void CheckGetDNSFromDHCPClick(const Widget* origin);
  void CheckGetDNSFromDHCPLan2Click(const Widget* origin);
  void CheckWINSDHCPClick(const Widget* origin);
  void CheckWINSDHCPLan2Click(const Widget* origin);
  // The page "IPv6 and more": its controls take input in edit mode on Vista and later only;
  // the addresses in static mode, the DNS servers unless they come from DHCP.
  void RGIPv6ModeClick();
  void RGIPv6ModeLan2Click();
  void CheckIPv6DNSFromDHCPClick();
  void CheckIPv6DNSFromDHCPLan2Click();
  void EditLongLanDescriptionClick(int index);
  void EditLongLanDescriptionLan2Click(int index);
  // true: the character is discarded.
  bool InputIPKeyPress(TextField& origin, char key);
  void ButtonSystemDialogClick();
  void Label8Click();
  void ShowConnection1(int index);
  void ShowConnection2(int index);

  // ---- other tabs
  void CheckIncludeOExpressClick();
  void CheckincludeHostsClick();
  void ButtonNewHostClick();
  void ButtonDeleteHostClick();
  void ButtonOpenHostFileClick();
  void CheckIncludeSriptClick();
  void ButtonLoadScriptClick();
  void ButtonSaveScriptsClick();
  void ButtonTestScriptClick();
  void CheckUsePrinterClick();
  void FillPrinterList();
  void BitBtn2Click();
  void Button1Click();

  // ---- lifecycle and options
  void LoadOptions();
  void SaveOptions();
  void CompactWindow();
  void ExpandWindow();
  void ButtonMinimizeClick();
  void CheckAutostartClick();
  void SetStartupMessages(bool show);
  void SetAskBeforeApply(bool ask);
  std::string GetFileVersionText();
  // Any request to close the window asks first while a profile is edited; true: it closes.
  bool FormCloseQuery();
  // Exit, the tray menu's Close, the after-apply action Terminate.
  void Close();

  // ---- tray
  void BuildTrayProfileMenu(const std::vector<std::string>& names);  // in the list's order
  // The tray's tooltip names the last apply or undo and the address it left.
  void TrayShowsApplied(const ApplyReport& report);
  void MenuApplyaprofileClick(const std::string& caption);
  void ShowWindow1Click();
  void TrayIconBalloonHintClick();
  void TimerMinimizeTimer();
  void TimerSystrayWatchdogTimer();
  // A right click on the window opens the tray menu, unless edit mode has switched it off.
  void FormContextPopup(int x, int y);

  // ---- LAN state view
  void CreateNetDetailsForm();
  void BitBtn1Click() { ShowLanState(); }
  void ShowLanState();
  // The page "History": the kept applies, newest first, and the history's lines.
  void ShowHistory();
  void ListSnapshotsClick();
  void ButtonRestoreBeforeClick();
  // One piece of the capture's output (its OnNewLine).
  void DosCommandNewLine(TDosCommand& sender, const std::string& piece, TOutputType type);

  // ---- Get Current
  void GetCurrentSettings();
  void ClearInputFields() override;
  void ShowProxy(const ProxySettings& proxy) override;
  void ShowMail(const MailServers& mail) override;
  void ShowComputerName(const std::string& name) override;
  void ShowDefaultPrinter(const std::string& name) override;
  void ShowHosts(const std::vector<HostRow>& rows) override;
  void ShowConnections(const TNetworkInfoSet& table) override;
  void ShowProblems(const std::vector<std::string>& problems) override;
  const TNetworkInfoSet& Connections() const { return connections_; }
  // The hosts table's rows as shown.
  std::vector<HostRow> HostRows() const;

  // ---- ApplyObserver: the progress window, the cursor and the closing notice
  void SetBusyCursor(bool busy) override;
  void ProgressRange(int minimum, int maximum) override;
  void ProgressStage(int position, const std::string& label, bool visible) override;
  void ProgressClose() override;
  void ShowMailClientWarning(const std::string& text) override;
  void RunBrowserRestartNotice() override;
  // The toolkit's worker and message loop; meanwhile every handler of the window is held
  // off (the tray's menu and the timers too), so that nothing starts twice.
  void RunAnswering(const std::function<void()>& work) override;

  // Runs an event handler; an error is shown in the error box, as the application's
  // general handler does. Not while a run of RunAnswering goes on.
  void Guarded(const std::function<void()>& handler);

  // ---- components and state
  MainWindowView& View() { return view_; }
  TProfileStore& Store() { return *store_; }
  TAppExec& NetshExe() { return *netshExe_; }
  TDosCommand& DosCommand() { return *dosCommand_; }
  TCoolTrayIcon& TrayIcon() { return *trayIcon_; }
  // The tray menu PopUPTray as the tray icon opens it.
  TrayPopupMenu& TrayMenu() { return trayMenu_; }

 private:
  void Connect();
  void ConnectionEvents(ConnectionControls& c, void (TMainForm::*modeRule)(const Widget*),
                        void (TMainForm::*dnsRule)(const Widget*),
                        void (TMainForm::*winsRule)(const Widget*),
                        void (TMainForm::*nameRule)(int));
  // The apply of the button and of the tray menu: findings of the checks are asked about
  // first; netsh's complaints and what is not in place follow in a warning, then the keep
  // question when the profile asks for it. false: the user stopped it at the findings.
  bool ApplyWithNetshWarning(const std::string& name);
  void ModeRule(ConnectionControls& c, const Widget* origin);
  void DnsRule(ConnectionControls& c, const Widget* origin);
  void WinsRule(ConnectionControls& c, const Widget* origin);
  void NewerRule(ConnectionControls& c);
  void ShowConnection(ConnectionControls& c, int index);
  void DefaultMaskRule(TextField& address, TextField& mask);
  void SelectListEntry(const std::string& name);
  // After a copy or rename: the list anew, the profile selected and shown as stored.
  void ShowChangedProfile(const std::string& name);
  void SelectListRow(int row);
  // Every windowed control whose direct parent is that page or group.
  void SetEnabledChildren(const std::string& parent, bool enabled);
  void AfterApplyClick(CheckBox& box);
  std::string ProgramDirectory() const;
  enum class NameBox { New, Copy, Rename };
  // The name box of New, Copy or Rename for the selected profile (source), opened again
  // with the typed name after each refused one; nullopt when the user cancels.
  std::optional<std::string> AskProfileName(NameBox box, const std::string& source);
  // Why the name is refused ("" when it is taken): empty, "[", "]" or a line break, too
  // long, or another existing profile's (keep is the name being renamed, which may change
  // its letter case).
  std::string NameProblem(const std::string& name, const std::string& keep, NameBox box) const;
  std::vector<std::string> ScriptLines() const;

  platform::Platform& platform_;
  Questions& questions_;
  std::string exePath_;
  bool answering_ = false;  // RunAnswering's work runs
  // Windows Vista or later: the connections' newer settings can be edited (on Windows
  // 2000/XP they stay as the profile has them).
  bool newerSettings_;
  std::vector<std::string> args_;
  std::string optionsPath_;
  MainWindowView& view_;
  const ControlSet& set_;

 public:
  // The window's controls, by their names in the layout.
  ListBox& ProfileList = set_.Get<ListBox>("ProfileList");
  Button& ButtonMoreLess = set_.Get<Button>("ButtonMoreLess");
  Button& ButtonMinimize = set_.Get<Button>("ButtonMinimize");
  Button& ButtonExit = set_.Get<Button>("ButtonExit");
  Button& BitBtn2 = set_.Get<Button>("BitBtn2");
  Button& BitBtn1 = set_.Get<Button>("BitBtn1");
  Button& ButtonApply = set_.Get<Button>("ButtonApply");
  Button& ButtonUndo = set_.Get<Button>("ButtonUndo");
  Button& ButtonNew = set_.Get<Button>("ButtonNew");
  Button& ButtonDelete = set_.Get<Button>("ButtonDelete");
  Button& ButtonRename = set_.Get<Button>("ButtonRename");
  Button& ButtonCopy = set_.Get<Button>("ButtonCopy");
  Button& ButtonModify = set_.Get<Button>("ButtonModify");
  Button& ButtonGetcurrent = set_.Get<Button>("ButtonGetcurrent");
  Button& ButtonSave = set_.Get<Button>("ButtonSave");
  Button& ButtonCancel = set_.Get<Button>("ButtonCancel");
  TabPage& SeiteNetwork = set_.Get<TabPage>("SeiteNetwork");
  TabPage& SeiteMailClients = set_.Get<TabPage>("SeiteMailClients");
  TabPage& SeiteLan1 = set_.Get<TabPage>("SeiteLan1");
  Button& ButtonSystemDialog = set_.Get<Button>("ButtonSystemDialog");
  Label& Label8 = set_.Get<Label>("Label8");
  CheckBox& CheckUseHostName = set_.Get<CheckBox>("CheckUseHostName");
  TextField& InputPCName = set_.Get<TextField>("InputPCName");
  CheckBox& CheckUsePrinter = set_.Get<CheckBox>("CheckUsePrinter");
  ComboBox& ComboPrinters = set_.Get<ComboBox>("ComboPrinters");
  CheckBox& CheckEnableProxy = set_.Get<CheckBox>("CheckEnableProxy");
  CheckBox& CheckNoProxyLocal = set_.Get<CheckBox>("CheckNoProxyLocal");
  TextField& Inputproxy = set_.Get<TextField>("Inputproxy");
  TextField& InputPort = set_.Get<TextField>("InputPort");
  Memo& MemoExcludeAddresses = set_.Get<Memo>("MemoExcludeAddresses");
  CheckBox& CheckIncludeOExpress = set_.Get<CheckBox>("CheckIncludeOExpress");
  TextField& InputPopServer = set_.Get<TextField>("InputPopServer");
  TextField& InputSMTPServer = set_.Get<TextField>("InputSMTPServer");
  TextField& InputImapServer = set_.Get<TextField>("InputImapServer");
  CheckBox& CheckincludeHosts = set_.Get<CheckBox>("CheckincludeHosts");
  Button& ButtonDeleteHost = set_.Get<Button>("ButtonDeleteHost");
  Button& ButtonNewHost = set_.Get<Button>("ButtonNewHost");
  Button& ButtonOpenHostFile = set_.Get<Button>("ButtonOpenHostFile");
  Grid& GridHosts = set_.Get<Grid>("GridHosts");
  CheckBox& CheckIncludeSript = set_.Get<CheckBox>("CheckIncludeSript");
  ComboBox& ComboScriptExtension = set_.Get<ComboBox>("ComboScriptExtension");
  Button& ButtonLoadScript = set_.Get<Button>("ButtonLoadScript");
  Button& ButtonSaveScripts = set_.Get<Button>("ButtonSaveScripts");
  Button& ButtonTestScript = set_.Get<Button>("ButtonTestScript");
  Memo& MemoScript = set_.Get<Memo>("MemoScript");
  CheckBox& CheckAutostart = set_.Get<CheckBox>("CheckAutostart");
  CheckBox& CheckTray = set_.Get<CheckBox>("CheckTray");
  CheckBox& CheckStartMinmized = set_.Get<CheckBox>("CheckStartMinmized");
  CheckBox& CheckShowWarningMessages = set_.Get<CheckBox>("CheckShowWarningMessages");
  CheckBox& CheckboxValidationMessage = set_.Get<CheckBox>("CheckboxValidationMessage");
  CheckBox& CheckTerminate = set_.Get<CheckBox>("CheckTerminate");
  CheckBox& CheckMinimizeAfterApply = set_.Get<CheckBox>("CheckMinimizeAfterApply");
  CheckBox& CheckNoAction = set_.Get<CheckBox>("CheckNoAction");
  Label& LabelBuilt = set_.Get<Label>("LabelBuilt");
  Label& LinkLabel1 = set_.Get<Label>("LinkLabel1");
  Label& LinkLabel2 = set_.Get<Label>("LinkLabel2");
  Button& Button1 = set_.Get<Button>("Button1");
  PopupMenu& PopUPTray = set_.Get<PopupMenu>("PopUPTray");
  PopupMenu& PopUPProfTree = set_.Get<PopupMenu>("PopUPProfTree");
  SubMenu& MenuApplyaprofile = set_.Get<SubMenu>("MenuApplyaprofile");
  MenuItem& ShowWindow1 = set_.Get<MenuItem>("ShowWindow1");
  MenuItem& Close1 = set_.Get<MenuItem>("Close1");
  MenuItem& Modify1 = set_.Get<MenuItem>("Modify1");
  MenuItem& Rename1 = set_.Get<MenuItem>("Rename1");
  MenuItem& MenuDelete = set_.Get<MenuItem>("MenuDelete");
  MenuItem& Copy1 = set_.Get<MenuItem>("Copy1");
  MenuItem& New2 = set_.Get<MenuItem>("New2");
  MenuItem& ApplytoSystem1 = set_.Get<MenuItem>("ApplytoSystem1");
  Timer& TimerMinimize = set_.Get<Timer>("TimerMinimize");
  Timer& TimerSystrayWatchdog = set_.Get<Timer>("TimerSystrayWatchdog");
  CheckBox& CheckConfirmKeep = set_.Get<CheckBox>("CheckConfirmKeep");
  TextField& InputConfirmSeconds = set_.Get<TextField>("InputConfirmSeconds");
  MenuItem& UndoLastApply1 = set_.Get<MenuItem>("UndoLastApply1");
  MenuItem& UndoLastApply2 = set_.Get<MenuItem>("UndoLastApply2");
  ConnectionControls Lan1, Lan2;

 private:
  std::unique_ptr<TProfileStore> store_;
  TNetworkInfoSet connections_;
  std::unique_ptr<TMessageDlg> dialogAdmin_;
  std::unique_ptr<TMessageDlg> dialogBrowserRestart_;
  std::unique_ptr<TAppExec> appExec2_;  // the network connections panel
  std::unique_ptr<TAppExec> netshExe_;
  std::unique_ptr<TAppExec> tempBat_;
  TSysInfo sysInfo_;
  std::unique_ptr<TDosCommand> dosCommand_;
  LayoutPopupMenu trayMenu_;
  std::unique_ptr<TCoolTrayIcon> trayIcon_;
  LanStateView* lanState_ = nullptr;
  std::vector<Snapshot> keptShown_;  // the history page's list, oldest first
  LanStateFeed lanFeed_;
  std::vector<TextField*> enterKeyFields_;
  bool inTray_ = false;  // the icon is in the notification area
  bool compact_ = false;
  bool created_ = false;
};

}  // namespace lanvoy
