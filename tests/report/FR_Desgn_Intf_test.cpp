// The engine's designer interface: the tool table, EditPreparedReport without
// a designer, and the design pages, designer and page restored when the edit
// fails part-way.
#include "layout_builder.h"

#include "report/ui/FR_Desgn_Intf.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace report;
using namespace report::test;

namespace {

class RecordingDesigner : public TfrReportDesigner {
 public:
  void RegisterObject(const QImage &, const QString &, int) override {}
  void RegisterTool(const QString &caption, const QImage &, const std::function<void()> &) override {
    tools << caption;
  }
  void BeforeChange() override {}
  void AfterChange() override {}
  void RedrawPage() override { ++redraws; }
  int exec() override {
    if (failInExec) throw std::runtime_error("edit failed");
    return Accepted;
  }
  QStringList tools;
  int redraws = 0;
  static inline bool failInExec = false;
};

class DesignerInterface : public ::testing::Test {
 protected:
  // A report of a title with one text, and a second page when asked, built.
  void Prepare(TfrReport &r, bool secondPage) {
    LayoutBuilder l;
    l.Band(btReportTitle, 0, 40);
    l.Memo(0, 0, 100, 20, {"Egy"});
    if (secondPage) {
      l.AddPage();
      l.Memo(0, 0, 100, 20, {"Ketto"});
    }
    l.LoadInto(r);
    r.ShowProgress = false;
    ASSERT_TRUE(r.PrepareReport());
  }
  void TearDown() override {
    frReportDesigner = nullptr;
    frRegisterDesignerClass(nullptr);
    frClearTools();
    RecordingDesigner::failInExec = false;
  }
};

}  // namespace

TEST_F(DesignerInterface, ToolsAreTabledAndHandedToADesignerThatExists) {
  EXPECT_TRUE(RegisterDesignerTool("Egy", QImage(), [] {}));
  RecordingDesigner d;
  frReportDesigner = &d;
  EXPECT_TRUE(RegisterDesignerTool("Ketto", QImage(), [] {}));
  EXPECT_EQ(d.tools, QStringList({"Ketto"}));  // the first came while none existed
  ASSERT_EQ(frTools().size(), 2u);
  EXPECT_EQ(frTools()[0].Caption, "Egy");
  for (int i = 2; i < frMaxTools; ++i) EXPECT_TRUE(RegisterDesignerTool("T", QImage(), [] {}));
  EXPECT_FALSE(RegisterDesignerTool("33", QImage(), [] {}));
  EXPECT_EQ(static_cast<int>(frTools().size()), frMaxTools);
}

TEST_F(DesignerInterface, WithoutADesignerEditPreparedReportDoesNothing) {
  TfrReport r;
  Prepare(r, false);
  const QByteArray design = r.SaveToBytes();
  const QByteArray page = r.EMFPages->GetPageRec(0)->Stream;
  r.EditPreparedReport(0);
  EXPECT_EQ(r.SaveToBytes(), design);
  EXPECT_EQ(r.EMFPages->GetPageRec(0)->Stream, page);
}

TEST_F(DesignerInterface, AFailedEditRestoresDesignDesignerNameAndPage) {
  TfrReport r;
  Prepare(r, true);
  const QByteArray design = r.SaveToBytes();
  const QByteArray page = r.EMFPages->GetPageRec(0)->Stream;
  TfrPage *first = r.Pages[0];

  RecordingDesigner main;
  main.setObjectName("frDesignerForm");
  frReportDesigner = &main;
  frRegisterDesignerClass([] { return new RecordingDesigner; });
  RecordingDesigner::failInExec = true;
  EXPECT_THROW(r.EditPreparedReport(0), std::runtime_error);
  EXPECT_EQ(frReportDesigner, &main);
  EXPECT_EQ(main.objectName(), "frDesignerForm");
  EXPECT_EQ(r.Pages.Count(), 2);
  EXPECT_EQ(r.Pages[0], first);
  EXPECT_EQ(main.Page, first);
  EXPECT_EQ(main.redraws, 1);
  EXPECT_EQ(r.SaveToBytes(), design);
  EXPECT_EQ(r.EMFPages->GetPageRec(0)->Stream, page);
  // A page index that does not exist does nothing.
  RecordingDesigner::failInExec = false;
  r.EditPreparedReport(7);
  EXPECT_EQ(r.SaveToBytes(), design);
  // An unmodified edit asks nothing and keeps the page.
  r.EditPreparedReport(0);
  EXPECT_EQ(r.EMFPages->GetPageRec(0)->Stream, page);
  EXPECT_EQ(main.redraws, 2);
}
