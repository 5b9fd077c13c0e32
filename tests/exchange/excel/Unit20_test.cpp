// The Excel export dialog against a real embedded database: the workbooks it
// saves are read back by xlrd and checked cell by cell.
#include "../grid_check.h"
#include "app/MenuCommands.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "exchange/excel/Biff5.h"
#include "exchange/excel/Unit20.h"
#include "platform/launcher.h"
#include "support/data_fixture.h"
#include "support/db_fixture.h"
#include "support/gui_driver.h"
#include "support/temp_dir.h"
#include "workbook_reader.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

#include <gtest/gtest.h>

#include <memory>

#include <sys/stat.h>

using namespace vorik::test;

namespace {

const QStringList kTicketHeaders = {
    "F_FIZKELT", "F_FELVKELT", "F_KELT",    "F_OSTERMKOD", "O_NEV",    "S_BSZAM",    "S_MEGNEVEZES", "S_NETTO",
    "S_MEGY",    "S_EAR",      "S_KOMPMERTEKE", "F_SZJA",  "O_ADOAZON", "O_ADOSZAM", "O_TAJ",        "O_IGSZAM",
    "O_REGSZAM", "O_CSGAZD",   "O_HELYSEGNEV", "O_UTCA",   "O_BANKSZLA", "F_MUVKTG", "O_IGSZAM1",    "O_CSGAZD1"};
const int kTicketWidths[] = {12, 12, 12, 10, 45, 15, 45, 15, 15, 15, 5, 5, 15, 17, 15, 10, 15, 12, 45, 45, 30, 15, 15, 13};
const QStringList kProducerHeaders = {"O_NEV",    "O_IRSZAM", "O_HELYSEGNEV", "O_UTCA",    "O_SZULNEV", "O_SZULHELY",
                                      "O_SZIDO",  "O_ANYJA",  "O_NEME",       "O_ADOAZON", "O_ADOSZAM", "O_TAJ",
                                      "O_IGSZAM", "O_REGSZAM", "O_CSGAZD",    "O_BANKSZLA", "O_IGSZAM1", "O_CSGAZD1",
                                      "O_FELIR",  "O_JELLEG", "O_HAZSZAM"};
const int kProducerWidths[] = {45, 4, 45, 45, 45, 45, 20, 45, 3, 15, 15, 15, 10, 15, 12, 30, 15, 13, 9, 20, 20};

// xlrd's cell types and alignments.
constexpr int kText = 1, kNumber = 2, kDate = 3, kBlank = 6;
constexpr int kLeft = 1, kRight = 3;

// The first producer's columns as the ticket-line sheet has them (M to U, W, X).
const char *const kProducer1[] = {"8123456789", "12345678106", "123456789", "AB123456", "R1234567",
                                  "CS12",       "Szeged",        "Árpád tér", "11773016-11111111", "N-55",
                                  "OC-77"};

class ExcelExport : public SuiteDatabaseTest {
 protected:
  void SetUp() override {
    work_ = std::make_unique<TempDir>();
    oldCurrent_ = QDir::currentPath();
    QDir::setCurrent(work_->path());
    platform::setLauncher(&launcher_);
    data_ = openDataModule(dbPath());
    AtvevoKod = QStringLiteral("R1");
    if (!filled_) {
      Fill();
      filled_ = true;
    }
  }

  void TearDown() override {
    closeDataModule(data_);
    platform::setLauncher(nullptr);
    QDir::setCurrent(oldCurrent_);
    work_.reset();
  }

  void exec(const QString &sql) { execApart(*Data->ZCon1, sql); }

  // Two receivers; producer 1 with every column, producer 2 without a date of
  // birth; tickets at both ends of 2025 and outside it, one of another
  // receiver, one whose producer code matches no producer, and a line
  // without a ticket.
  void Fill() {
    exec(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('R1', 'Első átvevő')"));
    exec(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('R2', 'Második átvevő')"));
    exec(QStringLiteral(
        "INSERT INTO OSTERMELO (O_KOD, O_NEV, O_IRSZAM, O_HELYSEGNEV, O_UTCA, O_SZULNEV, O_SZULHELY, O_SZIDO, "
        "O_ANYJA, O_NEME, O_ADOAZON, O_ADOSZAM, O_TAJ, O_IGSZAM, O_REGSZAM, O_CSGAZD, O_BANKSZLA, O_IGSZAM1, "
        "O_CSGAZD1, O_FELIR, O_JELLEG, O_HAZSZAM) VALUES ('1', 'Kővári Ödön', '6720', 'Szeged', 'Árpád tér', "
        "'Kővári Ödön', 'Hódmezővásárhely', '1960-05-17', 'Űrös Mária', '1', '8123456789', '12345678106', "
        "'123456789', 'AB123456', 'R1234567', 'CS12', '11773016-11111111', 'N-55', 'OC-77', 'FE1234567', "
        "'tér', '12/a')"));
    exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV) VALUES ('2', 'Űrös Árpádné')"));
    const char *tickets[] = {
        // serial, producer, receiver, issue, purchase, payment, tax rate, payable
        "'25000001', '1', 'R1', '2024-12-31', '2024-12-31', '2025-01-01', 15, 12345.5",
        "'25000002', '99', 'R1', NULL, '2025-12-31', '2025-12-31', 0, NULL",
        "'25000003', '2', 'R1', '2025-07-01', '2025-07-01', '2026-01-01', 15, 100",
        "'25000004', '1', 'R2', '2025-06-01', '2025-06-01', '2025-06-01', 15, 200",
        "'25000005', '2', 'R1', '2025-01-01', '2025-01-01', '2025-06-15', 15, -300.25",
        "'25000006', '2', 'R1', '2024-12-31', '2024-12-31', '2024-12-31', 15, 400",
    };
    for (const char *t : tickets)
      exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_AKOD, F_KELT, F_FELVKELT, F_FIZKELT, F_SZJA, "
                          "F_MUVKTG, F_TIPUS) VALUES (%1, '1')")
               .arg(QLatin1String(t)));
    const char *lines[] = {
        // serial, name, gross, unit, price, compensation, deduction %
        "'25000001', 'Őszibarack I. osztály', 100, 'kg', 212.5, 12, 5",
        "'25000002', 'Körte „extra”', 50.5, 'kg', 180, 7, 0",
        "'25000003', 'Szilva', 10, 'kg', 100, 12, 0",
        "'25000004', 'Alma', 10, 'kg', 100, 12, 0",
        "'25000005', 'Dió', -20, 'db', 1500.75, 12, 0",
        "'25000006', 'Meggy', 10, 'kg', 100, 12, 0",
        "'25000099', 'Fej nélküli', 10, 'kg', 100, 12, 0",
    };
    for (const char *l : lines)
      exec(QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_MEGNEVEZES, S_BRUTTO, S_MEGY, S_EAR, S_KOMPMERTEKE, "
                          "S_LEVONSZAZ) VALUES (%1)")
               .arg(QString::fromUtf8(l)));
  }

  // The net quantity the database derives for the line of a serial.
  double Netto(const QString &serial) {
    db::Query q;
    q.setTransaction(Data->IBTrans1);
    q.sql().add(QStringLiteral("SELECT s_netto FROM qzsor WHERE s_bszam = '%1'").arg(serial));
    q.open();
    return q.field(0).asFloat();
  }

  // The dialog shown (not modal); its message boxes are answered by a script.
  std::unique_ptr<TForm20> Open() {
    auto f = showForm(Form20);
    f->DateTimePicker1->setDate(QDate(2025, 1, 1));
    f->DateTimePicker2->setDate(QDate(2025, 12, 31));
    return f;
  }

  // Runs an export handler and answers its boxes in turn; the texts seen.
  std::vector<MessageSeen> Run(const std::function<void()> &action,
                               std::vector<QMessageBox::StandardButton> answers) {
    std::vector<MessageSeen> seen = answerBoxes(action, answers);
    EXPECT_EQ(seen.size(), answers.size());
    seen.resize(answers.size());
    return seen;
  }

  static QJsonArray Rows(const QJsonObject &book) { return book[QStringLiteral("sheets")][0][QStringLiteral("rows")].toArray(); }
  static QJsonObject At(const QJsonArray &rows, int r, int c) { return rows[r][c].toObject(); }

  static void ExpectText(const QJsonObject &cell, const QString &text, const char *where) {
    EXPECT_EQ(cell[QStringLiteral("t")].toInt(), kText) << where;
    EXPECT_EQ(cell[QStringLiteral("v")].toString(), text) << where;
  }
  static void ExpectNumber(const QJsonObject &cell, double value, const char *where) {
    EXPECT_EQ(cell[QStringLiteral("t")].toInt(), kNumber) << where;
    EXPECT_DOUBLE_EQ(cell[QStringLiteral("v")].toDouble(), value) << where;
  }
  static void ExpectDate(const QJsonObject &cell, QDate d, const char *where) {
    EXPECT_EQ(cell[QStringLiteral("t")].toInt(), kDate) << where;
    EXPECT_EQ(cell[QStringLiteral("v")].toArray(), (QJsonArray{d.year(), d.month(), d.day(), 0, 0, 0})) << where;
  }
  static void ExpectBlank(const QJsonObject &cell, const char *where) {
    EXPECT_EQ(cell[QStringLiteral("t")].toInt(), kBlank) << where;
  }

  // Header row, bold range, widths and alignments of the ticket-line sheet
  // with rows data rows.
  static void ExpectTicketSheetLayout(const QJsonObject &book, int rows) {
    const QJsonObject sheet = book[QStringLiteral("sheets")][0].toObject();
    EXPECT_EQ(sheet[QStringLiteral("nrows")].toInt(), rows + 1);
    EXPECT_EQ(sheet[QStringLiteral("ncols")].toInt(), 39) << "bold through AM1";
    const QJsonArray all = sheet[QStringLiteral("rows")].toArray();
    for (int c = 0; c < 39; ++c) {
      const QJsonObject h = At(all, 0, c);
      EXPECT_TRUE(h[QStringLiteral("bold")].toBool()) << c;
      if (c < 24) {
        ExpectText(h, kTicketHeaders[c], "header");
      } else {
        ExpectBlank(h, "bold past the headers");
        EXPECT_EQ(h[QStringLiteral("align")].toInt(), 0);
      }
    }
    const QJsonObject widths = sheet[QStringLiteral("widths")].toObject();
    EXPECT_EQ(widths.size(), 24);
    for (int c = 0; c < 24; ++c) {
      EXPECT_EQ(widths[QString::number(c)].toInt(), excel::StoredColumnWidth(kTicketWidths[c])) << c;
      const bool right = c == 7 || c == 9 || c == 10 || c == 11;
      for (int r = 0; r <= rows; ++r) {
        EXPECT_EQ(At(all, r, c)[QStringLiteral("align")].toInt(), right ? kRight : kLeft) << r << " " << c;
        if (r > 0) {
          EXPECT_FALSE(At(all, r, c)[QStringLiteral("bold")].toBool());
        }
      }
    }
  }

  static bool filled_;
  // The end message of a saved workbook: it names the file's full path.
  QString Saved(const QString &endText, const char *file) const {
    return endText + QStringLiteral("\rMentve: ") + QFileInfo(work_->file(QLatin1String(file))).absoluteFilePath();
  }

  std::unique_ptr<TempDir> work_;
  QString oldCurrent_;
  FakeLauncher launcher_;
  std::unique_ptr<TData> data_;
};

bool ExcelExport::filled_ = false;

}  // namespace

TEST_F(ExcelExport, TicketLinesThroughTheMenuEveryCellChecked) {
  MessageSeen end;
  ModalScript script;
  script.then([](QWidget *dlg) {
    EXPECT_EQ(dlg->objectName(), QStringLiteral("Form20"));
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("Excel  táblába"));
    EXPECT_FALSE(child<QPushButton>(dlg, QStringLiteral("Button4"))->isEnabled()) << "before its gather";
    child<QDateEdit>(dlg, QStringLiteral("DateTimePicker1"))->setDate(QDate(2025, 1, 1));
    child<QDateEdit>(dlg, QStringLiteral("DateTimePicker2"))->setDate(QDate(2025, 12, 31));
    click(dlg, QStringLiteral("Button1"));
    click(dlg, QStringLiteral("Button4"));
  });
  script.then(answer(QMessageBox::Ok, &end));
  script.then([](QWidget *dlg) {
    EXPECT_EQ(child<QProgressBar>(dlg, QStringLiteral("ProgressBar1"))->value(), 3);
    click(dlg, QStringLiteral("Button3"));
  });
  ASSERT_TRUE(script.run([] { ASSERT_TRUE(RunMenuCommand(QStringLiteral("Adatokexceltblba1"))); }, 60000));
  EXPECT_EQ(end.kind, QStringLiteral("Information"));
  EXPECT_EQ(end.caption, QStringLiteral("Kész!"));
  EXPECT_EQ(end.text, Saved(QStringLiteral("A vorik konvertálás befejeződött!"), "QZFEJ.xls"));

  const QString file = work_->file(QStringLiteral("QZFEJ.xls"));
  ASSERT_TRUE(QFile::exists(file));
  EXPECT_EQ(launcher_.opened, QStringList{QFileInfo(file).absoluteFilePath()}) << "shown: opened after the save";
  EXPECT_EQ(ReadBookStream(file).left(4), QByteArray("\x09\x08\x08\x00", 4)) << "BIFF5 in the Book stream";
  const QJsonObject book = ReadWithXlrd(file);
  ASSERT_FALSE(book.isEmpty());
  EXPECT_EQ(book[QStringLiteral("biff")].toInt(), 70) << "Excel 95";
  // Payment dates in 2025, receiver R1: both ends, in serial order; not the
  // other receiver's ticket, the ones outside the range or the headless line.
  ExpectTicketSheetLayout(book, 3);
  const QJsonArray rows = Rows(book);

  // 25000001: producer 1 with every column.
  ExpectDate(At(rows, 1, 0), QDate(2025, 1, 1), "A2");
  ExpectDate(At(rows, 1, 1), QDate(2024, 12, 31), "B2");
  ExpectDate(At(rows, 1, 2), QDate(2024, 12, 31), "C2");
  ExpectText(At(rows, 1, 3), QStringLiteral("1"), "D2");
  ExpectText(At(rows, 1, 4), QStringLiteral("Kővári Ödön"), "E2");
  ExpectText(At(rows, 1, 5), QStringLiteral("25000001"), "F2");
  ExpectText(At(rows, 1, 6), QStringLiteral("Őszibarack I. osztály"), "G2");
  ExpectNumber(At(rows, 1, 7), Netto(QStringLiteral("25000001")), "H2");
  EXPECT_DOUBLE_EQ(At(rows, 1, 7)[QStringLiteral("v")].toDouble(), 95) << "100 kg less 5 %";
  ExpectText(At(rows, 1, 8), QStringLiteral("kg"), "I2");
  ExpectNumber(At(rows, 1, 9), 212.5, "J2");
  ExpectNumber(At(rows, 1, 10), 12, "K2");
  ExpectNumber(At(rows, 1, 11), 15, "L2");
  for (int c = 12; c <= 20; ++c) ExpectText(At(rows, 1, c), QString::fromUtf8(kProducer1[c - 12]), "M2-U2");
  ExpectNumber(At(rows, 1, 21), 12345.5, "V2");
  ExpectText(At(rows, 1, 22), QString::fromUtf8(kProducer1[9]), "W2");
  ExpectText(At(rows, 1, 23), QString::fromUtf8(kProducer1[10]), "X2");

  // 25000002: no such producer (left join), no issue date, no payable.
  ExpectDate(At(rows, 2, 0), QDate(2025, 12, 31), "A3");
  ExpectDate(At(rows, 2, 1), QDate(2025, 12, 31), "B3");
  ExpectBlank(At(rows, 2, 2), "C3: null date");
  ExpectText(At(rows, 2, 3), QStringLiteral("99"), "D3");
  ExpectBlank(At(rows, 2, 4), "E3: no producer");
  ExpectText(At(rows, 2, 6), QStringLiteral("Körte „extra”"), "G3");
  ExpectNumber(At(rows, 2, 7), Netto(QStringLiteral("25000002")), "H3");
  ExpectNumber(At(rows, 2, 9), 180, "J3");
  ExpectNumber(At(rows, 2, 11), 0, "L3");
  for (int c = 12; c <= 20; ++c) ExpectBlank(At(rows, 2, c), "M3-U3: no producer");
  ExpectBlank(At(rows, 2, 21), "V3: null amount");
  ExpectBlank(At(rows, 2, 22), "W3");
  ExpectBlank(At(rows, 2, 23), "X3");

  // 25000005: producer 2, who has a name only; a negative quantity and payable.
  ExpectDate(At(rows, 3, 0), QDate(2025, 6, 15), "A4");
  ExpectText(At(rows, 3, 4), QStringLiteral("Űrös Árpádné"), "E4");
  ExpectText(At(rows, 3, 5), QStringLiteral("25000005"), "F4");
  ExpectNumber(At(rows, 3, 7), -20, "H4");
  ExpectText(At(rows, 3, 8), QStringLiteral("db"), "I4");
  ExpectNumber(At(rows, 3, 9), 1500.75, "J4");
  ExpectNumber(At(rows, 3, 21), -300.25, "V4");
  for (int c = 12; c <= 20; ++c) ExpectBlank(At(rows, 3, c), "M4-U4");
}

TEST_F(ExcelExport, PurchaseDateRangeAndReplacingTheFile) {
  auto f = Open();
  f->CheckBox1->setChecked(false);
  f->RadioButton2->setChecked(true);
  f->Button1Click();
  ASSERT_TRUE(f->Button4->isEnabled());
  // The range's headers are found through their date index, not by reading every line.
  EXPECT_TRUE(f->ZQ20->plan().contains(QLatin1String("IX_QZFEJ_FELVKELT_EXP"))) << f->ZQ20->plan().toStdString();
  const QString file = work_->file(QStringLiteral("QZFEJ.xls"));
  QFile old(file);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("an older workbook");
  old.close();

  // No: nothing saved, and no end message after the failure.
  auto seen = Run([&] { f->Button4Click(); }, {QMessageBox::No, QMessageBox::Ok});
  EXPECT_EQ(seen[0].kind, QStringLiteral("Confirmation"));
  EXPECT_EQ(seen[0].text, QStringLiteral("A(z) QZFEJ.xls fájl már létezik. Lecseréli?"));
  EXPECT_EQ(seen[1].kind, QStringLiteral("Message"));
  EXPECT_EQ(seen[1].text, QStringLiteral("A fájl mentése nem történt meg!"));
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), QByteArray("an older workbook"));
  old.close();

  // Yes: replaced; not shown, so nothing is opened.
  seen = Run([&] { f->Button4Click(); }, {QMessageBox::Yes, QMessageBox::Ok});
  EXPECT_EQ(seen[1].text, Saved(QStringLiteral("A vorik konvertálás befejeződött!"), "QZFEJ.xls"));
  EXPECT_TRUE(launcher_.opened.isEmpty());
  const QJsonObject book = ReadWithXlrd(file);
  ASSERT_FALSE(book.isEmpty());
  // Purchase dates in 2025: 25000002 (last day), 25000003, 25000005 (first day).
  ExpectTicketSheetLayout(book, 3);
  const QJsonArray rows = Rows(book);
  ExpectText(At(rows, 1, 5), QStringLiteral("25000002"), "F2");
  ExpectText(At(rows, 2, 5), QStringLiteral("25000003"), "F3");
  ExpectDate(At(rows, 2, 0), QDate(2026, 1, 1), "A3");
  ExpectText(At(rows, 3, 5), QStringLiteral("25000005"), "F4");
  ExpectDate(At(rows, 3, 1), QDate(2025, 1, 1), "B4");
  EXPECT_EQ(QDir(work_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("QZFEJ.xls")});
}

TEST_F(ExcelExport, ExportFollowsTheTabsOwnGather) {
  auto f = Open();
  EXPECT_FALSE(f->Button4->isEnabled());
  EXPECT_FALSE(f->Button6->isEnabled());
  EXPECT_EQ(f->PageControl1->tabText(0), QStringLiteral("Vorik"));
  EXPECT_EQ(f->PageControl1->tabText(1), QStringLiteral("Östermelö"));
  f->Button5Click();
  EXPECT_TRUE(f->Button6->isEnabled());
  EXPECT_FALSE(f->Button4->isEnabled()) << "the other tab's gather does not count";
  f->Button1Click();
  EXPECT_TRUE(f->Button4->isEnabled());
  EXPECT_EQ(f->DBGrid1->model()->rowCount(), 3);
  EXPECT_EQ(f->DBGrid1->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Megnevezés"));
  f->DateTimePicker2->setDate(QDate(2025, 11, 30));
  EXPECT_FALSE(f->Button4->isEnabled()) << "a changed range";
  f->Button1Click();
  f->RadioButton2->setChecked(true);
  EXPECT_FALSE(f->Button4->isEnabled()) << "another date kind";
  f->Button1Click();
  EXPECT_TRUE(f->Button4->isEnabled());

  // A commit of the transaction closes the query: nothing left to export.
  Data->IBTrans1->commit();
  EXPECT_FALSE(f->Button4->isEnabled());
  EXPECT_FALSE(f->Button6->isEnabled());
  f->Button1Click();
  f->Button5Click();
  EXPECT_TRUE(f->Button4->isEnabled());

  // A gather that fails leaves export off.
  Data->ZCon1->close();
  const auto seen = Run([&] { f->Button1->click(); }, {QMessageBox::Ok});
  EXPECT_EQ(seen[0].kind, QStringLiteral("Error"));
  EXPECT_FALSE(f->Button4->isEnabled());
  EXPECT_FALSE(f->Button6->isEnabled()) << "the connection closed took the producers' rows too";
}

TEST_F(ExcelExport, AnEmptyResultGivesTheHeaderRowOnly) {
  auto f = Open();
  f->DateTimePicker1->setDate(QDate(2030, 1, 1));
  f->DateTimePicker2->setDate(QDate(2030, 12, 31));
  f->Button1Click();
  const auto seen = Run([&] { f->Button4Click(); }, {QMessageBox::Ok});
  EXPECT_EQ(seen[0].text, Saved(QStringLiteral("A vorik konvertálás befejeződött!"), "QZFEJ.xls"));
  const QJsonObject book = ReadWithXlrd(work_->file(QStringLiteral("QZFEJ.xls")));
  ASSERT_FALSE(book.isEmpty());
  ExpectTicketSheetLayout(book, 0);
  EXPECT_EQ(launcher_.opened.size(), 1);

  // The desktop's opener starts but finds no program for the file: the file
  // was saved, where, and that it could not be opened; the end message
  // follows; the file stays.
  platform::setLauncher(nullptr);
  ProgramOnPath opener(QStringLiteral("xdg-open"), "echo 'xdg-open: no method available for opening' >&2\nexit 3\n");
  const auto again = Run([&] { f->Button4Click(); }, {QMessageBox::Yes, QMessageBox::Ok, QMessageBox::Ok});
  EXPECT_EQ(again[1].kind, QStringLiteral("Information"));
  EXPECT_EQ(again[1].text, QStringLiteral("A munkafüzet elmentve: ") + QFileInfo(work_->file(QStringLiteral("QZFEJ.xls"))).absoluteFilePath() +
                                QStringLiteral("\rMegnyitni nem sikerült."));
  EXPECT_EQ(again[2].text, Saved(QStringLiteral("A vorik konvertálás befejeződött!"), "QZFEJ.xls"));
  EXPECT_TRUE(QFile::exists(work_->file(QStringLiteral("QZFEJ.xls"))));
}

TEST_F(ExcelExport, ProducersSheet) {
  auto f = Open();
  f->PageControl1->setCurrentIndex(1);
  f->Button5Click();
  expectGridReadable(f.get(), QStringLiteral("DBGrid2"));
  const auto seen = Run([&] { f->Button6Click(); }, {QMessageBox::Ok});
  EXPECT_EQ(seen[0].caption, QStringLiteral("Kész!"));
  EXPECT_EQ(seen[0].text, Saved(QStringLiteral("AZ östermelö konvertálás befejeződött!"), "OSTERMELO.xls"));
  EXPECT_EQ(launcher_.opened, QStringList{QFileInfo(work_->file(QStringLiteral("OSTERMELO.xls"))).absoluteFilePath()});
  const QJsonObject book = ReadWithXlrd(work_->file(QStringLiteral("OSTERMELO.xls")));
  ASSERT_FALSE(book.isEmpty());
  const QJsonObject sheet = book[QStringLiteral("sheets")][0].toObject();
  EXPECT_EQ(sheet[QStringLiteral("nrows")].toInt(), 3);
  EXPECT_EQ(sheet[QStringLiteral("ncols")].toInt(), 21);
  const QJsonArray rows = Rows(book);
  const QJsonObject widths = sheet[QStringLiteral("widths")].toObject();
  for (int c = 0; c < 21; ++c) {
    ExpectText(At(rows, 0, c), kProducerHeaders[c], "header");
    EXPECT_TRUE(At(rows, 0, c)[QStringLiteral("bold")].toBool());
    EXPECT_EQ(widths[QString::number(c)].toInt(), excel::StoredColumnWidth(kProducerWidths[c])) << c;
    for (int r = 0; r < 3; ++r) EXPECT_EQ(At(rows, r, c)[QStringLiteral("align")].toInt(), kLeft);
  }
  const char *const first[] = {"Kővári Ödön", "6720", "Szeged", "Árpád tér", "Kővári Ödön", "Hódmezővásárhely",
                               nullptr, "Űrös Mária", "1", "8123456789", "12345678106", "123456789", "AB123456",
                               "R1234567", "CS12", "11773016-11111111", "N-55", "OC-77", "FE1234567", "tér", "12/a"};
  for (int c = 0; c < 21; ++c) {
    if (first[c]) ExpectText(At(rows, 1, c), QString::fromUtf8(first[c]), "row 2");
  }
  ExpectDate(At(rows, 1, 6), QDate(1960, 5, 17), "G2");
  ExpectText(At(rows, 2, 0), QStringLiteral("Űrös Árpádné"), "A3");
  for (int c = 1; c < 21; ++c) ExpectBlank(At(rows, 2, c), "row 3: nulls, the date of birth among them");
}

TEST_F(ExcelExport, ATargetThatMayNotBeReplacedKeepsTheOldFile) {
  auto f = Open();
  f->PageControl1->setCurrentIndex(1);
  f->Button5Click();
  const QString file = work_->file(QStringLiteral("OSTERMELO.xls"));
  QFile old(file);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("kept");
  old.close();
  ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0444), 0);
  const auto seen = Run([&] { f->Button6Click(); }, {QMessageBox::Yes, QMessageBox::Ok});
  EXPECT_EQ(seen[1].text, QStringLiteral("A fájl mentése nem történt meg!\rOSTERMELO.xls: csak olvasható fájl."));
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), QByteArray("kept"));
  EXPECT_TRUE(launcher_.opened.isEmpty());
  EXPECT_EQ(QDir(work_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("OSTERMELO.xls")});
}

TEST_F(ExcelExport, AResultPastTheSheetsRowsSavesNothing) {
  // 16,384 lines of one receiver: with the header 16,385 rows, one more than
  // a sheet holds.
  exec(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('BIG', 'Nagy átvevő')"));
  QString digits = QStringLiteral("(SELECT 0 AS n FROM rdb$database");
  for (int d = 1; d <= 9; ++d) digits += QStringLiteral(" UNION ALL SELECT %1 FROM rdb$database").arg(d);
  digits += QLatin1Char(')');
  exec(QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_MEGNEVEZES, S_BRUTTO, S_MEGY, S_EAR, S_KOMPMERTEKE, "
                      "S_LEVONSZAZ) SELECT 30000000 + x / 4, 'Alma', 1, 'kg', 100, 12, 0 FROM "
                      "(SELECT a.n + 10 * b.n + 100 * c.n + 1000 * d.n + 10000 * e.n AS x "
                      "FROM %1 a, %1 b, %1 c, %1 d, %1 e) WHERE x < 16384")
           .arg(digits));
  exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_AKOD, F_FELVKELT, F_FIZKELT, F_TIPUS) SELECT DISTINCT "
                      "s_bszam, 'BIG', '2025-03-03', '2025-03-03', '1' FROM qzsor WHERE s_bszam >= '30000000'"));
  AtvevoKod = QStringLiteral("BIG");

  auto f = Open();
  f->Button1Click();
  ASSERT_EQ(f->ZQ20->recordCount(), 16384);
  auto seen = Run([&] { f->Button4Click(); }, {QMessageBox::Ok});
  EXPECT_TRUE(seen[0].text.startsWith(QStringLiteral("A fájl mentése nem történt meg!\r"))) << seen[0].text.toStdString();
  EXPECT_EQ(QDir(work_->path()).entryList(QDir::Files | QDir::Hidden), QStringList()) << "nothing written or left";
  EXPECT_TRUE(launcher_.opened.isEmpty());

  // One line fewer fills the sheet to its last row.
  exec(QStringLiteral("DELETE FROM QZSOR WHERE s_bszam = '30004095' AND s_brutto = 1 ROWS 1"));
  f->Button1Click();
  seen = Run([&] { f->Button4Click(); }, {QMessageBox::Ok});
  EXPECT_EQ(seen[0].text, Saved(QStringLiteral("A vorik konvertálás befejeződött!"), "QZFEJ.xls"));
  const QJsonObject book = ReadWithXlrd(work_->file(QStringLiteral("QZFEJ.xls")), false);
  ASSERT_FALSE(book.isEmpty());
  EXPECT_EQ(book[QStringLiteral("sheets")][0][QStringLiteral("nrows")].toInt(), excel::kMaxRows);
  exec(QStringLiteral("DELETE FROM QZSOR WHERE s_bszam >= '30000000'"));
  exec(QStringLiteral("DELETE FROM QZFEJ WHERE f_akod = 'BIG'"));
}

TEST_F(ExcelExport, DialogPicture) {
  auto f = Open();
  f->Button1Click();
  f->resize(f->sizeHint().expandedTo(f->size()));
  for (int tab = 0; tab < 2; ++tab) {
    f->PageControl1->setCurrentIndex(tab);
    if (tab == 1) f->Button5Click();
    QApplication::processEvents();
    const QImage image = f->grab().toImage();
    EXPECT_FALSE(image.isNull());
    image.save(QDir::temp().filePath(QStringLiteral("Form20_tab%1.png").arg(tab + 1)));
  }
  // Every label, button and check box shows its whole text.
  for (QWidget *w : f->findChildren<QWidget *>()) {
    if (qobject_cast<QAbstractButton *>(w) || qobject_cast<QLabel *>(w)) {
      if (!w->isVisibleTo(f.get())) continue;
      EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
    }
  }
}
