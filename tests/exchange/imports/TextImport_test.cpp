// Reading the import files: encodings, lines, the ";"-separated fields and
// the fixed-width records of the older version, with broken input.
#include "exchange/imports/TextImport.h"
#include "platform/cp1250.h"
#include "platform/error_text.h"
#include "support/temp_dir.h"

#include <QDate>
#include <QDir>

#include <cerrno>

#include <gtest/gtest.h>

using namespace imports;

namespace {

// A fixed-width line: each text at its 1-based position, blanks between.
QString Line(std::initializer_list<std::pair<int, QString>> fields) {
  QString line;
  for (const auto &[position, text] : fields) {
    if (line.size() < position - 1) line += QString(position - 1 - line.size(), QLatin1Char(' '));
    line.replace(position - 1, text.size(), text);
    if (line.size() < position - 1 + text.size()) line = line.left(position - 1) + text;
  }
  return line;
}

TEST(ImportText, Windows1250AndUtf8GiveTheSameText) {
  const QString text = QStringLiteral("Kővári Ödön;Űrös Árpádné\r\nŐszibarack\n");
  EXPECT_EQ(DecodeText(platform::toCp1250(text), QStringLiteral("a.csv")), text);
  EXPECT_EQ(DecodeText(text.toUtf8(), QStringLiteral("a.csv")), text);
  EXPECT_EQ(DecodeText(QByteArray("\xEF\xBB\xBF") + text.toUtf8(), QStringLiteral("a.csv")), text);
  // Lines of both (the file read whole either way would be garbled): refused, naming a line of each.
  try {
    ADD_FAILURE() << DecodeText(text.toUtf8() + platform::toCp1250(text), QStringLiteral("a.csv")).toStdString();
  } catch (const FileError &e) {
    EXPECT_TRUE(e.message().contains(QStringLiteral("(a(z) 1. sor UTF-8, a(z) 3. sor Windows-1250 kódolású)")));
  }
  // A byte that cannot start UTF-8 means the code page.
  EXPECT_EQ(DecodeText(QByteArray("\xE1rv\xEDzt\xFBr\xF5"), QString()), QStringLiteral("árvíztűrő"));
  EXPECT_EQ(DecodeText(QByteArray(), QString()), QString());
  try {
    DecodeText(QByteArray("ab\0cd", 5), QStringLiteral("x.csv"));
    FAIL() << "binary bytes read as text";
  } catch (const FileError &e) {
    EXPECT_TRUE(e.message().contains(QStringLiteral("\"x.csv\""))) << e.what();
  }
  // A spreadsheet's "Unicode text" (UTF-16) is refused the same way, not read as garbage.
  const QString utf16 = QStringLiteral("Kővári;1");
  EXPECT_THROW(DecodeText(QByteArray("\xFF\xFE") +
                              QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2),
                          QStringLiteral("u.csv")),
               FileError);
}

TEST(ImportText, LinesEndWithAnyBreak) {
  EXPECT_EQ(SplitLines(QStringLiteral("a\r\nb\nc\rd")), (QStringList{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines(QStringLiteral("a\r\n")), QStringList{"a"});
  EXPECT_EQ(SplitLines(QStringLiteral("a\r\n\r\nb")), (QStringList{"a", "", "b"}));
  EXPECT_TRUE(SplitLines(QString()).isEmpty());
  EXPECT_EQ(Trim(QStringLiteral("\t  x y \x01\r")), QStringLiteral("x y"));
  // A file that cannot be read: the system's part in the program's words.
  vorik::test::TempDir dir;
  QDir(dir.path()).mkdir(QStringLiteral("mappa.csv"));
  for (const auto &[name, error] : {std::pair{"nincs/ilyen.csv", ENOENT}, std::pair{"mappa.csv", EISDIR}}) {
    const QString path = dir.file(name);
    try {
      ReadLines(path);
      ADD_FAILURE() << name << ": no error";
    } catch (const FileError &e) {
      EXPECT_EQ(e.message(), QStringLiteral("Cannot open file \"%1\". %2").arg(path, platform::systemErrorText(error)));
    }
  }
}

TEST(ImportText, CsvFields) {
  EXPECT_EQ(SplitCsv(QStringLiteral(" a ; b;;c ")), (QStringList{"a", "b", "", "c"}));
  EXPECT_EQ(SplitCsv(QString()), QStringList{""});
  EXPECT_EQ(SplitCsv(QStringLiteral("a;")), (QStringList{"a", ""}));
  // A field the spreadsheet quoted keeps its ";" and its doubled quotes.
  bool unclosed = true;
  EXPECT_EQ(SplitCsv(QStringLiteral("1;\"Kovács; és Fia \"\"Kft\"\"\";x"), &unclosed),
            (QStringList{"1", "Kovács; és Fia \"Kft\"", "x"}));
  EXPECT_FALSE(unclosed);
  EXPECT_EQ(SplitCsv(QStringLiteral("1;\"nyitott;x"), &unclosed), (QStringList{"1", "nyitott;x"}));
  EXPECT_TRUE(unclosed);
  // Fields after the 24th are ignored.
  QStringList thirty;
  for (int i = 1; i <= 30; ++i) thirty << QString::number(i);
  const QStringList fields = SplitCsv(thirty.join(QLatin1Char(';')));
  EXPECT_EQ(fields, thirty.mid(0, 24));
}

TEST(ImportText, CsvProducerValues) {
  const Record r = CsvProducer(QStringLiteral(
      "123456;Kővári Ödön;67201;Szeged;Árpád tér 1;8123456789X;AB1234567;R123456789X;999;Hódmezővásárhely;"
      "1970.05.17;Űrös Mária;CS123456X;1X;Kővári Ödön;123-456-789;12345678-1-06;11773016-11111111"));
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  ASSERT_EQ(r.values.size(), 18);
  EXPECT_EQ(r.values[0].toString(), QStringLiteral("12345"));
  EXPECT_EQ(r.values[2].toString(), QStringLiteral("6720"));
  EXPECT_EQ(r.values[5].toString(), QStringLiteral("8123456789"));
  EXPECT_EQ(r.values[6].toString(), QStringLiteral("AB123456"));
  EXPECT_EQ(r.values[8].toLongLong(), 0) << "field 9 is not used";
  EXPECT_EQ(r.values[10].toDate(), QDate(1970, 5, 17));
  EXPECT_EQ(r.values[12].toString(), QStringLiteral("CS123456"));
  EXPECT_EQ(r.values[13].toString(), QStringLiteral("1"));
  EXPECT_EQ(r.values[15].toString(), QStringLiteral("123456789"));
  EXPECT_EQ(r.values[16].toString(), QStringLiteral("12345678-1-06"));
  EXPECT_EQ(r.values[17].toString(), QStringLiteral("11773016-11111111"));

  // TAJ: nine digits as they are, ten cut to nine; birth dates of six
  // characters or fewer, and missing fields, give 1 January 1900.
  EXPECT_EQ(CsvProducer(QString(15, QLatin1Char(';')) + QStringLiteral("123456789")).values[15].toString(),
            QStringLiteral("123456789"));
  EXPECT_EQ(CsvProducer(QString(15, QLatin1Char(';')) + QStringLiteral("1234567890")).values[15].toString(),
            QStringLiteral("123456789"));
  EXPECT_EQ(CsvProducer(QStringLiteral("1;a;;;;;;;;;1970.5")).values[10].toDate(), QDate(1900, 1, 1));
  const Record shortLine = CsvProducer(QStringLiteral("7;Rövid"));
  ASSERT_TRUE(shortLine.ok());
  EXPECT_EQ(shortLine.values[10].toDate(), QDate(1900, 1, 1));
  EXPECT_EQ(shortLine.values[17].toString(), QString());

  // A date that does not convert and an unclosed quote are the line's errors.
  EXPECT_FALSE(CsvProducer(QStringLiteral("1;a;;;;;;;;;17/05/1970")).ok());
  EXPECT_FALSE(CsvProducer(QStringLiteral("1;\"a;b")).ok());
}

TEST(ImportText, OlderVersionProducer) {
  const QString line = Line({{2, QStringLiteral("0012 ")},
                             {7, QStringLiteral("Kővári Ödön")},
                             {53, QStringLiteral("6720")},
                             {58, QStringLiteral("Szeged")},
                             {104, QStringLiteral("Árpád tér 1")},
                             {150, QStringLiteral("8123456789")},
                             {161, QStringLiteral("AB123456")},
                             {170, QStringLiteral("R123456789")},
                             {183, QStringLiteral("Hódmezővásárhely")},
                             {229, QStringLiteral("1960.05.17")},
                             {240, QStringLiteral("Űrös Mária")},
                             {288, QStringLiteral("CS12")},
                             {297, QStringLiteral("1")},
                             {299, QStringLiteral("Kővári Ödön")},
                             {345, QStringLiteral("123456789")},
                             {355, QStringLiteral("12345678106")},
                             {367, QStringLiteral("11773016-11111111")}});
  const Record r = OldProducer(line);
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  ASSERT_EQ(r.values.size(), 20);
  EXPECT_EQ(r.values[0].toString(), QStringLiteral("10012 ")) << "not trimmed";
  EXPECT_EQ(r.values[1].toString(), QStringLiteral("Kővári Ödön"));
  EXPECT_EQ(r.values[4].toString(), QStringLiteral("Árpád tér 1"));
  EXPECT_EQ(r.values[10].toDate(), QDate(1960, 5, 17));
  EXPECT_EQ(r.values[14].toString(), QStringLiteral("1"));
  EXPECT_EQ(r.values[18].toString(), QStringLiteral("11773016-11111111"));
  EXPECT_EQ(r.values[19].toString(), QStringLiteral("1"));

  // No "." at 233: no birth date. A bad date there: the line's error.
  const Record noDate = OldProducer(Line({{2, QStringLiteral("00013")}, {7, QStringLiteral("Nincs")}}));
  ASSERT_TRUE(noDate.ok());
  EXPECT_TRUE(noDate.values[10].isNull());
  EXPECT_FALSE(OldProducer(Line({{2, QStringLiteral("00014")}, {229, QStringLiteral("1960.13.45")}})).ok());
  // A short line gives empty fields, not a failure.
  EXPECT_EQ(OldProducer(QStringLiteral("x")).values[1].toString(), QString());
}

TEST(ImportText, OlderVersionProductAndReceiver) {
  const Record p = OldProduct(Line({{2, QStringLiteral("00007")},
                                    {7, QStringLiteral("Őszibarack I. osztály")},
                                    {83, QStringLiteral("0809")},
                                    {94, QStringLiteral("12,5")},
                                    {110, QStringLiteral("kg")},
                                    {121, QStringLiteral("12")}}));
  ASSERT_TRUE(p.ok()) << p.error.toStdString();
  EXPECT_EQ(p.values[0].toString(), QStringLiteral("100007"));
  EXPECT_EQ(p.values[1].toString(), QStringLiteral("Őszibarack I. osztály"));
  EXPECT_DOUBLE_EQ(p.values[3].toDouble(), 12.5);
  EXPECT_EQ(p.values[4].toString(), QStringLiteral("kg"));
  EXPECT_DOUBLE_EQ(p.values[5].toDouble(), 12);
  EXPECT_DOUBLE_EQ(OldProduct(Line({{94, QStringLiteral("1234.75")}})).values[3].toDouble(), 1234.75);
  EXPECT_TRUE(OldProduct(Line({{7, QStringLiteral("Ár nélkül")}})).values[3].isNull());
  EXPECT_FALSE(OldProduct(Line({{94, QStringLiteral("12,5a")}})).ok());
  EXPECT_FALSE(OldProduct(Line({{121, QStringLiteral("x")}})).ok());

  const Record v = OldReceiver(Line({{1, QStringLiteral("Első Átvevő Kft.")},
                                     {47, QStringLiteral("Szeged")},
                                     {93, QStringLiteral("Fő út 1.")},
                                     {139, QStringLiteral("6720")},
                                     {144, QStringLiteral("12345678206")}}),
                               3);
  EXPECT_EQ(v.values, (QVariantList{QStringLiteral("3"), QStringLiteral("Első Átvevő Kft."), QStringLiteral("Szeged"),
                                    QStringLiteral("Fő út 1."), QStringLiteral("6720"), QStringLiteral("12345678206")}));
}

}  // namespace
