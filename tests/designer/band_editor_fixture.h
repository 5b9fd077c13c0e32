#pragma once
// The designer fixture with data sources in the report owner's components
// and a helper that opens a dialog through a designer command and runs one
// step on it.
#include "designer_fixture.h"

#include "report/data/FR_DSet.h"
#include "support/layout_check.h"

#include <QObject>

namespace designer::test {

class BandEditorTest : public DesignerTest {
 protected:
  void SetUp() override {
    DesignerTest::SetUp();
    owner.setObjectName("Form1");
    for (const char *name : {"Customers", "Orders"}) (new TfrUserDataset(&owner))->setObjectName(name);
    frSetReportOwner(&owner);
  }
  void TearDown() override {
    frSetReportOwner(nullptr);
    DesignerTest::TearDown();
  }
  // Runs open, which shows one dialog, and step on that dialog.
  void Dialog(const std::function<void()> &open, const std::function<void(QWidget *)> &step) {
    vorik::test::ModalScript script;
    script.then(step);
    EXPECT_TRUE(script.run(open));
  }
  // Opens the object editor of this object alone.
  void Edit(TfrView *v, const std::function<void(QWidget *)> &step) {
    SelectOnly({v});
    Dialog([&] { form->ShowObjectEditor(); }, step);
  }
  // The window's layout problems, and a picture of it for a look.
  static QStringList Layout(QWidget *w, const QString &picture) {
    w->grab().save("/tmp/" + picture + ".png");
    return vorik::test::layoutProblems(w);
  }

  QObject owner;
};

}  // namespace designer::test
