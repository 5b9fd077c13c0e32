// The product list, picker and entry driven as the user drives them, over a
// real embedded database.
#include "app/MenuCommands.h"
#include "app/producers/Unit4.h"
#include "app/products/Unit6.h"
#include "app/products/Unit7.h"
#include "support/data_fixture.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>

using namespace vorik::test;

namespace {

class Products : public DataModuleTest {
 protected:
  void add(const QString &kod, const QString &nev) {
    exec(QStringLiteral("INSERT INTO termek (t_kod, t_megnevezes, t_ear, t_megy, t_kompmerteke) VALUES "
                        "('%1', '%2', 100, 'kg', 12)")
             .arg(kod, nev));
  }
  QString current(const char *field) { return Data->ZQ40->fieldByName(QString::fromLatin1(field)).asString(); }
  int products() { return scalar(QStringLiteral("SELECT count(*) FROM termek")).toInt(); }
};

TEST_F(Products, TheProposedCodeIsTheNumericMaximumPlusOneAndAHeldCodeIsRefused) {
  for (int i = 1; i <= 10; ++i) add(QString::number(i), QStringLiteral("Termék %1").arg(i, 2, 10, QLatin1Char('0')));
  QString proposed;
  MessageSeen taken;
  QString focus;
  ModalScript script;
  script.then([](QWidget *list) { click(list, "Button2"); });
  script.then([&](QWidget *entry) {
    proposed = textOf(entry, "Edit2");
    setText(entry, "Edit2", "5");
    setText(entry, "Edit3", "Alma");
    setText(entry, "Edit6", "kg");
    click(entry, "Button2");
  });
  script.then(answer(QMessageBox::Yes, &taken));
  script.then([&](QWidget *entry) {
    focus = focusName(entry);
    closeWindow(entry);
  });
  script.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(script.run([] { TForm6::Pick(); }));
  EXPECT_EQ(proposed, "11");
  EXPECT_EQ(taken.text, "Már létezik!");
  // The system's "already exists" notice is a confirmation with only Yes.
  EXPECT_EQ(taken.kind, "Confirmation");
  EXPECT_EQ(taken.buttons, QStringList({"Yes"}));
  EXPECT_EQ(focus, "Edit2");
  EXPECT_EQ(products(), 10);
}

TEST_F(Products, ValidationStopsOnTheFirstEmptyFieldInOrder) {
  add("1", "Körte");
  const struct {
    const char *field, *message;
  } order[] = {{"Edit2", "Nincs megadva a kód!"},
               {"Edit3", "Nincs megadva a megnevezés!"},
               {"Edit5", "Nincs megadva a mennyiség!"},
               {"Edit6", "Nincs megadva a mennyiség egység!"},
               {"Edit7", "Nincs megadva a komp.mérték!"}};
  std::vector<MessageSeen> seen(5);
  QStringList focus;
  const QStringList fills = {"7", "Alma", "100", "kg"};
  ModalScript script;
  script.then([](QWidget *list) { click(list, "Button2"); });
  for (int i = 0; i < 5; ++i) {
    script.then([&, i](QWidget *entry) {
      if (i == 0) {
        for (const char *f : {"Edit2", "Edit3", "Edit5", "Edit6", "Edit7"}) setText(entry, f, "  ");
      } else {
        focus << focusName(entry);
        setText(entry, order[i - 1].field, fills[i - 1]);
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
  ASSERT_TRUE(script.run([] { TForm6::Pick(); }));
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(seen[i].text, QString::fromUtf8(order[i].message)) << i;
    EXPECT_EQ(focus.value(i), QString::fromLatin1(order[i].field)) << i;
  }
  EXPECT_EQ(products(), 1);
}

TEST_F(Products, AStoredProductReopensTheListByNameOnItsCode) {
  add("1", "Zab");
  add("12", "Búza");
  add("2", "Alma");
  QString label, positioned, compensation, price;
  MessageSeen fraction;
  ModalScript script;
  script.then([](QWidget *list) { click(list, "Button2"); });
  script.then([&](QWidget *entry) {
    EXPECT_EQ(textOf(entry, "Edit7"), "12,00");
    setText(entry, "Edit2", "13");
    setText(entry, "Edit3", "Dió");
    setText(entry, "Edit5", "1250,5");
    setText(entry, "Edit6", "kg");
    setText(entry, "Edit7", "12,5");
    click(entry, "Button2");
  });
  script.then(answer(QMessageBox::Ok, &fraction));
  script.then([&](QWidget *entry) {
    setText(entry, "Edit7", "12,00");
    click(entry, "Button2");
  });
  script.then([&](QWidget *list) {
    label = textOf(list, "Label1");
    positioned = current("t_kod");
    closeWindow(list);
  });
  ASSERT_TRUE(script.run([] { TForm6::Pick(); }));
  EXPECT_EQ(fraction.text, "A komp.mérték csak egész szám lehet!");
  EXPECT_EQ(label, kProductSortByName);
  EXPECT_EQ(positioned, "13");
  EXPECT_EQ(AktTermek, "13");
  EXPECT_EQ(Data->ZQ40->sql().lines().last(), "  ORDER BY t_megnevezes COLLATE HUN_ABC");
  EXPECT_EQ(scalar("SELECT t_kompmerteke FROM termek WHERE t_kod = '13'"), "12");
  EXPECT_EQ(scalar("SELECT t_ear FROM termek WHERE t_kod = '13'"), "1250,5");
}

TEST_F(Products, KeyFiltersRefuseADecimalPointTypedOrPasted) {
  QStringList got;
  ModalScript script;
  script.then([](QWidget *list) { click(list, "Button2"); });
  script.then([&](QWidget *entry) {
    auto put = [&](const char *name, const QString &text) {
      auto *e = child<QLineEdit>(entry, name);
      e->clear();
      e->insert(text);
      got << e->text();
    };
    put("Edit2", "12a");
    put("Edit5", "12.5");
    put("Edit5", "12,5");
    put("Edit7", "1.0");
    put("Edit8", "3,1");
    put("Edit3", QString(80, QLatin1Char('a')));
    closeWindow(entry);
  });
  script.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(script.run([] { TForm6::Pick(); }));
  EXPECT_EQ(got, QStringList({"", "", "12,5", "", "3,1", QString(75, 'a')}));
}

TEST_F(Products, AModificationKeepsItsOwnCodeAndBadNumbersWriteNothing) {
  add("1", "Alma");
  add("2", "Körte");
  AktTermek = "kö";
  MessageSeen bad;
  ModalScript script;
  script.then([](QWidget *list) { click(list, "Button3"); });
  script.then([&](QWidget *entry) {
    EXPECT_EQ(textOf(entry, "Edit2"), "2");
    EXPECT_EQ(textOf(entry, "Edit3"), "Körte");
    setText(entry, "Edit5", "1,2,3");  // pasted past the key filter's reach: not a number
    click(entry, "Button2");
  });
  script.then(answer(QMessageBox::Ok, &bad));
  script.then([&](QWidget *entry) {
    setText(entry, "Edit5", "250");
    setText(entry, "Edit3", "Körte, vilmos");
    click(entry, "Button2");
  });
  script.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(script.run([] { TForm6::Pick(); }));
  EXPECT_EQ(bad.text, "Hiba73: Módositásban, UPDATE a termékben ");
  EXPECT_EQ(scalar("SELECT t_megnevezes FROM termek WHERE t_kod = '2'"), "Körte, vilmos");
  EXPECT_EQ(scalar("SELECT t_ear FROM termek WHERE t_kod = '2'"), "250");
  EXPECT_EQ(products(), 2);
}

TEST_F(Products, DeletingTheOnlyProductIsRefusedAndADeletionIsCommitted) {
  add("1", "Alma");
  MessageSeen only, deleted;
  ModalScript script;
  script.then([](QWidget *list) { click(list, "Button4"); });
  script.then(answer(QMessageBox::Ok, &only));
  script.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(script.run([] { TForm6::Pick(); }));
  EXPECT_EQ(only.text, "Az utolsó terméksor nem törölhető ki.");
  EXPECT_EQ(products(), 1);

  add("2", "Körte");
  AktTermek = "kör";
  ModalScript again;
  again.then([](QWidget *list) { click(list, "Button4"); });
  again.then(answer(QMessageBox::Ok, &deleted));
  again.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(again.run([] { TForm6::Pick(); }));
  EXPECT_EQ(deleted.text, "Az termék sor törlölve!");
  if (Data->IBTrans1->active()) Data->IBTrans1->rollback();
  EXPECT_EQ(scalar("SELECT t_megnevezes FROM termek"), "Alma");
}

TEST_F(Products, ThePickerFindsANameBeginningAndCancelGivesTheRowBack) {
  add("1", "Körte");
  add("2", "almás paprika");
  add("3", "Alma");
  add("4", "Barack");
  AktTermek = "ALM";
  QString opened, byCode, third, label;
  QStringList byEntry, byName;
  bool picked = true;
  ModalScript script;
  script.then([&](QWidget *list) {
    opened = current("t_megnevezes");
    auto *header = child<QTableView>(list, "DBGrid1")->horizontalHeader();
    emit header->sectionClicked(0);
    byCode = current("t_kod");
    label = textOf(list, "Label1");
    emit header->sectionClicked(2);  // the third column keeps the order
    third = Data->ZQ40->sql().text();
    emit header->sectionClicked(6);  // ID: the order of entry
    byEntry = {Data->ZQ40->sql().lines().last(), textOf(list, "Label1"), current("t_kod")};
    emit header->sectionClicked(1);
    byName = {Data->ZQ40->sql().lines().last(), textOf(list, "Label1"), current("t_megnevezes")};
    click(list, "Button5");
  });
  ASSERT_TRUE(script.run([&] { picked = TForm6::Pick(); }));
  EXPECT_EQ(opened, "Alma");
  EXPECT_EQ(byCode, "1");
  EXPECT_EQ(label, "Termék lista, \"Kód\" szerint");
  EXPECT_TRUE(third.endsWith("ORDER BY t_kod"));
  EXPECT_EQ(byEntry, QStringList({"  ORDER BY ID_Termek", "Termék lista a beviteli sorrend szerint", "1"}));
  EXPECT_EQ(byName,
            QStringList({"  ORDER BY t_megnevezes COLLATE HUN_ABC", "Termék lista, \"Megnevezés\" szerint", "Alma"}));
  EXPECT_FALSE(picked);
  EXPECT_EQ(current("t_megnevezes"), "Alma");
  // The names in the Hungarian order, as the printed list has them.
  add("5", "Őszibarack");
  add("6", "Tojás");
  OpenProductList();
  QStringList names;
  for (Data->ZQ40->first(); !Data->ZQ40->eof(); Data->ZQ40->next()) names << current("t_megnevezes");
  EXPECT_EQ(names, QStringList({"Alma", "almás paprika", "Barack", "Körte", "Őszibarack", "Tojás"}));
}

TEST_F(Products, FailedWritesShowTheirNumberedMessageAndWriteNothing) {
  add("1", "Alma");
  add("2", "Körte");
  MessageSeen insertFailed, deleteFailed;
  ModalScript script;
  script.then([](QWidget *list) { click(list, "Button2"); });
  script.then([](QWidget *entry) {
    setText(entry, "Edit2", "123456");  // longer than the code column
    setText(entry, "Edit3", "Dió");
    setText(entry, "Edit6", "kg");
    click(entry, "Button2");
  });
  script.then(answer(QMessageBox::Ok, &insertFailed));
  script.then([](QWidget *entry) { closeWindow(entry); });
  script.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(script.run([] { TForm6::Pick(); }));
  EXPECT_EQ(insertFailed.text, "Hiba72: Újban, INSERT  a termékben ");
  EXPECT_EQ(products(), 2);

  OtherUser other("UPDATE termek SET t_megy = 'db'");
  ModalScript del;
  del.then([](QWidget *list) { click(list, "Button4"); });
  del.then(answer(QMessageBox::Ok, &deleteFailed));
  del.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(del.run([] { TForm6::Pick(); }));
  other.release();
  EXPECT_EQ(deleteFailed.text, "Hiba61: termék DELETE törlésekor");
  EXPECT_EQ(products(), 2);
}

TEST_F(Products, TheMenuItemsOpenTheTwoLists) {
  add("1", "Alma");
  exec("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('1', 'Nagy Éva')");
  QStringList opened;
  for (const char *item : {"stermel1", "Termk1"}) {
    ModalScript script;
    script.then([&](QWidget *dlg) {
      opened << dlg->objectName() + QLatin1Char(':') + dlg->windowTitle();
      closeWindow(dlg);
    });
    EXPECT_TRUE(script.run([item] { EXPECT_TRUE(RunMenuCommand(QString::fromLatin1(item))); }));
  }
  EXPECT_EQ(opened, QStringList({"Form4:Őstermelő", "Form6:Termék"}));
  EXPECT_EQ(Form4, nullptr);
  EXPECT_EQ(Form6, nullptr);
}

}  // namespace
