#include "designer/FR_Edit.h"

#include "designer/FR_Desgn.h"
#include "designer/FR_Flds.h"
#include "designer/FR_Hilit.h"
#include "designer/FR_IFlds.h"
#include "designer/FR_Var.h"
#include "report/core/FR_Class_View.h"
#include "report/output/FR_Fonts.h"
#include "report/ui/FR_Const.h"
#include "report/ui/FR_Desgn_Intf.h"
#include "report/ui/FR_Utils_Gui.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QSplitter>
#include <QVBoxLayout>

namespace designer {

using report::frLoadStr;
using report::frNamed;

namespace {

// Lines as a memo shows them and back; an empty memo is no lines.
QString joinLines(const QStringList &lines) { return lines.join(QLatin1Char('\n')); }
QStringList splitLines(const QString &text) {
  return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

// The editor's text as typed: non-breaking blanks stay non-breaking (a plain
// text copy would turn them into ordinary ones, letting a label part from its
// value).
QString editedText(const QPlainTextEdit *edit) {
  return edit->document()->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

void beforeChange() {
  if (report::frReportDesigner) report::frReportDesigner->BeforeChange();
}

}  // namespace

TfrEditorForm::TfrEditorForm(QWidget *parent) : TPropEditor(parent) {
  setObjectName(QStringLiteral("frEditorForm"));
  setWindowTitle(frLoadStr(53060));
  Splitter = frNamed(new QSplitter(Qt::Vertical, this), "Splitter");
  Splitter->setChildrenCollapsible(false);
  MemoPanel = frNamed(new QWidget(Splitter), "MemoPanel");
  ScriptPanel = frNamed(new QWidget(Splitter), "ScriptPanel");
  Label1 = frNamed(new QLabel(frLoadStr(53061), MemoPanel), "Label1");
  M1 = frNamed(new QPlainTextEdit(MemoPanel), "M1");
  Label2 = frNamed(new QLabel(frLoadStr(53065), ScriptPanel), "Label2");
  M2 = frNamed(new QPlainTextEdit(ScriptPanel), "M2");
  Label1->setBuddy(M1);
  Label2->setBuddy(M2);
  M1->setFont(QFont(report::frFontFamily(QStringLiteral("MS Sans Serif"))));
  M2->setFont(QFont(report::frFontFamily(QStringLiteral("Courier New"))));
  M1->setLineWrapMode(QPlainTextEdit::NoWrap);
  M2->setLineWrapMode(QPlainTextEdit::NoWrap);
  M2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  for (QPlainTextEdit *m : {M1, M2}) {
    m->setTabChangesFocus(false);
    m->installEventFilter(this);
  }
  CB1 = frNamed(new QCheckBox(frLoadStr(53062), this), "CB1");
  CB2 = frNamed(new QCheckBox(frLoadStr(53063), this), "CB2");
  CB3 = frNamed(new QCheckBox(frLoadStr(53064), this), "CB3");
  Button3 = frNamed(new QPushButton(frLoadStr(53066), this), "Button3");
  Button4 = frNamed(new QPushButton(frLoadStr(53067), this), "Button4");
  Button5 = frNamed(new QPushButton(frLoadStr(53068), this), "Button5");
  Button1 = frNamed(new QPushButton(frLoadStr(55000), this), "Button1");
  Button2 = frNamed(new QPushButton(frLoadStr(55001), this), "Button2");
  // Enter belongs to the memos; Ctrl+Enter confirms.
  for (QPushButton *b : {Button1, Button2, Button3, Button4, Button5}) b->setAutoDefault(false);
  lastMemo_ = M1;

  // The memos keep 4 pixels on the right, 2 below the text and 6 below the script.
  auto *memoLay = new QVBoxLayout(MemoPanel);
  memoLay->setContentsMargins(0, 0, 4, 2);
  memoLay->addWidget(Label1);
  memoLay->addWidget(M1, 1);
  auto *scriptLay = new QVBoxLayout(ScriptPanel);
  scriptLay->setContentsMargins(0, 0, 4, 6);
  scriptLay->addWidget(Label2);
  scriptLay->addWidget(M2, 1);
  auto *row = new QHBoxLayout;
  for (QWidget *w : std::initializer_list<QWidget *>{CB1, CB2, CB3}) row->addWidget(w);
  row->addStretch();
  for (QWidget *w : std::initializer_list<QWidget *>{Button3, Button4, Button5, Button1, Button2})
    row->addWidget(w);
  auto *lay = new QVBoxLayout(this);
  lay->addWidget(Splitter, 1);
  lay->addLayout(row);

  connect(CB1, &QCheckBox::toggled, this, [this] { applyChecks(); });
  connect(CB2, &QCheckBox::toggled, this, [this] { applyChecks(); });
  connect(CB3, &QCheckBox::toggled, this, [this] { applyChecks(); });
  connect(Button3, &QPushButton::clicked, this, [this] { InsertVariable(); });
  connect(Button4, &QPushButton::clicked, this, [this] { InsertField(); });
  connect(Button5, &QPushButton::clicked, this, [this] { EditObjectFormat(); });
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  applyChecks();
  resize(560, 360);
}

int TfrEditorForm::ShowEditor() {
  if (!View) return Rejected;
  return exec();
}

void TfrEditorForm::showEvent(QShowEvent *e) {
  applyChecks();
  if (View) {
    M1->setPlainText(joinLines(View->Memo));
    M2->setPlainText(joinLines(View->Script));
  }
  Button5->setVisible(View && View->Typ == report::gtMemo && EditFormat);
  TPropEditor::showEvent(e);
  // The window is no smaller than 200 pixels high or narrower than its buttons.
  if (QLayout *l = layout()) l->activate();
  setMinimumSize(std::max(layout()->minimumSize().width(), Button2->geometry().right() + 12),
                 std::max(layout()->minimumSize().height(), 200));
  lastMemo_->setFocus();
}

void TfrEditorForm::applyChecks() {
  ScriptPanel->setVisible(CB1->isChecked());
  // A hidden script is never where a variable or field goes, now or at the next opening.
  if (!CB1->isChecked()) lastMemo_ = M1;
  const int points = CB2->isChecked() ? 12 : 10;
  for (QPlainTextEdit *m : {M1, M2}) {
    QFont f = m->font();
    f.setPointSize(points);
    m->setFont(f);
  }
  M1->setLineWrapMode(CB3->isChecked() ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TfrEditorForm::insertName(const QString &name) {
  if (name.isEmpty()) return;
  QClipboard *clip = QApplication::clipboard();
  clip->clear();
  clip->setText(QLatin1Char('[') + name + QLatin1Char(']'));
  lastMemo_->paste();
  lastMemo_->setFocus();
}

void TfrEditorForm::InsertVariable() {
  TfrVarForm dlg(this);
  if (dlg.exec() == Accepted) insertName(dlg.SelectedItem);
  lastMemo_->setFocus();
}

void TfrEditorForm::InsertField() {
  TfrFieldsForm dlg(this);
  if (dlg.exec() == Accepted) insertName(dlg.DBField);
  lastMemo_->setFocus();
}

void TfrEditorForm::EditObjectFormat() {
  if (!View || View->Typ != report::gtMemo || !EditFormat) return;
  quint32 format = View->Format;
  QString text = View->FormatStr;
  if (!EditFormat(format, text)) return;
  beforeChange();
  View->Format = format;
  View->FormatStr = text;
}

bool TfrEditorForm::eventFilter(QObject *o, QEvent *e) {
  auto *memo = qobject_cast<QPlainTextEdit *>(o);
  if (memo && (memo == M1 || memo == M2)) {
    if (e->type() == QEvent::FocusIn) lastMemo_ = memo;
    if (e->type() == QEvent::KeyPress) {
      const auto *k = static_cast<QKeyEvent *>(e);
      const Qt::KeyboardModifiers mods = k->modifiers() & ~Qt::KeypadModifier;
      if (k->key() == Qt::Key_Insert && !(mods & Qt::ShiftModifier)) {
        InsertVariable();
        return true;
      }
      if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && mods == Qt::ControlModifier) {
        accept();
        return true;
      }
      if (k->key() == Qt::Key_Escape) {
        reject();
        return true;
      }
      if (k->key() == Qt::Key_F && mods == Qt::ControlModifier && !Button5->isHidden()) {
        EditObjectFormat();
        return true;
      }
    }
  }
  return TPropEditor::eventFilter(o, e);
}

void TfrEditorForm::done(int result) {
  // A changed text whose expressions do not close is refused, kept for mending.
  if (result == Accepted && View && M1->toPlainText() != joinLines(View->Memo)) {
    if (const QString error = frExpressionTextError(M1->toPlainText(), false); !error.isEmpty()) {
      if (report::frErrorBox) report::frErrorBox(error);
      M1->setFocus();
      return;
    }
  }
  if (result == Accepted && View) {
    beforeChange();
    // Only real line breaks count. A memo whose text is as shown keeps its lines: one empty
    // line and none show alike.
    M1->setLineWrapMode(QPlainTextEdit::NoWrap);
    if (editedText(M1) != joinLines(View->Memo)) View->Memo = splitLines(editedText(M1));
    if (editedText(M2) != joinLines(View->Script)) View->Script = splitLines(editedText(M2));
  }
  TPropEditor::done(result);
}

// ---------------------------------------------------------------- wiring

namespace {

// The tool works on whichever designer is the engine's at the click.
void insertFieldsTool() {
  auto *form = qobject_cast<TfrDesignerForm *>(report::frReportDesigner);
  if (!form) return;
  TfrInsertFieldsForm dlg(form);
  TfrInsertFieldsChoice choice;
  if (dlg.exec() == QDialog::Accepted && dlg.Choice(choice)) form->InsertDBFields(choice);
}

}  // namespace

void installTextEditors(TfrDesignerForm &form) {
  auto *editor = new TfrEditorForm(&form);
  form.EditMemo = [editor](report::TfrView &view) {
    editor->View = &view;
    const bool ok = editor->ShowEditor() == QDialog::Accepted;
    editor->View = nullptr;
    return ok;
  };
  for (int i = 0; i < form.InspForm->Count(); ++i)
    if (form.InspForm->RowName(i) == QLatin1String("Memo")) form.InspForm->SetEditor(i, editor);
  // The tool table lives as long as the program; a designer made again finds it there.
  if (!form.FirstInstance) return;
  const QString caption = frLoadStr(55305);
  for (const report::TfrToolInfo &t : report::frTools())
    if (t.Caption == caption) return;
  report::RegisterDesignerTool(caption, report::frGlyph(QStringLiteral("insertfields")), insertFieldsTool);
}

}  // namespace designer
