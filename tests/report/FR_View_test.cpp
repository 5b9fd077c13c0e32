// The preview window over prepared pages, driven as the user drives it: the
// buttons a report chooses, Ctrl+S, deleting pages, page width, the zoom a
// new preview starts from, searching, printing through the print dialog,
// prepared-report files (also broken ones), modal and non-modal use, and the
// progress window's Cancel.
#include "report_fixture.h"

#include "report/output/FR_Canvas.h"
#include "report/output/FR_Prntr_Fake.h"
#include "report/ui/FR_Ctrls.h"
#include "report/ui/FR_Desgn_Intf.h"
#include "report/ui/FR_PrDlg.h"
#include "report/ui/FR_Progr.h"
#include "report/ui/FR_Srch.h"
#include "report/ui/FR_View.h"
#include "platform/settings_store.h"
#include "support/gui_driver.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>

#include <gtest/gtest.h>

using namespace report;
using namespace report::test;
using namespace vorik::test;

namespace {

// A designer window that records what it is given instead of showing itself.
class FakeDesigner : public TfrReportDesigner {
 public:
  FakeDesigner() { setObjectName(QStringLiteral("frDesignerForm")); }
  void RegisterObject(const QImage &, const QString &, int) override {}
  void RegisterTool(const QString &, const QImage &, const std::function<void()> &) override {}
  void BeforeChange() override {}
  void AfterChange() override {}
  void RedrawPage() override {}
  int exec() override {
    if (onExec) onExec(*this);
    return QDialog::Accepted;
  }
  static inline std::function<void(FakeDesigner &)> onExec;
};

}  // namespace

namespace {

class Preview : public ReportTest {
 protected:
  void SetUp() override {
    ReportTest::SetUp();
    FakePrinters({"Laser", "Tinta"});
    frShowPreview = frShowPreviewWindow;
    frProgressForm = frDefaultProgressWindow();  // the program's own, which runs events
    rep.Name = "frMegtekint";
    rep.Title = "Lista";
    rep.ShowProgress = true;
  }
  // n pages; page p prints "Page p" at the top and "Item p" lower down.
  void List(int n) {
    LayoutBuilder l;
    l.Band(btMasterData, 0, 400, QString::number(n), flBandNewPageAfter);
    l.Memo(20, 10, 200, 20, {"Page [PAGE#]"});
    l.Memo(300, 300, 200, 20, {"Item [PAGE#]"});
    l.LoadInto(rep);
    ASSERT_TRUE(rep.PrepareReport());
    ASSERT_EQ(rep.EMFPages->Count(), n);
  }
  // A preview window of the report's prepared pages, shown non-modally.
  std::unique_ptr<TfrPreviewForm> Open() {
    auto f = std::make_unique<TfrPreviewForm>();
    std::unique_ptr<TfrEMFPages> pages = std::move(rep.EMFPages);
    rep.EMFPages = std::make_unique<TfrEMFPages>(&rep);
    f->ShowForReport(rep, std::move(pages));
    f->show();
    QCoreApplication::processEvents();
    return f;
  }
  static void PostKey(QWidget *w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QCoreApplication::postEvent(w, new QKeyEvent(QEvent::KeyPress, key, mods));
  }
  static void SendKey(QWidget *w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent e(QEvent::KeyPress, key, mods);
    QCoreApplication::sendEvent(w, &e);
  }
  // The texts a page draws, with their places, through the recording canvas.
  static std::vector<TfrTextOut> Drawn(TfrEMFPages &pages, int i) {
    TfrRecordCanvas rc;
    TfrPageRec *rec = pages[i];
    const bool kept = rec->Visible;
    rec->Visible = true;
    pages.Draw(i, rc, QRect(0, 0, rec->PrnInfo.pageWidth, rec->PrnInfo.pageHeight));
    rec->Visible = kept;
    std::vector<TfrTextOut> out;
    for (const TfrTextOut *t : rc.textCalls()) out.push_back(*t);
    return out;
  }

  TempDir tmp;
};

TEST_F(Preview, ShowsOnlyTheChosenButtonsAndCtrlSStillSavesAPreparedReport) {
  LayoutBuilder l;
  l.Band(btMasterData, 0, 400, "3", flBandNewPageAfter);
  l.Memo(20, 10, 200, 20, {"Page [PAGE#]"});
  l.LoadInto(rep);
  rep.PreviewButtons = TfrReport::pbZoom | TfrReport::pbExit;
  const QString file = tmp.file("saved");
  QStringList visible;
  ModalScript script;
  script.then([&](QWidget *w) {
    auto *f = qobject_cast<TfrPreviewForm *>(w);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->windowTitle(), "Preview - Lista");
    for (QWidget *b : f->Panel1->findChildren<QWidget *>())
      if (!b->isHidden()) visible << b->objectName();
    PostKey(f, Qt::Key_S, Qt::ControlModifier);
  });
  script.then([&](QWidget *w) {
    auto *d = qobject_cast<QFileDialog *>(w);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->objectName(), "SaveDialog");
    d->selectFile(file);
    QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
  });
  script.then([&](QWidget *w) { click(w, "ExitBtn"); });
  EXPECT_TRUE(script.run([&] { rep.ShowReport(); }));
  visible.sort();
  EXPECT_EQ(visible, QStringList({"ExitBtn", "ZoomBtn", "frTBSeparator1", "frTBSeparator2"}));
  // The extension is added and the file holds the three pages.
  TfrEMFPages back;
  back.LoadFromFile(file + ".frp");
  EXPECT_EQ(back.Count(), 3);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(Preview, DeletePageAsksFirstAndDoesNothingOnASinglePage) {
  FakeDesigner designer;
  frReportDesigner = &designer;
  frRegisterDesignerClass([] { return new FakeDesigner; });
  List(1);
  auto f = Open();
  ModalScript none;
  none.then(answer(QMessageBox::Yes));
  none.runUntilReturn([&] { f->DeletePage(); }, 2000);
  EXPECT_EQ(none.stepsRun(), 0);  // no question was asked
  EXPECT_EQ(f->PageCount(), 1);
  f->close();

  List(3);
  f = Open();
  f->GotoPage(2);
  MessageSeen seen;
  ModalScript no;
  no.then(answer(QMessageBox::No, &seen));
  EXPECT_TRUE(no.run([&] { SendKey(f.get(), Qt::Key_Delete); }));
  EXPECT_EQ(seen.text, "Remove this page?");
  EXPECT_EQ(seen.caption, "Confirm");
  EXPECT_EQ(f->PageCount(), 3);
  ModalScript yes;
  yes.then(answer(QMessageBox::Yes));
  yes.run([&] { f->DeletePage(); });
  ASSERT_EQ(f->PageCount(), 2);
  EXPECT_EQ(Drawn(*f->Pages(), 1)[0].text, "Page 3");

  // Edit page hands the pages to the designer and takes them back.
  int edited = -1, handed = 0;
  FakeDesigner::onExec = [&](FakeDesigner &d) {
    edited = d.Page && d.Page->Count() > 0 && d.Page->Object(0)->Memo.value(0) == "Page 3" ? 1 : 0;
    handed = rep.EMFPages->Count();
  };
  rep.ModifyPrepared = false;
  SendKey(f.get(), Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(edited, -1);
  rep.ModifyPrepared = true;
  f->GotoPage(2);
  SendKey(f.get(), Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(edited, 1);
  EXPECT_EQ(handed, 2);
  EXPECT_EQ(f->PageCount(), 2);
  EXPECT_EQ(rep.EMFPages->Count(), 0);
  EXPECT_EQ(frReportDesigner, &designer);
  FakeDesigner::onExec = nullptr;
  frRegisterDesignerClass(nullptr);

  // Add page puts an empty page before the current one.
  f->GotoPage(2);
  f->AddPage();
  ASSERT_EQ(f->PageCount(), 3);
  EXPECT_TRUE(Drawn(*f->Pages(), 1).empty());
  f->close();

  // Without a designer the page items are hidden and Del does nothing.
  frReportDesigner = nullptr;
  List(2);
  f = Open();
  EXPECT_FALSE(f->N7->isVisible());
  ModalScript never;
  never.then(answer(QMessageBox::Yes));
  never.runUntilReturn([&] { SendKey(f.get(), Qt::Key_Delete); }, 2000);
  EXPECT_EQ(never.stepsRun(), 0);
  EXPECT_EQ(f->PageCount(), 2);
}

TEST_F(Preview, ZoomModesScaleToThePaintBoxAndANewPreviewStartsFromTheLastChoice) {
  List(4);
  auto f = Open();
  f->PBox->setFixedWidth(820);
  QCoreApplication::processEvents();
  ASSERT_EQ(f->PBox->width(), 820);
  const int pw = f->Pages()->GetPageRec(0)->PrnInfo.pageWidth;
  const int ph = f->Pages()->GetPageRec(0)->PrnInfo.pageHeight;
  f->SetZoom(1);
  EXPECT_DOUBLE_EQ(f->Scale(), (820.0 - 20) / pw);
  EXPECT_EQ(f->PageRect(0).left(), 10);
  EXPECT_EQ(f->ZoomBtn->text(), QString::number(std::nearbyint((820.0 - 20) / pw * 100)) + "%");
  f->SetZoom(3);
  EXPECT_DOUBLE_EQ(f->Scale(), (820.0 - 30) / (2 * pw));
  EXPECT_EQ(f->PageRect(1).top(), f->PageRect(0).top());  // two pages per row
  EXPECT_EQ(f->PageRect(2).top(), f->PageRect(0).bottom() + 11);
  f->SetZoom(2);
  EXPECT_DOUBLE_EQ(f->Scale(), (f->PBox->height() - 20.0) / ph);
  f->SetZoom(100);
  EXPECT_EQ(f->ZoomBtn->text(), "100%");
  EXPECT_EQ(f->PageRect(0).width(), pw);
  // Page navigation scrolls to the page.
  f->GotoPage(3);
  EXPECT_EQ(f->CurPage(), 3);
  EXPECT_EQ(f->VScrollBar->value(), f->PageRect(2).top() - 10);
  SendKey(f.get(), Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(f->CurPage(), 4);
  SendKey(f.get(), Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(f->CurPage(), 4);
  f->PgUp->click();
  EXPECT_EQ(f->CurPage(), 3);
  SendKey(f.get(), Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(f->VScrollBar->value(), 0);

  // A landscape page among portrait ones: one page a row in whole-page mode,
  // each narrower page centred; the scroll range reaches the last page's bottom.
  TfrPage landscape;
  landscape.pgOr = 1;
  f->Pages()->Insert(1, landscape);
  f->SetZoom(2);
  const int boxW = f->PBox->width();
  for (int i = 0; i < 5; ++i) {
    const QRect r = f->PageRect(i);
    if (r.width() < boxW) {
      EXPECT_EQ(r.left(), (boxW - r.width()) / 2) << i;
    }
    if (i > 0) {
      EXPECT_EQ(r.top(), f->PageRect(i - 1).bottom() + 11) << i;
    }
  }
  EXPECT_GT(f->PageRect(1).width(), f->PageRect(0).width());
  EXPECT_EQ(f->VScrollBar->maximum(), f->PageRect(4).bottom() + 1 - f->PBox->height() + 10);
  f->GotoPage(3);
  const QImage shot = f->PBox->grab().toImage();
  EXPECT_EQ(shot.pixel(f->PageRect(2).center() - QPoint(f->HScrollBar->value(), f->VScrollBar->value())),
            qRgb(255, 255, 255));

  // 50% from the menu is what the next preview starts with under pzDefault.
  QAction *half = f->ProcMenu->findChild<QAction *>("Zoom50");
  ASSERT_NE(half, nullptr);
  half->trigger();
  EXPECT_DOUBLE_EQ(f->Scale(), 0.5);
  f->close();
  List(2);
  auto second = Open();
  EXPECT_EQ(second->ZoomMode(), 0);
  EXPECT_DOUBLE_EQ(second->Scale(), 0.5);
  EXPECT_EQ(second->ZoomBtn->text(), "50%");
  EXPECT_TRUE(half->isChecked());
  second->close();
  rep.InitialZoom = TfrReport::pzPageWidth;
  List(2);
  auto third = Open();
  EXPECT_EQ(third->ZoomMode(), 1);
}

TEST_F(Preview, FindsATextOnPage37ScrollsItIntoViewAndGoesOnWithNext) {
  List(50);
  auto f = Open();
  f->SetZoom(100);
  ModalScript script;
  script.then([&](QWidget *w) {
    EXPECT_EQ(w->objectName(), "frPreviewSearchForm");
    setText(w, "Edit1", "item 37");
    click(w, "Button1");
  });
  EXPECT_TRUE(script.run([&] { PostKey(f.get(), Qt::Key_F, Qt::ControlModifier); }));
  ASSERT_EQ(f->CurPage(), 37);
  // The match's top-left corner 10 pixels inside the view.
  const std::vector<TfrTextOut> texts = Drawn(*f->Pages(), 36);
  const auto item = std::find_if(texts.begin(), texts.end(), [](const TfrTextOut &t) { return t.text == "Item 37"; });
  ASSERT_NE(item, texts.end());
  const QRect r = f->PageRect(36);
  EXPECT_EQ(r.top() + int(item->pos.y() * f->Scale()) - f->VScrollBar->value(), 10);
  const int x = r.left() + int(item->pos.x() * f->Scale()) - f->HScrollBar->value();
  EXPECT_TRUE(x == 10 || f->HScrollBar->value() == f->HScrollBar->maximum()) << x;

  // Case-sensitive search misses; "37" is found twice on the page, then no more.
  EXPECT_FALSE(f->FindText("item 37", true, 0));
  EXPECT_EQ(f->CurPage(), 37);
  ASSERT_TRUE(f->FindText("37", false, 0));
  const int first = f->VScrollBar->value();
  ASSERT_TRUE(f->FindNext());
  EXPECT_EQ(f->CurPage(), 37);
  EXPECT_GT(f->VScrollBar->value(), first);
  EXPECT_FALSE(f->FindNext());
  EXPECT_EQ(f->CurPage(), 37);

  // "Page 3" on page 3, then on 30, 31 in turn; F3 goes on.
  ASSERT_TRUE(f->FindText("Page 3", false, 0));
  EXPECT_EQ(f->CurPage(), 3);
  SendKey(f.get(), Qt::Key_F3);
  EXPECT_EQ(f->CurPage(), 30);
  SendKey(f.get(), Qt::Key_F3);
  EXPECT_EQ(f->CurPage(), 31);
  // After moving to another page, F3 searches from that page.
  f->GotoPage(35);
  SendKey(f.get(), Qt::Key_F3);
  EXPECT_EQ(f->CurPage(), 35);

  // An absent text leaves the page and the view where they were.
  f->GotoPage(5);
  const int v = f->VScrollBar->value();
  EXPECT_FALSE(f->FindText("Nowhere", false, 0));
  EXPECT_EQ(f->CurPage(), 5);
  EXPECT_EQ(f->VScrollBar->value(), v);
  // Pages searched but not shown gave their objects up again.
  EXPECT_EQ(f->Pages()->GetPageRec(20)->Page, nullptr);
}

TEST_F(Preview, SavedPreparedReportOpensWithTheSamePagesAndBrokenFilesLeaveThePagesShown) {
  List(3);
  auto f = Open();
  const QString file = tmp.file("list.frp");
  ASSERT_TRUE(f->SaveFile(file));
  std::vector<std::vector<TfrTextOut>> before;
  for (int i = 0; i < 3; ++i) before.push_back(Drawn(*f->Pages(), i));
  ASSERT_EQ(before[2].size(), 2u);

  List(5);
  auto g = Open();
  ASSERT_TRUE(g->OpenFile(file));
  ASSERT_EQ(g->PageCount(), 3);
  EXPECT_EQ(g->CurPage(), 1);
  EXPECT_FALSE(rep.CanRebuild);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Drawn(*g->Pages(), i), before[static_cast<size_t>(i)]) << i;

  // Truncated, corrupted and missing files: a message, and the pages stay.
  QFile in(file);
  ASSERT_TRUE(in.open(QIODevice::ReadOnly));
  const QByteArray bytes = in.readAll();
  QByteArray corrupt = bytes;
  corrupt[10] = char(0x7F);
  corrupt[11] = char(0x7F);
  const std::vector<QByteArray> broken = {bytes.left(bytes.size() / 2), bytes.left(3), corrupt, QByteArray("\x00", 1),
                                          QByteArray(40, '\xFF')};
  int n = 0;
  for (const QByteArray &b : broken) {
    const QString name = tmp.file(QString("broken%1.frp").arg(n++));
    ASSERT_TRUE(writeFile(name, b));
    errors.clear();
    EXPECT_FALSE(g->OpenFile(name)) << n;
    ASSERT_EQ(errors.size(), 1) << n;
    EXPECT_TRUE(errors[0].contains(name)) << errors[0].toStdString();
    ASSERT_EQ(g->PageCount(), 3);
    EXPECT_EQ(Drawn(*g->Pages(), 2), before[2]);
  }
  errors.clear();
  EXPECT_FALSE(g->OpenFile(tmp.file("missing.frp")));
  EXPECT_EQ(errors.size(), 1);
  EXPECT_EQ(g->PageCount(), 3);
}

TEST_F(Preview, PrintsThroughThePrintDialogAndKeepsItsPagesWhenThePrintIsRefused) {
  List(5);
  auto f = Open();
  auto printWith = [&](const QString &copies, const QString &pages, const QString &printer = {}) {
    ModalScript script;
    script.then([&](QWidget *w) {
      auto *d = qobject_cast<TfrPrintForm *>(w);
      ASSERT_NE(d, nullptr);
      if (!printer.isEmpty()) emit d->CB1->activated(d->CB1->findText(printer));
      d->E1->setText(copies);
      d->RB3->setChecked(true);
      d->E2->setText(pages);
      d->done(QDialog::Accepted);  // refused input keeps it open
      if (d->isVisible()) d->reject();
    });
    EXPECT_TRUE(script.run([&] { PostKey(f.get(), Qt::Key_P, Qt::ControlModifier); }));
  };
  printWith("2", "2,4");
  ASSERT_EQ(backend.jobs.size(), 1u);
  EXPECT_EQ(backend.jobs[0].pages, 4);
  EXPECT_EQ(backend.jobs[0].title, "Quorvane: Lista");
  EXPECT_EQ(f->PageCount(), 5);
  EXPECT_EQ(rep.EMFPages->Count(), 0);  // handed back after printing

  for (const char *bad : {"3-1", "0", "1,,2", "999"}) {
    errors.clear();
    printWith("1", bad);
    EXPECT_EQ(errors.size(), 1) << bad;
  }
  errors.clear();
  printWith("abc", "1");
  EXPECT_EQ(errors.size(), 1);
  EXPECT_EQ(backend.jobs.size(), 1u);  // no job for any of them
  EXPECT_EQ(f->PageCount(), 5);

  // Another printer: the report is built again for it and printed there.
  printWith("1", "5", "Tinta");
  ASSERT_EQ(backend.jobs.size(), 2u);
  EXPECT_EQ(backend.jobs[1].printer, "Tinta");
  EXPECT_EQ(backend.jobs[1].pages, 1);
  EXPECT_EQ(f->PageCount(), 5);

  // A printer gone before the job starts: a message, nothing printed, pages kept.
  const int jobs = static_cast<int>(backend.jobs.size());
  backend.removePrinter("Tinta");
  errors.clear();
  printWith("1", "1");
  EXPECT_EQ(static_cast<int>(backend.jobs.size()), jobs);
  EXPECT_FALSE(errors.isEmpty());
  EXPECT_EQ(f->PageCount(), 5);
}

// A paper and orientation chosen through "Properties" (here A3 landscape, as
// a set-up dialog leaves them in the printer) are what the report is built
// and printed on; the layout's own pages keep their paper.
TEST_F(Preview, APaperChosenThroughPropertiesIsWhatTheReportIsBuiltAndPrintedOn) {
  List(2);
  ASSERT_EQ(rep.Pages[0]->pgSize, 9);
  auto f = Open();
  const auto saved = frPrinterSetupDialog;
  frPrinterSetupDialog = [&](QWidget *) { prn.SetPrinterInfo(8, 2970, 4200, 1); };
  ModalScript script;
  script.then([&](QWidget *w) {
    auto *d = qobject_cast<TfrPrintForm *>(w);
    ASSERT_NE(d, nullptr);
    d->PropButton->click();
    EXPECT_TRUE(d->PaperChosen());
    d->done(QDialog::Accepted);
  });
  script.run([&] { PostKey(f.get(), Qt::Key_P, Qt::ControlModifier); });
  frPrinterSetupDialog = saved;
  ASSERT_TRUE(script.done()) << script.failure().toStdString();
  ASSERT_EQ(backend.jobs.size(), 1u);
  EXPECT_EQ(backend.jobs[0].paperCode, 8);
  EXPECT_EQ(backend.jobs[0].orientation, 1);
  EXPECT_EQ(backend.jobs[0].pages, 2);
  ASSERT_EQ(f->PageCount(), 2);
  EXPECT_EQ(f->Pages()->GetPageRec(0)->pgSize, 8) << "the preview shows the pages as printed";
  EXPECT_GT(f->Pages()->GetPageRec(0)->PrnInfo.pageWidth, f->Pages()->GetPageRec(0)->PrnInfo.pageHeight);
  EXPECT_EQ(rep.Pages[0]->pgSize, 9);
  EXPECT_EQ(rep.Pages[0]->pgOr, 0);
  EXPECT_TRUE(errors.isEmpty());
}

// Calls f with the progress window each time it shows while the report holds
// pages (printing them) or, with withPages false, none (building them).
class OnProgressWindow : public QObject {
 public:
  OnProgressWindow(TfrReport &rep, bool withPages, std::function<void(QObject *)> f)
      : rep_(rep), withPages_(withPages), f_(std::move(f)) {
    qApp->installEventFilter(this);
  }
  ~OnProgressWindow() override { qApp->removeEventFilter(this); }
  bool eventFilter(QObject *o, QEvent *e) override {
    if (e->type() == QEvent::Show && o->objectName() == "frProgressForm" &&
        (rep_.EMFPages->Count() > 0) == withPages_)
      f_(o);
    return false;
  }

 private:
  TfrReport &rep_;
  bool withPages_;
  std::function<void(QObject *)> f_;
};

// While the report prints the pages or a page is edited, events run (the
// progress window, the designer): a repaint left pending by the rebuild for
// another printer, further repaints, a close and keys. The page area draws
// the pages blank meanwhile, the window stays, and the pages come back whole.
TEST_F(Preview, PagesWithTheReportAreNotDrawnOrTouchedWhileEventsRun) {
  List(5);
  auto f = Open();
  const QPoint inPage = f->PageRect(0).center();
  int meanwhileRuns = 0;
  QImage during;
  auto meanwhile = [&] {
    ++meanwhileRuns;
    f->PBox->repaint();
    during = f->PBox->grab().toImage();
    f->close();
    SendKey(f.get(), Qt::Key_P, Qt::ControlModifier);
    SendKey(f.get(), Qt::Key_Delete);
    EXPECT_TRUE(f->isVisible());
  };
  // Runs meanwhile as the progress window shows for the print, that is while
  // the report holds the pages.
  auto spy = std::make_unique<OnProgressWindow>(rep, true, [&](QObject *) { meanwhile(); });

  // Print, choosing another printer: the report is built again and printed there.
  ModalScript script;
  script.then([&](QWidget *w) {
    auto *d = qobject_cast<TfrPrintForm *>(w);
    ASSERT_NE(d, nullptr);
    emit d->CB1->activated(d->CB1->findText("Tinta"));
    click(d, "Button1");
  });
  script.run([&] { PostKey(f.get(), Qt::Key_P, Qt::ControlModifier); });
  spy.reset();
  EXPECT_TRUE(script.done()) << script.failure().toStdString();
  EXPECT_EQ(meanwhileRuns, 1);
  ASSERT_EQ(backend.jobs.size(), 1u);
  EXPECT_EQ(backend.jobs[0].printer, "Tinta");
  EXPECT_EQ(backend.jobs[0].pages, 5);
  ASSERT_FALSE(during.isNull());
  EXPECT_EQ(during.pixelColor(inPage), QColor(Qt::white));
  EXPECT_TRUE(f->isVisible());
  EXPECT_EQ(f->PageCount(), 5);
  EXPECT_EQ(rep.EMFPages->Count(), 0);
  EXPECT_EQ(Drawn(*f->Pages(), 4)[0].text, "Page 5");
  // Laid out again for the pages back: a page rectangle for each.
  EXPECT_FALSE(f->PageRect(4).isEmpty());
  f->PBox->repaint();

  // Cancel in the progress window while the report is built again for another
  // printer: no part of the report is printed, the pages shown stay.
  auto cancel = std::make_unique<OnProgressWindow>(rep, false, [](QObject *w) { click(w, "Button1"); });
  ModalScript again;
  again.then([&](QWidget *w) {
    auto *d = qobject_cast<TfrPrintForm *>(w);
    ASSERT_NE(d, nullptr);
    emit d->CB1->activated(d->CB1->findText("Laser"));
    click(d, "Button1");
  });
  again.run([&] { PostKey(f.get(), Qt::Key_P, Qt::ControlModifier); });
  cancel.reset();
  EXPECT_TRUE(again.done()) << again.failure().toStdString();
  EXPECT_EQ(backend.jobs.size(), 1u);
  EXPECT_EQ(f->PageCount(), 5);
  EXPECT_EQ(rep.EMFPages->Count(), 0);

  // Editing a page: the designer runs while the report holds the pages.
  FakeDesigner designer;
  frReportDesigner = &designer;
  frRegisterDesignerClass([] { return new FakeDesigner; });
  rep.ModifyPrepared = true;
  FakeDesigner::onExec = [&](FakeDesigner &) { meanwhile(); };
  f->EditPage();
  FakeDesigner::onExec = nullptr;
  frRegisterDesignerClass(nullptr);
  EXPECT_EQ(meanwhileRuns, 2);
  EXPECT_EQ(during.pixelColor(inPage), QColor(Qt::white));
  EXPECT_EQ(f->PageCount(), 5);
  EXPECT_EQ(Drawn(*f->Pages(), 0)[0].text, "Page 1");
  EXPECT_EQ(backend.jobs.size(), 1u) << "no print while the pages were away";
  f->PBox->repaint();
}

TEST_F(Preview, ShowReportOpensItModallyOrNotAndTheWindowFreesItsPages) {
  List(2);
  rep.ModalPreview = false;
  rep.ShowReport();
  TfrPreviewForm *open = nullptr;
  for (QWidget *w : QApplication::topLevelWidgets())
    if (auto *f = qobject_cast<TfrPreviewForm *>(w); f && f->isVisible()) open = f;
  ASSERT_NE(open, nullptr);
  EXPECT_FALSE(open->isModal());
  EXPECT_EQ(open->PageCount(), 2);
  EXPECT_EQ(rep.EMFPages->Count(), 0);
  QPointer<TfrPreviewForm> guard(open);
  SendKey(open, Qt::Key_Escape);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(guard.isNull());

  // Modal, built with the progress window showing meanwhile.
  frProgressForm = frDefaultProgressWindow();
  rep.ShowProgress = true;
  rep.ModalPreview = true;
  bool modal = false;
  ModalScript script;
  script.then([&](QWidget *w) {
    modal = w->isModal();
    click(w, "ExitBtn");
  });
  EXPECT_TRUE(script.run([&] { rep.ShowReport(); }));
  EXPECT_TRUE(modal);
}

TEST_F(Preview, TheProgressWindowShowsWhileTheReportBuildsAndCancelStopsIt) {
  TfrProgressWindow window;
  frProgressForm = &window;
  rep.ShowProgress = true;
  QString caption, label;
  auto *ds = Records(&owner, "Lines", [&] {
    if (window.Window() && window.Window()->isVisible() && caption.isEmpty()) {
      caption = window.Window()->windowTitle();
      label = textOf(window.Window(), "Label1");
    }
    return 1000;
  });
  ds->OnNext = [&](QObject *) {
    if (ds->RecNo == 5) click(window.Window(), "Button1");
  };
  LayoutBuilder l;
  l.Band(btMasterData, 0, 400, "Lines", flBandNewPageAfter);
  l.Memo(20, 10, 200, 20, {"Page [PAGE#]"});
  l.LoadInto(rep);
  EXPECT_FALSE(rep.PrepareReport());
  EXPECT_EQ(caption, "Report preparing - Lista");
  EXPECT_TRUE(label.startsWith("Processing page:")) << label.toStdString();
  EXPECT_LT(rep.EMFPages->Count(), 100);
  EXPECT_FALSE(window.Window()->isVisible());
  EXPECT_EQ(textOf(window.Window(), "Button1"), "Cancel");
}

TEST_F(Preview, AnEmbeddedPageAreaTakesThePagesAndShowsPageOne) {
  List(3);
  QWidget host;
  auto *panel = new TfrPreviewPanel(&host);
  rep.Preview = panel;
  rep.ShowPreparedReport();
  rep.Preview = nullptr;
  EXPECT_EQ(panel->Form()->PageCount(), 3);
  EXPECT_EQ(panel->Form()->CurPage(), 1);
  EXPECT_EQ(rep.EMFPages->Count(), 0);
  EXPECT_EQ(panel->Form()->PBox->window(), &host);
  EXPECT_FALSE(panel->Form()->isVisible());
  panel->SetScrollBars(TfrPreviewPanel::ssHorizontal);
  host.show();
  QCoreApplication::processEvents();
  EXPECT_FALSE(panel->Form()->VScrollBar->isVisible());
  EXPECT_TRUE(panel->Form()->HScrollBar->isVisible());
}

TEST_F(Preview, ButtonsAreGreyAsTheReportSaysOrAsTheDesignersSettingSays) {
  const QString dir = tmp.file("config");
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir);
  List(1);
  rep.GrayedButtons = true;
  auto f = Open();
  EXPECT_TRUE(f->FindBtn->GrayedInactive());
  EXPECT_EQ(f->FindBtn->GlyphState(), TfrSpeedButton::bsInactive);
  f->close();

  // With a designer, its stored "GrayButtons" decides.
  FakeDesigner designer;
  frReportDesigner = &designer;
  List(1);
  f = Open();
  EXPECT_FALSE(f->FindBtn->GrayedInactive());
  f->close();
  platform::writeRegistry("Form\\frDesignerForm", "GrayButtons", true);
  EXPECT_TRUE(QFile::exists(dir + "/Quorvane/Vorik.ini"));
  rep.GrayedButtons = false;
  List(1);
  f = Open();
  EXPECT_TRUE(f->FindBtn->GrayedInactive());
}

TEST_F(Preview, WindowGrab) {
  List(3);
  auto f = Open();
  f->resize(1000, 760);
  QCoreApplication::processEvents();
  f->SetZoom(1);
  const QImage shot = f->grab().toImage();
  const QString dir = QDir::temp().filePath("vorik-grabs");
  QDir().mkpath(dir);
  ASSERT_TRUE(shot.save(dir + "/preview.png"));
  // The first page is drawn: white paper inside the grey area.
  const QRect r = f->PageRect(0).translated(f->PBox->mapTo(f.get(), QPoint(0, 0)));
  EXPECT_EQ(shot.pixel(r.left() + 5, r.top() + 5), qRgb(255, 255, 255));
  EXPECT_EQ(shot.pixel(f->PBox->mapTo(f.get(), QPoint(3, 3))), qRgb(128, 128, 128));
}

}  // namespace
