#include "designer/FR_Ev_ed.h"

#include "designer/FR_BndEd.h"
#include "designer/FR_Flds.h"
#include "designer/FR_Vared.h"
#include "report/core/FR_Class_Report.h"
#include "report/data/FR_DBSet.h"
#include "report/expr/FR_Intrp.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>
#include <vector>

namespace designer {

using namespace report;

namespace {

constexpr int kNoneId = 55076;
constexpr int kOtherId = 55075;
constexpr int kGlobalsId = 55342;
constexpr int kBuiltInId = 55110;  // display names of the built-in values, by kind
constexpr int kBuiltInCount = 9;
constexpr int kExpression = 1;  // the built-in whose text is an expression

struct ValuesClipboard {
  QByteArray values;
  QStringList variables;
  bool filled = false;
};

ValuesClipboard &clipboard() {
  static ValuesClipboard c;
  return c;
}

int findText(const QListWidget *list, const QString &text) {
  for (int i = 1; i < list->count(); ++i)
    if (list->item(i)->text().compare(text, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

}  // namespace

void CopyValues(const TfrReport &report) {
  TfrStream s;
  report.Values.WriteBinaryData(s);
  clipboard().values = s.Data();
  clipboard().variables = report.Variables;
  clipboard().filled = true;
}

void PasteValues(TfrReport &report) {
  const ValuesClipboard &c = clipboard();
  if (c.values.isEmpty()) {
    report.Values.Clear();
  } else {
    TfrStream s(c.values);
    report.Values.ReadBinaryData(s);
  }
  report.Variables = c.variables;
}

bool ValuesClipboardFilled() { return clipboard().filled; }

void ClearValuesClipboard() { clipboard() = ValuesClipboard(); }

bool ShowEvEditor(TfrReport &report, QWidget *parent) {
  // A copy of the records themselves, not their stream form, so that Cancel
  // gives back texts longer than a stored short string too.
  std::vector<std::pair<QString, TfrValue>> values;
  for (int i = 0; i < report.Values.Count(); ++i)
    values.emplace_back(report.Values.Name(i), *report.Values.GetValue(i));
  const QStringList variables = report.Variables;
  TfrEvForm form(report, parent);
  if (form.exec() == QDialog::Accepted) return true;
  report.Values.Clear();
  for (auto it = values.rbegin(); it != values.rend(); ++it) {
    const int i = report.Values.AddValue();
    report.Values.SetName(i, it->first);
    *report.Values.GetValue(i) = it->second;
  }
  report.Variables = variables;
  return false;
}

TfrEvForm::TfrEvForm(TfrReport &report, QWidget *parent) : QDialog(parent), report_(report) {
  setObjectName(QStringLiteral("frEvForm"));
  setWindowTitle(frLoadStr(53340));
  const int x = fontMetrics().horizontalAdvance(QLatin1Char('x'));
  Label1 = frNamed(new QLabel(frLoadStr(53341), this), "Label1");
  VarCombo = frNamed(new QComboBox(this), "VarCombo");
  VarList = frNamed(new QListWidget(this), "VarList");
  Label1->setBuddy(VarCombo);
  Label2 = frNamed(new QLabel(frLoadStr(53342), this), "Label2");
  ValCombo = frNamed(new QComboBox(this), "ValCombo");
  ValList = frNamed(new QListWidget(this), "ValList");
  Label2->setBuddy(ValCombo);
  for (QWidget *w : std::initializer_list<QWidget *>{VarCombo, VarList, ValCombo, ValList})
    w->setMinimumWidth(x * 26);
  VarList->setMinimumHeight(fontMetrics().height() * 12);
  ValList->setMinimumHeight(fontMetrics().height() * 12);
  Label3 = frNamed(new QLabel(frLoadStr(53343), this), "Label3");
  Edit1 = frNamed(new QLineEdit(this), "Edit1");
  Edit1->setMaxLength(255);  // the longest text the layout keeps
  Label3->setBuddy(Edit1);
  SB1 = frNamed(new QToolButton(this), "SB1");
  SB1->setIcon(QIcon(frGlyphPixmap(QStringLiteral("copy"))));
  SB1->setToolTip(frLoadStr(53344));
  SB2 = frNamed(new QToolButton(this), "SB2");
  SB2->setIcon(QIcon(frGlyphPixmap(QStringLiteral("paste"))));
  SB2->setToolTip(frLoadStr(53345));
  SB2->setEnabled(ValuesClipboardFilled());
  Button3 = frNamed(new QPushButton(frLoadStr(53346), this), "Button3");
  connect(VarCombo, &QComboBox::currentIndexChanged, this, [this] { categoryChosen(); });
  connect(VarList, &QListWidget::currentRowChanged, this, [this] { variableChosen(); });
  connect(ValCombo, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!updating_) fillValues(i);
  });
  connect(ValList, &QListWidget::currentRowChanged, this, [this] { valueChosen(); });
  connect(Edit1, &QLineEdit::textChanged, this, [this] { expressionEdited(); });
  connect(SB1, &QToolButton::clicked, this, [this] {
    CopyValues(report_);
    SB2->setEnabled(true);
  });
  connect(SB2, &QToolButton::clicked, this, [this] { paste(); });
  connect(Button3, &QPushButton::clicked, this, [this] { editList(); });

  auto *grid = new QGridLayout;
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(VarCombo, 1, 0);
  grid->addWidget(VarList, 2, 0);
  grid->addWidget(Label2, 0, 1);
  grid->addWidget(ValCombo, 1, 1);
  grid->addWidget(ValList, 2, 1);
  auto *expr = new QHBoxLayout;
  expr->addWidget(Label3);
  expr->addWidget(Edit1, 1);
  QHBoxLayout *buttons = frOkCancelRow(this, Button1, Button2);
  buttons->insertWidget(0, SB1);
  buttons->insertWidget(1, SB2);
  buttons->insertWidget(2, Button3);
  auto *lay = new QVBoxLayout(this);
  lay->addLayout(grid, 1);
  lay->addLayout(expr);
  lay->addLayout(buttons);

  updating_ = true;
  ValCombo->addItems(frDataSetNames());
  ValCombo->addItem(frLoadStr(kOtherId));
  ValCombo->addItem(frLoadStr(kGlobalsId));
  ValCombo->setCurrentIndex(otherIndex());
  updating_ = false;
  fillValues(otherIndex());
  fillCategories();
}

int TfrEvForm::otherIndex() const { return ValCombo->count() - 2; }
int TfrEvForm::variablesIndex() const { return ValCombo->count() - 1; }

QString TfrEvForm::currentVariable() const {
  const QListWidgetItem *item = VarList->currentItem();
  return item ? item->text() : QString();
}

void TfrEvForm::fillCategories() {
  QStringList categories;
  report_.GetCategoryList(categories);
  const QSignalBlocker block(VarCombo);
  VarCombo->clear();
  VarCombo->addItems(categories);
  VarCombo->setCurrentIndex(categories.isEmpty() ? -1 : 0);
  categoryChosen();
}

void TfrEvForm::categoryChosen() {
  QStringList names;
  if (VarCombo->currentIndex() >= 0) report_.GetVarList(VarCombo->currentIndex(), names);
  {
    const QSignalBlocker block(VarList);
    VarList->clear();
    VarList->addItems(names);
    VarList->setCurrentRow(names.isEmpty() ? -1 : 0);
  }
  variableChosen();
}

void TfrEvForm::fillValues(int source) {
  const QSignalBlocker block(ValList);
  ValList->clear();
  if (source < 0) return;
  QStringList names;
  if (source == otherIndex()) {
    for (int i = 0; i < kBuiltInCount; ++i) names << frLoadStr(kBuiltInId + i);
  } else if (source == variablesIndex()) {
    if (frVariables)
      for (int i = 0; i < frVariables->Count(); ++i) names << frVariables->GetNameByIndex(i);
  } else {
    names = frDataSetFields(ValCombo->itemText(source));
  }
  ValList->addItem(frLoadStr(kNoneId));
  ValList->addItems(names);
}

void TfrEvForm::variableChosen() {
  const QString name = currentVariable();
  const TfrValue *v = name.isEmpty() ? nullptr : report_.Values.FindVariable(name);
  int source = ValCombo->currentIndex(), row = 0;
  QString expression;
  if (v && v->Typ == vtDBField) {
    source = -1;
    for (int i = 0; i < otherIndex(); ++i)
      if (ValCombo->itemText(i).compare(v->DataSet, Qt::CaseInsensitive) == 0) source = i;
  } else if (v && v->Typ == vtOther) {
    source = otherIndex();
  } else if (v && v->Typ == vtFRVar) {
    source = variablesIndex();
  }
  updating_ = true;
  ValCombo->setCurrentIndex(source);
  updating_ = false;
  fillValues(source);
  if (v && v->Typ == vtDBField) row = findText(ValList, v->Field);
  else if (v && v->Typ == vtOther)
    row = v->OtherKind >= 0 && v->OtherKind < kBuiltInCount ? v->OtherKind + 1 : -1;
  else if (v && v->Typ == vtFRVar) row = findText(ValList, v->Field);
  if (v && v->Typ == vtOther && v->OtherKind == kExpression) expression = v->Field;
  {
    const QSignalBlocker block(ValList);
    ValList->setCurrentRow(name.isEmpty() ? -1 : row);
  }
  Edit1->setText(expression);
  Edit1->setEnabled(v && v->Typ == vtOther && v->OtherKind == kExpression);
  Label3->setEnabled(Edit1->isEnabled());
  ValList->setEnabled(!name.isEmpty());
  ValCombo->setEnabled(!name.isEmpty());
}

void TfrEvForm::valueChosen() {
  const QString name = currentVariable();
  const int source = ValCombo->currentIndex(), row = ValList->currentRow();
  if (name.isEmpty() || source < 0 || row < 0) return;
  TfrValue *v = report_.Values.FindVariable(name);
  if (!v) {
    const int i = report_.Values.AddValue();
    report_.Values.SetName(i, name);
    v = report_.Values.GetValue(i);
  }
  *v = TfrValue();
  if (row > 0) {
    if (source == otherIndex()) {
      v->Typ = vtOther;
      v->OtherKind = row - 1;
      if (v->OtherKind == kExpression) v->Field = Edit1->text();
    } else if (source == variablesIndex()) {
      v->Typ = vtFRVar;
      v->Field = ValList->item(row)->text();
    } else {
      v->Typ = vtDBField;
      v->DataSet = ValCombo->itemText(source);
      v->Field = ValList->item(row)->text();
    }
  }
  Edit1->setEnabled(v->Typ == vtOther && v->OtherKind == kExpression);
  Label3->setEnabled(Edit1->isEnabled());
}

void TfrEvForm::expressionEdited() {
  const QString name = currentVariable();
  TfrValue *v = name.isEmpty() ? nullptr : report_.Values.FindVariable(name);
  if (v && v->Typ == vtOther && v->OtherKind == kExpression) v->Field = Edit1->text();
}

void TfrEvForm::paste() {
  PasteValues(report_);
  fillCategories();
}

void TfrEvForm::editList() {
  TfrVaredForm dlg(this);
  if (dlg.ShowEditor(report_)) fillCategories();
}

void frClearValuesClipboard() { clipboard() = ValuesClipboard{}; }

}  // namespace designer
