// Layouts through the designer: the program's own layouts saved unchanged are
// byte for byte the files they came from; an edited layout (moved, added,
// undone, redone) saved and loaded builds the report the edit shows; a
// prepared page edited through the engine's EditPreparedReport.
#include "designer_fixture.h"

#include "report/core/FR_Class_Build.h"
#include "report/output/FR_Prntr_Fake.h"

#include <QDir>
#include <QFile>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

// The printed objects of every prepared page: name, place and text.
QStringList built(TfrReport &r) {
  EXPECT_TRUE(r.PrepareReport());
  QStringList out;
  for (int p = 0; p < r.EMFPages->Count(); ++p)
    for (const auto &v : TfrEMFPages::ReadObjects(r.EMFPages->GetPageRec(p)->Stream))
      out << QStringLiteral("%1:%2,%3,%4,%5:%6")
                 .arg(p)
                 .arg(v->x)
                 .arg(v->y)
                 .arg(v->dx)
                 .arg(v->dy)
                 .arg(v->Memo1.join('|').section(QChar(1), 0, 0));
  return out;
}

class RoundTrip : public DesignerTest {
 protected:
  void SetUp() override {
    DesignerTest::SetUp();
    backend.printers = {TfrFakePrinterBackend::standardPrinter("Laser")};
    prn.SetPrinter(&backend);
    frPrinter = &prn;
  }
  void TearDown() override {
    frPrinter = nullptr;
    DesignerTest::TearDown();
  }
  TfrFakePrinterBackend backend;
  TfrPrinter prn;
};

}  // namespace

TEST_F(RoundTrip, TheProgramsOwnLayoutsSavedUnchangedAreByteIdentical) {
  Show();
  const QDir data(sourcePath("tests/report/data"));
  int layouts = 0;
  for (const QString &sub : data.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    const QString src = data.filePath(sub + "/layout.frf");
    if (!QFile::exists(src)) continue;
    ++layouts;
    const QString copy = tmp.file(sub + ".frf");
    ASSERT_TRUE(QFile::copy(src, copy));
    ASSERT_TRUE(form->OpenFile(copy)) << sub.toStdString();
    // Every page shown once, as a user looking through the layout would.
    for (int p = 0; p < report->Pages.Count(); ++p) form->SetCurPage(p);
    ASSERT_TRUE(form->Save());
    EXPECT_EQ(readFile(copy), readFile(src)) << sub.toStdString();
  }
  EXPECT_GE(layouts, 2);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

// Every dialog of every object, page and the report confirmed with OK and
// nothing changed in it: the program's layouts save byte for byte as built.
TEST_F(RoundTrip, EveryDialogConfirmedUnchangedLeavesEveryProgramLayoutByteIdentical) {
  Show();
  form->EditMemo = textEditor;
  form->EditPicture = pictureEditor;
  auto ok = [](QWidget *w) { click(w, "Button1"); };
  // Each dialog is checked on its own: the report as it was before it.
  QByteArray before;
  auto unchanged = [&](const std::string &what) {
    const QByteArray now = report->SaveToBytes();
    EXPECT_TRUE(now == before) << what << " changed the layout";
    before = now;
  };
  // Runs a command whose dialog gets OK.
  auto confirm = [&](const std::string &what, const std::function<void()> &open) {
    ModalScript script;
    script.then(ok);
    EXPECT_TRUE(script.run(open)) << what;
    unchanged(what);
  };
  const QDir built(QStringLiteral(VORIK_BINARY_DIR "/layouts"));
  const QStringList files = built.entryList({QStringLiteral("*.frf")}, QDir::Files, QDir::Name);
  ASSERT_EQ(files.size(), 39);
  int texts = 0, bands = 0;
  for (const QString &name : files) {
    const QString copy = tmp.file(name);
    QFile::remove(copy);
    ASSERT_TRUE(QFile::copy(built.filePath(name), copy));
    ASSERT_TRUE(form->OpenFile(copy)) << name.toStdString();
    before = report->SaveToBytes();
    for (int p = 0; p < report->Pages.Count(); ++p) {
      form->SetCurPage(p);
      const std::string at = name.toStdString() + " page " + std::to_string(p);
      confirm(at + " options", [&] { form->PgB3->click(); });
      std::vector<TfrView *> views;
      for (const auto &v : P().Objects) views.push_back(v.get());
      for (TfrView *v : views) {
        const std::string what = at + " " + v->Name.toStdString();
        SelectOnly({v});
        if (v->Typ == gtMemo) {
          ++texts;
          // The text editor, its display format dialog between, then OK.
          ModalScript script;
          script.then([](QWidget *w) { click(w, "Button5"); }).then(ok).then(ok);
          script.run([&] { form->ShowEditor(*v); });
          EXPECT_TRUE(script.done()) << what << ": " << script.failure().toStdString();
          unchanged(what + " text editor");
          confirm(what + " highlight", [&] { form->HlB1->click(); });
        } else if (v->Typ == gtBand) {
          const int t = static_cast<TfrBandView *>(v)->BandType();
          if (t != btMasterData && t != btDetailData && t != btSubDetailData && t != btGroupHeader &&
              t != btCrossData)
            continue;
          ++bands;
          confirm(what, [&] { form->ShowEditor(*v); });
        } else if (v->Typ == gtPicture) {
          confirm(what, [&] { form->ShowEditor(*v); });
        }
      }
    }
    confirm(name.toStdString() + " report options", [&] { form->N8->trigger(); });
    confirm(name.toStdString() + " variables", [&] { form->N42->trigger(); });
    confirm(name.toStdString() + " designer options", [&] { form->N14->trigger(); });
    ASSERT_TRUE(form->Save());
    EXPECT_TRUE(readFile(copy) == readFile(built.filePath(name))) << name.toStdString();
  }
  EXPECT_GT(texts, 1000);
  EXPECT_GT(bands, 39);
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(RoundTrip, AnEditedLayoutBuildsTheReportTheEditShows) {
  Show();
  auto band = std::make_unique<TfrBandView>();
  band->SetBandType(btReportTitle);
  band->Name = "ReportTitle1";
  band->x = 0, band->y = 20, band->dx = 700, band->dy = 200;
  P().Add(std::move(band));
  Memo(40, 40, 96, 18, "Memo1")->Memo = QStringList{"Felvásárlási jegy"};
  const QString file = tmp.file("jegy.frf");
  ASSERT_TRUE(form->SaveAsFile(file, 1));
  ASSERT_TRUE(form->OpenFile(file));

  // Move the text, add one, take both back and redo them.
  Drag({50, 45}, {90, 65});
  EXPECT_EQ(P().FindObject("Memo1")->x, 80);
  form->SetTool(toolText);
  Click({200, 100});
  P().FindObject("Memo2")->Memo = QStringList{"[1+2]"};
  form->Undo();
  form->Undo();
  EXPECT_EQ(P().FindObject("Memo1")->x, 40);
  EXPECT_EQ(P().FindObject("Memo2"), nullptr);
  form->Redo();
  form->Redo();
  ASSERT_NE(P().FindObject("Memo2"), nullptr);
  EXPECT_EQ(P().FindObject("Memo1")->x, 80);
  ASSERT_TRUE(form->Save());
  EXPECT_FALSE(form->FileModified);

  const QByteArray shown = report->SaveToBytes();
  EXPECT_EQ(readFile(file), shown);
  TfrReport back;
  back.LoadFromFile(file);
  const QStringList expected = built(*report);
  EXPECT_EQ(built(back), expected);
  EXPECT_TRUE(expected.join('\n').contains("Felvásárlási jegy"));
  EXPECT_TRUE(expected.join('\n').contains(":3")) << expected.join('\n').toStdString();
}

TEST_F(RoundTrip, APreparedPageIsEditedInALaterInstanceAndWrittenBackOnYes) {
  auto band = std::make_unique<TfrBandView>();
  band->SetBandType(btReportTitle);
  band->Name = "ReportTitle1";
  band->x = 0, band->y = 0, band->dx = 700, band->dy = 100;
  report->Pages[0]->Add(std::move(band));
  auto m = std::make_unique<TfrMemoView>();
  m->Name = "Memo1";
  m->x = 20, m->y = 20, m->dx = 100, m->dy = 18;
  m->Memo = QStringList{"Eredeti"};
  report->Pages[0]->Add(std::move(m));
  report->ShowProgress = false;
  ASSERT_TRUE(report->PrepareReport());
  const QByteArray design = report->SaveToBytes();
  const QByteArray page = report->EMFPages->GetPageRec(0)->Stream;
  form->Page = report->Pages[0];

  // No: the prepared page stays as it was.
  bool laterInstance = false;
  ModalScript no;
  no.then([&](QWidget *w) {
    auto *d = qobject_cast<TfrDesignerForm *>(w);
    ASSERT_NE(d, nullptr);
    laterInstance = !d->FirstInstance && d->windowTitle() == "Designer" && frReportDesigner == d;
    EXPECT_EQ(form->objectName(), "frDesignerForm__");
    ASSERT_GT(d->Page->Count(), 0);
    d->Select(d->Page->Object(0));
    d->AddUndoAction(acEdit);
    d->Page->Object(0)->x += 8;
    click(d, "ExitB");
  });
  no.then(answer(QMessageBox::No));
  EXPECT_TRUE(no.run([&] { report->EditPreparedReport(0); }));
  EXPECT_TRUE(laterInstance);
  EXPECT_EQ(report->EMFPages->GetPageRec(0)->Stream, page);
  EXPECT_EQ(report->SaveToBytes(), design);
  EXPECT_EQ(frReportDesigner, form.get());
  EXPECT_EQ(form->objectName(), "frDesignerForm");
  EXPECT_EQ(form->Page, report->Pages[0]);

  // Yes: the moved object is written into the prepared page.
  ModalScript yes;
  int movedX = 0;
  yes.then([&](QWidget *w) {
    auto *d = qobject_cast<TfrDesignerForm *>(w);
    ASSERT_NE(d, nullptr);
    TfrView *v = d->Page->Object(d->Page->Count() - 1);
    d->Select(v);
    d->AddUndoAction(acEdit);
    v->x += 8;
    movedX = v->x;
    click(d, "ExitB");
  });
  MessageSeen seen;
  yes.then(answer(QMessageBox::Yes, &seen));
  EXPECT_TRUE(yes.run([&] { report->EditPreparedReport(0); }));
  EXPECT_EQ(seen.text, "Save changes?");
  EXPECT_EQ(seen.caption, "Confirm");
  const auto objects = TfrEMFPages::ReadObjects(report->EMFPages->GetPageRec(0)->Stream);
  ASSERT_FALSE(objects.empty());
  EXPECT_EQ(objects.back()->x, movedX);
  EXPECT_EQ(report->SaveToBytes(), design);
  EXPECT_EQ(frReportDesigner, form.get());
}
