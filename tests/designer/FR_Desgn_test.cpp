// The designer window: its look, the options in the settings store, the file
// commands with their prompts (driven through the real boxes and file
// dialogs), a failed Open, page tabs and page commands, the later instance.
#include "designer_fixture.h"

#include "designer/FR_Newrp.h"
#include "platform/settings_store.h"
#include "report/ui/FR_Ctrls.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QToolBar>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

}  // namespace

TEST_F(DesignerTest, WindowShowsPageWithGridBandsAndObjectsAndIsGrabbed) {
  Band(btReportTitle, 20, 60, "ReportTitle1");
  Band(btMasterData, 100, 40, "MasterData1");
  Memo(40, 28, 200, 20, "Memo1")->Font.Size = 12;
  Memo(40, 104, 120, 20, "Memo2");
  Memo(180, 104, 120, 20, "Memo3");
  Show(1100, 800);
  form->Select(P().Object(3));
  form->Select(P().Object(4));
  form->PageView->ComputeMultiFrame();
  form->SelectionChanged();
  form->PageView->update();
  QCoreApplication::processEvents();
  EXPECT_EQ(form->windowTitle(), "Designer - Untitled");
  EXPECT_EQ(form->objectName(), "frDesignerForm");
  for (const char *name : {"MainMenu1", "Panel2", "Panel4", "Tab1", "ScrollBox1", "StatusBar1", "FileBtn1", "OB1",
                           "OB6", "GB1", "HelpBtn", "N35", "ExitB", "N23", "N46", "Popup1", "Popup2"})
    EXPECT_NE(findNamed(form.get(), name), nullptr) << name;
  EXPECT_EQ(form->Tab1->count(), 1);
  EXPECT_EQ(form->Tab1->tabText(0), "Page1");
  EXPECT_EQ(form->StatusUnits->text(), "Pixels");
  EXPECT_EQ(form->ExitB->text(), "Close");
  EXPECT_EQ(form->OB3->toolTip(), "Insert band");
  EXPECT_EQ(form->HelpBtn->toolTip(), "Show help");
  EXPECT_TRUE(form->CutB->isEnabled());
  EXPECT_FALSE(form->PstB->isEnabled());
  // The tools toolbar holds the first instance's own tool.
  EXPECT_TRUE(form->Panel6->isVisible());
  ASSERT_EQ(form->MastMenu->actions().size(), 1);
  EXPECT_EQ(form->MastMenu->actions().constFirst()->text(), "Insert DB fields");

  const QImage shot = form->grab().toImage();
  const QString dir = QDir::temp().filePath("vorik-grabs");
  QDir().mkpath(dir);
  ASSERT_TRUE(shot.save(dir + "/designer.png"));
  // The page is white with grid dots every 4 pixels; the scroll box is grey.
  const QImage page = form->PageView->grab().toImage();
  EXPECT_EQ(page.pixel(401, 501), qRgb(255, 255, 255));
  EXPECT_EQ(page.pixel(400, 500), qRgb(0, 0, 0));
  EXPECT_EQ(page.pixel(404, 504), qRgb(0, 0, 0));
  EXPECT_EQ(page.pixel(402, 500), qRgb(255, 255, 255));
}

TEST_F(DesignerTest, GridPatternsFollowTheGridSize) {
  Show();
  auto pixel = [&](int x, int y) { return form->PageView->grab().toImage().pixel(x, y); };
  form->SetGridSize(8);
  EXPECT_EQ(pixel(400, 496), qRgb(0, 0, 0));
  EXPECT_EQ(pixel(404, 500), qRgb(255, 255, 255));
  form->SetGridSize(18);
  EXPECT_EQ(pixel(396, 504), qRgb(0, 0, 0));
  EXPECT_EQ(pixel(400, 504), qRgb(255, 255, 255));
  form->SetShowGrid(false);
  EXPECT_EQ(pixel(396, 504), qRgb(255, 255, 255));
  EXPECT_FALSE(form->GB1->Down());
}

TEST_F(DesignerTest, OptionsDefaultWhenTheStoreIsEmptyAndAreKeptAsText) {
  Show();
  EXPECT_EQ(form->GridSize, 4);
  EXPECT_TRUE(form->GridAlign);
  EXPECT_TRUE(form->ShowGrid);
  EXPECT_EQ(form->Units, 0);
  EXPECT_FALSE(form->GrayButtons);
  EXPECT_TRUE(form->EditAfterInsert);
  EXPECT_EQ(form->ObjectMoving, 1);
  EXPECT_TRUE(form->GB1->Down());
  EXPECT_TRUE(form->GB2->Down());

  form->SetGridSize(18);
  form->SetGridAlign(false);
  form->SetUnits(1);
  form->SetGrayButtons(true);
  form->ObjectMoving = 0;
  form->hide();
  const QString key = "Form\\frDesignerForm";
  EXPECT_EQ(platform::readRegistry(key, "GridSize").toString(), "18");
  EXPECT_EQ(platform::readRegistry(key, "GridAlign").toString(), "0");
  EXPECT_EQ(platform::readRegistry(key, "GridShow").toString(), "1");
  EXPECT_EQ(platform::readRegistry(key, "Units").toString(), "1");
  EXPECT_EQ(platform::readRegistry(key, "GrayButtons").toString(), "1");
  EXPECT_EQ(platform::readRegistry(key, "Selection").toString(), "0");

  form->show();
  EXPECT_EQ(form->GridSize, 18);
  EXPECT_FALSE(form->GridAlign);
  EXPECT_EQ(form->StatusUnits->text(), "MM");
  EXPECT_TRUE(form->FileBtn2->GrayedInactive());
  form->hide();

  // Values that make no sense give the defaults.
  platform::writeRegistry(key, "GridSize", "7");
  platform::writeRegistry(key, "Units", "x");
  platform::writeRegistry(key, "GridAlign", "yes");
  platform::writeRegistry(key, "Selection", "9");
  form->show();
  EXPECT_EQ(form->GridSize, 4);
  EXPECT_EQ(form->Units, 0);
  EXPECT_TRUE(form->GridAlign);
  EXPECT_EQ(form->ObjectMoving, 1);
}

TEST_F(DesignerTest, SaveOfAnUntitledReportOpensSaveAs) {
  ShowActive();
  Memo(8, 8, 96, 18, "Memo1");
  RealClick({20, 12});
  RealKey(Qt::Key_Right, Qt::ControlModifier);
  ASSERT_TRUE(form->FileModified);
  const QString file = tmp.file("lista");
  QString dialog;
  ModalScript script;
  script.then(fileDialog("SaveDialog1", file, 1, &dialog));
  EXPECT_TRUE(script.run([&] { click(form.get(), "FileBtn3"); }));
  EXPECT_EQ(dialog, "SaveDialog1");
  // The extension is added; the caption follows; the report counts as saved.
  ASSERT_TRUE(QFile::exists(file + ".frf"));
  EXPECT_EQ(form->CurDocName, file + ".frf");
  EXPECT_EQ(form->windowTitle(), "Designer - lista.frf");
  EXPECT_EQ(readFile(file + ".frf"), report->SaveToBytes());
  EXPECT_FALSE(form->FileModified);

  // Saving as a template keeps the window's file name and caption; the
  // template goes to the template folder.
  frTemplateDir = tmp.path();
  ModalScript templ;
  templ.then(fileDialog("SaveDialog1", tmp.file("minta"), 2));
  templ.then([](QWidget *d) { click(d, "Button2"); });  // the comment and icon: OK
  EXPECT_TRUE(templ.run([&] { click(form.get(), "N17"); }));
  EXPECT_TRUE(QFile::exists(tmp.file("minta.frt")));
  EXPECT_EQ(form->CurDocName, file + ".frf");
  EXPECT_EQ(form->windowTitle(), "Designer - lista.frf");
  TfrReport back;
  QStringList desc;
  back.LoadTemplate(tmp.file("minta.frt"), &desc, nullptr, true);
  EXPECT_EQ(back.Pages[0]->Count(), 1);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

  // Save as under a new name after a change: New right after it asks nothing.
  frCurrentReport = report.get();  // loading made the copy the engine's current report
  RealKey(Qt::Key_Right, Qt::ControlModifier);
  ASSERT_TRUE(form->FileModified);
  ModalScript saveAs;
  saveAs.then(fileDialog("SaveDialog1", tmp.file("lista_uj.frf")));
  EXPECT_TRUE(saveAs.run([&] { click(form.get(), "N17"); }));
  EXPECT_EQ(readFile(tmp.file("lista_uj.frf")), report->SaveToBytes());
  EXPECT_TRUE(answerBoxes([&] { QTest::mouseClick(form->FileBtn1, Qt::LeftButton); }).empty());
  EXPECT_EQ(P().Count(), 0);
}

// The layout file is Windows-1250: a name with another character is refused
// where it is typed, and a save refuses texts holding one, naming the objects,
// so that nothing is lost and no two objects come back under one name.
TEST_F(DesignerTest, CharactersOutsideWindows1250AreRefusedAndNeverSaved) {
  ShowActive();
  TfrMemoView *a = Memo(40, 40, 96, 18, "Memo1");
  TfrMemoView *b = Memo(40, 80, 96, 18, "Memo2");
  const QString file = tmp.file("jel.frf");
  ASSERT_TRUE(form->SaveAsFile(file, 1));
  const QByteArray saved = readFile(file);
  // Names typed into the inspector's Name row.
  TfrInspForm *insp = form->InspForm;
  for (const auto &[view, typed] :
       {std::pair{a, QStringLiteral("Ωsszeg")}, std::pair{b, QStringLiteral("Σsszeg")}}) {
    RealClick({view->x + 10, view->y + 4});
    ASSERT_TRUE(view->Selected);
    errors.clear();
    QTest::mouseClick(insp->PaintBox1, Qt::LeftButton, {}, QPoint(10, insp->RowHeight() / 2));
    QTest::keyClick(insp->Edit1, Qt::Key_A, Qt::ControlModifier);
    for (QChar c : typed) QTest::sendKeyEvent(QTest::Click, insp->Edit1, Qt::Key_unknown, QString(c), {});
    QTest::keyClick(insp->Edit1, Qt::Key_Return);
    EXPECT_NE(view->Name, typed);
    EXPECT_EQ(errors.size(), 1) << typed.toStdString();
  }
  EXPECT_EQ(Names(), QStringList({"Memo1", "Memo2"}));
  // Texts: Ctrl+S writes nothing and names the objects holding such characters.
  a->Memo = QStringList{QStringLiteral("Súly ≤ 5 kg → ✓")};
  b->Memo = QStringList{QStringLiteral("Árvíztűrő tükörfúrógép")};  // all Windows-1250
  report->Values.SetName(report->Values.AddValue(), "Town");        // a variable's value too
  report->Values.GetValue(0)->Field = QStringLiteral("x→");
  form->AddUndoAction(acEdit);
  errors.clear();
  RealKey(Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].contains("Memo1")) << errors[0].toStdString();
  EXPECT_FALSE(errors[0].contains("Memo2")) << errors[0].toStdString();
  EXPECT_TRUE(errors[0].contains("'Town'")) << errors[0].toStdString();
  EXPECT_EQ(readFile(file), saved);
  EXPECT_TRUE(form->FileModified);
  errors.clear();
  EXPECT_FALSE(form->SaveAsFile(tmp.file("mas.frf"), 1));
  EXPECT_FALSE(QFile::exists(tmp.file("mas.frf")));
  EXPECT_EQ(errors.size(), 1);
  // Once the text is mended it saves and comes back as typed.
  a->Memo = QStringList{QStringLiteral("Súly <= 5 kg")};
  report->Values.Clear();
  errors.clear();
  RealKey(Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
  TfrReport back;
  ASSERT_TRUE(back.LoadFromFile(file));
  frCurrentReport = report.get();
  EXPECT_EQ(back.Pages[0]->Object(0)->Memo, a->Memo);
  EXPECT_EQ(back.Pages[0]->Object(1)->Memo, b->Memo);
}

TEST_F(DesignerTest, NewAndOpenAskAboutUnsavedChangesAndCancelChangesNothing) {
  Show();
  Memo(8, 8, 96, 18, "Memo1");
  form->Select(P().Object(0));
  form->AddUndoAction(acEdit);
  ASSERT_TRUE(form->FileModified);
  const QByteArray before = report->SaveToBytes();

  MessageSeen seen;
  ModalScript cancel;
  cancel.then(answer(QMessageBox::Cancel, &seen));
  EXPECT_TRUE(cancel.run([&] { click(form.get(), "FileBtn1"); }));
  EXPECT_EQ(seen.text, "Save changes to Untitled?");
  EXPECT_EQ(seen.caption, "Confirm");
  EXPECT_EQ(seen.buttons, QStringList({"Yes", "No", "Cancel"}));
  EXPECT_EQ(report->SaveToBytes(), before);
  EXPECT_EQ(form->UndoCount(), 1);

  // Yes, then Save as cancelled: nothing either.
  ModalScript yes;
  yes.then(answer(QMessageBox::Yes));
  yes.then(fileDialog("SaveDialog1", QString()));
  EXPECT_TRUE(yes.run([&] { click(form.get(), "N19"); }));
  EXPECT_EQ(report->SaveToBytes(), before);
  EXPECT_TRUE(form->FileModified);

  // No: a new report with one empty page, both histories empty.
  form->AddUndoAction(acEdit);
  form->Undo();
  ASSERT_EQ(form->RedoCount(), 1);
  ModalScript no;
  no.then(answer(QMessageBox::No));
  EXPECT_TRUE(no.run([&] { form->New(); }));
  EXPECT_EQ(report->Pages.Count(), 1);
  EXPECT_EQ(P().Count(), 0);
  EXPECT_EQ(form->UndoCount(), 0);
  EXPECT_EQ(form->RedoCount(), 0);
  EXPECT_FALSE(form->FileModified);
  EXPECT_EQ(form->windowTitle(), "Designer - Untitled");
}

TEST_F(DesignerTest, FailedOpenKeepsTheReportItsNameAndALaterSaveWritesIt) {
  Show();
  Memo(8, 8, 96, 18, "Memo1");
  const QString good = tmp.file("jo.frf");
  ASSERT_TRUE(form->SaveAsFile(good, 1));
  const QByteArray saved = report->SaveToBytes();
  form->Select(P().Object(0));
  form->AddUndoAction(acEdit);
  form->AddUndoAction(acEdit);  // one step undone leaves the layout changed
  form->Undo();
  ASSERT_EQ(form->RedoCount(), 1);
  const QString reportName = report->FileName;

  // Garbage, a truncated layout and a layout of a later version.
  QByteArray truncated = saved.left(saved.size() / 2);
  QByteArray future = saved;
  future[0] = char(99);
  int n = 0;
  for (const QByteArray &bytes : {QByteArray("\x17garbage\xff\xff\xff\xff", 12), truncated, future}) {
    const QString bad = tmp.file(QStringLiteral("rossz%1.frf").arg(++n));
    ASSERT_TRUE(writeFile(bad, bytes));
    errors.clear();
    ModalScript open;
    open.then(answer(QMessageBox::No));  // the unsaved changes
    open.then(fileDialog("OpenDialog1", bad));
    EXPECT_TRUE(open.run([&] { click(form.get(), "FileBtn2"); }));
    EXPECT_EQ(errors.size(), 1) << n;
    EXPECT_EQ(report->SaveToBytes(), saved) << n;
    EXPECT_EQ(form->CurDocName, good);
    EXPECT_EQ(report->FileName, reportName);
    EXPECT_EQ(form->windowTitle(), "Designer - jo.frf");
    EXPECT_EQ(P().Count(), 1);
    EXPECT_EQ(form->RedoCount(), 1);  // a failed Open touches nothing
  }
  // A later Save writes the report in memory over the file it came from.
  P().Object(0)->x = 16;
  ASSERT_TRUE(form->Save());
  TfrReport back;
  back.LoadFromFile(good);
  frCurrentReport = report.get();  // loading made the copy the engine's current report
  EXPECT_EQ(back.Pages[0]->Object(0)->x, 16);
  EXPECT_EQ(back.Pages[0]->Object(0)->Name, "Memo1");

  // A good Open clears both histories.
  ASSERT_TRUE(form->OpenFile(good));
  EXPECT_EQ(form->RedoCount(), 0);
  EXPECT_EQ(form->UndoCount(), 0);
}

TEST_F(DesignerTest, NewFromTemplateTakesTheTemplateUntitledWithEmptyHistories) {
  Show();
  Memo(8, 8, 96, 18, "Minta1");
  // A template goes to the template folder whatever folder the name had.
  frTemplateDir = tmp.file("sablonok");
  ASSERT_TRUE(QDir().mkpath(frTemplateDir));
  ModalScript info;
  info.then([](QWidget *d) { click(d, "Button2"); });  // the comment and icon: OK
  ASSERT_TRUE(info.run([&] { ASSERT_TRUE(form->SaveAsFile(tmp.file("elsewhere/minta.frf"), 2)); }));
  ASSERT_TRUE(QFile::exists(tmp.file("sablonok/minta.frt")));
  P().Clear();
  Memo(8, 8, 96, 18, "Mas1");
  form->SaveAsFile(tmp.file("mas.frf"), 1);
  form->Select(P().Object(0));
  form->AddUndoAction(acEdit);
  form->Undo();
  ASSERT_EQ(form->RedoCount(), 1);
  form->ChooseTemplate = [&] { return tmp.file("sablonok/minta.frt"); };
  click(form.get(), "N23");
  QCoreApplication::processEvents();
  EXPECT_EQ(Names(), QStringList({"Minta1"}));
  EXPECT_EQ(form->UndoCount(), 0);
  EXPECT_EQ(form->RedoCount(), 0);
  EXPECT_EQ(form->windowTitle(), "Designer - Untitled");
  // A broken template changes nothing and says so.
  ASSERT_TRUE(writeFile(tmp.file("rossz.frt"), "\x05\0\0"));
  EXPECT_FALSE(form->NewFromTemplate(tmp.file("rossz.frt")));
  EXPECT_EQ(errors.size(), 1);
  EXPECT_EQ(Names(), QStringList({"Minta1"}));
}

TEST_F(DesignerTest, AnExtremePaperSizeIsShownClamped) {
  P().pgSize = 256;
  P().pgWidth = 2000000000;
  P().pgHeight = 5;
  Show();
  EXPECT_LE(form->PageView->width(), 32000);
  EXPECT_GE(form->PageView->height(), 1);
  form->PageView->grab();
}

TEST_F(DesignerTest, SubreportPagesAreCaptionedAndRemovingOneDeletesItsSubreport) {
  report->Pages.Add()->UseMargins = false;
  report->Pages.Add()->UseMargins = false;
  auto sub = std::make_unique<TfrSubReportView>();
  sub->Name = "Reszletek";
  sub->SubPage = 2;
  sub->x = 10, sub->y = 10, sub->dx = 100, sub->dy = 40;
  report->Pages[0]->Add(std::move(sub));
  auto later = std::make_unique<TfrSubReportView>();
  later->Name = "Masik";
  later->SubPage = 1;
  report->Pages[0]->Add(std::move(later));
  Show();
  ASSERT_EQ(form->Tab1->count(), 3);
  EXPECT_EQ(form->Tab1->tabText(0), "Page1");
  EXPECT_EQ(form->Tab1->tabText(1), "Masik");
  EXPECT_EQ(form->Tab1->tabText(2), "Reszletek");
  form->Tab1->setCurrentIndex(1);
  EXPECT_EQ(form->CurPage, 1);

  ModalScript script;
  MessageSeen seen;
  script.then(answer(QMessageBox::Yes, &seen));
  EXPECT_TRUE(script.run([&] { click(form.get(), "PgB2"); }));
  EXPECT_EQ(seen.text, "Remove this page?");
  ASSERT_EQ(report->Pages.Count(), 2);
  // The subreport of the removed page is gone; the later one points one lower.
  ASSERT_EQ(report->Pages[0]->Count(), 1);
  EXPECT_EQ(report->Pages[0]->Object(0)->Name, "Reszletek");
  EXPECT_EQ(static_cast<TfrSubReportView *>(report->Pages[0]->Object(0))->SubPage, 1);
  EXPECT_EQ(form->Tab1->tabText(1), "Reszletek");
  EXPECT_EQ(form->CurPage, 0);

  // The only page is emptied instead.
  report->Pages.Delete(1);
  form->SetCurPage(0);
  ModalScript last;
  last.then(answer(QMessageBox::Yes));
  last.run([&] { form->RemovePage(); });
  EXPECT_EQ(report->Pages.Count(), 1);
  EXPECT_EQ(P().Count(), 0);
}

TEST_F(DesignerTest, AddPageKeepsThePageOnlyWhenItsOptionsAreConfirmed) {
  Show();
  form->PageOptions = [](TfrPage &) { return false; };
  EXPECT_FALSE(form->AddPage());
  EXPECT_EQ(report->Pages.Count(), 1);
  EXPECT_EQ(form->Page, report->Pages[0]);
  form->PageOptions = [](TfrPage &p) {
    p.pgOr = 1;
    return true;
  };
  EXPECT_TRUE(form->AddPage());
  EXPECT_EQ(report->Pages.Count(), 2);
  EXPECT_EQ(form->CurPage, 1);
  EXPECT_EQ(form->Tab1->tabText(1), "Page2");
  EXPECT_GT(form->PageView->width(), form->PageView->height());  // landscape
  EXPECT_TRUE(form->FileModified);
}

TEST_F(DesignerTest, LaterInstanceHasNoPageCommandsNoToolsAndAPlainCaption) {
  RegisterDesignerTool("Eszkoz", QImage(), [] {});
  auto second = std::make_unique<TfrDesignerForm>();
  EXPECT_FALSE(second->FirstInstance);
  second->setWindowState(Qt::WindowNoState);
  second->show();
  EXPECT_EQ(second->windowTitle(), "Designer");
  EXPECT_FALSE(second->PgB1->isEnabled());
  EXPECT_FALSE(second->PgB2->isEnabled());
  EXPECT_FALSE(second->N29->isEnabled());
  EXPECT_FALSE(second->FileBtn1->isEnabled());
  EXPECT_FALSE(second->OB3->isEnabled());
  EXPECT_FALSE(second->OB5->isEnabled());
  EXPECT_FALSE(second->Panel6->isVisible());
  EXPECT_FALSE(second->New());
  EXPECT_FALSE(second->AddPage());
  second->hide();
  second.reset();
  // The first instance took the tool when it was registered.
  EXPECT_TRUE(form->MastMenu->isEnabled());
  EXPECT_EQ(form->MastMenu->actions().size(), 2);  // after "Insert DB fields"
  EXPECT_EQ(form->MastMenu->actions().back()->text(), "Eszkoz");
  Show();
  EXPECT_TRUE(form->Panel6->isVisible());
  frClearTools();
}

namespace {

// The inspector and a floating toolbar are windows of their own: closing the
// designer (its Close button, clicked) hides them, showing it again brings them
// back; a preview hides the inspector while it runs.
TEST_F(DesignerTest, ClosingHidesTheInspectorAndFloatingToolbarsAndPreviewHidesTheInspector) {
  ShowActive();
  form->Panel1->MakeFloat(300, 300);
  form->Panel1->SetVisible(true);
  ASSERT_TRUE(form->Panel1->FloatWindow);
  ASSERT_TRUE(form->Panel1->FloatWindow->isVisible());
  ASSERT_TRUE(form->InspForm->isVisible());
  bool inspectorInPreview = true;
  int previews = 0;
  frShowPreview = [&](TfrReport &, std::unique_ptr<TfrEMFPages>, const QString &, bool) {
    ++previews;
    inspectorInPreview = form->InspForm->isVisible();
  };
  QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {},
                    form->FileBtn4->mapTo(form.get(), form->FileBtn4->rect().center()));
  // An unknown name stops the next one, naming the object, its band, the report and the name.
  Band(btReportTitle, 20, 40, "ReportTitle1");
  Memo(40, 28, 200, 20, "Cim1")->Memo = QStringList{"[Nincsilyen]"};
  QTest::mouseClick(form->FileBtn4, Qt::LeftButton);
  EXPECT_EQ(errors.join("").toUpper(), "AN ERROR OCCURED DURING CALCULATING\r[NINCSILYEN]\rREPORT: UNTITLED\r"
                                       "BAND: REPORT TITLE (REPORTTITLE1)\rOBJECT: CIM1\rUNDEFINED SYMBOL \"NINCSILYEN\"");
  frShowPreview = nullptr;
  EXPECT_EQ(previews, 1);
  EXPECT_FALSE(inspectorInPreview);
  EXPECT_TRUE(form->InspForm->isVisible());
  QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {},
                    form->ExitB->mapTo(form.get(), form->ExitB->rect().center()));
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->InspForm->isVisible());
  ASSERT_TRUE(form->Panel1->FloatWindow);
  EXPECT_FALSE(form->Panel1->FloatWindow->isVisible());
  Show();
  EXPECT_TRUE(form->InspForm->isVisible());
  ASSERT_TRUE(form->Panel1->FloatWindow);
  EXPECT_TRUE(form->Panel1->FloatWindow->isVisible());
}

}  // namespace
