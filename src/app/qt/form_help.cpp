#include "app/qt/form_help.h"

#include "app/help_text.h"
#include "app/qt/placement.h"
#include "base/strings.h"

namespace lanvoy {

TFormHelp::TFormHelp(QWidget* owner) : QtLayoutWindow(HelpFormLayout(), owner) {
  std::string text;
  for (const std::string& line : HelpTextLines()) text += line + kCRLF;
  Controls().Get<Memo>("Memo1").SetText(text);
  Controls().Get<Button>("Button1").OnClick = [this] { accept(); };
}

void TFormHelp::ShowModal() {
  move(CentredOnItsScreen(this, parentWidget()));
  exec();
}

}  // namespace lanvoy
