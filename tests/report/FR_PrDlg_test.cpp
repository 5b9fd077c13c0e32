// The print and search dialogs: texts from the string table, the copies
// buttons, the printer restored on Cancel, page lists refused with a message.
#include "report_fixture.h"
#include "support/gui_driver.h"

#include "report/core/FR_Class_Build.h"
#include "report/output/FR_Prntr_Fake.h"
#include "report/ui/FR_Ctrls.h"
#include "report/ui/FR_PrDlg.h"
#include "report/ui/FR_Srch.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QAbstractItemView>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

using namespace report;

namespace {

class PrintDialog : public report::test::ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    FakePrinters({"Laser", "Tinta"});
  }
};

TEST_F(PrintDialog, TakesEveryTextFromTheStringTable) {
  TfrPrintForm d(10, 1);
  EXPECT_EQ(d.windowTitle(), "Print");
  EXPECT_EQ(d.GroupBox1->title(), "Printer");
  EXPECT_EQ(d.PropButton->text(), "Properties");
  EXPECT_EQ(d.Label1->text(), "&Copies:");
  EXPECT_EQ(d.GroupBox2->title(), "Page range");
  EXPECT_EQ(d.RB1->text(), "&All");
  EXPECT_EQ(d.RB2->text(), "Current &page");
  EXPECT_EQ(d.RB3->text(), "&Numbers:");
  EXPECT_TRUE(d.Label2->text().startsWith("Enter page numbers"));
  EXPECT_EQ(d.Button1->text(), "OK");
  EXPECT_EQ(d.Button2->text(), "Cancel");
  EXPECT_EQ(d.E1->text(), "1");
  EXPECT_TRUE(d.RB1->isChecked());
  ASSERT_EQ(d.CB1->count(), 3);  // two printers and "Default printer"
  EXPECT_EQ(d.CB1->itemText(2), "Default printer");
  EXPECT_EQ(d.CB1->currentIndex(), prn.PrinterIndex());

  TfrPreviewSearchForm s;
  EXPECT_EQ(s.windowTitle(), "Find text");
  EXPECT_EQ(s.Label1->text(), "Text to &find");
  EXPECT_EQ(s.GroupBox1->title(), "Options");
  EXPECT_EQ(s.CB1->text(), "&Case sensitive");
  EXPECT_EQ(s.GroupBox2->title(), "Origin");
  EXPECT_EQ(s.RB1->text(), "&1st page");
  EXPECT_EQ(s.RB2->text(), "Current &page");
  EXPECT_FALSE(s.CB1->isChecked());
  EXPECT_TRUE(s.RB1->isChecked());
  EXPECT_EQ(s.Button1->text(), "OK");
  EXPECT_EQ(s.Button2->text(), "Cancel");
}

TEST_F(PrintDialog, CopiesStepUpAndDownNeverBelowOneAndATextThatIsNoNumberSaysSo) {
  TfrPrintForm d(10, 1);
  d.frSpeedButton2->click();
  EXPECT_EQ(d.E1->text(), "1");
  d.frSpeedButton1->click();
  d.frSpeedButton1->click();
  EXPECT_EQ(d.E1->text(), "3");
  d.frSpeedButton2->click();
  EXPECT_EQ(d.E1->text(), "2");
  EXPECT_TRUE(errors.isEmpty());
  d.E1->setText("abc");
  d.frSpeedButton1->click();
  EXPECT_EQ(d.E1->text(), "abc");
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].contains("abc")) << errors[0].toStdString();
}

TEST_F(PrintDialog, AnotherPrinterThenCancelRestoresTheFirstAndOkKeepsIt) {
  const int first = prn.PrinterIndex();
  {
    TfrPrintForm d(10, 1);
    emit d.CB1->activated(1 - first);
    EXPECT_EQ(prn.PrinterIndex(), 1 - first);
    EXPECT_EQ(backend.selected(), prn.Printers[1 - first]);
    d.done(QDialog::Rejected);
    EXPECT_EQ(prn.PrinterIndex(), first);
    EXPECT_EQ(backend.selected(), prn.Printers[first]);
  }
  {
    TfrPrintForm d(10, 1);
    emit d.CB1->activated(1 - first);
    d.done(QDialog::Accepted);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(prn.PrinterIndex(), 1 - first);
  }
}

TEST_F(PrintDialog, OpensCentredOnTheScreenNotOnAWindowAtTheScreensEdge) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  QWidget preview;
  preview.setGeometry(screen.right() - 300, screen.top() + 40, 400, 300);
  preview.show();
  TfrPrintForm d(10, 1, &preview);
  d.show();
  QCoreApplication::processEvents();
  const QPoint off = d.frameGeometry().center() - screen.center();
  EXPECT_LE(off.manhattanLength(), 2) << d.frameGeometry().x() << "," << d.frameGeometry().y();
  d.reject();
}

TEST_F(PrintDialog, APrinterThatIsGoneIsRefusedAndTheListShowsTheOneStillSelected) {
  TfrPrintForm d(10, 1);
  const int first = prn.PrinterIndex();
  backend.removePrinter(prn.Printers[1 - first]);
  emit d.CB1->activated(1 - first);
  EXPECT_EQ(prn.PrinterIndex(), first);
  EXPECT_EQ(d.CB1->currentIndex(), first);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors[0], "Printer selected is not valid");
}

TEST_F(PrintDialog, OkRefusesCopiesAndPageListsThatCannotBePrintedAndKeepsTheInput) {
  struct Case {
    const char *copies, *pages, *says;
  };
  for (const Case &c : {Case{"abc", "", "abc"}, Case{"1", "3-1", "backwards"}, Case{"1", "0", "no page 0"},
                        Case{"1", "1,,2", "empty entry"}, Case{"1", "999", "no page 999"},
                        Case{"1", "2-x", "not a valid integer"}, Case{"1", "1-2000000000", "no page 2000000000"}}) {
    errors.clear();
    TfrPrintForm d(50, 7);
    d.show();
    d.E1->setText(c.copies);
    d.RB3->setChecked(true);
    d.E2->setText(c.pages);
    d.done(QDialog::Accepted);
    EXPECT_TRUE(d.isVisible()) << c.pages;
    EXPECT_NE(d.result(), QDialog::Accepted) << c.pages;
    ASSERT_EQ(errors.size(), 1) << c.pages;
    EXPECT_TRUE(errors[0].contains(c.says)) << errors[0].toStdString();
    EXPECT_EQ(d.E2->text(), c.pages);
  }
  // Accepted lists and what the preview gets.
  TfrPrintForm d(50, 7);
  d.E1->setText("0");  // below one prints once
  d.done(QDialog::Accepted);
  EXPECT_EQ(d.Copies(), 1);
  EXPECT_EQ(d.PageNumbers(), "");
  d.RB2->setChecked(true);
  EXPECT_EQ(d.PageNumbers(), "7");
  d.RB3->setChecked(true);
  d.E2->setText(" 1, 3-5 ,50");
  EXPECT_EQ(d.PageNumbers(), " 1, 3-5 ,50");
  QString error;
  EXPECT_TRUE(frCheckPageList(d.E2->text(), 50, error)) << error.toStdString();
  EXPECT_TRUE(frCheckPageList("", 50, error));
  EXPECT_TRUE(frCheckPageList("5-5", 5, error));
}

TEST(PageListCheck, RandomTextsEitherNamePagesThatExistOrAreRefusedWithAMessage) {
  // Texts of digits, commas, dashes, blanks and a few other characters.
  const QString alphabet = QStringLiteral("0123456789,,--  x+9");
  quint32 seed = 12345;
  auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  int accepted = 0;
  for (int n = 0; n < 20000; ++n) {
    QString text;
    const int len = static_cast<int>(next() % 12);
    for (int i = 0; i < len; ++i) text += alphabet[static_cast<int>(next() % alphabet.size())];
    QString error;
    if (!frCheckPageList(text, 40, error)) {
      EXPECT_FALSE(error.isEmpty()) << text.toStdString();
      continue;
    }
    ++accepted;
    QList<QPair<int, int>> ranges;
    ASSERT_TRUE(frParsePageNumbers(text, ranges, error)) << text.toStdString();
    for (const auto &r : ranges) {
      EXPECT_GE(r.first, 1) << text.toStdString();
      EXPECT_LE(r.second, 40) << text.toStdString();
      EXPECT_LE(r.first, r.second) << text.toStdString();
    }
  }
  EXPECT_GT(accepted, 100);
}

TEST_F(PrintDialog, ClickingIntoTheListChoosesNumbersAndPropertiesShowsTheSelectedPrinter) {
  TfrPrintForm d(10, 1);
  d.show();
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(d.E2, &press);
  EXPECT_TRUE(d.RB3->isChecked());

  const auto saved = frPrinterSetupDialog;
  const int other = 1 - prn.PrinterIndex();
  frPrinterSetupDialog = [&](QWidget *) { prn.SetPrinterIndex(other); };
  d.PropButton->click();
  EXPECT_EQ(d.CB1->currentIndex(), other);
  frPrinterSetupDialog = saved;
}

TEST_F(PrintDialog, BothDialogsOpenWideEnoughForTheirTexts) {
  TfrPrintForm d(10, 1);
  d.show();
  const QImage shot = d.grab().toImage();
  TfrPreviewSearchForm s;
  s.show();
  const QImage shot2 = s.grab().toImage();
  const QString dir = QDir::temp().filePath("vorik-grabs");
  QDir().mkpath(dir);
  shot.save(dir + "/print_dialog.png");
  shot2.save(dir + "/search_dialog.png");
  d.CB1->showPopup();
  QCoreApplication::processEvents();
  const QImage list = d.CB1->view()->window()->grab().toImage();
  list.save(dir + "/print_dialog_printers.png");
  d.CB1->hidePopup();
  EXPECT_GE(list.height(), 3 * 16);
  for (QWidget *w : std::initializer_list<QWidget *>{d.RB1, d.RB2, d.RB3, d.Label1, d.PropButton, d.Button1, d.Button2})
    EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
  EXPECT_GE(d.Label2->height(), d.Label2->heightForWidth(d.Label2->width()));
  for (QWidget *w : std::initializer_list<QWidget *>{s.Label1, s.CB1, s.RB1, s.RB2, s.Button1, s.Button2})
    EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
}

}  // namespace

namespace {

// "Properties" with the printer "PDF": a page set-up of paper and
// orientation (not the platform's print dialog with its own file field),
// whose choice the printer takes over; Cancel there changes nothing.
class PrinterProperties : public report::test::ReportTest {};

TEST_F(PrinterProperties, ForThePdfPrinterAPageSetupWhosePaperAndOrientationAreTaken) {
  FakePrinters({"PDF", "Laser"});
  prn.SetPrinterIndex(0);
  prn.SetPrinterInfo(9, 0, 0, 0);
  TfrPrintForm d(10, 1);
  d.show();
  // A3 landscape, then OK.
  vorik::test::ModalScript script;
  script.then([](QWidget *w) {
    EXPECT_EQ(w->objectName(), "PageSetupDialog");
    auto *sizes = vorik::test::child<QComboBox>(w, "pageSizeCombo");
    ASSERT_NE(sizes, nullptr);
    const int a3 = sizes->findText("A3", Qt::MatchStartsWith);
    ASSERT_GE(a3, 0);
    sizes->setCurrentIndex(a3);
    emit sizes->activated(a3);  // as a user's choice
    vorik::test::child<QRadioButton>(w, "landscape")->click();
    QMetaObject::invokeMethod(w, "accept", Qt::QueuedConnection);
  });
  ASSERT_TRUE(script.run([&] { d.PropButton->click(); }));
  EXPECT_EQ(prn.PaperSize, 8);
  EXPECT_EQ(prn.Orientation, 1);
  EXPECT_EQ(backend.selectedOrientation(), 1);
  EXPECT_EQ(d.CB1->currentIndex(), 0) << "PDF stays chosen";

  // Cancel there: the paper stays.
  vorik::test::ModalScript cancel;
  cancel.then([](QWidget *w) {
    vorik::test::child<QRadioButton>(w, "portrait")->click();
    QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
  });
  ASSERT_TRUE(cancel.run([&] { d.PropButton->click(); }));
  EXPECT_EQ(prn.PaperSize, 8);
  EXPECT_EQ(prn.Orientation, 1);
  EXPECT_TRUE(errors.isEmpty());
}

}  // namespace
