#include "components/msg_dlg.h"

#include <algorithm>

#include "base/strings.h"
#include "platform/registry_access.h"
#include "profiles/ini_file.h"

namespace lanvoy {

const std::vector<MsgDlgButtonInfo>& MsgDlgButtonTable() {
  static const std::vector<MsgDlgButtonInfo> table = {
      {mbYes, "Yes", "&Yes", mrYes},
      {mbNo, "No", "&No", mrNo},
      {mbOK, "OK", "OK", mrOk},
      {mbCancel, "Cancel", "Cancel", mrCancel},
      {mbAbort, "Abort", "&Abort", mrAbort},
      {mbRetry, "Retry", "&Retry", mrRetry},
      {mbIgnore, "Ignore", "&Ignore", mrIgnore},
      {mbAll, "All", "&All", mrAll},
      {mbNoToAll, "NoToAll", "N&o to All", mrNoToAll},
      {mbYesToAll, "YesToAll", "Yes to &All", mrYesToAll},
      {mbHelp, "Help", "Help", mrNone},
  };
  return table;
}

const char* MsgDlgCaption(TMsgDlgType type) {
  switch (type) {
    case mtWarning:
      return "Warning";
    case mtError:
      return "Error";
    case mtInformation:
      return "Information";
    case mtConfirmation:
      return "Confirm";
    case mtCustom:
      break;
  }
  return "";
}

MsgDlgButtonRow MsgDlgButtonsOf(TMsgDlgButtons buttons, std::optional<TMsgDlgBtn> defaultButton) {
  MsgDlgButtonRow row;
  auto indexOf = [&row](TMsgDlgBtn b) {
    for (size_t i = 0; i < row.buttons.size(); ++i)
      if (row.buttons[i].button == b) return static_cast<int>(i);
    return -1;
  };
  for (const MsgDlgButtonInfo& info : MsgDlgButtonTable())
    if (buttons.Has(info.button)) row.buttons.push_back(info);
  for (TMsgDlgBtn b : {mbOK, mbYes, mbRetry}) {
    if ((row.defaultIndex = indexOf(b)) >= 0) break;
  }
  if (defaultButton && indexOf(*defaultButton) >= 0) row.defaultIndex = indexOf(*defaultButton);
  for (TMsgDlgBtn b : {mbCancel, mbNo, mbOK}) {
    if ((row.cancelIndex = indexOf(b)) >= 0) break;
  }
  return row;
}

TMessageDlg::TMessageDlg(MsgDlgBoxFactory& factory) : factory_(factory) {}

TMessageDlg::~TMessageDlg() = default;

void TMessageDlg::SetMsg(const std::string& text) {
  msg_ = text;
  if (box_) box_->SetMessage(text);
}

void TMessageDlg::SetModeless(bool on) {
  modeless_ = on;
  if (on) checkBox_ = false;
}

void TMessageDlg::SetIniItem(const std::string& item) {
  if (SameText(item, kMsgDlgValueKey))
    throw EMsgDlgError(
        "MsgDlgValue is reserved for internal use by this component.\nPlease select another "
        "name for the IniItem property.");
  iniItem_ = item;
}

void TMessageDlg::SetCheckBoxCaption(const std::string& caption) {
  checkBoxCaption_ = caption.empty() ? std::string(kDefaultCheckBoxCaption) : caption;
}

bool TMessageDlg::IniNamesGiven() const {
  return !IniFile.empty() && !IniSection.empty() && !iniItem_.empty();
}

MsgDlgBoxPlan TMessageDlg::BoxPlan() const {
  MsgDlgBoxPlan plan;
  plan.type = DlgType;
  plan.caption = DlgType == mtCustom ? (CustomCaption.empty() ? ApplicationTitle : CustomCaption)
                                     : MsgDlgCaption(DlgType);
  plan.message = msg_;
  plan.row = MsgDlgButtonsOf(Buttons);
  plan.checkBox = checkBox_ && !plan.row.buttons.empty();
  plan.checkBoxCaption = checkBoxCaption_;
  plan.gaugeMaxValue = GaugeMaxValue;
  plan.gaugeShowText = GaugeShowText;
  plan.timeOut = TimeOut;
  plan.showCountdown = TimeOut > 0 && ShowCountdown;
  plan.modeless = modeless_;
  return plan;
}

int MsgDlgCancelResult(const MsgDlgButtonRow& row) {
  return row.cancelIndex >= 0 ? row.buttons[static_cast<size_t>(row.cancelIndex)].result : mrCancel;
}

int TMessageDlg::Execute() {
  bool dontShow = false;
  int result = mrNone;
  if (checkBox_) {
    if (!AllowBlankINI) {
      if (IniFile.empty()) throw EMsgDlgError("IniFile property not specified");
      if (IniSection.empty()) throw EMsgDlgError("IniSection property not specified");
      if (iniItem_.empty()) throw EMsgDlgError("IniItem property not specified");
    }
    if (IniNamesGiven()) ReadFlag(dontShow, result);
  }
  if (dontShow) return result;

  const MsgDlgBoxPlan plan = BoxPlan();
  box_ = factory_.CreateBox(plan);
  if (TimeOut > 0) {
    if (ShowCountdown) box_->SetCountdownText(std::to_string(TimeOut));
    secondsLeft_ = TimeOut;
    box_->StartTimer(1000, [this] { Tick(); });
  }
  if (modeless_) {
    box_->Show([this](int closed) { Closing(closed, false); });
    return mrNone;
  }
  result = box_->ShowModal();
  bool ticked = plan.checkBox && box_->CheckBoxTicked();
  box_.reset();
  Closing(result, ticked);
  return result;
}

void TMessageDlg::Tick() {
  if (!box_ || secondsLeft_ <= 0) return;
  --secondsLeft_;
  if (ShowCountdown) box_->SetCountdownText(std::to_string(secondsLeft_));
  if (secondsLeft_ == 0) box_->Close(static_cast<int>(TimeOutResult));
}

void TMessageDlg::Closing(int result, bool dontShow) {
  if (TimeOut > 0 && box_) box_->StopTimer();
  if (checkBox_ && IniNamesGiven()) WriteFlag(dontShow, result);
}

namespace {
TRegistry OpenFlagKey(platform::Registry* registry) {
  if (!registry) throw EMsgDlgError("UseRegistry is set but the dialog has no registry");
  return TRegistry(*registry, platform::RootKey::CurrentUser);
}
}  // namespace

void TMessageDlg::ReadFlag(bool& dontShow, int& result) {
  if (!UseRegistry) {
    lanvoy::IniFile ini(IniFile);
    dontShow = ini.ReadBool(IniSection, iniItem_, false);
    result = ini.ReadInteger(IniSection, kMsgDlgValueKey, 0);
    return;
  }
  TRegistry reg = OpenFlagKey(Registry);
  if (!reg.OpenKey(IniFile + "\\" + IniSection, false)) return;
  const std::string flag = reg.ReadString(iniItem_);
  dontShow = !flag.empty() && flag != "0";
  try {
    result = std::stoi(reg.ReadString(kMsgDlgValueKey));
  } catch (const std::logic_error&) {
    result = 0;  // missing or not a number
  }
}

void TMessageDlg::WriteFlag(bool dontShow, int result) {
  if (!UseRegistry) {
    lanvoy::IniFile ini(IniFile);
    ini.WriteBool(IniSection, iniItem_, dontShow);
    ini.WriteInteger(IniSection, kMsgDlgValueKey, result);
    return;
  }
  TRegistry reg = OpenFlagKey(Registry);
  if (!reg.OpenKey(IniFile + "\\" + IniSection, true))
    throw EMsgDlgError("Cannot open the registry key " + IniFile + "\\" + IniSection);
  reg.WriteString(iniItem_, dontShow ? "1" : "0");
  reg.WriteString(kMsgDlgValueKey, std::to_string(result));
}

std::string BrowserRestartMessage() {
  return "Caution:\r\n\r\nIf you have your internet browser or E-mail programm running \r\nyou "
         "need to restart it in order to load the new proxy and/or server\r\nsettings!";
}

std::string AdminNoticeMessage() {
  const std::vector<std::string> lines = {
      "Please note:",
      "",
      "1.) This program works under Windows 2000 (or higher) only!",
      "",
      "2.) You need to be logged in as an administrator, ",
      "     to edit the TCP/IP - settings of this system.",
      "",
      "3.) This software comes without any warranty of any kind.",
      "     You are using Lanvoy at your own risk. The author can not be",
      "     held responsible for any damage resulting from using Lanvoy!",
      "",
      "Lanvoy - the network profile switcher",
      "May 2002",
  };
  return JoinLines(lines);
}

namespace {
void SetupNotice(TMessageDlg& dlg) {
  dlg.DlgType = mtInformation;
  dlg.Buttons = {mbOK};
  dlg.SetCheckBox(true);
  dlg.IniSection = "Programm";
  dlg.ShowCountdown = true;
  dlg.TimeOutResult = trCancel;
}
}  // namespace

void SetupDialogBrowserRestart(TMessageDlg& dlg) {
  SetupNotice(dlg);
  dlg.TimeOut = 20;
  dlg.AllowBlankINI = false;
  dlg.SetIniItem("MsgRestartBrowser");
  dlg.SetMsg(BrowserRestartMessage());
}

void SetupDialogAdmin(TMessageDlg& dlg) {
  SetupNotice(dlg);
  dlg.TimeOut = 30;
  dlg.AllowBlankINI = true;
  dlg.SetIniItem("MsgAdminNeeded");
  dlg.SetMsg(AdminNoticeMessage());
}

namespace {
int MulDiv(int a, int b, int c) {
  return c == 0 ? 0 : static_cast<int>((int64_t(a) * b + c / 2) / c);
}
}  // namespace

MsgDlgGeometry MsgDlgBoxGeometry(const MsgDlgBoxPlan& plan, const MsgDlgMetrics& m) {
  const int avgWidth = MulDiv(m.lettersWidth, 1, 52);
  auto hu = [avgWidth](int n) { return MulDiv(n, avgWidth, 4); };
  auto vu = [&m](int n) { return MulDiv(n, m.charHeight, 8); };
  const int hMargin = hu(8), vMargin = vu(8), hSpacing = hu(10);
  int vSpacing = vu(10);
  int buttonWidth = hu(50);
  for (int width : m.captionWidths) buttonWidth = std::max(buttonWidth, width + 8);
  const int n = static_cast<int>(plan.row.buttons.size());
  const int buttonHeight = n > 0 ? vu(14) : 0;
  const int buttonSpacing = hu(4);
  const bool hasIcon = plan.type != mtCustom;
  const int areaWidth = m.textWidth + (hasIcon ? 32 + hSpacing : 0);
  const int areaHeight = hasIcon ? std::max(m.textHeight, 32) : m.textHeight;
  if (plan.checkBox) vSpacing += 26;
  const int rowWidth = n * buttonWidth + std::max(0, n - 1) * buttonSpacing;

  MsgDlgGeometry g;
  g.clientWidth = std::max(areaWidth, rowWidth) + 2 * hMargin;
  g.clientHeight = areaHeight + buttonHeight + vSpacing + 2 * vMargin;
  if (hasIcon) g.image = {hMargin, vMargin, 32, 32};
  g.message = {hMargin + areaWidth - m.textWidth, vMargin, m.textWidth, m.textHeight};
  const int top = areaHeight + vMargin + vSpacing;
  for (int i = 0, x = (g.clientWidth - rowWidth) / 2; i < n; ++i, x += buttonWidth + buttonSpacing)
    g.buttons.push_back({x, top, buttonWidth, buttonHeight});
  if (plan.checkBox && n > 0)
    g.checkBox = {12, top - 26, m.checkBoxWidth + 10, m.checkBoxHeight + 10};
  if (plan.gaugeMaxValue > 0) g.gauge = {0, g.clientHeight - 12, g.clientWidth, 12};
  g.countdownRight = g.clientWidth - 10;
  g.countdownTop = g.clientHeight - 20;
  return g;
}

}  // namespace lanvoy
