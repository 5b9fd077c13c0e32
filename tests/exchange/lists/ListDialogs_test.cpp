// The list dialogs driven through their menu items on a real database:
// starting state, gathers into the grid, what disables "Nyomtatás", the
// producer pick of the monthly list, and each dialog grabbed.
#include "list_fixture.h"

#include "../grid_check.h"

#include "app/MenuCommands.h"
#include "exchange/lists/Unit13.h"
#include "exchange/lists/Unit19.h"
#include "exchange/lists/Unit30.h"
#include "exchange/lists/Unit31.h"
#include "exchange/lists/Unit32.h"
#include "report/expr/FR_Intrp.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>

using namespace vorik::test;

namespace {

bool enabled(QWidget *dlg, const char *name) { return child<QPushButton>(dlg, QString::fromLatin1(name))->isEnabled(); }

int gridRows(QWidget *dlg) { return child<QTableView>(dlg, QStringLiteral("DBGrid1"))->model()->rowCount(); }

QString variable(const char *name) { return report::frVariables->GetVariable(QString::fromLatin1(name)).toString(); }

// Saves the dialog's picture for a look and checks that no named control is
// narrower than its content.
void grabAndCheck(QWidget *dlg, const QString &file) {
  QDir().mkpath(QStringLiteral(VORIK_BINARY_DIR "/grabs"));
  dlg->grab().save(QStringLiteral(VORIK_BINARY_DIR "/grabs/") + file);
  for (QWidget *w : dlg->findChildren<QWidget *>()) {
    if (!w->isVisible() || w->objectName().isEmpty()) continue;
    if (qobject_cast<QLabel *>(w) || qobject_cast<QPushButton *>(w) || qobject_cast<QCheckBox *>(w) ||
        qobject_cast<QRadioButton *>(w) || qobject_cast<QDateEdit *>(w)) {
      EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
    }
    if (auto *e = qobject_cast<QLineEdit *>(w)) {
      EXPECT_GE(e->width(), e->fontMetrics().horizontalAdvance(e->text())) << w->objectName().toStdString();
    }
  }
}

// A step that runs once the handler that opened the previous window has
// finished (the window closing is seen before its caller goes on).
ModalScript::Step afterCaller(ModalScript::Step step) {
  return [step](QWidget *dlg) { QTimer::singleShot(0, dlg, [step, dlg] { step(dlg); }); };
}

class ListDialogs : public ListsTest {
 protected:
  void drive(const char *menuItem, const std::function<void(QWidget *)> &step) {
    ModalScript script;
    script.then([&](QWidget *dlg) {
      step(dlg);
      closeWindow(dlg);
    });
    ASSERT_TRUE(script.run([&] { RunMenuCommand(QString::fromLatin1(menuItem)); }));
  }
};

TEST_F(ListDialogs, RangeListsGatherAndAnyChangeOfTheRangeDisablesPrinting) {
  marchTickets();
  for (const char *item : {"Termkenkntilista1", "Termelnkntilista1"}) {
    drive(item, [&](QWidget *dlg) {
      auto *f = static_cast<TRangeListForm *>(dlg);
      const int year = QDate::currentDate().year();
      EXPECT_EQ(f->DateTimePicker1->date(), QDate(year, 1, 1));
      EXPECT_EQ(f->DateTimePicker2->date(), QDate(year, 12, 31));
      EXPECT_TRUE(f->RadioButton1->isChecked());
      EXPECT_FALSE(enabled(dlg, "Button2"));
      EXPECT_EQ(gridRows(dlg), 0);

      f->DateTimePicker1->setDate(QDate(2025, 3, 1));
      f->DateTimePicker2->setDate(QDate(2025, 3, 31));
      f->Button1Click();
      EXPECT_TRUE(enabled(dlg, "Button2"));
      EXPECT_EQ(gridRows(dlg), 2);
      EXPECT_EQ(f->Osszesen, "1284,5");
      expectGridReadable(dlg, QStringLiteral("DBGrid1"));
      grabAndCheck(dlg, dlg->objectName() + QStringLiteral(".png"));

      f->DateTimePicker2->setDate(QDate(2025, 3, 30));
      EXPECT_FALSE(enabled(dlg, "Button2"));
      EXPECT_FALSE(Data->ZQ20->active());
      EXPECT_EQ(gridRows(dlg), 0);

      // By purchase date the same range shows other groups.
      f->DateTimePicker2->setDate(QDate(2025, 3, 31));
      f->Button1Click();
      f->RadioButton2->click();
      EXPECT_FALSE(enabled(dlg, "Button2"));
      EXPECT_FALSE(Data->ZQ20->active());
      f->Button1Click();
      EXPECT_EQ(gridRows(dlg), QString(item) == "Termkenkntilista1" ? 5 : 2);
      EXPECT_EQ(f->Osszesen, "1480");
      EXPECT_FALSE(Data->ListaSzuro.FizetesiDatum);
    });
  }
}

TEST_F(ListDialogs, MonthlyListPicksGathersAndANewPickDisablesPrinting) {
  marchTickets();
  ModalScript script;
  TForm30 *form = nullptr;
  script.then([&](QWidget *dlg) {
    form = static_cast<TForm30 *>(dlg);
    EXPECT_FALSE(enabled(dlg, "Button2"));
    EXPECT_FALSE(enabled(dlg, "Button3"));
    EXPECT_EQ(textOf(dlg, "Edit5"), "0");
    setText(dlg, "Edit1", "ki");
    click(dlg, "Button1");
  });
  // The picker opens on the producer whose name begins so; it is chosen.
  script.then([&](QWidget *picker) {
    EXPECT_EQ(picker->objectName(), "Form4");
    EXPECT_EQ(AktOstermeloKod, "10");
    click(picker, "Button1");
  });
  script.then(afterCaller([&](QWidget *dlg) {
    EXPECT_EQ(textOf(dlg, "Edit1"), "Kiss Anna");
    EXPECT_EQ(textOf(dlg, "Edit2"), "6720  Szeged  Tisza u. 2.");
    EXPECT_EQ(textOf(dlg, "Edit3"), "Szül.idö: 1970.05.06  Anyja neve: Minta Mária");
    EXPECT_EQ(textOf(dlg, "Edit4"), "10");
    EXPECT_EQ(variable("v_nev"), "Kiss Anna");
    EXPECT_EQ(variable("v_szido"), textOf(dlg, "Edit3"));
    EXPECT_TRUE(enabled(dlg, "Button2"));
    form->Button2Click();
    EXPECT_EQ(child<QTableView>(dlg, QStringLiteral("DBGrid1"))->currentIndex().row(), 0);
    EXPECT_EQ(textOf(dlg, "Edit5"), "1550");
    EXPECT_EQ(textOf(dlg, "Edit7"), "1550");
    EXPECT_EQ(variable("v_far"), "1550");
    EXPECT_EQ(gridRows(dlg), 2);
    // The printed list's titles, not the statement's column names.
    const QStringList titles = {"Kód", "Név", "Hónap", "Termék", "Mennyiség", "Felvásárlási ár (Ft)", "Átlagár (Ft)",
                                "Komp. felár (Ft)", "Kifizetett (Ft)"};
    EXPECT_EQ(columnTitles(dlg, QStringLiteral("DBGrid1")), titles);
    EXPECT_TRUE(enabled(dlg, "Button3"));
    grabAndCheck(dlg, QStringLiteral("Form30.png"));
    form->CheckBox1->click();
    EXPECT_FALSE(enabled(dlg, "Button3"));
    form->Button2Click();
    EXPECT_EQ(gridRows(dlg), 3);  // line by line
    EXPECT_EQ(columnTitles(dlg, QStringLiteral("DBGrid1")), QStringList{"ID"} + titles);
    EXPECT_TRUE(enabled(dlg, "Button3"));
    setText(dlg, "Edit1", "t");
    click(dlg, "Button1");
  }));
  // Cancelling a pick changes nothing.
  script.then([&](QWidget *picker) { click(picker, "Button5"); });
  script.then(afterCaller([&](QWidget *dlg) {
    EXPECT_EQ(textOf(dlg, "Edit4"), "10");
    EXPECT_TRUE(enabled(dlg, "Button3"));
    setText(dlg, "Edit1", "tó");
    click(dlg, "Button1");
  }));
  script.then([&](QWidget *picker) {
    EXPECT_EQ(AktOstermeloKod, "30");
    click(picker, "Button1");
  });
  // A new producer: the previous figures may not be printed under its name.
  script.then(afterCaller([&](QWidget *dlg) {
    EXPECT_EQ(textOf(dlg, "Edit4"), "30");
    EXPECT_FALSE(enabled(dlg, "Button3"));
    form->Button2Click();
    for (const char *e : {"Edit5", "Edit6", "Edit7"}) EXPECT_EQ(textOf(dlg, e), "0");
    EXPECT_EQ(gridRows(dlg), 0);
    closeWindow(dlg);
  }));
  ASSERT_TRUE(script.run([] { RunMenuCommand(QStringLiteral("stermelhavibontsban1")); }));
}

TEST_F(ListDialogs, CashAndStatisticsGatherAndTheBoxDisablesPrinting) {
  marchTickets();
  drive("Kszpnzeskifizets1", [&](QWidget *dlg) {
    auto *f = static_cast<TForm31 *>(dlg);
    EXPECT_FALSE(enabled(dlg, "Button2"));
    f->Button1Click();
    EXPECT_EQ(child<QTableView>(dlg, QStringLiteral("DBGrid1"))->currentIndex().row(), 0);
    EXPECT_EQ(gridRows(dlg), 3);  // paid in cash on 2024.03.15, 2025.03.01 and 2025.03.10
    EXPECT_TRUE(enabled(dlg, "Button2"));
    grabAndCheck(dlg, QStringLiteral("Form31.png"));
    f->CheckBox1->click();
    EXPECT_FALSE(enabled(dlg, "Button2"));
    f->Button1Click();
    EXPECT_TRUE(enabled(dlg, "Button2"));
  });
  drive("Statisztika1", [&](QWidget *dlg) {
    auto *f = static_cast<TForm32 *>(dlg);
    f->Button1Click();
    EXPECT_EQ(child<QTableView>(dlg, QStringLiteral("DBGrid1"))->currentIndex().row(), 0);
    EXPECT_EQ(gridRows(dlg), 6);
    EXPECT_EQ(variable("v_far"), "1814,5");
    EXPECT_EQ(variable("v_var"), "1814,5");
    grabAndCheck(dlg, QStringLiteral("Form32.png"));
    f->CheckBox1->click();
    EXPECT_FALSE(enabled(dlg, "Button2"));
    f->Button1Click();
    EXPECT_EQ(gridRows(dlg), 5);
  });
}

}  // namespace
