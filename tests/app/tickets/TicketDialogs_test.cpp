// Ticket list, entry and line dialogs driven through their controls against a
// real embedded database.
#include <QAbstractButton>
#include <QApplication>
#include <QTableView>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/MenuCommands.h"
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/tickets/NumberingHold.h"
#include "app/tickets/TicketModification.h"
#include "app/tickets/TicketQueries.h"
#include "app/tickets/TicketState.h"
#include "app/tickets/Unit10.h"
#include "app/tickets/Unit8.h"
#include "app/tickets/Unit9.h"
#include "app/tickets/Unit39.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "platform/conv.h"
#include "support/data_fixture.h"
#include "support/db_fixture.h"
#include "support/gui_driver.h"
#include "support/qt_print.h"
#include "support/temp_dir.h"

using namespace vorik::test;

namespace {

const QString kDeclaration = QStringLiteral("Nyilatkozom, hogy mezőgazdasági őstermelő vagyok.");

// The entry dialog for modifying the ticket of serial, found in the list,
// loaded and shown (not modal).
std::unique_ptr<TForm9> openModification(const QString &serial) {
  TicketQueries::openTicketList();
  EXPECT_TRUE(Data->ZQ10->locate(QStringLiteral("F_BSZAM"), serial));
  JegyMod = kJegyModModositas;
  auto f = std::make_unique<TForm9>(nullptr);
  f->LoadTicket();
  f->show();
  QApplication::processEvents();
  return f;
}

class TicketDialogs : public SuiteDatabaseTest {
 protected:
  void SetUp() override {
    data_ = openDataModule(dbPath());
    // Serials are unique over every receiver: each test starts without the
    // tickets the suite's other tests stored.
    exec(QStringLiteral("DELETE FROM QZSOR"));
    exec(QStringLiteral("DELETE FROM QZFEJ"));
    ++counter_;
    receiver_ = QStringLiteral("R%1").arg(counter_, 3, 10, QLatin1Char('0'));
    AtvevoKod = receiver_;
    AtvevoNyilatk = kDeclaration;
    TipusNormal = QStringLiteral("1");
    TipusErvenytelenito = QStringLiteral("4");
    UtolsoBszam.clear();
    Edit13Option = Edit14Option = Edit15Option = QString();
    Edit13Default = Edit14Default = Edit15Default = QString();
    Edit10Option = QString();
    Edit8Default = QStringLiteral("12");
    exec(QStringLiteral("INSERT INTO ATVEVO (V_AKOD, V_NEVE, V_NYILATK) VALUES ('%1', 'Átvevő "
                        "%1', '%2')")
             .arg(receiver_, kDeclaration));
    TForm9::setProducerPicker([this](QWidget *) {
      if (pickProducer_.isEmpty()) return false;
      db::Query &q = *Data->ZQ30;
      q.close();
      q.sql().clear();
      q.sql().add(QStringLiteral("SELECT * FROM OSTERMELO WHERE o_kod = :p0"));
      q.paramByName(QStringLiteral("p0")).setString(pickProducer_);
      q.open();
      return true;
    });
    TForm10::setProductPicker([this](QWidget *, const QString &) {
      if (pickProduct_.isEmpty()) return false;
      db::Query &q = *Data->ZQ40;
      q.close();
      q.sql().clear();
      q.sql().add(QStringLiteral("SELECT * FROM TERMEK WHERE t_kod = :p0"));
      q.paramByName(QStringLiteral("p0")).setString(pickProduct_);
      q.open();
      return true;
    });
  }

  void TearDown() override {
    TForm9::setProducerPicker({});
    TForm10::setProductPicker({});
    closeDataModule(data_);
  }

  // A statement in its own committed transaction, apart from the dialogs' one.
  void exec(const QString &sql) { execApart(*Data->ZCon1, sql); }

  // The first column of the first row, as committed (own transaction).
  QString scalar(const QString &sql) {
    return apart(*Data->ZCon1, sql, [](db::Query &q) {
      q.open();
      return q.isEmpty() ? QStringLiteral("<none>") : q.field(0).asString();
    });
  }

  int count(const QString &table, const QString &where) {
    return scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2").arg(table, where)).toInt();
  }

  void setSerial(const QString &serial) {
    exec(QStringLiteral("INSERT INTO SORSZAM (A_AKOD, A_QZBSZAM) VALUES ('%1', '%2')")
             .arg(receiver_, serial));
  }

  // A producer with a valid FELIR id; returns its code.
  QString addProducer(const QString &bank, const QString &term, int szja = 15,
                      const QString &felir = QStringLiteral("AB1234567")) {
    const QString code = QStringLiteral("%1").arg(counter_ * 10 + (++producers_), 5, 10,
                                                  QLatin1Char('0'));
    exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD, O_NEV, O_SZJA, O_BANKSZLA, O_FHAT, "
                        "O_FELIR) VALUES ('%1', 'Termelő %1', %2, '%3', %4, '%5')")
             .arg(code)
             .arg(szja)
             .arg(bank, term, felir));
    return code;
  }

  QString addProduct(const QString &name, const QString &ear, int komp) {
    const QString code = QStringLiteral("%1").arg(counter_ * 10 + (++products_), 5, 10,
                                                  QLatin1Char('0'));
    exec(QStringLiteral("INSERT INTO TERMEK (T_KOD, T_MEGNEVEZES, T_VTSZ, T_EAR, T_MEGY, "
                        "T_KOMPMERTEKE, T_BIZONYLAT) VALUES ('%1', '%2', '0709', %3, 'kg', %4, "
                        "'B-%1')")
             .arg(code, name, ear)
             .arg(komp));
    return code;
  }

  // A committed line under serial (as the line dialog leaves it).
  void addLine(const QString &serial, const QString &brutto, const QString &ear,
               const QString &komp = QStringLiteral("0")) {
    exec(QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_MEGNEVEZES, S_VTSZ, S_BRUTTO, S_MEGY, "
                        "S_EAR, S_KOMPMERTEKE, S_AKOD, S_LEVONSZAZ) VALUES ('%1', 'alma', "
                        "'0808', %2, 'kg', %3, %4, '%5', 0)")
             .arg(serial, brutto, ear, komp, receiver_));
  }

  void addHeader(const QString &serial, const QString &producer, const QString &prn,
                 const QString &type = QStringLiteral("1")) {
    exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_AKOD, F_OSTERMKOD, F_KELT, F_FELVKELT, "
                        "F_FIZKELT, F_UTAL, F_PRN, F_SZJA, F_JARULSZAZ, F_LEVONAS, F_NYILATK, "
                        "F_TIPUS, F_MUVKTG, F_SUMVAR) VALUES ('%1', '%2', '%3', '2025-03-01', "
                        "'2025-03-01', '2025-03-01', ' ', '%4', 15, 0, 0, ' ', '%5', 0, 0)")
             .arg(serial, receiver_, producer, prn, type));
  }

  // Tickets first + 1 .. first + n of producer as addHeader stores them, in one statement.
  void addHeaders(int first, int n, const QString &producer) {
    exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_AKOD, F_OSTERMKOD, F_KELT, F_FELVKELT, F_FIZKELT, "
                        "F_UTAL, F_PRN, F_SZJA, F_JARULSZAZ, F_LEVONAS, F_NYILATK, F_TIPUS, F_MUVKTG, "
                        "F_SUMVAR) SELECT %3 + n, '%1', '%2', '2025-03-01', '2025-03-01', '2025-03-01', ' ', "
                        "' ', 15, 0, 0, ' ', '1', 0, 0 FROM (SELECT FIRST %4 ROW_NUMBER() OVER () AS n "
                        "FROM rdb$types a CROSS JOIN rdb$types b)")
             .arg(receiver_, producer)
             .arg(first)
             .arg(n));
  }

  // A new-ticket entry dialog, shown (not modal) with its serial taken.
  std::unique_ptr<TForm9> openNew() {
    JegyMod = kJegyModUj;
    auto f = std::make_unique<TForm9>(nullptr);
    EXPECT_TRUE(f->StartNew());
    f->show();
    QApplication::processEvents();
    return f;
  }

  // Runs action and fails the test if it opens any modal window.
  static void noMessage(const std::function<void()> &action) {
    ModalScript script;
    EXPECT_TRUE(script.run(action, 3000));
  }

  static int counter_;
  std::unique_ptr<TData> data_;
  QString receiver_;
  QString pickProducer_, pickProduct_;
  int producers_ = 0, products_ = 0;
};

int TicketDialogs::counter_ = 0;

}  // namespace

TEST_F(TicketDialogs, NewSerialDeletesOnlyHeaderlessOrphansAndSkipsSavedSerials) {
  const QString producer = addProducer(QString(), QStringLiteral("0"));
  setSerial(QStringLiteral("25000123"));
  addLine(QStringLiteral("25000124"), QStringLiteral("10"), QStringLiteral("100"));
  addLine(QStringLiteral("25000124"), QStringLiteral("5"), QStringLiteral("100"));
  {
    auto f = openNew();
    EXPECT_EQ(f->Edit1->text(), QStringLiteral("25000124"));
    // The orphans are gone for good, not only inside the open transaction.
    EXPECT_EQ(count(QStringLiteral("QZSOR"), QStringLiteral("S_BSZAM = '25000124'")), 0);
  }
  // A serial that already has a header (the counter lagged) is skipped and
  // that ticket's lines stay.
  exec(QStringLiteral("UPDATE SORSZAM SET A_QZBSZAM = '25000200' WHERE A_AKOD = '%1'")
           .arg(receiver_));
  addHeader(QStringLiteral("25000201"), producer, QStringLiteral(" "));
  addLine(QStringLiteral("25000201"), QStringLiteral("1"), QStringLiteral("10"));
  auto f = openNew();
  EXPECT_EQ(f->Edit1->text(), QStringLiteral("25000202"));
  EXPECT_EQ(count(QStringLiteral("QZSOR"), QStringLiteral("S_BSZAM = '25000201'")), 1);
}

TEST_F(TicketDialogs, ReceiverWithoutUsableSerialCannotStartATicket) {
  JegyMod = kJegyModUj;
  for (const QString &stored : {QString(), QStringLiteral("12a45678"), QStringLiteral("99999999")}) {
    if (!stored.isNull()) {
      exec(QStringLiteral("DELETE FROM SORSZAM WHERE A_AKOD = '%1'").arg(receiver_));
      setSerial(stored);
    }
    TForm9 f(nullptr);
    bool started = true;
    const QString text = messageOf([&] { started = f.StartNew(); });
    EXPECT_FALSE(started) << stored.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Évnyitás"))) << text.toStdString();
  }
}

TEST_F(TicketDialogs, TotalsAndPayableFollowTheLinesAndRates) {
  Edit15Option = Edit13Option = QStringLiteral("1");
  Edit15Default = QStringLiteral("2");
  Edit13Default = QStringLiteral("0");
  setSerial(QStringLiteral("30000000"));
  auto f = openNew();
  EXPECT_EQ(f->Edit15->text(), QStringLiteral("2"));  // the option's default
  addLine(QStringLiteral("30000001"), QStringLiteral("100"), QStringLiteral("100"));
  f->Edit6->setText(QStringLiteral("15"));
  f->CheckBox1->setChecked(true);
  ASSERT_TRUE(f->f_mindosszes());
  EXPECT_EQ(f->Edit7->text(), QStringLiteral("10000"));
  EXPECT_EQ(f->Edit9->text(), QStringLiteral("10") + QChar(0x00A0) + QStringLiteral("000"));
  EXPECT_EQ(f->Edit16->text(), QStringLiteral("8330"));
  EXPECT_EQ(FizetendoSzoveg, QStringLiteral("8330"));
  EXPECT_DOUBLE_EQ(JegyVetelar, 10000.0);
  EXPECT_DOUBLE_EQ(JegySzja, 1500.0);
  EXPECT_DOUBLE_EQ(JegyJarul, 170.0);
  f->CheckBox1->setChecked(false);
  ASSERT_TRUE(f->f_mindosszes());
  EXPECT_EQ(f->Edit16->text(), QStringLiteral("8330"));

  // Halves: 1234.5 -> transfer 1234, cash 1235.
  exec(QStringLiteral("DELETE FROM QZSOR WHERE S_BSZAM = '30000001'"));
  addLine(QStringLiteral("30000001"), QStringLiteral("1"), QStringLiteral("1234.5"));
  f->Edit6->setText(QStringLiteral("0"));
  f->Edit15->setText(QStringLiteral("0"));
  ASSERT_TRUE(f->f_mindosszes());
  EXPECT_EQ(f->Edit16->text(), QStringLiteral("1235"));
  f->CheckBox1->setChecked(true);
  ASSERT_TRUE(f->f_mindosszes());
  EXPECT_EQ(f->Edit16->text(), QStringLiteral("1234"));

  // Editing a rate recomputes; a rate that is no number leaves the totals as
  // they were, without a message.
  noMessage([&] {
    f->Edit13->setFocus();
    f->Edit13->selectAll();
    f->Edit13->insert(QStringLiteral("4"));  // deduction 4 -> 1230.5 -> 1230
  });
  EXPECT_EQ(f->Edit16->text(), QStringLiteral("1230"));
  noMessage([&] {
    f->Edit15->selectAll();
    f->Edit15->insert(QStringLiteral(","));
    f->Edit15->insert(QStringLiteral(","));
  });
  EXPECT_EQ(f->Edit15->text(), QStringLiteral(",,"));
  EXPECT_FALSE(f->f_mindosszes());
  EXPECT_EQ(f->Edit16->text(), QStringLiteral("1230"));
}

// A line's price is its purchase price plus its surcharge: 950 + 66.5 =
// 1016.5, which a transfer rounds half to even to 1016 (a price stored a hair
// above the half gave 1017), on screen and in the stored payable.
TEST_F(TicketDialogs, TransferTicketPaysTheLinesPriceRoundedHalfToEven) {
  const QString producer = addProducer(QStringLiteral("11773016-11111018"), QStringLiteral("0"), 0);
  setSerial(QStringLiteral("49000000"));
  const struct {
    const char *brutto, *ear;
  } lines[] = {{"1", "950"}, {"10", "95"}, {"5", "190"}, {"25", "38"}};
  for (const auto &l : lines) {
    auto f = openNew();
    addLine(f->Edit1->text(), QString::fromLatin1(l.brutto), QString::fromLatin1(l.ear),
            QStringLiteral("7"));
    pickProducer_ = producer;
    f->Button1->click();
    ASSERT_TRUE(f->CheckBox1->isChecked());
    for (QLineEdit *e : {f->Edit3, f->Edit10}) e->setText(QStringLiteral("2025.03.01"));
    f->Edit11->setText(QStringLiteral("2025.03.09"));
    ASSERT_TRUE(f->f_mindosszes());
    EXPECT_EQ(f->Edit9->text(), QStringLiteral("1") + QChar(0x00A0) + QStringLiteral("016"))
        << l.brutto << " x " << l.ear;
    EXPECT_EQ(f->Edit16->text(), QStringLiteral("1016")) << l.brutto << " x " << l.ear;
    const QString serial = f->Edit1->text();
    noMessage([&] { f->Button6->click(); });
    EXPECT_EQ(scalar(QStringLiteral("SELECT F_MUVKTG FROM QZFEJ WHERE F_BSZAM = '%1'").arg(serial)),
              QStringLiteral("1016"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT F_SUMVAR FROM QZFEJ WHERE F_BSZAM = '%1'").arg(serial)),
              QStringLiteral("1016,5"));
  }
}

TEST_F(TicketDialogs, PaymentDateRules) {
  const QString term15 = addProducer(QStringLiteral("11773016-11111018"), QStringLiteral("15"));
  const QString term0 = addProducer(QStringLiteral("11773016-11111018"), QStringLiteral("0"));
  const QString noTerm = addProducer(QStringLiteral("1234567 "), QStringLiteral("NULL"));
  setSerial(QStringLiteral("31000000"));
  auto f = openNew();
  f->Edit10->setText(QStringLiteral("2025.03.01"));
  pickProducer_ = term15;
  f->Button1->click();
  EXPECT_TRUE(f->CheckBox1->isChecked());
  EXPECT_EQ(f->Edit6->text(), QStringLiteral("15"));
  EXPECT_EQ(f->Edit11->text(), QStringLiteral("2025.03.16"));  // after the pick
  f->Edit11->setText(QStringLiteral("2025.01.01"));
  QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(f->Edit11, &dbl);
  EXPECT_EQ(f->Edit11->text(), QStringLiteral("2025.03.16"));

  pickProducer_ = term0;
  f->Button1->click();
  f->Edit11->clear();
  QApplication::sendEvent(f->Edit11, &dbl);
  EXPECT_EQ(f->Edit11->text(), QStringLiteral("2025.03.09"));

  // 7 characters after trimming: cash; the pick leaves the date, clicking
  // the box (cash) copies the purchase date text.
  pickProducer_ = noTerm;
  f->Button1->click();
  EXPECT_FALSE(f->CheckBox1->isChecked());
  f->Edit11->setText(QStringLiteral("2025.01.01"));
  QApplication::sendEvent(f->Edit11, &dbl);  // cash: nothing happens
  EXPECT_EQ(f->Edit11->text(), QStringLiteral("2025.01.01"));
  f->Edit10->setText(QStringLiteral("2025.3.5"));
  f->CheckBox1->click();  // to transfer: 8 days when the term is not given
  EXPECT_EQ(f->Edit11->text(), QStringLiteral("2025.03.13"));
  f->CheckBox1->click();  // to cash
  EXPECT_EQ(f->Edit11->text(), QStringLiteral("2025.3.5"));
  // Leaving the box applies the rule of its state too.
  f->CheckBox1->setChecked(true);
  QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(f->CheckBox1, &leave);
  EXPECT_EQ(f->Edit11->text(), QStringLiteral("2025.03.13"));
  // Another window taking the focus is not leaving the box.
  f->Edit11->setText(QStringLiteral("2025.05.05"));
  QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(f->CheckBox1, &away);
  EXPECT_EQ(f->Edit11->text(), QStringLiteral("2025.05.05"));

  // A purchase date that is no date: the conversion message, the payment
  // date stays.
  f->CheckBox1->setChecked(true);
  f->Edit10->setText(QStringLiteral("2025.02.30"));
  f->Edit11->setText(QStringLiteral("2025.04.01"));
  const QString text = messageOf([&] { QApplication::sendEvent(f->Edit11, &dbl); });
  EXPECT_FALSE(text.isEmpty());
  EXPECT_EQ(f->Edit11->text(), QStringLiteral("2025.04.01"));
}

TEST_F(TicketDialogs, DeclarationBoxAndOptionalFields) {
  Edit14Option = QStringLiteral("1");
  Edit14Default = QStringLiteral("3");
  Edit13Option = QStringLiteral("0");
  Edit13Default = QStringLiteral("500");
  setSerial(QStringLiteral("32000000"));
  auto f = openNew();
  EXPECT_EQ(f->Edit12->text(), kDeclaration);
  EXPECT_TRUE(f->CheckBox2->isChecked());
  f->CheckBox2->click();
  EXPECT_EQ(f->Edit12->text(), QStringLiteral(" "));
  f->CheckBox2->click();
  EXPECT_EQ(f->Edit12->text(), kDeclaration);
  EXPECT_TRUE(f->Edit14->isVisible());
  EXPECT_EQ(f->Edit14->text(), QStringLiteral("3"));
  EXPECT_FALSE(f->Edit13->isVisible());
  EXPECT_EQ(f->Edit13->text(), QStringLiteral("0"));
  EXPECT_FALSE(f->Edit15->isVisible());
  EXPECT_EQ(f->Edit15->text(), QStringLiteral("0"));
}

TEST_F(TicketDialogs, SaveChecksInOrder) {
  const QString producer = addProducer(QString(), QStringLiteral("0"));
  const QString badFelir = addProducer(QString(), QStringLiteral("0"), 15, QStringLiteral("AB123456"));
  const QString noIds = addProducer(QString(), QStringLiteral("0"), 15, QString());
  setSerial(QStringLiteral("33000000"));
  auto f = openNew();
  auto save = [&] { return messageOf([&] { f->Button6->click(); }); };
  auto focusAfter = [&](const QString &expected, QWidget *focus) {
    EXPECT_EQ(save(), expected);
    EXPECT_EQ(f->focusWidget(), focus) << expected.toStdString();
  };
  f->Edit3->setText(QStringLiteral("   "));
  focusAfter(QStringLiteral("Nincs megadva a kiállítás dátuma!"), f->Edit3);
  f->Edit3->setText(QStringLiteral("2025.03.01"));
  f->Edit10->clear();
  focusAfter(QStringLiteral("Nincs megadva a felvásárlás dátuma!"), f->Edit10);
  f->Edit10->setText(QStringLiteral("2025.03.01"));
  f->Edit11->clear();
  focusAfter(QStringLiteral("Nincs megadva a átvétel dátum!"), f->Edit11);
  f->Edit11->setText(QStringLiteral("2025.03.09"));
  f->Edit6->clear();
  focusAfter(QStringLiteral("Nincs megadva az szja!"), f->Edit6);
  f->Edit6->setText(QStringLiteral("15"));
  focusAfter(QStringLiteral("Nincs kiválasztva őstermelő!"), f->Button1);
  pickProducer_ = producer;
  f->Button1->click();
  f->Edit13->clear();
  EXPECT_EQ(save(), QStringLiteral("Nincs megadva vagy nem nulla a levonás!"));
  f->Edit13->setText(QStringLiteral("0"));
  f->Edit14->clear();
  EXPECT_EQ(save(), QStringLiteral("Nincs megadva súlylevonás % -a vagy nem nulla!"));
  f->Edit14->setText(QStringLiteral("0"));
  f->Edit15->clear();
  EXPECT_EQ(save(), QStringLiteral("Nincs megadva tagok hozzájárulása % -a vagy nem nulla!"));
  f->Edit15->setText(QStringLiteral("0"));
  f->Edit3->setText(QStringLiteral("2025.02.30"));
  focusAfter(QStringLiteral("Hibás a kiállítás dátuma!"), f->Edit3);
  f->Edit3->setText(QStringLiteral("2025.03.01"));
  f->Edit10->setText(QStringLiteral("2025.3.1x"));
  EXPECT_EQ(save(), QStringLiteral("Hibás a felvásárlás dátuma!"));
  f->Edit10->setText(QStringLiteral("2025.3.1"));
  f->Edit11->setText(QStringLiteral("2025.13.01"));
  EXPECT_EQ(save(), QStringLiteral("Hibás az átvétel/utalás dátuma!"));
  f->Edit11->setText(QStringLiteral("2025.03.09"));
  f->CheckBox1->setChecked(false);
  focusAfter(QStringLiteral("Kp. fizetés: a felvásárlás és az összeg átvétel dátum nem azonos!"),
             f->Edit11);
  // Compared as dates: "2025.3.1" is 2025.03.01.
  f->Edit11->setText(QStringLiteral("2025.03.01"));
  focusAfter(QStringLiteral("Nincs a felvásárlási jegynek tételsora!"), f->Button1);
  addLine(f->Edit1->text(), QStringLiteral("1"), QStringLiteral("100"));
  pickProducer_ = badFelir;
  f->Button1->click();
  f->CheckBox1->setChecked(false);
  f->Edit11->setText(f->Edit10->text());
  EXPECT_EQ(save(), QStringLiteral("Nem 9 hosszú FELIR szám!"));
  pickProducer_ = noIds;
  f->Button1->click();
  f->Edit11->setText(f->Edit10->text());
  EXPECT_EQ(save(), QStringLiteral("FELIR, OCSG és NÉBIH egyik sem kitöltött!"));
  // Nothing was written by any of the stopped saves.
  EXPECT_EQ(count(QStringLiteral("QZFEJ"), QStringLiteral("F_AKOD = '%1'").arg(receiver_)), 0);
  EXPECT_EQ(scalar(QStringLiteral("SELECT A_QZBSZAM FROM SORSZAM WHERE A_AKOD = '%1'")
                       .arg(receiver_)),
            QStringLiteral("33000000"));
}

TEST_F(TicketDialogs, RateThatIsNoNumberStopsTheSaveAtItsField) {
  Edit15Option = QStringLiteral("1");
  const QString producer = addProducer(QString(), QStringLiteral("0"));
  setSerial(QStringLiteral("34000000"));
  auto f = openNew();
  addLine(f->Edit1->text(), QStringLiteral("1"), QStringLiteral("100"));
  pickProducer_ = producer;
  f->Button1->click();
  f->Edit15->setText(QStringLiteral("1,2,3"));
  const QString text = messageOf([&] { f->Button6->click(); });
  EXPECT_TRUE(text.contains(QStringLiteral("1,2,3"))) << text.toStdString();
  EXPECT_EQ(f->focusWidget(), f->Edit15);
  EXPECT_TRUE(f->isVisible());
  EXPECT_EQ(count(QStringLiteral("QZFEJ"), QStringLiteral("F_AKOD = '%1'").arg(receiver_)), 0);
}

TEST_F(TicketDialogs, NewCashTicketSavesWithTheCounterAndRecomputedPayable) {
  Edit13Option = QStringLiteral("1");
  const QString producer = addProducer(QString(), QStringLiteral("0"), 15);
  setSerial(QStringLiteral("25000123"));
  auto f = openNew();
  ASSERT_EQ(f->Edit1->text(), QStringLiteral("25000124"));
  addLine(QStringLiteral("25000124"), QStringLiteral("100"), QStringLiteral("100"));
  pickProducer_ = producer;
  f->Button1->click();
  for (QLineEdit *e : {f->Edit3, f->Edit10, f->Edit11}) e->setText(QStringLiteral("2025.03.01"));
  f->Edit4->setText(QStringLiteral("megjegyzés"));
  // A deduction typed just before OK is part of the stored payable.
  f->Edit13->setText(QStringLiteral("3"));
  noMessage([&] { f->Button6->click(); });
  EXPECT_FALSE(f->isVisible());
  const QString where = QStringLiteral("F_BSZAM = '25000124'");
  EXPECT_EQ(scalar("SELECT F_MUVKTG FROM QZFEJ WHERE " + where), QStringLiteral("8495"));
  EXPECT_EQ(scalar("SELECT F_SUMVAR FROM QZFEJ WHERE " + where), QStringLiteral("10000"));
  EXPECT_EQ(scalar("SELECT F_LEVONAS FROM QZFEJ WHERE " + where), QStringLiteral("3"));
  EXPECT_EQ(scalar("SELECT F_UTAL FROM QZFEJ WHERE " + where), QStringLiteral(" "));
  EXPECT_EQ(scalar("SELECT F_TIPUS FROM QZFEJ WHERE " + where), QStringLiteral("1"));
  EXPECT_EQ(scalar("SELECT F_FIZKELT FROM QZFEJ WHERE " + where), QStringLiteral("2025.03.01"));
  EXPECT_EQ(scalar("SELECT F_NYILATK FROM QZFEJ WHERE " + where), kDeclaration);
  EXPECT_EQ(scalar("SELECT F_MEGJ FROM QZFEJ WHERE " + where), QStringLiteral("megjegyzés"));
  EXPECT_EQ(scalar("SELECT COALESCE(F_PRN, 'null') FROM QZFEJ WHERE " + where),
            QStringLiteral("null"));
  EXPECT_EQ(scalar(QStringLiteral("SELECT A_QZBSZAM FROM SORSZAM WHERE A_AKOD = '%1'")
                       .arg(receiver_)),
            QStringLiteral("25000124"));
  EXPECT_EQ(UtolsoBszam, QStringLiteral("25000124"));
  // The list is reopened on the saved ticket.
  EXPECT_EQ(Data->ZQ10->fieldByName(QStringLiteral("F_BSZAM")).asString(),
            QStringLiteral("25000124"));
}

TEST_F(TicketDialogs, FailedCounterUpdateStoresNothingAndKeepsTheDialogAndItsHold) {
  const QString producer = addProducer(QString(), QStringLiteral("0"));
  setSerial(QStringLiteral("35000000"));
  auto f = openNew();
  addLine(f->Edit1->text(), QStringLiteral("1"), QStringLiteral("100"));
  pickProducer_ = producer;
  f->Button1->click();
  f->Edit11->setText(f->Edit10->text());
  // While the entry holds the numbering nobody else can change the counter.
  EXPECT_THROW(exec(QStringLiteral("UPDATE SORSZAM SET A_QZBSZAM = '35000005' WHERE A_AKOD = '%1'")
                        .arg(receiver_)),
               db::Error);
  // Changed all the same (in the hold's own transaction), the counter no
  // longer holds the value the serial was taken from: the save refuses.
  auto holdExec = [&](const QString &sql) {
    db::Query q;
    q.setTransaction(&f->Numbering()->transaction());
    q.sql().add(sql);
    q.execute();
  };
  holdExec(QStringLiteral("UPDATE SORSZAM SET A_QZBSZAM = '35000005' WHERE A_AKOD = '%1'")
               .arg(receiver_));
  EXPECT_EQ(messageOf([&] { f->Button6->click(); }),
            QStringLiteral("Hiba93: Új UPDATE Sorszam -ba "));
  EXPECT_TRUE(f->isVisible());
  EXPECT_EQ(f->Edit1->text(), QStringLiteral("35000001"));
  EXPECT_EQ(count(QStringLiteral("QZFEJ"), QStringLiteral("F_BSZAM = '35000001'")), 0);
  EXPECT_EQ(count(QStringLiteral("QZSOR"), QStringLiteral("S_BSZAM = '35000001'")), 1);
  // The failed save kept the hold: the numbering is still this dialog's.
  {
    NumberingHold other(Data->ZCon1);
    EXPECT_EQ(other.take(receiver_), NumberingHold::Status::Busy);
  }
  // With the counter back where it was, the same dialog saves.
  holdExec(QStringLiteral("UPDATE SORSZAM SET A_QZBSZAM = '35000000' WHERE A_AKOD = '%1'")
               .arg(receiver_));
  noMessage([&] { f->Button6->click(); });
  EXPECT_FALSE(f->isVisible());
  EXPECT_EQ(count(QStringLiteral("QZFEJ"), QStringLiteral("F_BSZAM = '35000001'")), 1);
  EXPECT_EQ(scalar(QStringLiteral("SELECT A_QZBSZAM FROM SORSZAM WHERE A_AKOD = '%1'")
                       .arg(receiver_)),
            QStringLiteral("35000001"));
}

TEST_F(TicketDialogs, TheEntryHoldsTheNumberingUntilItCloses) {
  setSerial(QStringLiteral("35000099"));
  // The year opening's write, committed retaining in the data module's
  // transaction, leaves no lock behind for the entry to meet.
  ASSERT_TRUE(Data->Write(
      QStringLiteral("Hiba381: Letároláskor az UPDATE Sorszam -ba "),
      [&](WriteSteps &) {
        db::Query &s = *Data->ZQ50;
        TicketQueries::setSql(
            s, {QStringLiteral("UPDATE Sorszam SET a_QzBszam = '35100000' WHERE a_akod = :p2")});
        s.paramByName(QStringLiteral("p2")).setString(receiver_);
        s.execute();
      },
      TData::CommitMode::CommitRetaining));
  NumberingHold other(Data->ZCon1);
  {
    auto f = openNew();
    ASSERT_NE(f->Numbering(), nullptr);
    EXPECT_TRUE(f->Numbering()->held());
    EXPECT_EQ(other.take(receiver_), NumberingHold::Status::Busy);
    EXPECT_FALSE(other.held());
    // A second entry for the receiver is refused with its message and
    // writes nothing: the first one's line stays.
    addLine(f->Edit1->text(), QStringLiteral("1"), QStringLiteral("100"));
    JegyMod = kJegyModUj;
    TForm9 second(nullptr);
    bool started = true;
    EXPECT_EQ(messageOf([&] { started = second.StartNew(); }), NumberingHold::busyMessage());
    EXPECT_FALSE(started);
    EXPECT_EQ(second.Numbering(), nullptr);
    EXPECT_EQ(count(QStringLiteral("QZSOR"), QStringLiteral("S_BSZAM = '35100001'")), 1);
    // "Mégsem" ends the hold.
    f->Button4->click();
    EXPECT_EQ(f->Numbering(), nullptr);
    EXPECT_EQ(other.take(receiver_), NumberingHold::Status::Held);
    EXPECT_EQ(other.stored(), QStringLiteral("35100000"));
    other.release();
  }
  // A receiver without a counter row holds nothing.
  EXPECT_EQ(other.take(QStringLiteral("nincs")), NumberingHold::Status::NoRow);
  EXPECT_FALSE(other.held());
}

TEST_F(TicketDialogs, LineDeletionCommitsAndEmptyGridDoesNothing) {
  setSerial(QStringLiteral("36000000"));
  auto f = openNew();
  noMessage([&] { f->Button9->click(); });  // no line: nothing, no message
  addLine(QStringLiteral("36000001"), QStringLiteral("1"), QStringLiteral("100"));
  addLine(QStringLiteral("36000001"), QStringLiteral("2"), QStringLiteral("100"));
  f->frissit();
  ASSERT_EQ(Data->ZQ20->recordCount(), 2);
  Data->ZQ20->first();
  EXPECT_EQ(messageOf([&] { f->Button9->click(); }), QStringLiteral("Az tételsor törölve!"));
  // Durable at once: a rollback of the open transaction does not bring it back.
  if (Data->IBTrans1->active()) Data->IBTrans1->rollback();
  EXPECT_EQ(count(QStringLiteral("QZSOR"), QStringLiteral("S_BSZAM = '36000001'")), 1);
  EXPECT_EQ(scalar("SELECT S_BRUTTO FROM QZSOR WHERE S_BSZAM = '36000001'"), QStringLiteral("2"));
}

TEST_F(TicketDialogs, LineDialogChecksConvertsAndWrites) {
  Edit8Default = QStringLiteral("12");
  Edit10Option = QStringLiteral("0");
  const QString product = addProduct(QStringLiteral("Meggy"), QStringLiteral("250.5"), 7);
  TetelMod = kTetelModUj;
  TForm10 f({QStringLiteral("37000001"), QStringLiteral("2,5"), QString()}, nullptr);
  f.show();
  QApplication::processEvents();
  EXPECT_EQ(f.Edit8->text(), QStringLiteral("12"));
  EXPECT_FALSE(f.Edit10->isVisible());
  EXPECT_EQ(messageOf([&] { f.Button3->click(); }), QStringLiteral("Nincs megadva a megnevezés!"));
  pickProduct_ = product;
  f.Button1->click();
  EXPECT_EQ(f.Edit3->text(), QStringLiteral("Meggy"));
  EXPECT_EQ(f.Edit8->text(), QStringLiteral("7"));  // the product's own
  EXPECT_EQ(f.Edit7->text(), QStringLiteral("250,5"));
  EXPECT_EQ(f.Edit9->text(), product);
  EXPECT_EQ(messageOf([&] { f.Button3->click(); }), QStringLiteral("Nincs megadva a mennyiség!"));
  // A number that is no number: a message naming the field, nothing written,
  // the dialog stays on the field with the input.
  f.Edit5->setText(QStringLiteral("12-5"));
  EXPECT_EQ(messageOf([&] { f.Button3->click(); }), QStringLiteral("A \"Mennyiség\" mezőben nem szám áll: 12-5"));
  EXPECT_EQ(f.focusWidget(), f.Edit5);
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(f.Edit5->text(), QStringLiteral("12-5"));
  f.Edit5->setText(QStringLiteral("1"));
  f.Edit7->setText(QStringLiteral(","));
  EXPECT_EQ(messageOf([&] { f.Button3->click(); }), QStringLiteral("A \"Egységár\" mezőben nem szám áll: ,"));
  EXPECT_EQ(f.focusWidget(), f.Edit7);
  f.Edit7->setText(QStringLiteral("250,5"));
  EXPECT_EQ(count(QStringLiteral("QZSOR"), QStringLiteral("S_BSZAM = '37000001'")), 0);
  f.Edit5->setText(QStringLiteral("-12,5"));
  noMessage([&] { f.Button3->click(); });
  EXPECT_EQ(f.result(), QDialog::Accepted);
  const QString where = QStringLiteral("S_BSZAM = '37000001'");
  EXPECT_EQ(scalar("SELECT S_BRUTTO FROM QZSOR WHERE " + where), QStringLiteral("-12,5"));
  EXPECT_EQ(scalar("SELECT S_LEVONSZAZ FROM QZSOR WHERE " + where), QStringLiteral("2,5"));
  EXPECT_EQ(scalar("SELECT S_KOMPMERTEKE FROM QZSOR WHERE " + where), QStringLiteral("7"));
  // The hidden document field still carries the product's document.
  EXPECT_EQ(scalar("SELECT S_BIZONYLAT FROM QZSOR WHERE " + where), "B-" + product);
  EXPECT_EQ(scalar("SELECT S_AKOD FROM QZSOR WHERE " + where), receiver_);
  // The grid's query holds the new line.
  EXPECT_EQ(Data->ZQ20->recordCount(), 1);
}

// The weight-deduction % of the entry goes into every line: with the field
// switched on, an empty or non-number value is refused at that field before
// a line dialog opens (it used to end as "Hiba103" after the line was typed).
TEST_F(TicketDialogs, WeightDeductionThatIsNoNumberIsRefusedAtItsField) {
  Edit14Option = QStringLiteral("1");
  setSerial(QStringLiteral("37500000"));
  auto f = openNew();
  ASSERT_TRUE(f->Edit14->isVisible());
  f->Edit14->clear();
  EXPECT_EQ(messageOf([&] { f->Button2->click(); }),
            QStringLiteral("Nincs megadva súlylevonás % -a vagy nem nulla!"));
  EXPECT_EQ(f->focusWidget(), f->Edit14);
  f->Edit14->setText(QStringLiteral(","));
  EXPECT_EQ(messageOf([&] { f->Button2->click(); }), QStringLiteral("A \"Súlylevon.%\" mezőben nem szám áll: ,"));
  EXPECT_EQ(f->Edit14->text(), QStringLiteral(","));
  // The line dialog refuses it too, keeping its own input.
  TetelMod = kTetelModUj;
  TForm10 line({QStringLiteral("37500001"), QString(), QString()}, nullptr);
  line.show();
  QApplication::processEvents();
  for (const auto &[name, text] : {std::pair{"Edit3", "alma"}, {"Edit4", "0808"}, {"Edit5", "1"},
                                   {"Edit6", "kg"}, {"Edit7", "100"}, {"Edit8", "0"}})
    setText(&line, QLatin1String(name), QString::fromUtf8(text));
  EXPECT_EQ(messageOf([&] { line.Button3->click(); }),
            QStringLiteral("Nincs megadva súlylevonás % -a vagy nem nulla!"));
  EXPECT_TRUE(line.isVisible());
  EXPECT_EQ(line.Edit3->text(), QStringLiteral("alma"));
  EXPECT_EQ(count(QStringLiteral("QZSOR"), QStringLiteral("S_BSZAM = '37500001'")), 0);
}

// Defaults from form9.ini and form10.ini meet the checks typed values meet:
// one the field's keys could not have typed, or that is no number, is not
// taken, and the save stops at the field with its own message.
TEST_F(TicketDialogs, IniDefaultsPassTheFieldChecksOfTypedValues) {
  const QString producer = addProducer(QString(), QStringLiteral("0"));
  setSerial(QStringLiteral("49500000"));
  const struct {
    QString *option, *defaultText;
    const char *value;
    const char *message;  // null: the default is taken
  } cases[] = {
      {&Edit15Option, &Edit15Default, "-5", "Nincs megadva tagok hozzájárulása % -a vagy nem nulla!"},
      {&Edit15Option, &Edit15Default, "abc", "Nincs megadva tagok hozzájárulása % -a vagy nem nulla!"},
      {&Edit14Option, &Edit14Default, ",", "Nincs megadva súlylevonás % -a vagy nem nulla!"},
      {&Edit13Option, &Edit13Default, "1.5", "Nincs megadva vagy nem nulla a levonás!"},
      {&Edit15Option, &Edit15Default, "2,5", nullptr},
  };
  for (const auto &c : cases) {
    Edit13Option = Edit14Option = Edit15Option = QString();
    *c.option = QStringLiteral("1");
    *c.defaultText = QString::fromLatin1(c.value);
    auto f = openNew();
    pickProducer_ = producer;
    f->Button1->click();
    LimitedEdit *field = c.option == &Edit15Option   ? f->Edit15
                         : c.option == &Edit14Option ? f->Edit14
                                                     : f->Edit13;
    if (!c.message) {
      EXPECT_EQ(field->text(), QString::fromLatin1(c.value));
      continue;
    }
    EXPECT_EQ(field->text(), QString()) << c.value;
    EXPECT_EQ(messageOf([&] { f->Button6->click(); }), QString::fromUtf8(c.message)) << c.value;
    EXPECT_EQ(f->focusWidget(), field) << c.value;
    EXPECT_EQ(count(QStringLiteral("QZFEJ"), QStringLiteral("F_AKOD = '%1'").arg(receiver_)), 0);
  }

  TetelMod = kTetelModUj;
  for (const char *value : {"-5", "12x", ",", "7"}) {
    Edit8Default = QString::fromLatin1(value);
    TForm10 line({QStringLiteral("49500001"), QStringLiteral("0"), QString()}, nullptr);
    line.show();
    QApplication::processEvents();
    if (Edit8Default == QLatin1String("7")) {
      EXPECT_EQ(line.Edit8->text(), QStringLiteral("7"));
      continue;
    }
    EXPECT_EQ(line.Edit8->text(), QString()) << value;
    for (auto [edit, text] : {std::pair{line.Edit3, "alma"}, {line.Edit4, "0808"}, {line.Edit5, "1"},
                              {line.Edit6, "kg"}, {line.Edit7, "100"}})
      edit->setText(QString::fromLatin1(text));
    EXPECT_EQ(messageOf([&] { line.Button3->click(); }), QStringLiteral("Nincs megadva a komp.mértéke!"))
        << value;
    EXPECT_EQ(line.focusWidget(), line.Edit8) << value;
    EXPECT_EQ(count(QStringLiteral("QZSOR"), QStringLiteral("S_BSZAM = '49500001'")), 0);
  }
}

TEST_F(TicketDialogs, ModifyRulesOfTheListAndTheHiddenKey) {
  const QString producer = addProducer(QString(), QStringLiteral("0"));
  setSerial(QStringLiteral("38000010"));
  addHeader(QStringLiteral("38000001"), producer, QStringLiteral("I"));
  addLine(QStringLiteral("38000001"), QStringLiteral("100"), QStringLiteral("100"));
  addHeader(QStringLiteral("38000002"), producer, QStringLiteral(" "), QStringLiteral("4"));
  TForm8 list(nullptr);
  list.show();
  QApplication::processEvents();
  ASSERT_EQ(Data->ZQ10->recordCount(), 2);
  Data->ZQ10->first();
  EXPECT_EQ(messageOf([&] { list.Button2->click(); }, QMessageBox::Yes),
            QStringLiteral("A felvásárlási jegy már nyomtatva volt!"));
  Data->ZQ10->next();
  EXPECT_EQ(messageOf([&] { list.Button2->click(); }, QMessageBox::Yes),
            QStringLiteral("Az érvénytelenített felvásárlási jegy nem módosítható!"));

  // The hidden key opens the printed ticket; saving clears its printed mark.
  Data->ZQ10->first();
  ModalScript script;
  script.then([](QWidget *w) {
    auto *f = qobject_cast<TForm9 *>(w);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->windowTitle(), kJegyModModositas);
    EXPECT_EQ(f->Edit1->text(), QStringLiteral("38000001"));
    EXPECT_EQ(f->Edit16->text(), QStringLiteral("8500"));
    click(w, QStringLiteral("Button6"));
  });
  EXPECT_TRUE(script.run([&] {
    list.Button2->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_M, Qt::NoModifier, QStringLiteral("m"));
    QApplication::sendEvent(list.Button2, &press);
  }));
  EXPECT_EQ(scalar("SELECT F_PRN FROM QZFEJ WHERE F_BSZAM = '38000001'"), QStringLiteral(" "));
  EXPECT_EQ(scalar("SELECT F_MUVKTG FROM QZFEJ WHERE F_BSZAM = '38000001'"), QStringLiteral("8500"));
  EXPECT_EQ(scalar("SELECT F_TIPUS FROM QZFEJ WHERE F_BSZAM = '38000001'"), QStringLiteral("1"));
}

TEST_F(TicketDialogs, ListButtonsRunPreviewPrintAndCancel) {
  // "Érvénytelenit" is Button4 (the cancelling guard is its handler); the
  // preview and print buttons set NyomtatMod before the print command.
  QStringList ran;
  TForm8::setPrintTicket([&](TForm8 *) { ran << QStringLiteral("print:") + NyomtatMod; });
  TForm8::setCancelTicket([&](TForm8 *) { ran << QStringLiteral("cancel"); });
  {
    TForm8 list(nullptr);
    list.show();
    QApplication::processEvents();
    auto *cancel = child<QAbstractButton>(&list, QStringLiteral("Button4"));
    EXPECT_EQ(cancel->text(), QStringLiteral("Érvénytelenit"));
    EXPECT_TRUE(cancel->toolTip().startsWith(QStringLiteral("Stornó.")));
    child<QAbstractButton>(&list, QStringLiteral("Button3"))->click();
    child<QAbstractButton>(&list, QStringLiteral("Button5"))->click();
    cancel->click();
  }
  TForm8::setPrintTicket({});
  TForm8::setCancelTicket({});
  EXPECT_EQ(ran, (QStringList{QStringLiteral("print:Megtekint"), QStringLiteral("print:Nyomtat"),
                              QStringLiteral("cancel")}));
}

TEST_F(TicketDialogs, ListOpensOnTheLastSavedTicketAndFollowsANewSave) {
  const QString producer = addProducer(QString(), QStringLiteral("0"));
  for (const char *s : {"48000001", "48000002", "48000003"})
    addHeader(QLatin1String(s), producer, QStringLiteral(" "));
  setSerial(QStringLiteral("48000003"));
  {
    // With UtolsoBszam empty the list stays on its first row.
    TForm8 list(nullptr);
    list.show();
    QApplication::processEvents();
    EXPECT_EQ(Data->ZQ10->recNo(), 1);
    EXPECT_EQ(textOf(&list, QStringLiteral("R_F_BSZAM")), QStringLiteral("48000001"));
  }
  {
    // Opened after a save: on the saved ticket's serial.
    UtolsoBszam = QStringLiteral("48000002");
    TForm8 list(nullptr);
    list.show();
    QApplication::processEvents();
    EXPECT_EQ(textOf(&list, QStringLiteral("R_F_BSZAM")), QStringLiteral("48000002"));
    EXPECT_EQ(list.DBGrid1->currentIndex().row(), 1);
    EXPECT_EQ(list.Label9->text(), QStringLiteral("A lista, \"Bszám\" szerint"));

    // A new ticket saved from the list: the grid and the row panel show it.
    pickProducer_ = producer;
    ModalScript script;
    script.then([&](QWidget *w) {
      auto *f = qobject_cast<TForm9 *>(w);
      ASSERT_NE(f, nullptr);
      EXPECT_EQ(f->Edit1->text(), QStringLiteral("48000004"));
      addLine(f->Edit1->text(), QStringLiteral("1"), QStringLiteral("100"));
      f->Button1->click();
      f->Edit11->setText(f->Edit10->text());
      click(w, QStringLiteral("Button6"));
    });
    EXPECT_TRUE(script.run([&] { list.Button1->click(); }, 10000));
    QApplication::processEvents();
    EXPECT_EQ(Data->ZQ10->recordCount(), 4);
    EXPECT_EQ(textOf(&list, QStringLiteral("R_F_BSZAM")), QStringLiteral("48000004"));
    EXPECT_EQ(list.DBGrid1->currentIndex().row(), 3);
  }
}

TEST_F(TicketDialogs, AListOfManyTicketsOpensOnItsSerialAndReachesEveryRow) {
  const QString producer = addProducer(QString(), QStringLiteral("0"));
  addHeaders(47000000, 450, producer);
  UtolsoBszam = QStringLiteral("47000450");
  TForm8 list(nullptr);
  list.resize(900, 700);
  list.show();
  QApplication::processEvents();
  // On the newest serial, without the rows from the first read.
  EXPECT_EQ(textOf(&list, QStringLiteral("R_F_BSZAM")), QStringLiteral("47000450"));
  QAbstractItemModel *model = list.DBGrid1->model();
  EXPECT_LT(model->rowCount(), 450);
  EXPECT_EQ(model->data(model->index(list.DBGrid1->currentIndex().row(), 0)).toString(),
            QStringLiteral("47000450"));
  // Scrolled to the top of the rows read, the grid gets the rows before
  // them and keeps showing the same rows.
  list.DBGrid1->scrollToTop();
  QApplication::processEvents();
  const QString shown = model->data(model->index(list.DBGrid1->rowAt(0), 0)).toString();
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  EXPECT_GT(model->rowCount(), 250);
  EXPECT_EQ(model->data(model->index(list.DBGrid1->rowAt(0), 0)).toString(), shown);
  // Moving up past the rows read reads the ones before, in order.
  for (int i = 0; i < 449; ++i) Data->ZQ10->prior();
  EXPECT_EQ(textOf(&list, QStringLiteral("R_F_BSZAM")), QStringLiteral("47000001"));
  EXPECT_EQ(model->rowCount(), 450);
  EXPECT_EQ(model->data(model->index(list.DBGrid1->currentIndex().row(), 0)).toString(),
            QStringLiteral("47000001"));
  // A search for a row held already only moves to it.
  list.Edit1->setText(QStringLiteral("470002"));
  list.Search();
  EXPECT_EQ(textOf(&list, QStringLiteral("R_F_BSZAM")), QStringLiteral("47000200"));
  EXPECT_EQ(model->rowCount(), 450);
  // Ctrl+Home from a list opened on its newest serial lands on the first ticket.
  TicketQueries::openTicketList(QStringLiteral("f_Bszam"), QStringLiteral("47000450"));
  list.Edit1->setText(QStringLiteral("4700045"));
  list.Search();
  ASSERT_EQ(textOf(&list, QStringLiteral("R_F_BSZAM")), QStringLiteral("47000450"));
  ASSERT_FALSE(Data->ZQ10->startFetched());
  list.DBGrid1->setFocus();
  // No row number while the rows before the ones read are unread.
  EXPECT_FALSE(model->headerData(0, Qt::Vertical).isValid());
  QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::ControlModifier);
  QApplication::sendEvent(list.DBGrid1, &home);
  EXPECT_EQ(textOf(&list, QStringLiteral("R_F_BSZAM")), QStringLiteral("47000001"));
  EXPECT_EQ(list.DBGrid1->currentIndex().row(), 0);
  EXPECT_EQ(model->headerData(0, Qt::Vertical).toInt(), 1);
  // Ctrl+End lands on the newest ticket in one step, read with the rows
  // before it that a screen shows only, the row wholly in view (above the
  // horizontal scroll bar).
  QKeyEvent down(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
  for (int i = 0; i < 3; ++i) QApplication::sendEvent(list.DBGrid1, &down);  // from a few screens down
  QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
  QApplication::sendEvent(list.DBGrid1, &end);
  QApplication::processEvents();
  EXPECT_EQ(textOf(&list, QStringLiteral("R_F_BSZAM")), QStringLiteral("47000450"));
  EXPECT_LE(model->rowCount(), 51);
  EXPECT_LT(list.DBGrid1->visualRect(list.DBGrid1->currentIndex()).bottom(), list.DBGrid1->viewport()->height());
  EXPECT_EQ(model->data(model->index(list.DBGrid1->currentIndex().row(), 0)).toString(),
            QStringLiteral("47000450"));
  // A serial longer than the column matches nothing: the first row, as a fresh read leaves it.
  list.Edit1->setText(QStringLiteral("470004501"));
  list.Search();
  EXPECT_EQ(textOf(&list, QStringLiteral("R_F_BSZAM")), QStringLiteral("47000001"));
  // Another instance's new ticket shows after the next open.
  exec(QStringLiteral(
           "INSERT INTO QZFEJ (F_BSZAM, F_AKOD, F_OSTERMKOD, F_TIPUS) VALUES ('47000451', '%1', '%2', '1')")
           .arg(receiver_, producer));
  list.Edit1->setText(QStringLiteral("47000451"));
  list.Search();
  EXPECT_EQ(textOf(&list, QStringLiteral("R_F_BSZAM")), QStringLiteral("47000451"));
}

namespace {

// Tickets 48000001..48000300 of the receiver, the odd serials of producer a,
// the even ones of b, each with a line of n kg at 1 Ft (n the serial's last
// three digits): a's lines come to 150 x 150 Ft, b's to 150 x 151 Ft.
void addTicketsOfTwoProducers(const std::function<void(const QString &)> &exec, const QString &receiver,
                              const QString &a, const QString &b) {
  const QString numbers = QStringLiteral(
      " FROM (SELECT FIRST 300 ROW_NUMBER() OVER () AS n FROM rdb$types a CROSS JOIN rdb$types b)");
  exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_AKOD, F_OSTERMKOD, F_TIPUS) SELECT 48000000 + n, '%1', "
                      "IIF(MOD(n, 2) = 1, '%2', '%3'), '1'")
           .arg(receiver, a, b) +
       numbers);
  exec(QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_BRUTTO, S_EAR, S_KOMPMERTEKE, S_LEVONSZAZ) "
                      "SELECT 48000000 + n, n, 1, 0, 0") +
       numbers);
}

}  // namespace

// The list read from a serial (as after a save or a cancelling) and from its
// start walks the ascending serial index from there instead of sorting the
// rest of the list; a producer's running totals start from the producer code
// index instead of every ticket.
TEST_F(TicketDialogs, ListWindowAndProducerTotalsReadThroughTheirIndexes) {
  const QString a = addProducer(QString(), QStringLiteral("0"));
  const QString b = addProducer(QString(), QStringLiteral("0"));
  addTicketsOfTwoProducers([this](const QString &sql) { exec(sql); }, receiver_, a, b);
  db::Query &list = *Data->ZQ10;
  for (const QString &position : {QStringLiteral("48000150"), QString()}) {
    TicketQueries::openTicketList(QStringLiteral("f_Bszam"), position);
    EXPECT_EQ(list.fieldByName(QStringLiteral("F_BSZAM")).asString(),
              position.isEmpty() ? QStringLiteral("48000001") : position);
    const QString plan = list.plan();
    EXPECT_TRUE(plan.contains(QLatin1String("ORDER IX_QZFEJ_BSZAM_ASC"))) << plan.toStdString();
    EXPECT_FALSE(plan.contains(QLatin1String("SORT"))) << plan.toStdString();
  }
  EXPECT_DOUBLE_EQ(TicketQueries::readProducerTotals(a).far, 150 * 150);
  const QString plan = Data->ZQ22->plan();
  EXPECT_TRUE(plan.contains(QLatin1String("QZFEJ INDEX (IX_QZFEJ_OSTERMKOD)"))) << plan.toStdString();
  EXPECT_DOUBLE_EQ(TicketQueries::readProducerTotals(b).far, 150 * 151);
}

// A file of an earlier version lists and sums the same, before and after the
// program's opening adds the indexes it lacks.
TEST_F(TicketDialogs, AFileOfAnEarlierVersionListsAndSumsTheSame) {
  closeDataModule(data_);
  TempDir dir;
  data_ = openDataModule(createTestDatabase(dir.path(), db::SchemaVariant::Old));
  addTicketsOfTwoProducers([this](const QString &sql) { exec(sql); }, receiver_, QStringLiteral("00001"),
                           QStringLiteral("00002"));
  for (const char *code : {"00001", "00002"})
    exec(QStringLiteral("INSERT INTO OSTERMELO (O_KOD) VALUES ('%1')").arg(QLatin1String(code)));
  if (Data->IBTrans1->active()) Data->IBTrans1->commit();
  for (const bool indexed : {false, true}) {
    SCOPED_TRACE(indexed);
    if (indexed) {
      EXPECT_FALSE(db::addMissingIndexes(*Data->ZCon1).isEmpty());
    }
    db::Query &list = *Data->ZQ10;
    TicketQueries::openTicketList(QStringLiteral("f_Bszam"), QStringLiteral("48000150"));
    EXPECT_EQ(list.fieldByName(QStringLiteral("F_BSZAM")).asString(), QStringLiteral("48000150"));
    for (int i = 0; i < 149; ++i) list.prior();
    EXPECT_EQ(list.fieldByName(QStringLiteral("F_BSZAM")).asString(), QStringLiteral("48000001"));
    list.last();
    EXPECT_EQ(list.fieldByName(QStringLiteral("F_BSZAM")).asString(), QStringLiteral("48000300"));
    EXPECT_EQ(list.recordCount(), 300);
    EXPECT_DOUBLE_EQ(TicketQueries::readProducerTotals(QStringLiteral("00001")).far, 150 * 150);
    EXPECT_DOUBLE_EQ(TicketQueries::readProducerTotals(QStringLiteral("00002")).far, 150 * 151);
  }
  closeDataModule(data_);
}

// A click on "Név" gives the Hungarian order of the producer list and the
// printed lists: a long vowel weighs as its short one, "ö" and "ő" come
// after "o" and "ó".
TEST_F(TicketDialogs, TheListByNameIsInTheHungarianOrder) {
  const QStringList names = {"Zsigmond", "Ürögi Őze", "Adorján", "Ürögi Ödön", "Ábel", "Ódor", "Oláh"};
  for (int i = 0; i < names.size(); ++i) {
    const QString producer = addProducer(QString(), QStringLiteral("0"));
    exec(QStringLiteral("UPDATE OSTERMELO SET O_NEV = '%1' WHERE O_KOD = '%2'").arg(names[i], producer));
    addHeader(QString::number(39000001 + i), producer, QStringLiteral(" "));
  }
  TForm8 list(nullptr);
  list.show();
  QApplication::processEvents();
  emit list.DBGrid1->horizontalHeader()->sectionClicked(2);  // a click on "Név"
  QStringList shown;
  for (Data->ZQ10->first(); !Data->ZQ10->eof(); Data->ZQ10->next())
    shown << Data->ZQ10->fieldByName(QStringLiteral("O_NEV")).asString();
  EXPECT_EQ(shown, QStringList({"Ábel", "Adorján", "Ódor", "Oláh", "Ürögi Ödön", "Ürögi Őze", "Zsigmond"}));
}

TEST_F(TicketDialogs, ListSearchAndSort) {
  const QString producer = addProducer(QString(), QStringLiteral("0"));
  for (const char *s : {"39000001", "39100002", "39100003", "39200004"})
    addHeader(QLatin1String(s), producer, QStringLiteral(" "));
  exec(QStringLiteral("UPDATE OSTERMELO SET O_HELYSEGNEV = 'Kecskemét', O_BETETLAP = 'B-7' "
                      "WHERE O_KOD = '%1'").arg(producer));
  TForm8 list(nullptr);
  list.show();
  QApplication::processEvents();
  list.Edit1->setText(QStringLiteral("391"));
  list.Search();
  EXPECT_EQ(Data->ZQ10->fieldByName(QStringLiteral("F_BSZAM")).asString(), QStringLiteral("39100002"));
  EXPECT_EQ(list.Label9->text(), QStringLiteral("Felvásárlási jegy lista, \"Bizonylatszám\" szerint"));
  list.Edit1->setText(QStringLiteral("7"));
  list.Search();
  EXPECT_EQ(Data->ZQ10->recNo(), 1);
  list.SortBy(3);
  EXPECT_EQ(list.Label9->text(), QStringLiteral("Felvásárlási jegy lista, dátum szerint"));
  emit list.DBGrid1->horizontalHeader()->sectionClicked(4);  // a click on "Print"
  EXPECT_EQ(list.Label9->text(), QStringLiteral("Felvásárlási jegy lista, volt-e nyomtatva szerint"));
  list.SortBy(3);
  list.SortBy(7);  // not a sorting column
  EXPECT_EQ(list.Label9->text(), QStringLiteral("Felvásárlási jegy lista, dátum szerint"));
  // The navigator moves the list; the grid and the row panel follow.
  child<QAbstractButton>(&list, QStringLiteral("NavLast"))->click();
  EXPECT_EQ(Data->ZQ10->recNo(), 4);
  EXPECT_EQ(list.DBGrid1->currentIndex().row(), 3);
  EXPECT_EQ(textOf(&list, QStringLiteral("R_F_BSZAM")),
            Data->ZQ10->fieldByName(QStringLiteral("F_BSZAM")).asString());
  // The producer's columns of the grid and the panel.
  QAbstractItemModel *model = list.DBGrid1->model();
  EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Név"));
  EXPECT_EQ(model->data(model->index(0, 2)).toString(), QStringLiteral("Termelő ") + producer);
  EXPECT_EQ(model->data(model->index(0, 7)).toString(), QStringLiteral("Kecskemét"));
  EXPECT_EQ(textOf(&list, QStringLiteral("R_O_BETETLAP")), QStringLiteral("B-7"));
  // Ordering by the producer's name joins the producers.
  list.SortBy(2);
  EXPECT_EQ(list.Label9->text(), QStringLiteral("Felvásárlási jegy lista, név szerint"));
  EXPECT_EQ(Data->ZQ10->recordCount(), 4);
  // Searching from another order reads the list in serial order again.
  list.Edit1->setText(QStringLiteral("392"));
  list.Search();
  EXPECT_EQ(Data->ZQ10->fieldByName(QStringLiteral("F_BSZAM")).asString(), QStringLiteral("39200004"));
  EXPECT_EQ(list.Label9->text(), QStringLiteral("Felvásárlási jegy lista, \"Bizonylatszám\" szerint"));
  list.Edit1->setText(QStringLiteral("3900"));
  list.Search();
  EXPECT_EQ(Data->ZQ10->fieldByName(QStringLiteral("F_BSZAM")).asString(), QStringLiteral("39000001"));
}

TEST_F(TicketDialogs, EndToEndThroughTheRealDialogs) {
  Edit13Option = Edit15Option = QStringLiteral("1");
  Edit13Default = QStringLiteral("100");
  Edit15Default = QStringLiteral("2");
  Edit8Default = QStringLiteral("12");
  const QString producer = addProducer(QStringLiteral("11773016-11111018"), QStringLiteral("15"));
  const QString apple = addProduct(QStringLiteral("Alma"), QStringLiteral("100"), 12);
  const QString cherry = addProduct(QStringLiteral("Meggy"), QStringLiteral("250.5"), 7);
  setSerial(QStringLiteral("40000000"));
  pickProducer_ = producer;

  ModalScript script;
  script.then([](QWidget *w) { click(w, QStringLiteral("Button1")); });  // list: "Új"
  script.then([&](QWidget *w) {                                          // entry
    auto *f = qobject_cast<TForm9 *>(w);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Edit1->text(), QStringLiteral("40000001"));
    setText(w, QStringLiteral("Edit3"), QStringLiteral("2025.03.01"));
    setText(w, QStringLiteral("Edit10"), QStringLiteral("2025.03.01"));
    f->Button1->click();  // the producer
    click(w, QStringLiteral("Button2"));  // "Új" line
  });
  script.then([&](QWidget *w) {  // first line
    pickProduct_ = apple;
    qobject_cast<TForm10 *>(w)->Button1->click();
    setText(w, QStringLiteral("Edit5"), QStringLiteral("10"));
    click(w, QStringLiteral("Button3"));
  });
  script.then([](QWidget *w) { click(w, QStringLiteral("Button2")); });  // entry again
  script.then([&](QWidget *w) {  // second line
    pickProduct_ = cherry;
    qobject_cast<TForm10 *>(w)->Button1->click();
    setText(w, QStringLiteral("Edit5"), QStringLiteral("4"));
    click(w, QStringLiteral("Button3"));
  });
  script.then([](QWidget *w) {  // entry: totals, then OK
    EXPECT_EQ(textOf(w, QStringLiteral("Edit11")), QStringLiteral("2025.03.16"));
    EXPECT_EQ(textOf(w, QStringLiteral("Edit7")), QStringLiteral("2002"));
    EXPECT_EQ(textOf(w, QStringLiteral("Edit8")), QStringLiteral("190"));
    EXPECT_EQ(textOf(w, QStringLiteral("Edit16")), QStringLiteral("1726"));
    click(w, QStringLiteral("Button6"));
  });
  script.then([](QWidget *w) { click(w, QStringLiteral("Button6")); });  // close the list
  EXPECT_TRUE(script.run([] { ASSERT_TRUE(RunMenuCommand(QStringLiteral("Felvsrlsijegy1"))); }, 20000));

  const QString h = QStringLiteral(" FROM QZFEJ WHERE F_BSZAM = '40000001'");
  EXPECT_EQ(scalar("SELECT F_AKOD" + h), receiver_);
  EXPECT_EQ(scalar("SELECT F_OSTERMKOD" + h), producer);
  EXPECT_EQ(scalar("SELECT F_KELT" + h), QStringLiteral("2025.03.01"));
  EXPECT_EQ(scalar("SELECT F_FELVKELT" + h), QStringLiteral("2025.03.01"));
  EXPECT_EQ(scalar("SELECT F_FIZKELT" + h), QStringLiteral("2025.03.16"));
  EXPECT_EQ(scalar("SELECT F_UTAL" + h), QStringLiteral("x"));
  EXPECT_EQ(scalar("SELECT F_SZJA" + h), QStringLiteral("15"));
  EXPECT_EQ(scalar("SELECT F_JARULSZAZ" + h), QStringLiteral("2"));
  EXPECT_EQ(scalar("SELECT F_LEVONAS" + h), QStringLiteral("100"));
  // price 2192.14, tax 328.821, contribution 37.26638, deduction 100
  // -> 1726.05262 -> 1726 (transfer)
  EXPECT_EQ(scalar("SELECT F_MUVKTG" + h), QStringLiteral("1726"));
  EXPECT_NEAR(scalar("SELECT F_SUMVAR" + h).replace(',', '.').toDouble(), 2192.14, 1e-9);
  EXPECT_EQ(scalar("SELECT F_TIPUS" + h), QStringLiteral("1"));
  EXPECT_EQ(scalar("SELECT F_NYILATK" + h), kDeclaration);
  const QString l = QStringLiteral(" FROM QZSOR WHERE S_BSZAM = '40000001'");
  EXPECT_EQ(scalar("SELECT COUNT(*)" + l), QStringLiteral("2"));
  EXPECT_EQ(scalar("SELECT S_MEGNEVEZES" + l + " ORDER BY ID_QZSOR"), QStringLiteral("Alma"));
  EXPECT_EQ(scalar("SELECT S_BRUTTO" + l + " AND S_TERMEKKOD = '" + cherry + "'"),
            QStringLiteral("4"));
  EXPECT_EQ(scalar("SELECT S_EAR" + l + " AND S_TERMEKKOD = '" + cherry + "'"),
            QStringLiteral("250,5"));
  EXPECT_EQ(scalar("SELECT S_KOMPMERTEKE" + l + " AND S_TERMEKKOD = '" + cherry + "'"),
            QStringLiteral("7"));
  EXPECT_EQ(scalar("SELECT S_LEVONSZAZ" + l + " AND S_TERMEKKOD = '" + apple + "'"),
            QStringLiteral("0"));
  EXPECT_EQ(scalar(QStringLiteral("SELECT A_QZBSZAM FROM SORSZAM WHERE A_AKOD = '%1'")
                       .arg(receiver_)),
            QStringLiteral("40000001"));
}

TEST_F(TicketDialogs, ProducerIdentifierChecks) {
  const QString badFelir = addProducer(QString(), QStringLiteral("0"), 15, QStringLiteral("A11234567"));
  const QString shortOcsg = addProducer(QString(), QStringLiteral("0"), 15, QString());
  exec(QStringLiteral("UPDATE OSTERMELO SET O_CSGAZD1 = 'OCSG-1234567' WHERE O_KOD = '%1'").arg(shortOcsg));
  const QString badOcsg = addProducer(QString(), QStringLiteral("0"), 15, QString());
  exec(QStringLiteral("UPDATE OSTERMELO SET O_CSGAZD1 = 'OCSX-12345678' WHERE O_KOD = '%1'").arg(badOcsg));
  const QString nebihOnly = addProducer(QString(), QStringLiteral("0"), 15, QString());
  exec(QStringLiteral("UPDATE OSTERMELO SET O_IGSZAM1 = 'x' WHERE O_KOD = '%1'").arg(nebihOnly));
  setSerial(QStringLiteral("41000000"));
  auto f = openNew();
  addLine(f->Edit1->text(), QStringLiteral("1"), QStringLiteral("100"));
  auto saveWith = [&](const QString &producer) {
    pickProducer_ = producer;
    f->Button1->click();
    return messageOf([&] { f->Button6->click(); });
  };
  EXPECT_EQ(saveWith(badFelir), QStringLiteral("Hibás FELIR szám!"));
  EXPECT_EQ(saveWith(shortOcsg), QStringLiteral("Nem 13 hosszú OCSG szám!"));
  EXPECT_EQ(saveWith(badOcsg), QStringLiteral("Hibás OCSG szám!"));
  EXPECT_EQ(f->focusWidget(), f->Button1);
  // Any NÉBIH id satisfies the "one of them" check: the save goes through.
  pickProducer_ = nebihOnly;
  f->Button1->click();
  noMessage([&] { f->Button6->click(); });
  EXPECT_EQ(count(QStringLiteral("QZFEJ"), QStringLiteral("F_BSZAM = '41000001'")), 1);
}

TEST_F(TicketDialogs, ModifiedTicketWithHiddenFieldsIsSavedWithZero) {
  const QString producer = addProducer(QString(), QStringLiteral("0"));
  addHeader(QStringLiteral("42000001"), producer, QStringLiteral(" "));
  exec(QStringLiteral("UPDATE QZFEJ SET F_LEVONAS = 100, F_JARULSZAZ = 2, F_MEGJ = 'régi' "
                      "WHERE F_BSZAM = '42000001'"));
  addLine(QStringLiteral("42000001"), QStringLiteral("100"), QStringLiteral("100"));
  TicketQueries::openTicketList();
  ASSERT_TRUE(Data->ZQ10->locate(QStringLiteral("F_BSZAM"), QStringLiteral("42000001")));
  JegyMod = kJegyModModositas;
  TForm9 f(nullptr);
  f.LoadTicket();
  EXPECT_EQ(f.Edit13->text(), QStringLiteral("100"));
  EXPECT_EQ(f.Edit4->text(), QStringLiteral("régi"));
  f.show();
  QApplication::processEvents();
  EXPECT_EQ(f.Edit13->text(), QStringLiteral("0"));
  EXPECT_EQ(f.Edit15->text(), QStringLiteral("0"));
  EXPECT_EQ(f.Edit16->text(), QStringLiteral("8500"));  // 10000 - 15 % tax, cash
  noMessage([&] { f.Button6->click(); });
  const QString h = QStringLiteral(" FROM QZFEJ WHERE F_BSZAM = '42000001'");
  EXPECT_EQ(scalar("SELECT F_LEVONAS" + h), QStringLiteral("0"));
  EXPECT_EQ(scalar("SELECT F_JARULSZAZ" + h), QStringLiteral("0"));
  EXPECT_EQ(scalar("SELECT F_MUVKTG" + h), QStringLiteral("8500"));
  EXPECT_EQ(scalar("SELECT F_MEGJ" + h), QStringLiteral("régi"));
}

// A modification's OK does not read the rest of a long list first: the
// list lets its cursor go before the write.
TEST_F(TicketDialogs, AModificationFromTheTopOfALongListReadsOnlyAWindow) {
  const QString producer = addProducer(QString(), QStringLiteral("0"));
  addHeaders(48000000, 5000, producer);
  addLine(QStringLiteral("48000001"), QStringLiteral("100"), QStringLiteral("100"));
  TicketQueries::openTicketList();
  ASSERT_EQ(Data->ZQ10->fieldByName(QStringLiteral("F_BSZAM")).asString(), QStringLiteral("48000001"));
  int mostRows = 0;
  const auto counting = QObject::connect(Data->ZQ10, &db::DataSet::rowsFetched,
                                         [&](int count) { mostRows = std::max(mostRows, count); });
  JegyMod = kJegyModModositas;
  TForm9 f(nullptr);
  f.LoadTicket();
  f.show();
  QApplication::processEvents();
  f.Edit4->setText(QStringLiteral("javítva"));
  noMessage([&] { f.Button6->click(); });
  QObject::disconnect(counting);
  EXPECT_FALSE(f.isVisible());
  EXPECT_EQ(scalar("SELECT F_MEGJ FROM QZFEJ WHERE F_BSZAM = '48000001'"), QStringLiteral("javítva"));
  EXPECT_LT(mostRows, 1000);
  EXPECT_EQ(Data->ZQ10->fieldByName(QStringLiteral("F_BSZAM")).asString(), QStringLiteral("48000001"));
}

TEST_F(TicketDialogs, FailedModificationKeepsTheDialogOpen) {
  const QString producer = addProducer(QString(), QStringLiteral("0"));
  addHeader(QStringLiteral("43000001"), producer, QStringLiteral(" "));
  addLine(QStringLiteral("43000001"), QStringLiteral("1"), QStringLiteral("100"));
  auto f = openModification(QStringLiteral("43000001"));
  f->Edit4->setText(QStringLiteral("új megjegyzés"));
  // Another transaction holds the row: the update meets a lock conflict at once.
  db::Transaction other;
  other.setConnection(Data->ZCon1);
  db::Query lock;
  lock.setTransaction(&other);
  lock.sql().add(QStringLiteral("UPDATE QZFEJ SET F_MEGJ = 'zár' WHERE F_BSZAM = '43000001'"));
  lock.execute();
  EXPECT_EQ(messageOf([&] { f->Button6->click(); }), TicketModification::busyMessage(QStringLiteral("43000001")));
  EXPECT_TRUE(f->isVisible());
  EXPECT_EQ(f->Edit4->text(), QStringLiteral("új megjegyzés"));
  other.rollback();
  noMessage([&] { f->Button6->click(); });
  EXPECT_FALSE(f->isVisible());
  EXPECT_EQ(scalar("SELECT F_MEGJ FROM QZFEJ WHERE F_BSZAM = '43000001'"),
            QStringLiteral("új megjegyzés"));
}

namespace {

// A saved cash ticket of 100 kg at 80,64 Ft (price 8064, payable 8065) open
// for modification, its line changed to 200 kg through the line dialog
// (price 16128, cash payable 16130), the header not saved yet.
std::unique_ptr<TForm9> openWithLineChanged(const QString &serial, const QString &producer,
                                            const std::function<void(const QString &)> &exec) {
  exec(QStringLiteral("UPDATE QZFEJ SET F_SZJA = 0, F_MUVKTG = 8065, F_SUMVAR = 8064 WHERE F_BSZAM = '%1'")
           .arg(serial));
  auto f = openModification(serial);
  EXPECT_EQ(f->Edit5->text(), producer);
  ModalScript script;
  script.then([](QWidget *line) {
    setText(line, QStringLiteral("Edit5"), QStringLiteral("200"));
    click(line, QStringLiteral("Button3"));
  });
  EXPECT_TRUE(script.run([&] { f->Button8->click(); }));
  EXPECT_EQ(f->Edit16->text(), QStringLiteral("16130"));
  return f;
}

}  // namespace

TEST_F(TicketDialogs, HeaderTotalsFollowChangedLinesHoweverTheEntryCloses) {
  const QString producer = addProducer(QString(), QStringLiteral("0"), 0);
  auto cell = [&](const QString &serial, const char *column) {
    return scalar(QStringLiteral("SELECT %1 FROM QZFEJ WHERE F_BSZAM = '%2'").arg(QLatin1String(column), serial));
  };
  auto run = [&](const QString &serial, const char *way, const std::function<void(TForm9 &)> &close) {
    SCOPED_TRACE(way);
    addHeader(serial, producer, QStringLiteral(" "));
    addLine(serial, QStringLiteral("100"), QStringLiteral("80.64"));
    auto f = openWithLineChanged(serial, producer, [this](const QString &sql) { exec(sql); });
    // Until the close another transaction sees neither the line nor the
    // header changed: they are committed together.
    EXPECT_EQ(scalar("SELECT S_VETELAR FROM QZSOR WHERE S_BSZAM = '" + serial + "'"), QStringLiteral("8064"));
    EXPECT_EQ(cell(serial, "F_MUVKTG"), QStringLiteral("8065"));
    noMessage([&] { close(*f); });
    EXPECT_FALSE(f->isVisible());
    // Committed: another transaction sees the totals of the lines.
    EXPECT_EQ(cell(serial, "F_MUVKTG"), QStringLiteral("16130"));
    EXPECT_EQ(cell(serial, "F_SUMVAR"), QStringLiteral("16128"));
  };
  run(QStringLiteral("45000001"), "OK", [](TForm9 &f) { f.Button6->click(); });
  run(QStringLiteral("45000002"), "Mégsem", [](TForm9 &f) { f.Button4->click(); });
  run(QStringLiteral("45000003"), "window close", [](TForm9 &f) { f.close(); });

  // A deleted line counts as a change; the rates are the stored ones, not
  // what was typed and then abandoned.
  const QString serial = QStringLiteral("45000004");
  addHeader(serial, producer, QStringLiteral(" "));
  addLine(serial, QStringLiteral("100"), QStringLiteral("80.64"));
  addLine(serial, QStringLiteral("50"), QStringLiteral("100"));
  exec("UPDATE QZFEJ SET F_UTAL = 'x', F_SZJA = 0, F_MUVKTG = 13064, F_SUMVAR = 13064 WHERE F_BSZAM = '" + serial + "'");
  auto f = openModification(serial);
  f->Edit6->setText(QStringLiteral("15"));
  Data->ZQ20->last();
  EXPECT_EQ(messageOf([&] { f->Button9->click(); }), QStringLiteral("Az tételsor törölve!"));
  noMessage([&] { f->Button4->click(); });
  EXPECT_EQ(cell(serial, "F_MUVKTG"), QStringLiteral("8064"));  // transfer, tax 0 as stored
  EXPECT_EQ(cell(serial, "F_SUMVAR"), QStringLiteral("8064"));

  // Lines untouched: closing writes nothing.
  const QString kept = QStringLiteral("45000005");
  addHeader(kept, producer, QStringLiteral(" "));
  addLine(kept, QStringLiteral("100"), QStringLiteral("80.64"));
  exec("UPDATE QZFEJ SET F_MUVKTG = 1, F_SUMVAR = 2 WHERE F_BSZAM = '" + kept + "'");
  auto untouched = openModification(kept);
  noMessage([&] { untouched->Button4->click(); });
  EXPECT_EQ(cell(kept, "F_MUVKTG"), QStringLiteral("1"));
}

TEST_F(TicketDialogs, LineDialogModifiesTheCurrentLine) {
  TicketQueries::openLines(QStringLiteral("44000001"));
  TetelMod = kJegyModModositas;
  {
    // An empty grid loads empty fields; the OK stops at the first check.
    TForm10 empty({QStringLiteral("44000001"), QStringLiteral("0"), QString()}, nullptr);
    empty.LoadLine();
    empty.show();
    EXPECT_TRUE(empty.Edit3->text().isEmpty());
    EXPECT_EQ(messageOf([&] { empty.Button3->click(); }),
              QStringLiteral("Nincs megadva a megnevezés!"));
    // Filled in anyway: the update reaches no line, which is a failure (the
    // step's message, the dialog stays with the input), not a silent close.
    empty.Edit3->setText(QStringLiteral("alma"));
    empty.Edit4->setText(QStringLiteral("0808"));
    empty.Edit5->setText(QStringLiteral("1"));
    empty.Edit6->setText(QStringLiteral("kg"));
    empty.Edit7->setText(QStringLiteral("100"));
    empty.Edit8->setText(QStringLiteral("12"));
    EXPECT_EQ(messageOf([&] { empty.Button3->click(); }),
              QStringLiteral("Hiba104: Módosit, UPDATE a qzsorban "));
    EXPECT_TRUE(empty.isVisible());
    EXPECT_EQ(empty.Edit3->text(), QStringLiteral("alma"));
    EXPECT_EQ(count(QStringLiteral("QZSOR"), QStringLiteral("S_BSZAM = '44000001'")), 0);
  }
  addLine(QStringLiteral("44000001"), QStringLiteral("7.5"), QStringLiteral("100"), QStringLiteral("12"));
  TicketQueries::openLines(QStringLiteral("44000001"));
  TForm10 f({QStringLiteral("44000001"), QStringLiteral("0"), QString()}, nullptr);
  f.LoadLine();
  f.show();
  QApplication::processEvents();
  EXPECT_EQ(f.Edit5->text(), QStringLiteral("7,5"));
  EXPECT_EQ(f.Edit8->text(), QStringLiteral("12"));  // a modified line keeps its own
  f.Edit5->setText(QStringLiteral("8"));
  noMessage([&] { f.Button3->click(); });
  EXPECT_EQ(count(QStringLiteral("QZSOR"), QStringLiteral("S_BSZAM = '44000001'")), 1);
  EXPECT_EQ(scalar("SELECT S_BRUTTO FROM QZSOR WHERE S_BSZAM = '44000001'"), QStringLiteral("8"));
  EXPECT_EQ(UtolsoTetelId, f.Edit2->text());
  EXPECT_EQ(Data->ZQ20->fieldByName(QStringLiteral("ID_QZSOR")).asString(), UtolsoTetelId);
}

TEST_F(TicketDialogs, RealPickersFillTheTicketAndTheLine) {
  TForm9::setProducerPicker({});  // the producer and product lists themselves
  TForm10::setProductPicker({});
  const QString first = addProducer(QString(), QStringLiteral("0"), 10);
  const QString wanted = addProducer(QStringLiteral("12345678"), QStringLiteral("5"), 16);
  const QString cherry = addProduct(QStringLiteral("Meggy pick"), QStringLiteral("300"), 12);
  addProduct(QStringLiteral("Alma pick"), QStringLiteral("100"), 7);
  setSerial(QStringLiteral("45000000"));
  auto f = openNew();
  f->Edit10->setText(QStringLiteral("2025.03.01"));

  ModalScript producers;
  producers.then([&](QWidget *w) {
    EXPECT_TRUE(Data->ZQ30->locate(QStringLiteral("O_KOD"), wanted));
    click(w, QStringLiteral("Button1"));  // "Kiválaszt"
  });
  EXPECT_TRUE(producers.run([&] { f->Button1->click(); }));
  EXPECT_EQ(f->Edit5->text(), wanted);
  EXPECT_EQ(f->Edit6->text(), QStringLiteral("16"));
  EXPECT_TRUE(f->CheckBox1->isChecked());
  EXPECT_EQ(f->Edit11->text(), QStringLiteral("2025.03.06"));

  // A cancelled pick changes nothing.
  ModalScript cancelled;
  cancelled.then([&](QWidget *w) {
    Data->ZQ30->locate(QStringLiteral("O_KOD"), first);
    click(w, QStringLiteral("Button5"));  // "Mégsem"
  });
  EXPECT_TRUE(cancelled.run([&] { f->Button1->click(); }));
  EXPECT_EQ(f->Edit5->text(), wanted);

  TetelMod = kTetelModUj;
  TForm10 line({f->Edit1->text(), QStringLiteral("0"), wanted}, nullptr);
  line.show();
  QApplication::processEvents();
  line.Edit3->setText(QStringLiteral("Meggy p"));
  ModalScript products;
  products.then([&](QWidget *w) {
    // The list opens on the first name that begins with the typed text.
    EXPECT_EQ(Data->ZQ40->fieldByName(QStringLiteral("T_KOD")).asString(), cherry);
    click(w, QStringLiteral("Button1"));
  });
  EXPECT_TRUE(products.run([&] { line.Button1->click(); }));
  EXPECT_EQ(line.Edit3->text(), QStringLiteral("Meggy pick"));
  EXPECT_EQ(line.Edit9->text(), cherry);
  EXPECT_EQ(line.Edit7->text(), QStringLiteral("300"));
}

TEST_F(TicketDialogs, EndToEndFromTheReceiverChoiceThroughEveryDialog) {
  TForm9::setProducerPicker({});
  TForm10::setProductPicker({});
  Edit8Default = QStringLiteral("12");
  setSerial(QStringLiteral("46000000"));
  const QString receiverName = QStringLiteral("Átvevő %1").arg(receiver_);
  AtvevoKod.clear();
  AtvevoNyilatk.clear();

  // 1. The receiver.
  ModalScript choice;
  choice.then([&](QWidget *dlg) {
    auto *combo = child<QComboBox>(dlg, QStringLiteral("DBLookupComboBox1"));
    const int i = combo->findText(receiverName);
    ASSERT_GE(i, 0);
    combo->setCurrentIndex(i);
    emit combo->activated(i);
    click(dlg, QStringLiteral("Button2"));
  });
  ASSERT_TRUE(choice.run([] { ASSERT_TRUE(RunMenuCommand(QStringLiteral("Vlaszts1"))); }));
  ASSERT_EQ(AtvevoKod, receiver_);
  EXPECT_EQ(AtvevoNyilatk, kDeclaration);

  // 2. A producer through the producer list and its entry.
  QString producer;
  ModalScript producers;
  producers.then([](QWidget *list) { click(list, QStringLiteral("Button2")); });
  producers.then([&](QWidget *entry) {
    producer = textOf(entry, QStringLiteral("Edit2"));
    const std::pair<const char *, const char *> fields[] = {
        {"Edit3", "Végig Ödön"}, {"Edit4", "6000"},          {"Edit5", "Kecskemét"},
        {"Edit6", "Fő"},         {"Edit7", "8123456786"},    {"Edit10", "15"},
        {"Edit11", "Szeged"},    {"Edit12", "1970.05.06"},   {"Edit13", "Minta Mária"},
        {"Edit16", "1"},         {"Edit17", "Végig Ödön"},   {"Edit19", "12345676123"},
        {"Edit35", "2021.01.01"}, {"Edit24", "AB1234567"},   {"Edit32", "15"},
        {"Edit20", "11773016-11111111"}};
    for (const auto &[name, value] : fields)
      setText(entry, QLatin1String(name), QString::fromUtf8(value));
    click(entry, QStringLiteral("Button2"));
  });
  producers.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(producers.run([] { ASSERT_TRUE(RunMenuCommand(QStringLiteral("stermel1"))); }));
  ASSERT_FALSE(producer.isEmpty());

  // 3. Two products through the product list and its entry.
  ModalScript products;
  const std::pair<const char *, const char *> newProducts[] = {{"9901", "Őszibarack E2E"},
                                                               {"9902", "Szilva E2E"}};
  for (const auto &[code, name] : newProducts) {
    products.then([](QWidget *list) { click(list, QStringLiteral("Button2")); });
    products.then([code = code, name = name](QWidget *entry) {
      setText(entry, QStringLiteral("Edit2"), QLatin1String(code));
      setText(entry, QStringLiteral("Edit3"), QString::fromUtf8(name));
      setText(entry, QStringLiteral("Edit4"), QStringLiteral("0809"));
      setText(entry, QStringLiteral("Edit5"), QLatin1String(code[3] == '1' ? "212,5" : "80"));
      setText(entry, QStringLiteral("Edit6"), QStringLiteral("kg"));
      setText(entry, QStringLiteral("Edit7"), QLatin1String(code[3] == '1' ? "12,00" : "7,00"));
      click(entry, QStringLiteral("Button2"));
    });
  }
  products.then([](QWidget *list) { closeWindow(list); });
  ASSERT_TRUE(products.run([] { ASSERT_TRUE(RunMenuCommand(QStringLiteral("Termk1"))); }));

  // 4. The ticket: list, entry, producer picker, two lines with the product picker, save.
  ModalScript ticket;
  ticket.then([](QWidget *list) { click(list, QStringLiteral("Button1")); });
  ticket.then([](QWidget *entry) {
    setText(entry, QStringLiteral("Edit3"), QStringLiteral("2025.03.01"));
    setText(entry, QStringLiteral("Edit10"), QStringLiteral("2025.03.01"));
    click(entry, QStringLiteral("Button1"));  // "Őstermelő"
  });
  ticket.then([&](QWidget *picker) {
    EXPECT_TRUE(Data->ZQ30->locate(QStringLiteral("O_KOD"), producer));
    click(picker, QStringLiteral("Button1"));  // "Kiválaszt"
  });
  const std::pair<const char *, const char *> lines[] = {{"Őszi", "40"}, {"Szil", "12,5"}};
  for (const auto &[prefix, quantity] : lines) {
    ticket.then([](QWidget *entry) { click(entry, QStringLiteral("Button2")); });  // "Új" line
    ticket.then([prefix = prefix](QWidget *line) {
      setText(line, QStringLiteral("Edit3"), QString::fromUtf8(prefix));
      click(line, QStringLiteral("Button1"));  // "Termék"
    });
    ticket.then([](QWidget *picker) { click(picker, QStringLiteral("Button1")); });
    ticket.then([quantity = quantity](QWidget *line) {
      setText(line, QStringLiteral("Edit5"), QLatin1String(quantity));
      click(line, QStringLiteral("Button3"));  // "OK"
    });
  }
  QString payable, dueDate;
  ticket.then([&](QWidget *entry) {
    payable = textOf(entry, QStringLiteral("Edit16"));
    dueDate = textOf(entry, QStringLiteral("Edit11"));
    click(entry, QStringLiteral("Button6"));  // "OK"
  });
  ticket.then([](QWidget *list) { click(list, QStringLiteral("Button6")); });
  ASSERT_TRUE(ticket.run([] { ASSERT_TRUE(RunMenuCommand(QStringLiteral("Felvsrlsijegy1"))); }, 20000));

  // Lines: 40 kg at 212.5 with 12 % = 8500 + 1020 = 9520; 12.5 kg at 80 with
  // 7 % = 1000 + 70 = 1070. Price 10590, tax 15 % 1588.5, payable
  // 9001.5 -> 9002 (half to even, transfer).
  EXPECT_EQ(dueDate, QStringLiteral("2025.03.16"));
  EXPECT_EQ(payable, QStringLiteral("9002"));
  const QString h = QStringLiteral(" FROM QZFEJ WHERE F_BSZAM = '46000001'");
  EXPECT_EQ(scalar("SELECT F_AKOD" + h), receiver_);
  EXPECT_EQ(scalar("SELECT F_OSTERMKOD" + h), producer);
  EXPECT_EQ(scalar("SELECT F_UTAL" + h), QStringLiteral("x"));
  EXPECT_EQ(scalar("SELECT F_FIZKELT" + h), QStringLiteral("2025.03.16"));
  EXPECT_EQ(scalar("SELECT F_SZJA" + h), QStringLiteral("15"));
  EXPECT_EQ(scalar("SELECT F_MUVKTG" + h), QStringLiteral("9002"));
  EXPECT_EQ(scalar("SELECT F_SUMVAR" + h), QStringLiteral("10590"));
  EXPECT_EQ(scalar("SELECT F_NYILATK" + h), kDeclaration);
  const QString l = QStringLiteral(" FROM QZSOR WHERE S_BSZAM = '46000001'");
  EXPECT_EQ(scalar("SELECT COUNT(*)" + l), QStringLiteral("2"));
  EXPECT_EQ(scalar("SELECT S_TERMEKKOD" + l + " AND S_BRUTTO = 40"), QStringLiteral("9901"));
  EXPECT_EQ(scalar("SELECT S_KOMPMERTEKE" + l + " AND S_BRUTTO = 40"), QStringLiteral("12"));
  EXPECT_EQ(scalar("SELECT S_TERMEKKOD" + l + " AND S_BRUTTO = 12.5"), QStringLiteral("9902"));
  EXPECT_EQ(scalar("SELECT S_EAR" + l + " AND S_BRUTTO = 12.5"), QStringLiteral("80"));
  EXPECT_EQ(scalar("SELECT S_KOMPMERTEKE" + l + " AND S_BRUTTO = 12.5"), QStringLiteral("7"));
  EXPECT_EQ(scalar("SELECT SUM(S_VETELAR)" + l), QStringLiteral("10590"));
  EXPECT_EQ(scalar(QStringLiteral("SELECT A_QZBSZAM FROM SORSZAM WHERE A_AKOD = '%1'")
                       .arg(receiver_)),
            QStringLiteral("46000001"));
}

TEST_F(TicketDialogs, FieldKeyFiltersOfEntryAndLineDialogs) {
  auto typed = [](QLineEdit *e) {
    e->clear();
    for (QChar c : QStringLiteral("1.,-x2")) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(e, &press);
    }
    return e->text();
  };
  JegyMod = kJegyModUj;
  TForm9 entry(nullptr);
  for (QLineEdit *date : {entry.Edit3, entry.Edit10, entry.Edit11})
    EXPECT_EQ(typed(date), QStringLiteral("1.2")) << date->objectName().toStdString();
  EXPECT_EQ(typed(entry.Edit6), QStringLiteral("12"));
  for (QLineEdit *decimal : {entry.Edit13, entry.Edit14, entry.Edit15})
    EXPECT_EQ(typed(decimal), QStringLiteral("1,2")) << decimal->objectName().toStdString();
  EXPECT_EQ(typed(entry.Edit4), QStringLiteral("1.,-x2"));
  EXPECT_EQ(entry.Edit4->limit(), 200);
  EXPECT_EQ(entry.Edit12->limit(), 250);

  TForm10 line({QStringLiteral("1"), QStringLiteral("0"), QString()}, nullptr);
  EXPECT_EQ(typed(line.Edit5), QStringLiteral("1,-2"));
  for (QLineEdit *decimal : {line.Edit7, line.Edit8, line.Edit10})
    EXPECT_EQ(typed(decimal), QStringLiteral("1,2")) << decimal->objectName().toStdString();
  EXPECT_EQ(typed(line.Edit3), QStringLiteral("1.,-x2"));
  EXPECT_EQ(line.Edit3->limit(), 75);
  for (LimitedEdit *ten : {line.Edit4, line.Edit6, line.Edit10}) EXPECT_EQ(ten->limit(), 10);
}

TEST_F(TicketDialogs, AFailedReadIsReportedAndTheDialogStays) {
  const QString producer = addProducer(QString(), QStringLiteral("0"));
  setSerial(QStringLiteral("47000000"));
  auto f = openNew();
  pickProducer_ = producer;
  f->Button1->click();
  f->Edit11->setText(f->Edit10->text());
  Data->ZCon1->close();  // every statement fails from here on
  ModalScript script;
  MessageSeen seen;
  script.then(answer(QMessageBox::Ok, &seen));
  EXPECT_TRUE(script.run([&] { f->Button6->click(); }, 5000));
  EXPECT_EQ(seen.kind, QStringLiteral("Error"));
  EXPECT_FALSE(seen.text.isEmpty());
  EXPECT_TRUE(f->isVisible());
}

// ---------------------------------------------------------------------------
// Cancelling documents

namespace {

class Cancelling : public TicketDialogs {
 protected:
  void SetUp() override {
    TicketDialogs::SetUp();
    TForm8::setCancelTicket(&TForm39::CancelGuard);
    producer_ = addProducer(QString(), QStringLiteral("0"));
  }
  void TearDown() override {
    TForm8::setCancelTicket({});
    TicketDialogs::TearDown();
  }

  // A printed ticket issued on 2025.03.10 with lines of 100 and 250,5 at 100
  // Ft: price 35050, payable (15 % tax) 29793 less a deduction of 250.
  void addPrintedTicket(const QString &serial) {
    addHeader(serial, producer_, QStringLiteral("I"));
    exec(QStringLiteral("UPDATE QZFEJ SET F_KELT = '2025-03-10', F_MUVKTG = 29542.5, "
                        "F_SUMVAR = 35050, F_LEVONAS = 250, F_MEGJ = 'eredeti' WHERE F_BSZAM = '%1'")
             .arg(serial));
    addLine(serial, QStringLiteral("100"), QStringLiteral("100"));
    addLine(serial, QStringLiteral("250.5"), QStringLiteral("100"));
  }

  // The state that a failed or refused cancelling must leave untouched.
  QString snapshot() {
    return QStringList{
        scalar(QStringLiteral("SELECT COUNT(*) FROM QZFEJ WHERE F_AKOD = '%1'").arg(receiver_)),
        scalar(QStringLiteral("SELECT COUNT(*) FROM QZSOR WHERE S_AKOD = '%1'").arg(receiver_)),
        scalar(QStringLiteral("SELECT A_QZBSZAM FROM SORSZAM WHERE A_AKOD = '%1'").arg(receiver_)),
        scalar(QStringLiteral("SELECT LIST(COALESCE(F_ERVENYT, '-')) FROM QZFEJ WHERE F_AKOD = '%1'")
                   .arg(receiver_)),
        scalar(QStringLiteral("SELECT COUNT(*) FROM QZFEJ WHERE F_BSZAM = ' '")),
        scalar(QStringLiteral("SELECT COUNT(*) FROM QZSOR WHERE S_BSZAM = ' '"))}
        .join(QLatin1Char('|'));
  }

  // The cancelling dialog for the list's current row, taken past the guard's
  // question and started, not shown modally.
  std::unique_ptr<TForm39> openDialog() {
    ErvenytelenBszam = Data->ZQ10->fieldByName(QStringLiteral("F_BSZAM")).asString();
    auto f = std::make_unique<TForm39>(nullptr);
    EXPECT_TRUE(f->Start());
    f->show();
    QApplication::processEvents();
    return f;
  }

  QString producer_;
};

}  // namespace

TEST_F(Cancelling, GuardRefusesUnprintedCancelledAndCancellingDocuments) {
  setSerial(QStringLiteral("61000010"));
  addHeader(QStringLiteral("61000001"), producer_, QStringLiteral(" "));
  addHeader(QStringLiteral("61000002"), producer_, QStringLiteral("I"));
  exec(QStringLiteral("UPDATE QZFEJ SET F_ERVENYT = '61000003' WHERE F_BSZAM = '61000002'"));
  addHeader(QStringLiteral("61000003"), producer_, QStringLiteral("I"), QStringLiteral("4"));
  exec(QStringLiteral("UPDATE QZFEJ SET F_ERVENYT = '61000002' WHERE F_BSZAM = '61000003'"));
  addHeader(QStringLiteral("61000004"), producer_, QStringLiteral("I"));
  const QString before = snapshot();
  TForm8 list(nullptr);
  list.show();
  QApplication::processEvents();
  const QString expected[] = {QStringLiteral("Nem volt nyomtatva. Nem érvényteleníthető!"),
                              QStringLiteral("Már érvénytelenítve van!"),
                              QStringLiteral("Érvénytelent (storno) nem lehet érvényteleníteni!")};
  Data->ZQ10->first();
  for (const QString &text : expected) {
    EXPECT_EQ(messageOf([&] { list.Button4->click(); }), text);
    Data->ZQ10->next();
  }
  // A printed, uncancelled ticket asks first; "No" does nothing.
  ModalScript script;
  MessageSeen question;
  script.then(answer(QMessageBox::No, &question));
  EXPECT_TRUE(script.run([&] { list.Button4->click(); }, 5000));
  EXPECT_EQ(question.text, QStringLiteral("Érvényteleniteni szeretné a 61000004 bizonylatot? "));
  EXPECT_EQ(question.buttons, (QStringList{QStringLiteral("Yes"), QStringLiteral("No")}));
  EXPECT_EQ(snapshot(), before);
}

// The list was read before another instance printed and then cancelled its
// tickets: the guard answers from the stored marks, not from the old rows.
TEST_F(Cancelling, GuardReadsTheMarksAsStoredNotAsTheListShowsThem) {
  addHeader(QStringLiteral("61500001"), producer_, QStringLiteral("I"));
  addHeader(QStringLiteral("61500002"), producer_, QStringLiteral(" "));
  TForm8 list(nullptr);
  list.show();
  QApplication::processEvents();
  // Each row is read while it is current; another instance changes it after.
  ASSERT_TRUE(Data->ZQ10->locate(QStringLiteral("F_BSZAM"), QStringLiteral("61500001")));
  exec(QStringLiteral("UPDATE QZFEJ SET F_ERVENYT = '61500009' WHERE F_BSZAM = '61500001'"));
  QString before = snapshot();
  EXPECT_TRUE(Data->ZQ10->fieldByName(QStringLiteral("F_ERVENYT")).asString().trimmed().isEmpty());
  EXPECT_EQ(messageOf([&] { list.Button4->click(); }), QStringLiteral("Már érvénytelenítve van!"));
  EXPECT_EQ(snapshot(), before);
  ASSERT_TRUE(Data->ZQ10->locate(QStringLiteral("F_BSZAM"), QStringLiteral("61500002")));
  exec(QStringLiteral("UPDATE QZFEJ SET F_PRN = 'I', F_TIPUS = '4', F_ERVENYT = '61500008' "
                      "WHERE F_BSZAM = '61500002'"));
  before = snapshot();
  EXPECT_TRUE(Data->ZQ10->fieldByName(QStringLiteral("F_ERVENYT")).asString().trimmed().isEmpty());
  EXPECT_EQ(messageOf([&] { list.Button4->click(); }),
            QStringLiteral("Érvénytelent (storno) nem lehet érvényteleníteni!"));
  EXPECT_EQ(snapshot(), before);
}

TEST_F(Cancelling, DateChecksCompareParsedDates) {
  setSerial(QStringLiteral("62000010"));
  addPrintedTicket(QStringLiteral("62000001"));
  TicketQueries::openTicketList(QStringLiteral("f_Bszam"), QStringLiteral("62000001"));
  const QString before = snapshot();
  auto f = openDialog();
  EXPECT_EQ(f->Edit1->text(), QStringLiteral("62000011"));
  EXPECT_FALSE(f->Edit1->isEnabled());
  EXPECT_EQ(f->Edit6->text(), platform::DateToStr(QDate::currentDate()));
  EXPECT_EQ(ErvenytelenKelt, QStringLiteral("2025.03.10"));
  const std::pair<const char *, const char *> refused[] = {
      {"", "Nincs megadva a kiállítás dátuma!"},
      {"   ", "Nincs megadva a kiállítás dátuma!"},
      {"2025.13.01", "Hibás a kiállítás dátuma!"},
      {"2025..", "Hibás a kiállítás dátuma!"},
      {"2025.03.09", "Érvénytelenítendő bizonylaton szereplő dátumtól korábbi!"},
      // Texts would sort "2025.3.9" after "2025.03.10"; as dates it is the day before.
      {"2025.3.9", "Érvénytelenítendő bizonylaton szereplő dátumtól korábbi!"}};
  for (const auto &[date, message] : refused) {
    f->Edit6->setText(QString::fromUtf8(date));
    EXPECT_EQ(messageOf([&] { f->Button6->click(); }), QString::fromUtf8(message)) << date;
    EXPECT_TRUE(f->isVisible());
  }
  EXPECT_EQ(snapshot(), before);
  // The same day passes.
  f->Edit6->setText(QStringLiteral("2025.03.10"));
  EXPECT_EQ(messageOf([&] { f->Button6->click(); }),
            QStringLiteral("Az érvénytelenítő bizonylat 62000011 sorszámmal elkészült!"));
  EXPECT_FALSE(f->isVisible());
  EXPECT_EQ(scalar("SELECT F_KELT FROM QZFEJ WHERE F_BSZAM = '62000011'"),
            QStringLiteral("2025.03.10"));
}

TEST_F(Cancelling, DocumentNegatesTheTicketAndTakesTheNextSerial) {
  setSerial(QStringLiteral("63000010"));
  addPrintedTicket(QStringLiteral("63000001"));
  addPrintedTicket(QStringLiteral("63000002"));
  // A blank-serial header and line that an old partial run left behind are
  // not taken into the new document.
  exec(QStringLiteral("INSERT INTO QZFEJ (F_AKOD, F_TIPUS) VALUES ('%1', '4')").arg(receiver_));
  addLine(QStringLiteral(" "), QStringLiteral("7"), QStringLiteral("1"));
  TForm8 list(nullptr);
  list.show();
  QApplication::processEvents();
  ASSERT_TRUE(Data->ZQ10->locate(QStringLiteral("F_BSZAM"), QStringLiteral("63000002"), {}));
  ModalScript script;
  MessageSeen done;
  script.then(answer(QMessageBox::Yes));
  script.then([](QWidget *w) {
    ASSERT_NE(qobject_cast<TForm39 *>(w), nullptr);
    setText(w, QStringLiteral("Edit6"), QStringLiteral("2025.04.01"));
    click(w, QStringLiteral("Button6"));
  });
  script.then(answer(QMessageBox::Ok, &done));
  ASSERT_TRUE(script.run([&] { list.Button4->click(); }));
  EXPECT_EQ(done.text, QStringLiteral("Az érvénytelenítő bizonylat 63000011 sorszámmal elkészült!"));

  auto fej = [&](const char *column, const char *serial = "63000011") {
    return scalar(QStringLiteral("SELECT %1 FROM QZFEJ WHERE F_BSZAM = '%2'")
                      .arg(QLatin1String(column), QLatin1String(serial)));
  };
  EXPECT_EQ(fej("F_TIPUS"), QStringLiteral("4"));
  EXPECT_EQ(fej("COALESCE(F_PRN, '')"), QString());
  EXPECT_EQ(fej("F_ERVENYT"), QStringLiteral("63000002"));
  EXPECT_EQ(fej("F_ERVENYT", "63000002"), QStringLiteral("63000011"));
  EXPECT_EQ(fej("COALESCE(F_ERVENYT, '-')", "63000001"), QStringLiteral("-"));
  EXPECT_EQ(fej("F_MUVKTG"), QStringLiteral("-29542,5"));
  EXPECT_EQ(fej("F_SUMVAR"), QStringLiteral("-35050"));
  EXPECT_EQ(fej("F_LEVONAS"), QStringLiteral("-250"));
  EXPECT_EQ(fej("F_KELT"), QStringLiteral("2025.04.01"));
  // Everything else is the cancelled ticket's.
  EXPECT_EQ(fej("F_MEGJ || F_SZJA || F_OSTERMKOD || F_AKOD || F_FELVKELT"),
            fej("F_MEGJ || F_SZJA || F_OSTERMKOD || F_AKOD || F_FELVKELT", "63000002"));
  EXPECT_EQ(scalar("SELECT FIRST 1 S_BRUTTO FROM QZSOR WHERE S_BSZAM = '63000011' ORDER BY ID_QZSOR"),
            QStringLiteral("-100"));
  EXPECT_EQ(scalar("SELECT FIRST 1 S_BRUTTO FROM QZSOR WHERE S_BSZAM = '63000011' "
                   "ORDER BY ID_QZSOR DESC"),
            QStringLiteral("-250,5"));
  EXPECT_EQ(count(QStringLiteral("QZSOR"), QStringLiteral("S_BSZAM = '63000011'")), 2);
  EXPECT_EQ(scalar("SELECT SUM(S_VETELAR) FROM QZSOR WHERE S_BSZAM = '63000011'"),
            QStringLiteral("-35050"));
  EXPECT_EQ(scalar(QStringLiteral("SELECT A_QZBSZAM FROM SORSZAM WHERE A_AKOD = '%1'").arg(receiver_)),
            QStringLiteral("63000011"));
  EXPECT_EQ(count(QStringLiteral("QZFEJ"), QStringLiteral("F_BSZAM = ' '")), 1);
  EXPECT_EQ(count(QStringLiteral("QZSOR"), QStringLiteral("S_BSZAM = ' '")), 1);
  // The list stands on the new document.
  EXPECT_EQ(Data->ZQ10->fieldByName(QStringLiteral("F_BSZAM")).asString(), QStringLiteral("63000011"));
  EXPECT_EQ(UtolsoBszam, QStringLiteral("63000011"));
  // Neither document can be cancelled again.
  EXPECT_EQ(messageOf([&] { list.Button4->click(); }),
            QStringLiteral("Nem volt nyomtatva. Nem érvényteleníthető!"));
  exec(QStringLiteral("UPDATE QZFEJ SET F_PRN = 'I' WHERE F_BSZAM = '63000011'"));
  TicketQueries::openTicketList(QStringLiteral("f_Bszam"), QStringLiteral("63000011"));
  EXPECT_EQ(messageOf([&] { list.Button4->click(); }),
            QStringLiteral("Érvénytelent (storno) nem lehet érvényteleníteni!"));
}

TEST_F(Cancelling, FailureAtAnyStepLeavesTheDatabaseAsItWas) {
  setSerial(QStringLiteral("64000010"));
  addPrintedTicket(QStringLiteral("64000001"));
  TicketQueries::openTicketList(QStringLiteral("f_Bszam"), QStringLiteral("64000001"));
  const QString before = snapshot();
  auto f = openDialog();
  f->Edit6->setText(QStringLiteral("2025.03.10"));
  // Another transaction's uncommitted change of a row the step writes.
  db::Transaction locker;
  locker.setConnection(Data->ZCon1);
  auto lockWith = [&](const QString &sql) {
    locker.start();
    db::Query q;
    q.setTransaction(&locker);
    q.sql().add(sql);
    q.execute();
  };
  exec(QStringLiteral("CREATE EXCEPTION E_INJECTED 'injected'"));
  struct Step {
    const char *message;
    std::function<void()> inject, undo;
  };
  const Step steps[] = {
      {"Hiba392: Újban, INSERT a Qzfejben ",
       [&] {
         exec(QStringLiteral("CREATE TRIGGER T_INJ_FEJ FOR QZFEJ BEFORE INSERT AS BEGIN "
                             "IF (NEW.F_TIPUS = '4') THEN EXCEPTION E_INJECTED; END"));
       },
       [&] { exec(QStringLiteral("DROP TRIGGER T_INJ_FEJ")); }},
      {"Hiba394: Új UPDATE QzFej -ben ",
       [&] { lockWith(QStringLiteral("UPDATE QZFEJ SET F_MEGJ = 'x' WHERE F_BSZAM = '64000001'")); },
       [&] { locker.rollback(); }},
      {"Hiba395: Újban, INSERT a Qzsorban ",
       [&] {
         exec(QStringLiteral("CREATE TRIGGER T_INJ_SOR FOR QZSOR BEFORE INSERT AS BEGIN "
                             "IF (NEW.S_BRUTTO < 0) THEN EXCEPTION E_INJECTED; END"));
       },
       [&] { exec(QStringLiteral("DROP TRIGGER T_INJ_SOR")); }},
      {"Hiba398: Új UPDATE Sorszam -ba ",
       [&] {
         exec(QStringLiteral("CREATE TRIGGER T_INJ_SZ FOR SORSZAM BEFORE UPDATE AS BEGIN "
                             "EXCEPTION E_INJECTED; END"));
       },
       [&] { exec(QStringLiteral("DROP TRIGGER T_INJ_SZ")); }},
  };
  for (const Step &step : steps) {
    step.inject();
    EXPECT_EQ(messageOf([&] { f->Button6->click(); }), QString::fromUtf8(step.message));
    step.undo();
    EXPECT_TRUE(f->isVisible()) << step.message;
    EXPECT_EQ(snapshot(), before) << step.message;
    // The dialog keeps the numbering and its serial.
    EXPECT_TRUE(f->Start());
    EXPECT_EQ(f->Edit1->text(), QStringLiteral("64000011"));
    NumberingHold other(Data->ZCon1);
    EXPECT_EQ(other.take(receiver_), NumberingHold::Status::Busy);
  }
  exec(QStringLiteral("DROP EXCEPTION E_INJECTED"));
  // With nothing in the way the same dialog creates the document.
  EXPECT_EQ(messageOf([&] { f->Button6->click(); }),
            QStringLiteral("Az érvénytelenítő bizonylat 64000011 sorszámmal elkészült!"));
  EXPECT_EQ(count(QStringLiteral("QZSOR"), QStringLiteral("S_BSZAM = '64000011'")), 2);
}

TEST_F(Cancelling, HeldNumberingOrMissingCounterOpensNothing) {
  addPrintedTicket(QStringLiteral("65000001"));
  TicketQueries::openTicketList(QStringLiteral("f_Bszam"), QStringLiteral("65000001"));
  ErvenytelenBszam = QStringLiteral("65000001");
  {
    // No SORSZAM row.
    TForm39 f(nullptr);
    bool started = true;
    EXPECT_EQ(messageOf([&] { started = f.Start(); }),
              TicketMath::serialErrorMessage(TicketMath::SerialError::Missing));
    EXPECT_FALSE(started);
  }
  setSerial(QStringLiteral("65000010"));
  const QString before = snapshot();
  NumberingHold other(Data->ZCon1);
  ASSERT_EQ(other.take(receiver_), NumberingHold::Status::Held);
  TForm39 f(nullptr);
  bool started = true;
  EXPECT_EQ(messageOf([&] { started = f.Start(); }), NumberingHold::busyMessage());
  EXPECT_FALSE(started);
  other.release();
  EXPECT_EQ(snapshot(), before);
}
