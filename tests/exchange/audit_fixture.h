#pragma once
// The audit data supply over a real database: one receiver "R1", two
// producers, a month of tickets with a cancelling document, and the dialog
// driven through its controls.
#include "app/MenuCommands.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "exchange/audit/Unit40.h"
#include "platform/format_settings.h"
#include "platform/ini_file.h"
#include "support/data_fixture.h"
#include "support/db_fixture.h"
#include "support/gui_driver.h"
#include "support/temp_dir.h"

#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QMap>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace vorik::test {

// A file split into the lines before the first document and one group of
// lines per document, keyed by its serial.
struct AuditFile {
  QStringList header;
  QStringList serials;  // in file order
  QMap<QString, QStringList> documents;
  static AuditFile parse(const QByteArray &bytes);
};

class AuditTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  // One statement in its own committed transaction.
  void exec(const QString &sql);
  // The first column of the first row, as committed ("" for none).
  QString scalar(const QString &sql);

  // The fixture rows (see the file's comment).
  void insertMonth();
  void producer(const QString &kod, const QString &nev, const QString &irsz, const QString &hely,
                const QString &utca, const QString &rest = QString());
  void ticket(const QString &bszam, const QString &producer, const QString &kelt, const QString &felv,
              const QString &fiz, const QString &utal, const QString &tipus, const QString &ervenyt,
              int szja, int jarul, int levonas, double sumvar);
  void line(const QString &bszam, double brutto, double levonszaz, double ear, double komp,
            const QString &name, const QString &vtsz);

  // Runs the dialog: before the collection, set adjusts it (the pickers are
  // already today); then "Kigyűjtés", the message, and, when the collection
  // enabled it, "Export" and its message; then the dialog is closed.
  struct Run {
    MessageSeen collected, exported;
    bool exportEnabled = false;
    QChar separatorWhileOpen, separatorAfterExport;
    QString edit1, edit2;  // serial fields after the export
    bool done = false;
  };
  Run collectAndExport(const std::function<void(TForm40 *)> &set = {});
  // Opens the dialog and runs steps on it and the boxes they open; the last
  // step closes it.
  bool runDialog(std::vector<ModalScript::Step> steps);

  QByteArray target() const;  // the written file, empty when none
  // The written file (when there is one with documents) passes xmllint
  // against the format's schema (data/szamla2013.xsd).
  void expectValidFile() const;
  static void setMonth(TForm40 *f);  // pickers 2025.03.01 - 2025.03.31

  std::unique_ptr<TempDir> work_;
  QString targetPath_, iniPath_;
  QDate today_{2025, 4, 5};

 private:
  static TempDir *dir_;
  static QString path_;
  std::unique_ptr<TData> data_;
};

}  // namespace vorik::test
