// The schema as the register relies on it: derived line and header values,
// column defaults, text in the database's code page, column widths, exact
// amounts, and the older variant that the upgrade dialogs bring up to date.
#include "db/error.h"
#include "db/schema.h"
#include "support/db_fixture.h"

#include <gtest/gtest.h>

using vorik::test::DatabaseTest;

namespace {

class SchemaTest : public DatabaseTest {
 protected:
  // Inserts a ticket line with the four inputs of the derived columns.
  static void insertLine(const QString &serial, double brutto, double levonszaz, double ear, double komp) {
    auto q = query();
    q->sql().add(QStringLiteral("INSERT INTO Qzsor ( s_bszam, s_brutto, s_levonszaz, s_ear, s_kompmerteke )"));
    q->sql().add(QStringLiteral("  VALUES ( :p1, :p2, :p3, :p4, :p5 )"));
    q->paramByName(QStringLiteral("p1")).setString(serial);
    q->paramByName(QStringLiteral("p2")).setFloat(brutto);
    q->paramByName(QStringLiteral("p3")).setFloat(levonszaz);
    q->paramByName(QStringLiteral("p4")).setFloat(ear);
    q->paramByName(QStringLiteral("p5")).setFloat(komp);
    q->execute();
  }
};

TEST_F(SchemaTest, DerivedLineValuesFollowTheLineAndNegateWithTheQuantity) {
  insertLine(QStringLiteral("25000001"), 100, 5, 200, 12);
  insertLine(QStringLiteral("25000002"), -100, 5, 200, 12);
  transaction().commit();

  auto q = query();
  q->sql().add(QStringLiteral("SELECT * FROM qzsor WHERE s_bszam IN ('25000001', '25000002') ORDER BY s_bszam"));
  q->open();
  ASSERT_EQ(q->recordCount(), 2);
  for (double sign : {1.0, -1.0}) {
    EXPECT_EQ(q->fieldByName(QStringLiteral("S_LEVONAS")).asDecimal(), db::Decimal(sign * 50000, 4));
    EXPECT_EQ(q->fieldByName(QStringLiteral("S_NETTO")).asDecimal(), db::Decimal(sign * 950000, 4));
    EXPECT_DOUBLE_EQ(q->fieldByName(QStringLiteral("S_FELVAR")).asFloat(), sign * 19000);
    EXPECT_DOUBLE_EQ(q->fieldByName(QStringLiteral("S_KOMPFELAR")).asFloat(), sign * 2280);
    EXPECT_DOUBLE_EQ(q->fieldByName(QStringLiteral("S_VETELAR")).asFloat(), sign * 21280);
    q->next();
  }
}

// The price is the sum of the purchase price and the surcharge exactly, in
// both schema variants: 950 + 66.5 is 1016.5, which a transfer ticket rounds
// half to even to 1016. A price worked out as net x price x 1.07 lands a hair
// above the half and rounds to 1017.
TEST_F(SchemaTest, LinePriceIsExactlyPurchasePricePlusSurcharge) {
  for (auto variant : {db::SchemaVariant::Current, db::SchemaVariant::Old}) {
    vorik::test::TestDatabase d(variant);
    const struct {
      double brutto, ear;
    } lines[] = {{1, 950}, {10, 95}, {5, 190}, {25, 38}, {3.5, 117.3}, {-10, 95}};
    int n = 0;
    for (const auto &l : lines) {
      auto q = d.query();
      q->sql().add(QStringLiteral("INSERT INTO Qzsor ( s_bszam, s_brutto, s_levonszaz, s_ear, s_kompmerteke )"));
      q->sql().add(QStringLiteral("  VALUES ( :p1, :p2, 0, :p3, 7 )"));
      q->paramByName(QStringLiteral("p1")).setString(QStringLiteral("2600000%1").arg(n++));
      q->paramByName(QStringLiteral("p2")).setFloat(l.brutto);
      q->paramByName(QStringLiteral("p3")).setFloat(l.ear);
      q->execute();
    }
    auto q = d.query();
    q->sql().add(QStringLiteral("SELECT s_brutto, s_felvar, s_kompfelar, s_vetelar FROM qzsor ORDER BY s_bszam"));
    q->open();
    ASSERT_EQ(q->recordCount(), 6);
    for (int i = 0; i < 6; ++i, q->next()) {
      const double felvar = q->fieldByName(QStringLiteral("s_felvar")).asFloat();
      const double komp = q->fieldByName(QStringLiteral("s_kompfelar")).asFloat();
      const double vetelar = q->fieldByName(QStringLiteral("s_vetelar")).asFloat();
      EXPECT_EQ(vetelar, felvar + komp) << "line " << i;
      if (i < 4) {
        EXPECT_EQ(felvar, 950.0) << "line " << i;
        EXPECT_EQ(komp, 66.5) << "line " << i;
        EXPECT_EQ(vetelar, 1016.5) << "line " << i;
      }
    }
    d.transaction().rollback();
  }
}

TEST_F(SchemaTest, DerivedValuesFollowAnUpdateAndLargeAmountsDoNotOverflow) {
  insertLine(QStringLiteral("25000003"), 100, 5, 200, 12);
  auto u = query();
  u->sql().add(QStringLiteral("UPDATE qzsor SET s_brutto = :p1, s_ear = :p2 WHERE s_bszam = :p0"));
  u->paramByName(QStringLiteral("p0")).setString(QStringLiteral("25000003"));
  // Products of two NUMERIC(18,4) values would need scale 8 and overflow 18 digits.
  u->paramByName(QStringLiteral("p1")).setFloat(12345678.5);
  u->paramByName(QStringLiteral("p2")).setFloat(987654.25);
  u->execute();
  auto q = query();
  q->sql().add(QStringLiteral("SELECT s_netto, s_felvar, s_vetelar FROM qzsor WHERE s_bszam = :p0"));
  q->paramByName(QStringLiteral("p0")).setString(QStringLiteral("25000003"));
  q->open();
  ASSERT_EQ(q->recordCount(), 1);
  // 5 % of 12345678.5 is 617283.925; the net quantity is 11728394.575.
  EXPECT_EQ(q->fieldByName(QStringLiteral("s_netto")).asDecimal(), db::Decimal(117283945750, 4));
  EXPECT_NEAR(q->fieldByName(QStringLiteral("s_felvar")).asFloat(), 11728394.575 * 987654.25, 1e-2);
  EXPECT_NEAR(q->fieldByName(QStringLiteral("s_vetelar")).asFloat(), 11728394.575 * 987654.25 * 1.12, 1e-2);
}

TEST_F(SchemaTest, HeaderTaxAndContributionAreDerived) {
  auto q = query();
  q->sql().add(QStringLiteral("INSERT INTO qzfej ( f_bszam, f_szja, f_jarulszaz, f_sumvar ) VALUES ( :p1, :p2, :p3, :p4 )"));
  q->paramByName(QStringLiteral("p1")).setString(QStringLiteral("25000010"));
  q->paramByName(QStringLiteral("p2")).setFloat(15);
  q->paramByName(QStringLiteral("p3")).setFloat(2);
  q->paramByName(QStringLiteral("p4")).setFloat(10000);
  q->execute();
  q->sql().clear();
  q->sql().add(QStringLiteral("SELECT f_szjalevon, f_tagilevon FROM qzfej WHERE f_bszam = '25000010'"));
  q->open();
  // The worked values of ticket entry: tax 1500, contribution 2 % of 8500.
  EXPECT_DOUBLE_EQ(q->fieldByName(QStringLiteral("F_SZJALEVON")).asFloat(), 1500);
  EXPECT_DOUBLE_EQ(q->fieldByName(QStringLiteral("F_TAGILEVON")).asFloat(), 170);
}

TEST_F(SchemaTest, SerialsDefaultToOneBlankAndKeysAreFilledByTheDatabase) {
  auto q = query();
  q->sql().add(QStringLiteral("INSERT INTO qzfej ( f_akod ) VALUES ( :p1 )"));
  q->paramByName(QStringLiteral("p1")).setString(QStringLiteral("DEF01"));
  q->execute();
  q->execute();
  q->sql().clear();
  q->sql().add(QStringLiteral("INSERT INTO qzsor ( s_akod ) VALUES ( :p1 )"));
  q->paramByName(QStringLiteral("p1")).setString(QStringLiteral("DEF01"));
  q->execute();

  q->sql().clear();
  q->sql().add(QStringLiteral("SELECT id_qzfej, f_bszam FROM qzfej WHERE f_akod = 'DEF01' ORDER BY id_qzfej"));
  q->open();
  ASSERT_EQ(q->recordCount(), 2);
  EXPECT_EQ(q->fieldByName(QStringLiteral("F_BSZAM")).asString(), QStringLiteral(" "));
  const auto firstId = q->fieldByName(QStringLiteral("ID_QZFEJ")).asInteger();
  q->next();
  EXPECT_GT(q->fieldByName(QStringLiteral("ID_QZFEJ")).asInteger(), firstId);

  q->sql().clear();
  q->sql().add(QStringLiteral("SELECT s_bszam FROM qzsor WHERE s_akod = 'DEF01'"));
  q->open();
  ASSERT_EQ(q->recordCount(), 1);
  EXPECT_EQ(q->fieldByName(QStringLiteral("s_bszam")).asString(), QStringLiteral(" "));
}

TEST_F(SchemaTest, HungarianTextRoundTripsAndTooLongTextFailsWritingNothing) {
  const QString name = QStringLiteral("Őrült Űrhajós áéíóöőúüű");
  auto q = query();
  q->sql().add(QStringLiteral("INSERT INTO ostermelo ( o_kod, o_nev ) VALUES ( :p1, :p2 )"));
  q->paramByName(QStringLiteral("p1")).setString(QStringLiteral("70001"));
  q->paramByName(QStringLiteral("p2")).setString(name);
  q->execute();
  transaction().commit();

  auto r = query();
  r->sql().add(QStringLiteral("SELECT o_nev FROM ostermelo WHERE o_kod = :p0"));
  r->paramByName(QStringLiteral("p0")).setString(QStringLiteral("70001"));
  r->open();
  ASSERT_EQ(r->recordCount(), 1);
  EXPECT_EQ(r->fieldByName(QStringLiteral("o_nev")).asString(), name);
  // The database compares in its own code page too.
  r->sql().clear();
  r->sql().add(QStringLiteral("SELECT COUNT(*) AS n FROM ostermelo WHERE o_nev = :p0"));
  r->paramByName(QStringLiteral("p0")).setString(name);
  r->open();
  EXPECT_EQ(r->fieldByName(QStringLiteral("N")).asInteger(), 1);

  // O_KOD holds 5 characters.
  q->paramByName(QStringLiteral("p1")).setString(QStringLiteral("700020"));
  q->paramByName(QStringLiteral("p2")).setString(QStringLiteral("Túl hosszú kód"));
  try {
    q->execute();
    FAIL() << "a six-character code was accepted";
  } catch (const db::Error &e) {
    EXPECT_TRUE(e.message().contains(QStringLiteral("string right truncation"))) << e.what();
  }
  transaction().commit();
  r->sql().clear();
  r->sql().add(QStringLiteral("SELECT COUNT(*) AS n FROM ostermelo WHERE o_nev = :p0"));
  r->paramByName(QStringLiteral("p0")).setString(QStringLiteral("Túl hosszú kód"));
  r->open();
  EXPECT_EQ(r->fieldByName(QStringLiteral("n")).asInteger(), 0);
}

TEST_F(SchemaTest, NumericAmountsAreExact) {
  auto q = query();
  q->sql().add(QStringLiteral("INSERT INTO termek ( t_kod, t_ear ) VALUES ( :p1, :p2 )"));
  q->paramByName(QStringLiteral("p1")).setString(QStringLiteral("80001"));
  q->paramByName(QStringLiteral("p2")).setFloat(1234.5678);
  q->execute();
  q->paramByName(QStringLiteral("p1")).setString(QStringLiteral("80002"));
  q->paramByName(QStringLiteral("p2")).setDecimal(db::Decimal(99999999999999'9999LL, 4));
  q->execute();
  q->sql().clear();
  q->sql().add(QStringLiteral("SELECT t_kod, t_ear FROM termek WHERE t_kod IN ('80001', '80002') ORDER BY t_kod"));
  q->open();
  ASSERT_EQ(q->recordCount(), 2);
  db::Field &ear = q->fieldByName(QStringLiteral("T_EAR"));
  EXPECT_EQ(ear.type(), db::FieldType::Numeric);
  EXPECT_EQ(ear.scale(), 4);
  EXPECT_EQ(ear.asDecimal().units(), 12345678);
  EXPECT_EQ(ear.asDecimal().toString(), QStringLiteral("1234.5678"));
  EXPECT_EQ(ear.asString(), QStringLiteral("1234,5678"));
  EXPECT_EQ(ear.asFloat(), 1234.5678);
  q->next();
  // The largest NUMERIC(18,4) keeps all of its 18 digits.
  EXPECT_EQ(ear.asDecimal().toString(), QStringLiteral("99999999999999.9999"));
}

TEST_F(SchemaTest, AuditStagingTableTakesItsColumnsInInsertOrder) {
  auto q = query();
  q->sql().add(QStringLiteral("SELECT * FROM navfej"));
  q->open();
  const QStringList names = q->fieldNames();
  ASSERT_EQ(names.size(), 48);
  EXPECT_EQ(names.first(), QStringLiteral("FE_SZLASORSZAM"));
  EXPECT_EQ(names[8], QStringLiteral("SZJA_BRUTTOAR"));
  EXPECT_EQ(names.last(), QStringLiteral("VE_KOZADOSZAM"));
  EXPECT_EQ(q->fieldByName(QStringLiteral("fe_szladatum")).type(), db::FieldType::Date);
  EXPECT_EQ(q->fieldByName(QStringLiteral("te_adokulcs")).type(), db::FieldType::Double);
  q->sql().clear();
  q->sql().add(QStringLiteral("DELETE FROM navsor"));
  q->execute();
}

// Catalogue lookups of a column's character length.
int columnLength(vorik::test::TestDatabase &d, const QString &table, const QString &column) {
  auto q = d.query();
  q->sql().add(QStringLiteral("SELECT f.RDB$CHARACTER_LENGTH AS len FROM RDB$RELATION_FIELDS r"));
  q->sql().add(QStringLiteral("  JOIN RDB$FIELDS f ON f.RDB$FIELD_NAME = r.RDB$FIELD_SOURCE"));
  q->sql().add(QStringLiteral("  WHERE r.RDB$RELATION_NAME = :t AND r.RDB$FIELD_NAME = :c"));
  q->paramByName(QStringLiteral("t")).setString(table);
  q->paramByName(QStringLiteral("c")).setString(column);
  q->open();
  return q->isEmpty() ? -1 : static_cast<int>(q->field(0).asInteger());
}

TEST(OldSchema, LacksTheUpgradeColumnsAndTakesTheUpgradeStatements) {
  vorik::test::TestDatabase d(db::SchemaVariant::Old);
  auto q = d.query();
  q->sql().add(QStringLiteral("SELECT * FROM ostermelo  "));
  q->open();
  for (const char *column : {"O_MNYPTAG", "O_FELIR", "O_IGSZAM1", "O_ERVKELT1", "O_CSGAZD1"})
    EXPECT_EQ(q->findField(QString::fromLatin1(column)), nullptr) << column;
  EXPECT_NE(q->findField(QStringLiteral("O_KAMARA")), nullptr);
  EXPECT_EQ(columnLength(d, QStringLiteral("OSTERMELO"), QStringLiteral("O_KAMARA")), 12);

  // The upgrade dialogs' statements, as they are written there.
  for (const char *ddl : {"ALTER TABLE ostermelo ADD o_mnyptag VARCHAR(1) ",
                          "ALTER TABLE OSTERMELO ADD O_FELIR D_BLAP COLLATE PXW_HUNDC ",
                          "ALTER DOMAIN D_KAMARA TYPE VARCHAR(20) CHARACTER SET WIN1250 ",
                          "ALTER TABLE OSTERMELO ADD O_IGSZAM1 SZOVEG20  ",
                          "ALTER TABLE OSTERMELO ADD O_ERVKELT1 D_ERVKELT  ",
                          "ALTER  TABLE OSTERMELO ADD O_CSGAZD1 SZOVEG20   "}) {
    auto u = d.query();
    u->sql().add(QString::fromLatin1(ddl));
    EXPECT_NO_THROW(u->execute()) << ddl;
    d.transaction().commit();
  }
  q->open();
  for (const char *column : {"O_MNYPTAG", "O_FELIR", "O_IGSZAM1", "O_ERVKELT1", "O_CSGAZD1"})
    EXPECT_NE(q->findField(QString::fromLatin1(column)), nullptr) << column;
  EXPECT_EQ(columnLength(d, QStringLiteral("OSTERMELO"), QStringLiteral("O_KAMARA")), 20);
  EXPECT_EQ(q->fieldByName(QStringLiteral("O_ERVKELT1")).type(), db::FieldType::Date);
}

namespace {

// The Hungarian order: a long vowel weighs as its short one until the
// names are otherwise equal, o/ó before ö/ő, double letters as letters of
// their own, lower case first; as the printed lists compare (CompareStr,
// whose test has the same cases).
const QStringList kHungarianOrder = {"Ábel", "Ács", "Adorján", "Áfonya", "Alma", "Cukor", "Csaba", "kor", "Kor", "kór",
                                     "Ódor", "Oláh", "ót", "oz", "őr", "öt", "Ürögi Ödön", "Ürögi Őze", "Zsigmond"};

// The producers' names as a list ordered by name reads them, through the
// index of the name in the lists' collation.
QStringList namesInHungarianOrder(vorik::test::TestDatabase &d) {
  d.exec(QStringLiteral("DELETE FROM ostermelo"));
  for (int i = kHungarianOrder.size() - 1; i >= 0; --i)
    d.exec(QStringLiteral("INSERT INTO ostermelo ( o_kod, o_nev ) VALUES ( '%1', '%2' )").arg(i).arg(kHungarianOrder[i]));
  auto q = d.query();
  q->sql().add(QStringLiteral("SELECT o_nev FROM ostermelo ORDER BY o_nev COLLATE HUN_ABC"));
  q->open();
  EXPECT_TRUE(q->plan().contains(QLatin1String("ORDER IX_OSTERMELO_NEV_ABC"))) << q->plan().toStdString();
  QStringList names;
  for (q->first(); !q->eof(); q->next()) names << q->field(0).asString();
  return names;
}

}  // namespace

TEST(CurrentSchema, HasTheUpgradeColumnsAndTheHungarianCollation) {
  vorik::test::TestDatabase d;
  EXPECT_EQ(columnLength(d, QStringLiteral("OSTERMELO"), QStringLiteral("O_KAMARA")), 20);
  EXPECT_EQ(columnLength(d, QStringLiteral("OSTERMELO"), QStringLiteral("O_IGSZAM1")), 20);
  EXPECT_EQ(columnLength(d, QStringLiteral("OSTERMELO"), QStringLiteral("O_FELIR")), 12);
  // The collation orders accented letters after their base letter.
  auto q = d.query();
  q->sql().add(QStringLiteral("SELECT COUNT(*) FROM RDB$COLLATIONS WHERE RDB$COLLATION_NAME = 'PXW_HUNDC'"));
  q->open();
  EXPECT_EQ(q->field(0).asInteger(), 1);
  EXPECT_EQ(namesInHungarianOrder(d), kHungarianOrder);
}

TEST(SchemaScript, ColumnWidthsReadFromTheScriptAreTheMadeDatabases) {
  for (const db::SchemaVariant variant : {db::SchemaVariant::Current, db::SchemaVariant::Old}) {
    vorik::test::TestDatabase d(variant);
    const QString script = db::schemaScript(variant);
    auto q = d.query();
    q->sql().add(QStringLiteral("SELECT TRIM(r.RDB$RELATION_NAME), TRIM(r.RDB$FIELD_NAME), f.RDB$CHARACTER_LENGTH"));
    q->sql().add(QStringLiteral("  FROM RDB$RELATION_FIELDS r JOIN RDB$FIELDS f ON f.RDB$FIELD_NAME = r.RDB$FIELD_SOURCE"));
    q->sql().add(QStringLiteral("  JOIN RDB$RELATIONS t ON t.RDB$RELATION_NAME = r.RDB$RELATION_NAME"));
    q->sql().add(QStringLiteral("  WHERE t.RDB$SYSTEM_FLAG = 0 AND t.RDB$VIEW_BLR IS NULL AND f.RDB$FIELD_TYPE IN (14, 37)"));
    q->sql().add(QStringLiteral("  AND f.RDB$COMPUTED_BLR IS NULL"));
    int columns = 0;
    for (q->open(); !q->eof(); q->next(), ++columns) {
      const QString table = q->field(0).asString(), column = q->field(1).asString();
      EXPECT_EQ(db::columnWidth(script, table.toLower(), column), q->field(2).asInteger()) << table.toStdString() << "."
                                                                                           << column.toStdString();
    }
    EXPECT_GT(columns, 100);
    EXPECT_EQ(db::columnWidth(script, QStringLiteral("ATVEVO"), QStringLiteral("ID_ATVEVO")), -1);
    EXPECT_EQ(db::columnWidth(script, QStringLiteral("ATVEVO"), QStringLiteral("O_NEV")), -1);
  }
}

TEST(SchemaScript, OldVariantReplacesOrDropsMarkedLinesOnly) {
  const QString script = QStringLiteral(
      "-- a comment that names the marker -- old: here\n"
      "CREATE DOMAIN D AS VARCHAR(20); -- old: CREATE DOMAIN D AS VARCHAR(12);\n"
      "CREATE TABLE T (\n"
      "  A INTEGER,\n"
      "  B INTEGER, -- old:\n"
      "  CONSTRAINT PK PRIMARY KEY (A)\n"
      ");");
  const QString old = db::oldSchemaVariant(script);
  EXPECT_EQ(old, QStringLiteral("-- a comment that names the marker -- old: here\n"
                                "CREATE DOMAIN D AS VARCHAR(12);\n"
                                "CREATE TABLE T (\n"
                                "  A INTEGER,\n"
                                "  CONSTRAINT PK PRIMARY KEY (A)\n"
                                ");"));
  EXPECT_EQ(db::splitScript(old).size(), 2);
}

}  // namespace

namespace {

QStringList indexNames(vorik::test::TestDatabase &d) {
  auto q = d.query();
  q->sql().add(QStringLiteral("SELECT TRIM(rdb$index_name) FROM rdb$indices WHERE rdb$system_flag = 0"));
  q->open();
  QStringList names;
  for (q->first(); !q->eof(); q->next()) names << q->field(0).asString();
  q->close();
  d.transaction().commit();
  return names;
}

}  // namespace

// A file of an earlier version gets the lists' indexes when the program
// opens it, also while another program reads the table, and never the
// unique code index, which rows already stored might break.
TEST(OldSchema, GetsTheListIndexesItLacksWhenOpened) {
  vorik::test::TestDatabase d(db::SchemaVariant::Old);
  d.exec(QStringLiteral("INSERT INTO ostermelo ( o_kod, o_nev ) VALUES ( '1', 'Kiss' )"));
  d.exec(QStringLiteral("INSERT INTO ostermelo ( o_kod, o_nev ) VALUES ( '1', 'Nagy' )"));
  EXPECT_FALSE(indexNames(d).contains(QStringLiteral("IX_OSTERMELO_NEV")));
  vorik::test::Attachment other(d.path());
  other.exec(QStringLiteral("SELECT COUNT(*) FROM ostermelo"));  // a transaction of the other program is open
  const QStringList made = db::addMissingIndexes(d.connection());
  EXPECT_EQ(made, QStringList({"HUN_ABC", "IX_QZFEJ_BSZAM_ASC", "IX_QZFEJ_OSTERMKOD", "IX_OSTERMELO_NEV",
                               "IX_OSTERMELO_NEV_DESC", "IX_TERMEK_MEGNEVEZES", "IX_TERMEK_MEGNEVEZES_DESC",
                               "IX_OSTERMELO_NEV_ABC", "IX_OSTERMELO_NEV_ABC_DESC", "IX_OSTERMELO_NEV_UPPER",
                               "IX_TERMEK_MEGNEVEZES_ABC", "IX_TERMEK_MEGNEVEZES_ABC_DESC",
                               "IX_TERMEK_MEGNEVEZES_UPPER", "IX_OSTERMELO_HELYSEGNEV",
                               "IX_OSTERMELO_HELYSEGNEV_DESC", "IX_OSTERMELO_ADOSZAM",
                               "IX_OSTERMELO_ADOSZAM_DESC", "IX_OSTERMELO_ADOAZON",
                               "IX_OSTERMELO_ADOAZON_DESC", "IX_QZFEJ_FELVKELT_EXP", "IX_QZFEJ_FIZKELT_EXP"}));
  const QStringList names = indexNames(d);
  for (const QString &name : made.mid(1)) EXPECT_TRUE(names.contains(name)) << name.toStdString();
  EXPECT_TRUE(db::addMissingIndexes(d.connection()).isEmpty());
  // The stored rows stay, repeated code and all.
  auto q = d.query();
  q->sql().add(QStringLiteral("SELECT COUNT(*) FROM ostermelo WHERE o_kod = '1'"));
  q->open();
  EXPECT_EQ(q->field(0).asInteger(), 2);
  q->close();
  EXPECT_EQ(namesInHungarianOrder(d), kHungarianOrder);
}
