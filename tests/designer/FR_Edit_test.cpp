// The text and script editor: what OK and Cancel do to the object and to the
// undo history, word wrap, the check boxes, inserting a variable through the
// clipboard, the keys, the format hook, the inspector's Memo row and the layout.
#include "designer/FR_Edit.h"
#include "designer/FR_Var.h"
#include "designer_fixture.h"
#include "support/layout_check.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextLayout>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

class TextEditorTest : public DesignerTest {
 protected:
  void SetUp() override {
    DesignerTest::SetUp();
    form->EditMemo = textEditor;
    Show();
    memo = Memo(20, 20, 200, 40, "Memo1");
    memo->Memo = QStringList{"Felvásárlási jegy", "[Date]"};
    SelectOnly({memo});
  }
  TfrEditorForm *Editor() { return form->findChild<TfrEditorForm *>("frEditorForm"); }
  static void Key(QWidget *w, int key, Qt::KeyboardModifiers m = {}) {
    QKeyEvent e(QEvent::KeyPress, key, m);
    QCoreApplication::sendEvent(w, &e);
  }
  // Opens the object editor of the selection, with the steps given.
  void Edit(ModalScript &script) {
    EXPECT_TRUE(script.run([&] { form->ShowObjectEditor(); }));
  }

  TfrMemoView *memo = nullptr;
};

TEST_F(TextEditorTest, OkWithoutChangesIsOneStepAndCancelChangesNothing) {
  const QByteArray before = report->SaveToBytes();
  const int steps = form->UndoCount();
  QString shown, script = "x";
  bool scriptShown = true;
  ModalScript ok;
  ok.then([&](QWidget *w) {
    shown = child<QPlainTextEdit>(w, "M1")->toPlainText();
    script = child<QPlainTextEdit>(w, "M2")->toPlainText();
    scriptShown = child<QWidget>(w, "ScriptPanel")->isVisible();
    click(w, "Button1");
  });
  Edit(ok);
  EXPECT_EQ(shown, "Felvásárlási jegy\n[Date]");
  EXPECT_EQ(script, "");
  EXPECT_FALSE(scriptShown);  // "Script" unchecked
  EXPECT_EQ(form->UndoCount(), steps + 1);
  EXPECT_TRUE(form->FileModified);
  EXPECT_EQ(memo->Memo, (QStringList{"Felvásárlási jegy", "[Date]"}));
  EXPECT_TRUE(memo->Script.isEmpty());
  EXPECT_EQ(report->SaveToBytes(), before);

  // Typed text and a script are dropped by Cancel: no step, nothing changed.
  form->FileModified = false;
  ModalScript cancel;
  cancel.then([&](QWidget *w) {
    setText(w, "M1", "más szöveg");
    setText(w, "M2", "a := 1;");
    click(w, "Button2");
  });
  Edit(cancel);
  EXPECT_EQ(form->UndoCount(), steps + 1);
  EXPECT_FALSE(form->FileModified);
  EXPECT_EQ(report->SaveToBytes(), before);

  // The undo step brings back what OK replaced.
  ModalScript edit;
  edit.then([&](QWidget *w) {
    setText(w, "M1", "Új\n\nsor");
    setText(w, "M2", "if [N] > 0 then Visible := False;");
    click(w, "Button1");
  });
  Edit(edit);
  EXPECT_EQ(memo->Memo, (QStringList{"Új", "", "sor"}));
  EXPECT_EQ(memo->Script, QStringList{"if [N] > 0 then Visible := False;"});
  form->Undo();
  EXPECT_EQ(static_cast<TfrMemoView *>(P().FindObject("Memo1"))->Memo,
            (QStringList{"Felvásárlási jegy", "[Date]"}));
}

TEST_F(TextEditorTest, WithWordWrapOnALongLineStaysOneLine) {
  const QString line = QString("Termelő neve és címe ").repeated(20);
  bool wrapped = false;
  ModalScript script;
  script.then([&](QWidget *w) {
    setChecked(w, "CB3", true);
    auto *m1 = child<QPlainTextEdit>(w, "M1");
    m1->setPlainText(line);
    w->resize(300, 300);
    QCoreApplication::processEvents();
    wrapped = m1->document()->firstBlock().layout()->lineCount() > 1;
    click(w, "Button1");
  });
  Edit(script);
  EXPECT_TRUE(wrapped);
  EXPECT_EQ(memo->Memo, QStringList{line});
  EXPECT_EQ(Editor()->M1->lineWrapMode(), QPlainTextEdit::NoWrap);
  // The box keeps its state and applies it at the next opening.
  ModalScript again;
  QPlainTextEdit::LineWrapMode mode = QPlainTextEdit::NoWrap;
  again.then([&](QWidget *w) {
    mode = child<QPlainTextEdit>(w, "M1")->lineWrapMode();
    click(w, "Button2");
  });
  Edit(again);
  EXPECT_EQ(mode, QPlainTextEdit::WidgetWidth);
  setChecked(Editor(), "CB3", false);
}

TEST_F(TextEditorTest, ScriptAndBigFontBoxes) {
  int small = 0, big = 0, scriptBig = 0;
  bool scriptShown = false;
  ModalScript script;
  script.then([&](QWidget *w) {
    small = child<QPlainTextEdit>(w, "M1")->font().pointSize();
    setChecked(w, "CB1", true);
    setChecked(w, "CB2", true);
    scriptShown = child<QWidget>(w, "ScriptPanel")->isVisible();
    big = child<QPlainTextEdit>(w, "M1")->font().pointSize();
    scriptBig = child<QPlainTextEdit>(w, "M2")->font().pointSize();
    setChecked(w, "CB1", false);
    setChecked(w, "CB2", false);
    click(w, "Button2");
  });
  Edit(script);
  EXPECT_EQ(small, 10);
  EXPECT_TRUE(scriptShown);
  EXPECT_EQ(big, 12);
  EXPECT_EQ(scriptBig, 12);
}

TEST_F(TextEditorTest, InsertingAVariableReplacesTheClipboardAndPastesAtTheCaret) {
  report->Variables = QStringList{"Jegy", " Összeg", " Adó"};
  QApplication::clipboard()->setText("régi tartalom");
  QString text, clip;
  ModalScript script;
  script.then([&](QWidget *w) {
    auto *m1 = child<QPlainTextEdit>(w, "M1");
    QTextCursor c = m1->textCursor();
    c.setPosition(4);
    m1->setTextCursor(c);
    click(w, "Button3");
  });
  script.then([&](QWidget *w) {  // the variables picker
    auto *combo = child<QComboBox>(w, "ValCombo");
    combo->setCurrentIndex(0);  // "Jegy"
    auto *list = child<QListWidget>(w, "ValList");
    list->setCurrentRow(1);
    Key(list, Qt::Key_Return);
  });
  script.then([&](QWidget *w) {  // back in the editor
    text = child<QPlainTextEdit>(w, "M1")->toPlainText();
    clip = QApplication::clipboard()->text();
    click(w, "Button1");
  });
  Edit(script);
  EXPECT_EQ(text, "Felv[Adó]ásárlási jegy\n[Date]");
  EXPECT_EQ(clip, "[Adó]");
  EXPECT_EQ(memo->Memo.constFirst(), "Felv[Adó]ásárlási jegy");
}

// The script pane clicked into and then hidden: "Variable" inserts into the
// text, this time and at the next opening; the script stays empty.
TEST_F(TextEditorTest, AHiddenScriptIsNeverWhereAVariableGoes) {
  report->Variables = QStringList{"Jegy", " Összeg", " Adó"};
  auto pick = [](QWidget *w) {  // the variables picker: the second name of the first category
    child<QComboBox>(w, "ValCombo")->setCurrentIndex(0);
    auto *list = child<QListWidget>(w, "ValList");
    list->setCurrentRow(1);
    Key(list, Qt::Key_Return);
  };
  QString text, scriptText;
  ModalScript first;
  first.then([&](QWidget *w) {
    auto *cb1 = child<QCheckBox>(w, "CB1");
    auto *m2 = child<QPlainTextEdit>(w, "M2");
    const auto clickOn = [w](QWidget *c) {
      QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, c->mapTo(w, c->rect().center()));
    };
    clickOn(cb1);
    ASSERT_TRUE(m2->isVisible());
    clickOn(m2->viewport());
    ASSERT_TRUE(m2->hasFocus());
    clickOn(cb1);
    ASSERT_FALSE(m2->isVisible());
    click(w, "Button3");
  });
  first.then(pick);
  first.then([&](QWidget *w) {
    text = child<QPlainTextEdit>(w, "M1")->toPlainText();
    scriptText = child<QPlainTextEdit>(w, "M2")->toPlainText();
    click(w, "Button1");
  });
  Edit(first);
  EXPECT_EQ(text, "[Adó]Felvásárlási jegy\n[Date]");
  EXPECT_EQ(scriptText, "");
  EXPECT_TRUE(memo->Script.isEmpty());
  ModalScript again;
  again.then([&](QWidget *w) { click(w, "Button3"); });
  again.then(pick);
  again.then([&](QWidget *w) {
    text = child<QPlainTextEdit>(w, "M1")->toPlainText();
    scriptText = child<QPlainTextEdit>(w, "M2")->toPlainText();
    click(w, "Button2");
  });
  Edit(again);
  EXPECT_TRUE(text.startsWith("[Adó]")) << text.toStdString();
  EXPECT_EQ(scriptText, "");
}

TEST_F(TextEditorTest, InsertKeyOpensThePickerAndItsCancelInsertsNothing) {
  QApplication::clipboard()->setText("marad");
  QString text;
  bool pickerSeen = false;
  ModalScript script;
  script.then([&](QWidget *w) {
    auto *m2 = child<QPlainTextEdit>(w, "M2");
    setChecked(w, "CB1", true);
    m2->setFocus();
    QCoreApplication::processEvents();
    QMetaObject::invokeMethod(
        m2, [m2] { Key(m2, Qt::Key_Insert); }, Qt::QueuedConnection);
  });
  script.then([&](QWidget *w) {
    pickerSeen = w->objectName() == "frVarForm";
    Key(child<QListWidget>(w, "ValList"), Qt::Key_Escape);
  });
  script.then([&](QWidget *w) {
    text = child<QPlainTextEdit>(w, "M2")->toPlainText();
    setChecked(w, "CB1", false);
    click(w, "Button2");
  });
  Edit(script);
  EXPECT_TRUE(pickerSeen);
  EXPECT_EQ(text, "");
  EXPECT_EQ(QApplication::clipboard()->text(), "marad");
  EXPECT_TRUE(memo->Script.isEmpty());
}

TEST_F(TextEditorTest, CtrlEnterConfirmsAndEscapeCancels) {
  const int steps = form->UndoCount();
  ModalScript ok;
  ok.then([&](QWidget *w) {
    auto *m1 = child<QPlainTextEdit>(w, "M1");
    m1->setPlainText("Kész");
    Key(m1, Qt::Key_Return, Qt::ControlModifier);
  });
  Edit(ok);
  EXPECT_EQ(memo->Memo, QStringList{"Kész"});
  EXPECT_EQ(form->UndoCount(), steps + 1);
  // A text whose expression does not close: Ctrl+Enter refuses it, the editor stays.
  ModalScript esc;
  esc.then([&](QWidget *w) {
    auto *m1 = child<QPlainTextEdit>(w, "M1");
    QTest::keyClicks(m1, "(Ft): [SUM(]");
    Key(m1, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(w->isVisible() && errors.size() == 1);
    Key(m1, Qt::Key_Escape);
  });
  Edit(esc);
  EXPECT_EQ(memo->Memo, QStringList{"Kész"});
  EXPECT_EQ(form->UndoCount(), steps + 1);
}

TEST_F(TextEditorTest, FormatButtonOnlyForTextObjectsWithTheDialog) {
  TfrEditorForm *ed = Editor();
  ASSERT_NE(ed, nullptr);
  EXPECT_TRUE(ed->EditFormat);  // the window gives it the format dialog
  ed->EditFormat = nullptr;
  bool visible = true;
  ModalScript none;
  none.then([&](QWidget *w) {
    visible = child<QPushButton>(w, "Button5")->isVisible();
    click(w, "Button2");
  });
  Edit(none);
  EXPECT_FALSE(visible);  // no format dialog given

  const quint32 numeric = frMakeFormat(1, 3, 2, ',');
  ed->EditFormat = [&](quint32 &format, QString &text) {
    format = numeric;
    text = "#,##0.00";
    return true;
  };
  const int steps = form->UndoCount();
  ModalScript fmt;
  fmt.then([&](QWidget *w) {
    visible = child<QPushButton>(w, "Button5")->isVisible();
    Key(child<QPlainTextEdit>(w, "M1"), Qt::Key_F, Qt::ControlModifier);
    click(w, "Button2");
  });
  Edit(fmt);
  EXPECT_TRUE(visible);
  // The format is the object's at once, as one step; the editor's Cancel keeps it.
  EXPECT_EQ(memo->Format, numeric);
  EXPECT_EQ(memo->FormatStr, "#,##0.00");
  EXPECT_EQ(form->UndoCount(), steps + 1);

  // Other kinds of object get no format button.
  auto line = std::make_unique<TfrLineView>();
  line->Name = "Line1";
  line->x = 10, line->y = 300, line->dx = 100, line->dy = 0;
  ed->View = line.get();
  ModalScript other;
  other.then([&](QWidget *w) {
    visible = child<QPushButton>(w, "Button5")->isVisible();
    click(w, "Button2");
  });
  EXPECT_TRUE(other.run([&] { ed->ShowEditor(); }));
  EXPECT_FALSE(visible);
  ed->View = nullptr;
  ed->EditFormat = nullptr;
}

TEST_F(TextEditorTest, WithoutAnObjectTheEditorAnswersCancelAtOnce) {
  TfrEditorForm *ed = Editor();
  ASSERT_NE(ed, nullptr);
  ed->View = nullptr;
  EXPECT_EQ(ed->ShowEditor(), QDialog::Rejected);
  EXPECT_FALSE(ed->isVisible());
}

TEST_F(TextEditorTest, InspectorMemoRowOpensTheEditor) {
  TfrInspForm *insp = form->InspForm;
  ASSERT_EQ(insp->RowName(6), "Memo");
  EXPECT_EQ(insp->Row(6).Editor, Editor());
  const int steps = form->UndoCount();
  insp->SetCurItem(6);
  ModalScript script;
  script.then([&](QWidget *w) {
    setText(w, "M1", "A sor");
    click(w, "Button1");
  });
  EXPECT_TRUE(script.run([&] { insp->OpenEditor(); }));
  EXPECT_EQ(memo->Memo, QStringList{"A sor"});
  EXPECT_EQ(form->UndoCount(), steps + 1);
  EXPECT_EQ(form->StatusText->text(), "Memo1: A sor");
}

TEST_F(TextEditorTest, TheEditorIsLaidOutUncutAndKeepsItsMinimumSize) {
  QStringList problems, scriptProblems;
  QSize minimum;
  int cancelRight = 0;
  ModalScript script;
  script.then([&](QWidget *w) {
    problems = layoutProblems(w);
    setChecked(w, "CB1", true);
    QCoreApplication::processEvents();
    scriptProblems = layoutProblems(w);
    minimum = w->minimumSize();
    cancelRight = child<QPushButton>(w, "Button2")->geometry().right();
    const QString dir = QDir::temp().filePath("vorik-grabs");
    QDir().mkpath(dir);
    w->grab().save(dir + "/frEditorForm.png");
    setChecked(w, "CB1", false);
    click(w, "Button2");
  });
  Edit(script);
  EXPECT_TRUE(problems.isEmpty()) << problems.join("\n").toStdString();
  EXPECT_TRUE(scriptProblems.isEmpty()) << scriptProblems.join("\n").toStdString();
  EXPECT_GE(minimum.height(), 200);
  EXPECT_GE(minimum.width(), cancelRight + 12);
}

TEST_F(TextEditorTest, TheInsertFieldsToolIsInTheTableOnceWhateverTheWindowsMade) {
  auto count = [] {
    int n = 0;
    for (const TfrToolInfo &t : frTools()) n += t.Caption == "Insert DB fields";
    return n;
  };
  EXPECT_EQ(count(), 1);
  // A first instance made again takes the tool from the table.
  frReportDesigner = nullptr;
  auto again = std::make_unique<TfrDesignerForm>();
  frReportDesigner = form.get();
  EXPECT_TRUE(again->FirstInstance);
  EXPECT_EQ(count(), 1);
  EXPECT_EQ(again->MastMenu->actions().size(), 1);
  // A later instance has the text editor but no tools.
  auto later = std::make_unique<TfrDesignerForm>();
  EXPECT_FALSE(later->FirstInstance);
  EXPECT_TRUE(later->MastMenu->actions().isEmpty());
  EXPECT_TRUE(static_cast<bool>(later->EditMemo));
  EXPECT_NE(later->findChild<TfrEditorForm *>("frEditorForm"), nullptr);
}

}  // namespace
