// The controls of the main window: names, captions, hints, defaults and positions.
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QTabBar>

#include "mainwindow/ui/main_form.h"

namespace lanvoy {

namespace {

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w = -1,
                  int h = -1) {
  auto* label = Named(new QLabel(text, parent), name);
  if (w < 0) {
    label->adjustSize();
    label->move(x, y);
  } else {
    label->setGeometry(x, y, w, h);
  }
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int x, int y,
                        int w, int h, const QString& hint = QString()) {
  auto* button = Named(new QPushButton(caption, parent), name);
  button->setGeometry(x, y, w, h);
  button->setAutoDefault(false);
  if (!hint.isEmpty()) button->setToolTip(hint);
  return button;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& caption, int x, int y, int w,
                     int h = 18) {
  auto* box = Named(new QCheckBox(caption, parent), name);
  box->setGeometry(x, y, w, h);
  return box;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                    int h = 20) {
  auto* edit = Named(new QLineEdit(text, parent), name);
  edit->setGeometry(x, y, w, h);
  return edit;
}

QString Crlf(const char* text) {
  return QString::fromLatin1(text).replace("\r\n", "\n");
}

}  // namespace

void TMainForm::BuildControls() {
  setObjectName("MainForm");
  setWindowTitle("Lanvoy");
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFont(QFont("Arial", 8));
  BuildProfilesGroup();
  BuildEditGroup();
  PageControl1 = Named(new QTabWidget(this), "PageControl1");
  PageControl1->setGeometry(4, 174, 532, 262);
  PageControl1->setUsesScrollButtons(true);
  // All nine tabs fit in one row at the window's width.
  PageControl1->tabBar()->setStyleSheet(
      "QTabBar::tab { padding: 3px 6px; border: 1px solid #a0a0a0; border-bottom: none;"
      " margin-right: 1px; background: #e4e4e4; }"
      "QTabBar::tab:selected { background: palette(window); }"
      "QTabBar::tab:disabled { color: #909090; }");
  auto page = [this](const char* name, const char* caption) {
    auto* w = Named(new QWidget(), name);
    PageControl1->addTab(w, QString::fromLatin1(caption));
    return w;
  };
  SeiteNetwork = page("SeiteNetwork", "Network");
  SeiteMisc = page("SeiteMisc", "Misc");
  SeiteDefPrint = page("SeiteDefPrint", "Default Printer");
  TabSheet1 = page("TabSheet1", "Internet");
  SeiteMailClients = page("SeiteMailClients", "Mail");
  SeiteHosts = page("SeiteHosts", "Hosts");
  TabSheet2 = page("TabSheet2", "Script");
  SeiteOptionen = page("SeiteOptionen", "Program Options");
  SeiteInfo = page("SeiteInfo", "Info");
  PageControl1->setTabEnabled(PageControl1->indexOf(SeiteMailClients), false);
  BuildNetworkTab(SeiteNetwork);
  BuildMiscTabs();
  BuildOptionsTab(SeiteOptionen);
  BuildInfoTab(SeiteInfo);
  BuildMenus();

  TimerMinimize = Named(new QTimer(this), "TimerMinimize");
  TimerMinimize->setInterval(500);
  TimerMinimize->setSingleShot(true);
  TimerSystrayWatchdog = Named(new QTimer(this), "TimerSystrayWatchdog");
  TimerSystrayWatchdog->setInterval(10000);
}

void TMainForm::BuildProfilesGroup() {
  GroupBox2 = Named(new QGroupBox("Profiles", this), "GroupBox2");
  GroupBox2->setGeometry(4, 2, 317, 168);
  ProfileList = Named(new TListBox(GroupBox2), "ProfileList");
  ProfileList->setGeometry(8, 18, 196, 142);
  ProfileList->setToolTip("List of available profiles\nRight mouseclick to get the popup menu");
  ProfileList->setContextMenuPolicy(Qt::CustomContextMenu);
  auto glyph = [this](const char* name, QStyle::StandardPixmap icon, int x, const char* hint) {
    auto* b = Named(new QToolButton(GroupBox2), name);
    b->setIcon(style()->standardIcon(icon));
    b->setGeometry(x, 18, 30, 28);
    b->setToolTip(QString::fromLatin1(hint));
    return b;
  };
  ButtonMoreLess = glyph("ButtonMoreLess", QStyle::SP_ArrowDown, 212, "Show setup details");
  ButtonMinimize =
      glyph("ButtonMinimize", QStyle::SP_TitleBarMinButton, 244, "Minimize this window");
  ButtonExit = glyph("ButtonExit", QStyle::SP_DialogCloseButton, 276, "Exit program");
  BitBtn2 = MakeButton(GroupBox2, "BitBtn2", "REBOOT !", 212, 52, 96, 26,
                       "Reboot not necessary in most cases. Programm will ask you if so.");
  BitBtn1 = MakeButton(GroupBox2, "BitBtn1", "Show LAN state", 212, 82, 96, 26,
                       "Show details of current network properties (like \"ipconfig.exe\" )");
  ButtonApply = MakeButton(GroupBox2, "ButtonApply", "&Apply", 212, 116, 96, 44,
                           "Apply all settings of selected profile");
  ButtonApply->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
}

void TMainForm::BuildEditGroup() {
  GroupBox1 = Named(new QGroupBox("Edit Profiles", this), "GroupBox1");
  GroupBox1->setGeometry(328, 2, 208, 168);
  const int left = 8, right = 106, w = 94, h = 30;
  ButtonNew = MakeButton(GroupBox1, "ButtonNew", "&New", left, 20, w, h,
                         "Generate a new profile with default settings");
  ButtonDelete = MakeButton(GroupBox1, "ButtonDelete", "&Delete", right, 20, w, h,
                            "Delete selected Profile from List");
  ButtonRename = MakeButton(GroupBox1, "ButtonRename", "&Rename", left, 56, w, h,
                            "Give a new name to selected profile");
  ButtonCopy = MakeButton(GroupBox1, "ButtonCopy", "&Copy", right, 56, w, h,
                          "Copy all settings to a new profile");
  ButtonModify =
      MakeButton(GroupBox1, "ButtonModify", "&Modify", left, 92, w, h, "Modify selected Profile");
  ButtonGetcurrent = MakeButton(GroupBox1, "ButtonGetcurrent", "Get Current", right, 92, w, h,
                                "Retrieve system settings to input boxes");
  ButtonSave = MakeButton(GroupBox1, "ButtonSave", "&Save", left, 128, w, h,
                          "Save settings of selected profile");
  ButtonCancel = MakeButton(GroupBox1, "ButtonCancel", "Cancel", right, 128, w, h);
}

void TMainForm::BuildNetworkTab(QWidget* page) {
  auto* panel = Named(new QFrame(page), "Panel1");
  panel->setGeometry(0, 0, 524, 46);
  panel->setFrameShape(QFrame::StyledPanel);
  auto* label27 = MakeLabel(panel, "Label27",
                            Crlf("You can modify two different network connections (LAN/ WLAN). "
                                 "Take care \r\nto enter the right name for each of these "
                                 "connections in the field \"Connection\"! \r\nYou can assign a "
                                 "second IP address to each connection also."),
                            4, 2, 400, 42);
  QFont small = label27->font();
  small.setPointSize(7);
  label27->setFont(small);
  ButtonSystemDialog =
      MakeButton(panel, "ButtonSystemDialog", "Call system dialog", 410, 9, 108, 26);

  PageControl2 = Named(new QTabWidget(page), "PageControl2");
  PageControl2->setGeometry(0, 48, 524, 186);
  PageControl2->setDocumentMode(true);
  SeiteLan1 = Named(new QWidget(), "SeiteLan1");
  SeiteLan2 = Named(new QWidget(), "SeiteLan2");
  PageControl2->addTab(SeiteLan1, "Connection 1");
  PageControl2->addTab(SeiteLan2, "Connection 2");
  Lan1 = BuildConnectionTab(SeiteLan1, true);
  Lan2 = BuildConnectionTab(SeiteLan2, false);
}

ConnectionControls TMainForm::BuildConnectionTab(QWidget* page, bool first) {
  ConnectionControls c;
  const char* suffix = first ? "" : "Lan2";
  auto name = [suffix](const char* base) {
    static thread_local std::string n;
    n = std::string(base) + suffix;
    return n.c_str();
  };
  MakeLabel(page, name("LabelConnection"), first ? "Connection" : "LAN - Connection", 4, 4);
  if (first) {
    Label8 = Named(new TLinkLabel("Example", page), "Label8");
    Label8->adjustSize();
    Label8->move(110, 4);
  }
  c.Name = Named(new TEditCombo(page), name("EditLongLanDescription"));
  c.Name->setGeometry(4, 20, 170, 22);
  QFont bold = c.Name->font();
  bold.setBold(true);
  c.Name->setFont(bold);
  c.Name->setToolTip("To fill this selector press \"Get Current\" button above");
  c.Mode = Named(new TRadioGroup("Mode", {"Static address", "DHCP"}, page), name("RGDHCP"));
  c.Mode->setGeometry(4, 50, 170, 58);
  c.Mode->SetItemIndex(0);

  const QString secondHint =
      "Since Windows 2000 you may apply more then one IP address to a connection\nLanvoy "
      "supports 2 addresses.";
  auto field = [&](const char* base, const char* label, int x, int y) {
    MakeLabel(page, name((std::string("Label") + base).c_str()), label, x, y);
    QLineEdit* e = MakeEdit(page, name(base), "0.0.0.0", x, y + 14, 104);
    e->setFont(bold);
    return e;
  };
  c.IP = field("InputIP", "1. IP- Address", 180, 4);
  c.Subnet = field("InputSubnet", "Subnet- Mask", 180, 42);
  c.IP2 = field("InputIP2", "2. IP- Address", 180, 80);
  c.Subnet2 = field("InputSubnet2", "Subnet- Mask", 180, 118);
  c.IP2->setToolTip(secondHint);
  c.Subnet2->setToolTip(secondHint);
  c.DNS = field("InputDNS", "First DNS", 292, 4);
  c.DnsFromDhcp = MakeCheck(page, name("CheckGetDNSFromDHCP"), "DNS from DHCP", 402, 19, 120);
  c.DNS2 = field("InputSecondDNS", "Second DNS", 292, 42);
  c.Gateway = field("InputGateway", "Gateway", 292, 80);
  c.Wins = field("InputWins", "WINS", 292, 118);
  c.WinsFromDhcp = MakeCheck(page, name("CheckWINSDHCP"), "WINS from DHCP", 402, 133, 120);

  for (QLineEdit* e : {c.IP, c.Subnet, c.IP2, c.Subnet2, c.DNS, c.DNS2, c.Gateway, c.Wins})
    if (first || e != c.Wins) enterKeyFields_.push_back(e);
  maskPairs_.push_back({c.IP, c.Subnet});
  maskPairs_.push_back({c.IP2, c.Subnet2});
  return c;
}

void TMainForm::BuildMiscTabs() {
  // Misc
  CheckUseHostName =
      MakeCheck(SeiteMisc, "CheckUseHostName", "Modify name of computer ", 12, 16, 200);
  InputPCName = MakeEdit(SeiteMisc, "InputPCName", "", 12, 40, 200);
  MakeLabel(SeiteMisc, "Label38",
            Crlf("If this option is enabled the system needs to be restarted \r\nin order to "
                 "make the changes take effect!"),
            12, 72);

  // Default Printer
  CheckUsePrinter = MakeCheck(SeiteDefPrint, "CheckUsePrinter",
                              "Use default printer setting in this profile", 12, 16, 300);
  ComboPrinters = Named(new TEditCombo(SeiteDefPrint), "ComboPrinters");
  ComboPrinters->setGeometry(12, 42, 320, 22);

  // Internet
  CheckEnableProxy = MakeCheck(TabSheet1, "CheckEnableProxy", "Enable I-Net Proxy", 8, 8, 200);
  CheckNoProxyLocal =
      MakeCheck(TabSheet1, "CheckNoProxyLocal", "No Proxy for local addresses", 24, 28, 200);
  MakeLabel(TabSheet1, "Label5", "Internet- Proxy", 8, 52);
  Inputproxy = MakeEdit(TabSheet1, "Inputproxy", "", 8, 66, 200);
  auto* colon = MakeLabel(TabSheet1, "Label9", ":", 212, 68);
  QFont bold = colon->font();
  bold.setBold(true);
  colon->setFont(bold);
  MakeLabel(TabSheet1, "Label10", "Port", 222, 52);
  InputPort = MakeEdit(TabSheet1, "InputPort", "8080", 222, 66, 50);
  InputPort->setMaxLength(5);
  InputPort->setValidator(
      new QRegularExpressionValidator(QRegularExpression("[0-9]{0,5}"), InputPort));
  MakeLabel(TabSheet1, "Label11",
            Crlf("Don't use proxy server for addresses which start like specified "
                 "below\r\n(enter each Value in a separat line)."),
            8, 92);
  MemoExcludeAddresses = Named(new QPlainTextEdit(TabSheet1), "MemoExcludeAddresses");
  MemoExcludeAddresses->setGeometry(8, 122, 300, 106);
  MemoExcludeAddresses->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont memoFont = MemoExcludeAddresses->font();
  memoFont.setBold(true);
  memoFont.setPointSize(10);
  MemoExcludeAddresses->setFont(memoFont);
  MakeLabel(TabSheet1, "Label37",
            Crlf("Note:\r\nThis setting is only be used by\r\nMS Internet Explorer or "
                 "applications\r\nwhich use the settings of Internet Explorer!"),
            318, 8);

  // Mail
  auto* label13 = MakeLabel(
      SeiteMailClients, "Label13",
      Crlf("Note: \r\nYou need to include this settings to your profile if your E- Mail server "
           "has different IP- Addresses at different locations i.e. outside and inside of "
           "yours company network.\r\nLanvoy was tested with Outlook Express 6. With other "
           "versions you should test it to make sure a proper functionality!"),
      330, 8, 190, 220);
  label13->setWordWrap(true);
  label13->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  GroupOExpr = Named(new QGroupBox("Outlook Express account POP/ SMTP/ IMAP", SeiteMailClients),
                     "GroupOExpr");
  GroupOExpr->setGeometry(8, 8, 314, 200);
  CheckIncludeOExpress = MakeCheck(GroupOExpr, "CheckIncludeOExpress",
                                   "Include Outlook Express settings to profile", 10, 22, 290);
  MakeLabel(GroupOExpr, "LabelPop", "POP- Server", 10, 48);
  InputPopServer = MakeEdit(GroupOExpr, "InputPopServer", "", 10, 62, 200);
  MakeLabel(GroupOExpr, "LabelSmtp", "SMTP- Server", 10, 88);
  InputSMTPServer = MakeEdit(GroupOExpr, "InputSMTPServer", "", 10, 102, 200);
  MakeLabel(GroupOExpr, "LabelImap", "IMAP- Server", 10, 128);
  InputImapServer = MakeEdit(GroupOExpr, "InputImapServer", "", 10, 142, 200);
  MakeLabel(GroupOExpr, "Label14", "Settings for default account only !", 10, 172);
  for (QWidget* w : std::initializer_list<QWidget*>{CheckIncludeOExpress, InputPopServer,
                                                    InputSMTPServer, InputImapServer})
    w->setEnabled(false);

  // Hosts
  CheckincludeHosts = MakeCheck(SeiteHosts, "CheckincludeHosts",
                                "Include hosts file modification to profile", 8, 6, 300);
  ButtonDeleteHost =
      MakeButton(SeiteHosts, "ButtonDeleteHost", "Delete", 330, 4, 60, 24, "Delete selected host");
  ButtonNewHost = MakeButton(SeiteHosts, "ButtonNewHost", "New", 394, 4, 60, 24, "New Host");
  ButtonOpenHostFile =
      MakeButton(SeiteHosts, "ButtonOpenHostFile", "Open host file", 416, 190, 104, 24);
  GridHosts = Named(new QTableWidget(1, 3, SeiteHosts), "GridHosts");
  GridHosts->setGeometry(8, 32, 512, 152);
  GridHosts->setHorizontalHeaderLabels({"Host name", "IP Addres", "Remarks"});
  GridHosts->setColumnWidth(0, 140);
  GridHosts->setColumnWidth(1, 128);
  GridHosts->setColumnWidth(2, 200);
  GridHosts->verticalHeader()->setVisible(false);
  GridHosts->verticalHeader()->setDefaultSectionSize(18);
  GridHosts->verticalHeader()->setMinimumSectionSize(18);
  GridHosts->setSelectionMode(QAbstractItemView::ContiguousSelection);
  GridHosts->setEditTriggers(QAbstractItemView::AllEditTriggers);
  GridHosts->setShowGrid(true);
  auto* label39 =
      MakeLabel(SeiteHosts, "Label39",
                "Please note that the host file might be locked by a firewall or virus detection "
                "software!",
                8, 188, 400, 30);
  label39->setWordWrap(true);

  // Script
  CheckIncludeSript =
      MakeCheck(TabSheet2, "CheckIncludeSript", "Include script execution to profile", 8, 6, 240);
  MakeLabel(TabSheet2, "Label23", "Run script as :", 260, 8);
  ComboScriptExtension = Named(new QComboBox(TabSheet2), "ComboScriptExtension");
  ComboScriptExtension->setEditable(true);
  ComboScriptExtension->setInsertPolicy(QComboBox::NoInsert);
  for (const char* kind : kScriptKindNames) ComboScriptExtension->addItem(kind);
  ComboScriptExtension->setCurrentIndex(0);
  ComboScriptExtension->setGeometry(340, 4, 180, 22);
  ButtonLoadScript = MakeButton(TabSheet2, "ButtonLoadScript", "Load script", 8, 200, 100, 26,
                                "Load a script from disk");
  ButtonSaveScripts = MakeButton(TabSheet2, "ButtonSaveScripts", "Save script", 114, 200, 100, 26,
                                 "Save the script to disk");
  ButtonTestScript = MakeButton(TabSheet2, "ButtonTestScript", "Test script", 220, 200, 100, 26,
                                "Save the script to disk");
  MemoScript = Named(new QPlainTextEdit(TabSheet2), "MemoScript");
  MemoScript->setGeometry(8, 32, 512, 162);
  MemoScript->setLineWrapMode(QPlainTextEdit::NoWrap);
  MemoScript->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MemoScript->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void TMainForm::BuildOptionsTab(QWidget* page) {
  CheckAutostart = MakeCheck(page, "CheckAutostart", "Start with system", 12, 10, 250);
  CheckTray = MakeCheck(page, "CheckTray", "Tray icon when minmized", 12, 32, 250);
  CheckStartMinmized = MakeCheck(page, "CheckStartMinmized", "Start minmized", 12, 54, 250);
  CheckShowWarningMessages =
      MakeCheck(page, "CheckShowWarningMessages", "Show startup messages", 12, 76, 250);
  CheckboxValidationMessage =
      MakeCheck(page, "CheckboxValidationMessage", "Ask before applying a profile", 12, 98, 250);
  MakeLabel(page, "Label12", "After applying :", 12, 126);
  CheckTerminate = MakeCheck(page, "CheckTerminate", "Terminate", 24, 144, 200);
  CheckMinimizeAfterApply = MakeCheck(page, "CheckMinimizeAfterApply", "Minimize", 24, 166, 200);
  CheckNoAction = MakeCheck(page, "CheckNoAction", "Stay open", 24, 188, 200);
  CheckTerminate->setChecked(true);
  CheckTray->setChecked(true);
  CheckboxValidationMessage->setChecked(true);
}

void TMainForm::BuildInfoTab(QWidget* page) {
  myLabel3d1 = Named(new TmyLabel3d("Lanvoy 2.3", page), "myLabel3d1");
  myLabel3d1->setFont(QFont("Arial", 16, QFont::Bold));
  myLabel3d1->setGeometry(12, 8, 200, 32);
  MakeLabel(page, "Label36", Crlf("Change your network environment\r\nwith one mouse click!"), 12,
            44);
  MakeLabel(page, "Label19", "Built: ", 300, 16);
  LabelBuilt = MakeLabel(page, "LabelBuilt", "", 336, 16, 150, 16);
  MakeLabel(page, "Label21",
            Crlf("1.) This program works under Windows 2000 (or higher) only!\r\n2.) You need to "
                 "be logged in as an administrator, \r\n     to edit the TCP/IP - settings of "
                 "this system.\r\n3.) Lanvoy comes without any warranty. You use it at your "
                 "own risk."),
            12, 84);
  MakeLabel(page, "Label22", "For comments and other feedback :", 12, 160);
  LinkLabel1 = Named(new TLinkLabel("lanvoy@users.noreply.example", page), "LinkLabel1");
  LinkLabel1->adjustSize();
  LinkLabel1->move(196, 160);
  LinkLabel2 = Named(new TLinkLabel("Check for newer version", page), "LinkLabel2");
  LinkLabel2->adjustSize();
  LinkLabel2->move(12, 184);
  Button1 = MakeButton(page, "Button1", "Help", 432, 196, 88, 28);
}

void TMainForm::BuildMenus() {
  PopUPTray = Named(new QMenu(this), "PopUPTray");
  MenuApplyaprofile = Named(new QMenu("Apply a profile", PopUPTray), "MenuApplyaprofile");
  MenuApplyaprofile->menuAction()->setObjectName("MenuApplyaprofileItem");
  PopUPTray->addMenu(MenuApplyaprofile);
  ShowWindow1 = Named(PopUPTray->addAction("Open"), "ShowWindow1");
  QFont bold = PopUPTray->font();
  bold.setBold(true);
  ShowWindow1->setFont(bold);
  PopUPTray->setDefaultAction(ShowWindow1);
  Named(PopUPTray->addSeparator(), "N1");
  Close1 = Named(PopUPTray->addAction("Close"), "Close1");

  PopUPProfTree = Named(new QMenu(this), "PopUPProfTree");
  Modify1 = Named(PopUPProfTree->addAction("Modify"), "Modify1");
  Rename1 = Named(PopUPProfTree->addAction("Rename"), "Rename1");
  MenuDelete = Named(PopUPProfTree->addAction("Delete"), "MenuDelete");
  Copy1 = Named(PopUPProfTree->addAction("Copy"), "Copy1");
  Named(PopUPProfTree->addSeparator(), "N2");
  New2 = Named(PopUPProfTree->addAction("New"), "New2");
  Named(PopUPProfTree->addSeparator(), "N3");
  ApplytoSystem1 = Named(PopUPProfTree->addAction("Apply to System"), "ApplytoSystem1");
  Named(PopUPProfTree->addSeparator(), "N4");
  Cancel1 = Named(PopUPProfTree->addAction("Cancel"), "Cancel1");
}

}  // namespace lanvoy
