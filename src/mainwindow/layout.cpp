#include "mainwindow/layout.h"

#include <functional>

#include "components/msg_dlg.h"
#include "mainwindow/controls.h"
#include "sysread/lan_state.h"

namespace lanvoy {

namespace {

using K = ControlKind;

// One row of a window's table.
struct Rows {
  std::vector<ControlEntry>& out;
  ControlEntry& operator()(K kind, const std::string& parent, const std::string& name,
                           const std::string& caption, int left, int top, int width = 0,
                           int height = 0, const std::string& hint = "", unsigned style = 0,
                           const std::string& text = "") {
    ControlEntry entry;
    entry.name = name;
    entry.kind = kind;
    entry.parent = parent;
    entry.caption = caption;
    entry.left = left;
    entry.top = top;
    entry.width = width;
    entry.height = height;
    entry.hint = hint;
    entry.style = style;
    entry.text = text;
    out.push_back(entry);
    return out.back();
  }
};

const char* const kSecondAddressHint =
    "Since Windows 2000 you may apply more then one IP address to a connection\r\nLanvoy "
    "supports 2 addresses.";

// The fields of one connection tab; connection 2's names end in "Lan2".
void ConnectionTab(Rows& row, const std::string& page, bool first) {
  const std::string s = first ? "" : "Lan2";
  row(K::Label, page, "LabelConnection" + s, first ? "Connection" : "LAN - Connection", 4, 4);
  if (first) row(K::LinkLabel, page, "Label8", "Example", 110, 4);
  row(K::ComboBox, page, "EditLongLanDescription" + s, "", 4, 20, 170, 22,
      "To fill this selector press \"Get Current\" button above", kBold);
  row(K::RadioGroup, page, "RGDHCP" + s, "Mode", 4, 50, 170, 58, "", 0, "Static address|DHCP");
  auto field = [&](const std::string& name, const char* label, int left, int top,
                   const std::string& hint = "") {
    row(K::Label, page, "Label" + name + s, label, left, top);
    row(K::Edit, page, name + s, "", left, top + 14, 104, 20, hint, kBold, "0.0.0.0");
  };
  field("InputIP", "1. IP- Address", 180, 4);
  field("InputSubnet", "Subnet- Mask", 180, 42);
  field("InputIP2", "2. IP- Address", 180, 80, kSecondAddressHint);
  field("InputSubnet2", "Subnet- Mask", 180, 118, kSecondAddressHint);
  field("InputDNS", "First DNS", 292, 4);
  row(K::CheckBox, page, "CheckGetDNSFromDHCP" + s, "DNS from DHCP", 402, 19, 120, 18);
  field("InputSecondDNS", "Second DNS", 292, 42);
  field("InputGateway", "Gateway", 292, 80);
  field("InputWins", "WINS", 292, 118);
  row(K::CheckBox, page, "CheckWINSDHCP" + s, "WINS from DHCP", 402, 133, 120, 18);
}

// The settings of Vista and later of one connection, on a page of their own. Five IPv6
// address fields, each wide enough for a full address, and nine more controls do not fit
// the Connection page's four rows at its font: this page takes the window's small font
// (that of the note above the pages) and five rows.
void ConnectionMoreTab(Rows& row, const std::string& page, bool first) {
  const std::string s = first ? "" : "Lan2";
  constexpr int kSmall = 7;
  auto small = [&](ControlEntry& entry) { entry.points = kSmall; };
  // Label above, field below, as on the Connection page; rows 30 apart.
  auto field = [&](const std::string& name, const char* label, int left, int rowIndex, int width,
                   unsigned style = kBold, const char* hint = "") {
    const int top = 4 + 30 * rowIndex;
    small(row(K::Label, page, "Label" + name + s, label, left, top));
    small(row(K::Edit, page, name + s, "", left, top + 12, width, 18, hint, style));
  };
  const char* const kVista = "Windows Vista and later";
  small(row(K::RadioGroup, page, "RGIPv6Mode" + s, "IPv6", 4, 4, 88, 72, kVista, 0,
            "Leave alone|Static|Automatic"));
  // An IPv6 address, with its prefix length after a slash.
  constexpr int kA = 100, kAddress = 188, kPrefix = kA + kAddress + 9, kB = kPrefix + 32;
  for (int i = 0; i < 2; ++i) {
    const std::string n = i == 0 ? "" : "2";
    field(i == 0 ? "InputIPv6" : "InputIPv6_2", i == 0 ? "1. IPv6 address" : "2. IPv6 address", kA,
          i, kAddress);
    small(row(K::Label, page, "LabelSlash" + n + s, "/", kA + kAddress + 3, 19 + 30 * i));
    field("InputIPv6Prefix" + n, "Prefix", kPrefix, i, 26, kBold | kDigits,
          "Prefix length (64 on most networks)");
  }
  field("InputIPv6Gateway", "IPv6 gateway", kA, 2, kAddress);
  field("InputIPv6DNS", "First IPv6 DNS", kB, 0, kAddress);
  field("InputIPv6DNS2", "Second IPv6 DNS", kB, 1, kAddress);
  small(row(K::CheckBox, page, "CheckIPv6DNSFromDHCP" + s, "IPv6 DNS from DHCP", kB, 76, 150, 18));
  field("InputDNSMore", "More DNS servers (;)", kA, 3, kPrefix + 26 - kA, kBold,
        "IPv4 DNS servers after the second, separated by \";\"");
  field("InputGatewayMetric", "Gateway metric", kB, 3, 50, kBold | kDigits,
        "Metric of the IPv4 gateway, 1 to 9999; empty: 1");
  field("InputDNSSuffix", "DNS suffix", kA, 4, kPrefix + 26 - kA, kBold,
        "The connection's own DNS suffix");
  field("InputWlanProfile", "Wi-Fi network", kB, 4, kAddress, kBold,
        "The name of a Wi-Fi profile of this computer to connect to");
  small(row(K::RadioGroup, page, "RGAdapterState" + s, "Adapter", 4, 82, 88, 72, kVista, 0,
            "Leave alone|Disabled|Enabled"));
}

WindowLayout BuildMainForm() {
  WindowLayout w{"MainForm", "Lanvoy", "Arial", 8, {}};
  Rows row{w.controls};

  // Group "Profiles"
  row(K::GroupBox, "", "GroupBox2", "Profiles", 4, 2, 317, 168);
  row(K::ListBox, "GroupBox2", "ProfileList", "", 8, 18, 196, 142,
      "List of available profiles\r\nRight mouseclick to get the popup menu")
      .popup = "PopUPProfTree";
  row(K::GlyphButton, "GroupBox2", "ButtonMoreLess", "", 212, 18, 30, 28, "Show setup details")
      .glyph = Glyph::More;
  row(K::GlyphButton, "GroupBox2", "ButtonMinimize", "", 244, 18, 30, 28, "Minimize this window")
      .glyph = Glyph::Minimize;
  row(K::GlyphButton, "GroupBox2", "ButtonExit", "", 276, 18, 30, 28, "Exit program").glyph =
      Glyph::Exit;
  row(K::Button, "GroupBox2", "BitBtn2", "REBOOT !", 212, 52, 96, 26,
      "Reboot not necessary in most cases. Programm will ask you if so.");
  row(K::Button, "GroupBox2", "BitBtn1", "Show LAN state", 212, 82, 96, 26,
      "Show details of current network properties (like \"ipconfig.exe\" )");
  row(K::Button, "GroupBox2", "ButtonApply", "&Apply", 212, 116, 58, 44,
      "Apply all settings of selected profile")
      .glyph = Glyph::Apply;
  // Beside Apply, where a user who has just lost the network looks first.
  row(K::Button, "GroupBox2", "ButtonUndo", "&Undo", 272, 116, 36, 44,
      "Undo the last apply: the settings before it come back");

  // Group "Edit Profiles": two columns
  row(K::GroupBox, "", "GroupBox1", "Edit Profiles", 328, 2, 208, 168);
  struct EditButton {
    const char* name;
    const char* caption;
    const char* hint;
  };
  const EditButton edit[] = {
      {"ButtonNew", "&New", "Generate a new profile with default settings"},
      {"ButtonDelete", "&Delete", "Delete selected Profile from List"},
      {"ButtonRename", "&Rename", "Give a new name to selected profile"},
      {"ButtonCopy", "&Copy", "Copy all settings to a new profile"},
      {"ButtonModify", "&Modify", "Modify selected Profile"},
      {"ButtonGetcurrent", "Get Current", "Retrieve system settings to input boxes"},
      {"ButtonSave", "&Save", "Save settings of selected profile"},
      {"ButtonCancel", "Cancel", ""},
  };
  for (int i = 0; i < 8; ++i)
    row(K::Button, "GroupBox1", edit[i].name, edit[i].caption, i % 2 ? 106 : 8, 20 + 36 * (i / 2),
        94, 30, edit[i].hint);
  w.controls.back().style = kCancel;

  // The tabs
  row(K::TabControl, "", "PageControl1", "", 4, 174, 532, 262);
  const char* const pages[][2] = {{"SeiteNetwork", "Network"},
                                  {"SeiteMisc", "Misc"},
                                  {"SeiteDefPrint", "Default Printer"},
                                  {"TabSheet1", "Internet"},
                                  {"SeiteMailClients", "Mail"},
                                  {"SeiteHosts", "Hosts"},
                                  {"TabSheet2", "Script"},
                                  {"SeiteOptionen", "Program Options"},
                                  {"SeiteInfo", "Info"}};
  for (const auto& page : pages)
    row(K::TabPage, "PageControl1", page[0], page[1], 0, 0, 0, 0, "",
        std::string(page[0]) == "SeiteMailClients" ? unsigned{kDisabled} : 0u);

  // Network
  row(K::Panel, "SeiteNetwork", "Panel1", "", 0, 0, 524, 46);
  row(K::Label, "Panel1", "Label27",
      "You can modify two different network connections (LAN/ WLAN). Take care \r\nto enter "
      "the right name for each of these connections in the field \"Connection\"! \r\nYou can "
      "assign a second IP address to each connection also.",
      4, 2, 400, 42)
      .points = 7;
  row(K::Button, "Panel1", "ButtonSystemDialog", "Call system dialog", 410, 9, 108, 26);
  row(K::ButtonTabControl, "SeiteNetwork", "PageControl2", "", 0, 48, 524, 186);
  row(K::TabPage, "PageControl2", "SeiteLan1", "Connection 1", 0, 0);
  row(K::TabPage, "PageControl2", "SeiteLan2", "Connection 2", 0, 0);
  row(K::TabPage, "PageControl2", "SeiteLan1More", "IPv6 and more 1", 0, 0);
  row(K::TabPage, "PageControl2", "SeiteLan2More", "IPv6 and more 2", 0, 0);
  ConnectionTab(row, "SeiteLan1", true);
  ConnectionTab(row, "SeiteLan2", false);
  ConnectionMoreTab(row, "SeiteLan1More", true);
  ConnectionMoreTab(row, "SeiteLan2More", false);

  // Misc, Default Printer
  row(K::CheckBox, "SeiteMisc", "CheckUseHostName", "Modify name of computer ", 12, 16, 200, 18);
  row(K::Edit, "SeiteMisc", "InputPCName", "", 12, 40, 200, 20);
  row(K::Label, "SeiteMisc", "Label38",
      "If this option is enabled the system needs to be restarted \r\nin order to make the "
      "changes take effect!",
      12, 72);
  row(K::CheckBox, "SeiteMisc", "CheckConfirmKeep", "Keep the settings only when confirmed within",
      12, 112, 262, 18,
      "After applying, ask whether to keep the settings; without an answer in time the settings "
      "before the apply come back");
  row(K::Edit, "SeiteMisc", "InputConfirmSeconds", "", 276, 111, 36, 20, "", kDigits, "15");
  row(K::Label, "SeiteMisc", "LabelConfirmSeconds", "seconds", 318, 114);
  row(K::CheckBox, "SeiteDefPrint", "CheckUsePrinter",
      "Use default printer setting in this profile", 12, 16, 300, 18);
  row(K::ComboBox, "SeiteDefPrint", "ComboPrinters", "", 12, 42, 320, 22);

  // Internet
  row(K::CheckBox, "TabSheet1", "CheckEnableProxy", "Enable I-Net Proxy", 8, 8, 200, 18);
  row(K::CheckBox, "TabSheet1", "CheckNoProxyLocal", "No Proxy for local addresses", 24, 28, 200,
      18);
  row(K::Label, "TabSheet1", "Label5", "Internet- Proxy", 8, 52);
  row(K::Edit, "TabSheet1", "Inputproxy", "", 8, 66, 200, 20);
  row(K::Label, "TabSheet1", "Label9", ":", 212, 68, 0, 0, "", kBold);
  row(K::Label, "TabSheet1", "Label10", "Port", 222, 52);
  row(K::Edit, "TabSheet1", "InputPort", "", 222, 66, 50, 20, "", kDigits, "8080");
  row(K::Label, "TabSheet1", "Label11",
      "Don't use proxy server for addresses which start like specified below\r\n(enter each "
      "Value in a separat line).",
      8, 92);
  row(K::Memo, "TabSheet1", "MemoExcludeAddresses", "", 8, 122, 300, 106, "", kBold | kVScroll)
      .points = 10;
  row(K::Label, "TabSheet1", "Label37",
      "Note:\r\nThis setting is only be used by\r\nMS Internet Explorer or applications\r\nwhich "
      "use the settings of Internet Explorer!",
      318, 8);

  // Mail
  row(K::Label, "SeiteMailClients", "Label13",
      "Note: \r\nYou need to include this settings to your profile if your E- Mail server has "
      "different IP- Addresses at different locations i.e. outside and inside of yours company "
      "network.\r\nLanvoy was tested with Outlook Express 6. With other versions you should "
      "test it to make sure a proper functionality!",
      330, 8, 190, 220, "", kWordWrap);
  row(K::GroupBox, "SeiteMailClients", "GroupOExpr", "Outlook Express account POP/ SMTP/ IMAP", 8,
      8, 314, 200);
  row(K::CheckBox, "GroupOExpr", "CheckIncludeOExpress",
      "Include Outlook Express settings to profile", 10, 22, 290, 18, "", kDisabled);
  const char* const servers[][3] = {{"LabelPop", "InputPopServer", "POP- Server"},
                                    {"LabelSmtp", "InputSMTPServer", "SMTP- Server"},
                                    {"LabelImap", "InputImapServer", "IMAP- Server"}};
  for (int i = 0; i < 3; ++i) {
    row(K::Label, "GroupOExpr", servers[i][0], servers[i][2], 10, 48 + 40 * i);
    row(K::Edit, "GroupOExpr", servers[i][1], "", 10, 62 + 40 * i, 200, 20, "", kDisabled);
  }
  row(K::Label, "GroupOExpr", "Label14", "Settings for default account only !", 10, 172);

  // Hosts
  row(K::CheckBox, "SeiteHosts", "CheckincludeHosts", "Include hosts file modification to profile",
      8, 6, 300, 18);
  row(K::Button, "SeiteHosts", "ButtonDeleteHost", "Delete", 330, 4, 60, 24,
      "Delete selected host");
  row(K::Button, "SeiteHosts", "ButtonNewHost", "New", 394, 4, 60, 24, "New Host");
  row(K::Button, "SeiteHosts", "ButtonOpenHostFile", "Open host file", 416, 190, 104, 24);
  row(K::Grid, "SeiteHosts", "GridHosts", "", 8, 32, 512, 152, "", 0, "Host name|IP Addres|Remarks")
      .columns = "140|128|200";
  row(K::Label, "SeiteHosts", "Label39",
      "Please note that the host file might be locked by a firewall or virus detection "
      "software!",
      8, 188, 400, 30, "", kWordWrap);

  // Script
  row(K::CheckBox, "TabSheet2", "CheckIncludeSript", "Include script execution to profile", 8, 6,
      240, 18);
  row(K::Label, "TabSheet2", "Label23", "Run script as :", 260, 8);
  row(K::ComboBox, "TabSheet2", "ComboScriptExtension", "", 340, 4, 180, 22, "", 0,
      "Batchfile (bat)|Visual Basic Script (vbs)|Java Script (js)|Win Script (ws)");
  row(K::Button, "TabSheet2", "ButtonLoadScript", "Load script", 8, 200, 100, 26,
      "Load a script from disk");
  row(K::Button, "TabSheet2", "ButtonSaveScripts", "Save script", 114, 200, 100, 26,
      "Save the script to disk");
  row(K::Button, "TabSheet2", "ButtonTestScript", "Test script", 220, 200, 100, 26,
      "Save the script to disk");
  row(K::Memo, "TabSheet2", "MemoScript", "", 8, 32, 512, 162, "", kVScroll | kHScroll);

  // Program Options
  const char* const options[][2] = {{"CheckAutostart", "Start with system"},
                                    {"CheckTray", "Tray icon when minmized"},
                                    {"CheckStartMinmized", "Start minmized"},
                                    {"CheckShowWarningMessages", "Show startup messages"},
                                    {"CheckboxValidationMessage", "Ask before applying a profile"}};
  for (int i = 0; i < 5; ++i)
    row(K::CheckBox, "SeiteOptionen", options[i][0], options[i][1], 12, 10 + 22 * i, 250, 18, "",
        i == 1 || i == 4 ? unsigned{kChecked} : 0u);
  row(K::Label, "SeiteOptionen", "Label12", "After applying :", 12, 126);
  row(K::CheckBox, "SeiteOptionen", "CheckTerminate", "Terminate", 24, 144, 200, 18, "", kChecked);
  row(K::CheckBox, "SeiteOptionen", "CheckMinimizeAfterApply", "Minimize", 24, 166, 200, 18);
  row(K::CheckBox, "SeiteOptionen", "CheckNoAction", "Stay open", 24, 188, 200, 18);

  // Info
  row(K::Label3d, "SeiteInfo", "myLabel3d1", "Lanvoy 2.3", 12, 8, 200, 32, "", kBold).points = 16;
  row(K::Label, "SeiteInfo", "Label36", "Change your network environment\r\nwith one mouse click!",
      12, 44);
  row(K::Label, "SeiteInfo", "Label19", "Built: ", 300, 16);
  row(K::Label, "SeiteInfo", "LabelBuilt", "", 336, 16, 150, 16);
  row(K::Label, "SeiteInfo", "Label21",
      "1.) This program works under Windows 2000 (or higher) only!\r\n2.) You need to be logged "
      "in as an administrator, \r\n     to edit the TCP/IP - settings of this system.\r\n3.) "
      "Lanvoy comes without any warranty. You use it at your own risk.",
      12, 84);
  row(K::Label, "SeiteInfo", "Label22", "For comments and other feedback :", 12, 160);
  row(K::LinkLabel, "SeiteInfo", "LinkLabel1", "lanvoy@users.noreply.example", 196, 160);
  row(K::LinkLabel, "SeiteInfo", "LinkLabel2", "Check for newer version", 12, 184);
  row(K::Button, "SeiteInfo", "Button1", "Help", 432, 196, 88, 28);

  // Menus: the tray menu, which is also the window's context menu, and the list's.
  row(K::PopupMenu, "", "PopUPTray", "", 0, 0);
  row(K::SubMenu, "PopUPTray", "MenuApplyaprofile", "Apply a profile", 0, 0);
  row(K::MenuItem, "PopUPTray", "UndoLastApply1", "Undo last apply", 0, 0);
  row(K::MenuItem, "PopUPTray", "ShowWindow1", "Open", 0, 0, 0, 0, "", kDefaultItem);
  row(K::MenuItem, "PopUPTray", "N1", "-", 0, 0);
  row(K::MenuItem, "PopUPTray", "Close1", "Close", 0, 0);
  row(K::PopupMenu, "", "PopUPProfTree", "", 0, 0);
  const char* const listItems[][2] = {{"Modify1", "Modify"},
                                      {"Rename1", "Rename"},
                                      {"MenuDelete", "Delete"},
                                      {"Copy1", "Copy"},
                                      {"N2", "-"},
                                      {"New2", "New"},
                                      {"N3", "-"},
                                      {"ApplytoSystem1", "Apply to System"},
                                      {"UndoLastApply2", "Undo last apply"},
                                      {"N4", "-"},
                                      {"Cancel1", "Cancel"}};
  for (const auto& item : listItems) row(K::MenuItem, "PopUPProfTree", item[0], item[1], 0, 0);

  row(K::Timer, "", "TimerMinimize", "", 0, 0, 500, 0, "", kOneShot);
  row(K::Timer, "", "TimerSystrayWatchdog", "", 0, 0, 10000, 0, "", kEnabledAtStart);
  return w;
}

WindowLayout Dialog(const char* name, const char* caption, const char* font, int points, int width,
                    int height, unsigned style) {
  WindowLayout w{name, caption, font, points, {}};
  w.width = width;
  w.height = height;
  w.style = style;
  return w;
}

WindowLayout BuildProgressForm() {
  WindowLayout w = Dialog("FormProgress", "Lanvoy in progress", "MS Sans Serif", -11, 379, 78,
                          kOnTop | kNoTitleButtons);
  Rows row{w.controls};
  row(K::ProgressBar, "", "ProgressBar1", "", 32, 28, 245, 16);
  row(K::Label, "", "LabelProgress", "", 32, 48, 330, 16);
  return w;
}

WindowLayout BuildNetDetailsForm() {
  // Wide enough for the longest lines of ipconfig's report (about 90 columns on Windows XP).
  WindowLayout w = Dialog("FormNetDetails", kLanStateCaption, "Arial", 8, 700, 449, kResizable);
  w.minWidth = 100;
  w.minHeight = 260;  // the history's list, its button and a few lines below them
  Rows row{w.controls};
  // The report, and the history of the applies beside it.
  row(K::TabControl, "", "PageControl1", "", 0, 0, 700, 408, "", kStretchWidth | kStretchHeight);
  row(K::TabPage, "PageControl1", "SeiteReport", "ipconfig /all", 0, 0);
  row(K::TabPage, "PageControl1", "SeiteHistory", "History", 0, 0);
  auto memo = [&](const char* page, const char* name, int top, int height, unsigned style) {
    row(K::Memo, page, name, "", 0, top, 694, height, "",
        kVScroll | kHScroll | kGreyBackground | kStretchWidth | kStretchHeight | style)
        .points = 9;
    w.controls.back().font = "Terminal";  // the OEM character set's fixed-pitch font
  };
  memo("SeiteReport", "Memo", 0, 380, 0);
  // The applies whose snapshots are kept, newest first, each of which can be gone back to
  // before; below them every line of the history.
  row(K::ListBox, "SeiteHistory", "ListSnapshots", "", 0, 0, 694, 112,
      "The applies that can be undone, newest first", kStretchWidth);
  row(K::Button, "SeiteHistory", "ButtonRestoreBefore", "Restore the state before this apply", 4,
      116, 220, 26, "Undo the chosen apply and every apply after it", kDisabled);
  memo("SeiteHistory", "MemoHistory", 146, 234, kReadOnly);
  row(K::Button, "", "Button1", "OK", 617, 416, 75, 25, "", kCancel | kAnchorRight | kAnchorBottom);
  return w;
}

WindowLayout BuildHelpForm() {
  WindowLayout w = Dialog("FormHelp", "Help", "Arial", 8, 561, 430, kResizable);
  Rows row{w.controls};
  row(K::Memo, "", "Memo1", "", 8, 8, 545, 376, "",
      kVScroll | kHScroll | kReadOnly | kStretchWidth | kStretchHeight);
  row(K::Button, "", "Button1", "OK", 243, 394, 75, 28, "",
      kCancel | kAnchorBottom | kCentredAcross);
  return w;
}

WindowLayout BuildSplashForm() {
  WindowLayout w = Dialog("FormStartBild", "", "Arial", 8, 400, 300, kOnTop | kNoBorder);
  Rows row{w.controls};
  row(K::Image, "", "Image1", "", 0, 0, 400, 300, "", 0, "splash");
  return w;
}

}  // namespace

const WindowLayout& ProgressFormLayout() {
  static const WindowLayout layout = BuildProgressForm();
  return layout;
}
const WindowLayout& NetDetailsFormLayout() {
  static const WindowLayout layout = BuildNetDetailsForm();
  return layout;
}
const WindowLayout& HelpFormLayout() {
  static const WindowLayout layout = BuildHelpForm();
  return layout;
}
const WindowLayout& SplashFormLayout() {
  static const WindowLayout layout = BuildSplashForm();
  return layout;
}

WindowLayout MsgDlgBoxLayout(const MsgDlgBoxPlan& plan, const MsgDlgGeometry& g) {
  WindowLayout w =
      Dialog("MsgDlgBox", plan.caption.c_str(), "Tahoma", -11, g.clientWidth, g.clientHeight, 0);
  Rows row{w.controls};
  auto at = [&](ControlEntry& c, const MsgDlgRect& r) {
    c.left = r.left;
    c.top = r.top;
    c.width = r.width;
    c.height = r.height;
    return std::ref(c);
  };
  const Glyph icons[] = {Glyph::Warning, Glyph::Error, Glyph::Information, Glyph::Question};
  if (plan.type != mtCustom)
    at(row(K::Image, "", "Image", "", 0, 0), g.image).get().glyph = icons[plan.type];
  at(row(K::Label, "", "Message", plan.message, 0, 0, 0, 0, "", kBold | kWordWrap), g.message);
  for (size_t i = 0; i < g.buttons.size(); ++i) {
    const MsgDlgButtonInfo& b = plan.row.buttons[i];
    at(row(K::Button, "", b.name, b.caption, 0, 0, 0, 0, "",
           static_cast<int>(i) == plan.row.defaultIndex ? unsigned{kDefault} : 0u),
       g.buttons[i]);
  }
  if (plan.checkBox && !g.buttons.empty())
    at(row(K::CheckBox, "", "DontShowAgain", plan.checkBoxCaption, 0, 0, 0, 0, "", kBold),
       g.checkBox);
  if (plan.gaugeMaxValue > 0) at(row(K::ProgressBar, "", "Gauge", "", 0, 0), g.gauge);
  if (plan.showCountdown)
    row(K::Label, "", "Countdown", "", g.countdownRight, g.countdownTop, 0, 0, "", kBold);
  return w;
}

void ConnectMsgDlgButtons(const MsgDlgBoxPlan& plan, ControlSet& controls,
                          const std::function<void(int result)>& close) {
  for (const MsgDlgButtonInfo& info : plan.row.buttons) {
    const int result = info.result;
    if (info.button != mbHelp)
      controls.Get<Button>(info.name).OnClick = [close, result] { close(result); };
  }
}

WindowLayout InputBoxLayout(const std::string& caption, const std::string& prompt,
                            const std::string& proposal) {
  WindowLayout w = Dialog("InputBox", caption.c_str(), "Tahoma", -11, 320, 100, 0);
  Rows row{w.controls};
  row(K::Label, "", "Prompt", prompt, 8, 8, 304, 16);
  row(K::Edit, "", "Value", "", 8, 28, 304, 22, "", 0, proposal);
  row(K::Button, "", "OK", "OK", 156, 64, 75, 25, "", kDefault);
  row(K::Button, "", "Cancel", "Cancel", 237, 64, 75, 25, "", kCancel);
  return w;
}

const ControlEntry* WindowLayout::Find(const std::string& control) const {
  for (const ControlEntry& c : controls)
    if (c.name == control) return &c;
  return nullptr;
}

const WindowLayout& MainFormLayout() {
  static const WindowLayout layout = BuildMainForm();
  return layout;
}

std::vector<std::string> SplitItems(const std::string& items) {
  std::vector<std::string> parts;
  if (items.empty()) return parts;
  size_t start = 0;
  for (;;) {
    const size_t bar = items.find('|', start);
    parts.push_back(items.substr(start, bar - start));
    if (bar == std::string::npos) return parts;
    start = bar + 1;
  }
}

}  // namespace lanvoy
