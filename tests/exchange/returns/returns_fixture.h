#pragma once
// The return tests' world: one database per suite, a data module connected to
// it for each test, drive C: mapped to a fresh folder that holds the month
// folder "QZ2025\03", and helpers to read and list files by Windows path.
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "platform/win_path.h"
#include "support/data_fixture.h"
#include "support/db_fixture.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QMap>

#include <gtest/gtest.h>

#include <memory>

namespace vorik::test {

class ReturnsTest : public SuiteDatabaseTest {
 protected:
  void SetUp() override {
    resetAppState();
    drive_ = std::make_unique<TempDir>();
    qputenv("VORIK_DRIVE_C", QFile::encodeName(drive_->path()));
    QDir(drive_->path()).mkpath(QStringLiteral("QZ2025/03"));
    oldCurrent_ = QDir::currentPath();
    QDir::setCurrent(drive_->path());
    data_ = openDataModule(dbPath());
    AtvevoKod = QStringLiteral("R1");
    Edit15Option = QStringLiteral("0");
  }

  void TearDown() override {
    closeDataModule(data_);
    QDir::setCurrent(oldCurrent_);
    qunsetenv("VORIK_DRIVE_C");
    drive_.reset();
  }

  // Runs one statement in a transaction of its own and commits it.
  static void exec(const QString &sql) { execApart(*Data->ZCon1, sql); }

  static QString disk(const QString &winPath) { return platform::mapWindowsPath(winPath); }
  static QByteArray bytesOf(const QString &winPath) { return readFile(disk(winPath), "<missing>"); }
  static void put(const QString &winPath, const QByteArray &bytes) { writeFile(disk(winPath), bytes); }
  // Every file of a folder (hidden ones too) with its bytes.
  static QMap<QString, QByteArray> folderBytes(const QString &winFolder) {
    QMap<QString, QByteArray> out;
    const QDir dir(disk(winFolder));
    for (const QString &n : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
      QFile f(dir.filePath(n));
      out[n] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    return out;
  }

  std::unique_ptr<TempDir> drive_;

 private:
  std::unique_ptr<TData> data_;
  QString oldCurrent_;
};

}  // namespace vorik::test

#include "report/core/FR_Class_Build.h"
#include "report/layout_builder.h"
#include "report/output/FR_Canvas.h"

#include <QImage>
#include <QPainter>

namespace vorik::test {

// What the preview was given: the texts of every prepared page.
struct PreviewSeen {
  bool shown = false;
  QStringList texts;
};

// Captures the previews shown while it lives.
class PreviewCapture {
 public:
  PreviewCapture() {
    old_ = report::frShowPreview;
    report::frShowPreview = [this](report::TfrReport &r, std::unique_ptr<report::TfrEMFPages> pages, const QString &,
                                   bool) {
      seen.shown = true;
      r.EMFPages = std::move(pages);
      seen.texts = report::test::AllTexts(r);
      report_ = &r;
    };
  }
  ~PreviewCapture() { report::frShowPreview = old_; }
  PreviewSeen seen;

  // A shown page drawn on white, half size.
  QImage draw(int page) const {
    report::TfrPageRec *rec = report_ ? report_->EMFPages->GetPageRec(page) : nullptr;
    if (!rec) return QImage();
    const QSize size(rec->PrnInfo.pageWidth / 2, rec->PrnInfo.pageHeight / 2);
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    report::TfrPainterCanvas canvas(&painter);
    rec->Visible = true;
    report_->EMFPages->Draw(page, canvas, QRect(QPoint(0, 0), size));
    rec->Visible = false;
    return img;
  }

 private:
  report::TfrShowPreviewProc old_;
  report::TfrReport *report_ = nullptr;
};

}  // namespace vorik::test
