// The data source dialog of data bands: virtual sources, unknown names,
// "[None]" stored as text, the record count, the undo step, and Cancel of
// every band and variables dialog leaving the layout byte for byte.
#include "band_editor_fixture.h"

#include "designer/FR_BndEd.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

TEST_F(BandEditorTest, DataSourceShowsAVirtualCountAndStoresTheChoiceAsOneStep) {
  Show();
  TfrBandView *b = Band(btMasterData, 100, 40, "MasterData1");
  b->FormatStr = "5";
  QStringList items;
  Edit(b, [&](QWidget *w) {
    auto *cb = child<QComboBox>(w, "CB1");
    for (int i = 0; i < cb->count(); ++i) items << cb->itemText(i);
    EXPECT_EQ(textOf(w, "CB1"), "Virtual Dataset");
    EXPECT_EQ(textOf(w, "E1"), "5");
    EXPECT_TRUE(child<QLineEdit>(w, "E1")->isEnabled());
    setText(w, "CB1", "Orders");
    EXPECT_FALSE(child<QLineEdit>(w, "E1")->isEnabled());
    EXPECT_FALSE(child<QLabel>(w, "Label2")->isEnabled());
    click(w, "Button1");
  });
  EXPECT_EQ(items, QStringList({"[None]", "Virtual Dataset", "Customers", "Orders"}));
  EXPECT_EQ(b->FormatStr, "Orders");
  EXPECT_EQ(form->UndoCount(), 1);
  EXPECT_TRUE(form->FileModified);
  form->Undo();
  EXPECT_EQ(static_cast<TfrBandView *>(P().FindObject("MasterData1"))->FormatStr, "5");
}

TEST_F(BandEditorTest, DataSourceNamesNoneAsTextAndUnknownNamesAsNone) {
  Show();
  TfrBandView *b = Band(btDetailData, 100, 40, "DetailData1");
  // A name in another case is the same component.
  b->FormatStr = "customers";
  Edit(b, [&](QWidget *w) {
    EXPECT_EQ(textOf(w, "CB1"), "Customers");
    EXPECT_EQ(textOf(w, "E1"), "");
    setText(w, "CB1", "[None]");
    click(w, "Button1");
  });
  EXPECT_EQ(b->FormatStr, "[None]");
  // "[None]" names no source: it shows as "[None]" again, as does a name
  // no component has.
  for (const QString &stored : {QString("[None]"), QString("Gone"), QString()}) {
    b->FormatStr = stored;
    Edit(b, [&](QWidget *w) {
      EXPECT_EQ(textOf(w, "CB1"), "[None]") << stored.toStdString();
      click(w, "Button2");
    });
    EXPECT_EQ(b->FormatStr, stored);
  }
}

TEST_F(BandEditorTest, VirtualSourceNeedsAValidRecordCount) {
  Show();
  TfrBandView *b = Band(btMasterData, 100, 40, "MasterData1");
  b->FormatStr = "Customers";
  bool emptyRefused = false, zeroRefused = false, badStoredRefused = false;
  Edit(b, [&](QWidget *w) {
    setText(w, "CB1", "Virtual Dataset");
    auto *ok = child<QPushButton>(w, "Button1");
    emptyRefused = !ok->isEnabled();
    setText(w, "E1", "0");
    zeroRefused = !ok->isEnabled();
    setText(w, "E1", "12");
    EXPECT_TRUE(ok->isEnabled());
    click(w, "Button1");
  });
  EXPECT_TRUE(emptyRefused);
  EXPECT_TRUE(zeroRefused);
  EXPECT_EQ(b->FormatStr, "12");
  // A stored text that only begins with a digit is shown, not stored back.
  b->FormatStr = "5x";
  Edit(b, [&](QWidget *w) {
    EXPECT_EQ(textOf(w, "E1"), "5x");
    badStoredRefused = !child<QPushButton>(w, "Button1")->isEnabled();
    click(w, "Button2");
  });
  EXPECT_TRUE(badStoredRefused);
  EXPECT_EQ(b->FormatStr, "5x");
  EXPECT_EQ(form->UndoCount(), 1);
}

TEST_F(BandEditorTest, CancelInEveryDialogLeavesTheLayoutByteForByte) {
  Show();
  TfrBandView *data = Band(btMasterData, 0, 40, "MasterData1");
  data->FormatStr = "Customers";
  TfrBandView *group = Band(btGroupHeader, 40, 20, "GroupHeader1");
  group->FormatStr = "[Customers.\"City\"]";
  TfrBandView *cross = Band(btCrossData, 0, 300, "CrossData1");
  cross->x = 400, cross->dx = 40;
  cross->FormatStr = "CrossData1=Orders;";
  report->Variables = QStringList{"Prices", " Price"};
  report->Values.SetName(report->Values.AddValue(), "Price");
  const QByteArray before = report->SaveToBytes();

  Edit(data, [](QWidget *w) {
    setText(w, "CB1", "Virtual Dataset");
    setText(w, "E1", "3");
    click(w, "Button2");
  });
  Edit(group, [](QWidget *w) {
    setText(w, "Edit1", "other");
    click(w, "Button2");
  });
  Edit(cross, [](QWidget *w) {
    setText(w, "CB1", "Customers");
    click(w, "Button2");
  });
  Dialog([&] { form->EditVariables(); },
         [](QWidget *w) {
           setText(w, "ValCombo", "Other");
           child<QListWidget>(w, "ValList")->setCurrentRow(3);
           click(w, "Button2");
         });
  form->SetTool(toolBand);
  Dialog([&] { Click({3, 400}); }, [](QWidget *w) { click(w, "Button2"); });

  EXPECT_EQ(report->SaveToBytes(), before);
  EXPECT_EQ(form->UndoCount(), 0);
  EXPECT_EQ(P().Count(), 3);
  EXPECT_FALSE(form->FileModified);
}

TEST_F(BandEditorTest, DataSourceDialogFitsItsTexts) {
  TfrBandView *b = Band(btMasterData, 0, 40, "MasterData1");
  TfrBandEditorForm dlg(form.get());
  QStringList problems;
  Dialog([&] { dlg.ShowEditor(*b, form.get()); },
         [&](QWidget *w) {
           EXPECT_EQ(w, &dlg);
           EXPECT_EQ(w->objectName(), "frBandEditorForm");
           EXPECT_EQ(w->windowTitle(), "Band data source");
           EXPECT_EQ(textOf(w, "Label1"), "&Data source");
           EXPECT_EQ(textOf(w, "Label2"), "&Record count");
           problems = Layout(w, "frBandEditorForm");
           click(w, "Button2");
         });
  EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}
