// The band type dialog: the types a page may still take, the first enabled
// one checked, the two columns without cut captions, Cancel inserting nothing.
#include "band_editor_fixture.h"

#include "designer/FR_BTyp.h"

#include <QGroupBox>
#include <QRadioButton>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

TEST_F(BandEditorTest, BandTypesGreyOnlyUsedOnceOnlyTypes) {
  Show();
  Band(btPageHeader, 0, 40, "PageHeader1");
  Band(btMasterData, 40, 40, "MasterData1");
  Band(btMasterData, 80, 40, "MasterData2");
  Band(btGroupHeader, 120, 20, "GroupHeader1");
  TfrBandTypesForm dlg(form.get());
  QStringList captions, enabled;
  int checked = -1;
  Dialog([&] { EXPECT_EQ(dlg.ShowEditor([&](int t) { return form->BandTypeExists(t); }), btMasterData); },
         [&](QWidget *w) {
           for (int t = 0; t < btNone; ++t) {
             auto *rb = child<QRadioButton>(w, QString("RB%1").arg(t + 1));
             captions << rb->text();
             if (rb->isEnabled()) enabled << rb->text();
             if (rb->isChecked()) checked = t;
           }
           setChecked(w, "RB6", true);
           click(w, "Button1");
         });
  EXPECT_EQ(captions, QStringList({"Report title",     "Report summary", "Page header",      "Page footer",
                                   "Master header",    "Master data",    "Master footer",    "Detail header",
                                   "Detail data",      "Detail footer",  "Subdetail header", "Subdetail data",
                                   "Subdetail footer", "Overlay",        "Column header",    "Column footer",
                                   "Group header",     "Group footer",   "Cross header",     "Cross data",
                                   "Cross footer"}));
  EXPECT_FALSE(enabled.contains("Page header"));
  EXPECT_TRUE(enabled.contains("Master data"));
  EXPECT_TRUE(enabled.contains("Group header"));
  EXPECT_EQ(enabled.size(), 20);
  EXPECT_EQ(checked, btReportTitle);

  // With title and summary used the first enabled one is the page footer.
  Band(btReportTitle, 200, 20, "ReportTitle1");
  Band(btReportSummary, 220, 20, "ReportSummary1");
  Dialog([&] { EXPECT_EQ(dlg.ShowEditor([&](int t) { return form->BandTypeExists(t); }), -1); },
         [&](QWidget *w) {
           EXPECT_TRUE(child<QRadioButton>(w, "RB4")->isChecked());
           EXPECT_FALSE(child<QRadioButton>(w, "RB1")->isEnabled());
           click(w, "Button2");
         });
}

TEST_F(BandEditorTest, BandTypesStandInTwoColumnsWithoutCutCaptions) {
  TfrBandTypesForm dlg(form.get());
  QStringList problems;
  Dialog([&] { dlg.ShowEditor({}); },
         [&](QWidget *w) {
           EXPECT_EQ(w->objectName(), "frBandTypesForm");
           EXPECT_EQ(w->windowTitle(), "Insert new band");
           EXPECT_EQ(child<QGroupBox>(w, "GB1")->title(), "Band type");
           const QRadioButton *first = child<QRadioButton>(w, "RB1");
           const QRadioButton *second = child<QRadioButton>(w, "RB12");
           EXPECT_EQ(first->pos(), QPoint(8, 20));
           EXPECT_GE(second->x(), 130);
           EXPECT_EQ(second->y(), 20);
           for (int t = 1; t < btNone; ++t) {
             const QRadioButton *rb = child<QRadioButton>(w, QString("RB%1").arg(t + 1));
             const QRadioButton *above = child<QRadioButton>(w, QString("RB%1").arg(t));
             if (t == 11) continue;  // top of the second column
             EXPECT_EQ(rb->x(), above->x()) << t;
             EXPECT_GE(rb->y() - above->y(), 20) << t;
             EXPECT_GE(rb->width(), rb->sizeHint().width()) << t;
           }
           // The second column starts right of the first column's widest caption.
           for (int t = 0; t < 11; ++t)
             EXPECT_LE(child<QRadioButton>(w, QString("RB%1").arg(t + 1))->geometry().right(), second->x())
                 << t;
           problems = Layout(w, "frBandTypesForm");
           click(w, "Button2");
         });
  EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}
