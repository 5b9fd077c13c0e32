// The field and variable pickers and the insert-fields dialog over real
// queries of an embedded database: the lists they offer, what they return,
// what they remember for the next opening, the designer's "Insert DB fields"
// tool, and their layout.
#include "designer/FR_Flds.h"
#include "designer/FR_Edit.h"
#include "designer/FR_IFlds.h"
#include "designer/FR_Var.h"
#include "designer_fixture.h"
#include "report/data/FR_DBSet.h"
#include "report/expr/FR_Intrp.h"
#include "report/output/FR_Draw.h"
#include "support/db_fixture.h"
#include "support/layout_check.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

class PickerTest : public DesignerTest {
 protected:
  static void SetUpTestSuite() { database = std::make_unique<TestDatabase>(); }
  static void TearDownTestSuite() { database.reset(); }

  void SetUp() override {
    DesignerTest::SetUp();
    owner.setObjectName("Form1");
    q1 = addQuery("Query1", "SELECT 1 AS N, 'egy' AS NEV FROM RDB$DATABASE");
    q2 = addQuery("Adatok", "SELECT 2 AS KOD FROM RDB$DATABASE");
    source = new TfrDBDataSet(&owner);
    source->setObjectName("frDBDataSet1");
    source->SetDataSet(q1);
    frSetReportOwner(&owner);
  }
  void TearDown() override {
    frSetReportOwner(nullptr);
    for (QObject *o : owner.children()) delete o;
    DesignerTest::TearDown();
  }
  db::Query *addQuery(const QString &name, const QString &sql) {
    db::Query *q = database->query().release();
    q->setParent(&owner);
    q->setObjectName(name);
    q->sql().setText(sql);
    q->open();
    return q;
  }
  static void Enter(QWidget *w) {
    QKeyEvent e(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
  }
  static QStringList Items(QComboBox *c) {
    QStringList l;
    for (int i = 0; i < c->count(); ++i) l << c->itemText(i);
    return l;
  }
  static QStringList Items(QListWidget *w) {
    QStringList l;
    for (int i = 0; i < w->count(); ++i) l << w->item(i)->text();
    return l;
  }
  // Runs a picker with one step; its modal result.
  template <class Form>
  int Pick(Form &dlg, const std::function<void(QWidget *)> &step) {
    ModalScript script;
    script.then(step);
    int result = -1;
    EXPECT_TRUE(script.run([&] { result = dlg.exec(); }));
    return result;
  }

  static std::unique_ptr<TestDatabase> database;
  QObject owner;
  db::Query *q1 = nullptr, *q2 = nullptr;
  TfrDBDataSet *source = nullptr;
};

std::unique_ptr<TestDatabase> PickerTest::database;

TEST_F(PickerTest, FieldPickerReturnsAQuotedFieldAndReopensOnTheLastDataSet) {
  TfrFieldsForm dlg;
  QStringList sets, fields;
  int result = Pick(dlg, [&](QWidget *w) {
    auto *combo = child<QComboBox>(w, "ValCombo");
    sets = Items(combo);
    combo->setCurrentIndex(combo->findText("Query1"));
    auto *list = child<QListWidget>(w, "ValList");
    fields = Items(list);
    list->setCurrentRow(1);
    Enter(list);
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(sets, (QStringList{"Adatok", "Query1"}));
  EXPECT_EQ(fields, (QStringList{"N", "NEV"}));
  EXPECT_EQ(dlg.DBField, "Query1.\"NEV\"");

  // Another report loaded: the same data set comes back; Cancel gives no name.
  TfrReport other;
  frCurrentReport = &other;
  QString current;
  QStringList shown;
  result = Pick(dlg, [&](QWidget *w) {
    current = child<QComboBox>(w, "ValCombo")->currentText();
    shown = Items(child<QListWidget>(w, "ValList"));
    child<QListWidget>(w, "ValList")->setCurrentRow(0);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(child<QListWidget>(w, "ValList"), &esc);
  });
  frCurrentReport = report.get();
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_EQ(current, "Query1");
  EXPECT_EQ(shown, (QStringList{"N", "NEV"}));
  EXPECT_EQ(dlg.DBField, "");

  // A name that no longer exists: the first data set.
  q1->setObjectName("Lekerdezes");
  result = Pick(dlg, [&](QWidget *w) {
    current = child<QComboBox>(w, "ValCombo")->currentText();
    auto *list = child<QListWidget>(w, "ValList");
    list->setCurrentRow(0);
    Enter(list);
  });
  EXPECT_EQ(current, "Adatok");
  EXPECT_EQ(dlg.DBField, "Adatok.\"KOD\"");
}

TEST_F(PickerTest, VariablesPickerOffersCategoriesBuiltInsAndGlobalNames) {
  report->Variables = QStringList{"Jegy", " Összeg", " Adó", "Termelő", " Név"};
  frVariables->SetVariable("SORSZAM", Variant(1));
  TfrVarForm dlg;
  QStringList cats, vars, builtIns, globals;
  int result = Pick(dlg, [&](QWidget *w) {
    auto *combo = child<QComboBox>(w, "ValCombo");
    cats = Items(combo);
    auto *list = child<QListWidget>(w, "ValList");
    combo->setCurrentIndex(1);
    vars = Items(list);
    combo->setCurrentIndex(3);
    globals = Items(list);
    combo->setCurrentIndex(2);
    builtIns = Items(list);
    list->setCurrentRow(0);  // "Page#"
    Enter(list);
  });
  EXPECT_EQ(result, QDialog::Accepted);
  EXPECT_EQ(cats, (QStringList{"Jegy", "Termelő", "Other", "Global variables"}));
  EXPECT_EQ(vars, QStringList{"Név"});
  EXPECT_TRUE(globals.contains("SORSZAM"));
  EXPECT_EQ(builtIns, (QStringList{"Page#", "Date", "Time", "Line#", "Line through#", "Column#",
                                   "Current line#", "TotalPages"}));
  EXPECT_EQ(dlg.SelectedItem, "PAGE#");

  // "Other" is kept; each entry gives the engine's name, none chosen the first.
  QString current;
  const QStringList expected{"PAGE#",        "DATE",    "TIME",     "LINE#",
                             "LINETHROUGH#", "COLUMN#", "CURRENT#", "TOTALPAGES"};
  for (int row = 0; row < 8; ++row) {
    Pick(dlg, [&](QWidget *w) {
      current = child<QComboBox>(w, "ValCombo")->currentText();
      auto *list = child<QListWidget>(w, "ValList");
      list->setCurrentRow(row);
      Enter(list);
    });
    EXPECT_EQ(current, "Other");
    EXPECT_EQ(dlg.SelectedItem, expected[row]);
  }
  Pick(dlg, [&](QWidget *w) {
    auto *list = child<QListWidget>(w, "ValList");
    list->clearSelection();
    QMetaObject::invokeMethod(w, "accept", Qt::QueuedConnection);
  });
  EXPECT_EQ(dlg.SelectedItem, "PAGE#");

  // A report variable by its name; Cancel gives none.
  Pick(dlg, [&](QWidget *w) {
    child<QComboBox>(w, "ValCombo")->setCurrentIndex(0);
    auto *list = child<QListWidget>(w, "ValList");
    list->setCurrentRow(1);
    Enter(list);
  });
  EXPECT_EQ(dlg.SelectedItem, "Adó");
  result = Pick(dlg, [&](QWidget *w) {
    current = child<QComboBox>(w, "ValCombo")->currentText();
    child<QListWidget>(w, "ValList")->setCurrentRow(0);
    QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
  });
  EXPECT_EQ(current, "Jegy");
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_EQ(dlg.SelectedItem, "");
  frVariables->Delete(frVariables->IndexOf("SORSZAM"));
}

TEST_F(PickerTest, TheEditorInsertsAPickedFieldAndNothingOnCancel) {
  form->EditMemo = textEditor;
  Show();
  TfrMemoView *m = Memo(10, 10, 100, 20, "Memo1");
  m->Memo = QStringList{"Mennyiség: "};
  SelectOnly({m});
  ModalScript script;
  QString afterCancel;
  script.then([&](QWidget *w) {
    auto *m1 = child<QPlainTextEdit>(w, "M1");
    m1->moveCursor(QTextCursor::End);
    click(w, "Button4");
  });
  script.then([&](QWidget *w) { QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection); });
  script.then([&](QWidget *w) {
    afterCancel = child<QPlainTextEdit>(w, "M1")->toPlainText();
    click(w, "Button4");
  });
  script.then([&](QWidget *w) {
    auto *combo = child<QComboBox>(w, "ValCombo");
    combo->setCurrentIndex(combo->findText("Query1"));
    auto *list = child<QListWidget>(w, "ValList");
    list->setCurrentRow(0);
    Enter(list);
  });
  script.then([&](QWidget *w) { click(w, "Button1"); });
  EXPECT_TRUE(script.run([&] { form->ShowObjectEditor(); }));
  EXPECT_EQ(afterCancel, "Mennyiség: ");
  EXPECT_EQ(m->Memo, QStringList{"Mennyiség: [Query1.\"N\"]"});
}

TEST_F(PickerTest, InsertFieldsToolPlacesTheChosenFieldsWithTheirBand) {
  Show();
  QAction *tool = nullptr;
  for (QAction *a : form->MastMenu->actions())
    if (a->text() == "Insert DB fields") tool = a;
  ASSERT_NE(tool, nullptr);
  EXPECT_TRUE(form->Panel6->isVisible());

  // Cancel, and OK without a chosen field, change nothing.
  const QByteArray before = report->SaveToBytes();
  const int steps = form->UndoCount();
  ModalScript cancel;
  cancel.then([&](QWidget *w) {
    child<QListWidget>(w, "FieldsL")->selectAll();
    click(w, "Button2");
  });
  EXPECT_TRUE(cancel.run([&] { tool->trigger(); }));
  ModalScript empty;
  empty.then([&](QWidget *w) { click(w, "Button1"); });
  EXPECT_TRUE(empty.run([&] { tool->trigger(); }));
  EXPECT_EQ(report->SaveToBytes(), before);
  EXPECT_EQ(form->UndoCount(), steps);

  QStringList sets, fields;
  QString first;
  ModalScript ok;
  ok.then([&](QWidget *w) {
    auto *combo = child<QComboBox>(w, "DatasetCB");
    sets = Items(combo);
    first = combo->currentText();
    combo->setCurrentIndex(combo->findText("Query1"));
    auto *list = child<QListWidget>(w, "FieldsL");
    fields = Items(list);
    list->item(1)->setSelected(true);
    setChecked(w, "VertRB", true);
    setChecked(w, "BandCB", true);
    click(w, "Button1");
  });
  EXPECT_TRUE(ok.run([&] { tool->trigger(); }));
  EXPECT_EQ(sets, (QStringList{"Adatok", "Query1"}));
  EXPECT_EQ(first, "Adatok");
  EXPECT_EQ(fields, (QStringList{"N", "NEV"}));
  EXPECT_EQ(form->UndoCount(), steps + 1);
  ASSERT_NE(P().FindObject("Memo1"), nullptr);
  EXPECT_EQ(P().FindObject("Memo1")->Memo, QStringList{"[Query1.\"NEV\"]"});
  EXPECT_EQ(P().FindObject("Memo2"), nullptr);
  ASSERT_NE(P().FindObject("MasterData1"), nullptr);
  EXPECT_EQ(P().FindObject("MasterData1")->FormatStr, "frDBDataSet1");
}

// Each inserted data object prints its field's value on one line in its font.
TEST_F(PickerTest, InsertedFieldsPrintTheirValuesOnOneLine) {
  Show();
  db::Query *q = addQuery("Szamok", "SELECT CAST('2025-12-31' AS DATE) D, -2147483647 S, "
                                    "CAST('88888888' AS VARCHAR(8)) J FROM RDB$DATABASE");
  ModalScript ok;
  ok.then([&](QWidget *w) {
    setText(w, "DatasetCB", "Szamok");
    child<QListWidget>(w, "FieldsL")->selectAll();
    setChecked(w, "VertRB", true);
    click(w, "Button1");
  });
  ASSERT_TRUE(ok.run([&] { form->MastMenu->actions().front()->trigger(); }));
  for (int i = 0; i < q->fieldCount(); ++i) {
    auto *m = static_cast<TfrMemoView *>(P().Object(i));
    m->Memo = QStringList{frFormatValue(frFieldValue(q->field(i)), m->Format, m->FormatStr)};
    EXPECT_TRUE(frMemoTextFit(*m).fits()) << m->Memo[0].toStdString();
  }
}

TEST_F(PickerTest, DataSourceNamesFollowTheirContainer) {
  EXPECT_EQ(frDataSourceOf(q1), "frDBDataSet1");
  EXPECT_EQ(frDataSourceOf(q2), "");
  QObject module;
  module.setObjectName("DataModule1");
  auto *other = new TfrDBDataSet(&module);
  other->setObjectName("frDBDataSet2");
  other->SetDataSet(q2);
  auto *empty = new TfrDBDataSet(&module);  // reads no dataset
  empty->setObjectName("frDBDataSet0");
  frRegisterGlobalComponent(&module);
  EXPECT_EQ(frDataSourceOf(q2), "DataModule1.frDBDataSet2");
  frUnregisterGlobalComponent(&module);
}

TEST_F(PickerTest, PickersAreLaidOutUncut) {
  TfrFieldsForm fields;
  TfrVarForm vars;
  TfrInsertFieldsForm insert;
  report->Variables = QStringList{"Jegy", " Összeg"};
  for (QDialog *dlg : std::initializer_list<QDialog *>{&fields, &vars, &insert}) {
    QStringList problems;
    Pick(*dlg, [&](QWidget *w) {
      problems = layoutProblems(w);
      QDir().mkpath(QDir::temp().filePath("vorik-grabs"));
      w->grab().save(QDir::temp().filePath("vorik-grabs/") + w->objectName() + ".png");
      QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
    });
    EXPECT_TRUE(problems.isEmpty()) << dlg->objectName().toStdString() << ": "
                                    << problems.join("\n").toStdString();
  }
  EXPECT_EQ(fields.windowTitle(), "Insert DB field");
  EXPECT_EQ(vars.windowTitle(), "Variables");
  EXPECT_EQ(insert.windowTitle(), "Insert fields");
  EXPECT_EQ(insert.HeaderCB->text(), "&Include headers");
}

}  // namespace
