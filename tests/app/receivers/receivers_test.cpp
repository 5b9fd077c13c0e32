// Receiver choice, receiver details and year opening, driven as the user
// drives them, over a real embedded database.
#include "app/MenuCommands.h"
#include "app/About.h"
#include "app/SharedState.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/receivers/Unit17.h"
#include "app/receivers/Unit18.h"
#include "app/tickets/TicketMath.h"
#include "app/yearopen/Unit38.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/transaction.h"
#include "support/data_fixture.h"
#include "support/db_fixture.h"
#include "support/gui_driver.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace vorik::test;

namespace {

class ReceiverDialogs : public SuiteDatabaseTest {
 protected:
  static void SetUpTestSuite() {
    SuiteDatabaseTest::SetUpTestSuite();
    data_ = openDataModule(dbPath());
  }
  static void TearDownTestSuite() {
    closeDataModule(data_);
    SuiteDatabaseTest::TearDownTestSuite();
  }
  void SetUp() override {
    resetAppState();
    exec(QStringLiteral("DELETE FROM qzfej"));
    exec(QStringLiteral("DELETE FROM sorszam"));
    exec(QStringLiteral("DELETE FROM atvevo"));
  }

  // Runs one statement on the program's transaction and commits.
  static void exec(const QString &sql) { execCommitted(sql); }
  static void addReceiver(const QString &code, const QString &name,
                          const QString &nyilatk = QStringLiteral("nyilatkozat"),
                          const QString &verzio = QStringLiteral("A")) {
    exec(QStringLiteral("INSERT INTO atvevo (v_akod, v_neve, v_nyilatk, v_verzio, v_adoszam) "
                        "VALUES ('%1', '%2', '%3', '%4', '12345676123')")
             .arg(code, name, nyilatk, verzio));
  }
  // One column of the receiver's row, read through a fresh transaction.
  static QString column(const QString &table, const QString &key, const QString &code,
                        const QString &col) {
    db::Transaction t;
    t.setConnection(Data->ZCon1);
    db::Query q;
    q.setTransaction(&t);
    q.sql().add(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = '%4'").arg(col, table, key, code));
    q.open();
    const QString v = q.isEmpty() ? QStringLiteral("<none>") : q.field(0).asString();
    q.close();
    t.commit();
    return v;
  }

  // A second program instance holding an uncommitted update of one row, so
  // that our nowait write meets a lock conflict.
  struct RowLock {
    db::Connection connection;
    db::Transaction transaction;
    db::Query query;
    explicit RowLock(const QString &sql) {
      connection.setDatabaseName(Data->ZCon1->databaseName());
      connection.setParams(db::defaultConnectionParams());
      connection.open();
      transaction.setConnection(&connection);
      query.setTransaction(&transaction);
      query.sql().add(sql);
      query.execute();
    }
    ~RowLock() {
      transaction.rollback();
      query.close();
      connection.close();
    }
  };

  inline static std::unique_ptr<TData> data_;
};

// Shows a dialog modally through the script; returns when it is closed.
template <class T>
::testing::AssertionResult runDialog(T *&global, ModalScript &script, std::function<void(T *)> prepare = {}) {
  return script.run([&] {
    ShowModalDialog<T>(global, [&](T *f) {
      if (prepare) prepare(f);
    });
  });
}

}  // namespace

// ---- Receiver choice ----

TEST_F(ReceiverDialogs, ChoiceTakesTheLastRowAndPutsTheNameInTheCaption) {
  addReceiver(QStringLiteral("1"), QStringLiteral("Alfa"), QStringLiteral("első"));
  const QString longName = QStringLiteral("Hosszú Nevű Felvásárló Kft.2");  // 28 characters
  ASSERT_EQ(longName.size(), 28);
  addReceiver(QStringLiteral("12"), longName, QStringLiteral("második"), QStringLiteral("B9"));

  QString kodAtShow, comboAtShow, caption;
  ModalScript script;
  script.then([&](QWidget *dlg) {
    kodAtShow = AtvevoKod;
    comboAtShow = textOf(dlg, QStringLiteral("DBLookupComboBox1"));
    click(dlg, QStringLiteral("Button2"));
  });
  ASSERT_TRUE(runDialog<TForm18>(Form18, script, [&](TForm18 *f) {
    QObject::connect(f, &QDialog::finished, f, [&caption, f] { caption = f->windowTitle(); });
  }));

  EXPECT_EQ(kodAtShow, QStringLiteral("12"));
  EXPECT_EQ(comboAtShow, longName);
  EXPECT_EQ(AtvevoKod, QStringLiteral("12"));
  EXPECT_EQ(AtvevoNyilatk, QStringLiteral("második"));
  EXPECT_EQ(JegyVariant, QStringLiteral("B"));
  EXPECT_EQ(TipusNormal, QStringLiteral("1"));
  EXPECT_EQ(TipusErvenytelenito, QStringLiteral("4"));
  EXPECT_EQ(caption, QStringLiteral("Felvásárlási jegy - ") + longName.left(25) +
                         QStringLiteral(" Verzió: 25.00 2006-2025"));
}

// The drop-down lists the names in Hungarian order ("Ábel" before "Bakó",
// not after "Zala"); the opening still makes the last stored receiver current.
TEST_F(ReceiverDialogs, ChoiceListsNamesInHungarianOrderAndStartsOnTheLastStored) {
  addReceiver(QStringLiteral("1"), QStringLiteral("Zala Kft."));
  addReceiver(QStringLiteral("2"), QStringLiteral("Ábel Bt."));
  addReceiver(QStringLiteral("3"), QStringLiteral("Bakó és Társa"));
  QStringList names;
  QString comboAtShow;
  ModalScript script;
  script.then([&](QWidget *dlg) {
    auto *combo = child<QComboBox>(dlg, QStringLiteral("DBLookupComboBox1"));
    for (int i = 0; i < combo->count(); ++i) names << combo->itemText(i);
    comboAtShow = combo->currentText();
    click(dlg, QStringLiteral("Button2"));
  });
  ASSERT_TRUE(runDialog<TForm18>(Form18, script));
  EXPECT_EQ(names, (QStringList{"Ábel Bt.", "Bakó és Társa", "Zala Kft."}));
  EXPECT_EQ(comboAtShow, QStringLiteral("Bakó és Társa"));
  EXPECT_EQ(AtvevoKod, QStringLiteral("3"));
}

TEST_F(ReceiverDialogs, ChoiceIsKeyedByCodeAndMatchedExactly) {
  // Two receivers share a name, and one code begins the other.
  addReceiver(QStringLiteral("1"), QStringLiteral("Azonos"), QStringLiteral("egyes"));
  addReceiver(QStringLiteral("12"), QStringLiteral("Azonos"), QStringLiteral("tizenkettes"),
              QString());
  addReceiver(QStringLiteral("3"), QStringLiteral("Harmadik"));

  for (int pick : {1, 0}) {
    ModalScript script;
    script.then([&](QWidget *dlg) {
      auto *combo = child<QComboBox>(dlg, QStringLiteral("DBLookupComboBox1"));
      combo->setCurrentIndex(pick);
      emit combo->activated(pick);  // the drop-down closes on that row
      click(dlg, QStringLiteral("Button3"));
    });
    ASSERT_TRUE(runDialog<TForm18>(Form18, script));
    if (pick == 1) {
      EXPECT_EQ(AtvevoKod, QStringLiteral("12"));
      EXPECT_EQ(AtvevoNyilatk, QStringLiteral("tizenkettes"));
      EXPECT_EQ(JegyVariant, QString());  // empty V_VERZIO: no layout letter
    } else {
      EXPECT_EQ(AtvevoKod, QStringLiteral("1"));
      EXPECT_EQ(AtvevoNyilatk, QStringLiteral("egyes"));
      EXPECT_EQ(JegyVariant, QStringLiteral("A"));
    }
  }
}

TEST_F(ReceiverDialogs, ChoiceAppliesHoweverTheDialogCloses) {
  addReceiver(QStringLiteral("7"), QStringLiteral("Első"));
  addReceiver(QStringLiteral("8"), QStringLiteral("Utolsó"), QStringLiteral("u"));
  // The window's close button...
  ModalScript script;
  script.then([&](QWidget *dlg) { closeWindow(dlg); });
  ASSERT_TRUE(runDialog<TForm18>(Form18, script));
  EXPECT_EQ(AtvevoKod, QStringLiteral("8"));
  EXPECT_EQ(TipusNormal, QStringLiteral("1"));

  // ...and Escape, after moving the drop-down to the first row.
  TipusNormal.clear();
  ModalScript esc;
  esc.then([&](QWidget *dlg) {
    child<QComboBox>(dlg, QStringLiteral("DBLookupComboBox1"))->setCurrentIndex(0);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(dlg, &key);
  });
  ASSERT_TRUE(runDialog<TForm18>(Form18, esc));
  EXPECT_EQ(AtvevoKod, QStringLiteral("7"));
  EXPECT_EQ(TipusNormal, QStringLiteral("1"));
}

TEST_F(ReceiverDialogs, ChoiceOverAnEmptyReceiverTableLeavesAnEmptyCode) {
  AtvevoKod = QStringLiteral("old");
  ModalScript script;
  script.then([&](QWidget *dlg) { click(dlg, QStringLiteral("Button2")); });
  ASSERT_TRUE(runDialog<TForm18>(Form18, script));
  EXPECT_EQ(AtvevoKod, QString());
  EXPECT_EQ(AtvevoNyilatk, QString());
}

// ---- Receiver details ----

TEST_F(ReceiverDialogs, DetailsRefuseAShortCommunityTaxNumberAndStoreBoxesAsTrueOrBlank) {
  addReceiver(QStringLiteral("5"), QStringLiteral("Ötös"), QStringLiteral("régi"));
  exec(QStringLiteral("UPDATE atvevo SET v_ev = 'true', v_kisado = 'true', v_ev_neve = 'Kis Péter', "
                      "v_adoazon = '8123456786', v_evnyilv = 'EV1' WHERE v_akod = '5'"));
  AtvevoKod = QStringLiteral("5");

  MessageSeen shortTax, stored;
  ModalScript script;
  script.then([&](QWidget *dlg) {
    EXPECT_TRUE(child<QPushButton>(dlg, QStringLiteral("Button2"))->isEnabled());
    EXPECT_TRUE(child<QCheckBox>(dlg, QStringLiteral("CheckBox1"))->isChecked());
    EXPECT_TRUE(child<QCheckBox>(dlg, QStringLiteral("CheckBox2"))->isChecked());
    EXPECT_EQ(textOf(dlg, QStringLiteral("Edit21")), QStringLiteral("Kis Péter"));
    setText(dlg, QStringLiteral("Edit11"), QStringLiteral("HU12345"));
    click(dlg, QStringLiteral("Button2"));
  });
  script.then(answer(QMessageBox::Ok, &shortTax));
  script.then([&](QWidget *dlg) {
    EXPECT_EQ(dlg->focusWidget(), child<QLineEdit>(dlg, QStringLiteral("Edit11")));
    setText(dlg, QStringLiteral("Edit11"), QString());  // empty is accepted
    setChecked(dlg, QStringLiteral("CheckBox1"), false);
    setChecked(dlg, QStringLiteral("CheckBox2"), false);
    setText(dlg, QStringLiteral("Edit10"), QStringLiteral("új nyilatkozat"));
    setText(dlg, QStringLiteral("Edit7"), QStringLiteral(" A"));
    setText(dlg, QStringLiteral("Edit4"), QStringLiteral("Fő"));
    click(dlg, QStringLiteral("Button2"));
  });
  ASSERT_TRUE(runDialog<TForm17>(Form17, script, [](TForm17 *f) { f->AtvevoBetoltes(); }));
  EXPECT_EQ(shortTax.text, QStringLiteral("Közösségi adószám kevesebb mint 8 karakter!"));

  auto col = [](const char *c) {
    return column(QStringLiteral("atvevo"), QStringLiteral("v_akod"), QStringLiteral("5"),
                  QLatin1String(c));
  };
  EXPECT_EQ(col("v_ev"), QStringLiteral(" "));
  EXPECT_EQ(col("v_kisado"), QStringLiteral(" "));
  EXPECT_EQ(col("v_ev_neve"), QStringLiteral(" "));
  EXPECT_EQ(col("v_adoazon"), QStringLiteral(" "));
  EXPECT_EQ(col("v_evnyilv"), QStringLiteral(" "));
  EXPECT_EQ(col("v_utca"), QStringLiteral("Fő"));
  EXPECT_EQ(col("v_nyilatk"), QStringLiteral("új nyilatkozat"));
  EXPECT_EQ(col("v_neve"), QStringLiteral("Ötös"));
  // The receiver state follows at once; the layout letter is the column's
  // first character, a blank here.
  EXPECT_EQ(AtvevoNyilatk, QStringLiteral("új nyilatkozat"));
  EXPECT_EQ(JegyVariant, QStringLiteral(" "));
}

TEST_F(ReceiverDialogs, DetailsOfASoleTraderNeedItsThreeFields) {
  addReceiver(QStringLiteral("6"), QStringLiteral("Hatos"));
  AtvevoKod = QStringLiteral("6");
  MessageSeen noId, noReg, noName;
  ModalScript script;
  script.then([&](QWidget *dlg) {
    setChecked(dlg, QStringLiteral("CheckBox1"), true);
    setChecked(dlg, QStringLiteral("CheckBox2"), true);
    setText(dlg, QStringLiteral("Edit9"), QStringLiteral("   "));
    click(dlg, QStringLiteral("Button2"));
  });
  script.then(answer(QMessageBox::Ok, &noId));
  script.then([&](QWidget *dlg) {
    setText(dlg, QStringLiteral("Edit9"), QStringLiteral("8123456786"));
    click(dlg, QStringLiteral("Button2"));
  });
  script.then(answer(QMessageBox::Ok, &noReg));
  script.then([&](QWidget *dlg) {
    setText(dlg, QStringLiteral("Edit20"), QStringLiteral("EV-77"));
    click(dlg, QStringLiteral("Button2"));
  });
  script.then(answer(QMessageBox::Ok, &noName));
  script.then([&](QWidget *dlg) {
    setText(dlg, QStringLiteral("Edit21"), QStringLiteral("Hat Ödön"));
    click(dlg, QStringLiteral("Button2"));
  });
  ASSERT_TRUE(runDialog<TForm17>(Form17, script, [](TForm17 *f) { f->AtvevoBetoltes(); }));
  EXPECT_EQ(noId.text, QStringLiteral("Nincs megadva az egyéni váll.adóazonositó száma!"));
  EXPECT_EQ(noReg.text, QStringLiteral("Nincs megadva az egyéni váll.nyilvántart.száma!"));
  EXPECT_EQ(noName.text, QStringLiteral("Nincs megadva az egyéni váll. neve!"));
  auto col = [](const char *c) {
    return column(QStringLiteral("atvevo"), QStringLiteral("v_akod"), QStringLiteral("6"),
                  QLatin1String(c));
  };
  EXPECT_EQ(col("v_ev"), QStringLiteral("true"));
  EXPECT_EQ(col("v_kisado"), QStringLiteral("true"));
  EXPECT_EQ(col("v_ev_neve"), QStringLiteral("Hat Ödön"));
  EXPECT_EQ(col("v_evnyilv"), QStringLiteral("EV-77"));
  EXPECT_EQ(JegyVariant, QStringLiteral("A"));
}

TEST_F(ReceiverDialogs, DetailsOfAReceiverWithATicketAreReadOnlyUntilTheServiceKey) {
  addReceiver(QStringLiteral("9"), QStringLiteral("Kilences"));
  exec(QStringLiteral("INSERT INTO qzfej (f_bszam, f_akod, f_tipus) VALUES ('20250001', '9', '1')"));
  AtvevoKod = QStringLiteral("9");
  MessageSeen notice;
  bool disabledAtFirst = false, enabledByKey = false;
  ModalScript script;
  script.then(answer(QMessageBox::Ok, &notice));
  script.then([&](QWidget *dlg) {
    auto *store = child<QPushButton>(dlg, QStringLiteral("Button2"));
    auto *cancel = child<QPushButton>(dlg, QStringLiteral("Button5"));
    disabledAtFirst = !store->isEnabled();
    cancel->setFocus();
    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(cancel, &other);
    EXPECT_FALSE(store->isEnabled());
    const QString key = QString(QChar(TForm17::ServiceKey)).toLower();
    QKeyEvent service(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, key);
    QApplication::sendEvent(cancel, &service);
    enabledByKey = store->isEnabled();
    click(dlg, QStringLiteral("Button5"));
  });
  ASSERT_TRUE(runDialog<TForm17>(Form17, script, [](TForm17 *f) { f->AtvevoBetoltes(); }));
  EXPECT_EQ(notice.text, QStringLiteral("Már készült felvásárlási jegy! Nem módositható."));
  EXPECT_TRUE(disabledAtFirst);
  EXPECT_TRUE(enabledByKey);
  // The set-up's README sends a new receiver to this dialog: it names the answer.
  QFile readme(vorik::test::sourcePath(QStringLiteral("README.md")));
  ASSERT_TRUE(readme.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(readme.readAll()).simplified();
  const qsizetype at = text.indexOf(QStringLiteral("\"Átvevő beállítás\""));
  ASSERT_GE(at, 0);
  EXPECT_TRUE(text.mid(at, text.indexOf(QLatin1Char(':'), at) - at).contains(QLatin1Char('"') + notice.text + QLatin1Char('"')));
}

// ---- Year opening ----

TEST_F(ReceiverDialogs, YearOpeningChecksTheSerialThenInsertsOrUpdatesAndCommitsAtOnce) {
  addReceiver(QStringLiteral("21"), QStringLiteral("Huszonegy"));
  AtvevoKod = QStringLiteral("21");
  std::vector<MessageSeen> seen(3);
  ModalScript script;
  const QStringList inputs{QString(), QStringLiteral("2025000"), QStringLiteral("02500000")};
  for (int i = 0; i < 3; ++i) {
    script.then([&, i](QWidget *dlg) {
      EXPECT_TRUE(child<QLineEdit>(dlg, QStringLiteral("Edit2"))->isVisible());
      child<QLineEdit>(dlg, QStringLiteral("Edit2"))->setText(inputs[i]);
      click(dlg, QStringLiteral("Button4"));
    });
    script.then(answer(QMessageBox::Ok, &seen[i]));
  }
  script.then([&](QWidget *dlg) {
    EXPECT_EQ(dlg->focusWidget(), child<QLineEdit>(dlg, QStringLiteral("Edit2")));
    setText(dlg, QStringLiteral("Edit2"), QStringLiteral("20250000"));
    click(dlg, QStringLiteral("Button4"));
  });
  ASSERT_TRUE(runDialog<TForm38>(Form38, script));
  EXPECT_EQ(seen[0].text, QStringLiteral("Nincs megadva sorszám!"));
  EXPECT_EQ(seen[1].text, QStringLiteral("Nem 8 hosszú a számsor!"));
  EXPECT_EQ(seen[2].text, QStringLiteral("Nullável nem kezdödhet!"));

  // Stored and durable: a rollback of the shared transaction keeps it.
  if (Data->IBTrans1->active()) Data->IBTrans1->rollback();
  const QString stored = column(QStringLiteral("sorszam"), QStringLiteral("a_akod"),
                                QStringLiteral("21"), QStringLiteral("a_qzbszam"));
  EXPECT_EQ(stored, QStringLiteral("20250000"));
  EXPECT_EQ(TicketMath::nextSerial(stored).serial, QStringLiteral("20250001"));

  // A second opening shows it and replaces it (one row per receiver).
  ModalScript again;
  QString current;
  again.then([&](QWidget *dlg) {
    current = textOf(dlg, QStringLiteral("DBEdit11"));
    setText(dlg, QStringLiteral("Edit2"), QStringLiteral("31000000"));
    click(dlg, QStringLiteral("Button4"));
  });
  ASSERT_TRUE(runDialog<TForm38>(Form38, again));
  EXPECT_EQ(current, QStringLiteral("20250000"));
  if (Data->IBTrans1->active()) Data->IBTrans1->rollback();
  EXPECT_EQ(column(QStringLiteral("sorszam"), QStringLiteral("a_akod"), QStringLiteral("21"),
                   QStringLiteral("count(*)")),
            QStringLiteral("1"));
  EXPECT_EQ(column(QStringLiteral("sorszam"), QStringLiteral("a_akod"), QStringLiteral("21"),
                   QStringLiteral("a_qzbszam")),
            QStringLiteral("31000000"));
}

TEST_F(ReceiverDialogs, YearOpeningIsBarredOnceTheReceiverHasATicket) {
  addReceiver(QStringLiteral("22"), QStringLiteral("Huszonkettő"));
  exec(QStringLiteral("INSERT INTO sorszam (a_qzbszam, a_akod) VALUES ('22000005', '22')"));
  exec(QStringLiteral("INSERT INTO qzfej (f_bszam, f_akod, f_tipus) VALUES ('22000005', '22', '4')"));
  AtvevoKod = QStringLiteral("22");
  MessageSeen notice;
  bool editHidden = false, buttonHidden = false;
  ModalScript script;
  script.then(answer(QMessageBox::Ok, &notice));
  script.then([&](QWidget *dlg) {
    editHidden = !child<QLineEdit>(dlg, QStringLiteral("Edit2"))->isVisible();
    buttonHidden = !child<QPushButton>(dlg, QStringLiteral("Button4"))->isVisible();
    click(dlg, QStringLiteral("Button3"));
  });
  ASSERT_TRUE(runDialog<TForm38>(Form38, script));
  EXPECT_EQ(notice.text, QStringLiteral("Már készült felvásárlási jegy! Nem módositható."));
  EXPECT_TRUE(editHidden);
  EXPECT_TRUE(buttonHidden);
  EXPECT_EQ(column(QStringLiteral("sorszam"), QStringLiteral("a_akod"), QStringLiteral("22"),
                   QStringLiteral("a_qzbszam")),
            QStringLiteral("22000005"));
}

TEST_F(ReceiverDialogs, YearOpeningSerialFieldTakesDigitsOnlyFromAnySource) {
  addReceiver(QStringLiteral("23"), QStringLiteral("Huszonhárom"));
  AtvevoKod = QStringLiteral("23");
  QString afterTyping, afterPaste, afterGoodPaste;
  bool stillOpen = false;
  ModalScript script;
  script.then([&](QWidget *dlg) {
    auto *edit = child<QLineEdit>(dlg, QStringLiteral("Edit2"));
    edit->setFocus();
    for (const QString &ch : {QStringLiteral("2"), QStringLiteral("x"), QStringLiteral("-"),
                              QStringLiteral("5"), QStringLiteral(" ")}) {
      QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, ch);
      QApplication::sendEvent(edit, &key);
    }
    afterTyping = edit->text();
    QApplication::clipboard()->setText(QStringLiteral("12ab3"));
    edit->paste();
    afterPaste = edit->text();
    QApplication::clipboard()->setText(QStringLiteral("250000"));
    edit->paste();
    afterGoodPaste = edit->text();
    // Enter does nothing in the field (no button is pressed, no box).
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(edit, &enter);
    stillOpen = dlg->isVisible();
    click(dlg, QStringLiteral("Button3"));
  });
  ASSERT_TRUE(runDialog<TForm38>(Form38, script));
  EXPECT_EQ(afterTyping, QStringLiteral("25"));
  EXPECT_EQ(afterPaste, QStringLiteral("25"));
  EXPECT_EQ(afterGoodPaste, QStringLiteral("25250000"));
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(column(QStringLiteral("sorszam"), QStringLiteral("a_akod"), QStringLiteral("23"),
                   QStringLiteral("a_qzbszam")),
            QStringLiteral("<none>"));
}

// ---- Failed writes keep the dialog open and store nothing ----

TEST_F(ReceiverDialogs, FailedWritesShowTheirNumberedMessageAndKeepTheInput) {
  addReceiver(QStringLiteral("31"), QStringLiteral("Zárolt"));
  exec(QStringLiteral("INSERT INTO sorszam (a_qzbszam, a_akod) VALUES ('31000000', '31')"));
  AtvevoKod = QStringLiteral("31");
  {
    RowLock lock(QStringLiteral("UPDATE atvevo SET v_utca = 'másik' WHERE v_akod = '31'"));
    MessageSeen failure;
    QString kept;
    ModalScript script;
    script.then([&](QWidget *dlg) {
      setText(dlg, QStringLiteral("Edit4"), QStringLiteral("Saját"));
      click(dlg, QStringLiteral("Button2"));
    });
    script.then(answer(QMessageBox::Ok, &failure));
    script.then([&](QWidget *dlg) {
      kept = textOf(dlg, QStringLiteral("Edit4"));
      click(dlg, QStringLiteral("Button5"));
    });
    ASSERT_TRUE(runDialog<TForm17>(Form17, script, [](TForm17 *f) { f->AtvevoBetoltes(); }));
    EXPECT_EQ(failure.text, QStringLiteral("Hiba170: UPDATE atvevo "));
    EXPECT_EQ(kept, QStringLiteral("Saját"));
  }
  EXPECT_FALSE(Data->IBTrans1->active());
  EXPECT_EQ(column(QStringLiteral("atvevo"), QStringLiteral("v_akod"), QStringLiteral("31"),
                   QStringLiteral("v_utca")),
            QString());
  {
    RowLock lock(QStringLiteral("UPDATE sorszam SET a_qzbszam = '31000009' WHERE a_akod = '31'"));
    MessageSeen failure;
    ModalScript script;
    script.then([&](QWidget *dlg) {
      setText(dlg, QStringLiteral("Edit2"), QStringLiteral("32000000"));
      click(dlg, QStringLiteral("Button4"));
    });
    script.then(answer(QMessageBox::Ok, &failure));
    script.then([&](QWidget *dlg) {
      EXPECT_EQ(textOf(dlg, QStringLiteral("Edit2")), QStringLiteral("32000000"));
      click(dlg, QStringLiteral("Button3"));
    });
    ASSERT_TRUE(runDialog<TForm38>(Form38, script));
    EXPECT_EQ(failure.text, QStringLiteral("Hiba381: Letároláskor az UPDATE Sorszam -ba "));
  }
  EXPECT_EQ(column(QStringLiteral("sorszam"), QStringLiteral("a_akod"), QStringLiteral("31"),
                   QStringLiteral("a_qzbszam")),
            QStringLiteral("31000000"));
}

// ---- Through the main window's menu ----

TEST(ReceiverMenus, ChoosingAReceiverUnlocksEveryTopMenuForGood) {
  TempDir dir;
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  createTestDatabase(dir.path());
  TAboutBox::SetInterval(0);
  AboutBoxShown = true;
  auto form = std::make_unique<TForm1>();
  ASSERT_FALSE(form->StartupFailed());
  {
    db::Query q;
    q.setTransaction(Data->IBTrans1);
    q.sql().add(QStringLiteral(
        "INSERT INTO atvevo (v_akod, v_neve, v_verzio) VALUES ('44', 'Menü Teszt Átvevő', 'C')"));
    q.execute();
    Data->IBTrans1->commit();
  }
  auto topItems = [&] {
    return std::vector<QAction *>{form->Felvsrlsijegy1,         form->stermel1,
                                  form->Termk1,                 form->Bevalls1->menuAction(),
                                  form->Listk1->menuAction(),   form->Export1->menuAction(),
                                  form->Kilps1};
  };
  form->show();
  for (QAction *a : topItems()) {
    if (a == form->Kilps1) continue;  // "Kilépés" works before any choice
    EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
  }

  for (const char *button : {"Button2", "Button3"}) {
    ModalScript script;
    script.then([&](QWidget *dlg) {
      EXPECT_EQ(dlg->objectName(), QStringLiteral("Form18"));
      click(dlg, QLatin1String(button));
    });
    ASSERT_TRUE(script.run([&] { form->Vlaszts1->trigger(); }));
    for (QAction *a : topItems()) EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_EQ(form->windowTitle(),
              QStringLiteral("Felvásárlási jegy - Menü Teszt Átvevő Verzió: 25.00 2006-2025"));
    EXPECT_EQ(AtvevoKod, QStringLiteral("44"));
    EXPECT_EQ(JegyVariant, QStringLiteral("C"));
  }
  form.reset();
  delete Data;
  Data = nullptr;
  QDir::setCurrent(previous);
  TAboutBox::SetInterval(-1);
}

// ---- TData's check wrappers and address joins ----

TEST_F(ReceiverDialogs, DataModuleChecksSetTheSharedStrings) {
  EXPECT_TRUE(Data->AdoazonEllenorzes(QStringLiteral("8123456786")));
  EXPECT_FALSE(Data->AdoszamEllenorzes(QStringLiteral("1234/567123")));  // no raise
  EXPECT_TRUE(Data->TAJEllenorzes(QStringLiteral("111111110")));
  Data->felir(QStringLiteral("AB1234567"));
  EXPECT_EQ(FelirHiba, QStringLiteral("0"));
  Data->felir(QString::fromUtf8("Á12345678"));
  EXPECT_EQ(FelirHiba, QStringLiteral("1"));
  Data->ocsg(QStringLiteral("Ocsg-12345678"));
  EXPECT_EQ(OcsgHiba, QStringLiteral("1"));
  Data->nebih(QStringLiteral("NEBIH1234567890"));
  EXPECT_EQ(NebihHiba, QStringLiteral("0"));
  Data->ujnev(QString::fromUtf8("Kiss János"));
  EXPECT_EQ(NevElotag, QStringLiteral("Kiss "));
  EXPECT_EQ(NevUtotag, QString::fromUtf8("János"));
  EXPECT_EQ(Data->XMLdatum(QStringLiteral("2025.03.07")), QStringLiteral("2025-03-07"));
}

TEST_F(ReceiverDialogs, AddressJoinsReadTheReceiverAndTheTicketsProducer) {
  addReceiver(QStringLiteral("51"), QStringLiteral("Címes"));
  exec(QStringLiteral("UPDATE atvevo SET v_kerulet = ' XI ', v_utca = 'Fő', v_jelleg = 'utca', "
                      "v_hazszam = '3/a', v_ajto = '2' WHERE v_akod = '51'"));
  AtvevoKod = QStringLiteral("51");
  Data->atv_utca();
  EXPECT_EQ(AtvevoUtca, QStringLiteral("XI Fő utca 3/a 2"));

  exec(QStringLiteral("DELETE FROM ostermelo WHERE o_kod = '77'"));
  exec(QStringLiteral("INSERT INTO ostermelo (o_kod, o_nev, o_utca, o_hazszam, o_szint) "
                      "VALUES ('77', 'Termelő', 'Kert', '12', 'fsz')"));
  exec(QStringLiteral("INSERT INTO qzfej (f_bszam, f_akod, f_ostermkod, f_tipus) "
                      "VALUES ('51000001', '51', '77', '1')"));
  db::Query &ticket = *Data->ZQ10;
  ticket.close();
  ticket.sql().clear();
  ticket.sql().add(QStringLiteral("SELECT * FROM qzfej WHERE f_bszam = '51000001'"));
  ticket.open();
  Data->ost_utca();
  EXPECT_EQ(OstermeloUtca, QStringLiteral("Kert 12 fsz"));
  ticket.close();

  // An unknown receiver gives no street.
  AtvevoKod = QStringLiteral("nincs");
  Data->atv_utca();
  EXPECT_EQ(AtvevoUtca, QString());
}

TEST_F(ReceiverDialogs, OverlongTextsAreCutToTheirColumnsAndStoreCleanly) {
  addReceiver(QStringLiteral("61"), QStringLiteral("Hosszú"));
  AtvevoKod = QStringLiteral("61");
  ModalScript script;
  script.then([&](QWidget *dlg) {
    QApplication::clipboard()->setText(QString(300, QLatin1Char('n')));
    child<QLineEdit>(dlg, QStringLiteral("Edit10"))->clear();
    child<QLineEdit>(dlg, QStringLiteral("Edit10"))->paste();
    QApplication::clipboard()->setText(QString(60, QLatin1Char('v')));
    child<QLineEdit>(dlg, QStringLiteral("Edit7"))->clear();
    child<QLineEdit>(dlg, QStringLiteral("Edit7"))->paste();
    QApplication::clipboard()->setText(QString(50, QLatin1Char('u')));
    child<QLineEdit>(dlg, QStringLiteral("Edit4"))->clear();
    child<QLineEdit>(dlg, QStringLiteral("Edit4"))->paste();
    click(dlg, QStringLiteral("Button2"));
  });
  ASSERT_TRUE(runDialog<TForm17>(Form17, script, [](TForm17 *f) { f->AtvevoBetoltes(); }));
  auto col = [](const char *c) {
    return column(QStringLiteral("atvevo"), QStringLiteral("v_akod"), QStringLiteral("61"),
                  QLatin1String(c));
  };
  EXPECT_EQ(col("v_nyilatk"), QString(250, QLatin1Char('n')));
  EXPECT_EQ(col("v_verzio"), QString(45, QLatin1Char('v')));
  EXPECT_EQ(col("v_utca"), QString(45, QLatin1Char('u')));
  EXPECT_EQ(JegyVariant, QStringLiteral("v"));
}

TEST_F(ReceiverDialogs, YearOpeningShowsTheTicketOptionsEvenWithoutIniFiles) {
  addReceiver(QStringLiteral("62"), QStringLiteral("Opciós"));
  AtvevoKod = QStringLiteral("62");
  // No ini file lies beside the test program: the strings keep their values.
  Edit14Option = QStringLiteral("1");
  Edit14Default = QStringLiteral("2");
  Edit15Option = QStringLiteral("0");
  Edit15Default = QStringLiteral("3");
  Edit13Option = QStringLiteral("1");
  Edit13Default = QStringLiteral("500");
  Edit10Option = QStringLiteral("0");
  Edit8Default = QStringLiteral("12");
  QStringList shown;
  bool readOnly = true;
  ModalScript script;
  script.then([&](QWidget *dlg) {
    for (const char *name : {"Edit1", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit9", "Edit8"}) {
      shown << textOf(dlg, QLatin1String(name));
      readOnly = readOnly && child<QLineEdit>(dlg, QLatin1String(name))->isReadOnly();
    }
    click(dlg, QStringLiteral("Button3"));
  });
  ASSERT_TRUE(runDialog<TForm38>(Form38, script));
  EXPECT_EQ(shown, (QStringList{"1", "2", "0", "3", "1", "500", "0", "12"}));
  EXPECT_TRUE(readOnly);
  for (QString *s : {&Edit14Option, &Edit15Option, &Edit13Option, &Edit14Default, &Edit15Default,
                     &Edit13Default, &Edit10Option, &Edit8Default})
    s->clear();
}
