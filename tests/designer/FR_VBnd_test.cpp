// The cross band data sources: the list of cross bands, one name for all,
// entries matched without regard to case, the rebuilt text in list order.
#include "band_editor_fixture.h"

#include "designer/FR_VBnd.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

QStringList items(QListWidget *list) {
  QStringList l;
  for (int i = 0; i < list->count(); ++i) l << list->item(i)->text();
  return l;
}

}  // namespace

TEST(CrossSources, SplitAndJoin) {
  const QStringList bands{"CrossData1", "CrossData2"};
  // Without ";" one name for every band.
  EXPECT_EQ(frSplitCrossSources("Orders", bands), QStringList({"Orders", "Orders"}));
  EXPECT_EQ(frSplitCrossSources("", bands), QStringList({"", ""}));
  // Entries by name in any case and order; others and bad entries ignored.
  EXPECT_EQ(frSplitCrossSources("CROSSDATA2=7;junk;Other=1;crossdata1=Orders;", bands),
            QStringList({"Orders", "7"}));
  EXPECT_EQ(frSplitCrossSources("CrossData2=3;", bands), QStringList({"", "3"}));
  EXPECT_EQ(frJoinCrossSources(bands, {"Orders", "7"}), "CrossData1=Orders;CrossData2=7;");
  EXPECT_EQ(frJoinCrossSources({}, {}), "");
}

TEST_F(BandEditorTest, CrossSourcesOneNameForAllThenPerBandInListOrder) {
  Show();
  Band(btMasterData, 0, 40, "MasterData1");
  TfrBandView *c1 = Band(btCrossData, 0, 300, "CrossData1");
  c1->x = 300, c1->dx = 40;
  TfrBandView *h = Band(btCrossHeader, 0, 300, "CrossHeader1");
  h->x = 360, h->dx = 40;
  TfrBandView *c2 = Band(btCrossData, 0, 300, "CrossData2");
  c2->x = 420, c2->dx = 40;
  c1->FormatStr = "Orders";
  QStringList listed, shown;
  Edit(c1, [&](QWidget *w) {
    auto *lb = child<QListWidget>(w, "LB1");
    listed = items(lb);
    for (int i = 0; i < lb->count(); ++i) {
      lb->setCurrentRow(i);
      shown << textOf(w, "CB1");
    }
    // The second cross data band gets a virtual source of 3 records.
    lb->setCurrentRow(2);
    setText(w, "CB1", "Virtual Dataset");
    setText(w, "E1", "3");
    lb->setCurrentRow(0);
    EXPECT_EQ(textOf(w, "CB1"), "Orders");
    lb->setCurrentRow(2);
    EXPECT_EQ(textOf(w, "E1"), "3");
    click(w, "Button1");
  });
  EXPECT_EQ(listed,
            QStringList({"Cross data: CrossData1", "Cross header: CrossHeader1", "Cross data: CrossData2"}));
  EXPECT_EQ(shown, QStringList({"Orders", "Orders", "Orders"}));
  EXPECT_EQ(c1->FormatStr, "CrossData1=Orders;CrossHeader1=Orders;CrossData2=3;");
  EXPECT_EQ(form->UndoCount(), 1);

  // Entries in another case and order come back in list order; a band
  // without an entry, or with an unknown source, gets "[None]".
  c1->FormatStr = "crossdata2=7;CROSSDATA1=customers;CrossHeader1=Gone;";
  Edit(c1, [&](QWidget *w) {
    EXPECT_EQ(textOf(w, "CB1"), "Customers");
    child<QListWidget>(w, "LB1")->setCurrentRow(2);
    EXPECT_EQ(textOf(w, "CB1"), "Virtual Dataset");
    EXPECT_EQ(textOf(w, "E1"), "7");
    click(w, "Button1");
  });
  EXPECT_EQ(c1->FormatStr, "CrossData1=Customers;CrossHeader1=[None];CrossData2=7;");
  form->Undo();
  EXPECT_EQ(static_cast<TfrBandView *>(P().FindObject("CrossData1"))->FormatStr,
            "crossdata2=7;CROSSDATA1=customers;CrossHeader1=Gone;");
}

TEST_F(BandEditorTest, CrossSourcesRefuseAVirtualSourceWithoutCount) {
  Show();
  TfrBandView *c1 = Band(btCrossData, 0, 300, "CrossData1");
  c1->dx = 40;
  c1->FormatStr = "CrossData1=Orders;";
  bool refused = false;
  Edit(c1, [&](QWidget *w) {
    setText(w, "CB1", "Virtual Dataset");
    refused = !child<QPushButton>(w, "Button1")->isEnabled();
    click(w, "Button1");  // disabled: nothing happens
    click(w, "Button2");
  });
  EXPECT_TRUE(refused);
  EXPECT_EQ(c1->FormatStr, "CrossData1=Orders;");
  // A page without cross bands has nothing to store: the text stays.
  TfrBandView *data = Band(btMasterData, 0, 40, "MasterData1");
  data->FormatStr = "Orders";
  report->Pages.Add();
  TfrVBandEditorForm dlg(form.get());
  bool empty = false;
  Dialog([&] { EXPECT_FALSE(dlg.ShowEditor(*data, *report->Pages[1], form.get())); },
         [&](QWidget *w) {
           empty =
               child<QListWidget>(w, "LB1")->count() == 0 && !child<QPushButton>(w, "Button1")->isEnabled();
           click(w, "Button1");
           click(w, "Button2");
         });
  EXPECT_TRUE(empty);
  EXPECT_EQ(data->FormatStr, "Orders");
  EXPECT_EQ(form->UndoCount(), 0);
}

TEST_F(BandEditorTest, CrossSourcesDialogFitsItsTexts) {
  TfrBandView *c1 = Band(btCrossData, 0, 300, "CrossData1");
  TfrVBandEditorForm dlg(form.get());
  QStringList problems;
  Dialog([&] { dlg.ShowEditor(*c1, P(), form.get()); },
         [&](QWidget *w) {
           EXPECT_EQ(w->objectName(), "frVBandEditorForm");
           EXPECT_EQ(w->windowTitle(), "Band data sources");
           EXPECT_EQ(child<QWidget>(w, "GB1")->property("title").toString(), "Bands");
           EXPECT_EQ(child<QWidget>(w, "GB2")->property("title").toString(), "Data source");
           problems = Layout(w, "frVBandEditorForm");
           click(w, "Button2");
         });
  EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}
