// TMessageDlg: a message box with a "don't show this again" box whose state and last answer
// live in an INI file, and an optional countdown that closes the box by itself. The rules
// are here; the box itself is drawn by a MsgDlgBoxFactory (Qt in the program, scripted in
// tests).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "platform/platform.h"

namespace lanvoy {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// In the order the buttons are laid out from left to right.
enum TMsgDlgBtn {
  mbYes,
  mbNo,
  mbOK,
  mbCancel,
  mbAbort,
  mbRetry,
  mbIgnore,
  mbAll,
  mbNoToAll,
  mbYesToAll,
  mbHelp
};

// A set of buttons as a bit mask (bit n = TMsgDlgBtn n).
class TMsgDlgButtons {
 public:
  TMsgDlgButtons() = default;
  TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons) {
    for (TMsgDlgBtn b : buttons) bits_ |= 1u << b;
  }
  bool Has(TMsgDlgBtn b) const { return (bits_ >> b) & 1u; }
  bool Empty() const { return bits_ == 0; }
  bool operator==(const TMsgDlgButtons&) const = default;

 private:
  uint32_t bits_ = 0;
};

enum TTimeOutResult {
  trNone,
  trOk,
  trCancel,
  trAbort,
  trRetry,
  trIgnore,
  trYes,
  trNo,
  trAll,
  trNoToAll,
  trYesToAll
};

// Result codes of the buttons (the same numbers as TTimeOutResult).
inline constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                     mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

struct MsgDlgButtonInfo {
  TMsgDlgBtn button;
  const char* name;     // the control's name
  const char* caption;  // "&" marks the accelerator
  int result;           // mrNone for Help, which does not close the box
};

// The buttons in layout order.
const std::vector<MsgDlgButtonInfo>& MsgDlgButtonTable();
const char* MsgDlgCaption(TMsgDlgType type);  // "" for mtCustom

// The buttons a box shows, with its Enter and Escape buttons.
struct MsgDlgButtonRow {
  std::vector<MsgDlgButtonInfo> buttons;
  int defaultIndex = -1;  // index into buttons, -1 for none
  int cancelIndex = -1;
};
// defaultButton, where the row has it, is its Enter button.
MsgDlgButtonRow MsgDlgButtonsOf(TMsgDlgButtons buttons,
                                std::optional<TMsgDlgBtn> defaultButton = std::nullopt);
// The result of Esc: the row's cancel button's, else mrCancel.
int MsgDlgCancelResult(const MsgDlgButtonRow& row);

class EMsgDlgError : public Error {
 public:
  using Error::Error;
};

// What a box shows.
struct MsgDlgBoxPlan {
  std::string caption;  // already resolved (mtCustom: CustomCaption or the application title)
  TMsgDlgType type = mtWarning;
  std::string message;
  MsgDlgButtonRow row;
  bool checkBox = false;  // no buttons means no check box
  std::string checkBoxCaption;
  int gaugeMaxValue = 0;
  bool gaugeShowText = true;
  bool showCountdown = false;  // only with a time-out
  int timeOut = 0;
  bool modeless = false;
};

// What a toolkit measured for a box, in pixels.
struct MsgDlgMetrics {
  int lettersWidth = 0;               // "A" to "Z" and "a" to "z" in the box's font
  int charHeight = 0;                 // their height
  std::vector<int> captionWidths;     // each button's caption in the button font, "&" removed
  int textWidth = 0, textHeight = 0;  // the message, word-wrapped within half the screen
  int checkBoxWidth = 0, checkBoxHeight = 0;  // the check box's caption with its mark
};

struct MsgDlgRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const MsgDlgRect&) const = default;
};

// Where a box's parts go: sizes in dialog units of the box's font, the message right of the
// icon, one row of buttons centred below it, the check box above the buttons, the gauge
// along the bottom, the countdown's right edge and top.
struct MsgDlgGeometry {
  int clientWidth = 0, clientHeight = 0;
  MsgDlgRect image, message, checkBox, gauge;
  std::vector<MsgDlgRect> buttons;
  int countdownRight = 0, countdownTop = 0;
};
MsgDlgGeometry MsgDlgBoxGeometry(const MsgDlgBoxPlan& plan, const MsgDlgMetrics& m);

// One open box. The dialog drives it: it sets the countdown, starts the timer and waits.
class MsgDlgBox {
 public:
  virtual ~MsgDlgBox() = default;
  virtual void SetMessage(const std::string& text) = 0;
  virtual void SetCountdownText(const std::string& text) = 0;
  // Calls tick every intervalMs until StopTimer or the box closes.
  virtual void StartTimer(int intervalMs, std::function<void()> tick) = 0;
  virtual void StopTimer() = 0;
  // Ends a modal run (or closes a modeless box) with this result.
  virtual void Close(int result) = 0;
  // Modal run: returns the closing result (2 when closed through the title bar).
  virtual int ShowModal() = 0;
  // Modeless: shows the box and returns; onClose runs once a button other than Help closes it.
  virtual void Show(std::function<void(int result)> onClose) = 0;
  virtual bool CheckBoxTicked() const = 0;
};

class MsgDlgBoxFactory {
 public:
  virtual ~MsgDlgBoxFactory() = default;
  virtual std::unique_ptr<MsgDlgBox> CreateBox(const MsgDlgBoxPlan& plan) = 0;
};

inline constexpr const char* kDefaultCheckBoxCaption = "&Don't show this message again.";
inline constexpr const char* kMsgDlgValueKey = "MsgDlgValue";

class TMessageDlg {
 public:
  explicit TMessageDlg(MsgDlgBoxFactory& factory);
  ~TMessageDlg();
  TMessageDlg(const TMessageDlg&) = delete;
  TMessageDlg& operator=(const TMessageDlg&) = delete;

  // Published properties with the values of a new component.
  bool AllowBlankINI = false;
  std::string CustomCaption;
  uint8_t TimeOut = 0;
  TMsgDlgType DlgType = mtWarning;
  TMsgDlgButtons Buttons{mbOK};
  std::string IniFile;
  std::string IniSection;
  // With UseRegistry the flag lives under HKEY_CURRENT_USER: IniFile names the key, the
  // section is a subkey and each item a string value. Registry must then be given.
  bool UseRegistry = false;
  platform::Registry* Registry = nullptr;
  TTimeOutResult TimeOutResult = trCancel;
  std::string HelpFile;
  int32_t HelpContext = 0;
  int32_t GaugeMaxValue = 0;
  bool GaugeShowText = true;
  bool ShowCountdown = false;
  std::string ApplicationTitle = "Lanvoy";  // caption of mtCustom without CustomCaption

  const std::string& Msg() const { return msg_; }
  void SetMsg(const std::string& text);  // also changes an open box's text
  bool CheckBox() const { return checkBox_; }
  void SetCheckBox(bool on) { checkBox_ = on && !modeless_; }
  bool Modeless() const { return modeless_; }
  void SetModeless(bool on);
  const std::string& IniItem() const { return iniItem_; }
  void SetIniItem(const std::string& item);  // refuses "MsgDlgValue"
  const std::string& CheckBoxCaption() const { return checkBoxCaption_; }
  void SetCheckBoxCaption(const std::string& caption);
  std::string Version() const { return "1.3"; }
  void SetVersion(const std::string&) {}

  // The result of the closing button, the time-out result, or the remembered result of a
  // silenced dialog. Modeless: mrNone at once.
  int Execute();
  // What its box shows, as Execute hands it to the factory.
  MsgDlgBoxPlan BoxPlan() const;

  // Seconds left of the running countdown.
  int SecondsLeft() const { return secondsLeft_; }

 private:
  bool IniNamesGiven() const;
  void ReadFlag(bool& dontShow, int& result);
  void WriteFlag(bool dontShow, int result);
  void Tick();
  void Closing(int result, bool dontShow);

  MsgDlgBoxFactory& factory_;
  std::string msg_;
  bool checkBox_ = false;
  bool modeless_ = false;
  std::string iniItem_;
  std::string checkBoxCaption_ = kDefaultCheckBoxCaption;
  std::unique_ptr<MsgDlgBox> box_;
  int secondsLeft_ = 0;
};

// The two dialogs of the main window with their design values and messages.
std::string BrowserRestartMessage();
std::string AdminNoticeMessage();
void SetupDialogBrowserRestart(TMessageDlg& dlg);
void SetupDialogAdmin(TMessageDlg& dlg);

}  // namespace lanvoy
