// The layout of a window as data: every control with its name, kind, parent, caption, hint,
// default and place. Each toolkit builds its widgets from it, so the windows look the same
// on each, and the window's logic finds every control it names.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lanvoy {

enum class ControlKind {
  GroupBox,
  Panel,
  TabControl,
  TabPage,
  ButtonTabControl,  // a tab control whose tabs are drawn as buttons
  Label,
  LinkLabel,  // blue, underlined, hand cursor; clickable
  Label3d,    // raised: red, with a shadow
  Button,
  GlyphButton,  // a picture and no caption
  CheckBox,
  RadioGroup,  // items in `text`, separated by "|"
  Edit,
  Memo,
  ComboBox,  // editable; items in `text`, separated by "|"
  ListBox,   // sorted
  Grid,      // column headers in `text` ("|"), widths in `items`
  PopupMenu,
  MenuItem,  // of the menu `parent`; caption "-" is a separator
  SubMenu,   // a menu item whose items are made at run time
  Timer,     // interval in `width` (ms)
  ProgressBar,
  Image,  // a picture of the program's, named in `text`
};

// Pictures the toolkit draws in its own style: the glyph buttons', and the message icons.
enum class Glyph { None, More, Minimize, Exit, Apply, Warning, Error, Information, Question };

// Style flags of a control.
enum : unsigned {
  kBold = 1u << 0,
  kWordWrap = 1u << 3,
  kVScroll = 1u << 4,
  kHScroll = 1u << 5,
  kDisabled = 1u << 6,         // at creation
  kChecked = 1u << 7,          // at creation
  kDigits = 1u << 8,           // an edit that takes digits only, at most 5
  kCancel = 1u << 9,           // the window's cancel button: Esc presses it
  kDefaultItem = 1u << 10,     // the menu's default item, shown bold
  kOneShot = 1u << 11,         // a timer that the logic switches off when it fires
  kEnabledAtStart = 1u << 12,  // a timer running from the start
  kReadOnly = 1u << 13,
  kGreyBackground = 1u << 14,  // the colour of buttons
  // When the window is resized: the control keeps its distance to the right or bottom
  // border, or stretches with it, or stays centred across.
  kAnchorRight = 1u << 15,
  kAnchorBottom = 1u << 16,
  kStretchWidth = 1u << 17,
  kStretchHeight = 1u << 18,
  kCentredAcross = 1u << 19,
  kDefault = 1u << 20,  // the window's default button: Enter presses it
};

// Style flags of a window.
enum : unsigned {
  kOnTop = 1u << 0,
  kNoBorder = 1u << 1,        // no border or caption bar
  kResizable = 1u << 2,       // else of fixed size
  kNoTitleButtons = 1u << 3,  // a dialog border without buttons in the caption bar
};

// A radio group or a combo box with items starts with its first item selected.
struct ControlEntry {
  std::string name;
  ControlKind kind;
  std::string parent;                            // "" for the window itself
  std::string caption;                           // "&" marks the accelerator; CR LF breaks lines
  int left = 0, top = 0, width = 0, height = 0;  // width 0: as large as the caption
  std::string hint;
  unsigned style = 0;
  std::string text;  // an edit's default text, or the items of a list ("|")
  Glyph glyph = Glyph::None;
  int points = 0;       // font size, when not the window's
  std::string font;     // font name, when not the window's
  std::string columns;  // a grid's column widths ("|")
  std::string popup;    // the control's context menu
};

struct WindowLayout {
  std::string name;
  std::string caption;
  std::string fontName;
  int fontPoints;                      // negative: a height in pixels
  std::vector<ControlEntry> controls;  // parents before their children, in tab order
  int width = 0, height = 0;           // the client area
  int minWidth = 0, minHeight = 0;
  unsigned style = 0;
  const ControlEntry* Find(const std::string& control) const;
};

// The main window, laid out in its full size (540 x 440); the compact size shows only the
// group "Profiles".
const WindowLayout& MainFormLayout();
// The windows the main window owns, and the splash window.
const WindowLayout& ProgressFormLayout();
const WindowLayout& NetDetailsFormLayout();
const WindowLayout& HelpFormLayout();
const WindowLayout& SplashFormLayout();

struct MsgDlgBoxPlan;
struct MsgDlgGeometry;
class ControlSet;
// A message dialog's box, from what it shows and where its parts go.
WindowLayout MsgDlgBoxLayout(const MsgDlgBoxPlan& plan, const MsgDlgGeometry& geometry);
// Its buttons, built from that layout, close it with their results (Help does not close it).
void ConnectMsgDlgButtons(const MsgDlgBoxPlan& plan, ControlSet& controls,
                          const std::function<void(int result)>& close);
// The one-line input box: the prompt, the edit "Value" with the proposal, OK and Cancel.
WindowLayout InputBoxLayout(const std::string& caption, const std::string& prompt,
                            const std::string& proposal);

inline constexpr int kCompactWidth = 325, kCompactHeight = 174;
inline constexpr int kFullWidth = 540, kFullHeight = 440;

// "a|b|c" as its parts.
std::vector<std::string> SplitItems(const std::string& items);

}  // namespace lanvoy
