#include "mainwindow/ui/main_form.h"

#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QKeyEvent>
#include <QStyle>
#include <QToolTip>

#include "app/options.h"
#include "fake_platform.h"
#include "gui_app.h"
#include "profiles/ini_file.h"
#include "test_support/temp_dir.h"

namespace lanvoy {
namespace {

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::GuiApp();
    platform.exePath = dir.File("Lanvoy.exe");
    // The administrator notice and the closing notice stay silent unless a test wants them.
    dir.Write("Lanvoy.GUI", "[Programm]\r\nMsgAdminNeeded=1\r\nMsgRestartBrowser=1\r\n");
  }
  void TearDown() override {
    form.reset();
    EXPECT_TRUE(questions.AllAnswered());
  }

  TMainForm& Create(std::vector<std::string> args = {}) {
    form = std::make_unique<TMainForm>(platform, questions, platform.exePath, args);
    // The fake machine has no netsh to dump the connections: Get Current reads nothing.
    form->OnReadCurrentSettings = nullptr;
    form->ApplyPause = std::chrono::milliseconds(0);
    form->FormCreate();
    return *form;
  }
  void Store(const std::string& text) { dir.Write("Lanvoy.INI", text); }
  IniFile StoreIni() { return IniFile(dir.File("Lanvoy.INI")); }
  IniFile OptionsIni() { return IniFile(dir.File("Lanvoy.GUI")); }
  std::vector<std::string> ListEntries() {
    std::vector<std::string> names;
    for (int i = 0; i < form->ProfileList->count(); ++i)
      names.push_back(form->ProfileList->item(i)->text().toStdString());
    return names;
  }
  static bool Own(QWidget* w) { return !w->testAttribute(Qt::WA_ForceDisabled); }
  std::string Text(QLineEdit* e) { return e->text().toStdString(); }

  test::TempDir dir;
  test::FakePlatform platform;
  ScriptedQuestions questions;
  std::unique_ptr<TMainForm> form;
};

const char* kOffice =
    "[office]\r\nIP=10.0.0.5\r\nSubnet=255.0.0.0\r\nDNS=10.0.0.1\r\nDHCP=1\r\nDHCP_DNS=1\r\n"
    "DHCP_WINS=0\r\nLongLANDescription=LAN-Verbindung\r\nIncludeHostModification=1\r\n"
    "HostsCount=2\r\nH1='10.0.0.7   printer   #lab'\r\nH2='10.0.0.8   nas   #'\r\n"
    "ProxyNotUsed=10.*;intranet\r\nScriptKind=1\r\nScriptLinesCount=1\r\nS1='echo hi'\r\n";

TEST_F(MainFormTest, StartsOnTheFirstProfileInViewModeWithTheRulesApplied) {
  Store(std::string(kOffice) + "[Home]\r\nIP=192.168.1.2\r\n");
  Create();
  EXPECT_EQ(ListEntries(), (std::vector<std::string>{"Home", "office"}));
  EXPECT_EQ(form->SelectedProfile(), "Home");
  EXPECT_EQ(Text(form->Lan1.IP), "192.168.1.2");
  EXPECT_FALSE(form->ButtonSave->isEnabled());
  EXPECT_EQ(form->size(), QSize(325, 174));
  EXPECT_TRUE(form->ButtonMoreLess->isEnabled());
  EXPECT_EQ(form->LabelBuilt->text(), "2.3.0.1");
  EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), QColor(0, 255, 255));
  EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 1500);
  EXPECT_EQ(form->PageControl1->currentWidget(), form->SeiteNetwork);

  // Selecting "office" loads it: DHCP mode disables the static fields and both boxes; the
  // loaded box state stands because it is set after the mode.
  form->ProfileList->setCurrentRow(1);
  EXPECT_EQ(Text(form->Lan1.IP), "10.0.0.5");
  EXPECT_EQ(form->Lan1.Mode->ItemIndex(), 1);
  EXPECT_FALSE(Own(form->Lan1.IP));
  EXPECT_FALSE(Own(form->Lan1.DnsFromDhcp));
  EXPECT_TRUE(form->Lan1.DnsFromDhcp->isChecked());
  EXPECT_FALSE(form->Lan1.WinsFromDhcp->isChecked());
  EXPECT_EQ(form->MemoExcludeAddresses->toPlainText(), "10.*\nintranet");
  EXPECT_EQ(form->GridHosts->rowCount(), 2);
  EXPECT_EQ(form->GridHosts->item(0, 1)->text(), "10.0.0.7");
  EXPECT_EQ(form->GridHosts->item(0, 2)->text(), "lab");
  EXPECT_EQ(form->ShownRecord().Hosts, form->Store().LoadProfile("office").Hosts);
  EXPECT_EQ(form->ComboScriptExtension->currentText(), "Visual Basic Script (vbs)");
  EXPECT_EQ(form->MemoScript->toPlainText(), "echo hi");
  EXPECT_EQ(form->ShownRecord().Hosts[1].IPAddress, "10.0.0.8");
}

TEST_F(MainFormTest, EditAndViewModeEnableWhatTheyList) {
  Store(kOffice);
  Create();
  form->ButtonModifyClick();
  EXPECT_EQ(form->size(), QSize(540, 440));
  EXPECT_FALSE(form->ButtonMoreLess->isEnabled());
  // Every windowed control of both connection tabs, whatever the mode.
  for (QWidget* w : {static_cast<QWidget*>(form->Lan1.IP), static_cast<QWidget*>(form->Lan1.Mode),
                     static_cast<QWidget*>(form->Lan2.Gateway)})
    EXPECT_TRUE(Own(w)) << w->objectName().toStdString();
  EXPECT_TRUE(form->Lan1.DnsFromDhcp->isEnabled());  // DHCP
  EXPECT_FALSE(form->Lan2.DnsFromDhcp->isEnabled());
  EXPECT_TRUE(
      form->PageControl1->isTabEnabled(form->PageControl1->indexOf(form->SeiteMailClients)));
  for (QWidget* w : std::initializer_list<QWidget*>{
           form->ButtonSave, form->ButtonCancel, form->ButtonGetcurrent, form->ButtonDelete,
           form->ButtonRename, form->GridHosts, form->ButtonLoadScript, form->InputPCName})
    EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
  for (QWidget* w : std::initializer_list<QWidget*>{
           form->ButtonNew, form->ButtonModify, form->ButtonApply, form->ProfileList,
           form->ButtonExit, form->ButtonMinimize, form->MemoScript, form->ComboScriptExtension,
           form->ComboPrinters})
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_FALSE(form->Modify1->isEnabled());
  EXPECT_TRUE(form->Copy1->isEnabled());
  EXPECT_FALSE(form->TrayMenuAutoPopup());
  EXPECT_FALSE(form->MemoExcludeAddresses->isReadOnly());

  form->ButtonCancelClick();
  for (QWidget* w : std::initializer_list<QWidget*>{
           form->ButtonNew, form->ButtonDelete, form->ButtonApply, form->ProfileList,
           form->ButtonSaveScripts, form->ButtonTestScript})
    EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
  for (QWidget* w : std::initializer_list<QWidget*>{
           form->ButtonSave, form->ButtonGetcurrent, form->Lan1.Name, form->Lan2.IP,
           form->CheckincludeHosts, form->GridHosts, form->CheckUseHostName, form->Inputproxy})
    EXPECT_FALSE(Own(w)) << w->objectName().toStdString();
  EXPECT_TRUE(form->MemoExcludeAddresses->isReadOnly());
  EXPECT_TRUE(form->TrayMenuAutoPopup());
}

TEST_F(MainFormTest, ModeRuleSwitchesFieldsAndBoxesInEditMode) {
  Store("[p]\r\nDHCP=0\r\n");
  Create();
  form->ButtonModifyClick();
  ConnectionControls& c = form->Lan1;
  c.Mode->Item(1)->click();
  for (QLineEdit* e : {c.IP, c.Subnet, c.IP2, c.Subnet2, c.Gateway}) EXPECT_FALSE(Own(e));
  EXPECT_TRUE(c.DnsFromDhcp->isChecked() && Own(c.DnsFromDhcp));
  EXPECT_TRUE(c.WinsFromDhcp->isChecked() && Own(c.WinsFromDhcp));
  EXPECT_FALSE(Own(c.DNS));
  EXPECT_FALSE(Own(c.DNS2));
  EXPECT_FALSE(Own(c.Wins));
  c.Mode->Item(0)->click();
  for (QLineEdit* e : {c.IP, c.Subnet, c.IP2, c.Subnet2, c.Gateway, c.DNS, c.DNS2, c.Wins})
    EXPECT_TRUE(Own(e));
  EXPECT_FALSE(c.DnsFromDhcp->isChecked() || Own(c.DnsFromDhcp));
  EXPECT_FALSE(c.WinsFromDhcp->isChecked() || Own(c.WinsFromDhcp));

  // Connection 2 follows its own selector only.
  form->Lan2.Mode->SetItemIndex(1);
  EXPECT_TRUE(form->Lan2.DnsFromDhcp->isChecked());
  EXPECT_FALSE(Own(form->Lan2.IP));
  EXPECT_TRUE(Own(c.IP));

  // A rule run by another origin keeps the boxes as they are.
  c.DnsFromDhcp->setChecked(true);
  form->RGDHCPClick(form.get());
  EXPECT_TRUE(c.DnsFromDhcp->isChecked());
}

TEST_F(MainFormTest, NoModeSelectedDisablesStaticFieldsAndBoxes) {
  Store("[p]\r\nDHCP=-1\r\nDHCPLan2=5\r\n");
  Create();
  form->ButtonModifyClick();
  form->Lan1.Mode->SetItemIndex(1);
  form->Lan1.Mode->SetItemIndex(-1);
  EXPECT_FALSE(Own(form->Lan1.IP));
  EXPECT_FALSE(Own(form->Lan1.DnsFromDhcp));
  EXPECT_FALSE(Own(form->Lan1.WinsFromDhcp));
  form->ButtonCancelClick();
  EXPECT_EQ(form->Lan1.Mode->ItemIndex(), -1);
  EXPECT_EQ(form->Lan2.Mode->ItemIndex(), 1);  // above 1 is DHCP
  EXPECT_EQ(form->ShownRecord().DHCP, -1);
}

TEST_F(MainFormTest, DefaultMaskAndEnterKey) {
  Store("[p]\r\nIP=10.0.0.1\r\nIP2=10.0.0.2\r\nSubnet2=255.255.0.0\r\n");
  Create();
  form->ButtonModifyClick();
  QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
  QApplication::sendEvent(form->Lan1.Subnet, &focusIn);
  EXPECT_EQ(Text(form->Lan1.Subnet), "255.255.255.0");
  QApplication::sendEvent(form->Lan1.Subnet2, &focusIn);
  EXPECT_EQ(Text(form->Lan1.Subnet2), "255.255.0.0");
  QApplication::sendEvent(form->Lan2.Subnet, &focusIn);  // no address: nothing
  EXPECT_EQ(Text(form->Lan2.Subnet), "");

  form->activateWindow();
  QApplication::setActiveWindow(form.get());
  form->PageControl2->setCurrentWidget(form->SeiteLan1);
  form->Lan1.IP->setFocus();
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QApplication::sendEvent(form->Lan1.IP, &enter);
  EXPECT_EQ(QApplication::focusWidget(), form->Lan1.Subnet);
  form->PageControl2->setCurrentWidget(form->SeiteLan2);
  form->Lan2.Wins->setFocus();
  QApplication::sendEvent(form->Lan2.Wins, &enter);
  EXPECT_EQ(QApplication::focusWidget(), form->Lan2.Wins);
}

TEST_F(MainFormTest, ConnectionNameChoice) {
  Store("[p]\r\n");
  Create();
  form->ButtonModifyClick();
  TNetworkInfoSet table(3);
  table[0].LongLANDescription = "LAN";
  table[0].IP = "10.0.0.1";
  table[1].LongLANDescription = "WLAN";
  table[1].DHCP = true;
  table[1].DHCP_DNS = false;
  table[2].LongLANDescription = "lan";
  table[2].IP = "10.9.9.9";
  form->ShowConnections(table);
  EXPECT_EQ(form->Lan1.Name->currentText(), "LAN");
  EXPECT_EQ(form->Lan2.Name->currentText(), "WLAN");
  EXPECT_EQ(form->Lan2.Mode->ItemIndex(), 1);
  EXPECT_FALSE(form->Lan2.DnsFromDhcp->isChecked());  // the table's value stands
  EXPECT_EQ(form->Lan1.Name->count(), 3);

  // Connection 2 may not take connection 1's name; the other fields keep their values.
  form->Lan2.IP->setText("1.1.1.1");
  questions.AnswerMessage(mrOk);
  form->Lan2.Name->setCurrentIndex(0);
  form->EditLongLanDescriptionLan2Click(0);
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtError: This Connection is in use allready by connection 1! [OK]");
  EXPECT_EQ(form->Lan2.Name->currentText(), "");
  EXPECT_EQ(form->Lan2.Name->currentIndex(), -1);
  EXPECT_EQ(Text(form->Lan2.IP), "1.1.1.1");
  // Other letter case is another name.
  form->Lan2.Name->setCurrentIndex(2);
  form->EditLongLanDescriptionLan2Click(2);
  EXPECT_EQ(Text(form->Lan2.IP), "10.9.9.9");
  // Connection 1 makes no check.
  form->Lan1.Name->setCurrentIndex(2);
  form->EditLongLanDescriptionClick(2);
  EXPECT_EQ(form->Lan1.Name->currentText(), "lan");
}

TEST_F(MainFormTest, NewStripsBlanksAndRefusesAnExistingNameInOtherCase) {
  Store("[Office]\r\nIP=1.2.3.4\r\n");
  Create();
  questions.AnswerInput("OFF ICE");
  questions.AnswerMessage(mrOk);  // try again
  questions.AnswerInput("my office");
  form->ButtonNewClick();
  ASSERT_GE(questions.Asked().size(), 3u);
  EXPECT_EQ(questions.Asked()[0], "InputBox New IP- Profile: Enter profile name []");
  EXPECT_EQ(questions.Asked()[1],
            "MessageDlg mtError: Profile \"OFFICE\" already exists! Enter a new name please? "
            "[OK,Cancel]");
  EXPECT_EQ(questions.Asked()[2], "InputBox New IP- Profile: Enter profile name [OFFICE]");
  EXPECT_EQ(ListEntries(), (std::vector<std::string>{"myoffice", "Office"}));
  EXPECT_EQ(form->SelectedProfile(), "myoffice");
  EXPECT_TRUE(form->ButtonSave->isEnabled());

  // Cancel in the error box stops.
  form->ButtonCancelClick();
  questions.AnswerInput("office");
  questions.AnswerMessage(mrCancel);
  form->ButtonNewClick();
  EXPECT_EQ(ListEntries().size(), 2u);
  // An empty name creates nothing.
  questions.AnswerInput("   ");
  form->ButtonNewClick();
  EXPECT_EQ(ListEntries().size(), 2u);
}

TEST_F(MainFormTest, DeletingTheLastProfileLeavesAnEmptyList) {
  Store("[only]\r\nIP=1.2.3.4\r\n");
  Create();
  questions.AnswerMessage(mrNo);
  form->ButtonDeleteClick();
  EXPECT_EQ(ListEntries().size(), 1u);
  questions.AnswerMessage(mrYes);
  form->ButtonDeleteClick();
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtWarning: This deletes selected profile \"only\"! Proceed? [Yes,No]");
  EXPECT_TRUE(ListEntries().empty());
  EXPECT_EQ(form->SelectedProfile(), "");
  EXPECT_EQ(Text(form->Lan1.IP), "");
  for (QWidget* w :
       std::initializer_list<QWidget*>{form->ButtonDelete, form->ButtonModify, form->ButtonApply,
                                       form->ButtonCopy, form->ButtonRename})
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_TRUE(form->ButtonNew->isEnabled());
  EXPECT_FALSE(StoreIni().SectionExists("only"));
  // Double click and Enter on the empty list do nothing.
  form->ProfileListDblClick();
  EXPECT_TRUE(platform.NetshRuns().empty());
}

TEST_F(MainFormTest, SaveThenNoShowsTheStoredValuesInViewMode) {
  Store("[p]\r\n");
  Create();
  form->ButtonModifyClick();
  form->Lan1.IP->setText("10.1.1.1");
  form->MemoExcludeAddresses->setPlainText("a\n\nb\n");
  questions.AnswerMessage(mrNo);
  form->ButtonSaveClick();
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtConfirmation: Would you like to apply this profile to your computer "
            "right now? [Yes,No]");
  EXPECT_FALSE(form->ButtonSave->isEnabled());
  EXPECT_EQ(StoreIni().ReadString("p", "IP", ""), "10.1.1.1");
  EXPECT_EQ(StoreIni().ReadString("p", "ProxyNotUsed", ""), "a;b");
  EXPECT_EQ(form->MemoExcludeAddresses->toPlainText(), "a\nb");
  EXPECT_TRUE(platform.NetshRuns().empty());

  // Yes applies at once: the confirmation is never asked, whatever the option says.
  form->CheckboxValidationMessage->setChecked(true);
  form->ButtonModifyClick();
  questions.AnswerMessage(mrYes);
  const size_t asked = questions.Asked().size();
  form->ButtonSaveClick();
  EXPECT_EQ(platform.NetshRuns().size(), 1u);
  EXPECT_EQ(questions.Asked().size(), asked + 1);
}

TEST_F(MainFormTest, CopyAndRenameRefuseTakenNamesAndRenameMayChangeCase) {
  Store("[alpha]\r\nIP=1.1.1.1\r\n[beta]\r\nIP=2.2.2.2\r\n");
  Create();
  questions.AnswerInput(std::nullopt);  // Cancel: the proposal
  form->ButtonCopyClick();
  EXPECT_EQ(questions.Asked()[0], "InputBox Copy Profile: Enter new name [Copy of alpha]");
  EXPECT_EQ(form->SelectedProfile(), "Copy of alpha");
  EXPECT_EQ(Text(form->Lan1.IP), "1.1.1.1");

  questions.AnswerInput("BETA");
  questions.AnswerMessage(mrOk);
  form->ButtonCopyClick();
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtError: Profile \"BETA\" already exists! Choose another name please. "
            "[OK]");
  EXPECT_EQ(StoreIni().ReadString("beta", "IP", ""), "2.2.2.2");
  EXPECT_EQ(Text(form->Lan1.IP), "1.1.1.1");  // the source is shown again

  form->ProfileList->setCurrentRow(0);  // alpha
  questions.AnswerInput("");
  questions.AnswerMessage(mrOk);
  form->ButtonRenameClick();
  EXPECT_TRUE(StoreIni().SectionExists("alpha"));

  questions.AnswerInput("ALPHA");
  form->ButtonRenameClick();
  EXPECT_EQ(ListEntries(), (std::vector<std::string>{"ALPHA", "beta", "Copy of alpha"}));
  EXPECT_EQ(form->SelectedProfile(), "ALPHA");
  EXPECT_EQ(Text(form->Lan1.IP), "1.1.1.1");

  // Renaming onto the same name ends silently with the fields cleared.
  questions.AnswerInput(std::nullopt);
  form->ButtonRenameClick();
  EXPECT_EQ(Text(form->Lan1.IP), "");
  EXPECT_EQ(form->SelectedProfile(), "ALPHA");
}

TEST_F(MainFormTest, EmptyStoreStartsInEditModeOnDefault) {
  Create();
  EXPECT_EQ(ListEntries(), (std::vector<std::string>{"DEFAULT"}));
  EXPECT_EQ(form->SelectedProfile(), "DEFAULT");
  EXPECT_TRUE(form->ButtonSave->isEnabled());
  EXPECT_FALSE(form->ButtonDelete->isEnabled());
  EXPECT_FALSE(form->ButtonRename->isEnabled());
  EXPECT_EQ(form->size(), QSize(540, 440));
}

TEST_F(MainFormTest, CloseAsksOnlyInEditMode) {
  Store("[p]\r\n");
  Create();
  form->show();
  form->ButtonModifyClick();
  questions.AnswerMessage(mrNo);
  EXPECT_FALSE(form->close());
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtWarning: You are about to edit a profile! Teminate anyway ? [Yes,No]");
  questions.AnswerMessage(mrYes);
  EXPECT_TRUE(form->close());
  form->show();
  form->ButtonCancelClick();
  size_t asked = questions.Asked().size();
  EXPECT_TRUE(form->close());
  EXPECT_EQ(questions.Asked().size(), asked);
}

TEST_F(MainFormTest, OptionsLoadThroughTheGroupRuleAndSaveAtDestruction) {
  dir.Write("Lanvoy.GUI",
            "[Programm]\r\nMsgAdminNeeded=1\r\nTerminate=1\r\nMinimizeAfterApply=1\r\n"
            "LANName=Local Area Connection\r\nNoValidationMessage=0\r\n");
  Store("[p]\r\nLongLANDescription=Office LAN\r\n");
  Create({"p", "HIDE"});
  EXPECT_FALSE(form->CheckTerminate->isChecked());
  EXPECT_TRUE(form->CheckMinimizeAfterApply->isChecked());
  EXPECT_FALSE(form->CheckNoAction->isChecked());
  EXPECT_FALSE(form->CheckboxValidationMessage->isChecked());
  EXPECT_FALSE(form->CheckShowWarningMessages->isChecked());
  EXPECT_FALSE(form->isVisible());  // "hide" leaves the window unshown

  form->CheckShowWarningMessages->click();
  EXPECT_EQ(OptionsIni().ReadString("Programm", "MsgRestartBrowser", ""), "0");
  EXPECT_EQ(OptionsIni().ReadString("Programm", "MsgAdminNeeded", ""), "0");
  form->CheckShowWarningMessages->click();
  EXPECT_EQ(OptionsIni().ReadString("Programm", "MsgRestartBrowser", ""), "1");
  EXPECT_EQ(OptionsIni().ReadString("Programm", "MsgAdminNeeded", ""), "1");

  form->CheckNoAction->click();
  EXPECT_FALSE(form->CheckMinimizeAfterApply->isChecked());
  form.reset();
  IniFile ini = OptionsIni();
  EXPECT_EQ(ini.ReadString("Programm", "NoActionAfterApply", ""), "1");
  EXPECT_EQ(ini.ReadString("Programm", "MinimizeAfterApply", ""), "0");
  EXPECT_EQ(ini.ReadString("Programm", "LANName", ""), "Office LAN");  // last profile shown
}

TEST_F(MainFormTest, AutostartFollowsAMovedProgram) {
  platform.keys[test::FakePlatform::KeyName(kRunKey)]["LANVOY"] = {platform::ValueType::String,
                                                                   "\"C:\\old\\Lanvoy.exe\"", 0};
  Store("[p]\r\n");
  Create();
  EXPECT_TRUE(form->CheckAutostart->isChecked());
  auto* run = platform.Key(kRunKey);
  EXPECT_EQ((*run)["LANVOY"].text, "\"" + platform.exePath + "\"");
  form->CheckAutostart->click();
  EXPECT_EQ(run->count("LANVOY"), 0u);

  // A key that does not open: the box stays clear and clicks write nothing.
  form.reset();
  platform.registryRefuses = true;
  Create();
  EXPECT_FALSE(form->CheckAutostart->isChecked());
  form->CheckAutostart->click();
  EXPECT_EQ(run->count("LANVOY"), 0u);
}

TEST_F(MainFormTest, HostsGridKeepsOneRowAndOpensTheHostsFile) {
  Store("[p]\r\nIncludeHostModification=1\r\n");
  Create();
  form->ButtonModifyClick();
  EXPECT_EQ(form->GridHosts->rowCount(), 1);
  form->GridHosts->setItem(0, 0, new QTableWidgetItem("a"));
  form->ButtonDeleteHostClick();
  EXPECT_EQ(form->GridHosts->rowCount(), 1);
  EXPECT_EQ(form->GridHosts->item(0, 0)->text(), "");
  form->ButtonNewHostClick();
  form->ButtonNewHostClick();
  EXPECT_EQ(form->GridHosts->rowCount(), 3);
  EXPECT_EQ(form->GridHosts->currentRow(), 2);
  form->ButtonDeleteHostClick();
  EXPECT_EQ(form->GridHosts->rowCount(), 2);

  form->CheckincludeHosts->click();  // off
  EXPECT_FALSE(form->GridHosts->isEnabled());
  EXPECT_FALSE(form->ButtonOpenHostFile->isEnabled());
  form->CheckincludeHosts->click();
  form->ButtonOpenHostFileClick();
  ASSERT_EQ(platform.opened.size(), 1u);
  EXPECT_EQ(platform.opened[0].file, "notepad.exe");
  EXPECT_EQ(platform.opened[0].parameters, "C:\\WINDOWS\\system32\\drivers\\etc\\hosts");
}

TEST_F(MainFormTest, ScriptTabLoadsSavesAndTests) {
  Store("[p]\r\nIncludeSript=0\r\n");
  Create();
  form->ButtonModifyClick();
  EXPECT_FALSE(form->MemoScript->isEnabled());
  form->CheckIncludeSript->click();
  EXPECT_TRUE(form->MemoScript->isEnabled());
  EXPECT_TRUE(form->ComboScriptExtension->isEnabled());

  dir.Write("in.bat", "net use x: \\\\srv\\share\r\n  echo done  \r\n");
  questions.AnswerFile(dir.File("in.bat"));
  form->ButtonLoadScriptClick();
  EXPECT_EQ(form->MemoScript->toPlainText(), "net use x: \\\\srv\\share\n  echo done  ");
  EXPECT_EQ(questions.Asked().back(),
            "OpenFile Batch- Files (*.bat)|*.bat|Text- Files (*.txt)|*.txt|Java Script "
            "(*.js)|*.js|Visual Basic Script (*.vbs)|*.vbs|All Files|*.*");
  questions.AnswerFile(std::nullopt);
  form->ButtonLoadScriptClick();
  EXPECT_FALSE(form->MemoScript->toPlainText().isEmpty());

  questions.AnswerFile(dir.File("out.bat"));
  form->ButtonSaveScriptsClick();
  EXPECT_EQ(dir.Read("out.bat"), "net use x: \\\\srv\\share\r\n  echo done  \r\n");

  form->ComboScriptExtension->setCurrentIndex(2);
  form->ButtonTestScriptClick();
  EXPECT_EQ(dir.Read("Script.js"), "net use x: \\\\srv\\share\r\n  echo done  \r\n");
  ASSERT_EQ(platform.opened.size(), 1u);
  EXPECT_EQ(platform.opened[0].file, dir.File("Script.js"));

  questions.AnswerFile(dir.File("missing.bat"));
  questions.AnswerMessage(mrOk);
  form->Guarded([this] { form->ButtonLoadScriptClick(); });
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtError: Cannot open file " + dir.File("missing.bat") + " [OK]");
}

TEST_F(MainFormTest, SystemDialogAndNamingExample) {
  Store("[p]\r\n");
  Create();
  form->ButtonSystemDialogClick();
  ASSERT_EQ(platform.started.size(), 1u);
  EXPECT_EQ(platform.started[0], "Rundll32.exe Shell32.dll,Control_RunDLL ncpa.cpl");
  EXPECT_EQ(platform.lastShow, 2);
  platform.startError = 2;
  try {
    form->ButtonSystemDialogClick();
    ADD_FAILURE() << "a failed start was not reported";
  } catch (const EAppExecWinExec& e) {
    EXPECT_STREQ(e.what(), "File was not found");
  }

  questions.AnswerMessage(mrOk);
  form->Label8Click();
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtInformation: Example, how to name your Lan- Connection:\r\n\r\n"
            "English: Local Area Connection\r\nGerman: Lan-Verbindung\r\nSee system dialog for "
            "details! [OK]");
}

TEST_F(MainFormTest, AdminNoticeRunsAtStartUnlessSilenced) {
  dir.Write("Lanvoy.GUI", "");
  Store("[p]\r\n");
  questions.AnswerBox({mrOk, true, 0});
  Create();
  ASSERT_EQ(questions.Boxes().size(), 1u);
  EXPECT_EQ(questions.Boxes()[0].timeOut, 30);
  EXPECT_EQ(OptionsIni().ReadString("Programm", "MsgAdminNeeded", ""), "1");
  EXPECT_EQ(OptionsIni().ReadString("Programm", "MsgDlgValue", ""), "1");
}

TEST_F(MainFormTest, ClearInputFieldsLeavesWhatGetCurrentDoesNotFill) {
  Store(kOffice);
  Create();
  form->ProfileList->setCurrentRow(0);
  form->CheckIncludeOExpress->setChecked(true);
  form->ClearInputFields();
  EXPECT_EQ(Text(form->Lan1.IP), "");
  EXPECT_EQ(Text(form->InputPort), "");
  EXPECT_FALSE(form->CheckIncludeOExpress->isChecked());
  EXPECT_EQ(form->Lan1.Name->count(), 0);
  EXPECT_EQ(form->Lan1.Mode->ItemIndex(), 1);
  EXPECT_EQ(form->MemoExcludeAddresses->toPlainText(), "10.*\nintranet");
  EXPECT_EQ(form->GridHosts->rowCount(), 2);

  form->ShowProxy({"proxy1", "3128", {"10.*", "*.local"}, true, true});
  form->ShowMail({"imap.x", "smtp.x", "pop.x"});
  form->ShowComputerName("PC1");
  form->ShowDefaultPrinter("Laser");
  form->ShowHosts({});
  ProfileRecord r = form->ShownRecord();
  EXPECT_EQ(r.Proxy, "proxy1");
  EXPECT_EQ(r.ProxyNotUsed, "10.*\r\n*.local");
  EXPECT_EQ(r.OLEXPPOP, "pop.x");
  EXPECT_EQ(r.OLEXPIMAP, "imap.x");
  EXPECT_EQ(r.HostName, "PC1");
  EXPECT_EQ(r.DefPrinter, "Laser");
  EXPECT_EQ(r.Hosts.size(), 1u);
}

}  // namespace
}  // namespace lanvoy
