// The return line list: lines of the period with cancelling documents'
// negative amounts, the total, the orders, what disables "Nyomtatás", and the
// printed list on a layout built in the test.
#include "app/MenuCommands.h"
#include "exchange/returns/Unit12.h"
#include "returns_fixture.h"
#include "support/gui_driver.h"
#include "tools/layouts/ProgramLayouts.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDateEdit>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

using namespace vorik::test;

namespace {

class Form12Test : public ReturnsTest {
 protected:
  void SetUp() override {
    ReturnsTest::SetUp();
    if (filled_) return;
    filled_ = true;
    exec(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('R1', 'Kőszegi Áru Bt.')"));
    exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV) VALUES ('1', 'Kovács János')"));
    exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV) VALUES ('2', 'Bíró Béla')"));
    const char *heads[] = {
        // serial, producer, payment date, purchase date, type
        "'25000001', '1', '2025-03-05', '2025-03-04', '1'",  // cancelled below
        "'25000002', '1', '2025-03-20', '2025-03-01', '4'",  // the cancelling document
        "'25000003', '2', '2025-03-10', '2025-03-10', '1'",
        "'25000004', '2', '2025-04-01', '2025-04-01', '1'",  // outside the period
    };
    for (const char *h : heads)
      exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_FIZKELT, F_FELVKELT, F_TIPUS, F_AKOD) "
                          "VALUES (%1, 'R1')")
               .arg(QLatin1String(h)));
    const char *lines[] = {
        // serial, name, gross, unit price, compensation %: amount = gross * price * (1 + comp / 100)
        "'25000001', 'Szilva', 10, 100, 12",   // 1120
        "'25000002', 'Szilva', -10, 100, 12",  // -1120
        "'25000003', 'Alma', 5, 200, 0",       // 1000
        "'25000004', 'Körte', 1, 1, 0",
    };
    for (const char *l : lines)
      exec(QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_MEGNEVEZES, S_BRUTTO, S_EAR, S_KOMPMERTEKE, S_LEVONSZAZ, "
                          "S_AKOD) VALUES (%1, 0, 'R1')")
               .arg(QString::fromUtf8(l)));
  }

  std::unique_ptr<TForm12> Open(QDate from, QDate to) {
    auto f = showForm(Form12);
    f->DateTimePicker1->setDate(from);
    f->DateTimePicker2->setDate(to);
    return f;
  }
  static void Gather(TForm12 *f) {
    ModalScript none;
    none.runUntilReturn([&] { click(f, QStringLiteral("Button1")); QApplication::processEvents(); });
  }
  // The listed lines as "serial name amount".
  static QStringList Lines() {
    QStringList out;
    db::Query *q = Data->ZQ20;
    for (q->first(); !q->eof(); q->next())
      out << q->fieldByName(QStringLiteral("S_BSZAM")).asString() + ' ' +
                 q->fieldByName(QStringLiteral("S_MEGNEVEZES")).asString() + ' ' +
                 q->fieldByName(QStringLiteral("S_VETELAR")).asString();
    return out;
  }

  static inline bool filled_ = false;
};

TEST_F(Form12Test, CancellingDocumentsAreListedWithNegativeAmounts) {
  auto f = Open(QDate(2025, 3, 1), QDate(2025, 3, 31));
  EXPECT_FALSE(f->Button2->isEnabled());
  EXPECT_TRUE(HasMenuCommand(QStringLiteral("Bevallslista1")));
  setChecked(f.get(), QStringLiteral("RadioButton3"), true);  // by serial
  Gather(f.get());
  EXPECT_EQ(f->totalText(), QStringLiteral("1000"));
  EXPECT_EQ(Lines(), (QStringList{"25000001 Szilva 1120", "25000002 Szilva -1120", "25000003 Alma 1000"}));
  EXPECT_TRUE(f->Button2->isEnabled());
  // "Mennyiség" shows each line's net quantity.
  QAbstractItemModel *grid = f->DBGrid1->model();
  ASSERT_EQ(grid->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Mennyiség"));
  QStringList quantities;
  for (int row = 0; row < grid->rowCount(); ++row) quantities << grid->index(row, 2).data().toString();
  EXPECT_EQ(quantities, (QStringList{"10", "-10", "5"}));
  const QImage shot = f->grab().toImage();
  EXPECT_FALSE(shot.isNull());
  shot.save(QStringLiteral(VORIK_BINARY_DIR "/Form12.png"));
}

TEST_F(Form12Test, APeriodWithoutLinesTotalsZero) {
  auto f = Open(QDate(2025, 5, 1), QDate(2025, 5, 31));
  Gather(f.get());
  EXPECT_EQ(f->totalText(), QStringLiteral("0"));
  EXPECT_TRUE(Lines().isEmpty());
}

TEST_F(Form12Test, EitherDateOrTheOrderDisablesPrint) {
  auto f = Open(QDate(2025, 3, 1), QDate(2025, 3, 31));
  Gather(f.get());
  ASSERT_TRUE(f->Button2->isEnabled());
  f->DateTimePicker2->setDate(QDate(2025, 3, 30));
  EXPECT_FALSE(f->Button2->isEnabled()) << "the listed lines belong to the gathered end date";
  Gather(f.get());
  f->DateTimePicker1->setDate(QDate(2025, 3, 2));
  EXPECT_FALSE(f->Button2->isEnabled());
  Gather(f.get());
  click(f.get(), QStringLiteral("RadioButton2"));
  QApplication::processEvents();
  EXPECT_FALSE(f->Button2->isEnabled());
  // Payment date order.
  Gather(f.get());
  EXPECT_EQ(Lines(), (QStringList{"25000001 Szilva 1120", "25000003 Alma 1000", "25000002 Szilva -1120"}));
}

TEST_F(Form12Test, TheProgramsLayoutPrintsTheLinesInLandscape) {
  report::TfrReport layout;
  report::layouts::BuildReturnLineList(layout);
  layout.SaveToFile(drive_->file(QStringLiteral("QzLista4.frf")));
  auto f = Open(QDate(2025, 3, 1), QDate(2025, 3, 31));
  setChecked(f.get(), QStringLiteral("RadioButton4"), true);  // by product name
  Gather(f.get());
  PreviewCapture preview;
  ModalScript none;
  none.runUntilReturn([&] { click(f.get(), QStringLiteral("Button2")); QApplication::processEvents(); });
  ASSERT_TRUE(preview.seen.shown);
  const QStringList &t = preview.seen.texts;
  EXPECT_TRUE(t.contains(QStringLiteral("Bevallás tételes lista 2025.03.01 – 2025.03.31, termék megnevezés szerint")))
      << t.join('\n').toStdString();
  EXPECT_LT(t.indexOf(QStringLiteral("Alma")), t.indexOf(QStringLiteral("Szilva")));
  for (const char *cell : {"25000001", "25000002", "25000003", "Szilva", "Alma", "1 120,00", "-1 120,00", "1 000,00",
                           "2025.03.20"})
    EXPECT_TRUE(t.contains(QString::fromUtf8(cell).replace(' ', QChar(0xA0)))) << cell;
  EXPECT_TRUE(t.contains(QStringLiteral("Tételek száma: 3")) && t.contains(QStringLiteral("Összesen: 1\u00A0000,00 Ft")));  // as the amounts above it
  EXPECT_EQ(Data->frNyomtat->Pages[0]->pgOr, 1);
  const QImage page = preview.draw(0);
  ASSERT_FALSE(page.isNull());
  EXPECT_GT(page.width(), page.height());
  page.save(QStringLiteral(VORIK_BINARY_DIR "/QzLista4.png"));
}

}  // namespace
