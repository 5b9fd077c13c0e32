// A receiver's whole year (1,000 producers, 10,000 tickets paid in 2025 with
// 15,000 lines: the size at which each case stays within a few seconds)
// through the lists and exports as a whole, each under a fault: killed
// half-way (a real second process, SIGKILL while it writes), a full disk,
// and a second program instance doing the same in the same folder at the
// same time. Afterwards the output is complete and right or the old file is
// as it was, nothing half written is in sight, the user was told, and the
// register's tables are as they were. And the year's figures in the audit
// XML, the 08M files and the printed producer list are the database's.
//
// The year is built once per test program; every case works on a copy of it
// in a working folder of its own (drive C: is that folder).
#include "app/PrintLayout.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "bench/support/bench_world.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "excel/workbook_reader.h"
#include "exchange/audit/AuditStaging.h"
#include "exchange/audit/AuditXml.h"
#include "exchange/backup/Unit35.h"
#include "exchange/dumps/TableDump.h"
#include "exchange/dumps/Unit29.h"
#include "exchange/excel/Unit20.h"
#include "exchange/lists/ListGathers.h"
#include "exchange/returns/Gather08M.h"
#include "exchange/returns/ImportMerge.h"
#include "exchange/returns/Unit11.h"
#include "platform/dialogs.h"
#include "platform/whole_file.h"
#include "platform/win_path.h"
#include "report/core/FR_Class_Build.h"
#include "report/expr/FR_Intrp.h"
#include "report/layout_builder.h"
#include "report/output/FR_Class_EMFPages.h"
#include "report/output/FR_Prntr.h"
#include "support/child_process.h"
#include "support/data_fixture.h"
#include "support/full_disk.h"
#include "support/gui_driver.h"
#include "support/system_printers.h"
#include "support/temp_dir.h"
#include "tools/layouts/ProgramLayouts.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>

using namespace vorik::test;

namespace {

constexpr int kProducers = 1000, kTickets = 10000;
const QString kReceiver = QStringLiteral("B0001");
const returns::Period kMarch{QStringLiteral("2025.03.01"), QStringLiteral("2025.03.31")};
const QByteArray kOld = "the file of an earlier run\r\n";

// The year, filled through the crossed digit rows as the benchmarks fill
// theirs: ten tickets a producer over the year, every third paid by transfer,
// one line a ticket and a second on every other one.
struct YearFiller : bench::Database {
  YearFiller() {
    addReceiver();
    addDigits();
    run(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_ADOAZON, O_IRSZAM, O_HELYSEGNEV, O_UTCA) "
                       "SELECT i, 'Termelő ' || i, 8000000000 + i, '6000', 'Kecskemét', 'Petőfi' FROM (") +
        bench::DigitNumbers(1, kProducers) + QStringLiteral(")"));
    run(QStringLiteral(
            "INSERT INTO QZFEJ (F_BSZAM, F_AKOD, F_OSTERMKOD, F_KELT, F_FELVKELT, F_FIZKELT, F_UTAL, "
            "F_TIPUS, F_MUVKTG, F_SUMVAR) SELECT 25000000 + i, 'B0001', 1 + MOD(i * 7, %1), "
            "DATEADD(MOD(i, 355) DAY TO DATE '2025-01-01'), DATEADD(MOD(i, 355) DAY TO DATE '2025-01-01'), "
            "DATEADD(MOD(i, 355) + MOD(i, 10) DAY TO DATE '2025-01-01'), IIF(MOD(i, 3) = 0, 'x', ' '), "
            "'1', 1000 + MOD(i, 97), 1200 FROM (")
            .arg(kProducers) +
        bench::DigitNumbers(0, kTickets) + QStringLiteral(")"));
    run(QStringLiteral(
            "INSERT INTO QZSOR (S_BSZAM, S_MEGNEVEZES, S_BRUTTO, S_MEGY, S_EAR, S_KOMPMERTEKE, S_AKOD, "
            "S_LEVONSZAZ) SELECT 25000000 + t.i, 'Termék ' || MOD(t.i + l.n * 7, 30), 1 + MOD(t.i, 50), "
            "'kg', 10 + l.n, 7, 'B0001', 0 FROM (") +
        bench::DigitNumbers(0, kTickets) +
        QStringLiteral(") t, DIGITS l WHERE l.n = 0 OR (l.n = 1 AND MOD(t.i, 2) = 0)"));
    data.ZCon1->close();
  }
};

// The year's database file, filled once per test program; its data module
// gone with the filling, as each case opens its own.
struct Year {
  Year() {
    YearFiller filler;
    EXPECT_TRUE(QFile::copy(filler.dir.filePath(QStringLiteral("bench.fdb")), file()));
    Data = nullptr;
  }
  QString file() const { return dir.file(QStringLiteral("year.fdb")); }
  TempDir dir;
};

const Year &year() {
  static Year y;
  return y;
}

// The first column of the first row of sql on the database at path, read by
// a connection of its own (the program's own may be gone).
QString valueIn(const QString &path, const QString &sql) {
  db::Connection c;
  c.setDatabaseName(path);
  c.setParams(db::defaultConnectionParams());
  c.open();
  const QString v = firstValueApart(c, sql);
  c.close();
  return v;
}

// The register's tables in figures: rows and sums, as a text to compare.
QString registerFigures(const QString &path) {
  return valueIn(
      path,
      QStringLiteral(
          "SELECT (SELECT COUNT(*) || '/' || SUM(F_MUVKTG) || '/' || SUM(F_SUMVAR) FROM QZFEJ) || ' ' || "
          "(SELECT COUNT(*) || '/' || SUM(S_VETELAR) || '/' || SUM(S_BRUTTO) FROM QZSOR) || ' ' || "
          "(SELECT COUNT(*) || '/' || MAX(O_NEV) FROM OSTERMELO) || ' ' || "
          "(SELECT COUNT(*) FROM ATVEVO) || ' ' || (SELECT COUNT(*) FROM SORSZAM) || ' ' || "
          "(SELECT COUNT(*) FROM TERMEK) FROM RDB$DATABASE"));
}

QByteArray bytesOf(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString &path, const QByteArray &bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
  f.write(bytes);
}

// One case's world: a working folder as the program has it (drive C: too),
// the year's copy as its "qz2025.fdb"; on a full disk, the working folder
// is there and the database beside it on the ordinary disk.
struct Place {
  explicit Place(const QString &fullDisk = QString()) : folder(fullDisk.isEmpty() ? work.path() : fullDisk) {
    database = work.file(QStringLiteral("qz2025.fdb"));
    EXPECT_TRUE(QFile::copy(year().file(), database));
    QFile::setPermissions(database, QFile::ReadOwner | QFile::WriteOwner);
  }
  QString onC(const QString &relative) const { return folder + QLatin1Char('/') + relative; }
  TempDir work;
  QString folder, database;
};

// The program as the process sees it in a place: its working folder, drive
// C: on it, drive E: its folder "E", the data module open on the database,
// the receiver.
class Session {
 public:
  explicit Session(const Place &place) : Session(place.folder, place.database) {}
  Session(const QString &folder, const QString &database) {
    resetAppState();
    previous_ = QDir::currentPath();
    QDir::setCurrent(folder);
    qputenv("VORIK_DRIVE_C", QFile::encodeName(folder));
    qputenv("VORIK_DRIVE_E", QFile::encodeName(QDir(folder).filePath(QStringLiteral("E"))));
    data_ = openDataModule(database);
    AtvevoKod = kReceiver;
    TipusNormal = QStringLiteral("1");
    TipusErvenytelenito = QStringLiteral("4");
    Edit15Option = QStringLiteral("0");
    XmlOnszamla = QStringLiteral("true");
    XmlSzlaForma = QStringLiteral("Papir alapon számítógéppel kiállított");
  }
  ~Session() {
    ReleaseAuditStaging();
    closeDataModule(data_);
    qunsetenv("VORIK_DRIVE_C");
    qunsetenv("VORIK_DRIVE_E");
    QDir::setCurrent(previous_);
  }

 private:
  QString previous_;
  std::unique_ptr<TData> data_;
};

const lists::Range kYearRange{true, QDate(2025, 1, 1), QDate(2025, 12, 31), kReceiver};

// The producer list of the year built on the program's layout, as the list
// dialog gathers and the preview shows it.
bool buildProducerList() {
  report::TfrReport &r = *Data->frNyomtat;
  report::layouts::BuildProducerGroupList(r);
  r.ShowProgress = false;
  if (!OpenReceiverRow()) return false;
  report::frVariables->SetVariable(QStringLiteral("v_datum"), QStringLiteral("Fizetési "));
  report::frVariables->SetVariable(QStringLiteral("v_tol"), QStringLiteral("2025.01.01"));
  report::frVariables->SetVariable(QStringLiteral("v_ig"), QStringLiteral("2025.12.31"));
  report::frVariables->SetVariable(QStringLiteral("v_osszesen"), lists::GatherProducers(kYearRange));
  lists::SeedProducerGroup();
  return r.PrepareReport();
}

// One output of the year, run as its dialog runs it (the boxes it shows are
// answered, Yes to a question), in a session.
struct Output {
  const char *name;
  QString target;  // the file it writes, relative to drive C: (the merge: a file of its folder A)
  void (*run)();
  bool asks = false;  // asks before it replaces the file (answered Yes)
};

void runAudit() {
  AuditSelection s;
  s.from = QDate(2025, 1, 1);
  s.to = QDate(2025, 12, 31);
  if (!CollectAudit(s)) return;
  AuditExport e;
  e.from = s.from;
  e.to = s.to;
  e.path = QStringLiteral("C:\\szamlak.xml");
  e.today = QDate(2026, 1, 5);
  ExportAuditXml(e);
}

void runExcel() {
  TForm20 f;
  f.CheckBox2->setChecked(false);
  f.Button5Click();
  f.Button6Click();
}

// The year's ticket lines (a sheet near the format's 16,384 rows).
void runExcelLines() {
  TForm20 f;
  f.CheckBox1->setChecked(false);
  f.DateTimePicker1->setDate(QDate(2025, 1, 1));
  f.DateTimePicker2->setDate(QDate(2025, 12, 31));
  f.Button1Click();
  f.Button4Click();
}

void runDumps() {
  TForm29 f;
  f.Edit1->setText(QStringLiteral("C:\\"));
  f.Button1Click();
}

void runGather() {
  TForm11 f;
  f.DateTimePicker1->setDate(QDate(2025, 3, 1));
  f.DateTimePicker2->setDate(QDate(2025, 3, 31));
  f.Button5Click();
  f.Button1Click();
}

void runBackup() {
  TForm35 f;
  f.Edit1->setText(Data->ZCon1->databaseName());
  f.Edit2->setText(QStringLiteral("C:\\QZ2025\\ment\\2026_01_05_10_00.FDB"));
  f.Button1Click();
}

void runProducerPdf() {
  const QString file = platform::mapWindowsPath(QStringLiteral("C:\\lista.pdf"));
  SystemPrinters pdf(&file, true);
  if (buildProducerList()) Data->frNyomtat->PrintPreparedReport(QString(), 1);
}

// The merge dialog's step after the files of both folders are read: drive E:
// holds the second set, as a stick would.
void runMerge() {
  const QString a = QStringLiteral("C:\\QZ2025\\03\\"), b = QStringLiteral("E:\\QZ2025\\03\\");
  const QStringList imp{QStringLiteral("*.imp")};
  try {
    returns::RecoverMerge();  // as the dialog's opening does
    const QStringList failures =
        returns::Merge(a, b,
                       returns::PairedNames(QDir(platform::mapWindowsPath(a)).entryList(imp, QDir::Files),
                                            QDir(platform::mapWindowsPath(b)).entryList(imp, QDir::Files)));
    for (const QString &f : failures) platform::showMessage(f);
  } catch (const returns::ReturnError &e) {
    platform::error(e.message());
  }
}

const Output kOutputs[] = {
    {"audit", QStringLiteral("szamlak.xml"), runAudit},
    {"excel", QStringLiteral("OSTERMELO.xls"), runExcel, true},
    {"lines", QStringLiteral("QZFEJ.xls"), runExcelLines, true},
    {"dumps", QStringLiteral("QzSor.txt"), runDumps},
    {"gather", QStringLiteral("QZ2025/03/2508M_20250301_0331.txt"), runGather},
    {"backup", QStringLiteral("QZ2025/ment/2026_01_05_10_00.FDB"), runBackup},
    {"pdf", QStringLiteral("lista.pdf"), runProducerPdf},
    {"merge", QStringLiteral("QZ2025/03/2508M_20250301_0331.txt"), runMerge},
};

void PrintTo(const Output &o, std::ostream *os) { *os << o.name; }

const Output &output(const QString &name) {
  for (const Output &o : kOutputs)
    if (name == QLatin1String(o.name)) return o;
  return kOutputs[0];
}

// The boxes run showed, each as one line.
QStringList boxesOf(const Output &o) {
  QStringList texts;
  std::vector<QMessageBox::StandardButton> answers;
  if (o.asks) answers.push_back(QMessageBox::Yes);
  for (const MessageSeen &m : answerBoxes(o.run, answers))
    texts << QString(m.text).replace(QLatin1Char('\r'), QLatin1Char('|'));
  return texts;
}

// "year-output <name> <working folder> <database>": an instance of the program
// running one output in a place; "ready" once open, the output on "go",
// then "done" with the boxes it showed. On "go-stop" it stops in the middle
// of its writing instead (with its first whole file, or its 100th of a
// month's files, written but not yet named), says "writing" and waits there
// to be killed.
const ChildMode kOutputChild("year-output", [](const QStringList &args) {
  if (args.size() != 3) return 2;
  const Output &o = output(args[0]);
  Session session(args[1], args[2]);  // the working folder, the database
  tellParent(QStringLiteral("ready"));
  std::string line;
  while (std::getline(std::cin, line) && line != "go" && line != "go-stop") {
  }
  int commits = 0;
  const QLatin1String name(o.name);
  const int stopAt = name == QLatin1String("gather") || name == QLatin1String("merge") ? 100 : 1;
  if (line == "go-stop")
    platform::beforeWholeFileRename = [&](const QString &) {
      if (++commits != stopAt) return;
      tellParent(QStringLiteral("writing"));
      while (std::getline(std::cin, line)) {
      }
    };
  const QStringList boxes = boxesOf(o);
  ReleaseAuditStaging();
  tellParent(QStringLiteral("done ") + boxes.join(QStringLiteral(" / ")));
  return 0;
});

// The amount paid that an import file states (its 24804 field).
qint64 paidIn(const QByteArray &file) {
  const qsizetype at = file.indexOf("\n24804=");
  return at < 0 ? -1 : file.mid(at + 7, file.indexOf('\r', at + 7) - at - 7).toLongLong();
}

// Outputs that replace an earlier file of their name (a backup never does, a
// gather clears its month folder, a merge pairs files).
bool replaces(const Output &o) {
  return QLatin1String(o.name) != QLatin1String("backup") &&
         QLatin1String(o.name) != QLatin1String("gather") && QLatin1String(o.name) != QLatin1String("merge");
}

// The import files of March as the gather writes them from the year, made
// once: the sets the merge cases pair.
const QDir &marchFiles() {
  // Gathered in memory where there is some (the cases copy them to the disk).
  static QTemporaryDir memory(QStringLiteral("/dev/shm/vorik-march-XXXXXX"));
  static const Place place(memory.isValid() ? memory.path() : QString());
  static const QDir dir = [] {
    QDir().mkpath(place.onC(QStringLiteral("QZ2025/03")));
    Session session(place);
    returns::Gather(kMarch, kReceiver, false);
    return QDir(place.onC(QStringLiteral("QZ2025/03")), QStringLiteral("*.imp"));
  }();
  return dir;
}

// Puts what a case starts from: the old file an output replaces; for the
// merge, March's files in A (drive C:) and B (drive E:).
void prepare(const Output &o, const Place &place) {
  const QString target = place.onC(o.target);
  QDir().mkpath(QFileInfo(target).absolutePath());
  if (QLatin1String(o.name) == QLatin1String("merge")) {
    const QString b = place.onC(QStringLiteral("E/QZ2025/03"));
    QDir().mkpath(b);
    for (const QString &n : marchFiles().entryList(QDir::Files)) {
      QFile::copy(marchFiles().filePath(n), QFileInfo(target).absolutePath() + QLatin1Char('/') + n);
      QFile::copy(marchFiles().filePath(n), b + QLatin1Char('/') + n);
    }
  } else if (replaces(o)) {
    put(target, kOld);
  }
  // The month's folder is there, as the year's opening leaves it.
  QDir().mkpath(place.onC(QStringLiteral("QZ2025/03")));
}

// What a reader finds of an output: whether it is complete, checked by its
// own reading (the figures it must carry are compared elsewhere).
bool complete(const Output &o, const QString &path) {
  const QByteArray bytes = bytesOf(path);
  const QString name = QLatin1String(o.name);
  if (name == QLatin1String("audit"))
    return bytes.startsWith("\xEF\xBB\xBF<?xml") && bytes.endsWith("</szamlak>\r\n") &&
           bytes.count("<szamla>") == kTickets;
  if (name == QLatin1String("excel") || name == QLatin1String("lines")) {
    const auto records = SplitRecords(ReadBookStream(path));
    return !records.empty() && records.back().id == 0x0A;
  }
  if (name == QLatin1String("dumps")) return bytes.count("*\r\n") == kTickets * 3 / 2;
  if (name == QLatin1String("gather")) {
    const QStringList listed = QString::fromLatin1(bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    if (listed.isEmpty()) return false;
    for (const QString &f : listed)
      if (!QFile::exists(platform::mapWindowsPath(f))) return false;
    return true;
  }
  if (name == QLatin1String("backup")) return registerFigures(path) == registerFigures(year().file());
  if (name == QLatin1String("pdf")) return bytes.startsWith("%PDF") && bytes.trimmed().endsWith("%%EOF");
  if (name == QLatin1String("merge")) {
    // Every pair merged: A's file carries both amounts, B's retired.
    const QString a = QFileInfo(path).absolutePath(),
                  b = platform::mapWindowsPath(QStringLiteral("E:\\QZ2025\\03"));
    for (const QString &n : marchFiles().entryList(QDir::Files)) {
      const qint64 one = paidIn(bytesOf(marchFiles().filePath(n)));
      if (paidIn(bytesOf(a + QLatin1Char('/') + n)) != 2 * one || QFile::exists(b + QLatin1Char('/') + n) ||
          bytesOf(b + QLatin1Char('/') + n.chopped(4) + QStringLiteral(".old")) !=
              bytesOf(marchFiles().filePath(n)))
        return false;
    }
    return true;
  }
  return false;
}

// Files in sight in the folder of a target (hidden ones are not).
QStringList inSight(const QString &folder) { return QDir(folder).entryList(QDir::Files); }

// An amount as the lists print it ("1 234,50" with a no-break space) or as
// the XML writes it ("1234.50"), in hundredths.
qint64 cents(QString text) {
  text.remove(QChar(0xA0)).remove(QLatin1Char(' ')).replace(QLatin1Char(','), QLatin1Char('.'));
  return qRound64(text.toDouble() * 100);
}

// Rows of sql on the place's database as key -> amount in hundredths, each
// amount rounded as one document's or one group's total is written.
QHash<QString, qint64> sumsIn(const QString &path, const QString &sql) {
  db::Connection c;
  c.setDatabaseName(path);
  c.setParams(db::defaultConnectionParams());
  c.open();
  QHash<QString, qint64> out = apart(c, sql, [](db::Query &q) {
    QHash<QString, qint64> rows;
    q.open();
    for (q.first(); !q.eof(); q.next())
      rows.insert(q.field(0).asString().trimmed(), qRound64(q.field(1).asFloat() * 100));
    return rows;
  });
  c.close();
  return out;
}

// The values of element name in an XML text, in order.
QStringList elements(const QString &xml, const QString &name) {
  QStringList out;
  const QRegularExpression re(QStringLiteral("<%1>([^<]*)</%1>").arg(name));
  for (auto it = re.globalMatch(xml); it.hasNext();) out << it.next().captured(1);
  return out;
}

TEST(AReceiversYear, TheAuditFileThe08MFilesAndThePrintedProducerListCarryTheDatabasesSums) {
  Place place;
  const QHash<QString, qint64> documents =
      sumsIn(place.database, QStringLiteral("SELECT s_bszam, SUM(s_vetelar) FROM QZSOR GROUP BY s_bszam"));
  const QHash<QString, qint64> producers =
      sumsIn(place.database,
             QStringLiteral("SELECT o_nev, SUM(s_vetelar) FROM QZSOR JOIN QZFEJ ON s_bszam = f_bszam "
                            "JOIN OSTERMELO ON f_ostermkod = o_kod GROUP BY o_nev"));
  const QHash<QString, qint64> paidInMarch = sumsIn(
      place.database,
      QStringLiteral("SELECT o_adoazon, SUM(f_muvktg) FROM QZFEJ JOIN OSTERMELO ON f_ostermkod = "
                     "o_kod WHERE f_fizkelt BETWEEN '2025-03-01' AND '2025-03-31' GROUP BY o_adoazon"));
  const qint64 year = sumsIn(place.database, QStringLiteral("SELECT 1, SUM(s_vetelar) FROM QZSOR"))
                          .value(QStringLiteral("1"));
  ASSERT_EQ(documents.size(), kTickets);
  prepare(output(QStringLiteral("gather")), place);
  Session session(place);

  // The audit file: every document once, each with its lines' total.
  EXPECT_EQ(boxesOf(output(QStringLiteral("audit"))), QStringList());
  const QString xml = QString::fromUtf8(bytesOf(place.onC(QStringLiteral("szamlak.xml"))));
  EXPECT_EQ(elements(xml, QStringLiteral("export_szla_db")), QStringList{QString::number(kTickets)});
  const QStringList serials = elements(xml, QStringLiteral("szlasorszam"));
  const QStringList totals = elements(xml, QStringLiteral("bruttoarossz"));
  ASSERT_EQ(serials.size(), kTickets);
  ASSERT_EQ(totals.size(), kTickets);
  QHash<QString, qint64> inFile;
  for (int i = 0; i < kTickets; ++i) inFile.insert(serials[i], cents(totals[i]));
  EXPECT_EQ(inFile, documents);

  // The 08M files of March: one per tax number with what its producer was
  // paid, and the receiver's total their sum.
  EXPECT_EQ(boxesOf(output(QStringLiteral("gather"))), QStringList());
  const QString month = place.onC(QStringLiteral("QZ2025/03"));
  QHash<QString, qint64> inFiles;
  qint64 paid = 0;
  for (const QString &n : QDir(month).entryList({QStringLiteral("*.imp")}, QDir::Files)) {
    const QString text = QString::fromLatin1(bytesOf(month + QLatin1Char('/') + n));
    const QString adoazon = QRegularExpression(QStringLiteral("\n13844=(\\d+)\r")).match(text).captured(1);
    const qint64 amount =
        QRegularExpression(QStringLiteral("\n24804=(\\d+)\r")).match(text).captured(1).toLongLong();
    inFiles.insert(adoazon, amount * 100);
    paid += amount;
  }
  EXPECT_EQ(inFiles, paidInMarch);
  qint64 inMarch = 0;
  for (qint64 v : paidInMarch) inMarch += v;
  EXPECT_EQ(paid * 100, inMarch);

  // The printed producer list: each producer's sum and the grand total.
  ASSERT_TRUE(buildProducerList()) << report::frBuild.ErrorText.toStdString();
  QStringList texts;
  for (int i = 0; i < Data->frNyomtat->EMFPages->Count(); ++i)
    texts << report::test::PageTexts(*Data->frNyomtat, i);
  QHash<QString, qint64> printed;
  QString grand;
  for (qsizetype i = 0; i + 1 < texts.size(); ++i) {
    if (texts[i].startsWith(QStringLiteral("Összesen: ")))
      printed.insert(texts[i].mid(10), cents(texts[i + 1]));
    if (texts[i].startsWith(QStringLiteral("Mindösszesen: "))) grand = texts[i].mid(14).chopped(3);
  }
  const QString last = texts.isEmpty() ? QString() : texts.last();
  if (last.startsWith(QStringLiteral("Mindösszesen: "))) grand = last.mid(14).chopped(3);
  EXPECT_EQ(printed, producers);
  EXPECT_EQ(cents(grand), year) << grand.toStdString();
}

QString fileName(const QString &path) { return QFileInfo(path).fileName(); }

// A whole-file writer's temporaries in folder (".<name>.~<process>.<random>"),
// of name only when given.
QStringList temporaries(const QString &folder, const QString &name = QString()) {
  QStringList out;
  for (const QString &n : QDir(folder).entryList(QDir::Files | QDir::Hidden))
    if (n.startsWith(QLatin1Char('.') + name) && n.contains(QStringLiteral(".~"))) out << n;
  return out;
}

// Whether a target is as the case left it before the run: the old bytes, or
// still missing.
bool asBefore(const Output &o, const QString &target) {
  if (QLatin1String(o.name) == QLatin1String("merge")) {
    const QString a = QFileInfo(target).absolutePath(),
                  b = platform::mapWindowsPath(QStringLiteral("E:\\QZ2025\\03"));
    for (const QString &n : marchFiles().entryList(QDir::Files))
      for (const QString &folder : {a, b})
        if (bytesOf(folder + QLatin1Char('/') + n) != bytesOf(marchFiles().filePath(n)) ||
            QFile::exists(folder + QLatin1Char('/') + n.chopped(4) + QStringLiteral(".old")))
          return false;
    return true;
  }
  return replaces(o) ? bytesOf(target) == kOld : !QFile::exists(target);
}

// Whether a file name is one an output writes (complete, as its writer
// writes files whole).
bool outputName(const Output &o, const QString &n) {
  const QLatin1String name(o.name);
  if (name == QLatin1String("dumps")) {
    for (const tabledump::Table &t : tabledump::tables())
      if (n == QLatin1String(t.file)) return true;
    return false;
  }
  if (name == QLatin1String("gather") || name == QLatin1String("merge"))
    return n.endsWith(QStringLiteral(".imp")) || n.endsWith(QStringLiteral(".txt")) ||
           n.endsWith(QStringLiteral(".old"));
  return n == fileName(o.target);
}

// The boxes of a run other than those of a whole output (its question and
// its end message): the refusals and failures it told.
QStringList troubleBoxes(const QStringList &boxes) {
  static const QStringList fine = {QStringLiteral("A(z) OSTERMELO.xls fájl már létezik. Lecseréli?"),
                                   QStringLiteral("AZ östermelö konvertálás befejeződött!|Mentve: "),
                                   QStringLiteral("A(z) QZFEJ.xls fájl már létezik. Lecseréli?"),
                                   QStringLiteral("A vorik konvertálás befejeződött!|Mentve: "),
                                   QStringLiteral("Exportálás vége. "),
                                   QStringLiteral("Az adatbázis átmásolva a \"Hová\" könyvtárba.")};
  QStringList out;
  for (const QString &b : boxes)
    if (std::none_of(fine.begin(), fine.end(), [&b](const QString &f) { return b.startsWith(f); })) out << b;
  return out;
}

// One row per output of the year.
class YearOutput : public ::testing::TestWithParam<Output> {};

TEST_P(YearOutput, KilledWhileItWritesLeavesTheOldFileOrAWholeNewOneAndTheNextRunWritesIt) {
  const Output &o = GetParam();
  {
    Place place;
    const QString target = place.onC(o.target), folder = QFileInfo(target).absolutePath();
    prepare(o, place);
    const QStringList before = inSight(folder);
    const QString figures = registerFigures(place.database);

    Child child({QStringLiteral("year-output"), QLatin1String(o.name), place.folder, place.database});
    ASSERT_EQ(child.waitFor("ready"), "ready");
    child.send("go-stop");
    ASSERT_EQ(child.waitFor("writing"), "writing") << "the output ended before it was writing";
    child.kill();

    // The old file or the whole new one; nothing new in sight but the
    // output; the register as it was.
    qputenv("VORIK_DRIVE_C", QFile::encodeName(place.folder));
    qputenv("VORIK_DRIVE_E", QFile::encodeName(place.onC(QStringLiteral("E"))));
    EXPECT_TRUE(asBefore(o, target) || complete(o, target));
    // (A merge's scratch files stay for the next opening, which its journal
    // tells what to finish or undo.)
    for (const QString &n : inSight(folder))
      EXPECT_TRUE(before.contains(n) || outputName(o, n) ||
                  (QLatin1String(o.name) == QLatin1String("merge") && n.endsWith(QStringLiteral(".im_"))))
          << n.toStdString();
    qunsetenv("VORIK_DRIVE_C");
    qunsetenv("VORIK_DRIVE_E");
    EXPECT_EQ(registerFigures(place.database), figures);

    // The next run writes the whole output and clears what the killed one left.
    {
      Session session(place);
      EXPECT_EQ(troubleBoxes(boxesOf(o)), QStringList());
      EXPECT_TRUE(complete(o, target));
    }
    EXPECT_EQ(temporaries(folder), QStringList());
    for (const QString &n : inSight(folder))
      EXPECT_TRUE(before.contains(n) || outputName(o, n)) << n.toStdString();
    EXPECT_EQ(registerFigures(place.database), figures);
  }
}

TEST_P(YearOutput, OnAFullDiskKeepsTheOldFileLeavesNothingAndSaysWhy) {
  if (!FullDisk().mounted()) GTEST_SKIP() << "the database would meet the simulated full disk too";
  const Output &o = GetParam();
  // A month of import files does not fit the small disk to begin with.
  if (QLatin1String(o.name) == QLatin1String("merge")) GTEST_SKIP() << "A's files do not fit the small disk";
  {
    FullDisk disk;
    Place place(disk.path());
    const QString target = place.onC(o.target), folder = QFileInfo(target).absolutePath();
    prepare(o, place);
    const QStringList before = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    const QString figures = registerFigures(place.database);
    QStringList boxes;
    {
      Session session(place);
      // The year's list in small type makes a PDF of a few kilobytes: no room.
      disk.fill(QLatin1String(o.name) == QLatin1String("pdf") ? 0 : 16 * 1024);
      boxes = boxesOf(o);
      disk.release();
    }
    qputenv("VORIK_DRIVE_C", QFile::encodeName(place.folder));
    EXPECT_TRUE(asBefore(o, target));
    qunsetenv("VORIK_DRIVE_C");
    EXPECT_EQ(temporaries(folder), QStringList());
    // Nothing came but whole files of the output (a gather's files, a dump's
    // tables written before the one that failed; each a file of its own).
    for (const QString &n : QDir(folder).entryList(QDir::Files | QDir::Hidden))
      EXPECT_TRUE(before.contains(n) || (outputName(o, n) && n != fileName(target))) << n.toStdString();
    EXPECT_TRUE(boxes.join(QLatin1Char('\n')).contains(QStringLiteral("betelt a lemez")))
        << boxes.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(registerFigures(place.database), figures);
  }
}

TEST_P(YearOutput, RunByTwoInstancesAtOnceLeavesOneWholeOutputAndTellsTheUser) {
  const Output &o = GetParam();
  {
    Place place;
    const QString target = place.onC(o.target), folder = QFileInfo(target).absolutePath();
    prepare(o, place);
    const QString figures = registerFigures(place.database);
    Child child({QStringLiteral("year-output"), QLatin1String(o.name), place.folder, place.database});
    ASSERT_EQ(child.waitFor("ready"), "ready");
    QStringList mine;
    QString theirs;
    {
      Session session(place);
      child.send("go");
      mine = boxesOf(o);
      theirs = QString::fromUtf8(child.waitFor("done"));
      ASSERT_FALSE(theirs.isEmpty());
      EXPECT_TRUE(complete(o, target));
    }
    EXPECT_EQ(child.wait(), 0);
    EXPECT_EQ(temporaries(folder), QStringList());
    EXPECT_EQ(registerFigures(place.database), figures);
    // One of them wrote it; the other wrote it as well or was refused with
    // a message.
    const QStringList other = theirs.mid(5).split(QStringLiteral(" / "), Qt::SkipEmptyParts);
    EXPECT_TRUE(troubleBoxes(mine).isEmpty() || troubleBoxes(other).isEmpty())
        << mine.join(QStringLiteral(" / ")).toStdString() << " | " << theirs.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(AReceiversYear, YearOutput, ::testing::ValuesIn(kOutputs),
                         [](const ::testing::TestParamInfo<Output> &info) {
                           return std::string(info.param.name);
                         });

// "year-gather-paused <working folder> <database>": an instance's gather of
// March that stops half-way through its files ("ready") until "go", then
// "done" with the boxes it showed.
const ChildMode kGatherPaused("year-gather-paused", [](const QStringList &args) {
  if (args.size() != 2) return 2;
  Session session(args[0], args[1]);
  int steps = 0;
  QString failure;
  try {
    returns::Gather(kMarch, kReceiver, false, [&steps] {
      if (++steps != 300) return;
      tellParent(QStringLiteral("ready"));
      for (std::string line; std::getline(std::cin, line) && line != "go";) {
      }
    });
  } catch (const returns::ReturnError &e) {
    failure = e.message();
  }
  tellParent(QStringLiteral("done ") + failure);
  return 0;
});

// A merge into the month folder that another instance is gathering into: one
// of them waits its turn with a message, and the folder holds the whole
// gather, no merge step half done on files the gather replaced.
TEST(AReceiversYear, AMergeIntoAMonthFolderThatAnotherInstanceIsGatheringIntoIsRefused) {
  const Output &merge = output(QStringLiteral("merge"));
  Place place;
  prepare(merge, place);
  const QString a = place.onC(QStringLiteral("QZ2025/03")), b = place.onC(QStringLiteral("E/QZ2025/03"));
  Child gather({QStringLiteral("year-gather-paused"), place.folder, place.database});
  ASSERT_EQ(gather.waitFor("ready"), "ready");
  QStringList boxes;
  {
    Session session(place);
    boxes = boxesOf(merge);
    gather.send("go");
    EXPECT_EQ(gather.waitFor("done"), "done ");
    EXPECT_TRUE(complete(output(QStringLiteral("gather")),
                         place.onC(QStringLiteral("QZ2025/03/2508M_20250301_0331.txt"))));
  }
  ASSERT_EQ(boxes.size(), 1) << boxes.join(QLatin1Char('\n')).toStdString();
  EXPECT_TRUE(boxes[0].contains(QStringLiteral("másik példánya"))) << boxes[0].toStdString();
  // B's files are as they were: none retired for a merge that did not happen.
  for (const QString &n : marchFiles().entryList(QDir::Files))
    EXPECT_EQ(bytesOf(b + QLatin1Char('/') + n), bytesOf(marchFiles().filePath(n))) << n.toStdString();
  EXPECT_EQ(QDir(a).entryList({QStringLiteral("*.old"), QStringLiteral("*.im_")}, QDir::Files),
            QStringList());
  EXPECT_EQ(temporaries(a), QStringList());
}

}  // namespace
