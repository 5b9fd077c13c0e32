// The schema upgrade dialogs on older-variant and current databases, and the
// duplicate marking, driven through their buttons on real embedded databases.
#include <QApplication>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>

#include "app/Unit2.h"
#include "app/upgrades/Unit28.h"
#include "app/upgrades/Unit36.h"
#include "app/upgrades/Unit37.h"
#include "app/upgrades/Unit42.h"
#include "app/upgrades/Unit43.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "support/data_fixture.h"
#include "support/db_fixture.h"
#include "support/gui_driver.h"
#include "support/temp_dir.h"

using namespace vorik::test;

namespace {

// A fresh database of the given variant for each test: the upgrades change
// its structure for good.
class Upgrades : public ::testing::Test {
 protected:
  void open(db::SchemaVariant variant) {
    path_ = createTestDatabase(dir_.path(), variant);
    data_ = openDataModule(path_);
  }
  void TearDown() override {
    closeDataModule(data_);
  }

  // A statement, and a value, committed apart from the program's transaction.
  void exec(const QString &sql) { execApart(*Data->ZCon1, sql); }
  QString scalar(const QString &sql) { return firstValueApart(*Data->ZCon1, sql); }
  bool hasColumn(const char *column) {
    return scalar(QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE "
                                 "RDB$RELATION_NAME = 'OSTERMELO' AND RDB$FIELD_NAME = '%1'")
                      .arg(QLatin1String(column))) == QLatin1String("1");
  }

  // Clicks the dialog's button and answers each of the boxes expected (Yes
  // where the box has it, else OK); returns their texts.
  QStringList boxesOf(QPushButton *button, int expected) {
    ModalScript script;
    QStringList texts;
    for (int i = 0; i < expected; ++i)
      script.then([&texts](QWidget *box) {
        const MessageSeen seen = readMessage(box);
        texts << seen.text;
        click(box, seen.buttons.contains(QStringLiteral("Yes")) ? QStringLiteral("Yes")
                                                                 : QStringLiteral("OK"));
      });
    EXPECT_TRUE(script.run([&] { button->click(); }, 10000));
    QApplication::processEvents();
    return texts;
  }

  TempDir dir_;
  QString path_;
  std::unique_ptr<TData> data_;
};

const QString kDone = QStringLiteral("Módositás végrehajtva.");

}  // namespace

TEST_F(Upgrades, NebihColumnsAddedOnAnOlderDatabaseAndReportedOnTheNextRun) {
  open(db::SchemaVariant::Old);
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV) VALUES ('1', 'Első')"));
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV) VALUES ('2', 'Második')"));
  TForm43 f;
  f.show();
  EXPECT_EQ(boxesOf(f.Button1, 1), QStringList{kDone});
  for (const char *c : {"O_IGSZAM1", "O_ERVKELT1", "O_CSGAZD1"}) EXPECT_TRUE(hasColumn(c)) << c;
  EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM OSTERMELO WHERE O_ERVKELT1 = '2021-01-01'")),
            QStringLiteral("2"));
  // A second run reports each column; a producer entered since without a
  // validity gets the start value, which the run reports as done.
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV) VALUES ('3', 'Harmadik')"));
  EXPECT_EQ(boxesOf(f.Button1, 4),
            (QStringList{QStringLiteral("Már létezik az östermelöben O_IGSZAM1!"),
                         QStringLiteral("Már létezik az östermelöben O_ERVKELT1!"),
                         QStringLiteral("Már létezik az östermelöben O_CSGAZD1!"), kDone}));
  EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM OSTERMELO WHERE O_ERVKELT1 IS NULL")),
            QStringLiteral("0"));
  // Nothing left to do: the columns are reported and nothing else.
  EXPECT_EQ(boxesOf(f.Button1, 3).size(), 3);
}

// An earlier run added O_IGSZAM1 and O_ERVKELT1 and failed before the dates:
// the validity dates are written now, not only reported as done.
TEST_F(Upgrades, NebihValidityLeftEmptyByAFailedRunIsFilled) {
  open(db::SchemaVariant::Old);
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV) VALUES ('1', 'Első')"));
  exec(QStringLiteral("ALTER TABLE OSTERMELO ADD O_IGSZAM1 SZOVEG20"));
  exec(QStringLiteral("ALTER TABLE OSTERMELO ADD O_ERVKELT1 D_ERVKELT"));
  TForm43 f;
  f.show();
  EXPECT_EQ(boxesOf(f.Button1, 3),
            (QStringList{QStringLiteral("Már létezik az östermelöben O_IGSZAM1!"),
                         QStringLiteral("Már létezik az östermelöben O_ERVKELT1!"), kDone}));
  EXPECT_TRUE(hasColumn("O_CSGAZD1"));
  EXPECT_EQ(scalar(QStringLiteral("SELECT O_ERVKELT1 FROM OSTERMELO WHERE O_KOD = '1'")),
            QStringLiteral("2021.01.01"));
}

TEST_F(Upgrades, NebihRunThatStoppedHalfWayIsCompleted) {
  open(db::SchemaVariant::Old);
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV) VALUES ('1', 'Első')"));
  exec(QStringLiteral("ALTER TABLE OSTERMELO ADD O_IGSZAM1 SZOVEG20"));
  TForm43 f;
  f.show();
  EXPECT_EQ(boxesOf(f.Button1, 2),
            (QStringList{QStringLiteral("Már létezik az östermelöben O_IGSZAM1!"), kDone}));
  EXPECT_TRUE(hasColumn("O_ERVKELT1"));
  EXPECT_TRUE(hasColumn("O_CSGAZD1"));
  EXPECT_EQ(scalar(QStringLiteral("SELECT O_ERVKELT1 FROM OSTERMELO WHERE O_KOD = '1'")),
            QStringLiteral("2021.01.01"));
}

TEST_F(Upgrades, ColumnUpgradesOnOlderAndCurrentDatabases) {
  open(db::SchemaVariant::Old);
  {
    // The pension-member column: added, then "Már létezik!"; the dialog closes both times.
    TForm28 f;
    f.show();
    EXPECT_EQ(boxesOf(f.Button1, 1), QStringList{kDone});
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(hasColumn("O_MNYPTAG"));
    f.show();
    EXPECT_EQ(boxesOf(f.Button1, 1), QStringList{QStringLiteral("Már létezik!")});
    EXPECT_FALSE(f.isVisible());
  }
  {
    // FELIR: the dialog stays open.
    TForm37 f;
    f.show();
    EXPECT_EQ(boxesOf(f.Button1, 1), QStringList{kDone});
    EXPECT_TRUE(hasColumn("O_FELIR"));
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(boxesOf(f.Button1, 1), QStringList{QStringLiteral("Már létezik az östermelöben!")});
  }
  {
    // The chamber id takes 20 characters after the widening, and a second run is harmless.
    EXPECT_THROW(exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_KAMARA) VALUES ('9', "
                                     "'12345678901234567890')")),
                 db::Error);
    TForm42 f;
    f.show();
    EXPECT_EQ(boxesOf(f.Button1, 1), QStringList{kDone});
    EXPECT_EQ(boxesOf(f.Button1, 1), QStringList{kDone});
    exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_KAMARA) VALUES ('9', "
                        "'12345678901234567890')"));
  }
}

TEST_F(Upgrades, CurrentDatabaseReportsEveryColumn) {
  open(db::SchemaVariant::Current);
  TForm43 f;
  f.show();
  EXPECT_EQ(boxesOf(f.Button1, 3).size(), 3);
  TForm37 felir;
  felir.show();
  EXPECT_EQ(boxesOf(felir.Button1, 1), QStringList{QStringLiteral("Már létezik az östermelöben!")});
}

TEST_F(Upgrades, DatabaseUsedByAnotherProgramIsNotChanged) {
  open(db::SchemaVariant::Old);
  // A second attachment, as another program instance has.
  db::Connection other;
  other.setDatabaseName(path_);
  other.setParams({QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=tulipfang"),
                   QStringLiteral("lc_ctype=WIN1250")});
  other.open();
  TForm43 nebih;
  TForm28 pension;
  TForm42 chamber;
  for (Upgrade::UpgradeDialog *f : {static_cast<Upgrade::UpgradeDialog *>(&nebih),
                                    static_cast<Upgrade::UpgradeDialog *>(&pension),
                                    static_cast<Upgrade::UpgradeDialog *>(&chamber)}) {
    f->show();
    EXPECT_EQ(boxesOf(f->Button1, 1), QStringList{Upgrade::inUseMessage()});
  }
  for (const char *c : {"O_IGSZAM1", "O_ERVKELT1", "O_CSGAZD1", "O_MNYPTAG"})
    EXPECT_FALSE(hasColumn(c)) << c;
  other.close();
  EXPECT_EQ(boxesOf(nebih.Button1, 1), QStringList{kDone});
}

TEST_F(Upgrades, DuplicateTaxNumbersMarkedAfterTheFirstProducer) {
  open(db::SchemaVariant::Current);
  const char *rows[][2] = {{"9", "8123456789"}, {"5", "8123456789"}, {"7", "8123456789"},
                           {"3", "8000000000"}, {"4", " "},          {"6", ""}};
  for (const auto &r : rows)
    exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_ADOAZON, O_SZJA) VALUES ('%1', '%2', 15)")
             .arg(QLatin1String(r[0]), QLatin1String(r[1])));
  TForm36 f;
  f.show();
  EXPECT_EQ(boxesOf(f.Button1, 1), QStringList{QStringLiteral("Vége.")});
  auto szja = [&](const char *code) {
    return scalar(QStringLiteral("SELECT O_SZJA FROM OSTERMELO WHERE O_KOD = '%1'").arg(QLatin1String(code)));
  };
  EXPECT_EQ(szja("5"), QStringLiteral("15"));
  EXPECT_EQ(szja("7"), QStringLiteral("1"));
  EXPECT_EQ(szja("9"), QStringLiteral("1"));
  EXPECT_EQ(szja("3"), QStringLiteral("15"));
  // Two empty numbers count as one repeated number.
  EXPECT_EQ(szja("4"), QStringLiteral("15"));
  EXPECT_EQ(szja("6"), QStringLiteral("1"));
}
