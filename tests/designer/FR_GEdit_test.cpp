// The picture editor: Cancel after loading, OK as one undo step (and none
// without a change), Clear and Stretch, files that are no pictures, the
// picture kinds by extension, the text editor button, and its layout.
#include "template_fixture.h"

#include "dialog_steps.h"
#include "platform/error_text.h"

#include <QCheckBox>
#include <QtEndian>

#include <cerrno>

using namespace designer;
using namespace designer::test;
using namespace vorik::test;

namespace {

class PictureEditorTest : public TemplateTest {
 protected:
  void SetUp() override {
    TemplateTest::SetUp();
    form->EditPicture = pictureEditor;
  }
  TfrPictureView *Picture(const TfrPicture &pic, bool stretched) {
    auto v = std::make_unique<TfrPictureView>();
    v->x = 16, v->y = 16, v->dx = 120, v->dy = 80;
    v->Name = QStringLiteral("Picture1");
    v->Picture = pic;
    v->Flags = stretched ? flStretched : 0;
    return static_cast<TfrPictureView *>(P().Add(std::move(v)));
  }
  // Opens the editor on the first object, alone selected, through the object editor.
  void Edit(ModalScript &script) {
    SelectOnly({P().Object(0)});
    EXPECT_TRUE(script.run([&] { form->ShowObjectEditor(); }));
    QCoreApplication::processEvents();
  }
  QString Bmp(const QString &name, QRgb color) {
    const QString file = tmp.file(name);
    EXPECT_TRUE(Bitmap(color, 10, 10).image().save(file, "BMP"));
    return file;
  }
};

QByteArray wmfBytes() {
  // Placeable header, then the plain header (disk metafile, nine words, version 3).
  QByteArray b(22 + 18, '\0');
  qToLittleEndian<quint32>(0x9AC6CDD7u, b.data());
  qToLittleEndian<quint16>(2, b.data() + 22);
  qToLittleEndian<quint16>(9, b.data() + 24);
  qToLittleEndian<quint16>(0x300, b.data() + 26);
  return b;
}

}  // namespace

TEST_F(PictureEditorTest, CancelAfterLoadingLeavesTheObjectUnchanged) {
  const TfrPicture old = Bitmap(qRgb(0, 0, 255));
  TfrPictureView *pv = Picture(old, true);
  Show();
  const QString file = Bmp("uj.bmp", qRgb(255, 0, 0));
  const QByteArray before = report->SaveToBytes();
  ModalScript script;
  script.then([&](QWidget *d) {
    EXPECT_EQ(d->objectName(), "frGEditorForm");
    EXPECT_EQ(d->windowTitle(), "Picture");
    EXPECT_EQ(Shown(d), old);
    EXPECT_TRUE(child<QCheckBox>(d, "CB1")->isChecked());
    expectLaidOut(d);
    click(d, "BitBtn1");
  });
  script.then(fileDialog("OpenDialog1", file));
  script.then(afterFileDialog([&](QWidget *d) {
    EXPECT_EQ(Shown(d).image().pixel(1, 1), qRgb(255, 0, 0));
    setChecked(d, "CB1", false);
    click(d, "Button2");
  }));
  Edit(script);
  EXPECT_EQ(pv->Picture, old);
  EXPECT_EQ(pv->Flags & flStretched, flStretched);
  EXPECT_EQ(report->SaveToBytes(), before);
  EXPECT_EQ(form->UndoCount(), 0);
  EXPECT_FALSE(form->FileModified);
}

TEST_F(PictureEditorTest, OkTakesThePictureAndStretchAsOneUndoStep) {
  const TfrPicture old = Bitmap(qRgb(0, 0, 255));
  TfrPictureView *pv = Picture(old, false);
  Show();
  const QString file = Bmp("uj.bmp", qRgb(255, 0, 0));
  ModalScript script;
  script.then([&](QWidget *d) {
    EXPECT_FALSE(child<QCheckBox>(d, "CB1")->isChecked());
    click(d, "BitBtn1");
  });
  script.then(fileDialog("OpenDialog1", file));
  script.then(afterFileDialog([&](QWidget *d) {
    setChecked(d, "CB1", true);
    click(d, "Button1");
  }));
  Edit(script);
  EXPECT_EQ(pv->Picture.image().pixel(1, 1), qRgb(255, 0, 0));
  EXPECT_EQ(pv->Flags & flStretched, flStretched);
  EXPECT_EQ(form->UndoCount(), 1);
  EXPECT_TRUE(form->FileModified);
  form->Undo();
  TfrPictureView *back = dynamic_cast<TfrPictureView *>(P().Object(0));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->Picture, old);
  EXPECT_EQ(back->Flags & flStretched, 0);
}

TEST_F(PictureEditorTest, OkWithoutAChangeRecordsOneStepAndClearEmptiesThePicture) {
  TfrPictureView *pv = Picture(Bitmap(qRgb(0, 0, 255)), true);
  Show();
  const QByteArray before = report->SaveToBytes();
  ModalScript same;
  same.then([&](QWidget *d) { click(d, "Button1"); });
  Edit(same);
  EXPECT_EQ(report->SaveToBytes(), before);
  EXPECT_EQ(form->UndoCount(), 1);

  ModalScript clear;
  clear.then([&](QWidget *d) {
    click(d, "Button4");
    QCoreApplication::processEvents();
    EXPECT_TRUE(Shown(d).isEmpty());
    click(d, "Button1");
  });
  Edit(clear);
  EXPECT_TRUE(pv->Picture.isEmpty());
  EXPECT_EQ(form->UndoCount(), 2);
}

TEST_F(PictureEditorTest, AFileThatIsNoPictureIsRefusedAndTheOldPictureKept) {
  const TfrPicture old = Bitmap(qRgb(0, 0, 255));
  TfrPictureView *pv = Picture(old, true);
  Show();
  const QString junk = tmp.file("zaj.bmp");
  writeFile(junk, QByteArray("BM\x10\0\0\0 garbage", 14));
  const QString text = tmp.file("jegyzet.txt");
  writeFile(text, "szöveg");
  const QString fakeEmf = tmp.file("rajz.emf");
  writeFile(fakeEmf, wmfBytes());  // a metafile of the other kind
  ModalScript script;
  for (const auto &[file, filter] : {std::pair{junk, 1}, std::pair{text, 2}, std::pair{fakeEmf, 1}}) {
    script.then(afterFileDialog([&](QWidget *d) {
      EXPECT_EQ(Shown(d), old);
      click(d, "BitBtn1");
    }));
    script.then(fileDialog("OpenDialog1", file, filter));
  }
  script.then(afterFileDialog([&](QWidget *d) {
    EXPECT_EQ(Shown(d), old);
    click(d, "Button1");
  }));
  Edit(script);
  ASSERT_EQ(errors.size(), 3) << errors.join('\n').toStdString();
  EXPECT_TRUE(errors[0].contains(junk));
  EXPECT_TRUE(errors[1].contains(text));
  EXPECT_TRUE(errors[2].contains(fakeEmf));
  EXPECT_EQ(pv->Picture, old);
  EXPECT_EQ(form->UndoCount(), 1);  // the step OK records
}

TEST_F(PictureEditorTest, PictureFilesAreReadByTheirExtension) {
  TfrPicture pic = Bitmap(qRgb(1, 2, 3));
  QString error;
  // A bitmap is kept as it is when its header gives its length ...
  const QString bmp = Bmp("a.BMP", qRgb(9, 8, 7));
  ASSERT_TRUE(frLoadPictureFile(bmp, pic, error)) << error.toStdString();
  EXPECT_EQ(pic.kind(), TfrPicture::pkBitmap);
  QFile f(bmp);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  QByteArray raw = f.readAll();
  EXPECT_EQ(pic.data(), raw);
  // ... and stored again when it does not, so that a template can delimit it.
  qToLittleEndian<quint32>(0, raw.data() + 2);
  writeFile(tmp.file("b.bmp"), raw);
  ASSERT_TRUE(frLoadPictureFile(tmp.file("b.bmp"), pic, error)) << error.toStdString();
  EXPECT_EQ(qFromLittleEndian<quint32>(pic.data().constData() + 2), static_cast<quint32>(pic.data().size()));
  EXPECT_EQ(pic.image().pixel(2, 2), qRgb(9, 8, 7));
  TfrReport r;
  r.Pages.Add();
  r.SaveTemplate(tmp.file("t.frt"), {"x"}, pic);
  TfrPicture back;
  r.LoadTemplate(tmp.file("t.frt"), nullptr, &back, false);
  frCurrentReport = report.get();
  EXPECT_EQ(back, pic);

  ASSERT_TRUE(Bitmap(qRgb(0, 90, 0), 16, 16).image().save(tmp.file("c.ico"), "ICO"));
  ASSERT_TRUE(frLoadPictureFile(tmp.file("c.ico"), pic, error)) << error.toStdString();
  EXPECT_EQ(pic.kind(), TfrPicture::pkIcon);
  writeFile(tmp.file("d.wmf"), wmfBytes());
  ASSERT_TRUE(frLoadPictureFile(tmp.file("d.wmf"), pic, error)) << error.toStdString();
  EXPECT_EQ(pic.kind(), TfrPicture::pkMetafile);
  EXPECT_EQ(pic.data(), wmfBytes());
  // A missing file, and a bitmap named as an icon.
  const TfrPicture kept = pic;
  QDir(tmp.path()).mkdir("mappa.bmp");
  for (const auto &[name, errorNumber] : {std::pair{"nincs.bmp", ENOENT}, std::pair{"mappa.bmp", EISDIR}}) {
    EXPECT_FALSE(frLoadPictureFile(tmp.file(name), pic, error));
    EXPECT_EQ(error, QStringLiteral("Cannot open file \"%1\". %2")
                         .arg(tmp.file(name), platform::systemErrorText(errorNumber)));
  }
  QFile::copy(bmp, tmp.file("e.ico"));
  EXPECT_FALSE(frLoadPictureFile(tmp.file("e.ico"), pic, error));
  EXPECT_EQ(pic, kept);
}

TEST_F(PictureEditorTest, MemoOpensTheTextEditorOfTheObject) {
  Picture(Bitmap(qRgb(0, 0, 255)), true);
  Show();
  ModalScript without;
  without.then([&](QWidget *d) {
    EXPECT_FALSE(Enabled(d, "Button5"));
    click(d, "Button2");
  });
  Edit(without);

  QStringList opened;
  form->EditMemo = [&](TfrView &v) {
    opened << v.Name;
    return true;
  };
  ModalScript with;
  with.then([&](QWidget *d) {
    EXPECT_TRUE(Enabled(d, "Button5"));
    click(d, "Button5");
    QCoreApplication::processEvents();
    EXPECT_EQ(opened, QStringList({"Picture1"}));
    click(d, "Button2");
  });
  Edit(with);
  EXPECT_EQ(opened, QStringList({"Picture1"}));
}
