#include "app/ui/form_help.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/help_text.h"
#include "app/ui/placement_qt.h"

namespace lanvoy {

TFormHelp::TFormHelp(QWidget* parent) : QDialog(parent) {
  setObjectName("FormHelp");
  setWindowTitle("Help");
  resize(561, 430);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QStringList lines;
  for (const std::string& line : HelpTextLines()) lines << QString::fromStdString(line);
  Memo1->setPlainText(lines.join('\n'));
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("Button1");
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Memo1, 1);
  auto* row = new QHBoxLayout();
  row->addStretch();
  row->addWidget(ok);
  row->addStretch();
  layout->addLayout(row);
}

void TFormHelp::ShowModalCentred(QWidget* over) {
  move(CentredOnItsScreen(this, over));
  exec();
}

}  // namespace lanvoy
