#include "mainwindow/ui/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPalette>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleFactory>
#include <QToolTip>
#include <algorithm>

#include "app/options.h"
#include "app/ui/form_help.h"
#include "apply/ui/form_progress.h"
#include "base/files.h"
#include "base/strings.h"
#include "components/ui/qt_notification_area.h"
#include "components/ui/qt_tray_menu.h"
#include "mainwindow/ui/qt_dispatcher.h"
#include "platform/registry_access.h"
#include "sysread/current_settings_reader.h"

namespace lanvoy {

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
std::string S(const QString& s) {
  return s.toStdString();
}

// The state a control's own Enabled property gives, whatever its parents say.
bool OwnEnabled(const QWidget* w) {
  return !w->testAttribute(Qt::WA_ForceDisabled);
}

std::string RemoveBlanks(std::string name) {
  name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
  return name;
}

// Memo text (LF inside Qt) to and from the CR LF form the record keeps.
std::string MemoText(const QPlainTextEdit* memo) {
  return ReplaceAll(S(memo->toPlainText()), "\n", kCRLF);
}
QString MemoTextOf(const std::string& crlfText) {
  return Q(ReplaceAll(ReplaceAll(crlfText, kCRLF, "\n"), "\r", "\n"));
}

void SetLines(QPlainTextEdit* memo, const std::vector<std::string>& lines) {
  QStringList list;
  for (const std::string& line : lines) list << Q(line);
  memo->setPlainText(list.join('\n'));
}

// The application's hint delay: the style tells the application when to raise a hint.
class HintStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_ToolTip_WakeUpDelay) return 1500;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

// Every hint stays for 5000 ms, whatever its length.
class HintDuration : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ToolTip) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->toolTip().isEmpty()) return false;
    auto* help = static_cast<QHelpEvent*>(event);
    QToolTip::showText(help->globalPos(), w->toolTip(), w, QRect(), 5000);
    return true;
  }
};

}  // namespace

void InstallApplicationHints() {
  static HintDuration* hints = nullptr;
  if (hints) return;
  hints = new HintDuration(qApp);
  qApp->installEventFilter(hints);
  QApplication::setStyle(new HintStyle(QApplication::style()->name()));
  QPalette palette = QToolTip::palette();
  palette.setColor(QPalette::ToolTipBase, QColor(0, 255, 255));
  palette.setColor(QPalette::ToolTipText, Qt::black);
  QToolTip::setPalette(palette);
}

TMainForm::TMainForm(platform::Platform& platform, Questions& questions, std::string exePath,
                     std::vector<std::string> args, QWidget* parent, NotificationArea* trayArea)
    : QWidget(parent),
      platform_(platform),
      questions_(questions),
      exePath_(std::move(exePath)),
      args_(std::move(args)),
      optionsPath_(OptionsPathFor(exePath_)),
      dialogAdmin_(std::make_unique<TMessageDlg>(questions)),
      dialogBrowserRestart_(std::make_unique<TMessageDlg>(questions)),
      sysInfo_(platform.system()),
      dispatcher_(std::make_unique<QtMainThreadDispatcher>()) {
  appExec2_ = std::make_unique<TAppExec>(platform_.processes());
  appExec2_->SetExeName("Rundll32.exe");
  appExec2_->SetExeParams({"Shell32.dll,Control_RunDLL ncpa.cpl"});
  appExec2_->SetWait(false);
  appExec2_->SetWindowState(wsMinimized);
  appExec2_->SetHideIfMinimized(false);
  netshExe_ = std::make_unique<TAppExec>(platform_.processes());
  netshExe_->SetExeName("netsh");
  netshExe_->SetWait(true);
  netshExe_->SetWindowState(wsMinimized);
  netshExe_->SetHideIfMinimized(true);
  tempBat_ = std::make_unique<TAppExec>(platform_.processes());
  tempBat_->SetWait(true);
  tempBat_->SetWindowState(wsMinimized);
  tempBat_->SetHideIfMinimized(true);
  dosCommand_ = std::make_unique<TDosCommand>(platform_.processes(), *dispatcher_);
  dosCommand_->SetInputToOutput(false);
  dosCommand_->SetMaxTimeAfterBeginning(0);
  dosCommand_->SetMaxTimeAfterLastOutput(0);
  dosCommand_->SetShowWindow(swMINIMIZE);
  dosCommand_->SetCreationFlag(fCREATE_NEW_CONSOLE);
  dosCommand_->SetReturnCode(rcCRLF);
  OnReadCurrentSettings = [this](CurrentSettingsSink& sink) {
    ReadContext context{platform_, ProgramDirectory(), sysInfo_.WindowsDirectory(), *tempBat_};
    ReadCurrentSettings(context, sink);
  };
  SetupDialogAdmin(*dialogAdmin_);
  SetupDialogBrowserRestart(*dialogBrowserRestart_);
  BuildControls();
  setWindowIcon(QIcon(":/lanvoy/lanvoy.png"));
  if (!trayArea) {
    ownTrayArea_ = std::make_unique<QtNotificationArea>();
    trayArea = ownTrayArea_.get();
  }
  trayMenu_ = std::make_unique<QtTrayMenu>(PopUPTray);
  trayIcon_ = std::make_unique<TCoolTrayIcon>(*trayArea);
  trayIcon_->SetIcon(TIcon{":/lanvoy/lanvoy.png"});
  trayIcon_->SetIconIndex(0);
  trayIcon_->SetHint("Lanvoy");
  trayIcon_->PopupMenu = trayMenu_.get();
  trayIcon_->OnBalloonHintClick = [this](TCoolTrayIcon&) {
    Guarded([this] { TrayIconBalloonHintClick(); });
  };
  trayIcon_->Loaded();
  // The windows the program entry makes after this one, in its order.
  formProgress_ = new TFormProgress(this);
  formHelp_ = new TFormHelp(this);
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
  auto on = [this](auto* sender, auto signal, std::function<void()> handler) {
    connect(sender, signal, this, [this, handler] { Guarded(handler); });
  };
  // Profiles group and edit group.
  // The selection, not the current row: a mouse press moves the current row before the
  // item is selected.
  connect(ProfileList, &QListWidget::itemSelectionChanged, this,
          [this] { Guarded([this] { ProfileListClick(); }); });
  on(ProfileList, &TListBox::DblClick, [this] { ProfileListDblClick(); });
  connect(ProfileList, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopUPProfTree->popup(ProfileList->mapToGlobal(at)); });
  ProfileList->installEventFilter(this);
  on(ButtonMoreLess, &QToolButton::clicked, [this] { ExpandWindow(); });
  on(ButtonMinimize, &QToolButton::clicked, [this] { ButtonMinimizeClick(); });
  on(ButtonExit, &QToolButton::clicked, [this] { close(); });
  on(BitBtn2, &QPushButton::clicked, [this] { BitBtn2Click(); });
  on(BitBtn1, &QPushButton::clicked, [this] { BitBtn1Click(); });
  on(ButtonApply, &QPushButton::clicked, [this] { ButtonApplyClick(ButtonApply); });
  on(ButtonNew, &QPushButton::clicked, [this] { ButtonNewClick(); });
  on(ButtonDelete, &QPushButton::clicked, [this] { ButtonDeleteClick(); });
  on(ButtonRename, &QPushButton::clicked, [this] { ButtonRenameClick(); });
  on(ButtonCopy, &QPushButton::clicked, [this] { ButtonCopyClick(); });
  on(ButtonModify, &QPushButton::clicked, [this] { ButtonModifyClick(); });
  on(ButtonGetcurrent, &QPushButton::clicked, [this] { GetCurrentSettings(); });
  on(ButtonSave, &QPushButton::clicked, [this] { ButtonSaveClick(); });
  on(ButtonCancel, &QPushButton::clicked, [this] { ButtonCancelClick(); });
  ButtonCancel->setShortcut(QKeySequence(Qt::Key_Escape));

  // Menus.
  on(Modify1, &QAction::triggered, [this] { ButtonModifyClick(); });
  on(Rename1, &QAction::triggered, [this] { ButtonRenameClick(); });
  on(MenuDelete, &QAction::triggered, [this] { ButtonDeleteClick(); });
  on(Copy1, &QAction::triggered, [this] { ButtonCopyClick(); });
  on(New2, &QAction::triggered, [this] { ButtonNewClick(); });
  on(ApplytoSystem1, &QAction::triggered, [this] { ButtonApplyClick(ApplytoSystem1); });
  on(ShowWindow1, &QAction::triggered, [this] { ShowWindow1Click(); });
  on(Close1, &QAction::triggered, [this] { close(); });
  on(TimerMinimize, &QTimer::timeout, [this] {
    showMinimized();
    TimerMinimize->stop();
  });
  on(TimerSystrayWatchdog, &QTimer::timeout, [this] { TimerSystrayWatchdogTimer(); });
  TimerSystrayWatchdog->start();

  // Network tab: programmatic changes run the same rules as clicks, with the control as origin.
  connect(Lan1.Mode, &TRadioGroup::Click, this,
          [this] { Guarded([this] { RGDHCPClick(Lan1.Mode); }); });
  connect(Lan2.Mode, &TRadioGroup::Click, this,
          [this] { Guarded([this] { RGDHCPLan2Click(Lan2.Mode); }); });
  on(Lan1.DnsFromDhcp, &QCheckBox::toggled, [this] { CheckGetDNSFromDHCPClick(Lan1.DnsFromDhcp); });
  on(Lan2.DnsFromDhcp, &QCheckBox::toggled,
     [this] { CheckGetDNSFromDHCPLan2Click(Lan2.DnsFromDhcp); });
  on(Lan1.WinsFromDhcp, &QCheckBox::toggled, [this] { CheckWINSDHCPClick(Lan1.WinsFromDhcp); });
  on(Lan2.WinsFromDhcp, &QCheckBox::toggled, [this] { CheckWINSDHCPLan2Click(Lan2.WinsFromDhcp); });
  connect(Lan1.Name, &QComboBox::activated, this,
          [this](int i) { Guarded([this, i] { EditLongLanDescriptionClick(i); }); });
  connect(Lan2.Name, &QComboBox::activated, this,
          [this](int i) { Guarded([this, i] { EditLongLanDescriptionLan2Click(i); }); });
  for (QLineEdit* e : enterKeyFields_) e->installEventFilter(this);
  for (auto& pair : maskPairs_) pair.second->installEventFilter(this);
  on(ButtonSystemDialog, &QPushButton::clicked, [this] { ButtonSystemDialogClick(); });
  on(Label8, &TLinkLabel::Clicked, [this] { Label8Click(); });

  // Other tabs.
  on(CheckIncludeOExpress, &QCheckBox::toggled, [this] { CheckIncludeOExpressClick(); });
  on(CheckincludeHosts, &QCheckBox::toggled, [this] { CheckincludeHostsClick(); });
  on(ButtonNewHost, &QPushButton::clicked, [this] { ButtonNewHostClick(); });
  on(ButtonDeleteHost, &QPushButton::clicked, [this] { ButtonDeleteHostClick(); });
  on(ButtonOpenHostFile, &QPushButton::clicked, [this] { ButtonOpenHostFileClick(); });
  on(CheckIncludeSript, &QCheckBox::toggled, [this] { CheckIncludeSriptClick(); });
  on(ButtonLoadScript, &QPushButton::clicked, [this] { ButtonLoadScriptClick(); });
  on(ButtonSaveScripts, &QPushButton::clicked, [this] { ButtonSaveScriptsClick(); });
  on(ButtonTestScript, &QPushButton::clicked, [this] { ButtonTestScriptClick(); });
  on(CheckUsePrinter, &QCheckBox::toggled, [this] { CheckUsePrinterClick(); });

  // Options.
  on(CheckAutostart, &QCheckBox::toggled, [this] { CheckAutostartClick(); });
  on(CheckTerminate, &QCheckBox::toggled, [this] { AfterApplyClick(CheckTerminate); });
  on(CheckMinimizeAfterApply, &QCheckBox::toggled,
     [this] { AfterApplyClick(CheckMinimizeAfterApply); });
  on(CheckNoAction, &QCheckBox::toggled, [this] { AfterApplyClick(CheckNoAction); });
  on(CheckShowWarningMessages, &QCheckBox::toggled,
     [this] { SetStartupMessages(CheckShowWarningMessages->isChecked()); });
  on(CheckboxValidationMessage, &QCheckBox::toggled,
     [this] { SetAskBeforeApply(CheckboxValidationMessage->isChecked()); });

  // Info tab.
  on(Button1, &QPushButton::clicked, [this] { Button1Click(); });
  on(LinkLabel1, &TLinkLabel::Clicked,
     [this] { platform_.shell().Open("mailto:" + S(LinkLabel1->text()), "", "", 1); });
  on(LinkLabel2, &TLinkLabel::Clicked,
     [this] { platform_.shell().Open("https://lanvoy.example/download", "", "", 1); });
}

// ---------------------------------------------------------------- creation and options

void TMainForm::FormCreate() {
  InstallApplicationHints();
  CompactWindow();
  PageControl1->setCurrentWidget(SeiteNetwork);
  PageControl2->setCurrentWidget(SeiteLan1);
  store_ = std::make_unique<TProfileStore>(StorePathFor(exePath_));
  created_ = true;
  Guarded([this] { LoadOptions(); });
  Guarded([this] { RefillProfileList(); });
  Guarded([this] { FillPrinterList(); });
  SelectListRow(ProfileList->count() > 0 ? 0 : -1);
  Guarded([this] { dialogAdmin_->Execute(); });
  LabelBuilt->setText(Q(GetFileVersionText()));
  Guarded([this] { GetCurrentSettings(); });
  if (ProfileList->count() > 0) {
    Guarded([this] { LoadProfile(S(ProfileList->item(0)->text())); });
    LeaveEditMode();
  } else {
    Guarded([this] {
      ShowRecord(store_->CreateProfile("DEFAULT"));
      RefillProfileList();
      SelectListRow(-1);
      GetCurrentSettings();
    });
    EnterEditMode();
    SelectListRow(ProfileList->count() > 0 ? 0 : -1);
  }
  ProfileList->setFocus();
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
  CheckTerminate->setChecked(o.Terminate);
  CheckMinimizeAfterApply->setChecked(o.MinimizeAfterApply);
  CheckNoAction->setChecked(o.NoActionAfterApply);
  CheckTray->setChecked(o.Trayicon);
  CheckStartMinmized->setChecked(o.StartMin);

  bool hide = args_.size() >= 2 && LowerCase(args_[1]) == "hide";
  if (!hide) {
    if (CheckStartMinmized->isChecked())
      ButtonMinimizeClick();
    else
      show();
  }
  Lan1.Name->setEditText(Q(o.LANName));
  CheckboxValidationMessage->setChecked(o.NoValidationMessage);

  TRegistry reg(platform_.registry(), platform::RootKey::CurrentUser);
  if (reg.OpenKey(kRunKey, true)) {
    bool autostart = false;
    try {
      autostart = !reg.ReadString(kRunValue).empty();
    } catch (const ERegistryException&) {
      autostart = false;  // a value of another type is no autostart entry of ours
    }
    CheckAutostart->setChecked(autostart);
  }
}

void TMainForm::SaveOptions() {
  ProgramOptions o;
  o.StartMin = CheckStartMinmized->isChecked();
  o.MinimizeAfterApply = CheckMinimizeAfterApply->isChecked();
  o.Terminate = CheckTerminate->isChecked();
  o.NoActionAfterApply = CheckNoAction->isChecked();
  o.Trayicon = CheckTray->isChecked();
  o.LANName = S(Lan1.Name->currentText());
  IniFile ini(optionsPath_);
  WriteProgramOptions(ini, o);
}

void TMainForm::AfterApplyClick(QCheckBox* box) {
  if (!box->isChecked()) return;
  for (QCheckBox* other : {CheckTerminate, CheckMinimizeAfterApply, CheckNoAction})
    if (other != box) other->setChecked(false);
}

void TMainForm::CheckAutostartClick() {
  TRegistry reg(platform_.registry(), platform::RootKey::CurrentUser);
  if (!reg.OpenKey(kRunKey, true)) return;
  if (CheckAutostart->isChecked())
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
  move(0, 0);
  resize(width(), 174);
  resize(325, 174);
  setFixedSize(325, 174);
  ButtonMoreLess->setEnabled(true);
}

void TMainForm::ExpandWindow() {
  setFixedSize(540, 440);
  ButtonMoreLess->setEnabled(false);
}

void TMainForm::ButtonMinimizeClick() {
  CompactWindow();
  if (CheckTray->isChecked()) {
    // A desktop without a notification area would leave no way back to a hidden window:
    // then the window goes to the taskbar instead.
    inTray_ = trayIcon_->ShowIcon() || inTray_;
    if (inTray_) {
      hide();
      trayIcon_->ShowBalloonHint("Lanvoy", "Click here to access Lanvoys configuration dialog!",
                                 bitInfo, 1);
      return;
    }
  }
  trayIcon_->SetIconVisible(false);
  inTray_ = false;
  // To the taskbar: shown compact for a moment, then minimized.
  show();
  raise();
  TimerMinimize->start();
}

bool TMainForm::FormCloseQuery() {
  if (!ButtonSave->isEnabled()) return true;
  return questions_.MessageDlg("You are about to edit a profile! Teminate anyway ?", mtWarning,
                               {mbYes, mbNo}) == mrYes;
}

void TMainForm::closeEvent(QCloseEvent* event) {
  bool close = true;
  Guarded([&] { close = FormCloseQuery(); });
  if (close) {
    event->accept();
    emit Closed();
  } else {
    event->ignore();
  }
}

bool TMainForm::TrayMenuAutoPopup() const {
  return trayMenu_->AutoPopup();
}

void TMainForm::contextMenuEvent(QContextMenuEvent* event) {
  if (TrayMenuAutoPopup()) PopUPTray->popup(event->globalPos());
}

void TMainForm::Button1Click() {
  formHelp_->ShowModalCentred(this);
}

void TMainForm::BitBtn2Click() {
  if (questions_.MessageDlg("This reboots your system!", mtWarning, {mbOK, mbCancel}) != mrOk)
    return;
  platform::System& system = platform_.system();
  if (!system.AdjustPrivilege("SeShutdownPrivilege", true)) return;
  system.ExitWindows(2 /* EWX_REBOOT */, 0);
  system.AdjustPrivilege("SeShutdownPrivilege", false);
}

// ---------------------------------------------------------------- key and focus rules

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && watched == ProfileList) {
      Guarded([this] { ProfileListDblClick(); });
      return true;
    }
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (enter && field &&
        std::find(enterKeyFields_.begin(), enterKeyFields_.end(), field) != enterKeyFields_.end()) {
      // As the Tab key: the next control in the tab order that takes the focus.
      for (QWidget* next = field->nextInFocusChain(); next && next != field;
           next = next->nextInFocusChain()) {
        if ((next->focusPolicy() & Qt::TabFocus) && next->isEnabled() && next->isVisibleTo(this)) {
          next->setFocus(Qt::TabFocusReason);
          break;
        }
      }
      return true;
    }
  } else if (event->type() == QEvent::FocusIn) {
    for (auto& [address, mask] : maskPairs_)
      if (watched == mask) DefaultMaskRule(address, mask);
  }
  return QWidget::eventFilter(watched, event);
}

void TMainForm::DefaultMaskRule(QLineEdit* address, QLineEdit* mask) {
  if (!address->text().isEmpty() && mask->text().isEmpty()) mask->setText("255.255.255.0");
}

// ---------------------------------------------------------------- network tab rules

void TMainForm::ModeRule(ConnectionControls& c, QObject* origin) {
  const bool editing = ButtonGetcurrent->isEnabled();
  const bool isStatic = c.Mode->ItemIndex() == 0;
  const bool dhcp = c.Mode->ItemIndex() == 1;
  for (QLineEdit* e : {c.IP, c.Subnet, c.IP2, c.Subnet2, c.Gateway})
    e->setEnabled(isStatic && editing);
  c.DnsFromDhcp->setEnabled(dhcp && editing);
  c.WinsFromDhcp->setEnabled(dhcp && editing);
  if (origin == c.Mode) {
    c.DnsFromDhcp->setChecked(dhcp && editing);
    c.WinsFromDhcp->setChecked(dhcp && editing);
  }
}

void TMainForm::RGDHCPClick(QObject* origin) {
  ModeRule(Lan1, origin);
}
void TMainForm::RGDHCPLan2Click(QObject* origin) {
  ModeRule(Lan2, origin);
}

void TMainForm::CheckGetDNSFromDHCPClick(QObject* origin) {
  if (origin != Lan1.DnsFromDhcp) return;
  Lan1.DNS->setEnabled(!Lan1.DnsFromDhcp->isChecked());
  Lan1.DNS2->setEnabled(!Lan1.DnsFromDhcp->isChecked());
}

void TMainForm::CheckGetDNSFromDHCPLan2Click(QObject* origin) {
  if (origin != Lan2.DnsFromDhcp) return;
  Lan2.DNS->setEnabled(!Lan2.DnsFromDhcp->isChecked());
  Lan2.DNS2->setEnabled(!Lan2.DnsFromDhcp->isChecked());
}

void TMainForm::CheckWINSDHCPClick(QObject* origin) {
  if (origin != Lan1.WinsFromDhcp) return;
  Lan1.Wins->setEnabled(!Lan1.WinsFromDhcp->isChecked());
}

void TMainForm::CheckWINSDHCPLan2Click(QObject* origin) {
  if (origin != Lan2.WinsFromDhcp) return;
  Lan2.Wins->setEnabled(!Lan2.WinsFromDhcp->isChecked());
}

void TMainForm::EditLongLanDescriptionClick(int index) {
  ShowConnection1(index);
}

void TMainForm::EditLongLanDescriptionLan2Click(int index) {
  if (Lan1.Name->currentText() != Lan2.Name->currentText()) {
    ShowConnection2(index);
    return;
  }
  questions_.MessageDlg("This Connection is in use allready by connection 1!", mtError, {mbOK});
  Lan2.Name->setCurrentIndex(-1);
  Lan2.Name->setEditText(QString());
}

void TMainForm::ShowConnection(ConnectionControls& c, int index) {
  if (index < 0 || index >= static_cast<int>(connections_.size())) return;
  const TNetworkInfo& info = connections_[static_cast<size_t>(index)];
  c.Name->setEditText(Q(info.LongLANDescription));
  c.Mode->SetItemIndex(info.DHCP ? 1 : 0);
  c.IP->setText(Q(info.IP));
  c.IP2->setText(Q(info.IP2));
  c.Subnet->setText(Q(info.Subnet));
  c.Subnet2->setText(Q(info.Subnet2));
  c.Gateway->setText(Q(info.Gateway));
  c.DNS->setText(Q(info.DNS));
  c.DNS2->setText(Q(info.DNS2));
  c.Wins->setText(Q(info.WINS));
  c.DnsFromDhcp->setChecked(info.DHCP_DNS);
  c.WinsFromDhcp->setChecked(info.DHCP_WINS);
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
  const bool on = CheckIncludeOExpress->isChecked() && ButtonGetcurrent->isEnabled();
  for (QLineEdit* e : {InputPopServer, InputSMTPServer, InputImapServer}) e->setEnabled(on);
}

void TMainForm::CheckincludeHostsClick() {
  const bool on = CheckincludeHosts->isChecked() && OwnEnabled(CheckincludeHosts);
  GridHosts->setEnabled(on);
  ButtonNewHost->setEnabled(on);
  ButtonDeleteHost->setEnabled(on);
  ButtonOpenHostFile->setEnabled(on);
}

void TMainForm::ButtonNewHostClick() {
  GridHosts->insertRow(GridHosts->currentRow() < 0 ? GridHosts->rowCount()
                                                   : GridHosts->currentRow() + 1);
  GridHosts->setCurrentCell(GridHosts->rowCount() - 1, 0);
  GridHosts->setFocus();
}

void TMainForm::ButtonDeleteHostClick() {
  if (GridHosts->rowCount() > 1) {
    int row = GridHosts->currentRow();
    GridHosts->removeRow(row < 0 ? GridHosts->rowCount() - 1 : row);
    return;
  }
  for (int col = 0; col < 3; ++col) GridHosts->setItem(0, col, new QTableWidgetItem());
}

void TMainForm::ButtonOpenHostFileClick() {
  std::string hosts = platform_.system().WindowsDirectory() + "\\system32\\drivers\\etc\\hosts";
  platform_.shell().Open("notepad.exe", hosts, "", 1 /* SW_SHOWNORMAL */);
  showMinimized();
}

void TMainForm::CheckIncludeSriptClick() {
  MemoScript->setEnabled(CheckIncludeSript->isChecked() && OwnEnabled(CheckIncludeSript));
  ComboScriptExtension->setEnabled(OwnEnabled(MemoScript));
}

namespace {
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
}  // namespace

void TMainForm::ButtonLoadScriptClick() {
  auto name = questions_.OpenFileName(ScriptDialog(true));
  if (!name) return;
  SetLines(MemoScript, ReadTextLines(*name));
}

void TMainForm::ButtonSaveScriptsClick() {
  auto name = questions_.SaveFileName(ScriptDialog(false));
  if (!name) return;
  WriteTextLines(*name, SplitLines(MemoText(MemoScript)));
}

void TMainForm::ButtonTestScriptClick() {
  // As the apply runs it: "Script" plus the kind's extension beside the program, then the
  // shell's "open"; failures are not reported.
  std::vector<std::string> lines = SplitLines(MemoText(MemoScript));
  if (lines.empty()) return;
  static const char* const kExtensions[4] = {".bat", ".vbs", ".js", ".ws"};
  int kind = ComboScriptExtension->currentIndex();
  std::string path =
      ProgramDirectory() + "Script" + (kind >= 0 && kind < 4 ? kExtensions[kind] : "");
  try {
    WriteTextLines(platform_.system().NativePath(path), lines);
    platform_.shell().Open(path, "", "", 1);
  } catch (const std::exception&) {
  }
}

void TMainForm::CheckUsePrinterClick() {
  ComboPrinters->setEnabled(CheckUsePrinter->isChecked() && OwnEnabled(CheckUsePrinter));
}

void TMainForm::FillPrinterList() {
  ComboPrinters->clear();
  ComboPrinters->setEditText(QString());
  for (const std::string& name : platform_.printers().Installed()) ComboPrinters->addItem(Q(name));
  ComboPrinters->setCurrentIndex(-1);
  ComboPrinters->setEditText(QString());
}

// ---------------------------------------------------------------- the shown profile

std::vector<HostRow> TMainForm::HostRows() const {
  std::vector<HostRow> rows;
  auto cell = [this](int r, int c) {
    const QTableWidgetItem* item = GridHosts->item(r, c);
    return item ? S(item->text()) : std::string();
  };
  for (int r = 0; r < GridHosts->rowCount(); ++r)
    rows.push_back(HostRow{cell(r, 0), cell(r, 1), cell(r, 2)});
  return rows;
}

void TMainForm::ShowHosts(const std::vector<HostRow>& rows) {
  GridHosts->clearContents();
  GridHosts->setRowCount(std::max<int>(1, static_cast<int>(rows.size())));
  for (size_t r = 0; r < rows.size(); ++r) {
    const int row = static_cast<int>(r);
    GridHosts->setItem(row, 0, new QTableWidgetItem(Q(rows[r].HostName)));
    GridHosts->setItem(row, 1, new QTableWidgetItem(Q(rows[r].IPAddress)));
    GridHosts->setItem(row, 2, new QTableWidgetItem(Q(rows[r].Remark)));
  }
}

void TMainForm::ShowRecord(const ProfileRecord& p) {
  auto connection = [](ConnectionControls& c, const std::string& ip, const std::string& subnet,
                       const std::string& ip2, const std::string& subnet2,
                       const std::string& gateway, const std::string& dns, const std::string& dns2,
                       const std::string& wins, const std::string& name, int32_t mode, bool dhcpDns,
                       bool dhcpWins, bool second) {
    if (second) {
      c.IP2->setText(Q(ip2));
      c.Subnet2->setText(Q(subnet2));
      c.IP->setText(Q(ip));
      c.Subnet->setText(Q(subnet));
    } else {
      c.IP->setText(Q(ip));
      c.Subnet->setText(Q(subnet));
      c.IP2->setText(Q(ip2));
      c.Subnet2->setText(Q(subnet2));
    }
    c.Gateway->setText(Q(gateway));
    c.DNS->setText(Q(dns));
    c.DNS2->setText(Q(dns2));
    c.Wins->setText(Q(wins));
    c.Name->setEditText(Q(name));
    c.Mode->SetItemIndex(mode > 1 ? 1 : (mode < 0 ? -1 : mode));
    c.DnsFromDhcp->setChecked(dhcpDns);
    c.WinsFromDhcp->setChecked(dhcpWins);
  };
  connection(Lan1, p.IP, p.Subnet, p.IP2, p.Subnet2, p.Gateway, p.DNS, p.DNS2, p.WINS,
             p.LongLANDescription, p.DHCP, p.DHCP_DNS, p.DHCP_WINS, false);
  connection(Lan2, p.IPLan2, p.SubnetLan2, p.IP2Lan2, p.Subnet2Lan2, p.GatewayLan2, p.DNSLan2,
             p.DNS2Lan2, p.WINSLan2, p.LongLANDescriptionLan2, p.DHCPLan2, p.DHCP_DNSLan2,
             p.DHCP_WINSLan2, true);
  Inputproxy->setText(Q(p.Proxy));
  InputPort->setText(Q(p.ProxyPort));
  CheckEnableProxy->setChecked(p.EnableProxy);
  CheckNoProxyLocal->setChecked(p.ProxyNoLocal);
  MemoExcludeAddresses->setPlainText(MemoTextOf(p.ProxyNotUsed));
  InputPopServer->setText(Q(p.OLEXPPOP));
  InputSMTPServer->setText(Q(p.OLEXPSMTP));
  InputImapServer->setText(Q(p.OLEXPIMAP));
  CheckIncludeOExpress->setChecked(p.IncludeOLExp);
  CheckUsePrinter->setChecked(p.IncludeDefPrint);
  ComboPrinters->setEditText(Q(p.DefPrinter));
  CheckincludeHosts->setChecked(p.IncludeHostModification);
  ShowHosts(p.Hosts);
  CheckUseHostName->setChecked(p.IncludeHostName);
  InputPCName->setText(Q(p.HostName));
  MemoScript->setUpdatesEnabled(false);
  MemoScript->clear();
  ComboScriptExtension->setEditText(QString());
  CheckIncludeSript->setChecked(p.IncludeSript);
  const bool known = p.ScriptKind >= 0 && p.ScriptKind < 4;
  ComboScriptExtension->setCurrentIndex(known ? p.ScriptKind : -1);
  if (!known) ComboScriptExtension->setEditText(QString());
  SetLines(MemoScript, p.ScriptLines);
  MemoScript->setUpdatesEnabled(true);
}

ProfileRecord TMainForm::ShownRecord() const {
  ProfileRecord p;
  auto text = [](const QLineEdit* e) { return S(e->text()); };
  p.LongLANDescription = S(Lan1.Name->currentText());
  p.DHCP = Lan1.Mode->ItemIndex();
  p.IP = text(Lan1.IP);
  p.Subnet = text(Lan1.Subnet);
  p.IP2 = text(Lan1.IP2);
  p.Subnet2 = text(Lan1.Subnet2);
  p.Gateway = text(Lan1.Gateway);
  p.DNS = text(Lan1.DNS);
  p.DNS2 = text(Lan1.DNS2);
  p.WINS = text(Lan1.Wins);
  p.DHCP_DNS = Lan1.DnsFromDhcp->isChecked();
  p.DHCP_WINS = Lan1.WinsFromDhcp->isChecked();
  p.LongLANDescriptionLan2 = S(Lan2.Name->currentText());
  p.DHCPLan2 = Lan2.Mode->ItemIndex();
  p.IPLan2 = text(Lan2.IP);
  p.SubnetLan2 = text(Lan2.Subnet);
  p.IP2Lan2 = text(Lan2.IP2);
  p.Subnet2Lan2 = text(Lan2.Subnet2);
  p.GatewayLan2 = text(Lan2.Gateway);
  p.DNSLan2 = text(Lan2.DNS);
  p.DNS2Lan2 = text(Lan2.DNS2);
  p.WINSLan2 = text(Lan2.Wins);
  p.DHCP_DNSLan2 = Lan2.DnsFromDhcp->isChecked();
  p.DHCP_WINSLan2 = Lan2.WinsFromDhcp->isChecked();
  p.Proxy = text(Inputproxy);
  p.ProxyPort = text(InputPort);
  p.EnableProxy = CheckEnableProxy->isChecked();
  p.ProxyNoLocal = CheckNoProxyLocal->isChecked();
  p.ProxyNotUsed = MemoText(MemoExcludeAddresses);
  p.OLEXPPOP = text(InputPopServer);
  p.OLEXPSMTP = text(InputSMTPServer);
  p.OLEXPIMAP = text(InputImapServer);
  p.IncludeOLExp = CheckIncludeOExpress->isChecked();
  p.IncludeDefPrint = CheckUsePrinter->isChecked();
  p.DefPrinter = S(ComboPrinters->currentText());
  p.IncludeHostModification = CheckincludeHosts->isChecked();
  p.Hosts = HostRows();
  p.IncludeHostName = CheckUseHostName->isChecked();
  p.HostName = text(InputPCName);
  p.IncludeSript = CheckIncludeSript->isChecked();
  p.ScriptLines = SplitLines(MemoText(MemoScript));
  p.ScriptKind = ComboScriptExtension->currentIndex();
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
  if (OnReadCurrentSettings) OnReadCurrentSettings(*this);
}

void TMainForm::ClearInputFields() {
  for (QLineEdit* e :
       {Lan1.IP,        Lan1.Subnet,     Lan1.IP2,       Lan1.Subnet2, Lan1.Gateway, Lan1.Wins,
        Inputproxy,     InputPort,       Lan1.DNS,       Lan1.DNS2,    Lan2.IP,      Lan2.Subnet,
        Lan2.IP2,       Lan2.Subnet2,    Lan2.Gateway,   Lan2.Wins,    Lan2.DNS,     Lan2.DNS2,
        InputPopServer, InputSMTPServer, InputImapServer})
    e->clear();
  CheckIncludeOExpress->setChecked(false);
  for (QComboBox* c : {Lan1.Name, Lan2.Name}) {
    c->clear();
    c->setEditText(QString());
  }
}

void TMainForm::ShowProxy(const ProxySettings& proxy) {
  Inputproxy->setText(Q(proxy.Server));
  InputPort->setText(Q(proxy.Port));
  CheckEnableProxy->setChecked(proxy.Enable);
  CheckNoProxyLocal->setChecked(proxy.NoLocal);
  SetLines(MemoExcludeAddresses, proxy.Exceptions);
}

void TMainForm::ShowMail(const MailServers& mail) {
  InputPopServer->setText(Q(mail.Pop));
  InputSMTPServer->setText(Q(mail.Smtp));
  InputImapServer->setText(Q(mail.Imap));
}

void TMainForm::ShowComputerName(const std::string& name) {
  InputPCName->setText(Q(name));
}

void TMainForm::ShowDefaultPrinter(const std::string& name) {
  ComboPrinters->setEditText(Q(name));
}

void TMainForm::ShowConnections(const TNetworkInfoSet& table) {
  connections_ = table;
  if (!connections_.empty()) ShowConnection1(0);
  if (connections_.size() >= 2) ShowConnection2(1);
  for (QComboBox* c : {Lan1.Name, Lan2.Name}) {
    const QString text = c->currentText();
    for (const TNetworkInfo& info : connections_) c->addItem(Q(info.LongLANDescription));
    c->setCurrentIndex(-1);
    c->setEditText(text);
  }
}

// ---------------------------------------------------------------- profile list and modes

std::string TMainForm::SelectedProfile() const {
  const QListWidgetItem* item = ProfileList->currentItem();
  return item && item->isSelected() ? S(item->text()) : std::string();
}

void TMainForm::SelectListRow(int row) {
  const QSignalBlocker block(ProfileList);
  ProfileList->clearSelection();
  ProfileList->setCurrentRow(row);
  if (row >= 0) ProfileList->item(row)->setSelected(true);
}

void TMainForm::SelectListEntry(const std::string& name) {
  for (int row = 0; row < ProfileList->count(); ++row) {
    if (SameText(S(ProfileList->item(row)->text()), name)) {
      SelectListRow(row);
      return;
    }
  }
}

void TMainForm::RefillProfileList() {
  std::vector<std::string> names = store_->ProfileNames();
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return LowerCase(a) < LowerCase(b);
  });
  {
    const QSignalBlocker block(ProfileList);
    ProfileList->clear();
    for (const std::string& name : names) ProfileList->addItem(Q(name));
  }
  SelectListRow(names.empty() ? -1 : 0);
  BuildTrayProfileMenu();
}

void TMainForm::ProfileListClick() {
  const std::string name = SelectedProfile();
  if (name.empty()) return;
  LoadProfile(name);
  LeaveEditMode();
}

void TMainForm::ProfileListDblClick() {
  if (SelectedProfile().empty()) return;  // nothing to apply on an empty list
  ButtonApplyClick(ProfileList);
}

void TMainForm::SetEnabledChildren(QWidget* parent, bool enabled) {
  for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (!qobject_cast<QLabel*>(child)) child->setEnabled(enabled);
}

void TMainForm::LeaveEditMode() {
  RGDHCPClick(this);
  for (QWidget* parent : {SeiteLan1, SeiteLan2, static_cast<QWidget*>(GroupOExpr)})
    SetEnabledChildren(parent, false);
  Inputproxy->setEnabled(false);
  InputPort->setEnabled(false);
  MemoExcludeAddresses->setReadOnly(true);
  CheckEnableProxy->setEnabled(false);
  CheckNoProxyLocal->setEnabled(false);
  PageControl1->setTabEnabled(PageControl1->indexOf(SeiteMailClients), false);
  ButtonSave->setEnabled(false);
  ButtonCancel->setEnabled(false);
  ButtonNew->setEnabled(true);
  const bool selected = !SelectedProfile().empty();
  for (QWidget* w : std::initializer_list<QWidget*>{ButtonDelete, ButtonModify, ButtonApply,
                                                    ButtonCopy, ButtonRename})
    w->setEnabled(selected);
  for (QAction* a : {Modify1, MenuDelete, Rename1, Copy1, ApplytoSystem1}) a->setEnabled(selected);
  ButtonGetcurrent->setEnabled(false);
  ProfileList->setEnabled(true);
  ButtonExit->setEnabled(true);
  ButtonMinimize->setEnabled(true);
  for (QWidget* w : std::initializer_list<QWidget*>{
           ComboPrinters, CheckUsePrinter, CheckincludeHosts, GridHosts, ButtonNewHost,
           ButtonDeleteHost, ButtonOpenHostFile, CheckIncludeSript, MemoScript, ButtonLoadScript,
           ComboScriptExtension})
    w->setEnabled(false);
  trayMenu_->SetAutoPopup(true);
  CheckUseHostName->setEnabled(false);
  InputPCName->setEnabled(false);
}

void TMainForm::EnterEditMode() {
  RGDHCPClick(this);
  for (QWidget* parent : {SeiteLan1, SeiteLan2, static_cast<QWidget*>(GroupOExpr)})
    SetEnabledChildren(parent, true);
  ExpandWindow();
  Inputproxy->setEnabled(true);
  InputPort->setEnabled(true);
  MemoExcludeAddresses->setReadOnly(false);
  CheckEnableProxy->setEnabled(true);
  CheckNoProxyLocal->setEnabled(true);
  const bool selected = !SelectedProfile().empty();
  ButtonRename->setEnabled(selected);
  PageControl1->setTabEnabled(PageControl1->indexOf(SeiteMailClients), true);
  ButtonSave->setEnabled(true);
  ButtonCancel->setEnabled(true);
  ButtonGetcurrent->setEnabled(true);
  ButtonNew->setEnabled(false);
  ButtonDelete->setEnabled(selected);
  ButtonModify->setEnabled(false);
  ButtonApply->setEnabled(false);
  for (QAction* a : {Modify1, MenuDelete, Rename1}) a->setEnabled(false);
  ProfileList->setEnabled(false);
  ButtonExit->setEnabled(false);
  ButtonMinimize->setEnabled(false);
  CheckUsePrinter->setEnabled(true);
  ComboPrinters->setEnabled(CheckUsePrinter->isChecked());
  CheckincludeHosts->setEnabled(true);
  for (QWidget* w : std::initializer_list<QWidget*>{GridHosts, ButtonNewHost, ButtonDeleteHost,
                                                    ButtonOpenHostFile})
    w->setEnabled(CheckincludeHosts->isChecked());
  CheckIncludeSript->setEnabled(true);
  MemoScript->setEnabled(CheckIncludeSript->isChecked());
  ButtonLoadScript->setEnabled(true);
  ComboScriptExtension->setEnabled(OwnEnabled(MemoScript));
  Lan1.DnsFromDhcp->setEnabled(Lan1.Mode->ItemIndex() == 1);
  Lan1.WinsFromDhcp->setEnabled(Lan1.Mode->ItemIndex() == 1);
  Lan2.DnsFromDhcp->setEnabled(Lan2.Mode->ItemIndex() == 1);
  Lan2.WinsFromDhcp->setEnabled(Lan2.Mode->ItemIndex() == 1);
  CheckUseHostName->setEnabled(true);
  InputPCName->setEnabled(true);
  Lan1.IP->setFocus();
  trayMenu_->SetAutoPopup(false);
  repaint();
}

bool TMainForm::AcceptNewName(const std::string& name, const std::string& keep) {
  if (Trim(name).empty() || !TProfileStore::IsValidProfileName(name)) {
    questions_.MessageDlg(
        "Please enter a profile name (it may not be empty or hold \"[\", \"]\" "
        "or a line break).",
        mtError, {mbOK});
    return false;
  }
  if (store_->ProfileExists(name) && !SameText(name, keep)) {
    questions_.MessageDlg("Profile \"" + name + "\" already exists! Choose another name please.",
                          mtError, {mbOK});
    return false;
  }
  return true;
}

void TMainForm::ButtonNewClick() {
  ExpandWindow();
  std::string name;
  for (;;) {
    name = RemoveBlanks(questions_.InputBox("New IP- Profile", "Enter profile name", name));
    if (name.empty()) return;
    if (!store_->ProfileExists(name)) break;
    if (questions_.MessageDlg("Profile \"" + name + "\" already exists! Enter a new name please?",
                              mtError, {mbOK, mbCancel}) != mrOk)
      return;
  }
  if (!TProfileStore::IsValidProfileName(name)) {
    AcceptNewName(name, "");
    return;
  }
  ShowRecord(store_->CreateProfile(name));
  RefillProfileList();
  SelectListEntry(name);
  EnterEditMode();
  GetCurrentSettings();
}

void TMainForm::ButtonDeleteClick() {
  const std::string name = SelectedProfile();
  if (name.empty()) return;
  if (questions_.MessageDlg("This deletes selected profile \"" + name + "\"! Proceed?", mtWarning,
                            {mbYes, mbNo}) != mrYes)
    return;
  ClearInputFields();
  store_->DeleteProfile(name);
  RefillProfileList();
  LeaveEditMode();
  if (ProfileList->count() > 0) LoadProfile(S(ProfileList->item(0)->text()));
}

void TMainForm::ButtonCopyClick() {
  const std::string source = SelectedProfile();
  if (source.empty()) return;
  ClearInputFields();
  const std::string name =
      questions_.InputBox("Copy Profile", "Enter new name", "Copy of " + source);
  if (!AcceptNewName(name, "")) {
    // Nothing is copied; the source is shown again as it is stored.
    LoadProfile(source);
    LeaveEditMode();
    return;
  }
  store_->CopyProfile(source, name);
  LeaveEditMode();
  RefillProfileList();
  SelectListEntry(name);
  LoadProfile(name);
}

void TMainForm::ButtonRenameClick() {
  const std::string source = SelectedProfile();
  if (source.empty()) return;
  ClearInputFields();
  const std::string name = questions_.InputBox("Rename Profile", "Enter new name", source);
  if (name == source) return;
  if (!AcceptNewName(name, source)) {
    LoadProfile(source);
    LeaveEditMode();
    return;
  }
  if (!store_->MoveProfile(source, name)) return;
  LeaveEditMode();
  RefillProfileList();
  SelectListEntry(name);
  LoadProfile(name);
}

void TMainForm::ButtonSaveClick() {
  const std::string name = SelectedProfile();
  if (name.empty()) return;
  SaveProfile(name);
  LoadProfile(name);
  LeaveEditMode();
  if (questions_.MessageDlg("Would you like to apply this profile to your computer right now?",
                            mtConfirmation, {mbYes, mbNo}) == mrYes)
    ButtonApplyClick(ButtonSave);
}

void TMainForm::ButtonCancelClick() {
  const std::string name = SelectedProfile();
  if (!name.empty()) LoadProfile(name);
  LeaveEditMode();
}

}  // namespace lanvoy
