#include "designer/FR_Vared.h"

#include "designer/FR_BndEd.h"
#include "report/core/FR_Class_Report.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace designer {

using namespace report;

TfrVaredForm::TfrVaredForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frVaredForm"));
  setWindowTitle(frLoadStr(53360));
  Label1 = frNamed(new QLabel(frLoadStr(53361), this), "Label1");
  Memo1 = frNamed(new QPlainTextEdit(this), "Memo1");
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setMinimumSize(Memo1->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 36,
                        Memo1->fontMetrics().height() * 16);
  Label1->setBuddy(Memo1);
  QHBoxLayout *buttons = frOkCancelRow(this, Button1, Button2);
  auto *lay = new QVBoxLayout(this);
  lay->addWidget(Label1);
  lay->addWidget(Memo1, 1);
  lay->addLayout(buttons);
}

bool TfrVaredForm::ShowEditor(TfrReport &report) {
  Memo1->setPlainText(report.Variables.join(u'\n'));
  if (exec() != QDialog::Accepted) return false;
  Apply(report);
  return true;
}

void TfrVaredForm::Apply(TfrReport &report) const {
  QStringList lines;
  for (QString line : Memo1->toPlainText().split(u'\n')) {
    if (line.endsWith(u'\r')) line.chop(1);
    if (!line.trimmed().isEmpty()) lines << line;
  }
  report.Variables = lines;
  TfrValues &values = report.Values;
  for (int i = values.Count() - 1; i >= 0; --i)
    if (report.FindVariable(values.Name(i)) < 0) values.Delete(i);
  for (const QString &line : lines) {
    if (!line.startsWith(u' ')) continue;
    const QString name = line.mid(1);
    if (values.FindVariable(name)) continue;
    values.SetName(values.AddValue(), name);
  }
}

}  // namespace designer
