// The comment and icon of a new template: a fresh dialog each time, the icon
// file, Cancel writing nothing, and Save as template read back through New
// from template.
#include "template_fixture.h"

#include "designer/FR_Templ.h"
#include "dialog_steps.h"

#include <QPlainTextEdit>
#include <QPushButton>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

// Save as, template filter, into the template folder as name.
ModalScript::Step saveAsTemplate(const QString &file) { return fileDialog("SaveDialog1", file, 2); }

}  // namespace

TEST_F(TemplateTest, CancellingTheCommentWritesNoTemplateAndChangesNothing) {
  Memo(8, 8, 96, 18, "Memo1");
  Show();
  const QByteArray before = report->SaveToBytes();
  for (int round = 0; round < 2; ++round) {
    ModalScript script;
    script.then(saveAsTemplate(T("minta")));
    script.then([&](QWidget *d) {
      EXPECT_EQ(d->objectName(), "frTemplNewForm");
      EXPECT_EQ(d->windowTitle(), "New report template");
      // Each showing starts empty, with the focus in the comment.
      EXPECT_EQ(textOf(d, "Memo1"), "");
      EXPECT_TRUE(Shown(d).isEmpty());
      EXPECT_EQ(d->focusWidget(), child<QWidget>(d, "Memo1"));
      if (round == 0) {
        expectLaidOut(d);
      }
      // A comment the template file cannot keep: OK refuses it, the dialog stays.
      for (QChar c : QStringLiteral("Sablon → ✓"))
        QTest::sendKeyEvent(QTest::Click, child<QPlainTextEdit>(d, "Memo1"), Qt::Key_unknown, QString(c), {});
      QTest::mouseClick(child<QPushButton>(d, "Button2"), Qt::LeftButton);
      EXPECT_TRUE(d->isVisible());
      setText(d, "Memo1", "Eldobott leírás");
      click(d, "Button3");
    });
    EXPECT_TRUE(script.run([&] { click(form.get(), "N17"); }));
  }
  EXPECT_FALSE(QFile::exists(T("minta.frt")));
  EXPECT_EQ(report->SaveToBytes(), before);
  EXPECT_EQ(form->windowTitle(), "Designer - Untitled");
  EXPECT_EQ(errors.size(), 2);
}

TEST_F(TemplateTest, SaveAsTemplateThenNewFromTemplateGivesTheReportCommentAndIcon) {
  Band(btReportTitle, 20, 60, "ReportTitle1");
  Memo(40, 28, 200, 20, "Cim1");
  Show();
  const QByteArray saved = report->SaveToBytes();
  const QString bmp = tmp.file("ikon.bmp");
  ASSERT_TRUE(Bitmap(qRgb(200, 10, 10), 16, 16).image().save(bmp, "BMP"));
  TfrPicture icon;
  ModalScript save;
  save.then(saveAsTemplate(T("havi.lista.frt")));
  save.then([&](QWidget *d) {
    setText(d, "Memo1", "Havi lista\nBeszállítónként\n");
    click(d, "Button1");
  });
  save.then(fileDialog("OpenDialog1", bmp));
  save.then(afterFileDialog([&](QWidget *d) {  // the same dialog again, with the icon
    EXPECT_EQ(d->objectName(), "frTemplNewForm");
    icon = Shown(d);
    EXPECT_FALSE(icon.isEmpty()) << errors.join('\n').toStdString();
    click(d, "Button2");
  }));
  ASSERT_TRUE(save.run([&] { click(form.get(), "N17"); }));
  ASSERT_TRUE(QFile::exists(T("havi.lista.frt")));
  EXPECT_EQ(icon.image().pixel(3, 3), qRgb(200, 10, 10));

  // Something else in the window, then the template back.
  P().Clear();
  Memo(8, 8, 96, 18, "Mas1");
  ModalScript open;
  open.then([&](QWidget *d) {
    ASSERT_EQ(Items(d), QStringList({"havi.lista"}));
    child<QListWidget>(d, "LB1")->setCurrentRow(0);
    EXPECT_EQ(textOf(d, "Memo1"), "Havi lista\nBeszállítónként");
    EXPECT_EQ(Shown(d), icon);
    click(d, "Button1");
  });
  ASSERT_TRUE(open.run([&] { click(form.get(), "N23"); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(report->SaveToBytes(), saved);
  EXPECT_EQ(Names(), QStringList({"ReportTitle1", "Cim1"}));
  EXPECT_EQ(form->windowTitle(), "Designer - Untitled");
  EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

  // The stored comment: its lines, without an empty one for the final break.
  QStringList description;
  TfrPicture picture;
  TfrReport reader;
  reader.LoadTemplate(T("havi.lista.frt"), &description, &picture, false);
  EXPECT_EQ(description, QStringList({"Havi lista", "Beszállítónként"}));
  EXPECT_EQ(picture, icon);
}

TEST_F(TemplateTest, AnIconThatIsNoBitmapIsRefusedAndTheOldOneKept) {
  const QString good = tmp.file("jo.bmp");
  ASSERT_TRUE(Bitmap(qRgb(0, 0, 200)).image().save(good, "BMP"));
  const QString junk = tmp.file("zaj.bmp");
  writeFile(junk, "BM this is no bitmap");
  const QString ico = tmp.file("ikon.ico");
  ASSERT_TRUE(Bitmap(qRgb(0, 200, 0), 16, 16).image().save(ico, "ICO"));
  Show();
  TfrPicture first;
  ModalScript script;
  script.then(saveAsTemplate(T("minta")));
  script.then([&](QWidget *d) { click(d, "Button1"); });
  script.then(fileDialog("OpenDialog1", good));
  script.then(afterFileDialog([&](QWidget *d) {
    first = Shown(d);
    click(d, "Button1");
  }));
  script.then(fileDialog("OpenDialog1", junk));
  script.then(afterFileDialog([&](QWidget *d) {
    EXPECT_EQ(Shown(d), first);
    click(d, "Button1");
  }));
  script.then(fileDialog("OpenDialog1", ico));
  script.then(afterFileDialog([&](QWidget *d) {
    EXPECT_EQ(Shown(d), first);
    click(d, "Button2");
  }));
  ASSERT_TRUE(script.run([&] { click(form.get(), "N17"); }));
  ASSERT_EQ(errors.size(), 2);
  EXPECT_TRUE(errors[0].contains(junk)) << errors[0].toStdString();
  EXPECT_TRUE(errors[1].contains(ico)) << errors[1].toStdString();
  EXPECT_FALSE(first.isEmpty());
  TfrPicture stored;
  TfrReport reader;
  reader.LoadTemplate(T("minta.frt"), nullptr, &stored, false);
  EXPECT_EQ(stored, first);
}
