// The page options dialog and its transfer: the size edits only for the
// custom paper, unused margins greyed with their values kept, the column
// count's floor, OK without changes keeping every exact value, bad input
// refused with the field focused and nothing written, the printer's papers.
#include "designer_fixture.h"
#include "dialog_steps.h"

#include "designer/FR_pgopt.h"
#include "report/output/FR_Prntr.h"
#include "report/output/FR_Prntr_Fake.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QTabWidget>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

class PgoptTest : public DesignerTest {
 protected:
  // Runs the dialog on page 0 with one step; true when it ended with OK.
  bool Edit(const std::function<void(TfrPgoptForm *)> &step) {
    bool ok = false;
    ModalScript script;
    script.then([&](QWidget *w) {
      auto *dlg = qobject_cast<TfrPgoptForm *>(w);
      ASSERT_NE(dlg, nullptr);
      step(dlg);
    });
    EXPECT_TRUE(script.run([&] { ok = EditPageOptions(form.get(), P()); }));
    return ok;
  }
  static int IndexOfCode(TfrPgoptForm *dlg, int code) {
    for (int i = 0; i < dlg->ComB1->count(); ++i)
      if (dlg->PaperCode(i) == code) return i;
    return -1;
  }
};

TEST_F(PgoptTest, CustomPaperEnablesTheSizeAndA4DisablesIt) {
  Show();
  P().pgSize = 9;
  Edit([&](TfrPgoptForm *dlg) {
    EXPECT_EQ(dlg->PaperCode(dlg->ComB1->currentIndex()), 9);
    EXPECT_FALSE(dlg->E1->isEnabled());
    EXPECT_FALSE(dlg->Label2->isEnabled());
    expectLaidOut(dlg);
    dlg->ComB1->setCurrentIndex(IndexOfCode(dlg, frCustomPaper));
    for (QWidget *w : std::initializer_list<QWidget *>{dlg->E1, dlg->E2, dlg->Label1, dlg->Label2})
      EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_EQ(dlg->E1->text(), "210");  // the page's size to start from
    dlg->ComB1->setCurrentIndex(IndexOfCode(dlg, 9));
    EXPECT_FALSE(dlg->E1->isEnabled());
    EXPECT_FALSE(dlg->E2->isEnabled());
    // The orientation picture follows the radio buttons.
    dlg->RB2->setChecked(true);
    EXPECT_TRUE(dlg->imgLandScape->isVisible());
    EXPECT_FALSE(dlg->imgPortrait->isVisible());
    dlg->RB1->setChecked(true);
    EXPECT_TRUE(dlg->imgPortrait->isVisible());
    click(dlg, "Button2");
  });
}

TEST_F(PgoptTest, DontUseGreysTheMarginsAndUncheckingRestoresTheirValues) {
  Show();
  P().UseMargins = true;
  P().pgMargins = {36, 72, 108, 144};
  Edit([&](TfrPgoptForm *dlg) {
    dlg->PageControl1->setCurrentWidget(dlg->TabSheet2);
    QLineEdit *margins[] = {dlg->E3, dlg->E4, dlg->E5, dlg->E6};
    const QStringList values{"10", "20", "30", "40"};
    EXPECT_FALSE(dlg->CB5->isChecked());
    dlg->CB5->setChecked(true);
    for (QLineEdit *e : margins) EXPECT_FALSE(e->isEnabled());
    for (QWidget *l :
         std::initializer_list<QWidget *>{dlg->Label3, dlg->Label4, dlg->Label5, dlg->Label6, dlg->GroupBox4})
      EXPECT_FALSE(l->isEnabled()) << l->objectName().toStdString();
    dlg->CB5->setChecked(false);
    for (int i = 0; i < 4; ++i) {
      EXPECT_TRUE(margins[i]->isEnabled());
      EXPECT_EQ(margins[i]->text(), values[i]);
    }
    dlg->CB5->setChecked(true);
    click(dlg, "Button1");
  });
  EXPECT_FALSE(P().UseMargins);
  EXPECT_EQ(P().pgMargins, (TfrMargins{36, 72, 108, 144}));
}

TEST_F(PgoptTest, TheColumnCountGoesDownToZeroAndNoFurther) {
  Show();
  EXPECT_TRUE(Edit([&](TfrPgoptForm *dlg) {
    EXPECT_EQ(dlg->Edit1->text(), "1");
    dlg->SB2->click();
    EXPECT_EQ(dlg->Edit1->text(), "0");
    dlg->SB2->click();
    EXPECT_EQ(dlg->Edit1->text(), "0");
    dlg->SB1->click();
    dlg->SB1->click();
    dlg->SB1->click();
    EXPECT_EQ(dlg->Edit1->text(), "3");
    click(dlg, "Button1");
  }));
  EXPECT_EQ(P().ColCount, 3);
}

TEST_F(PgoptTest, OkWithoutChangesKeepsEveryExactValue) {
  Show();
  TfrPage &p = P();
  p.pgSize = frCustomPaper;
  p.pgWidth = 2105;
  p.pgHeight = 1487;
  p.UseMargins = true;
  p.pgMargins = {40, 40, 41, 43};
  p.ColCount = 2;
  p.ColGap = 40;
  const QByteArray before = report->SaveToBytes();
  EXPECT_TRUE(Edit([](TfrPgoptForm *dlg) {
    EXPECT_EQ(dlg->E3->text(), "11");  // 40 pixels show as 11 mm, which is 39 pixels
    click(dlg, "Button1");
  }));
  EXPECT_EQ(p.pgMargins, (TfrMargins{40, 40, 41, 43}));
  EXPECT_EQ(p.ColGap, 40);
  EXPECT_EQ(p.pgWidth, 2105);
  EXPECT_EQ(p.pgHeight, 1487);
  EXPECT_EQ(report->SaveToBytes(), before);

  // A changed field is written, the others keep their values.
  EXPECT_TRUE(Edit([](TfrPgoptForm *dlg) {
    dlg->E4->setText("20");
    dlg->E1->setText("100");
    dlg->RB2->setChecked(true);
    click(dlg, "Button1");
  }));
  EXPECT_EQ(p.pgMargins, (TfrMargins{40, 72, 41, 43}));
  EXPECT_EQ(p.pgWidth, 1000);
  EXPECT_EQ(p.pgHeight, 1487);
  EXPECT_EQ(p.pgOr, 1);

  // Cancel after changes leaves the page as it was.
  const QByteArray edited = report->SaveToBytes();
  EXPECT_FALSE(Edit([](TfrPgoptForm *dlg) {
    dlg->E3->setText("50");
    dlg->CB1->setChecked(true);
    dlg->Edit1->setText("4");
    click(dlg, "Button2");
  }));
  EXPECT_EQ(report->SaveToBytes(), edited);
}

TEST_F(PgoptTest, ANonNumericFieldRefusesOkFocusedAndNothingIsWritten) {
  Show();
  TfrPage &p = P();
  p.UseMargins = true;
  p.pgMargins = {40, 40, 40, 40};
  const QByteArray before = report->SaveToBytes();
  EXPECT_FALSE(Edit([&](TfrPgoptForm *dlg) {
    dlg->Edit1->setText("3");  // a good change that must not be taken either
    dlg->E5->setText("abc");
    dlg->accept();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->PageControl1->currentWidget(), dlg->TabSheet2);
    EXPECT_EQ(dlg->focusWidget(), dlg->E5);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("Right, mm")) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains("abc"));
    // Out of range and negative are refused alike.
    dlg->E5->setText("10");
    dlg->E7->setText("-5");
    dlg->accept();
    EXPECT_EQ(dlg->focusWidget(), dlg->E7);
    EXPECT_EQ(dlg->PageControl1->currentWidget(), dlg->TabSheet3);
    dlg->E7->setText("0");
    dlg->Edit1->setText("300");
    dlg->accept();
    EXPECT_EQ(dlg->focusWidget(), dlg->Edit1);
    EXPECT_EQ(errors.size(), 3);
    click(dlg, "Button2");
  }));
  EXPECT_EQ(report->SaveToBytes(), before);
  // A bad value in a greyed field is not in effect and does not stop OK.
  EXPECT_TRUE(Edit([](TfrPgoptForm *dlg) {
    dlg->E1->setText("x");  // A4: the size edits are greyed
    dlg->E3->setText("y");
    dlg->CB5->setChecked(true);
    dlg->accept();
  }));
  EXPECT_FALSE(p.UseMargins);
  EXPECT_EQ(p.pgWidth, 2100);
  EXPECT_EQ(p.pgMargins, (TfrMargins{40, 40, 40, 40}));
}

TEST_F(PgoptTest, ThePapersAreThePrintersAndAnotherPaperTakesItsSize) {
  TfrFakePrinterBackend backend;
  backend.printers.push_back(TfrFakePrinterBackend::standardPrinter("Laser"));
  frCreatePrinter(&backend);
  Show();
  P().pgSize = 1;  // Letter
  EXPECT_TRUE(Edit([&](TfrPgoptForm *dlg) {
    QStringList names;
    for (int i = 0; i < dlg->ComB1->count(); ++i) names << dlg->ComB1->itemText(i);
    EXPECT_EQ(names, frPrinter->PaperNames.mid(0, frPrinter->PaperCount) << "Custom");
    EXPECT_EQ(dlg->ComB1->currentText(), "Letter");
    dlg->ComB1->setCurrentIndex(IndexOfCode(dlg, 8));  // A3
    click(dlg, "Button1");
  }));
  frFreePrinter();
  EXPECT_EQ(P().pgSize, 8);
  EXPECT_EQ(P().pgWidth, 2970);
  EXPECT_EQ(P().pgHeight, 4200);
}

// A printer whose list has no custom size: "Custom" is offered last, and a
// page of its own size opens on it with its size, typed over and kept on OK.
TEST_F(PgoptTest, APrinterWithoutCustomSizeStillOffersItForAPageOfItsOwnSize) {
  TfrFakePrinterBackend backend;
  backend.printers.push_back(TfrFakePrinterBackend::standardPrinter("Laser"));
  frCreatePrinter(&backend);
  Show();
  P().pgSize = frCustomPaper;
  P().pgWidth = 1230;
  P().pgHeight = 2340;
  QString shown, width, height;
  bool editable = false;
  EXPECT_TRUE(Edit([&](TfrPgoptForm *dlg) {
    shown = dlg->ComB1->currentText();
    width = dlg->E1->text();
    height = dlg->E2->text();
    editable = dlg->E1->isEnabled() && dlg->E2->isEnabled();
    QTest::keyClick(dlg->E1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(dlg->E1, "150");
    QTest::keyClick(dlg->E1, Qt::Key_Return);
  }));
  frFreePrinter();
  EXPECT_EQ(shown, "Custom");
  EXPECT_EQ(width, "123");
  EXPECT_EQ(height, "234");
  EXPECT_TRUE(editable);
  EXPECT_EQ(P().pgSize, frCustomPaper);
  EXPECT_EQ(P().pgWidth, 1500);
  EXPECT_EQ(P().pgHeight, 2340);
}

TEST_F(PgoptTest, TheDesignerCommandsOpenItAndMarkTheReportOnOk) {
  Show();
  ModalScript cancel;
  cancel.then([](QWidget *dlg) { click(dlg, "Button2"); });
  EXPECT_TRUE(cancel.run([&] { form->PgB3->click(); }));
  EXPECT_FALSE(form->FileModified);
  // A double click on an empty place of the page.
  ModalScript ok;
  ok.then([](QWidget *dlg) {
    setText(dlg, "Edit1", "2");
    click(dlg, "Button1");
  });
  EXPECT_TRUE(ok.run([&] {
    Mouse(QEvent::MouseButtonDblClick, QPoint(300, 300));
    Mouse(QEvent::MouseButtonRelease, QPoint(300, 300));
  }));
  EXPECT_EQ(P().ColCount, 2);
  EXPECT_TRUE(form->FileModified);
}

}  // namespace
