// A list layout built from a new report through the designer's tools and
// dialogs only (page options, bands with their types, data source and group
// condition, inserted fields with headers, a text typed in the editor, a
// display format and a highlight), saved with the designer's Save, loaded into
// a fresh report and built over a query of an embedded database.
#include "designer/FR_Desgn.h"
#include "designer_fixture.h"
#include "dialog_steps.h"
#include "report/core/FR_Class_Build.h"
#include "report/data/FR_DBSet.h"
#include "report/expr/FR_Values.h"
#include "report/output/FR_Class_EMFPages.h"
#include "report/output/FR_Prntr_Fake.h"
#include "support/db_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QListWidget>

#include <algorithm>
#include <tuple>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

// A printed text object: its page, place, text and the font style it printed with.
struct Printed {
  int page, x, y;
  QString text;
  int style;
};

class EndToEnd : public DesignerTest {
 protected:
  static void SetUpTestSuite() { database = std::make_unique<TestDatabase>(); }
  static void TearDownTestSuite() { database.reset(); }

  void SetUp() override {
    DesignerTest::SetUp();
    form->EditMemo = textEditor;
    backend.printers = {TfrFakePrinterBackend::standardPrinter("Laser")};
    prn.SetPrinter(&backend);
    frPrinter = &prn;
    owner.setObjectName("Form1");
    query = database->query().release();
    query->setParent(&owner);
    query->setObjectName("Query1");
    query->sql().setText(
        "SELECT CAST('Eszak' AS VARCHAR(10)) AS CSOPORT, CAST('Kovács' AS VARCHAR(20)) AS NEV, "
        "CAST(1234.5 AS NUMERIC(10, 2)) AS SULY FROM RDB$DATABASE UNION ALL "
        "SELECT 'Eszak', 'Nagy', 250 FROM RDB$DATABASE UNION ALL "
        "SELECT 'Del', 'Szabó', 75.25 FROM RDB$DATABASE");
    query->open();
    auto *source = new TfrDBDataSet(&owner);
    source->setObjectName("frDBDataSet1");
    source->SetDataSet(query);
    frSetReportOwner(&owner);
  }
  void TearDown() override {
    frSetReportOwner(nullptr);
    for (QObject *o : owner.children()) delete o;
    frPrinter = nullptr;
    DesignerTest::TearDown();
  }

  // Runs open, which shows the dialogs the steps act on, one after another.
  void Run(const std::function<void()> &open, std::vector<ModalScript::Step> steps) {
    ModalScript script;
    for (auto &s : steps) script.then(std::move(s));
    EXPECT_TRUE(script.run(open));
  }
  // A band drawn across the page from y1 to y2 with the band tool; the band
  // type dialog takes the type, then the band's own dialog (if any) its step.
  void DrawBand(int y1, int y2, int type, const std::vector<ModalScript::Step> &after = {}) {
    std::vector<ModalScript::Step> steps{[type](QWidget *w) {
      EXPECT_EQ(w->objectName(), "frBandTypesForm");
      setChecked(w, QStringLiteral("RB%1").arg(type + 1), true);
      click(w, "Button1");
    }};
    steps.insert(steps.end(), after.begin(), after.end());
    form->OB3->click();
    ASSERT_EQ(form->Tool(), toolBand);
    Run([&] { Drag({0, y1}, {form->PageView->width(), y2}); }, steps);
  }
  // The memo the designer shows with this text.
  TfrView *WithText(const QString &text) {
    for (const auto &v : P().Objects)
      if (v->Typ == gtMemo && v->Memo == QStringList{text}) return v.get();
    ADD_FAILURE() << "no object reads " << text.toStdString();
    return nullptr;
  }
  static QPoint Centre(const TfrView *v) { return {v->x + v->dx / 2, v->y + v->dy / 2}; }

  static std::unique_ptr<TestDatabase> database;
  TfrFakePrinterBackend backend;
  TfrPrinter prn;
  QObject owner;
  db::Query *query = nullptr;
};

std::unique_ptr<TestDatabase> EndToEnd::database;

// The printed text objects of every prepared page, in page and reading order.
std::vector<Printed> built(TfrReport &r) {
  std::vector<Printed> out;
  EXPECT_TRUE(r.PrepareReport());
  for (int p = 0; p < r.EMFPages->Count(); ++p)
    for (const auto &v : TfrEMFPages::ReadObjects(r.EMFPages->GetPageRec(p)->Stream)) {
      auto *m = dynamic_cast<TfrMemoView *>(v.get());
      if (!m) continue;
      out.push_back({p, v->x, v->y, v->Memo1.join('|').section(QChar(1), 0, 0), int(m->Font.Style)});
    }
  std::stable_sort(out.begin(), out.end(), [](const Printed &a, const Printed &b) {
    return std::tie(a.page, a.y, a.x) < std::tie(b.page, b.y, b.x);
  });
  return out;
}

}  // namespace

TEST_F(EndToEnd, AListLayoutMadeInTheDesignerIsSavedAndBuiltWithItsGroupsFormatAndHighlight) {
  Show();
  // A new report, then its page: portrait with 10 mm margins.
  form->FileBtn1->click();
  ASSERT_EQ(report->Pages.Count(), 1);
  ASSERT_EQ(P().Count(), 0);
  Run([&] { form->PgB3->click(); }, {[](QWidget *w) {
        EXPECT_EQ(w->objectName(), "frPgoptForm");
        setChecked(w, "RB1", true);
        setChecked(w, "CB5", false);
        for (const char *margin : {"E3", "E4", "E5", "E6"}) setText(w, margin, "10");
        click(w, "Button1");
      }});
  EXPECT_EQ(P().pgOr, 0);
  EXPECT_TRUE(P().UseMargins);
  const int top = P().pgMargins.Top;
  EXPECT_GT(top, 30);
  EXPECT_EQ(P().pgMargins.Left, top);

  // Two fields of the query side by side, each with its header above it.
  QAction *insertFields = nullptr;
  for (QAction *a : form->MastMenu->actions())
    if (a->text() == "Insert DB fields") insertFields = a;
  ASSERT_NE(insertFields, nullptr);
  Run([&] { insertFields->trigger(); }, {[](QWidget *w) {
        setText(w, "DatasetCB", "Query1");
        auto *list = child<QListWidget>(w, "FieldsL");
        ASSERT_EQ(list->count(), 3);
        list->item(1)->setSelected(true);
        list->item(2)->setSelected(true);
        setChecked(w, "HorzRB", true);
        setChecked(w, "HeaderCB", true);
        setChecked(w, "BandCB", false);
        click(w, "Button1");
      }});
  TfrView *nameHeader = WithText("NEV"), *amountHeader = WithText("SULY");
  TfrView *name = WithText("[Query1.\"NEV\"]"), *amount = WithText("[Query1.\"SULY\"]");
  ASSERT_TRUE(nameHeader && amountHeader && name && amount);
  EXPECT_EQ(nameHeader->y, top);
  EXPECT_GT(name->y, nameHeader->y + nameHeader->dy + 40);

  // The bands around them: the headers' page header, the rows' master data on
  // the query's source, and between them a group header on the group field
  // picked from the field list.
  DrawBand(top - 8, top + nameHeader->dy + 4, btPageHeader);
  DrawBand(name->y - 4, name->y + name->dy + 4, btMasterData, {[](QWidget *w) {
             EXPECT_EQ(w->objectName(), "frBandEditorForm");
             setText(w, "CB1", "frDBDataSet1");
             click(w, "Button1");
           }});
  const int groupTop = top + nameHeader->dy + 12, groupBottom = name->y - 12;
  DrawBand(groupTop, groupBottom, btGroupHeader,
           {[](QWidget *w) {
              EXPECT_EQ(w->objectName(), "frGroupEditorForm");
              click(w, "SB1");
            },
            [](QWidget *w) {
              setText(w, "ValCombo", "Query1");
              auto *list = child<QListWidget>(w, "ValList");
              list->setCurrentRow(0);  // CSOPORT
              QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
              QCoreApplication::sendEvent(list, &enter);
            },
            [](QWidget *w) {
              EXPECT_EQ(textOf(w, "Edit1"), "Query1.\"CSOPORT\"");
              click(w, "Button1");
            }});
  TfrView *pageHeader = P().FindObject("PageHeader1");
  TfrView *master = P().FindObject("MasterData1");
  TfrView *group = P().FindObject("GroupHeader1");
  ASSERT_TRUE(pageHeader && master && group);
  // A page header prints on the first page only with its flag, set from the
  // band's popup menu.
  const QPoint beside(form->PageView->width() - 40, pageHeader->y + pageHeader->dy / 2);
  Mouse(QEvent::MouseButtonPress, beside, Qt::RightButton);
  Mouse(QEvent::MouseButtonRelease, beside, Qt::RightButton);
  QAction *firstPage = nullptr;
  for (QAction *a : form->Popup1->actions())
    if (a->text() == "On first page") firstPage = a;
  ASSERT_NE(firstPage, nullptr);
  firstPage->trigger();
  form->Popup1->hide();
  EXPECT_TRUE(pageHeader->Flags & flBandOnFirstPage);
  EXPECT_EQ(master->FormatStr, "frDBDataSet1");
  EXPECT_EQ(group->FormatStr, "Query1.\"CSOPORT\"");

  // The group's caption typed in the text editor after inserting a text object.
  form->OB2->click();
  Run(
      [&] {
        Click({name->x + 4, groupTop + 4});
      },
      {[](QWidget *w) {
        EXPECT_EQ(w->objectName(), "frEditorForm");
        setText(w, "M1", "Csoport: [Query1.\"CSOPORT\"]");
        click(w, "Button1");
      }});
  TfrView *caption = WithText("Csoport: [Query1.\"CSOPORT\"]");
  ASSERT_NE(caption, nullptr);
  EXPECT_GE(caption->y, group->y);
  EXPECT_LE(caption->y + caption->dy, group->y + group->dy);

  // The amount: two decimals after a comma through the editor's Format button,
  // then bold above 1000 through the highlight button.
  Click(Centre(amount));
  ASSERT_EQ(form->Selection(), std::vector<TfrView *>{amount});
  Run([&] { form->N36->trigger(); }, {[](QWidget *w) { click(w, "Button5"); },
                                      [](QWidget *w) {
                                        EXPECT_EQ(w->objectName(), "frFmtForm");
                                        chooseEntry(child<QComboBox>(w, "ComboBox1"), fcNumber);
                                        chooseEntry(child<QComboBox>(w, "ComboBox2"), 1);  // "1234,50"
                                        typeText(child<QLineEdit>(w, "Edit3"), "2");
                                        typeText(child<QLineEdit>(w, "SplEdit"), ",");
                                        click(w, "Button1");
                                      },
                                      [](QWidget *w) {
                                        EXPECT_EQ(w->objectName(), "frEditorForm");
                                        click(w, "Button1");
                                      }});
  EXPECT_EQ(amount->Format, frMakeFormat(fcNumber, 1, 2, ','));
  Run([&] { form->HlB1->click(); }, {[](QWidget *w) {
        EXPECT_EQ(w->objectName(), "frHilightForm");
        setText(w, "Edit1", "[Query1.\"SULY\"] > 1000");
        setChecked(w, "CB1", true);
        click(w, "Button1");
      }});
  EXPECT_EQ(static_cast<TfrMemoView *>(amount)->HighlightStr, "[Query1.\"SULY\"] > 1000");

  // Save names the untitled report.
  const QString file = tmp.file("lista");
  Run([&] { form->FileBtn3->click(); }, {[&](QWidget *w) {
        auto *d = qobject_cast<QFileDialog *>(w);
        ASSERT_NE(d, nullptr);
        d->selectFile(file);
        QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
      }});
  ASSERT_TRUE(QFile::exists(file + ".frf"));
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

  // Built from the file by a report of its own.
  TfrReport back;
  ASSERT_TRUE(back.LoadFromFile(file + ".frf"));
  const std::vector<Printed> printed = built(back);
  QStringList texts;
  for (const Printed &p : printed) texts << p.text;
  EXPECT_EQ(texts, (QStringList{"NEV", "SULY", "Csoport: Eszak", "Kovács", "1234,50", "Nagy", "250,00",
                                "Csoport: Del", "Szabó", "75,25"}));
  // Each value prints in its header's column, the rows downwards.
  auto at = [&](const QString &text) {
    for (const Printed &p : printed)
      if (p.text == text) return QPoint(p.x, p.y);
    return QPoint(-1, -1);
  };
  for (const char *row : {"Kovács", "Nagy", "Szabó"}) EXPECT_EQ(at(row).x(), at("NEV").x()) << row;
  for (const char *row : {"1234,50", "250,00", "75,25"}) EXPECT_EQ(at(row).x(), at("SULY").x()) << row;
  EXPECT_LT(at("Kovács").y(), at("Nagy").y());
  EXPECT_LT(at("Nagy").y(), at("Szabó").y());
  for (const Printed &p : printed) {
    EXPECT_EQ(p.page, 0) << p.text.toStdString();
    const bool bold = p.text == "1234,50" || p.text == "NEV" || p.text == "SULY";
    EXPECT_EQ((p.style & fsBold) != 0, bold) << p.text.toStdString();
  }
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}
