// The main window's rules: the creation sequence and options, the profile list with its two
// modes, the editing rules of the network tab and the other tabs.
#include <filesystem>

#include "app/options.h"
#include "base/files.h"
#include "base/strings.h"
#include "window_fixture.h"

namespace lanvoy {
namespace {

class MainFormTest : public test::WindowTest {};

const char* kOffice =
    "[office]\r\nIP=10.0.0.5\r\nSubnet=255.0.0.0\r\nDNS=10.0.0.1\r\nDHCP=1\r\nDHCP_DNS=1\r\n"
    "DHCP_WINS=0\r\nLongLANDescription=LAN-Verbindung\r\nIncludeHostModification=1\r\n"
    "HostsCount=2\r\nH1='10.0.0.7   printer   #lab'\r\nH2='10.0.0.8   nas   #'\r\n"
    "ProxyNotUsed=10.*;intranet\r\nScriptKind=1\r\nScriptLinesCount=1\r\nS1='echo hi'\r\n";

TEST_F(MainFormTest, StartsOnTheFirstProfileInViewModeWithTheRulesApplied) {
  Store(std::string(kOffice) + "[Home]\r\nIP=192.168.1.2\r\n");
  Create();
  EXPECT_EQ(List().items, (std::vector<std::string>{"Home", "office"}));
  EXPECT_EQ(form->SelectedProfile(), "Home");
  EXPECT_EQ(Text("InputIP"), "192.168.1.2");
  EXPECT_FALSE(Enabled("ButtonSave"));
  EXPECT_EQ(window->position, (std::pair{0, 0}));
  EXPECT_EQ(window->size, (std::pair{325, 174}));
  EXPECT_TRUE(Enabled("ButtonMoreLess"));
  EXPECT_EQ(window->Get<MemLabel>("LabelBuilt").caption, "2.3.0.1");
  EXPECT_EQ(window->hints.showMs, 1500);
  EXPECT_EQ(window->hints.hideMs, 5000);
  EXPECT_EQ(window->hints.background, 0x00FFFFu);
  EXPECT_EQ(window->Get<MemTabPage>("SeiteNetwork").activated, 1);
  EXPECT_TRUE(window->visible);

  // Clicking "office" loads it: DHCP mode disables the static fields and both boxes; the
  // loaded box state stands because it is set after the mode.
  List().Click("office");
  EXPECT_EQ(Text("InputIP"), "10.0.0.5");
  EXPECT_EQ(Mode().index, 1);
  EXPECT_FALSE(Enabled("InputIP"));
  EXPECT_FALSE(Enabled("CheckGetDNSFromDHCP"));
  EXPECT_TRUE(Check("CheckGetDNSFromDHCP").checked);
  EXPECT_FALSE(Check("CheckWINSDHCP").checked);
  EXPECT_EQ(MemoOf("MemoExcludeAddresses").text, "10.*\r\nintranet");
  ASSERT_EQ(Hosts().RowCount(), 2);
  EXPECT_EQ(Hosts().Cell(0, 1), "10.0.0.7");
  EXPECT_EQ(Hosts().Cell(0, 2), "lab");
  EXPECT_EQ(form->ShownRecord().Hosts, form->Store().LoadProfile("office").Hosts);
  EXPECT_EQ(Combo("ComboScriptExtension").text, "Visual Basic Script (vbs)");
  EXPECT_EQ(MemoOf("MemoScript").text, "echo hi");
  EXPECT_EQ(form->ShownRecord().Hosts[1].IPAddress, "10.0.0.8");
  // The keyboard's Enter applies, as a double click does.
  questions.AnswerMessage(mrCancel);
  EXPECT_TRUE(List().Key('\r'));
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtConfirmation: Apply profile \"office\" to your system? [Yes,Cancel]");
  EXPECT_FALSE(List().Key('o'));  // the list's own behaviour
}

TEST_F(MainFormTest, EditAndViewModeEnableWhatTheyList) {
  Store(kOffice);
  Create();
  Button("ButtonModify").Click();
  EXPECT_EQ(window->size, (std::pair{540, 440}));
  EXPECT_FALSE(Enabled("ButtonMoreLess"));
  // Every windowed control of both connection tabs, whatever the mode.
  for (const char* name : {"InputIP", "RGDHCP", "InputGatewayLan2", "EditLongLanDescription"})
    EXPECT_TRUE(Enabled(name)) << name;
  EXPECT_TRUE(Enabled("CheckGetDNSFromDHCP"));  // DHCP
  EXPECT_FALSE(Enabled("CheckGetDNSFromDHCPLan2"));
  EXPECT_TRUE(Enabled("SeiteMailClients"));
  for (const char* name :
       {"ButtonSave", "ButtonCancel", "ButtonGetcurrent", "ButtonDelete", "ButtonRename",
        "GridHosts", "ButtonLoadScript", "InputPCName", "CheckIncludeOExpress", "InputPopServer"})
    EXPECT_TRUE(Enabled(name)) << name;
  for (const char* name : {"ButtonNew", "ButtonModify", "ButtonApply", "ProfileList", "ButtonExit",
                           "ButtonMinimize", "MemoScript", "ComboScriptExtension", "ComboPrinters"})
    EXPECT_FALSE(Enabled(name)) << name;
  EXPECT_FALSE(Item("Modify1").enabled);
  EXPECT_TRUE(Item("Copy1").enabled);
  EXPECT_FALSE(form->TrayMenu().AutoPopup());
  EXPECT_FALSE(MemoOf("MemoExcludeAddresses").readOnly);
  EXPECT_TRUE(Edit("InputIP").focused);
  EXPECT_EQ(window->repaints, 1);
  // The list cannot be clicked while editing.
  List().Click(0);
  EXPECT_EQ(form->SelectedProfile(), "office");

  Button("ButtonCancel").Click();
  for (const char* name : {"ButtonNew", "ButtonDelete", "ButtonApply", "ProfileList",
                           "ButtonSaveScripts", "ButtonTestScript"})
    EXPECT_TRUE(Enabled(name)) << name;
  for (const char* name : {"ButtonSave", "ButtonGetcurrent", "EditLongLanDescription",
                           "InputIPLan2", "CheckincludeHosts", "GridHosts", "CheckUseHostName",
                           "Inputproxy", "SeiteMailClients", "CheckIncludeOExpress"})
    EXPECT_FALSE(Enabled(name)) << name;
  EXPECT_TRUE(MemoOf("MemoExcludeAddresses").readOnly);
  EXPECT_TRUE(form->TrayMenu().AutoPopup());
}

TEST_F(MainFormTest, ModeRuleSwitchesFieldsAndBoxesInEditMode) {
  Store("[p]\r\nDHCP=0\r\n");
  Create();
  Button("ButtonModify").Click();
  Mode().Click(1);
  for (const char* e : {"InputIP", "InputSubnet", "InputIP2", "InputSubnet2", "InputGateway"})
    EXPECT_FALSE(Enabled(e)) << e;
  EXPECT_TRUE(Check("CheckGetDNSFromDHCP").checked && Enabled("CheckGetDNSFromDHCP"));
  EXPECT_TRUE(Check("CheckWINSDHCP").checked && Enabled("CheckWINSDHCP"));
  for (const char* e : {"InputDNS", "InputSecondDNS", "InputWins"}) EXPECT_FALSE(Enabled(e)) << e;
  Mode().Click(0);
  for (const char* e : {"InputIP", "InputSubnet", "InputIP2", "InputSubnet2", "InputGateway",
                        "InputDNS", "InputSecondDNS", "InputWins"})
    EXPECT_TRUE(Enabled(e)) << e;
  EXPECT_FALSE(Check("CheckGetDNSFromDHCP").checked || Enabled("CheckGetDNSFromDHCP"));
  EXPECT_FALSE(Check("CheckWINSDHCP").checked || Enabled("CheckWINSDHCP"));

  // Connection 2 follows its own selector only.
  Mode("Lan2").Click(1);
  EXPECT_TRUE(Check("CheckGetDNSFromDHCPLan2").checked);
  EXPECT_FALSE(Enabled("InputIPLan2"));
  EXPECT_TRUE(Enabled("InputIP"));

  // A rule run by another origin keeps the boxes as they are.
  Check("CheckGetDNSFromDHCP").SetChecked(true);
  form->RGDHCPClick(nullptr);
  EXPECT_TRUE(Check("CheckGetDNSFromDHCP").checked);
}

TEST_F(MainFormTest, NoModeSelectedDisablesStaticFieldsAndBoxes) {
  Store("[p]\r\nDHCP=-1\r\nDHCPLan2=5\r\n");
  Create();
  EXPECT_EQ(Mode().index, -1);
  EXPECT_EQ(Mode("Lan2").index, 1);  // above 1 is DHCP
  Button("ButtonModify").Click();
  Mode().Click(1);
  Mode().SetItemIndex(-1);
  EXPECT_FALSE(Enabled("InputIP"));
  EXPECT_FALSE(Enabled("CheckGetDNSFromDHCP"));
  EXPECT_FALSE(Enabled("CheckWINSDHCP"));
  EXPECT_EQ(form->ShownRecord().DHCP, -1);
}

TEST_F(MainFormTest, DefaultMaskAndEnterKey) {
  Store("[p]\r\nIP=10.0.0.1\r\nIP2=10.0.0.2\r\nSubnet2=255.255.0.0\r\n");
  Create();
  Button("ButtonModify").Click();
  Edit("InputSubnet").Focus();
  EXPECT_EQ(Text("InputSubnet"), "255.255.255.0");
  Edit("InputSubnet2").Focus();
  EXPECT_EQ(Text("InputSubnet2"), "255.255.0.0");
  Edit("InputSubnetLan2").Focus();  // no address: nothing
  EXPECT_EQ(Text("InputSubnetLan2"), "");

  // Enter moves on, as Tab does, and is discarded; other keys pass; connection 2's WINS
  // field has no such rule.
  EXPECT_TRUE(Edit("InputIP").Key('\r'));
  EXPECT_EQ(window->focusedAfterEnter, "InputSubnet");
  EXPECT_FALSE(Edit("InputIP").Key('1'));
  EXPECT_TRUE(Edit("InputWins").Key('\r'));
  window->focusedAfterEnter.clear();
  EXPECT_FALSE(Edit("InputWinsLan2").Key('\r'));
  EXPECT_EQ(window->focusedAfterEnter, "");
}

TEST_F(MainFormTest, ConnectionNameChoice) {
  Store("[p]\r\n");
  Create();
  Button("ButtonModify").Click();
  TNetworkInfoSet table(3);
  table[0].LongLANDescription = "LAN";
  table[0].IP = "10.0.0.1";
  table[1].LongLANDescription = "WLAN";
  table[1].DHCP = true;
  table[1].DHCP_DNS = false;
  table[2].LongLANDescription = "lan";
  table[2].IP = "10.9.9.9";
  form->ShowConnections(table);
  EXPECT_EQ(Combo("EditLongLanDescription").text, "LAN");
  EXPECT_EQ(Combo("EditLongLanDescriptionLan2").text, "WLAN");
  EXPECT_EQ(Mode("Lan2").index, 1);
  EXPECT_FALSE(Check("CheckGetDNSFromDHCPLan2").checked);  // the table's value stands
  EXPECT_EQ(Combo("EditLongLanDescription").Count(), 3);

  // Typing runs no rule: the typed text is the name.
  Edit("InputIP").Type("192.168.7.7");
  Combo("EditLongLanDescription").Type("wlan");
  EXPECT_EQ(Text("InputIP"), "192.168.7.7");
  Combo("EditLongLanDescription").Type("LAN");

  // Connection 2 may not take connection 1's name; the other fields keep their values.
  Edit("InputIPLan2").SetText("1.1.1.1");  // held while DHCP disables the field
  questions.AnswerMessage(mrOk);
  Combo("EditLongLanDescriptionLan2").Choose(0);
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtError: This Connection is in use allready by connection 1! [OK]");
  EXPECT_EQ(Combo("EditLongLanDescriptionLan2").text, "");
  EXPECT_EQ(Combo("EditLongLanDescriptionLan2").index, -1);
  EXPECT_EQ(Text("InputIPLan2"), "1.1.1.1");
  // Other letter case is another name.
  Combo("EditLongLanDescriptionLan2").Choose(2);
  EXPECT_EQ(Text("InputIPLan2"), "10.9.9.9");
  // Connection 1 makes no check.
  Combo("EditLongLanDescription").Choose(2);
  EXPECT_EQ(Combo("EditLongLanDescription").text, "lan");
}

TEST_F(MainFormTest, NewStripsBlanksAndRefusesAnExistingNameInOtherCase) {
  Store("[Office]\r\nIP=1.2.3.4\r\n");
  Create();
  questions.AnswerInput("OFF ICE");
  questions.AnswerMessage(mrOk);  // try again
  questions.AnswerInput("my office");
  Button("ButtonNew").Click();
  ASSERT_GE(questions.Asked().size(), 3u);
  EXPECT_EQ(questions.Asked()[0], "InputBox New IP- Profile: Enter profile name []");
  EXPECT_EQ(questions.Asked()[1],
            "MessageDlg mtError: Profile \"OFFICE\" already exists! Enter a new name please? "
            "[OK,Cancel]");
  EXPECT_EQ(questions.Asked()[2], "InputBox New IP- Profile: Enter profile name [OFFICE]");
  EXPECT_EQ(List().items, (std::vector<std::string>{"myoffice", "Office"}));
  EXPECT_EQ(form->SelectedProfile(), "myoffice");
  EXPECT_TRUE(Enabled("ButtonSave"));

  // Cancel in the error box stops; a name of blanks only is no name.
  Button("ButtonCancel").Click();
  questions.AnswerInput("office");
  questions.AnswerMessage(mrCancel);
  Button("ButtonNew").Click();
  questions.AnswerInput("   ");
  questions.AnswerMessage(mrCancel);
  Item("New2").Click();
  EXPECT_EQ(questions.Asked().back().rfind("MessageDlg mtError: Please enter a profile name", 0),
            0u);
  EXPECT_EQ(List().Count(), 2);
}

// Each name box refuses a name that a new profile cannot have, says why and opens again with
// the name typed; Cancel there ends it with nothing changed.
TEST_F(MainFormTest, ARefusedNameOpensTheBoxAgainAndCancelEndsIt) {
  const std::string stored(100, 'y');  // longer than a new name may be
  Store("[alpha]\r\nIP=1.1.1.1\r\n[beta]\r\nIP=2.2.2.2\r\n[" + stored + "]\r\nIP=3.3.3.3\r\n");
  Create();
  const std::string before = dir.Read("Lanvoy.INI");
  const std::pair<const char*, const char*> boxes[] = {
      {"ButtonNew", "New IP- Profile: Enter profile name"},
      {"ButtonCopy", "Copy Profile: Enter new name"},
      {"ButtonRename", "Rename Profile: Enter new name"}};
  const std::pair<std::string, std::string> names[] = {
      {"a]b",
       "Please enter a profile name (it may not be empty or hold \"[\", \"]\" or a line "
       "break)."},
      {std::string(65, 'x'), "A profile name may have at most 64 characters; this one has 65."},
      {"BETA", "Profile \"BETA\" already exists! "}};
  for (const auto& [button, box] : boxes) {
    for (const auto& [typed, says] : names) {
      questions.AnswerInput(typed);
      questions.AnswerMessage(mrOk);
      questions.AnswerInput(std::nullopt);
      const size_t asked = questions.Asked().size();
      Button(button).Click();
      ASSERT_EQ(questions.Asked().size(), asked + 3) << button << " " << typed;
      EXPECT_EQ(questions.Asked()[asked + 1].rfind("MessageDlg mtError: " + says, 0), 0u)
          << questions.Asked()[asked + 1];
      EXPECT_EQ(questions.Asked()[asked + 2], std::string("InputBox ") + box + " [" + typed + "]");
      EXPECT_EQ(dir.Read("Lanvoy.INI"), before) << button << " " << typed;
      EXPECT_EQ(form->SelectedProfile(), "alpha");
      EXPECT_EQ(Text("InputIP"), "1.1.1.1") << button;
      EXPECT_FALSE(Enabled("ButtonSave")) << button;
    }
  }
  // A stored longer name kept in the Rename box is no new name: nothing to refuse.
  List().Click(stored);
  questions.AnswerInput(stored);
  const size_t asked = questions.Asked().size();
  Button("ButtonRename").Click();
  EXPECT_EQ(questions.Asked().size(), asked + 1) << questions.Asked().back();
  EXPECT_EQ(form->SelectedProfile(), stored);
  EXPECT_EQ(Text("InputIP"), "3.3.3.3");
  // The longest name is taken.
  questions.AnswerInput(std::string(64, 'x'));
  Button("ButtonCopy").Click();
  EXPECT_EQ(form->SelectedProfile(), std::string(64, 'x'));
  EXPECT_EQ(Text("InputIP"), "3.3.3.3");
}

TEST_F(MainFormTest, DeletingTheLastProfileLeavesAnEmptyList) {
  Store("[only]\r\nIP=1.2.3.4\r\n");
  Create();
  questions.AnswerMessage(mrNo);
  Button("ButtonDelete").Click();
  EXPECT_EQ(List().Count(), 1);
  questions.AnswerMessage(mrYes);
  Item("MenuDelete").Click();
  EXPECT_EQ(
      questions.Asked().back(),
      "MessageDlg mtWarning: This deletes selected profile \"only\"! Proceed? [Yes,No] default No");
  EXPECT_EQ(List().Count(), 0);
  EXPECT_EQ(form->SelectedProfile(), "");
  EXPECT_EQ(Text("InputIP"), "");
  for (const char* name :
       {"ButtonDelete", "ButtonModify", "ButtonApply", "ButtonCopy", "ButtonRename"})
    EXPECT_FALSE(Enabled(name)) << name;
  EXPECT_TRUE(Enabled("ButtonNew"));
  EXPECT_FALSE(StoreIni().SectionExists("only"));
  EXPECT_TRUE(Submenu().items.empty());
  // Double click and Enter on the empty list do nothing.
  List().DblClick();
  List().Key('\r');
  EXPECT_TRUE(fake.NetshRuns().empty());
}

TEST_F(MainFormTest, SaveThenNoShowsTheStoredValuesInViewMode) {
  Store("[p]\r\n");
  Create();
  Button("ButtonModify").Click();
  Edit("InputIP").Type("10.1.1.1");
  MemoOf("MemoExcludeAddresses").Type("a\r\n\r\nb\r\n");
  questions.AnswerMessage(mrNo);
  Button("ButtonSave").Click();
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtConfirmation: Would you like to apply this profile to your computer "
            "right now? [Yes,No]");
  EXPECT_FALSE(Enabled("ButtonSave"));
  EXPECT_EQ(StoreIni().ReadString("p", "IP", ""), "10.1.1.1");
  EXPECT_EQ(StoreIni().ReadString("p", "ProxyNotUsed", ""), "a;b");
  EXPECT_EQ(MemoOf("MemoExcludeAddresses").text, "a\r\nb");
  EXPECT_TRUE(fake.NetshRuns().empty());

  // Yes applies at once: the confirmation is never asked, whatever the option says.
  Check("CheckboxValidationMessage").SetChecked(true);
  Button("ButtonModify").Click();
  questions.AnswerMessage(mrYes);
  const size_t asked = questions.Asked().size();
  Button("ButtonSave").Click();
  EXPECT_EQ(fake.NetshRuns().size(), 1u);
  EXPECT_EQ(questions.Asked().size(), asked + 1);
}

// Save checks the values first: Cancel keeps editing with everything typed and saves
// nothing, "Save anyway" saves. A connection the machine lacks is no matter for Save.
TEST_F(MainFormTest, SaveChecksTheValuesFirst) {
  Store(
      "[p]\r\nLongLANDescription=Drahtlose Netzwerkverbindung\r\nDHCP=0\r\nIP=10.0.0.5\r\n"
      "Subnet=255.255.255.0\r\n");
  Create();
  const std::string before = dir.Read("Lanvoy.INI");
  Button("ButtonModify").Click();
  Edit("InputGateway").Type("10.0.1.1");
  Edit("InputDNS").Type("10.0.0.300");
  questions.AnswerMessage(mrNo);  // Cancel
  Button("ButtonSave").Click();
  const std::string asked = questions.Asked().back();
  for (const char* part :
       {"Confirm mtError: The checks of the profile found:\r\n\r\nError: Drahtlose "
        "Netzwerkverbindung: the gateway 10.0.1.1 lies outside the subnet",
        "Error: Drahtlose Netzwerkverbindung: the first DNS server \"10.0.0.300\" is not",
        "\r\nSave it anyway? [Save anyway,Cancel]"})
    EXPECT_NE(asked.find(part), std::string::npos) << asked;
  EXPECT_EQ(dir.Read("Lanvoy.INI"), before);
  EXPECT_TRUE(Enabled("ButtonSave"));
  EXPECT_EQ(Text("InputGateway"), "10.0.1.1");
  EXPECT_EQ(Text("InputDNS"), "10.0.0.300");

  questions.AnswerMessage(mrYes);  // Save anyway
  questions.AnswerMessage(mrNo);   // not applied now
  Button("ButtonSave").Click();
  EXPECT_EQ(StoreIni().ReadString("p", "DNS", ""), "10.0.0.300");
  EXPECT_FALSE(Enabled("ButtonSave"));
}

// An address field is marked while its text is no value of its kind, on both connections;
// an empty one is not. A profile shown is marked by its own values.
TEST_F(MainFormTest, AddressFieldsAreMarkedWhileTheyHoldNoAddress) {
  Store("[p]\r\nIP=10.0.0.5\r\n[q]\r\nIP=10.0.0.\r\nWINSLan2=wins\r\n");
  Create();
  Button("ButtonModify").Click();
  const struct {
    const char* field;
    const char* text;
    bool invalid;
  } typed[] = {{"InputIP", "192.168.1.", true},
               {"InputIP", "192.168.1.10", false},
               {"InputSubnet", "255.255.0.255", true},
               {"InputSubnet", "255.255.0.0", false},
               {"InputIP2", "10.0.0.256", true},
               {"InputSubnet2", "10.0.0.1", true},
               {"InputGateway", "gw", true},
               {"InputGateway", "", false},
               {"InputDNS", "1.2.3", true},
               {"InputSecondDNS", "8.8.8.8", false},
               {"InputWins", "NONE", false},
               {"InputWins", "none.local", true},
               {"InputIPLan2", "172.16.0.300", true},
               {"InputSubnetLan2", "255.255.255.0", false},
               {"InputIP2Lan2", "a.b.c.d", true},
               {"InputSubnet2Lan2", "0.0.0.0", true},
               {"InputGatewayLan2", "172.16.0.1", false},
               {"InputDNSLan2", "x", true},
               {"InputSecondDNSLan2", "1.1.1.1.", true},
               {"InputWinsLan2", "10.0.0.1", false}};
  for (const auto& t : typed) {
    Edit(t.field).Type(t.text);
    EXPECT_EQ(Edit(t.field).invalid, t.invalid) << t.field << " \"" << t.text << "\"";
  }
  questions.AnswerMessage(mrYes);  // discard
  Button("ButtonCancel").Click();
  for (const auto& t : typed) EXPECT_FALSE(Edit(t.field).invalid) << t.field;
  List().Click("q");
  EXPECT_TRUE(Edit("InputIP").invalid);
  EXPECT_TRUE(Edit("InputWinsLan2").invalid);
  EXPECT_FALSE(Edit("InputSubnet").invalid);
}

// The page "IPv6 and more" of each connection takes input in edit mode on Vista and later:
// its addresses in static mode, its DNS servers unless they come from DHCP.
TEST_F(MainFormTest, NewerSettingsTakeInputByWindowsModeAndDnsBox) {
  const struct {
    uint32_t windows;
    bool edit;
    int mode;
    bool dnsFromDhcp;
    bool on, addresses, dns;
  } cases[] = {{10, false, kIPv6Static, false, false, false, false},
               {10, true, kModeNone, false, true, false, true},
               {10, true, kIPv6Static, false, true, true, true},
               {10, true, kIPv6Static, true, true, true, false},
               {6, true, kIPv6Automatic, true, true, false, false},
               {6, true, kIPv6Automatic, false, true, false, true},
               {5, true, kIPv6Static, false, false, false, false}};
  for (const auto& t : cases) {
    const std::string mode = std::to_string(t.mode), dhcp = t.dnsFromDhcp ? "1" : "0";
    Store("[p]\r\nIPv6Mode=" + mode + "\r\nDHCP_IPv6DNS=" + dhcp + "\r\nIPv6ModeLan2=" + mode +
          "\r\nDHCP_IPv6DNSLan2=" + dhcp + "\r\n");
    fake.windowsVersion.major = t.windows;
    Create();
    if (t.edit) Button("ButtonModify").Click();
    const std::string at = "Windows " + std::to_string(t.windows) + (t.edit ? " edit" : " view") +
                           " mode " + mode + " DNS from DHCP " + dhcp + ": ";
    for (const std::string s : {"", "Lan2"}) {
      EXPECT_EQ(window->Get<MemRadioGroup>("RGIPv6Mode" + s).index, t.mode + 1) << at << s;
      for (const char* name :
           {"RGIPv6Mode", "CheckIPv6DNSFromDHCP", "InputDNSMore", "InputDNSSuffix",
            "InputGatewayMetric", "InputWlanProfile", "RGAdapterState"})
        EXPECT_EQ(Enabled(name + s), t.on) << at << name << s;
      for (const char* name :
           {"InputIPv6", "InputIPv6Prefix", "InputIPv6_2", "InputIPv6Prefix2", "InputIPv6Gateway"})
        EXPECT_EQ(Enabled(name + s), t.addresses) << at << name << s;
      for (const char* name : {"InputIPv6DNS", "InputIPv6DNS2"})
        EXPECT_EQ(Enabled(name + s), t.dns) << at << name << s;
    }
  }
}

// What is typed and clicked on the page is saved, each connection's under its own keys. On
// Windows 2000/XP the page takes no input and Get Current, which reads none of these settings
// there, leaves the profile's as they are; on later Windows it shows the machine's.
TEST_F(MainFormTest, NewerSettingsAreSavedAsTypedAndWindows5KeepsThem) {
  Store(
      "[p]\r\nLongLANDescription=LAN-Verbindung\r\nDHCP=1\r\nDHCP_IPv6DNS=1\r\n"
      "DHCP_IPv6DNSLan2=1\r\n");
  fake.windowsVersion = {10, 0, 19045};
  Create();
  Button("ButtonModify").Click();
  const struct {
    const char* field;
    const char* key;
    const char* typed[2];  // connection 1, 2
  } fields[] = {{"InputIPv6", "IPv6", {"2001:db8:85a3:1234:5678:8a2e:370:7334", "fd00::2"}},
                {"InputIPv6Prefix", "IPv6Prefix", {"64", "48"}},
                {"InputIPv6_2", "IPv6_2", {"2001:db8::5", "fd00::3"}},
                {"InputIPv6Prefix2", "IPv6Prefix2", {"64", "56"}},
                {"InputIPv6Gateway", "IPv6Gateway", {"fe80::1", "fe80::2"}},
                {"InputIPv6DNS", "IPv6DNS", {"2001:4860:4860::8888", "fd00::53"}},
                {"InputIPv6DNS2", "IPv6DNS2", {"2001:4860:4860::8844", "fd00::54"}},
                {"InputDNSMore", "DNSMore", {"10.0.0.3;10.0.0.4", "172.16.0.3"}},
                {"InputDNSSuffix", "DNSSuffix", {"firma.example", "lab.example"}},
                {"InputGatewayMetric", "GatewayMetric", {"25", "9999"}},
                {"InputWlanProfile", "WlanProfile", {"B\xFCro-WLAN", "Labor"}}};
  for (int n = 0; n < 2; ++n) {
    const std::string s = n == 0 ? "" : "Lan2";
    window->Get<MemRadioGroup>("RGIPv6Mode" + s).Click(1);  // static
    Check("CheckIPv6DNSFromDHCP" + s).Click();              // off
    window->Get<MemRadioGroup>("RGAdapterState" + s).Click(n + 1);
    for (const auto& f : fields) Edit(f.field + s).Type(f.typed[n]);
  }
  // The servers after the second are each an address.
  Edit("InputDNSMore").Type("10.0.0.3;10.0.0.x");
  EXPECT_TRUE(Edit("InputDNSMore").invalid);
  Edit("InputDNSMore").Type("10.0.0.3;10.0.0.4");
  EXPECT_FALSE(Edit("InputDNSMore").invalid);
  questions.AnswerMessage(mrNo);  // not applied now
  Button("ButtonSave").Click();
  const std::string saved = dir.Read("Lanvoy.INI");
  for (int n = 0; n < 2; ++n) {
    const std::string s = n == 0 ? "" : "Lan2";
    IniFile store = StoreIni();
    EXPECT_EQ(store.ReadString("p", "IPv6Mode" + s, ""), "0") << s;
    EXPECT_EQ(store.ReadString("p", "DHCP_IPv6DNS" + s, "0"), "0") << s;
    EXPECT_EQ(store.ReadString("p", "AdapterState" + s, ""), std::to_string(n)) << s;
    for (const auto& f : fields)
      EXPECT_EQ(store.ReadString("p", f.key + s, ""), f.typed[n]) << f.key << s;
  }

  // Get Current with a connection that has none of them set.
  TNetworkInfoSet table(1);
  table[0].LongLANDescription = "LAN-Verbindung";
  table[0].GatewayMetric = "30";
  for (const uint32_t windows : {5u, 10u}) {
    fake.windowsVersion.major = windows;
    Create();
    Button("ButtonModify").Click();
    form->ClearInputFields();
    form->ShowConnections(table);
    const ConnectionSettings shown = ConnectionOf(form->ShownRecord(), 0);
    if (windows == 5) {
      EXPECT_EQ(shown.IPv6, fields[0].typed[0]);
      EXPECT_EQ(shown.GatewayMetric, "25");
      EXPECT_EQ(shown.AdapterState, kAdapterDisabled);
      EXPECT_EQ(ConnectionOf(form->ShownRecord(), 1).WlanProfile, "Labor");
      questions.AnswerMessage(mrNo);
      Button("ButtonSave").Click();
      EXPECT_EQ(dir.Read("Lanvoy.INI"), saved);
    } else {
      EXPECT_EQ(shown.IPv6, "");
      EXPECT_EQ(shown.IPv6Mode, kModeNone);
      EXPECT_EQ(shown.GatewayMetric, "30");
      EXPECT_EQ(ConnectionOf(form->ShownRecord(), 1).WlanProfile, "");
      questions.AnswerMessage(mrYes);  // discard
      Button("ButtonCancel").Click();
    }
  }
}

TEST_F(MainFormTest, CopyAndRenameTakeTheNameTypedAndRenameMayChangeCase) {
  Store("[alpha]\r\nIP=1.1.1.1\r\n[beta]\r\nIP=2.2.2.2\r\n");
  Create();
  questions.AnswerInput("Copy of alpha");
  Item("Copy1").Click();
  EXPECT_EQ(questions.Asked()[0], "InputBox Copy Profile: Enter new name [Copy of alpha]");
  EXPECT_EQ(form->SelectedProfile(), "Copy of alpha");
  EXPECT_EQ(Text("InputIP"), "1.1.1.1");

  List().Click("alpha");
  questions.AnswerInput("ALPHA");
  Item("Rename1").Click();
  EXPECT_EQ(List().items, (std::vector<std::string>{"ALPHA", "beta", "Copy of alpha"}));
  EXPECT_EQ(form->SelectedProfile(), "ALPHA");
  EXPECT_EQ(Text("InputIP"), "1.1.1.1");

  // Renaming onto the same name ends, the profile shown as it is stored.
  questions.AnswerInput("ALPHA");
  Button("ButtonRename").Click();
  EXPECT_EQ(Text("InputIP"), "1.1.1.1");
  EXPECT_EQ(form->SelectedProfile(), "ALPHA");
}

TEST_F(MainFormTest, EmptyStoreStartsInEditModeOnDefault) {
  Create();
  EXPECT_EQ(List().items, (std::vector<std::string>{"DEFAULT"}));
  EXPECT_EQ(form->SelectedProfile(), "DEFAULT");
  EXPECT_TRUE(Enabled("ButtonSave"));
  EXPECT_FALSE(Enabled("ButtonDelete"));
  EXPECT_FALSE(Enabled("ButtonRename"));
  EXPECT_EQ(window->size, (std::pair{540, 440}));
}

TEST_F(MainFormTest, CloseAsksOnlyInEditMode) {
  Store("[p]\r\n");
  Create();
  Button("ButtonModify").Click();
  EXPECT_FALSE(Enabled("ButtonExit"));
  questions.AnswerMessage(mrNo);
  EXPECT_FALSE(window->CloseBox());
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtWarning: You are about to edit a profile! Teminate anyway ? [Yes,No] "
            "default No");
  questions.AnswerMessage(mrYes);
  EXPECT_TRUE(window->CloseBox());
  Button("ButtonCancel").Click();
  window->closed = false;
  const size_t asked = questions.Asked().size();
  Button("ButtonExit").Click();
  EXPECT_TRUE(window->closed);
  EXPECT_EQ(questions.Asked().size(), asked);
}

TEST_F(MainFormTest, OptionsLoadThroughTheGroupRuleAndSaveAtDestruction) {
  dir.Write("Lanvoy.GUI",
            "[Programm]\r\nMsgAdminNeeded=1\r\nTerminate=1\r\nMinimizeAfterApply=1\r\n"
            "LANName=Local Area Connection\r\nNoValidationMessage=0\r\n");
  Store("[p]\r\nLongLANDescription=Office LAN\r\n");
  Create({"p", "HIDE"});
  EXPECT_FALSE(Check("CheckTerminate").checked);
  EXPECT_TRUE(Check("CheckMinimizeAfterApply").checked);
  EXPECT_FALSE(Check("CheckNoAction").checked);
  EXPECT_FALSE(Check("CheckboxValidationMessage").checked);
  EXPECT_FALSE(Check("CheckShowWarningMessages").checked);
  EXPECT_FALSE(window->visible);  // "hide" leaves the window unshown

  Check("CheckShowWarningMessages").Click();
  EXPECT_EQ(OptionsIni().ReadString("Programm", "MsgRestartBrowser", ""), "0");
  EXPECT_EQ(OptionsIni().ReadString("Programm", "MsgAdminNeeded", ""), "0");
  Check("CheckShowWarningMessages").Click();
  EXPECT_EQ(OptionsIni().ReadString("Programm", "MsgRestartBrowser", ""), "1");
  EXPECT_EQ(OptionsIni().ReadString("Programm", "MsgAdminNeeded", ""), "1");
  Check("CheckboxValidationMessage").Click();
  EXPECT_EQ(OptionsIni().ReadString("Programm", "NoValidationMessage", ""), "1");

  Check("CheckNoAction").Click();
  EXPECT_FALSE(Check("CheckMinimizeAfterApply").checked);
  form.reset();
  IniFile ini = OptionsIni();
  EXPECT_EQ(ini.ReadString("Programm", "NoActionAfterApply", ""), "1");
  EXPECT_EQ(ini.ReadString("Programm", "MinimizeAfterApply", ""), "0");
  EXPECT_EQ(ini.ReadString("Programm", "LANName", ""), "Office LAN");  // last profile shown
}

TEST_F(MainFormTest, AutostartFollowsAMovedProgram) {
  fake.keys[test::FakePlatform::KeyName(kRunKey)]["LANVOY"] = {
      platform::ValueType::String, "\"C:\\old\\Lanvoy.exe\"", 0, 0, {}};
  Store("[p]\r\n");
  Create();
  EXPECT_TRUE(Check("CheckAutostart").checked);
  auto* run = fake.Key(kRunKey);
  EXPECT_EQ((*run)["LANVOY"].text, "\"" + dir.File("Lanvoy.exe") + "\"");
  Check("CheckAutostart").Click();
  EXPECT_EQ(run->count("LANVOY"), 0u);

  // A key that does not open: the box stays clear and clicks write nothing.
  fake.registryRefuses = true;
  Create();
  EXPECT_FALSE(Check("CheckAutostart").checked);
  Check("CheckAutostart").Click();
  EXPECT_EQ(run->count("LANVOY"), 0u);
}

TEST_F(MainFormTest, HostsGridKeepsOneRowAndOpensTheHostsFile) {
  Store("[p]\r\nIncludeHostModification=1\r\n");
  Create();
  Button("ButtonModify").Click();
  EXPECT_EQ(Hosts().RowCount(), 1);
  Hosts().SetCell(0, 0, "a");
  Button("ButtonDeleteHost").Click();
  EXPECT_EQ(Hosts().RowCount(), 1);
  EXPECT_EQ(Hosts().Cell(0, 0), "");
  Button("ButtonNewHost").Click();
  Button("ButtonNewHost").Click();
  EXPECT_EQ(Hosts().RowCount(), 3);
  EXPECT_EQ(Hosts().CurrentRow(), 2);
  EXPECT_TRUE(Hosts().focused);
  Button("ButtonDeleteHost").Click();
  EXPECT_EQ(Hosts().RowCount(), 2);

  Check("CheckincludeHosts").Click();  // off
  EXPECT_FALSE(Enabled("GridHosts"));
  EXPECT_FALSE(Enabled("ButtonOpenHostFile"));
  Check("CheckincludeHosts").Click();
  Button("ButtonOpenHostFile").Click();
  ASSERT_EQ(fake.opened.size(), 1u);
  EXPECT_EQ(fake.opened[0].file, "notepad.exe");
  EXPECT_EQ(fake.opened[0].parameters, "C:\\WINDOWS\\system32\\drivers\\etc\\hosts");
  EXPECT_TRUE(window->minimized);
}

TEST_F(MainFormTest, ScriptTabLoadsSavesAndTests) {
  Store("[p]\r\nIncludeSript=0\r\n");
  Create();
  Button("ButtonModify").Click();
  EXPECT_FALSE(Enabled("MemoScript"));
  Check("CheckIncludeSript").Click();
  EXPECT_TRUE(Enabled("MemoScript"));
  EXPECT_TRUE(Enabled("ComboScriptExtension"));

  dir.Write("in.bat", "net use x: \\\\srv\\share\r\n  echo done  \r\n");
  questions.AnswerFile(dir.File("in.bat"));
  Button("ButtonLoadScript").Click();
  EXPECT_EQ(MemoOf("MemoScript").text, "net use x: \\\\srv\\share\r\n  echo done  ");
  EXPECT_EQ(questions.Asked().back(),
            "OpenFile Batch- Files (*.bat)|*.bat|Text- Files (*.txt)|*.txt|Java Script "
            "(*.js)|*.js|Visual Basic Script (*.vbs)|*.vbs|All Files|*.*");
  questions.AnswerFile(std::nullopt);
  Button("ButtonLoadScript").Click();
  EXPECT_FALSE(MemoOf("MemoScript").text.empty());

  questions.AnswerFile(dir.File("out.bat"));
  Button("ButtonSaveScripts").Click();
  EXPECT_EQ(dir.Read("out.bat"), "net use x: \\\\srv\\share\r\n  echo done  \r\n");

  Combo("ComboScriptExtension").Choose(2);
  Button("ButtonTestScript").Click();
  ASSERT_EQ(fake.opened.size(), 1u);
  EXPECT_EQ(ExtractFileName(fake.opened[0].file), "Script.js");
  EXPECT_EQ(*ReadFileBytes(fake.opened[0].file), "net use x: \\\\srv\\share\r\n  echo done  \r\n");
  std::filesystem::remove_all(std::filesystem::path(fake.opened[0].file).parent_path());

  questions.AnswerFile(dir.File("missing.bat"));
  questions.AnswerMessage(mrOk);
  Button("ButtonLoadScript").Click();
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtError: Cannot open file " + dir.File("missing.bat") + " [OK]");
}

TEST_F(MainFormTest, SystemDialogNamingExampleAndHelp) {
  Store("[p]\r\n");
  Create();
  Button("ButtonSystemDialog").Click();
  ASSERT_EQ(fake.started.size(), 1u);
  EXPECT_EQ(fake.started[0],
            "\"C:\\WINDOWS\\system32\\rundll32.exe\" Shell32.dll,Control_RunDLL ncpa.cpl");
  EXPECT_EQ(fake.lastShow, 2);
  fake.startError = 2;
  questions.AnswerMessage(mrOk);
  Button("ButtonSystemDialog").Click();
  EXPECT_EQ(questions.Asked().back(), "MessageDlg mtError: File was not found [OK]");

  questions.AnswerMessage(mrOk);
  window->Get<MemLabel>("Label8").Click();
  EXPECT_EQ(questions.Asked().back(),
            "MessageDlg mtInformation: Example, how to name your Lan- Connection:\r\n\r\n"
            "English: Local Area Connection\r\nGerman: Lan-Verbindung\r\nSee system dialog for "
            "details! [OK]");
  Button("Button1").Click();
  EXPECT_EQ(window->help.shown, 1);
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
  Check("CheckIncludeOExpress").SetChecked(true);
  form->ClearInputFields();
  EXPECT_EQ(Text("InputIP"), "");
  EXPECT_EQ(Text("InputPort"), "");
  EXPECT_FALSE(Check("CheckIncludeOExpress").checked);
  EXPECT_EQ(Combo("EditLongLanDescription").Count(), 0);
  EXPECT_EQ(Mode().index, 1);
  EXPECT_EQ(MemoOf("MemoExcludeAddresses").text, "10.*\r\nintranet");
  EXPECT_EQ(Hosts().RowCount(), 2);

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
