// The 08M return dialog driven through its controls: the period check and
// the buttons it enables, the gather into the month folder, failures named in
// a box, and the printed list on a layout built in the test.
#include "../grid_check.h"
#include "app/MenuCommands.h"
#include "app/common/LimitedEdit.h"
#include "exchange/returns/Unit11.h"
#include "returns_fixture.h"
#include "support/gui_driver.h"
#include "tools/layouts/ProgramLayouts.h"

#include <QApplication>
#include <QDateEdit>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>

using namespace vorik::test;

namespace {

class Form11Test : public ReturnsTest {
 protected:
  void SetUp() override {
    ReturnsTest::SetUp();
    if (filled_) return;
    filled_ = true;
    exec(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE, V_ADOSZAM, V_ADOAZON) "
                        "VALUES ('R1', 'Kőszegi Áru Bt.', '12345676123', '8111111118')"));
    exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_ADOAZON, O_FELIR) "
                        "VALUES ('1', 'Kovács János', '8123456786', 'AB1234567')"));
    exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_ADOAZON) VALUES ('2', 'Ábel Anna', '8234567891')"));
    exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_AKOD, F_FIZKELT, F_MUVKTG, F_SUMVAR) "
                        "VALUES ('25000001', '1', 'R1', '2025-03-05', 100.5, 2002.5)"));
    exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_OSTERMKOD, F_AKOD, F_FIZKELT, F_MUVKTG, F_SUMVAR) "
                        "VALUES ('25000002', '2', 'R1', '2025-03-06', 50, 1000.5)"));
  }

  std::unique_ptr<TForm11> Open() { return showForm(Form11); }
  static void Period(TForm11 *f, QDate from, QDate to) {
    f->DateTimePicker1->setDate(from);
    f->DateTimePicker2->setDate(to);
  }
  // Clicks a button and answers the boxes it shows.
  static std::vector<MessageSeen> Click(QWidget *f, const char *button, int boxes) {
    return answerOk([&] { click(f, QString::fromLatin1(button)); }, boxes);
  }

  static inline bool filled_ = false;
};

TEST_F(Form11Test, OpensOnTheCurrentYearWithBothActionsDisabled) {
  auto f = Open();
  EXPECT_EQ(f->windowTitle(), QStringLiteral("NAV 2308M adat importnak a létrehozása"));
  EXPECT_EQ(f->DateTimePicker1->date(), QDate(QDate::currentDate().year(), 1, 1));
  EXPECT_EQ(f->DateTimePicker2->date(), QDate(QDate::currentDate().year(), 12, 31));
  EXPECT_FALSE(f->Button1->isEnabled());
  EXPECT_FALSE(f->Button2->isEnabled());
  EXPECT_EQ(Data->ZQ20->recordCount(), 0);
  expectGridReadable(f.get(), QStringLiteral("DBGrid1"));  // before a gather too
  EXPECT_TRUE(HasMenuCommand(QStringLiteral("N0808Mhozexport1")));
  const QImage shot = f->grab().toImage();
  EXPECT_FALSE(shot.isNull());
  shot.save(QStringLiteral(VORIK_BINARY_DIR "/Form11.png"));
}

TEST_F(Form11Test, APeriodOverTwoYearsIsRefusedAndDisablesBothButtons) {
  auto f = Open();
  Period(f.get(), QDate(2025, 3, 1), QDate(2025, 3, 31));
  Click(f.get(), "Button5", 0);
  ASSERT_TRUE(f->Button1->isEnabled());
  EXPECT_EQ(f->Edit1->text(), QStringLiteral("C:\\QZ2025\\03\\"));
  Click(f.get(), "Button1", 0);
  ASSERT_TRUE(f->Button2->isEnabled());

  // The dates change without a box: the pickers alone already disable both.
  f->DateTimePicker2->setDate(QDate(2026, 3, 20));
  EXPECT_FALSE(f->Button1->isEnabled());
  EXPECT_FALSE(f->Button2->isEnabled());
  Period(f.get(), QDate(2025, 1, 5), QDate(2026, 1, 20));
  const auto seen = Click(f.get(), "Button5", 1);
  EXPECT_EQ(seen[0].text, QStringLiteral("Hiba112! Csak egy hónap intervallum lehet."));
  EXPECT_FALSE(f->Button1->isEnabled());
  EXPECT_FALSE(f->Button2->isEnabled());

  // Leaving the second picker checks with its own number.
  MessageSeen exit;
  ModalScript script;
  script.then(answer(QMessageBox::Ok, &exit));
  script.runUntilReturn([&] { f->DateTimePicker2Exit(); });
  EXPECT_EQ(exit.text, QStringLiteral("Hiba111! Csak egy hónap intervallum lehet."));
  EXPECT_FALSE(f->Button1->isEnabled());
}

TEST_F(Form11Test, TheGatherWritesTheFilesOfTheCheckedPeriod) {
  auto f = Open();
  Period(f.get(), QDate(2025, 3, 1), QDate(2025, 3, 31));
  Click(f.get(), "Button5", 0);
  Click(f.get(), "Button1", 0);
  EXPECT_EQ(folderBytes(QStringLiteral("C:\\QZ2025\\03\\")).keys(),
            (QStringList{"2508M202503_8123456786.imp", "2508M202503_8234567891.imp", "2508M_20250301_0331.txt"}));
  EXPECT_EQ(f->receiverTotal(), QStringLiteral("151"));  // 100.5 + 50, half away from zero
  EXPECT_EQ(Data->ZQ20->recordCount(), 2);
  EXPECT_TRUE(f->Button2->isEnabled());
  // The grid shows the month per producer under the printed list's titles.
  EXPECT_EQ(columnTitles(f.get(), QStringLiteral("DBGrid1")), (QStringList{"Kód", "Kifizetett összeg (Ft)"}));
}

TEST_F(Form11Test, AMissingMonthFolderIsNamedAndPrintStaysDisabled) {
  QDir(disk(QStringLiteral("C:\\QZ2025\\03"))).removeRecursively();
  auto f = Open();
  Period(f.get(), QDate(2025, 3, 1), QDate(2025, 3, 31));
  Click(f.get(), "Button5", 0);
  const auto seen = Click(f.get(), "Button1", 1);
  EXPECT_EQ(seen[0].kind, QStringLiteral("Error"));
  EXPECT_EQ(seen[0].text,
            QStringLiteral("Hiba! A(z) C:\\QZ2025\\03\\2508M202503_8123456786.imp fájl nem írható: a fájl vagy a mappa nem létezik."));
  EXPECT_FALSE(f->Button2->isEnabled());
}

TEST_F(Form11Test, TheProgramsLayoutPrintsTheMonthPerProducerInPortrait) {
  report::TfrReport layout;
  report::layouts::BuildReturnList(layout);
  layout.SaveToFile(drive_->file(QStringLiteral("QzLista3.frf")));
  Edit15Option = QStringLiteral("1");  // the price column, for the list too
  auto f = Open();
  Period(f.get(), QDate(2025, 3, 1), QDate(2025, 3, 31));
  Click(f.get(), "Button5", 0);
  Click(f.get(), "Button1", 0);
  PreviewCapture preview;
  Click(f.get(), "Button2", 0);
  ASSERT_TRUE(preview.seen.shown);
  EXPECT_TRUE(Data->frCompositeReport1->Reports.empty());
  const QStringList &t = preview.seen.texts;
  const std::string all = t.join(QLatin1Char('\n')).toStdString();
  EXPECT_TRUE(t.contains(QStringLiteral("Kőszegi Áru Bt."))) << all;
  EXPECT_TRUE(t.contains(QStringLiteral("2508M bevallás: kifizetések őstermelőnként 2025.03.01 – 2025.03.31"))) << all;
  // By name in Hungarian alphabetical order ("Á" beside "A", not after "K").
  // Prices with halves print rounded; the total is the sum of what the rows show.
  const QStringList rows{"Ábel Anna", "", "8234567891", "1\u00A0001", "Kovács János", "AB1234567", "8123456786", "2\u00A0003"};
  const qsizetype first = t.indexOf(rows[0]);
  ASSERT_GE(first, 0) << all;
  // Each framed cell is an empty box and its text inside: every second text.
  QStringList cells;
  for (qsizetype i = 0; i < rows.size(); ++i) cells << t.value(first + 2 * i);
  EXPECT_EQ(cells, rows) << all;
  EXPECT_TRUE(t.contains(QStringLiteral("Őstermelők száma: 2")) && t.contains(QStringLiteral("Összesen: 3\u00A0004 Ft"))) << all;
  EXPECT_EQ(Data->frNyomtat->Pages[0]->pgOr, 0);
  const QImage page = preview.draw(0);
  ASSERT_FALSE(page.isNull());
  EXPECT_LT(page.width(), page.height());
  page.save(QStringLiteral(VORIK_BINARY_DIR "/QzLista3.png"));
}

TEST_F(Form11Test, AMissingLayoutIsNamedAndNothingIsShown) {
  auto f = Open();
  Period(f.get(), QDate(2025, 3, 1), QDate(2025, 3, 31));
  Click(f.get(), "Button5", 0);
  Click(f.get(), "Button1", 0);
  PreviewCapture preview;
  const auto seen = Click(f.get(), "Button2", 1);
  EXPECT_TRUE(seen[0].text.contains(QStringLiteral("QzLista3.frf"))) << seen[0].text.toStdString();
  EXPECT_FALSE(preview.seen.shown);
}

}  // namespace
