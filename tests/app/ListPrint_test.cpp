// The producer and product lists printed from their dialogs' print buttons
// on the program's own layouts.
#include "app/producers/Unit4.h"
#include "app/products/Unit6.h"
#include "support/print_fixture.h"

#include <QFile>
#include <QPushButton>

using namespace vorik::test;

namespace {

// The lists print every producer and product of the suite's database: each
// test starts without those the suite's other tests stored.
class ListPrinting : public PrintFixture {
 protected:
  void SetUp() override {
    PrintFixture::SetUp();
    exec(QStringLiteral("DELETE FROM OSTERMELO"));
    exec(QStringLiteral("DELETE FROM TERMEK"));
  }
};

TEST_F(ListPrinting, ProducerListNamesTheReceiverAndCountsEveryProducer) {
  for (int i = 1; i <= 3; ++i)
    exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_IRSZAM, O_HELYSEGNEV, O_UTCA, O_SZIDO) "
                        "VALUES ('L%1', 'Lista Termelő %1', '6000', 'Kecskemét', 'Fő', '1970-01-0%1')")
             .arg(i));
  for (const char *name : {"Szőke Győző", "Őri Ernő"})
    exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV) VALUES ('%1', '%2')").arg(QString::fromUtf8(name).left(2), QString::fromUtf8(name)));
  TForm4 form(nullptr);
  form.Button7Click();
  ASSERT_EQ(pages_.size(), 1u);
  // Hungarian order: an accented initial beside its letter, not after "Z".
  const QStringList texts = allTexts();
  EXPECT_LT(texts.indexOf(QStringLiteral("Lista Termelő 3")), texts.indexOf(QStringLiteral("Őri Ernő")));
  EXPECT_LT(texts.indexOf(QStringLiteral("Őri Ernő")), texts.indexOf(QStringLiteral("Szőke Győző")));
  EXPECT_EQ(previewed_, Data->frNyomtat);
  EXPECT_TRUE(shows(QStringLiteral("Kalász Felvásárló Kft. ") + receiver_));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Őstermelők listája")));
  for (int i = 1; i <= 3; ++i) EXPECT_TRUE(allTexts().contains(QStringLiteral("Lista Termelő %1").arg(i)));
  EXPECT_TRUE(shows(QStringLiteral("Kecskemét, Fő")));  // the street as the ticket prints it
  EXPECT_EQ(previewed_->Title, QStringLiteral("Őstermelők listája"));
  EXPECT_TRUE(shows(QStringLiteral("1970.01.02")));
  const int producers = scalar(QStringLiteral("SELECT COUNT(*) FROM OSTERMELO")).toInt();
  EXPECT_TRUE(allTexts().contains(QStringLiteral("Őstermelők száma: %1").arg(producers)));
  EXPECT_TRUE(allTexts().contains(QStringLiteral("1/1")));
  // The list keeps the print statement: name and birth-date order.
  EXPECT_TRUE(Data->ZQ30->sql().text().contains(QStringLiteral("ORDER BY o_Nev COLLATE HUN_ABC, o_Szido")));
}

// Every part of the address the producer entry stores is printed, in the
// order the ticket prints them, each row its own.
TEST_F(ListPrinting, ProducerListPrintsTheWholeAddress) {
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_IRSZAM, O_HELYSEGNEV, O_KERULET, O_UTCA, O_JELLEG, "
                      "O_HAZSZAM, O_EPULET, O_LEPCSO, O_SZINT, O_AJTO) VALUES ('C1', 'Cím Teljes', '1133', "
                      "'Budapest', 'XIII.', 'Váci', 'út', '12.', 'B', 'II.', '3.', '5.')"));
  exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_IRSZAM, O_HELYSEGNEV, O_UTCA, O_JELLEG, O_HAZSZAM) "
                      "VALUES ('C2', 'Cím Rövid', '6000', 'Kecskemét', 'Rákóczi', 'út', '7.')"));
  TForm4 form(nullptr);
  form.Button7Click();
  ASSERT_FALSE(pages_.empty());
  QStringList addresses;
  for (const QString &t : allTexts())
    if (t.startsWith(QStringLiteral("1133 ")) || t.startsWith(QStringLiteral("6000 Kecskemét, ")))
      addresses << QString(t).replace(QLatin1Char('|'), QLatin1Char(' ')).simplified();
  EXPECT_TRUE(addresses.contains(QStringLiteral("1133 Budapest, XIII. Váci út 12. B II. 3. 5.")))
      << addresses.join(QStringLiteral(" / ")).toStdString();
  EXPECT_TRUE(addresses.contains(QStringLiteral("6000 Kecskemét, Rákóczi út 7.")))
      << addresses.join(QStringLiteral(" / ")).toStdString();
  drawShown(0, 1.5, QStringLiteral("producers_address.png"));
}

TEST_F(ListPrinting, ManyProducersRunOverPagesWithTheCountOnTheLast) {
  for (int i = 0; i < 120; ++i)
    exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV) VALUES ('M%1', 'Sok Termelő %1')").arg(i, 3, 10, QLatin1Char('0')));
  TForm4 form(nullptr);
  form.Button7Click();
  ASSERT_GE(pages_.size(), 2u);
  const int total = static_cast<int>(pages_.size());
  for (int p = 0; p < total; ++p) {
    EXPECT_TRUE(pages_[p].contains(QStringLiteral("%1/%2").arg(p + 1).arg(total))) << p;
    EXPECT_TRUE(pages_[p].contains(QStringLiteral("Adóazonosító jel"))) << p;  // titles on every page
    bool counted = false;
    for (const QString &t : pages_[p]) counted |= t.startsWith(QStringLiteral("Őstermelők száma: "));
    EXPECT_EQ(counted, p == total - 1) << p;
  }
  // Landscape, and nothing drawn in the strip beside the right edge.
  const QImage first = drawShown(0, 1.5, QStringLiteral("producers.png"));
  ASSERT_FALSE(first.isNull());
  EXPECT_GT(first.width(), first.height());
  int ink = 0;
  for (int y = 0; y < first.height(); ++y)
    for (int x = first.width() - 30; x < first.width(); ++x) ink += qGray(first.pixel(x, y)) < 128;
  EXPECT_EQ(ink, 0);
}

TEST_F(ListPrinting, ProductListInNameOrder) {
  exec(QStringLiteral("INSERT INTO TERMEK (T_KOD, T_MEGNEVEZES, T_VTSZ, T_EAR, T_MEGY, T_KOMPMERTEKE) "
                      "VALUES ('T1', 'Szilva', '0809', 250, 'kg', 12)"));
  exec(QStringLiteral("INSERT INTO TERMEK (T_KOD, T_MEGNEVEZES, T_VTSZ, T_EAR, T_MEGY, T_KOMPMERTEKE) "
                      "VALUES ('T2', 'Alma', '0808', 1250.5, 'kg', 7)"));
  for (const char *name : {"Tűzifa", "Őszi árpa"})
    exec(QStringLiteral("INSERT INTO TERMEK (T_KOD, T_MEGNEVEZES) VALUES ('%1', '%2')").arg(QString::fromUtf8(name).left(2), QString::fromUtf8(name)));
  TForm6 form(nullptr);
  form.Button6Click();
  ASSERT_EQ(pages_.size(), 1u);
  const QStringList t = allTexts();
  EXPECT_TRUE(t.contains(QStringLiteral("Termékek listája")));
  EXPECT_EQ(previewed_->Title, QStringLiteral("Termékek listája"));
  EXPECT_LT(t.indexOf(QStringLiteral("Alma")), t.indexOf(QStringLiteral("Őszi árpa")));
  EXPECT_LT(t.indexOf(QStringLiteral("Őszi árpa")), t.indexOf(QStringLiteral("Szilva")));
  EXPECT_LT(t.indexOf(QStringLiteral("Szilva")), t.indexOf(QStringLiteral("Tűzifa")));
  EXPECT_TRUE(t.contains(QStringLiteral("1\u00A0250,50")));
  EXPECT_TRUE(t.contains(QStringLiteral("Termékek száma: 4")));
  drawShown(0, 1.5, QStringLiteral("products.png"));
}

TEST_F(ListPrinting, MissingLayoutIsNamedAndNothingIsShown) {
  ASSERT_TRUE(QFile::rename(QStringLiteral("QzLista6.frf"), QStringLiteral("QzLista6.bak")));
  TForm6 form(nullptr);
  const QString message = messageOf([&] { form.Button6Click(); });
  QFile::rename(QStringLiteral("QzLista6.bak"), QStringLiteral("QzLista6.frf"));
  EXPECT_TRUE(message.contains(QStringLiteral("QzLista6.frf"))) << message.toStdString();
  EXPECT_TRUE(pages_.empty());
}

// A broken (cut short) layout: named, and told in the program's words.
TEST_F(ListPrinting, BrokenLayoutIsToldInTheProgramsWords) {
  QFile layout(QStringLiteral("QzLista6.frf"));
  ASSERT_TRUE(layout.open(QIODevice::ReadWrite));
  const QByteArray whole = layout.readAll();
  ASSERT_TRUE(layout.resize(whole.size() / 2));
  layout.close();
  TForm6 form(nullptr);
  const QString message = messageOf([&] { form.Button6Click(); });
  EXPECT_TRUE(writeFile(layout.fileName(), whole));
  EXPECT_TRUE(message.contains(QStringLiteral("QzLista6.frf\nA fájl sérült vagy nem nyomtatási minta. Kérem")));
}

}  // namespace
