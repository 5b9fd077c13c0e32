#pragma once
// Printing through the data module's reports on a real embedded database:
// the program's own layouts written into the working folder, the preview
// replaced by a recorder of the prepared pages' texts, and message boxes
// answered through the dialog driver.
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "report/core/FR_Class_Build.h"
#include "report/output/FR_Canvas.h"
#include "report/output/FR_Class_EMFPages.h"
#include "support/data_fixture.h"
#include "support/db_fixture.h"
#include "support/gui_driver.h"
#include "support/temp_dir.h"
#include "tools/layouts/ProgramLayouts.h"

#include <QDir>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vorik::test {

class PrintFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    path_ = createTestDatabase(dir_->path());
    for (const auto &layout : report::layouts::ProgramLayouts()) {
      report::TfrReport r;
      layout.build(r);
      r.SaveToFile(dir_->file(layout.fileName));
    }
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  void SetUp() override {
    resetAppState();
    previous_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_->path()));
    data_ = openDataModule(path_);
    ++counter_;
    receiver_ = QStringLiteral("R%1").arg(counter_, 3, 10, QLatin1Char('0'));
    AtvevoKod = receiver_;
    TipusNormal = QStringLiteral("1");
    TipusErvenytelenito = QStringLiteral("4");
    exec(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE, V_IRSZAM, V_HELYSEG, V_UTCA, V_JELLEG, "
                        "V_HAZSZAM, V_ADOSZAM, V_BANKSZLA) VALUES ('%1', 'Kalász Felvásárló Kft. %1', "
                        "'6000', 'Kecskemét', 'Szolnoki', 'út', '12.', '12345676203', "
                        "'11700000-12345678-00000000')")
             .arg(receiver_));
    savedPreview_ = report::frShowPreview;
    report::frShowPreview = [this](report::TfrReport &r, std::unique_ptr<report::TfrEMFPages> pages,
                                   const QString &, bool modal) {
      previewed_ = &r;
      modal_ = modal;
      pages_.clear();
      for (int i = 0; i < pages->Count(); ++i) pages_.push_back(textsOf(*pages, i));
      shown_ = std::move(pages);
    };
  }

  void TearDown() override {
    report::frShowPreview = savedPreview_;
    closeDataModule(data_);
    QDir::setCurrent(previous_);
  }

  // The text of a printed object, its lines joined by "|".
  static QString textOf(const report::TfrView &v) {
    QStringList lines;
    for (QString l : v.Memo1) {
      const qsizetype mark = l.indexOf(QChar(1));  // laid-out lines carry a mark and widths
      if (mark >= 0) l.truncate(mark);
      lines << l;
    }
    return lines.join(QLatin1Char('|'));
  }
  // The texts of a prepared page.
  static QStringList textsOf(report::TfrEMFPages &pages, int page) {
    QStringList out;
    for (const auto &v : report::TfrEMFPages::ReadObjects(pages.GetPageRec(page)->Stream)) out << textOf(*v);
    return out;
  }
  // Where each object printing text sits against its cell: the room between
  // its text box and the nearest rule of the framed box around it on the
  // left and on the right, or -1 when no framed box holds it. One entry per
  // object printing that text on the shown page.
  std::vector<std::pair<int, int>> roomBesideText(int page, const QString &text) const {
    std::vector<std::pair<int, int>> out;
    if (!shown_ || !shown_->GetPageRec(page)) return out;
    const auto objects = report::TfrEMFPages::ReadObjects(shown_->GetPageRec(page)->Stream);
    for (const auto &v : objects) {
      if (textOf(*v) != text) continue;
      std::pair<int, int> room{-1, -1};
      if (v->FrameTyp != 0) room = {0, 0};  // framed itself: the text runs on its own rules
      for (const auto &f : objects) {
        if (f == v || f->FrameTyp == 0) continue;
        if (f->x > v->x || f->x + f->dx < v->x + v->dx || f->y > v->y || f->y + f->dy < v->y + v->dy) continue;
        room = {v->x - f->x, f->x + f->dx - v->x - v->dx};
      }
      out.push_back(room);
    }
    return out;
  }
  // A shown page drawn on white at the given scale; saved as PNG into the
  // folder VORIK_PAGE_PNG names, when it is set, to look at.
  QImage drawShown(int page, double scale, const QString &pngName) {
    report::TfrPageRec *rec = shown_ ? shown_->GetPageRec(page) : nullptr;
    if (!rec) return QImage();
    const QSize size(qRound(rec->PrnInfo.pageWidth * scale), qRound(rec->PrnInfo.pageHeight * scale));
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
      QPainter painter(&img);
      report::TfrPainterCanvas canvas(&painter);
      rec->Visible = true;
      shown_->Draw(page, canvas, QRect(QPoint(0, 0), size));
      rec->Visible = false;
    }
    const QString folder = qEnvironmentVariable("VORIK_PAGE_PNG");
    if (!folder.isEmpty()) img.save(QDir(folder).filePath(pngName));
    return img;
  }

  // Every text of every shown page.
  QStringList allTexts() const {
    QStringList out;
    for (const QStringList &p : pages_) out << p;
    return out;
  }
  // True when some text of the shown pages contains part.
  bool shows(const QString &part) const {
    for (const QString &t : allTexts())
      if (t.contains(part)) return true;
    return false;
  }

  // A statement, and a value, committed apart from the program's transaction.
  void exec(const QString &sql) { execApart(*Data->ZCon1, sql); }
  QString scalar(const QString &sql) { return firstValueApart(*Data->ZCon1, sql); }

  static TempDir *dir_;
  static QString path_;
  static int counter_;
  QString previous_;
  QString receiver_;
  std::unique_ptr<TData> data_;
  report::TfrShowPreviewProc savedPreview_;
  std::vector<QStringList> pages_;  // texts of the pages last shown
  std::unique_ptr<report::TfrEMFPages> shown_;
  report::TfrReport *previewed_ = nullptr;
  bool modal_ = false;
};

inline TempDir *PrintFixture::dir_ = nullptr;
inline QString PrintFixture::path_;
inline int PrintFixture::counter_ = 0;

}  // namespace vorik::test
