// The dialogs built from the shared helpers of FR_Utils_Gui: nothing cut, the
// OK/Cancel row at the bottom right with OK as default.
#include "designer/FR_About.h"
#include "designer/FR_Dopt.h"
#include "designer/FR_DsOpt.h"
#include "designer/FR_GrpEd.h"
#include "designer/FR_IFlds.h"
#include "designer/FR_fmted.h"
#include "designer/FR_pgopt.h"
#include "report/ui/FR_PrDlg.h"
#include "report/ui/FR_Srch.h"
#include "support/layout_check.h"

#include <QDir>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace designer;
using namespace vorik::test;

TEST(DialogLayout, SharedRowsAndColumnsLeaveNothingCut) {
  std::vector<std::unique_ptr<QDialog>> dialogs;
  dialogs.emplace_back(new TfrDocOptForm);
  dialogs.emplace_back(new TfrDesOptionsForm);
  dialogs.emplace_back(new TfrGroupEditorForm);
  dialogs.emplace_back(new TfrInsertFieldsForm);
  dialogs.emplace_back(new TfrFmtForm);
  dialogs.emplace_back(new TfrPgoptForm);
  dialogs.emplace_back(new report::TfrPreviewSearchForm);
  dialogs.emplace_back(new report::TfrPrintForm(12, 3));
  QDir().mkpath(QDir::temp().filePath("vorik-grabs"));
  for (auto &dlg : dialogs) {
    SCOPED_TRACE(dlg->objectName().toStdString());
    dlg->show();
    dlg->grab().save(QDir::temp().filePath("vorik-grabs/") + dlg->objectName() + ".png");
    EXPECT_EQ(layoutProblems(dlg.get()), QStringList());
    auto *ok = dlg->findChild<QPushButton *>(QStringLiteral("Button1"));
    auto *cancel = dlg->findChild<QPushButton *>(QStringLiteral("Button2"));
    ASSERT_TRUE(ok && cancel);
    EXPECT_TRUE(ok->isDefault());
    // Right-aligned in the last row, OK before Cancel.
    EXPECT_LT(ok->geometry().right(), cancel->geometry().left());
    EXPECT_GE(cancel->geometry().right(), dlg->width() - 30);
    EXPECT_GE(ok->geometry().top(), dlg->height() - 60);
    cancel->click();
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_FALSE(dlg->isVisible());
  }

  TfrAboutForm about;
  about.show();
  EXPECT_EQ(layoutProblems(&about), QStringList());
}
