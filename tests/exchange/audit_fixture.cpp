#include "audit_fixture.h"

#include <QCheckBox>
#include <QProcess>
#include <QPushButton>

namespace vorik::test {

TempDir *AuditTest::dir_ = nullptr;
QString AuditTest::path_;

AuditFile AuditFile::parse(const QByteArray &bytes) {
  AuditFile f;
  QString current;
  const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
  for (const QString &l : lines) {
    if (l == QLatin1String("  <szamla>")) current = QStringLiteral("?");
    if (current.isEmpty()) {
      f.header << l;
      continue;
    }
    if (current == QLatin1String("?") && l.contains(QLatin1String("<szlasorszam>"))) {
      current = l.trimmed().mid(13, l.trimmed().size() - 13 - 14);
      f.serials << current;
      f.documents[current] << QStringLiteral("  <szamla>");
      f.documents[current] << QStringLiteral("    <fejlec>");
    }
    if (current != QLatin1String("?")) f.documents[current] << l;
    if (l == QLatin1String("  </szamla>")) current.clear();
  }
  return f;
}

void AuditTest::SetUpTestSuite() {
  dir_ = new TempDir;
  path_ = createTestDatabase(dir_->path());
}

void AuditTest::TearDownTestSuite() {
  delete dir_;
  dir_ = nullptr;
}

void AuditTest::SetUp() {
  resetAppState();
  data_ = openDataModule(path_);
  for (const char *t : {"QZSOR", "QZFEJ", "OSTERMELO", "ATVEVO", "NAVFEJ", "NAVSOR"})
    exec(QStringLiteral("DELETE FROM ") + QLatin1String(t));
  AtvevoKod = QStringLiteral("R1");
  TipusNormal = QStringLiteral("1");
  TipusErvenytelenito = QStringLiteral("4");
  work_ = std::make_unique<TempDir>();
  targetPath_ = work_->file(QStringLiteral("szamlak.xml"));
  iniPath_ = work_->file(QStringLiteral("vorikXML.ini"));
  platform::IniFile ini(iniPath_);
  ini.WriteString(QStringLiteral("XML"), QStringLiteral("hova"), targetPath_);
  ini.WriteString(QStringLiteral("XML"), QStringLiteral("onszla"), QStringLiteral("true"));
  ini.WriteString(QStringLiteral("XML"), QStringLiteral("papir"), QStringLiteral("Papir alapon számítógéppel kiállított"));
  exec(QStringLiteral(
      "INSERT INTO ATVEVO (V_AKOD, V_NEVE, V_IRSZAM, V_HELYSEG, V_UTCA, V_JELLEG, V_HAZSZAM, V_ADOSZAM, "
      "V_BANKSZLA, V_KISADO, V_EV) VALUES ('R1', 'Átvevő Kft.', '6000', 'Kecskemét', 'Fő', 'utca', '1.', "
      "'12345678203', '11773016-12345678', 'true', ' ')"));
}

void AuditTest::TearDown() {
  // Every file the tests leave is one the authority can read.
  expectValidFile();
  closeDataModule(data_);
  platform::regional().decimalSeparator = u',';
}

void AuditTest::exec(const QString &sql) { execApart(*Data->ZCon1, sql); }

QString AuditTest::scalar(const QString &sql) { return firstValueApart(*Data->ZCon1, sql); }

void AuditTest::producer(const QString &kod, const QString &nev, const QString &irsz, const QString &hely,
                         const QString &utca, const QString &rest) {
  // rest: further "COLUMN=value" pairs, comma separated.
  QString cols = QStringLiteral("O_KOD, O_NEV, O_IRSZAM, O_HELYSEGNEV, O_UTCA");
  QString vals = QStringLiteral("'%1', '%2', '%3', '%4', '%5'").arg(kod, nev, irsz, hely, utca);
  for (const QString &pair : rest.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    cols += QStringLiteral(", ") + pair.section(QLatin1Char('='), 0, 0).trimmed();
    vals += QStringLiteral(", '") + pair.section(QLatin1Char('='), 1) + QStringLiteral("'");
  }
  exec(QStringLiteral("INSERT INTO OSTERMELO (%1) VALUES (%2)").arg(cols, vals));
}

void AuditTest::ticket(const QString &bszam, const QString &producer, const QString &kelt, const QString &felv,
                       const QString &fiz, const QString &utal, const QString &tipus, const QString &ervenyt,
                       int szja, int jarul, int levonas, double sumvar) {
  auto dateOrNull = [](const QString &d) { return d.isEmpty() ? QStringLiteral("NULL") : QLatin1Char('\'') + d + QLatin1Char('\''); };
  exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_AKOD, F_KELT, F_FELVKELT, F_FIZKELT, F_UTAL, "
                      "F_TIPUS, F_ERVENYT, F_SZJA, F_JARULSZAZ, F_LEVONAS, F_SUMVAR, F_PRN) VALUES ('%1', '%2', "
                      "'R1', %3, %4, %5, '%6', '%7', %8, %9, %10, %11, %12, 'I')")
           .arg(bszam, producer, dateOrNull(kelt), dateOrNull(felv), dateOrNull(fiz), utal, tipus,
                ervenyt.isEmpty() ? QStringLiteral("NULL") : QLatin1Char('\'') + ervenyt + QLatin1Char('\''))
           .arg(szja)
           .arg(jarul)
           .arg(levonas)
           .arg(sumvar));
}

void AuditTest::line(const QString &bszam, double brutto, double levonszaz, double ear, double komp,
                     const QString &name, const QString &vtsz) {
  exec(QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_AKOD, S_BRUTTO, S_LEVONSZAZ, S_EAR, S_KOMPMERTEKE, "
                      "S_MEGNEVEZES, S_VTSZ, S_MEGY) VALUES ('%1', 'R1', %2, %3, %4, %5, '%6', '%7', 'kg')")
           .arg(bszam)
           .arg(brutto)
           .arg(levonszaz)
           .arg(ear)
           .arg(komp)
           .arg(name, vtsz));
}

// Two producers; in March 2025 three tickets, the third cancelled by a
// fourth document; one ticket issued on 1 April but bought on 31 March; a
// ticket of another receiver.
void AuditTest::insertMonth() {
  producer(QStringLiteral("1"), QStringLiteral("Kovács János"), QStringLiteral("6100"),
           QStringLiteral("Kiskunfélegyháza"), QStringLiteral("Petőfi Sándor"),
           QStringLiteral("O_JELLEG=utca,O_HAZSZAM=12,O_ADOSZAM=87654321103,O_BANKSZLA=10402142-00012345"));
  producer(QStringLiteral("2"), QStringLiteral("Szabó Éva"), QStringLiteral("6120"), QStringLiteral("Kiskunmajsa"),
           QStringLiteral("Béke"), QStringLiteral("O_HAZSZAM=3/A"));
  ticket(QStringLiteral("25000001"), QStringLiteral("1"), QStringLiteral("2025-03-03"), QStringLiteral("2025-03-02"),
         QStringLiteral("2025-03-10"), QStringLiteral("x"), QStringLiteral("1"), QString(), 15, 2, 100, 9452);
  line(QStringLiteral("25000001"), 100, 0, 50, 12, QStringLiteral("Alma"), QStringLiteral("0808"));
  line(QStringLiteral("25000001"), 200, 10, 20, 7, QStringLiteral("Körte"), QStringLiteral("0808"));
  ticket(QStringLiteral("25000002"), QStringLiteral("2"), QStringLiteral("2025-03-15"), QStringLiteral("2025-03-15"),
         QStringLiteral("2025-03-15"), QStringLiteral(" "), QStringLiteral("1"), QString(), 0, 0, 0, 3360);
  line(QStringLiteral("25000002"), 10, 0, 300, 12, QStringLiteral("Méz"), QStringLiteral("0409"));
  ticket(QStringLiteral("25000003"), QStringLiteral("1"), QStringLiteral("2025-03-20"), QStringLiteral("2025-03-19"),
         QStringLiteral("2025-03-28"), QStringLiteral("x"), QStringLiteral("1"), QStringLiteral("25000004"), 0, 0, 0,
         2240);
  line(QStringLiteral("25000003"), 50, 0, 40, 12, QStringLiteral("Szilva"), QStringLiteral("0809"));
  ticket(QStringLiteral("25000004"), QStringLiteral("1"), QStringLiteral("2025-03-25"), QStringLiteral("2025-03-19"),
         QStringLiteral("2025-03-28"), QStringLiteral("x"), QStringLiteral("4"), QStringLiteral("25000003"), 0, 0, 0,
         -2240);
  line(QStringLiteral("25000004"), -50, 0, 40, 12, QStringLiteral("Szilva"), QStringLiteral("0809"));
  ticket(QStringLiteral("25000005"), QStringLiteral("2"), QStringLiteral("2025-04-01"), QStringLiteral("2025-03-31"),
         QStringLiteral("2025-04-01"), QStringLiteral(" "), QStringLiteral("1"), QString(), 0, 0, 0, 1000);
  line(QStringLiteral("25000005"), 10, 0, 100, 0, QStringLiteral("Dió"), QStringLiteral("0802"));
  exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_AKOD, F_KELT, F_FELVKELT, F_FIZKELT, F_TIPUS) "
                      "VALUES ('26000001', '1', 'R2', '2025-03-05', '2025-03-05', '2025-03-05', '1')"));
}

void AuditTest::setMonth(TForm40 *f) {
  f->DateTimePicker1->setDate(QDate(2025, 3, 1));
  f->DateTimePicker2->setDate(QDate(2025, 3, 31));
}

bool AuditTest::runDialog(std::vector<ModalScript::Step> steps) {
  ModalScript script;
  for (auto &s : steps) script.then(std::move(s));
  script.run([this] {
    ShowModalDialog<TForm40>(Form40, [this](TForm40 *f) {
      f->IniPath = iniPath_;
      f->Today = [this] { return today_; };
    });
  });
  if (!script.done()) ADD_FAILURE() << script.failure().toStdString();
  return script.done();
}

AuditTest::Run AuditTest::collectAndExport(const std::function<void(TForm40 *)> &set) {
  Run r;
  std::vector<ModalScript::Step> steps;
  steps.push_back([&](QWidget *d) {
    auto *f = static_cast<TForm40 *>(d);
    setMonth(f);
    if (set) set(f);
    r.separatorWhileOpen = platform::regional().decimalSeparator;
    click(d, QStringLiteral("Button6"));
  });
  steps.push_back(answer(QMessageBox::Ok, &r.collected));
  steps.push_back([&](QWidget *d) {
    auto *f = static_cast<TForm40 *>(d);
    r.exportEnabled = f->Button2->isEnabled();
    click(d, QStringLiteral("Button2"));
  });
  steps.push_back(answer(QMessageBox::Ok, &r.exported));
  steps.push_back([&](QWidget *d) {
    auto *f = static_cast<TForm40 *>(d);
    r.separatorAfterExport = platform::regional().decimalSeparator;
    r.edit1 = f->Edit1->text();
    r.edit2 = f->Edit2->text();
    closeWindow(d);
  });
  r.done = runDialog(std::move(steps));
  expectValidFile();
  return r;
}

void AuditTest::expectValidFile() const {
  const QByteArray file = target();
  // The file of an empty period keeps the header the Part gives it, which
  // the format (at least one document) does not take.
  if (file.isEmpty() || file.contains("<export_szla_db>0</export_szla_db>")) return;
  // Not the program's: a file a test put there itself.
  if (!file.startsWith("\xEF\xBB\xBF<?xml")) return;
  QProcess xmllint;
  xmllint.setProcessChannelMode(QProcess::MergedChannels);
  xmllint.start(QStringLiteral("xmllint"),
                {QStringLiteral("--noout"), QStringLiteral("--schema"),
                 sourcePath(QStringLiteral("tests/exchange/data/szamla2013.xsd")), targetPath_});
  ASSERT_TRUE(xmllint.waitForFinished(60000)) << "xmllint (libxml2-utils, tools/setup-deps.sh) did not run";
  EXPECT_EQ(xmllint.exitCode(), 0) << xmllint.readAll().toStdString();
}

QByteArray AuditTest::target() const {
  QFile f(targetPath_);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace vorik::test
