// The producer list, picker and entry driven as the user drives them, over a
// real embedded database.
#include "app/producers/Unit4.h"
#include "app/producers/Unit5.h"
#include "db/schema.h"
#include "support/data_fixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QTableView>

using namespace vorik::test;

namespace {

class Producers : public DataModuleTest {
 protected:
  void add(const QString &kod, const QString &nev, const QString &felir = QStringLiteral("AB1234567")) {
    exec(QStringLiteral("INSERT INTO ostermelo (o_kod, o_nev, o_felir, o_adoazon) VALUES ('%1', '%2', '%3', "
                        "'8123456786')")
             .arg(kod, nev, felir));
  }
  void addTicket(const QString &kod, const QString &prn) {
    exec(QStringLiteral("INSERT INTO qzfej (f_bszam, f_ostermkod, f_prn, f_akod) VALUES ('00000001', '%1', '%2', "
                        "'1')")
             .arg(kod, prn));
  }
  QString current(const char *field) { return Data->ZQ30->fieldByName(QString::fromLatin1(field)).asString(); }
  int producers() { return scalar(QStringLiteral("SELECT count(*) FROM ostermelo")).toInt(); }

  // Every field of a valid new producer.
  static void fillValid(QWidget *dlg) {
    setText(dlg, "Edit3", "Teszt Elek");
    setText(dlg, "Edit4", "6000");
    setText(dlg, "Edit5", "Kecskemét");
    setText(dlg, "Edit6", "Fő");
    setText(dlg, "Edit7", "8123456786");
    setText(dlg, "Edit10", "15");
    setText(dlg, "Edit11", "Szeged");
    setText(dlg, "Edit12", "1970.05.06");
    setText(dlg, "Edit13", "Minta Mária");
    setText(dlg, "Edit16", "1");
    setText(dlg, "Edit17", "Teszt Elek");
    setText(dlg, "Edit19", "12345676123");
    setText(dlg, "Edit35", "2021.01.01");
    setText(dlg, "Edit24", "AB1234567");
    setText(dlg, "Edit32", "0");
  }
};

TEST_F(Producers, SearchFollowsTheTypedBeginningAtEachKeyRelease) {
  add("1", "Nagy Éva");
  add("2", "Kovács Béla");
  add("3", "Kiss Anna");
  QStringList names;
  int gridRow = -1;
  ModalScript script;
  script.then([&](QWidget *dlg) {
    auto *edit = child<QLineEdit>(dlg, "Edit1");
    auto *grid = child<QTableView>(dlg, "DBGrid1");
    for (const char *keys : std::initializer_list<const char *>{"k", "i", nullptr, "k", "o", nullptr, "K", "I"}) {
      if (!keys) {
        edit->clear();
        continue;
      }
      typeKey(edit, QString::fromLatin1(keys));
      names << current("o_Nev");
    }
    gridRow = grid->currentIndex().row();
    closeWindow(dlg);
  });
  ASSERT_TRUE(script.run([] { TForm4::Pick(); }));
  EXPECT_EQ(names,
            QStringList({"Kiss Anna", "Kiss Anna", "Kiss Anna", "Kovács Béla", "Kiss Anna", "Kiss Anna"}));
  EXPECT_EQ(gridRow, 0);  // Kiss Anna is first in name order
}

TEST_F(Producers, APickerOpensOnTheCurrentCodeAndCancelGivesItBack) {
  add("1", "Nagy Éva");
  add("12", "Kovács Béla");
  add("2", "Kiss Anna");
  AktOstermeloKod = "1";  // "12" begins the same way: the whole code decides
  QString opened, beforeCancel;
  ModalScript script;
  script.then([&](QWidget *dlg) {
    opened = current("o_Nev");
    typeKey(child<QLineEdit>(dlg, "Edit1"), "k");
    beforeCancel = current("o_Nev");
    click(dlg, "Button5");
  });
  bool picked = true;
  ASSERT_TRUE(script.run([&] { picked = TForm4::Pick(); }));
  EXPECT_EQ(opened, "Nagy Éva");
  EXPECT_EQ(beforeCancel, "Kiss Anna");
  EXPECT_FALSE(picked);
  EXPECT_EQ(current("o_Nev"), "Nagy Éva");

  ModalScript pick;
  pick.then([&](QWidget *dlg) {
    typeKey(child<QLineEdit>(dlg, "Edit1"), "k");
    typeKey(child<QLineEdit>(dlg, "Edit1"), "o");
    click(dlg, "Button1");
  });
  ASSERT_TRUE(pick.run([&] { picked = TForm4::Pick(); }));
  EXPECT_TRUE(picked);
  EXPECT_EQ(current("o_Nev"), "Kovács Béla");
}

// A long list read around its position: the names in the Hungarian order,
// Ctrl+Home and Ctrl+End on the list's first and last rows (each read with
// the rows around it only), a search text longer than the name a no-match.
TEST_F(Producers, TheListGoesToItsEndsInHungarianOrderAndAnOverLongSearchMatchesNothing) {
  exec(QStringLiteral("INSERT INTO ostermelo (o_kod, o_nev, o_helysegnev) SELECT 1000 + n, "
                      "'Név ' || (1000 + n), 'Város ' || MOD(n, 7) FROM "
                      "(SELECT FIRST 700 ROW_NUMBER() OVER () AS n FROM rdb$types a CROSS JOIN rdb$types b)"));
  add("1", "Szentgyörgyvölgyi Ede");
  add("2", "Őri Ábel");
  add("3", "Aba Ödön");
  add("4", "Zsuzsa Zoé");
  add("5", "Zoli");
  AktOstermeloKod = "1500";
  QStringList seen;
  int held = 0, byTown = 0;
  ModalScript script;
  script.then([&](QWidget *dlg) {
    auto *grid = child<QTableView>(dlg, "DBGrid1");
    auto *edit = child<QLineEdit>(dlg, "Edit1");
    seen << current("o_Nev");
    for (const Qt::Key key : {Qt::Key_Home, Qt::Key_End}) {
      QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
      QApplication::sendEvent(grid, &press);
      seen << current("o_Nev") + QStringLiteral(" / ") +
                  grid->model()->data(grid->model()->index(grid->currentIndex().row(), 1)).toString();
    }
    held = grid->model()->rowCount();
    typeKey(edit, QStringLiteral("ő"));
    seen << current("o_Nev");
    click(dlg, "NavNext");
    QApplication::processEvents();
    seen << current("o_Nev");
    edit->setText(QString(45, QLatin1Char('k')));
    typeKey(edit, QStringLiteral("k"));
    seen << current("o_Nev");
    // Sorted by town (a hundred producers each), Ctrl+End reads one row
    // and the rows before it that a screen shows.
    grid->setCurrentIndex(grid->model()->index(0, 3));
    emit grid->horizontalHeader()->sectionClicked(3);
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(grid, &end);
    byTown = grid->model()->rowCount();
    closeWindow(dlg);
  });
  ASSERT_TRUE(script.run([] { TForm4::Pick(); }));
  EXPECT_EQ(seen, QStringList({"Név 1500", "Aba Ödön / Aba Ödön", "Zsuzsa Zoé / Zsuzsa Zoé", "Őri Ábel",
                               "Szentgyörgyvölgyi Ede", "Szentgyörgyvölgyi Ede"}));
  EXPECT_LT(held, 705);
  EXPECT_LE(byTown, 51);
}

TEST_F(Producers, DeletionGuardsAndCommit) {
  add("1", "Nagy Éva");
  add("2", "Kovács Béla");
  add("3", "Kiss Anna");
  addTicket("3", "I");  // printed
  addTicket("2", " ");  // not printed yet
  auto deleteRow = [&](const QString &code) {
    AktOstermeloKod = code;
    MessageSeen seen;
    ModalScript script;
    script.then([](QWidget *dlg) { click(dlg, "Button4"); });
    script.then(answer(QMessageBox::Yes, &seen));
    script.then([](QWidget *dlg) { closeWindow(dlg); });
    EXPECT_TRUE(script.run([] { TForm4::Pick(); }));
    return seen;
  };
  MessageSeen printed = deleteRow("3");
  EXPECT_EQ(printed.text, "Az őstermelő már szerepel a nyomtatott felvásárlási jegyen !");
  EXPECT_EQ(printed.kind, "Confirmation");
  EXPECT_EQ(printed.buttons, QStringList({"Yes"}));
  MessageSeen unprinted = deleteRow("2");
  EXPECT_EQ(unprinted.text, "Az őstermelő már szerepel felvásárlási jegyen !");
  EXPECT_EQ(unprinted.buttons, QStringList({"Yes"}));
  EXPECT_EQ(producers(), 3);

  // A producer without tickets goes, at once and for good.
  MessageSeen done;
  ModalScript script;
  AktOstermeloKod = "1";
  script.then([](QWidget *dlg) { click(dlg, "Button4"); });
  script.then(answer(QMessageBox::Ok, &done));
  script.then([](QWidget *dlg) { closeWindow(dlg); });
  ASSERT_TRUE(script.run([] { TForm4::Pick(); }));
  EXPECT_EQ(done.text, "Az őstermelő sor törlölve!");
  EXPECT_EQ(done.kind, "Message");
  if (Data->IBTrans1->active()) Data->IBTrans1->rollback();
  EXPECT_EQ(producers(), 2);
  EXPECT_EQ(scalar("SELECT count(*) FROM ostermelo WHERE o_kod = '1'"), "0");
}

TEST_F(Producers, TheLastProducerStays) {
  add("1", "Nagy Éva");
  MessageSeen seen;
  ModalScript script;
  script.then([](QWidget *dlg) { click(dlg, "Button4"); });
  script.then(answer(QMessageBox::Ok, &seen));
  script.then([](QWidget *dlg) { closeWindow(dlg); });
  ASSERT_TRUE(script.run([] { TForm4::Pick(); }));
  EXPECT_EQ(seen.text, "Az utolsó őstermelősor nem törölhető ki.");
  EXPECT_EQ(producers(), 1);
}

TEST_F(Producers, ACellClickCopiesTheFelirIdAndATitleClickSortsByTheMarkedColumn) {
  add("3", "Nagy Éva", "NE7654321");
  add("1", "Kovács Béla", "KB1111111");
  add("2", "Kiss Anna", "KA2222222");
  QString copied, firstByCode, firstByName, sortLabel;
  QStringList orders, titles;
  ModalScript script;
  script.then([&](QWidget *dlg) {
    auto *grid = child<QTableView>(dlg, "DBGrid1");
    const QModelIndex cell = grid->model()->index(2, 1);  // Nagy Éva's name
    grid->setCurrentIndex(cell);
    emit grid->clicked(cell);
    copied = QGuiApplication::clipboard()->text();
    // The marked column is O_KOD (column 0); the header clicked is another.
    auto clickHeader = [&](int section) {
      QHeaderView *header = grid->horizontalHeader();
      const QPoint at(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                      header->height() / 2);
      QMouseEvent press(QEvent::MouseButtonPress, at, header->viewport()->mapToGlobal(at), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(header->viewport(), &press);
      QMouseEvent release(QEvent::MouseButtonRelease, at, header->viewport()->mapToGlobal(at), Qt::LeftButton,
                          Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(header->viewport(), &release);
    };
    grid->setCurrentIndex(grid->model()->index(0, 0));
    clickHeader(3);
    firstByCode = current("o_kod");
    orders << Data->ZQ30->sql().lines().last();
    clickHeader(0);  // still O_KOD: the click did not mark its column
    orders << Data->ZQ30->sql().lines().last();
    grid->setCurrentIndex(grid->model()->index(0, 1));
    clickHeader(0);
    firstByName = current("o_Nev");
    orders << Data->ZQ30->sql().lines().last();
    sortLabel = textOf(dlg, "Label1");
    titles = columnTitles(dlg, QStringLiteral("DBGrid1"));
    closeWindow(dlg);
  });
  ASSERT_TRUE(script.run([] { TForm4::Pick(); }));
  EXPECT_EQ(copied, "NE7654321");
  EXPECT_EQ(firstByCode, "1");
  EXPECT_EQ(firstByName, "Kiss Anna");
  EXPECT_EQ(orders, QStringList({"  ORDER BY O_KOD, ID_OSTERMELO", "  ORDER BY O_KOD, ID_OSTERMELO",
                                 "  ORDER BY o_Nev COLLATE HUN_ABC"}));
  EXPECT_EQ(sortLabel, kProducerSortHint);
  // Titles, not column names, over the columns the clicks sort by.
  ASSERT_EQ(titles.size(), 28);
  EXPECT_EQ(titles.mid(0, 6), (QStringList{"Kód", "Név", "Ir.szám", "Helységnév", "Utcanév", "Adóazonosító jel"}));
  for (const QString &title : titles) EXPECT_FALSE(title.contains(QLatin1Char('_'))) << title.toStdString();
}

TEST_F(Producers, AValidNewProducerIsStoredWithEveryColumnAndTheListFindsIt) {
  add("00041", "Nagy Éva");
  add("7", "Kiss Anna");
  QString proposed, positioned, label;
  ModalScript script;
  script.then([](QWidget *list) { click(list, "Button2"); });
  script.then([&](QWidget *entry) {
    proposed = textOf(entry, "Edit2");
    fillValid(entry);
    setText(entry, "Edit8", "ABC1234");
    setText(entry, "Edit9", "R12");
    setText(entry, "Edit14", "I");
    setText(entry, "Edit15", "12345678");
    setText(entry, "Edit18", "111111110");
    setText(entry, "Edit20", "11773016-11111111");
    setText(entry, "Edit22", "B12");
    setText(entry, "Edit23", "O1234567890123456");
    for (int i = 25; i <= 31; ++i) setText(entry, QStringLiteral("Edit%1").arg(i), QStringLiteral("p%1").arg(i));
    setText(entry, "Edit32", "30");
    setText(entry, "Edit33", "HU12345678");
    setText(entry, "Edit34", "NEBIH1234567890");
    setText(entry, "Edit36", "OCSG-12345678");
    setText(entry, "Memo1", "megjegyzés");
    click(entry, "Button2");
  });
  script.then([&](QWidget *list) {
    positioned = current("o_kod");
    label = textOf(list, "Label1");
    closeWindow(list);
  });
  ASSERT_TRUE(script.run([] { TForm4::Pick(); }));
  EXPECT_EQ(proposed, "42");
  EXPECT_EQ(positioned, "42");
  EXPECT_EQ(AktOstermeloKod, "42");
  EXPECT_EQ(label, kProducerSortByName);

  db::Query q;
  q.setTransaction(Data->IBTrans1);
  q.sql().add("SELECT * FROM ostermelo WHERE o_kod = '42'");
  q.open();
  ASSERT_EQ(q.recordCount(), 1);
  auto s = [&](const char *f) { return q.fieldByName(QString::fromLatin1(f)).asString(); };
  const QStringList got = {s("o_nev"),     s("o_irszam"),     s("o_helysegnev"), s("o_utca"),    s("o_adoazon"),
                           s("o_adoszam"), s("o_taj"),        s("o_igszam"),     s("o_regszam"), s("o_csgazd"),
                           s("o_szulnev"), s("o_szulhely"),   s("o_szido"),      s("o_anyja"),   s("o_neme"),
                           s("o_bankszla"), s("o_szja"),      s("o_ervkelt"),    s("o_mnyptag"), s("o_betetlap"),
                           s("o_kamara"),  s("o_felir"),      s("o_kerulet"),    s("o_jelleg"),  s("o_hazszam"),
                           s("o_epulet"),  s("o_lepcso"),     s("o_szint"),      s("o_ajto"),    s("o_fhat"),
                           s("o_kozadoszam"), s("o_feljegyz"), s("o_igszam1"),   s("o_ervkelt1"), s("o_csgazd1")};
  const QStringList want = {"Teszt Elek",  "6000",     "Kecskemét",  "Fő",         "8123456786", "12345676123",
                            "111111110",   "ABC1234",  "R12",        "12345678",   "Teszt Elek", "Szeged",
                            "1970.05.06",  "Minta Mária", "1",       "11773016-11111111", "15", "1900.01.01",
                            "I",           "B12",      "O1234567890123456", "AB1234567", "p25", "p26",
                            "p27",         "p28",      "p29",        "p30",        "p31",        "30",
                            "HU12345678",  "megjegyzés", "NEBIH1234567890", "2021.01.01", "OCSG-12345678"};
  EXPECT_EQ(got, want);
}

TEST_F(Producers, ValidationStopsInOrderWithItsMessageAndFocus) {
  add("1", "Nagy Éva");
  struct Step {
    const char *fill, *value, *message, *focus;
    const char *fill2 = nullptr, *value2 = nullptr;
  };
  // Each step fills what the previous message asked for (empty: nothing).
  const std::vector<Step> steps = {
      {nullptr, nullptr, "Nincs megadva a neve!", "Edit3"},
      {"Edit3", "Teszt Elek", "Nincs megadva az irányitószám!", "Edit4"},
      {"Edit4", "600", "Az irányitószám kevesebb mint 4 karakter!", "Edit4"},
      {"Edit4", "6000", "Nincs megadva a helységnév!", "Edit5"},
      {"Edit5", "Kecskemét", "Nincs megadva az utca!", "Edit6"},
      {"Edit6", "Fő", "Nincs megadva az adóazonositó!", "Edit7"},
      {"Edit7", "812345678", "Nincs megadva az szja!", "Edit10"},
      {"Edit10", "0", "Nincs megadva a születési hely!", "Edit11"},
      {"Edit11", "Szeged", "Nincs megadva a születési idő!", "Edit12"},
      {"Edit12", "1970.13.45", "Nincs megadva az anyja neve!", "Edit13"},
      {"Edit13", "Minta Mária", "Nincs megadva a neme!", "Edit16"},
      {"Edit16", "2", "Nincs megadva a születési neve!", "Edit17"},
      {"Edit17", "Teszt Elek", "Nincs megadva a napok száma vagy nulla!", "Edit32"},
      {"Edit32", "0", "Közösségi adószám kevesebb mint 8 karakter!", "Edit33"},
      {"Edit33", "", "Nincs megadva az adószáma!", "Edit19"},
      {"Edit19", "1234567/123", "A születési idö dátum formátuma nem megfelelö!", "Edit12"},
      {"Edit12", "1970.05.06", "Nem 10 hosszú számsor", "Edit7"},
      {"Edit7", "8123456784", "Hibás adóazonositó", "Edit7"},
      {"Edit7", "8123456786", "Hibás adószám", "Edit19"},  // a "/" gives a verdict, no error
      {"Edit19", "1234567612", "Kevesebb mint 11 hosszú számsor", "Edit19"},
      {"Edit19", "12345677123", "Hibás adószám", "Edit19"},
      {"Edit19", "12345676123", "Az érvényesség kezdete dátum formátuma nem megfelelö!", "Edit35"},
      {"Edit35", "2021.01.01", "FELIR vagy OCSG vagy NÉBIH nem kitöltött!", "Edit24"},
      {"Edit24", "AB123456", "Nem 9 hosszú FELIR szám!", "Edit24"},
      {"Edit24", "AB12345X7", "Hibás FELIR szám!", "Edit24"},
      {"Edit24", "", "Nem 13 hosszú OCSG szám!", "Edit36", "Edit36", "OCSG-1234567"},
      {"Edit36", "Ocsg-12345678", "Hibás OCSG szám!", "Edit36"},
      {"Edit36", "", "Nem 15 hosszú NÉBIH azonositó!", "Edit34", "Edit34", "NEBIH123"},
      {"Edit34", "NEBIH12345678X0", "Hibás NÉBIH azonositó!", "Edit34"},
  };
  std::vector<MessageSeen> seen(steps.size());
  QStringList focus;
  ModalScript script;
  script.then([](QWidget *list) { click(list, "Button2"); });
  for (size_t i = 0; i < steps.size(); ++i) {
    script.then([&, i](QWidget *entry) {
      if (i > 0) focus << focusName(entry);
      const Step &st = steps[i];
      if (st.fill) setText(entry, st.fill, QString::fromUtf8(st.value));
      if (st.fill2) setText(entry, st.fill2, QString::fromUtf8(st.value2));
      // Fields the table does not fill: the defaults stay, these are set once.
      if (i == 0) {
        setText(entry, "Edit10", "");
        setText(entry, "Edit16", "");
        setText(entry, "Edit32", "");
        setText(entry, "Edit33", "HU123");
      }
      click(entry, "Button2");
    });
    script.then(answer(QMessageBox::Ok, &seen[i]));
  }
  script.then([&](QWidget *entry) {
    focus << focusName(entry);
    closeWindow(entry);
  });
  script.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(script.run([] { TForm4::Pick(); }, 30000));
  for (size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(seen[i].text, QString::fromUtf8(steps[i].message)) << "step " << i;
    EXPECT_EQ(seen[i].kind, "Message") << "step " << i;
    EXPECT_EQ(focus.value(int(i)), QString::fromLatin1(steps[i].focus)) << "step " << i;
  }
  EXPECT_EQ(producers(), 1);
}

TEST_F(Producers, KeyFiltersHoldTypedAndPastedText) {
  ModalScript script;
  QStringList got;
  script.then([](QWidget *list) { click(list, "Button2"); });
  script.then([&](QWidget *entry) {
    auto put = [&](const char *name, const QString &text) {
      auto *e = child<QLineEdit>(entry, name);
      e->clear();
      e->insert(text);  // what a paste does
      got << e->text();
    };
    put("Edit4", "12a4");      // digits only: refused whole
    put("Edit4", "1234");
    put("Edit16", "3");        // "1" or "2"
    put("Edit14", "X");        // blank, I, i, N, n
    put("Edit14", "n");
    put("Edit23", "O12o");     // digits, O and o
    put("Edit19", "1234/5");   // digits and "/"
    put("Edit12", "1970.05.06");
    put("Edit10", "1.5");      // no decimal point in digits-only fields
    put("Edit3", QString(60, QLatin1Char('x')));  // at most 45 characters
    // The notes memo holds at most 1000 characters, pasted ones too.
    auto *memo = child<QPlainTextEdit>(entry, "Memo1");
    memo->insertPlainText(QString(1200, QLatin1Char('m')));
    got << QString::number(memo->toPlainText().size());
    closeWindow(entry);
  });
  script.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(script.run([] { TForm4::Pick(); }));
  EXPECT_EQ(got, QStringList({"", "1234", "", "", "n", "O12o", "1234/5", "1970.05.06", "", QString(45, 'x'), "1000"}));
}

TEST_F(Producers, EnterMovesToTheNextFieldAndShiftEnterBack) {
  QStringList path;
  ModalScript script;
  script.then([](QWidget *list) { click(list, "Button2"); });
  script.then([&](QWidget *entry) {
    auto press = [&](Qt::KeyboardModifiers mods) {
      QWidget *from = entry->focusWidget();
      QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, mods, QStringLiteral("\r"));
      QApplication::sendEvent(from, &key);
      path << entry->focusWidget()->objectName();
    };
    child<QLineEdit>(entry, "Edit3")->setFocus();
    press(Qt::NoModifier);
    press(Qt::NoModifier);
    press(Qt::ShiftModifier);
    child<QLineEdit>(entry, "Edit7")->setFocus();
    press(Qt::NoModifier);
    closeWindow(entry);
  });
  script.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(script.run([] { TForm4::Pick(); }));
  EXPECT_EQ(path, QStringList({"Edit4", "Edit5", "Edit4", "Edit10"}));
}

TEST_F(Producers, SexOneCopiesTheNameIntoTheBirthNameAndDoubleClicksFillTheirFields) {
  ModalScript script;
  QString birthName, nebih, validity, ocsg;
  script.then([](QWidget *list) { click(list, "Button2"); });
  script.then([&](QWidget *entry) {
    auto *form = static_cast<TForm5 *>(entry);
    setText(entry, "Edit3", "Kovács Béla");
    form->Edit16->setText("1");
    form->Edit16Exit();
    birthName = form->Edit17->text();
    for (QLineEdit *e : {form->Edit34, form->Edit35, form->Edit36}) {
      QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
      QApplication::sendEvent(e, &dbl);
    }
    nebih = form->Edit34->text();
    validity = form->Edit35->text();
    ocsg = form->Edit36->text();
    closeWindow(entry);
  });
  script.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(script.run([] { TForm4::Pick(); }));
  EXPECT_EQ(birthName, "Kovács Béla");
  EXPECT_EQ(nebih, "NEBIH");
  EXPECT_EQ(validity, "2021.01.01");
  EXPECT_EQ(ocsg, "OCSG-");
}

TEST_F(Producers, AModificationRewritesTheRowAndBadInputWritesNothing) {
  add("5", "Nagy Éva");
  AktOstermeloKod = "5";
  QStringList names;
  MessageSeen bad, overlong;
  ModalScript script;
  script.then([](QWidget *list) { click(list, "Button3"); });
  script.then([&](QWidget *entry) {
    EXPECT_EQ(textOf(entry, "Edit3"), "Nagy Éva");
    EXPECT_EQ(textOf(entry, "Edit2"), "5");
    fillValid(entry);
    setText(entry, "Edit3", "Nagy Éva Mária");
    setText(entry, "Edit21", "2025.02.30");  // not a date
    click(entry, "Button2");
  });
  script.then(answer(QMessageBox::Ok, &bad));
  script.then([&](QWidget *entry) {
    setText(entry, "Edit21", "2026.12.31");
    setText(entry, "Edit16", "11");  // longer than its column
    click(entry, "Button2");
  });
  script.then(answer(QMessageBox::Ok, &overlong));
  script.then([&](QWidget *entry) {
    setText(entry, "Edit16", "2");
    click(entry, "Button2");
  });
  script.then([&](QWidget *list) {
    names << current("o_Nev");
    closeWindow(list);
  });
  ASSERT_TRUE(script.run([] { TForm4::Pick(); }));
  EXPECT_EQ(bad.text, "Hiba53: Módositás, Update a östermelöben ");
  EXPECT_EQ(overlong.text, "Hiba53: Módositás, Update a östermelöben ");
  EXPECT_EQ(names, QStringList({"Nagy Éva Mária"}));
  EXPECT_EQ(scalar("SELECT o_ervkelt FROM ostermelo WHERE o_kod = '5'"), "2026.12.31");
  EXPECT_EQ(producers(), 1);
}

// Stored values longer than their fields' typing limits (the columns are
// wider) are loaded whole: a modification that leaves them alone stores them
// unchanged, or stops at their length check; it never stores them cut.
TEST_F(Producers, OverLongStoredValuesAreKeptWholeOrStoppedByTheirCheck) {
  exec(QStringLiteral(
      "INSERT INTO ostermelo (o_kod, o_nev, o_irszam, o_helysegnev, o_utca, o_adoazon, o_szja, o_szulhely, "
      "o_szido, o_anyja, o_neme, o_szulnev, o_fhat, o_adoszam, o_ervkelt1, o_igszam, o_felir) VALUES ('5', "
      "'Nagy Éva', '6000', 'Kecskemét', 'Fő', '8123456786', 15, 'Szeged', '1970-05-06', 'Minta Mária', '1', "
      "'Nagy Éva', 0, '12345676123', '2021-01-01', '12345678', 'AB1234567')"));
  const struct {
    const char *column, *value, *message;  // message: null when it saves
  } cases[] = {
      {"o_igszam", "12345678", nullptr},  // 8 characters in a field for 7
      {"o_felir", "AB12345678", "Nem 9 hosszú FELIR szám!"},
      {"o_igszam1", "NEBIH123456789012345", "Nem 15 hosszú NÉBIH azonositó!"},
      {"o_csgazd1", "OCSG-123456789012345", "Nem 13 hosszú OCSG szám!"},
  };
  int n = 0;
  for (const auto &c : cases) {
    const QString column = QString::fromLatin1(c.column);
    const QString value = QString::fromUtf8(c.value);
    exec(QStringLiteral("UPDATE ostermelo SET o_felir = 'AB1234567', o_igszam1 = NULL, o_csgazd1 = NULL, "
                        "o_utca = 'Fő' WHERE o_kod = '5'"));
    exec(QStringLiteral("UPDATE ostermelo SET %1 = '%2' WHERE o_kod = '5'").arg(column, value));
    const QString street = QStringLiteral("Kossuth %1").arg(++n);
    AktOstermeloKod = "5";
    MessageSeen seen;
    ModalScript script;
    script.then([](QWidget *list) { click(list, "Button3"); });
    script.then([&](QWidget *entry) {
      setText(entry, "Edit6", street);
      click(entry, "Button2");
    });
    if (c.message) {
      script.then(answer(QMessageBox::Ok, &seen));
      script.then([](QWidget *entry) { closeWindow(entry); });
    }
    script.then([](QWidget *list) { closeWindow(list); });
    ASSERT_TRUE(script.run([] { TForm4::Pick(); })) << c.column;
    EXPECT_EQ(scalar(QStringLiteral("SELECT %1 FROM ostermelo WHERE o_kod = '5'").arg(column)), value) << c.column;
    if (c.message) {
      EXPECT_EQ(seen.text, QString::fromUtf8(c.message)) << c.column;
      EXPECT_EQ(scalar("SELECT o_utca FROM ostermelo WHERE o_kod = '5'"), "Fő") << c.column;
    } else {
      EXPECT_EQ(scalar("SELECT o_utca FROM ostermelo WHERE o_kod = '5'"), street) << c.column;
    }
  }
}

TEST_F(Producers, TheLettersJAndMOnTheModifyButtonOpenTheEntryOthersDoNothing) {
  add("5", "Nagy Éva");
  QStringList opened;
  ModalScript script;
  // A key pressed on "Módosít", sent once the step has returned.
  auto press = [](QWidget *list, Qt::Key key, const char *text) {
    auto *button = child<QPushButton>(list, "Button3");
    button->setFocus();
    QTimer::singleShot(0, button, [button, key, text] {
      QKeyEvent ev(QEvent::KeyPress, key, Qt::NoModifier, QString::fromLatin1(text));
      QApplication::sendEvent(button, &ev);
    });
  };
  script.then([&](QWidget *list) {
    auto *button = child<QPushButton>(list, "Button3");
    button->setFocus();
    QKeyEvent other(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(button, &other);  // no entry opens
    press(list, Qt::Key_J, "j");
  });
  script.then([&](QWidget *entry) {
    opened << OstermeloMod + QStringLiteral(": ") + textOf(entry, "Edit3");
    closeWindow(entry);
  });
  script.then([&](QWidget *list) { press(list, Qt::Key_M, "M"); });
  script.then([&](QWidget *entry) {
    opened << OstermeloMod + QStringLiteral(": ") + textOf(entry, "Edit3");
    closeWindow(entry);
  });
  script.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(script.run([] { TForm4::Pick(); }));
  EXPECT_EQ(opened, QStringList({"Őstermelő módositás: Nagy Éva", "Őstermelő módositás: Nagy Éva"}));
}

TEST_F(Producers, ARowAnotherUserHoldsFailsAtOnceWithTheNumberedMessage) {
  add("5", "Nagy Éva");
  add("6", "Kiss Anna");
  OtherUser other("UPDATE ostermelo SET o_nev = 'Foglalt' WHERE o_kod IN ('5', '6')");

  MessageSeen deleteFailed;
  AktOstermeloKod = "6";
  ModalScript del;
  del.then([](QWidget *list) { click(list, "Button4"); });
  del.then(answer(QMessageBox::Ok, &deleteFailed));
  del.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(del.run([] { TForm4::Pick(); }));
  EXPECT_EQ(deleteFailed.text, "Hiba41: östermelö DELETE törlésekor");

  AktOstermeloKod = "5";
  MessageSeen failed;
  ModalScript script;
  script.then([](QWidget *list) { click(list, "Button3"); });
  script.then([](QWidget *entry) {
    fillValid(entry);
    click(entry, "Button2");
  });
  script.then(answer(QMessageBox::Ok, &failed));
  script.then([](QWidget *entry) { closeWindow(entry); });
  script.then([](QWidget *list) { closeWindow(list); });
  // The lock is held until after the dialog closes: an update that waited for
  // it would never return.
  ASSERT_TRUE(script.run([] { TForm4::Pick(); }));
  EXPECT_EQ(failed.text, "Hiba53: Módositás, Update a östermelöben ");
  other.release();
  EXPECT_EQ(scalar("SELECT o_nev FROM ostermelo WHERE o_kod = '5'"), "Nagy Éva");
  EXPECT_EQ(producers(), 2);
}

TEST_F(Producers, ACodeTakenMeanwhileIsRefusedAndAFreshOneProposed) {
  add("3", "Nagy Éva");
  MessageSeen taken;
  QString reproposed;
  ModalScript script;
  script.then([](QWidget *list) { click(list, "Button2"); });
  script.then([&](QWidget *entry) {
    fillValid(entry);
    exec("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('4', 'Másik Felhasználó')");
    click(entry, "Button2");
  });
  script.then(answer(QMessageBox::Yes, &taken));
  script.then([&](QWidget *entry) {
    reproposed = textOf(entry, "Edit2");
    click(entry, "Button2");
  });
  script.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(script.run([] { TForm4::Pick(); }));
  EXPECT_EQ(taken.text, "Már létezik!");
  // The system's "already exists" notice is a confirmation with only Yes.
  EXPECT_EQ(taken.kind, "Confirmation");
  EXPECT_EQ(taken.buttons, QStringList({"Yes"}));
  EXPECT_EQ(reproposed, "5");
  EXPECT_EQ(scalar("SELECT count(*) FROM ostermelo WHERE o_kod = '4'"), "1");
  EXPECT_EQ(scalar("SELECT o_nev FROM ostermelo WHERE o_kod = '5'"), "Teszt Elek");
}

TEST_F(Producers, ANebihIdAloneIsEnoughAndPaymentDaysMayBeZero) {
  ModalScript script;
  script.then([](QWidget *list) { click(list, "Button2"); });
  script.then([](QWidget *entry) {
    fillValid(entry);
    setText(entry, "Edit24", "");
    setText(entry, "Edit34", "NEBIH1234567890");
    click(entry, "Button2");
  });
  script.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(script.run([] { TForm4::Pick(); }));
  EXPECT_EQ(scalar("SELECT o_igszam1 || '/' || o_fhat || '/' || o_kod FROM ostermelo"), "NEBIH1234567890/0/1");
}

TEST_F(Producers, ProposedCodeSkipsCodesThatAreNotNumbers) {
  add("ABC", "Nagy Éva");
  EXPECT_EQ(NextProducerCode(), "1");
  add("00041", "Kiss Anna");
  add("9", "Kovács Béla");
  EXPECT_EQ(NextProducerCode(), "42");
}

class OlderDatabase : public Producers {
 protected:
  db::SchemaVariant schema() const override { return db::SchemaVariant::Old; }
  // Opened as the program's start-up opens it: the lists' indexes and
  // collation added.
  void SetUp() override {
    Producers::SetUp();
    db::addMissingIndexes(*Data->ZCon1);
  }
};

TEST_F(OlderDatabase, WithoutTheNebihColumnsTheListOpensWithTheNotice) {
  exec("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('1', 'Nagy Éva')");
  exec("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('2', 'Kiss Anna')");
  AktOstermeloKod = "1";
  MessageSeen notice;
  QString first;
  int rows = 0;
  ModalScript script;
  script.then(answer(QMessageBox::Yes, &notice));
  script.then([&](QWidget *list) {
    first = current("o_Nev");
    rows = child<QTableView>(list, "DBGrid1")->model()->rowCount();
    closeWindow(list);
  });
  ASSERT_TRUE(script.run([] { TForm4::Pick(); }));
  EXPECT_EQ(notice.text, "Frissítés. Menü->Segédlet->Nébih azon. felvétele menüpont végrehajtása!");
  EXPECT_EQ(notice.buttons, QStringList({"Yes"}));
  EXPECT_EQ(first, "Kiss Anna");  // name order, not positioned on code 1
  EXPECT_EQ(rows, 2);

  // The entry cannot read the missing columns of the row it modifies.
  MessageSeen load;
  ModalScript modify;
  modify.then(answer(QMessageBox::Yes));  // the notice again
  modify.then([](QWidget *list) { click(list, "Button3"); });
  modify.then(answer(QMessageBox::Ok, &load));
  modify.then([](QWidget *entry) { closeWindow(entry); });
  modify.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(modify.run([] { TForm4::Pick(); }));
  EXPECT_EQ(load.text, "Hiba51 az őstermelő módosítás Edit-ben való megjelenitésekor!");
}

}  // namespace
