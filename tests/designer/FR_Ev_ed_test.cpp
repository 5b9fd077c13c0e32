// The variables editor and the variables list: bindings shown and made for
// each kind of source, Cancel restoring both lists, the variables list
// removing and adding bindings, copy and paste through the clipboard.
#include "band_editor_fixture.h"

#include "designer/FR_Ev_ed.h"
#include "designer/FR_Vared.h"
#include "report/expr/FR_Intrp.h"
#include "support/db_fixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

QStringList items(QComboBox *c) {
  QStringList l;
  for (int i = 0; i < c->count(); ++i) l << c->itemText(i);
  return l;
}
QStringList items(QListWidget *list) {
  QStringList l;
  for (int i = 0; i < list->count(); ++i) l << list->item(i)->text();
  return l;
}
QString current(QWidget *w, const QString &list) {
  const QListWidgetItem *i = child<QListWidget>(w, list)->currentItem();
  return i ? i->text() : QString();
}
// Chooses an entry of a list as a click does.
void choose(QWidget *w, const QString &list, const QString &text) {
  auto *l = child<QListWidget>(w, list);
  const auto found = l->findItems(text, Qt::MatchExactly);
  ASSERT_FALSE(found.isEmpty()) << text.toStdString();
  l->setCurrentItem(found.front());
}

class VariablesTest : public BandEditorTest {
 protected:
  void SetUp() override {
    BandEditorTest::SetUp();
    q = db.query().release();
    q->setParent(&owner);
    q->setObjectName("Query1");
    q->sql().setText("SELECT 1 AS ID, 'x' AS CITY FROM RDB$DATABASE");
    q->open();
    savedGlobals = frVariables;
    frVariables = &globals;
    globals.SetVariable("v_nev", Variant(QString("Kovács")));
    ClearValuesClipboard();
    report->Variables = QStringList{"Customer", " Name", " Town", "Page", " Number"};
  }
  void TearDown() override {
    frVariables = savedGlobals;
    ClearValuesClipboard();
    delete q;  // before the database goes
    BandEditorTest::TearDown();
  }
  const TfrValue *Value(const QString &name) { return report->Values.FindVariable(name); }
  QByteArray Values() {
    TfrStream s;
    report->Values.WriteBinaryData(s);
    return s.Data();
  }
  bool Editor(const std::function<void(QWidget *)> &step) {
    bool ok = false;
    Dialog([&] { ok = ShowEvEditor(*report, form.get()); }, step);
    return ok;
  }

  TestDatabase db;
  db::Query *q = nullptr;
  TfrVariables globals, *savedGlobals = nullptr;
};

}  // namespace

TEST_F(VariablesTest, BindingsOfEachKindAreMadeAndShownAgain) {
  QStringList categories, variables, sources, fields, builtIns, globalsListed;
  const bool ok = Editor([&](QWidget *w) {
    categories = items(child<QComboBox>(w, "VarCombo"));
    variables = items(child<QListWidget>(w, "VarList"));
    sources = items(child<QComboBox>(w, "ValCombo"));
    // Name: a field of the query.
    choose(w, "VarList", "Name");
    setText(w, "ValCombo", "Query1");
    fields = items(child<QListWidget>(w, "ValList"));
    choose(w, "ValList", "CITY");
    // Town: the built-in expression with its text.
    choose(w, "VarList", "Town");
    setText(w, "ValCombo", "Other");
    builtIns = items(child<QListWidget>(w, "ValList"));
    choose(w, "ValList", "Expression");
    EXPECT_TRUE(child<QLineEdit>(w, "Edit1")->isEnabled());
    setText(w, "Edit1", "[Name] + 1");
    // Number: a global variable, then the page number.
    setText(w, "VarCombo", "Page");
    choose(w, "VarList", "Number");
    setText(w, "ValCombo", "Global variables");
    globalsListed = items(child<QListWidget>(w, "ValList"));
    choose(w, "ValList", "v_nev");
    click(w, "Button1");
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(categories, QStringList({"Customer", "Page"}));
  EXPECT_EQ(variables, QStringList({"Name", "Town"}));
  EXPECT_EQ(sources, QStringList({"Query1", "Other", "Global variables"}));
  EXPECT_EQ(fields, QStringList({"[None]", "ID", "CITY"}));
  EXPECT_EQ(builtIns, QStringList({"[None]", "Page#", "Expression", "Date", "Time", "Line#", "Line through#",
                                   "Column#", "Current line#", "TotalPages"}));
  EXPECT_EQ(globalsListed, QStringList({"[None]", "v_nev"}));
  ASSERT_TRUE(Value("Name") && Value("Town") && Value("Number"));
  EXPECT_EQ(Value("Name")->Typ, vtDBField);
  EXPECT_EQ(Value("Name")->DataSet, "Query1");
  EXPECT_EQ(Value("Name")->Field, "CITY");
  EXPECT_EQ(Value("Town")->Typ, vtOther);
  EXPECT_EQ(Value("Town")->OtherKind, 1);
  EXPECT_EQ(Value("Town")->Field, "[Name] + 1");
  EXPECT_EQ(Value("Number")->Typ, vtFRVar);
  EXPECT_EQ(Value("Number")->Field, "v_nev");

  // Shown again; Number to the page number, Town to nothing.
  Editor([&](QWidget *w) {
    EXPECT_EQ(textOf(w, "ValCombo"), "Query1");  // the first variable, Name
    EXPECT_EQ(current(w, "ValList"), "CITY");
    choose(w, "VarList", "Town");
    EXPECT_EQ(textOf(w, "ValCombo"), "Other");
    EXPECT_EQ(current(w, "ValList"), "Expression");
    EXPECT_EQ(textOf(w, "Edit1"), "[Name] + 1");
    choose(w, "ValList", "[None]");
    EXPECT_FALSE(child<QLineEdit>(w, "Edit1")->isEnabled());
    setText(w, "VarCombo", "Page");
    EXPECT_EQ(textOf(w, "ValCombo"), "Global variables");
    EXPECT_EQ(current(w, "ValList"), "v_nev");
    setText(w, "ValCombo", "Other");
    choose(w, "ValList", "Page#");
    click(w, "Button1");
  });
  EXPECT_EQ(Value("Town")->Typ, vtNotAssigned);
  EXPECT_EQ(Value("Number")->Typ, vtOther);
  EXPECT_EQ(Value("Number")->OtherKind, 0);
  EXPECT_EQ(Value("Name")->Field, "CITY");
}

TEST_F(VariablesTest, CancelAfterBindingLeavesValuesAndVariablesAsTheyWere) {
  report->Values.SetName(report->Values.AddValue(), "Name");
  // A text longer than the layout's short strings comes back whole.
  report->Values.SetName(report->Values.AddValue(), "Number");
  report->Values.FindVariable("Number")->Typ = vtFRVar;
  report->Values.FindVariable("Number")->Field = QString(300, 'x');
  const QByteArray values = Values();
  const QStringList variables = report->Variables;
  const QByteArray layout = report->SaveToBytes();
  const bool ok = Editor([&](QWidget *w) {
    choose(w, "VarList", "Name");
    setText(w, "ValCombo", "Query1");
    choose(w, "ValList", "ID");
    choose(w, "VarList", "Town");
    setText(w, "ValCombo", "Other");
    choose(w, "ValList", "Date");
    click(w, "Button2");
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(Values(), values);
  EXPECT_EQ(report->Values.Name(0), "Number");
  EXPECT_EQ(Value("Number")->Field, QString(300, 'x'));
  EXPECT_EQ(report->Variables, variables);
  EXPECT_EQ(report->SaveToBytes(), layout);
  // Closing the window is no OK either.
  Editor([&](QWidget *w) {
    choose(w, "VarList", "Name");
    setText(w, "ValCombo", "Query1");
    choose(w, "ValList", "ID");
    closeWindow(w);
  });
  EXPECT_EQ(Values(), values);
}

TEST_F(VariablesTest, TheVariablesListRemovesAndAddsBindings) {
  for (const char *name : {"Name", "Town", "Number"}) {
    report->Values.SetName(report->Values.AddValue(), name);
    report->Values.FindVariable(name)->Typ = vtOther;
  }
  QStringList shownVariables;
  bool ok = false;
  ModalScript script;
  script.then([&](QWidget *w) {
    EXPECT_EQ(textOf(w, "Button3"), "Va&riables...");
    click(w, "Button3");
  });
  script.then([&](QWidget *list) {
    EXPECT_EQ(list->objectName(), "frVaredForm");
    EXPECT_EQ(textOf(list, "Memo1"), "Customer\n Name\n Town\nPage\n Number");
    // Town's line deleted, Street added, an empty line left.
    setText(list, "Memo1", "Customer\n Name\n Street\n\nPage\n Number\n");
    click(list, "Button1");
  });
  script.then([&](QWidget *w) {
    shownVariables = items(child<QListWidget>(w, "VarList"));
    click(w, "Button1");
  });
  EXPECT_TRUE(script.run([&] { ok = ShowEvEditor(*report, form.get()); }));
  EXPECT_TRUE(ok);
  EXPECT_EQ(shownVariables, QStringList({"Name", "Street"}));
  EXPECT_EQ(report->Variables, QStringList({"Customer", " Name", " Street", "Page", " Number"}));
  EXPECT_EQ(Value("Town"), nullptr);
  ASSERT_NE(Value("Street"), nullptr);
  EXPECT_EQ(Value("Street")->Typ, vtNotAssigned);
  EXPECT_EQ(Value("Name")->Typ, vtOther);
  EXPECT_EQ(report->Values.Count(), 3);
}

TEST_F(VariablesTest, PasteWithoutCopyEmptiesBothListsAndCopyPasteRestores) {
  report->Values.SetName(report->Values.AddValue(), "Name");
  // Nothing copied in this process: the button is greyed; the paste itself
  // leaves both lists empty.
  bool pasteEnabled = true;
  Editor([&](QWidget *w) {
    pasteEnabled = child<QToolButton>(w, "SB2")->isEnabled();
    click(w, "Button2");
  });
  EXPECT_FALSE(pasteEnabled);
  PasteValues(*report);
  EXPECT_TRUE(report->Variables.isEmpty());
  EXPECT_EQ(report->Values.Count(), 0);

  // Copy, change, paste: the copied lists come back, in the dialog too.
  report->Variables = QStringList{"Customer", " Name"};
  report->Values.SetName(report->Values.AddValue(), "Name");
  report->Values.FindVariable("Name")->Typ = vtOther;
  const QByteArray values = Values();
  QStringList afterPaste;
  Editor([&](QWidget *w) {
    child<QToolButton>(w, "SB1")->click();
    EXPECT_TRUE(child<QToolButton>(w, "SB2")->isEnabled());
    setText(w, "ValCombo", "Other");
    choose(w, "ValList", "Date");
    report->Variables = QStringList{"Other"};
    child<QToolButton>(w, "SB2")->click();
    afterPaste = items(child<QComboBox>(w, "VarCombo"));
    click(w, "Button1");
  });
  EXPECT_EQ(afterPaste, QStringList({"Customer"}));
  EXPECT_EQ(report->Variables, QStringList({"Customer", " Name"}));
  EXPECT_EQ(Values(), values);
  // The clipboard outlives the dialog.
  EXPECT_TRUE(ValuesClipboardFilled());
}

TEST_F(VariablesTest, VariablesDialogsFitTheirTexts) {
  QStringList editorProblems, listProblems;
  Editor([&](QWidget *w) {
    EXPECT_EQ(w->objectName(), "frEvForm");
    EXPECT_EQ(w->windowTitle(), "Variables editor");
    EXPECT_EQ(textOf(w, "Label1"), "&Variable");
    EXPECT_EQ(textOf(w, "Label2"), "Va&lue");
    EXPECT_EQ(textOf(w, "Label3"), "&Expression");
    EXPECT_EQ(child<QToolButton>(w, "SB1")->toolTip(), "Copy variables");
    EXPECT_EQ(child<QToolButton>(w, "SB2")->toolTip(), "Paste variables");
    editorProblems = Layout(w, "frEvForm");
    click(w, "Button2");
  });
  TfrVaredForm list(form.get());
  Dialog([&] { list.ShowEditor(*report); },
         [&](QWidget *w) {
           EXPECT_EQ(w->windowTitle(), "Variables list");
           EXPECT_EQ(textOf(w, "Label1"), "&Categories and variables");
           listProblems = Layout(w, "frVaredForm");
           click(w, "Button2");
         });
  EXPECT_TRUE(editorProblems.isEmpty()) << editorProblems.join('\n').toStdString();
  EXPECT_TRUE(listProblems.isEmpty()) << listProblems.join('\n').toStdString();
}
