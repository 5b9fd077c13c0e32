// The report options dialog: the printer list with "Default printer" last,
// the switches taken on OK, the printer changed, and nothing on Cancel. The
// about box of the same family.
#include "designer_fixture.h"
#include "dialog_steps.h"

#include "designer/FR_About.h"
#include "designer/FR_Dopt.h"
#include "report/output/FR_Prntr.h"
#include "report/output/FR_Prntr_Fake.h"

#include <QCheckBox>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

class DoptTest : public DesignerTest {
 protected:
  void TearDown() override {
    frFreePrinter();
    DesignerTest::TearDown();
  }
  QStringList Entries(TfrDocOptForm *dlg) {
    QStringList names;
    for (int i = 0; i < dlg->ComB1->count(); ++i) names << dlg->ComB1->itemText(i);
    return names;
  }
  TfrFakePrinterBackend backend;
};

TEST_F(DoptTest, WithNoPrinterInstalledTheListHoldsOnlyDefaultPrinter) {
  frCreatePrinter(&backend);
  Show();
  for (int pass = 0; pass < 2; ++pass) {
    ModalScript script;
    script.then([&](QWidget *w) {
      auto *dlg = qobject_cast<TfrDocOptForm *>(w);
      ASSERT_NE(dlg, nullptr);
      EXPECT_EQ(Entries(dlg), QStringList{"Default printer"});
      EXPECT_EQ(dlg->ComB1->currentIndex(), 0);
      click(dlg, "Button1");
    });
    EXPECT_TRUE(script.run([&] { form->N8->trigger(); }));
    frFreePrinter();  // the second pass without a printer wrapper at all
  }
  EXPECT_TRUE(form->FileModified);  // OK marks the report modified
}

TEST_F(DoptTest, OkTakesTheSwitchesAndThePrinterCancelNothing) {
  backend.printers.push_back(TfrFakePrinterBackend::standardPrinter("Laser"));
  backend.printers.push_back(TfrFakePrinterBackend::standardPrinter("Ink"));
  backend.current = 1;
  frCreatePrinter(&backend);
  Show();
  report->PrintToDefault = true;
  report->DoublePass = false;
  const QByteArray before = report->SaveToBytes();
  ModalScript cancel;
  cancel.then([&](QWidget *w) {
    auto *dlg = qobject_cast<TfrDocOptForm *>(w);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(Entries(dlg), QStringList({"Laser", "Ink", "Default printer"}));
    EXPECT_EQ(dlg->ComB1->currentText(), "Ink");
    EXPECT_FALSE(dlg->CB1->isChecked());
    EXPECT_FALSE(dlg->CB2->isChecked());
    expectLaidOut(dlg);
    dlg->ComB1->setCurrentIndex(0);
    dlg->CB2->setChecked(true);
    click(dlg, "Button2");
  });
  EXPECT_TRUE(cancel.run([&] { form->N8->trigger(); }));
  EXPECT_EQ(report->SaveToBytes(), before);
  EXPECT_EQ(frPrinter->PrinterIndex(), 1);
  EXPECT_FALSE(form->FileModified);

  ModalScript ok;
  ok.then([](QWidget *w) {
    setText(w, "ComB1", "Laser");
    setChecked(w, "CB1", true);
    setChecked(w, "CB2", true);
    click(w, "Button1");
  });
  EXPECT_TRUE(ok.run([&] { form->N8->trigger(); }));
  EXPECT_FALSE(report->PrintToDefault);
  EXPECT_TRUE(report->DoublePass);
  EXPECT_EQ(frPrinter->PrinterIndex(), 0);
  EXPECT_TRUE(form->FileModified);
}

TEST_F(DoptTest, TheAboutBoxClosesWithOkAndChangesNothing) {
  Show();
  const QByteArray before = report->SaveToBytes();
  ModalScript script;
  script.then([](QWidget *w) {
    EXPECT_EQ(w->objectName(), "frAboutForm");
    expectLaidOut(w);
    click(w, "Button1");
  });
  EXPECT_TRUE(script.run([&] { form->N34->trigger(); }));
  EXPECT_EQ(report->SaveToBytes(), before);
  EXPECT_FALSE(form->FileModified);
}

}  // namespace
