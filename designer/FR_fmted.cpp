#include "designer/FR_fmted.h"

#include "designer/FR_About.h"
#include "designer/FR_Color.h"
#include "designer/FR_Desgn.h"
#include "designer/FR_Dopt.h"
#include "designer/FR_DsOpt.h"
#include "designer/FR_Hilit.h"
#include "designer/FR_pgopt.h"
#include "platform/conv.h"
#include "report/core/FR_Class_Report.h"
#include "report/expr/FR_Values.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Ctrls.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace designer {

using namespace report;

namespace {

constexpr int kCategories = 5;
constexpr int kCustomType = 4;  // the engine formats types from 4 on by the format text

// The decimal digits as typed: a number from 0 to 255 (one byte of the word).
bool readDecimals(const QString &text, int &decimals) {
  bool ok = false;
  const int n = text.trimmed().toInt(&ok);
  if (!ok || n < 0 || n > 255) return false;
  decimals = n;
  return true;
}

// The fraction symbol as typed: its first character when it fits the byte.
bool readSeparator(const QString &text, char &separator) {
  if (text.isEmpty() || text[0].unicode() == 0 || text[0].unicode() > 255) return false;
  separator = static_cast<char>(text[0].unicode());
  return true;
}

}  // namespace

TfrFmtForm::TfrFmtForm(QWidget *parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frFmtForm"));
  setWindowTitle(frLoadStr(53420));
  GroupBox1 = frNamed(new QGroupBox(frLoadStr(53421), this), "GroupBox1");
  ComboBox1 = frNamed(new QComboBox(GroupBox1), "ComboBox1");
  ComboBox2 = frNamed(new QComboBox(GroupBox1), "ComboBox2");
  for (int c = 0; c < kCategories; ++c) ComboBox1->addItem(frLoadStr(55130 + c));
  for (QComboBox *c : {ComboBox1, ComboBox2}) c->setMinimumContentsLength(16);
  Panel1 = frNamed(new QWidget(this), "Panel1");
  Label1 = frNamed(new QLabel(frLoadStr(53422), Panel1), "Label1");
  Edit3 = frNamed(new QLineEdit(Panel1), "Edit3");
  Label2 = frNamed(new QLabel(frLoadStr(53423), Panel1), "Label2");
  SplEdit = frNamed(new QLineEdit(Panel1), "SplEdit");
  Edit3->setMaxLength(3);
  SplEdit->setMaxLength(1);
  for (QLineEdit *e : {Edit3, SplEdit})
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
  Label1->setBuddy(Edit3);
  Label2->setBuddy(SplEdit);
  Panel2 = frNamed(new QWidget(this), "Panel2");
  Label3 = frNamed(new QLabel(frLoadStr(53424), Panel2), "Label3");
  Edit1 = frNamed(new QLineEdit(Panel2), "Edit1");
  frSetMinWidthInChars(Edit1, 28, '0');
  Label3->setBuddy(Edit1);
  QHBoxLayout *buttons = frOkCancelRow(this, Button1, Button2);

  auto *g = new QHBoxLayout(GroupBox1);
  g->addWidget(ComboBox1);
  g->addWidget(ComboBox2);
  auto *p1 = new QFormLayout(Panel1);
  p1->setContentsMargins(0, 0, 0, 0);
  p1->addRow(Label1, Edit3);
  p1->addRow(Label2, SplEdit);
  auto *p2 = new QFormLayout(Panel2);
  p2->setContentsMargins(0, 0, 0, 0);
  p2->addRow(Label3, Edit1);
  auto *lay = new QVBoxLayout(this);
  lay->setSizeConstraint(QLayout::SetFixedSize);
  lay->addWidget(GroupBox1);
  lay->addWidget(Panel1);
  lay->addWidget(Panel2);
  lay->addStretch();
  lay->addLayout(buttons);

  connect(ComboBox1, &QComboBox::activated, this, &TfrFmtForm::categoryChosen);
  connect(ComboBox2, &QComboBox::activated, this, &TfrFmtForm::typeChosen);
  connect(Edit3, &QLineEdit::textEdited, this, [this](const QString &t) {
    int d = 0;
    if (readDecimals(t, d))
      setBits(frFormatCategory(format_), frFormatType(format_), d, frFormatSeparator(format_));
  });
  connect(SplEdit, &QLineEdit::textEdited, this, [this](const QString &t) {
    char sep = 0;
    if (readSeparator(t, sep))
      setBits(frFormatCategory(format_), frFormatType(format_), frFormatDecimals(format_), sep);
  });
  SplEdit->installEventFilter(this);
  SetFormat(0, QString());
}

void TfrFmtForm::setBits(int category, int type, int decimals, char separator) {
  format_ = frMakeFormat(category & 0xFF, type & 0xFF, decimals & 0xFF, separator);
}

void TfrFmtForm::fillTypes(int category) {
  ComboBox2->clear();
  for (int i = 0; i < 5; ++i) {
    const QString t = frLoadStr(55150 + 5 * category + i);
    if (!t.isEmpty()) ComboBox2->addItem(t);
  }
}

void TfrFmtForm::SetFormat(quint32 format, const QString &formatText) {
  filling_ = true;
  format_ = format;
  const int category = frFormatCategory(format);
  // A word from a damaged layout may name no category: the lists show the
  // first, the word stays as it is until the user chooses.
  const bool known = category < kCategories;
  ComboBox1->setCurrentIndex(known ? category : 0);
  fillTypes(known ? category : 0);
  ComboBox2->setCurrentIndex(frFormatType(format) < ComboBox2->count() ? frFormatType(format) : -1);
  Edit1->setText(formatText);
  Edit3->setText(QString::number(frFormatDecimals(format)));
  const char sep = frFormatSeparator(format);
  SplEdit->setText(sep ? QString(QChar::fromLatin1(sep)) : QString());
  filling_ = false;
  showPanels();
}

QString TfrFmtForm::FormatText() const { return Edit1->text(); }

void TfrFmtForm::categoryChosen(int index) {
  if (index < 0) return;
  fillTypes(index);
  ComboBox2->setCurrentIndex(0);
  Edit1->clear();
  setBits(index, 0, frFormatDecimals(format_), frFormatSeparator(format_));
  showPanels();
}

void TfrFmtForm::typeChosen(int index) {
  if (index < 0) return;
  setBits(frFormatCategory(format_), index, frFormatDecimals(format_), frFormatSeparator(format_));
  showPanels();
}

void TfrFmtForm::showPanels() {
  const bool custom = frFormatType(format_) == kCustomType && frFormatCategory(format_) != fcText;
  Panel2->setVisible(custom);
  Panel1->setVisible(!custom && frFormatCategory(format_) == fcNumber);
}

bool TfrFmtForm::eventFilter(QObject *o, QEvent *e) {
  // Entering the fraction symbol selects it, so a typed symbol replaces it.
  if (o == SplEdit && e->type() == QEvent::FocusIn) QTimer::singleShot(0, SplEdit, &QLineEdit::selectAll);
  return QDialog::eventFilter(o, e);
}

void TfrFmtForm::done(int r) {
  // A custom number format without digits prints the same text for every value.
  if (r == QDialog::Accepted && Panel2->isVisible() && frFormatCategory(format_) == fcNumber &&
      platform::FormatFloat(Edit1->text(), 1.5L) == platform::FormatFloat(Edit1->text(), 22.25L)) {
    if (frErrorBox)
      frErrorBox(QStringLiteral("'%1' is no number format: every value would print the same. Use 0 and # for "
                                "the digits, as in #,##0.00.")
                     .arg(Edit1->text()));
    Edit1->setFocus();
    Edit1->selectAll();
    return;
  }
  if (r == QDialog::Accepted && Panel1->isVisible()) {
    int d = 0;
    char sep = 0;
    QLineEdit *bad = nullptr;
    if (!readDecimals(Edit3->text(), d)) bad = Edit3;
    else if (!SplEdit->text().isEmpty() && !readSeparator(SplEdit->text(), sep)) bad = SplEdit;
    if (bad) {
      if (frErrorBox)
        frErrorBox(
            bad == Edit3
                ? QStringLiteral("'%1' is not a number of decimal digits from 0 to 255.").arg(Edit3->text())
                : QStringLiteral("'%1' cannot be a fraction symbol.").arg(SplEdit->text()));
      bad->setFocus();
      bad->selectAll();
      return;
    }
  }
  QDialog::done(r);
}

bool EditDisplayFormat(QWidget *parent, quint32 &format, QString &formatText) {
  TfrFmtForm dlg(parent);
  dlg.SetFormat(format, formatText);
  if (dlg.exec() != QDialog::Accepted) return false;
  format = dlg.Format();
  formatText = dlg.FormatText();
  return true;
}

void installFormatDialogs(TfrDesignerForm &form) {
  TfrDesignerForm *f = &form;
  form.PageOptions = [f](TfrPage &page) { return EditPageOptions(f, page); };
  form.DesignerOptions = [f](TfrDesignerOptions &o) { return EditDesignerOptions(f, o); };
  form.ReportOptions = [f] { return f->Report() && EditReportOptions(f, *f->Report()); };
  form.About = [f] { ShowAbout(f); };
  form.ChooseColor = [f](TColor &c) {
    QWidget *under = f->CurColorButton ? static_cast<QWidget *>(f->CurColorButton) : f;
    return frSelectColor(under, c);
  };
  form.EditHighlight = [f](TfrMemoView &, TfrHighlight &hl, QString &condition) {
    return EditHighlight(*f, hl, condition);
  };
}

}  // namespace designer
