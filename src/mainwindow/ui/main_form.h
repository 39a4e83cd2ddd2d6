// TMainForm: the program's window. The shown profile lives in its controls; the editing
// rules, the profile list with its view and edit modes, and the options work on them.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "apply/apply_sequence.h"
#include "components/appexec.h"
#include "components/cool_tray_icon.h"
#include "components/dos_command.h"
#include "components/msg_dlg.h"
#include "components/sys_info.h"
#include "mainwindow/questions.h"
#include "mainwindow/ui/widgets.h"
#include "platform/platform.h"
#include "profiles/profile_record.h"
#include "profiles/profile_store.h"
#include "sysread/current_settings.h"

namespace lanvoy {

class TFormHelp;
class TFormProgress;
class TFormNetDetails;
class QtMainThreadDispatcher;
class QtNotificationArea;
class QtTrayMenu;

// The controls of one connection tab.
struct ConnectionControls {
  QComboBox* Name = nullptr;
  TRadioGroup* Mode = nullptr;
  QLineEdit* IP = nullptr;
  QLineEdit* Subnet = nullptr;
  QLineEdit* IP2 = nullptr;
  QLineEdit* Subnet2 = nullptr;
  QLineEdit* DNS = nullptr;
  QLineEdit* DNS2 = nullptr;
  QLineEdit* Gateway = nullptr;
  QLineEdit* Wins = nullptr;
  QCheckBox* DnsFromDhcp = nullptr;
  QCheckBox* WinsFromDhcp = nullptr;
};

class TMainForm : public QWidget, public CurrentSettingsSink, public ApplyObserver {
  Q_OBJECT
 public:
  // args: the command-line arguments after the program name (the second one may be "hide").
  // trayArea: where the tray icon goes; the desktop's notification area when null.
  TMainForm(platform::Platform& platform, Questions& questions, std::string exePath,
            std::vector<std::string> args, QWidget* parent = nullptr,
            NotificationArea* trayArea = nullptr);
  ~TMainForm() override;

  // The creation sequence; run once after construction.
  void FormCreate();

  // What Get Current reads; the system's readers unless replaced (tests feed their own).
  std::function<void(CurrentSettingsSink&)> OnReadCurrentSettings;

  // ---- apply
  // The shown profile, in the five stages; raises what stops the sequence.
  ApplyOutcome ApplyProfile(bool showProgress);
  // The pause in each of stages 2 to 5.
  std::chrono::milliseconds ApplyPause{500};
  // netsh runs in a visible window and is not waited for; the caption says so.
  void SetDebugMode();
  TAppExec& NetshExe() { return *netshExe_; }
  TAppExec& TempBat() { return *tempBat_; }
  TFormProgress* FormProgress() const { return formProgress_; }

  // ---- tray
  void BuildTrayProfileMenu();
  void MenuApplyaprofileClick(QAction* item);
  void ShowWindow1Click();
  void TrayIconBalloonHintClick();
  void TimerSystrayWatchdogTimer();
  TCoolTrayIcon& TrayIcon() { return *trayIcon_; }
  QtTrayMenu& TrayMenu() { return *trayMenu_; }

  // ---- LAN state view
  void CreateNetDetailsForm();
  void BitBtn1Click() { ShowLanState(); }
  void ShowLanState();
  TFormNetDetails* FormNetDetails() const { return formNetDetails_; }
  TDosCommand& DosCommand() { return *dosCommand_; }

  // ---- the profile shown
  void LoadProfile(const std::string& name);
  void SaveProfile(const std::string& name);
  ProfileRecord ShownRecord() const;
  void ShowRecord(const ProfileRecord& record);
  TProfileStore& Store() { return *store_; }
  std::string SelectedProfile() const;  // "" without a selection

  // ---- profile list and modes
  void RefillProfileList();
  void EnterEditMode();
  void LeaveEditMode();
  void ProfileListClick();
  void ProfileListDblClick();
  void ButtonNewClick();
  void ButtonDeleteClick();
  void ButtonCopyClick();
  void ButtonRenameClick();
  void ButtonModifyClick() { EnterEditMode(); }
  void ButtonSaveClick();
  void ButtonCancelClick();
  void ButtonApplyClick(QObject* sender);

  // ---- editing rules of the network tab
  void RGDHCPClick(QObject* origin);
  void RGDHCPLan2Click(QObject* origin);
  void CheckGetDNSFromDHCPClick(QObject* origin);
  void CheckGetDNSFromDHCPLan2Click(QObject* origin);
  void CheckWINSDHCPClick(QObject* origin);
  void CheckWINSDHCPLan2Click(QObject* origin);
  void EditLongLanDescriptionClick(int index);
  void EditLongLanDescriptionLan2Click(int index);
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
  bool TrayMenuAutoPopup() const;
  const std::string& OptionsPath() const { return optionsPath_; }
  TMessageDlg& DialogAdmin() { return *dialogAdmin_; }
  TMessageDlg& DialogBrowserRestart() { return *dialogBrowserRestart_; }
  TAppExec& AppExec2() { return *appExec2_; }

  // ---- Get Current
  void GetCurrentSettings();
  void ClearInputFields() override;
  void ShowProxy(const ProxySettings& proxy) override;
  void ShowMail(const MailServers& mail) override;
  void ShowComputerName(const std::string& name) override;
  void ShowDefaultPrinter(const std::string& name) override;
  void ShowHosts(const std::vector<HostRow>& rows) override;
  void ShowConnections(const TNetworkInfoSet& table) override;
  const TNetworkInfoSet& Connections() const { return connections_; }

  // ---- ApplyObserver: the progress window, the cursor and the closing notice
  void SetBusyCursor(bool busy) override;
  void ProgressRange(int minimum, int maximum) override;
  void ProgressStage(int position, const std::string& label, bool visible) override;
  void ProgressClose() override;
  void ShowMailClientWarning(const std::string& text) override;
  void RunBrowserRestartNotice() override;

  // The hosts table's rows as shown.
  std::vector<HostRow> HostRows() const;

  // Runs an event handler; an error is shown in the error box, as the application's
  // general handler does.
  void Guarded(const std::function<void()>& handler);

 signals:
  // The window was closed for good: the program ends (also from the tray, where the
  // window is hidden and closing it would not end the message loop by itself).
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void BuildProfilesGroup();
  void BuildEditGroup();
  void BuildNetworkTab(QWidget* page);
  ConnectionControls BuildConnectionTab(QWidget* page, bool first);
  void BuildMiscTabs();
  void BuildOptionsTab(QWidget* page);
  void BuildInfoTab(QWidget* page);
  void BuildMenus();
  void Connect();
  // The apply of the button and of the tray menu: netsh's complaints about the script
  // follow in a warning.
  void ApplyWithNetshWarning();
  void ModeRule(ConnectionControls& c, QObject* origin);
  void ShowConnection(ConnectionControls& c, int index);
  void DefaultMaskRule(QLineEdit* address, QLineEdit* mask);
  void SelectListEntry(const std::string& name);
  void SelectListRow(int row);
  void SetEnabledChildren(QWidget* parent, bool enabled);
  void AfterApplyClick(QCheckBox* box);
  bool FormCloseQuery();
  std::string ProgramDirectory() const;
  // Refuses an empty name or one of another existing profile (keep is the name being
  // renamed, which may change its letter case).
  bool AcceptNewName(const std::string& name, const std::string& keep);

 public:
  // Controls, named as in the window's design (tests find them by objectName too).
  QGroupBox* GroupBox2 = nullptr;
  TListBox* ProfileList = nullptr;
  QToolButton* ButtonMoreLess = nullptr;
  QToolButton* ButtonMinimize = nullptr;
  QToolButton* ButtonExit = nullptr;
  QPushButton* BitBtn2 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* ButtonApply = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QPushButton* ButtonNew = nullptr;
  QPushButton* ButtonDelete = nullptr;
  QPushButton* ButtonRename = nullptr;
  QPushButton* ButtonCopy = nullptr;
  QPushButton* ButtonModify = nullptr;
  QPushButton* ButtonGetcurrent = nullptr;
  QPushButton* ButtonSave = nullptr;
  QPushButton* ButtonCancel = nullptr;
  QTabWidget* PageControl1 = nullptr;
  QWidget* SeiteNetwork = nullptr;
  QWidget* SeiteMisc = nullptr;
  QWidget* SeiteDefPrint = nullptr;
  QWidget* TabSheet1 = nullptr;
  QWidget* SeiteMailClients = nullptr;
  QWidget* SeiteHosts = nullptr;
  QWidget* TabSheet2 = nullptr;
  QWidget* SeiteOptionen = nullptr;
  QWidget* SeiteInfo = nullptr;
  QTabWidget* PageControl2 = nullptr;
  QWidget* SeiteLan1 = nullptr;
  QWidget* SeiteLan2 = nullptr;
  QPushButton* ButtonSystemDialog = nullptr;
  TLinkLabel* Label8 = nullptr;
  ConnectionControls Lan1, Lan2;
  QCheckBox* CheckUseHostName = nullptr;
  QLineEdit* InputPCName = nullptr;
  QCheckBox* CheckUsePrinter = nullptr;
  QComboBox* ComboPrinters = nullptr;
  QCheckBox* CheckEnableProxy = nullptr;
  QCheckBox* CheckNoProxyLocal = nullptr;
  QLineEdit* Inputproxy = nullptr;
  QLineEdit* InputPort = nullptr;
  QPlainTextEdit* MemoExcludeAddresses = nullptr;
  QGroupBox* GroupOExpr = nullptr;
  QCheckBox* CheckIncludeOExpress = nullptr;
  QLineEdit* InputPopServer = nullptr;
  QLineEdit* InputSMTPServer = nullptr;
  QLineEdit* InputImapServer = nullptr;
  QCheckBox* CheckincludeHosts = nullptr;
  QPushButton* ButtonDeleteHost = nullptr;
  QPushButton* ButtonNewHost = nullptr;
  QPushButton* ButtonOpenHostFile = nullptr;
  QTableWidget* GridHosts = nullptr;
  QCheckBox* CheckIncludeSript = nullptr;
  QComboBox* ComboScriptExtension = nullptr;
  QPushButton* ButtonLoadScript = nullptr;
  QPushButton* ButtonSaveScripts = nullptr;
  QPushButton* ButtonTestScript = nullptr;
  QPlainTextEdit* MemoScript = nullptr;
  QCheckBox* CheckAutostart = nullptr;
  QCheckBox* CheckTray = nullptr;
  QCheckBox* CheckStartMinmized = nullptr;
  QCheckBox* CheckShowWarningMessages = nullptr;
  QCheckBox* CheckboxValidationMessage = nullptr;
  QCheckBox* CheckTerminate = nullptr;
  QCheckBox* CheckMinimizeAfterApply = nullptr;
  QCheckBox* CheckNoAction = nullptr;
  TmyLabel3d* myLabel3d1 = nullptr;
  QLabel* LabelBuilt = nullptr;
  TLinkLabel* LinkLabel1 = nullptr;
  TLinkLabel* LinkLabel2 = nullptr;
  QPushButton* Button1 = nullptr;
  QMenu* PopUPTray = nullptr;
  QMenu* MenuApplyaprofile = nullptr;
  QAction* ShowWindow1 = nullptr;
  QAction* Close1 = nullptr;
  QMenu* PopUPProfTree = nullptr;
  QAction* Modify1 = nullptr;
  QAction* Rename1 = nullptr;
  QAction* MenuDelete = nullptr;
  QAction* Copy1 = nullptr;
  QAction* New2 = nullptr;
  QAction* ApplytoSystem1 = nullptr;
  QAction* Cancel1 = nullptr;
  QTimer* TimerMinimize = nullptr;
  QTimer* TimerSystrayWatchdog = nullptr;

 private:
  platform::Platform& platform_;
  Questions& questions_;
  std::string exePath_;
  std::vector<std::string> args_;
  std::string optionsPath_;
  std::unique_ptr<TProfileStore> store_;
  TNetworkInfoSet connections_;
  std::unique_ptr<TMessageDlg> dialogAdmin_;
  std::unique_ptr<TMessageDlg> dialogBrowserRestart_;
  std::unique_ptr<TAppExec> appExec2_;  // the network connections panel
  std::unique_ptr<TAppExec> netshExe_;
  std::unique_ptr<TAppExec> tempBat_;
  TSysInfo sysInfo_;
  // The capture's hand-overs go through the dispatcher: it must outlive the capture.
  std::unique_ptr<QtMainThreadDispatcher> dispatcher_;
  std::unique_ptr<TDosCommand> dosCommand_;
  // The icon goes before its menu and its area.
  std::unique_ptr<QtNotificationArea> ownTrayArea_;
  std::unique_ptr<QtTrayMenu> trayMenu_;
  std::unique_ptr<TCoolTrayIcon> trayIcon_;
  bool inTray_ = false;  // the icon is in the notification area
  TFormProgress* formProgress_ = nullptr;
  TFormHelp* formHelp_ = nullptr;
  TFormNetDetails* formNetDetails_ = nullptr;
  std::vector<QLineEdit*> enterKeyFields_;
  std::vector<std::pair<QLineEdit*, QLineEdit*>> maskPairs_;  // address, mask
  bool created_ = false;
};

// The hint timing and colour for the whole application: shown after 1500 ms, hidden after
// 5000 ms, on an aqua background.
void InstallApplicationHints();

}  // namespace lanvoy
