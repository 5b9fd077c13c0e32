#pragma once
// The designer fixture with a template folder of the test's own, and the
// template, picture and list helpers the template and picture dialog tests share.
#include "designer/FR_GEdit.h"
#include "designer/FR_Newrp.h"
#include "designer_fixture.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace designer::test {

// A step for the dialog that a file dialog it opened returns to. The file
// dialog is hidden before the code that opened it has taken the file, so the
// step waits until that code has deleted it.
inline void runWhenFileDialogGone(QWidget *d, const vorik::test::ModalScript::Step &step) {
  if (d->findChild<QFileDialog *>()) QTimer::singleShot(5, d, [d, step] { runWhenFileDialogGone(d, step); });
  else step(d);
}
inline vorik::test::ModalScript::Step afterFileDialog(vorik::test::ModalScript::Step step) {
  return [step](QWidget *d) { runWhenFileDialogGone(d, step); };
}

class TemplateTest : public DesignerTest {
 protected:
  void SetUp() override {
    DesignerTest::SetUp();
    frTemplateDir = tmp.file("minták");
    QDir().mkpath(frTemplateDir);
  }
  void TearDown() override {
    frTemplateDir.clear();
    DesignerTest::TearDown();
  }

  QString T(const QString &name) const { return QDir(frTemplateDir).filePath(name); }
  // A template of one page holding one text object, written by the engine.
  void WriteTemplate(const QString &name, const QStringList &description, const TfrPicture &picture = {}) {
    TfrReport r;
    r.Pages.Add();
    auto v = std::make_unique<TfrMemoView>();
    v->Name = QStringLiteral("Minta1");
    r.Pages[0]->Add(std::move(v));
    r.SaveTemplate(T(name), description, picture);
    frCurrentReport = report.get();
  }
  // A small picture of one colour, as the engine stores a bitmap.
  static TfrPicture Bitmap(QRgb color, int w = 8, int h = 6) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(color);
    TfrPicture p;
    p.setImage(img);
    return p;
  }
  // The picture a picture box of a dialog shows.
  static TfrPicture Shown(QWidget *dialog) {
    auto *box = vorik::test::child<TfrPictureBox>(dialog, "Image1");
    return box ? box->Picture() : TfrPicture();
  }
  static QStringList Items(QWidget *dialog) {
    QStringList names;
    if (auto *lb = vorik::test::child<QListWidget>(dialog, "LB1"))
      for (int i = 0; i < lb->count(); ++i) names << lb->item(i)->text();
    return names;
  }
  static bool Enabled(QWidget *dialog, const char *button) {
    auto *b = vorik::test::child<QPushButton>(dialog, QLatin1String(button));
    return b && b->isEnabled();
  }
};

}  // namespace designer::test
