// The invoice XML of the audit data supply, collected and exported through the
// dialog against a real database.
#include "audit_fixture.h"

#include "exchange/audit/AuditXml.h"
#include "platform/conv.h"

#include <cmath>
#include <initializer_list>
#include <iomanip>
#include <random>

#include <QCheckBox>
#include <QDir>
#include <QDomDocument>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace vorik::test;

namespace {

// The expected file is written out by hand from the file's layout for the
// month's fixture: collected by issue date for March 2025, self-billing
// "true", the optional group written, exported on 5 April 2025. The blocks
// below are its parts that repeat from invoice to invoice.

// pattern with %1, %2, ... replaced by texts, in UTF-8.
QByteArray filled(const char *pattern, std::initializer_list<const char *> texts) {
  QString s = QString::fromUtf8(pattern);
  for (const char *t : texts) s = s.arg(QString::fromUtf8(t));
  return s.toUtf8();
}

// An invoice's opening with its heading: serial, type, issue and performance dates.
QByteArray heading(const char *serial, const char *type, const char *issued, const char *performed) {
  return filled(R"(  <szamla>
    <fejlec>
        <szlasorszam>%1</szlasorszam>
        <szlatipus>%2</szlatipus>
        <szladatum>%3</szladatum>
        <teljdatum>%4</teljdatum>
    </fejlec>
)",
                {serial, type, issued, performed});
}

// The receiver as issuer (every invoice) and the buyer Kovács János (three of the four).
const char *const kIssuer = R"(    <szamlakibocsato>
      <adoszam>12345678203</adoszam>
      <kisadozo>true</kisadozo>
      <nev>Átvevő Kft.</nev>
      <cim>
        <iranyitoszam>6000</iranyitoszam>
        <telepules>Kecskemét</telepules>
        <kozterulet_neve>Fő</kozterulet_neve>
        <kozterulet_jellege>utca</kozterulet_jellege>
        <hazszam>1.</hazszam>
      </cim>
    </szamlakibocsato>
)";
const char *const kBuyerKovacs = R"(    <vevo>
      <adoszam>87654321103</adoszam>
      <nev>Kovács János</nev>
      <cim>
        <iranyitoszam>6100</iranyitoszam>
        <telepules>Kiskunfélegyháza</telepules>
        <kozterulet_neve>Petőfi Sándor</kozterulet_neve>
        <kozterulet_jellege>utca</kozterulet_jellege>
        <hazszam>12</hazszam>
      </cim>
    </vevo>
)";

// A product line: name, customs code, quantity, unit, net value, unit price, VAT rate, VAT.
QByteArray product(std::initializer_list<const char *> fields) {
  return filled(R"(    <termek_szolgaltatas_tetelek>
      <termeknev>%1</termeknev>
      <besorszam>%2</besorszam>
      <menny>%3</menny>
      <mertekegys>%4</mertekegys>
      <nettoar>%5</nettoar>
      <nettoegysar>%6</nettoegysar>
      <adokulcs>%7</adokulcs>
      <adoertek>%8</adoertek>
    </termek_szolgaltatas_tetelek>
)",
                fields);
}

// The self-billing clause and the optional group of an invoice paid by
// transfer to the producer's account, due on `due`.
QByteArray transferTerms(const char *due) {
  return filled(R"(    <zaradekok>
      <onszamla>true</onszamla>
    </zaradekok>
    <nem_kotelezo>
      <fiz_hatarido>%1</fiz_hatarido>
      <fiz_mod>átutalás</fiz_mod>
      <penznem>Ft</penznem>
      <szla_forma>Papir alapon számítógéppel kiállított</szla_forma>
      <kibocsato_bankszla>11773016-12345678</kibocsato_bankszla>
      <befogado_bankszla>10402142-00012345</befogado_bankszla>
    </nem_kotelezo>
)",
                {due});
}

// One VAT rate's row of an invoice's summary: net, rate, VAT, gross.
QByteArray rateRow(const char *net, const char *rate, const char *vat, const char *gross) {
  return filled(R"(      <afarovat>
        <nettoar>%1</nettoar>
        <adokulcs>%2</adokulcs>
        <adoertek>%3</adoertek>
        <bruttoar>%4</bruttoar>
      </afarovat>
)",
                {net, rate, vat, gross});
}

// An invoice's summary, its rate rows then its totals (net, VAT, gross), and the invoice's end.
QByteArray totals(const QByteArray &rows, const char *net, const char *vat, const char *gross) {
  return "    <osszesites>\n" + rows + filled(R"(      <vegosszeg>
        <nettoarossz>%1</nettoarossz>
        <afaertekossz>%2</afaertekossz>
        <bruttoarossz>%3</bruttoarossz>
      </vegosszeg>
    </osszesites>
  </szamla>
)",
                                                {net, vat, gross});
}

QByteArray expectedMonth() {
  return QByteArray(R"(<?xml version="1.0" encoding="utf-8"?>
<szamlak xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns="http://schemas.nav.gov.hu/2013/szamla">
  <export_datuma>2025-04-05</export_datuma>
  <export_szla_db>4</export_szla_db>
  <kezdo_ido>2025-03-01</kezdo_ido>
  <zaro_ido>2025-03-31</zaro_ido>
  <kezdo_szla_szam>25000001</kezdo_szla_szam>
  <zaro_szla_szam>25000004</zaro_szla_szam>
)") +
         heading("25000001", "1", "2025-03-03", "2025-03-02") + kIssuer + kBuyerKovacs +
         product({"Alma", "0808", "100.00", "kg", "5000.00", "50.00", "12.00", "600.00"}) +
         product({"Körte", "0808", "180.00", "kg", "3600.00", "20.00", "7.00", "252.00"}) +
         R"(    <termek_szolgaltatas_tetelek>
      <termeknev>Szja levonás</termeknev>
      <menny>1.00</menny>
      <mertekegys>db</mertekegys>
      <nettoar>-1417.80</nettoar>
    </termek_szolgaltatas_tetelek>
    <termek_szolgaltatas_tetelek>
      <termeknev>Tagi hozzájárul levonás</termeknev>
      <menny>1.00</menny>
      <mertekegys>db</mertekegys>
      <nettoar>-160.68</nettoar>
    </termek_szolgaltatas_tetelek>
    <termek_szolgaltatas_tetelek>
      <termeknev>Levonás</termeknev>
      <menny>1.00</menny>
      <mertekegys>db</mertekegys>
      <nettoar>-100.00</nettoar>
    </termek_szolgaltatas_tetelek>
)" + transferTerms("2025-03-10") +
         totals(rateRow("3600.00", "7.00", "252.00", "3852.00") + rateRow("5000.00", "12.00", "600.00", "5600.00"),
                "8600.00", "852.00", "9452.00") +
         heading("25000002", "1", "2025-03-15", "2025-03-15") +
         kIssuer + R"(    <vevo>
      <nev>Szabó Éva</nev>
      <cim>
        <iranyitoszam>6120</iranyitoszam>
        <telepules>Kiskunmajsa</telepules>
        <kozterulet_neve>Béke</kozterulet_neve>
        <hazszam>3/A</hazszam>
      </cim>
    </vevo>
)" + product({"Méz", "0409", "10.00", "kg", "3000.00", "300.00", "12.00", "360.00"}) +
         R"(    <zaradekok>
      <onszamla>true</onszamla>
    </zaradekok>
    <nem_kotelezo>
      <fiz_hatarido>2025-03-15</fiz_hatarido>
      <fiz_mod>készpénz</fiz_mod>
      <penznem>Ft</penznem>
      <szla_forma>Papir alapon számítógéppel kiállított</szla_forma>
      <kibocsato_bankszla>11773016-12345678</kibocsato_bankszla>
    </nem_kotelezo>
)" + totals(rateRow("3000.00", "12.00", "360.00", "3360.00"), "3000.00", "360.00", "3360.00") +
         heading("25000003", "1", "2025-03-20", "2025-03-19") + kIssuer + kBuyerKovacs +
         product({"Szilva", "0809", "50.00", "kg", "2000.00", "40.00", "12.00", "240.00"}) +
         transferTerms("2025-03-28") +
         totals(rateRow("2000.00", "12.00", "240.00", "2240.00"), "2000.00", "240.00", "2240.00") +
         heading("25000004", "4", "2025-03-25", "2025-03-19") + kIssuer + kBuyerKovacs +
         product({"Szilva", "0809", "-50.00", "kg", "-2000.00", "40.00", "12.00", "-240.00"}) +
         R"(    <modosito_szla>
      <eredeti_sorszam>25000003</eredeti_sorszam>
    </modosito_szla>
)" + transferTerms("2025-03-28") +
         totals(rateRow("-2000.00", "12.00", "-240.00", "-2240.00"), "-2000.00", "-240.00", "-2240.00") + "</szamlak>\n";
}

// The expected text as the file holds it: byte-order mark, CR LF.
QByteArray fileBytes(const QByteArray &text) {
  QByteArray b = QByteArray("\xEF\xBB\xBF") + text;
  b.replace("\n", "\r\n");
  return b;
}

// Indices of the lines where a and b differ (same number of lines).
QList<int> changedLines(const QStringList &a, const QStringList &b) {
  QList<int> out;
  EXPECT_EQ(a.size(), b.size());
  for (int i = 0; i < std::min(a.size(), b.size()); ++i)
    if (a[i] != b[i]) out << i;
  return out;
}

QStringList linesOf(const QByteArray &file) { return QString::fromUtf8(file.mid(3)).split(QStringLiteral("\r\n")); }

class AuditXml : public AuditTest {
 protected:
  void SetUp() override {
    AuditTest::SetUp();
    insertMonth();
  }
  // The month's file with the dialog as shipped (after set).
  QByteArray exportMonth(const std::function<void(TForm40 *)> &set = {}) {
    const Run r = collectAndExport(set);
    EXPECT_TRUE(r.done);
    return target();
  }
};

TEST_F(AuditXml, MonthByIssueDateMatchesTheHandWrittenFile) {
  const Run r = collectAndExport();
  ASSERT_TRUE(r.done);
  EXPECT_EQ(r.collected.text, QStringLiteral("1.A FEJ adatok kigyűjtése vége.\r2. Folytatás az \"EXPORT\" gombra."));
  EXPECT_TRUE(r.exportEnabled);
  EXPECT_EQ(r.exported.text, QStringLiteral("3.Az \"EXPORT\" vége.\rAdatok a \"") + targetPath_ +
                                 QStringLiteral("\" fáljban."));
  const QByteArray file = target();
  const QByteArray expected = fileBytes(expectedMonth());
  EXPECT_EQ(file, expected);
  if (file != expected) {
    const QStringList a = linesOf(file), b = linesOf(expected);
    for (int i = 0; i < std::min(a.size(), b.size()); ++i)
      if (a[i] != b[i]) {
        ADD_FAILURE() << "line " << i + 1 << ": " << a[i].toStdString() << " != " << b[i].toStdString();
        break;
      }
  }
  // In range kind "Dátum" the serial fields take the staged bounds.
  EXPECT_EQ(r.edit1, QStringLiteral("25000001"));
  EXPECT_EQ(r.edit2, QStringLiteral("25000004"));
  // Staging: one row per document, the deductions negated.
  EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM NAVFEJ")), QStringLiteral("4"));
  EXPECT_EQ(scalar(QStringLiteral("SELECT SZJA_BRUTTOAR FROM NAVFEJ WHERE FE_SZLASORSZAM = '25000001'")),
            QStringLiteral("-1417,8"));
}

TEST_F(AuditXml, SelfBillingBoxAndFieldChangeOnlyTheClause) {
  const QStringList base = linesOf(exportMonth());
  const QStringList unticked = linesOf(exportMonth([](TForm40 *f) { setChecked(f, QStringLiteral("CheckBox3"), false); }));
  const QList<int> changed = changedLines(base, unticked);
  ASSERT_EQ(changed.size(), 4);  // one per document
  for (int i : changed) {
    EXPECT_EQ(base[i], QStringLiteral("      <onszamla>true</onszamla>"));
    EXPECT_EQ(unticked[i], QStringLiteral("      <onszamla>false</onszamla>"));
  }
  // The clause is written as stored, blanks kept; one the format cannot hold
  // is refused before anything is written, naming the field and the document.
  const QStringList blanks = linesOf(exportMonth([](TForm40 *f) { setText(f, QStringLiteral("Edit4"), QStringLiteral(" true ")); }));
  EXPECT_EQ(changedLines(base, blanks), changed);
  EXPECT_EQ(blanks[changed.first()], QStringLiteral("      <onszamla> true </onszamla>"));
  const Run typed = collectAndExport([](TForm40 *f) { setText(f, QStringLiteral("Edit4"), QStringLiteral(" igen ")); });
  EXPECT_EQ(typed.exported.text, QStringLiteral("Javitandó! A(z) 25000001 bizonylatban a(z) \"zaradekok/onszamla\" adat "
                                                "nem írható: \"igen\" nem true vagy false."));
  EXPECT_EQ(target(), QByteArray());
}

TEST_F(AuditXml, InvoiceFormFieldChangesOnlyItsElement) {
  const QStringList base = linesOf(exportMonth());
  const QStringList other =
      linesOf(exportMonth([](TForm40 *f) { setText(f, QStringLiteral("Edit5"), QStringLiteral("Elektronikus")); }));
  const QList<int> changed = changedLines(base, other);
  ASSERT_EQ(changed.size(), 4);
  for (int i : changed) EXPECT_EQ(other[i], QStringLiteral("      <szla_forma>Elektronikus</szla_forma>"));
}

TEST_F(AuditXml, UntickedOptionalTypesDropTheGroupOnly) {
  QStringList base = linesOf(exportMonth());
  const QStringList without =
      linesOf(exportMonth([](TForm40 *f) { setChecked(f, QStringLiteral("CheckBox5"), false); }));
  // The base without its nem_kotelezo groups is the file.
  for (qsizetype i = base.indexOf(QStringLiteral("    <nem_kotelezo>")); i >= 0;
       i = base.indexOf(QStringLiteral("    <nem_kotelezo>"))) {
    const qsizetype end = base.indexOf(QStringLiteral("    </nem_kotelezo>"), i);
    ASSERT_GT(end, i);
    base.remove(i, end - i + 1);
  }
  EXPECT_EQ(without, base);
}

TEST_F(AuditXml, PurchaseDateKindSelectsByPurchaseDate) {
  const AuditFile base = AuditFile::parse(exportMonth());
  const AuditFile byPurchase = AuditFile::parse(
      exportMonth([](TForm40 *f) { setChecked(f, QStringLiteral("RadioButton4"), true); }));
  // The ticket issued on 1 April was bought on 31 March.
  EXPECT_EQ(byPurchase.serials, (QStringList{QStringLiteral("25000001"), QStringLiteral("25000002"),
                                             QStringLiteral("25000003"), QStringLiteral("25000004"),
                                             QStringLiteral("25000005")}));
  for (const QString &s : base.serials) EXPECT_EQ(byPurchase.documents[s], base.documents[s]) << s.toStdString();
  const QList<int> changed = changedLines(base.header, byPurchase.header);
  ASSERT_EQ(changed.size(), 2);
  EXPECT_EQ(byPurchase.header[changed[0]], QStringLiteral("  <export_szla_db>5</export_szla_db>"));
  EXPECT_EQ(byPurchase.header[changed[1]], QStringLiteral("  <zaro_szla_szam>25000005</zaro_szla_szam>"));
}

TEST_F(AuditXml, SerialRangeKindTakesItsDatesFromTheDocuments) {
  const AuditFile base = AuditFile::parse(exportMonth());
  const Run r = collectAndExport([](TForm40 *f) {
    setChecked(f, QStringLiteral("RadioButton2"), true);
    setText(f, QStringLiteral("Edit1"), QStringLiteral("25000002"));
    setText(f, QStringLiteral("Edit2"), QStringLiteral("25000004"));
  });
  ASSERT_TRUE(r.done);
  const AuditFile serial = AuditFile::parse(target());
  EXPECT_EQ(serial.serials,
            (QStringList{QStringLiteral("25000002"), QStringLiteral("25000003"), QStringLiteral("25000004")}));
  for (const QString &s : serial.serials) EXPECT_EQ(serial.documents[s], base.documents[s]) << s.toStdString();
  const QList<int> changed = changedLines(base.header, serial.header);
  ASSERT_EQ(changed.size(), 4);
  EXPECT_EQ(serial.header[changed[0]], QStringLiteral("  <export_szla_db>3</export_szla_db>"));
  EXPECT_EQ(serial.header[changed[1]], QStringLiteral("  <kezdo_ido>2025-03-15</kezdo_ido>"));
  EXPECT_EQ(serial.header[changed[2]], QStringLiteral("  <zaro_ido>2025-03-25</zaro_ido>"));
  EXPECT_EQ(serial.header[changed[3]], QStringLiteral("  <kezdo_szla_szam>25000002</kezdo_szla_szam>"));
  // The serial fields keep what was typed in this kind.
  EXPECT_EQ(r.edit1, QStringLiteral("25000002"));
}

TEST_F(AuditXml, SerialBoundsCompareAsTexts) {
  // "12" to "20" lies below every serial beginning with "2": nothing selected.
  const Run r = collectAndExport([](TForm40 *f) {
    setChecked(f, QStringLiteral("RadioButton2"), true);
    setText(f, QStringLiteral("Edit1"), QStringLiteral("12"));
    setText(f, QStringLiteral("Edit2"), QStringLiteral("20"));
  });
  ASSERT_TRUE(r.done);
  EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM NAVFEJ")), QStringLiteral("0"));
  const AuditFile f = AuditFile::parse(target());
  EXPECT_TRUE(f.serials.isEmpty());
  // In kind "Sorszám" an empty staging gives empty dates as well.
  EXPECT_TRUE(f.header.contains(QStringLiteral("  <kezdo_ido></kezdo_ido>")));
  EXPECT_TRUE(f.header.contains(QStringLiteral("  <zaro_szla_szam></zaro_szla_szam>")));
}

TEST_F(AuditXml, ReservedCharactersAreEscapedAndReadBack) {
  exec(QStringLiteral("UPDATE OSTERMELO SET O_NEV = 'Kovács & Fia <Kft>' WHERE O_KOD = '2'"));
  const QByteArray file = exportMonth();
  ASSERT_FALSE(file.isEmpty());
  EXPECT_TRUE(file.contains("<nev>Kovács &amp; Fia &lt;Kft&gt;</nev>"));
  QDomDocument doc;
  QString error;
  int errorLine = 0;
  ASSERT_TRUE(doc.setContent(file, &error, &errorLine)) << error.toStdString() << " line " << errorLine;
  const QDomNodeList invoices = doc.documentElement().elementsByTagName(QStringLiteral("szamla"));
  ASSERT_EQ(invoices.size(), 4);
  const QDomElement second = invoices.at(1).toElement();
  EXPECT_EQ(second.firstChildElement(QStringLiteral("vevo")).firstChildElement(QStringLiteral("nev")).text(),
            QStringLiteral("Kovács & Fia <Kft>"));
}

TEST_F(AuditXml, CodePageTextsAreWrittenAsUtf8) {
  // "ő", the euro sign, and byte 0x81, which the code page leaves undefined.
  exec(QStringLiteral("UPDATE OSTERMELO SET O_NEV = 'Nő€") + QChar(0x81) + QStringLiteral("' WHERE O_KOD = '2'"));
  const QByteArray file = exportMonth();
  EXPECT_TRUE(file.contains("<nev>N\xC5\x91\xE2\x82\xAC\xC2\x81</nev>"));
  EXPECT_TRUE(file.contains("<telepules>Kecskem\xC3\xA9t</telepules>"));
}

TEST_F(AuditXml, DocumentWithoutLinesIsRefusedByName) {
  // The format wants at least one item per document.
  exec(QStringLiteral("DELETE FROM QZSOR WHERE S_BSZAM = '25000002'"));
  const Run r = collectAndExport();
  ASSERT_TRUE(r.done);
  EXPECT_EQ(r.exported.text, QStringLiteral("Javitandó! A(z) 25000002 bizonylatban a(z) \"termek_szolgaltatas_tetelek\" "
                                            "adat nem írható: a bizonylatnak nincs tétele."));
  EXPECT_EQ(target(), QByteArray());
}

TEST_F(AuditXml, WhatTheFormatCannotHoldIsRefusedBeforeAnythingIsWritten) {
  const QString doc = QStringLiteral("Javitandó! A(z) 25000001 bizonylatban a(z) ");
  struct Case {
    std::function<void()> before;
    std::function<void(TForm40 *)> set;
    QString message;
  } cases[] = {
      // The options left empty on first use.
      {{}, [](TForm40 *f) { setText(f, QStringLiteral("Edit4"), QString()); },
       doc + QStringLiteral("\"zaradekok/onszamla\" adat nem írható: üres.")},
      {{}, [](TForm40 *f) { setText(f, QStringLiteral("Edit5"), QString()); },
       doc + QStringLiteral("\"nem_kotelezo/szla_forma\" adat nem írható: üres.")},
      {{}, [](TForm40 *f) { setText(f, QStringLiteral("Edit5"), QString(120, u'x')); },
       doc + QStringLiteral("\"nem_kotelezo/szla_forma\" adat nem írható: 120 karakter, legfeljebb 100 lehet.")},
      // An issuer tax number too short for the format.
      {[this] { exec(QStringLiteral("UPDATE ATVEVO SET V_ADOSZAM = '1234567'")); }, {},
       doc + QStringLiteral("\"szamlakibocsato/adoszam\" adat nem írható: 7 karakter, legalább 8 kell.")},
      // A control character that the CSV import of an earlier version let in.
      {[this] { exec(QStringLiteral("UPDATE OSTERMELO SET O_NEV = 'Ctl' || ASCII_CHAR(1) || 'Name' WHERE O_KOD = '1'")); },
       {}, doc + QStringLiteral("\"vevo/nev\" adat nem írható: vezérlőkarakter (#1) van benne.")},
  };
  for (const Case &c : cases) {
    if (c.before) c.before();
    QFile::remove(targetPath_);
    const Run r = collectAndExport(c.set);
    ASSERT_TRUE(r.done);
    EXPECT_EQ(r.exported.text, c.message);
    EXPECT_EQ(target(), QByteArray()) << c.message.toStdString();
    const QDir folder = QFileInfo(targetPath_).dir();
    EXPECT_EQ(folder.entryList({QStringLiteral(".szamlak.xml*")}, QDir::Files | QDir::Hidden), QStringList());
    exec(QStringLiteral("UPDATE ATVEVO SET V_ADOSZAM = '12345678203'"));
    exec(QStringLiteral("UPDATE OSTERMELO SET O_NEV = 'Kovács János' WHERE O_KOD = '1'"));
  }
}

// The file's amounts take a shortcut past the general conversion; both must
// agree everywhere, ties and values that round to zero included.
TEST(AuditAmount, AgreesWithTheFixedFormatOfTheClassLibrary) {
  platform::FormatSettings point;
  point.decimalSeparator = u'.';
  std::vector<double> values{0,       -0.0,   0.005,  -0.005,  0.004999999, 1.005,       2.675,     2.665,
                             99.995,  0.015,  1234.565, -1417.8, 160.684,   1e-10,       -1e-10,    -0.001,
                             1e9,     -1e9,   999999999.995, 1e10, 12345678901.0, 123456789.125, 5600.0000000000005};
  std::mt19937_64 rng(2025);
  std::uniform_int_distribution<long long> cents(-100000000, 100000000);
  std::uniform_int_distribution<int> scale(0, 4);
  for (int i = 0; i < 100000; ++i) {
    const double base = double(cents(rng)) / std::pow(10.0, scale(rng) + 1);
    values.push_back(base);
    values.push_back(base * 1.12);  // the price with a compensation of 12 %
    values.push_back(base * 7 / 100);
  }
  for (double v : values)
    ASSERT_EQ(AuditAmount(v), platform::FloatToStrF(v, platform::FloatFormat::Fixed, 10, 2, point))
        << std::setprecision(20) << v;
}

}  // namespace
