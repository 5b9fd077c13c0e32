// Two program instances entering tickets on one database at once, each a real
// process (this test program as "--child entry"), driven step by step so that
// the interleavings that matter happen in a known order, and then racing
// freely: no serial is issued twice, no line is lost or lands on another
// instance's ticket, an instance that cannot number writes nothing, and a dead
// instance's hold goes with it.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/tickets/NumberingHold.h"
#include "app/tickets/TicketModification.h"
#include "app/tickets/TicketPrint.h"
#include "app/tickets/TicketState.h"
#include "app/tickets/Unit10.h"
#include "app/tickets/Unit9.h"
#include "app/tickets/Unit39.h"
#include "app/tickets/TicketQueries.h"
#include "app/upgrades/Unit43.h"
#include "db/schema.h"
#include "report/core/FR_Class_Build.h"
#include "report/output/FR_Class_EMFPages.h"
#include "tools/layouts/ProgramLayouts.h"
#include "support/temp_dir.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/transaction.h"
#include "support/child_process.h"
#include "support/db_fixture.h"
#include "support/gui_driver.h"
#include "support/qt_print.h"

using namespace vorik::test;

// ---------------------------------------------------------------------------
// The child: one instance. Commands, one a line, each answered by one line
// (message boxes it met come first as "box <text>" lines):
//   open <receiver>     a new ticket entry   -> "serial <n>" or "refused"
//   line <quantity>     a line through the line dialog -> "line"
//   save <producer>     producer, OK          -> "saved" or "kept"
//   close               "Mégsem"              -> "closed"
//   race <receiver> <count> <base>
//                       count tickets of two lines each (quantities base + 1,
//                       base + 2, ...), an entry refused being tried again
//                       -> "raced <serial>,<serial>,..." (or "stopped after ...")
//   modify <receiver> <serial>
//                       the saved ticket's modification, as the list's
//                       hidden key opens it  -> "opened <serial>"
//   change <quantity>   its first line through the line dialog -> "line"
//   delete              its last line deleted -> "line"
//   ok                  OK                    -> "kept" (open) or "closed"
//   ok paused           OK, stopped just before its header write: "paused",
//                       then on "go" -> as ok
//   ok held             OK, each box it shows waiting, once its "box" line
//                       is out, for "answer"  -> as ok
//   (a line command answers "closed" when the entry closed meanwhile; a line
//   dialog its write left open is closed with "Mégsem")
//   ping                                      -> "pong" (attached and waiting)
//   quit

namespace {

int runEntryChild(const QStringList &args) {
  if (args.isEmpty()) return 1;
  TData data(nullptr);
  Data->ZCon1->setDatabaseName(args[0]);
  Data->ZCon1->open();
  TipusNormal = QStringLiteral("1");
  AtvevoNyilatk = QStringLiteral("Nyilatkozat");

  QString producer, quantity;
  bool holdBoxes = false;
  auto waitFor = [](const char *word) {
    for (std::string line; std::getline(std::cin, line) && line != word;) {}
  };
  TForm9::setProducerPicker([&](QWidget *) {
    db::Query &q = *Data->ZQ30;
    q.close();
    q.sql().clear();
    q.sql().add(QStringLiteral("SELECT * FROM OSTERMELO WHERE o_kod = :p0"));
    q.paramByName(QStringLiteral("p0")).setString(producer);
    q.open();
    return !q.isEmpty();
  });
  // Answers every box (its escape button, else its only one) and fills the
  // line dialog with the pending quantity, each once the code that showed
  // it waits in its loop.
  const OnIdle watch([&] {
    QWidget *w = activeModal();
    if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
      if (box->property("answeredByTest").toBool()) return;
      box->setProperty("answeredByTest", true);
      tellParent(QStringLiteral("box ") + box->property("rawText").toString());
      if (holdBoxes) waitFor("answer");
      QAbstractButton *b = box->escapeButton() ? box->escapeButton() : box->buttons().value(0);
      if (b) QMetaObject::invokeMethod(b, &QAbstractButton::click, Qt::QueuedConnection);
    } else if (auto *line = qobject_cast<TForm10 *>(w); line && !quantity.isEmpty()) {
      line->Edit3->setText(QStringLiteral("alma"));
      line->Edit4->setText(QStringLiteral("0808"));
      line->Edit5->setText(quantity);
      line->Edit6->setText(QStringLiteral("kg"));
      line->Edit7->setText(QStringLiteral("100"));
      line->Edit8->setText(QStringLiteral("0"));
      quantity.clear();
      line->setProperty("filledByTest", true);
      click(line, QStringLiteral("Button3"));
    } else if (line && line->property("filledByTest").toBool()) {
      line->setProperty("filledByTest", false);
      click(line, QStringLiteral("Button6"));  // its write failed
    }
  });

  std::unique_ptr<TForm9> form;
  std::string input;
  while (std::getline(std::cin, input)) {
    const QStringList words = QString::fromStdString(input).split(QLatin1Char(' '));
    const QString command = words.value(0);
    const QString arg = words.value(1);
    if (command == QLatin1String("open")) {
      AtvevoKod = arg;
      JegyMod = kJegyModUj;
      form = std::make_unique<TForm9>(nullptr);
      if (form->StartNew()) {
        form->show();
        QApplication::processEvents();
        tellParent(QStringLiteral("serial ") + form->Edit1->text());
      } else {
        form.reset();
        tellParent(QStringLiteral("refused"));
      }
    } else if (command == QLatin1String("modify")) {
      AtvevoKod = arg;
      TicketQueries::openTicketList(QStringLiteral("f_Bszam"), words.value(2));
      JegyMod = kJegyModModositas;
      form = std::make_unique<TForm9>(nullptr);
      form->LoadTicket();
      form->show();
      QApplication::processEvents();
      tellParent(QStringLiteral("opened ") + form->Edit1->text());
    } else if ((command == QLatin1String("line") || command == QLatin1String("change") ||
                command == QLatin1String("delete")) && form) {
      quantity = arg;
      if (command == QLatin1String("line")) {
        form->Button2->click();
      } else if (command == QLatin1String("change")) {
        Data->ZQ20->first();
        form->Button8->click();
      } else {
        Data->ZQ20->last();
        form->Button9->click();
      }
      tellParent(form->isVisible() ? QStringLiteral("line") : QStringLiteral("closed"));
    } else if (command == QLatin1String("ok") && form) {
      holdBoxes = arg == QLatin1String("held");
      if (arg == QLatin1String("paused"))
        TForm9::setBeforeSave([&] {
          tellParent(QStringLiteral("paused"));
          waitFor("go");
        });
      form->Button6->click();
      TForm9::setBeforeSave({});
      tellParent(form->isVisible() ? QStringLiteral("kept") : QStringLiteral("closed"));
    } else if (command == QLatin1String("save") && form) {
      producer = arg;
      form->Button1->click();
      form->Edit11->setText(form->Edit10->text());
      form->Button6->click();
      tellParent(form->isVisible() ? QStringLiteral("kept") : QStringLiteral("saved"));
    } else if (command == QLatin1String("close") && form) {
      form->reject();
      form.reset();
      tellParent(QStringLiteral("closed"));
    } else if (command == QLatin1String("race")) {
      AtvevoKod = arg;
      producer = QStringLiteral("00001");
      int next = words.value(3).toInt();
      QStringList serials;
      for (int i = words.value(2).toInt(); i > 0; --i) {
        JegyMod = kJegyModUj;
        for (int tries = 0; !form && tries < 5000; ++tries) {
          form = std::make_unique<TForm9>(nullptr);
          if (form->StartNew()) break;
          form.reset();
          QThread::msleep(2);
        }
        if (!form) break;
        form->show();
        for (int k = 0; k < 2; ++k) {
          quantity = QString::number(++next);
          form->Button2->click();
        }
        form->Button1->click();
        form->Edit11->setText(form->Edit10->text());
        form->Button6->click();
        if (form->isVisible()) break;
        serials << form->Edit1->text();
        form.reset();
      }
      const bool finished = !form && serials.size() == words.value(2).toInt();
      tellParent(finished ? QStringLiteral("raced ") + serials.join(QLatin1Char(','))
                     : QStringLiteral("stopped after ") + serials.join(QLatin1Char(',')));
    } else if (command == QLatin1String("ping")) {
      tellParent(QStringLiteral("pong"));
    } else if (command == QLatin1String("quit")) {
      break;
    } else {
      tellParent(QStringLiteral("unknown"));
    }
  }
  form.reset();
  TForm9::setProducerPicker({});
  return 0;
}

const ChildMode kEntry("entry", runEntryChild);

}  // namespace

// ---------------------------------------------------------------------------
// The parent.

namespace {

class Instance {
 public:
  explicit Instance(const QString &database) : child_({QStringLiteral("entry"), database}) {}
  ~Instance() {
    child_.send("quit");
    child_.wait(10000);
  }
  // The reply to command; the texts of the boxes the instance met go to boxes.
  QString send(const QString &command, QStringList *boxes = nullptr) {
    post(command);
    return reply(boxes);
  }
  void post(const QString &command) { child_.send(command.toUtf8()); }
  QString reply(QStringList *boxes = nullptr) {
    for (;;) {
      const QString line = QString::fromUtf8(child_.waitFor(""));
      if (line.isEmpty()) return QStringLiteral("no reply");
      if (!line.startsWith(QLatin1String("box "))) return line;
      if (boxes) *boxes << line.mid(4);
    }
  }
  // The text of the next box the instance shows (holding it: "ok held").
  QString box() { return QString::fromUtf8(child_.waitFor("box ")).mid(4); }
  // Ends the process as a crash would: no rollback, no detach.
  void kill() { child_.kill(); }

 private:
  Child child_;
};

class TwoInstances : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char *sql :
         {"INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('R1', 'Első átvevő')",
          "INSERT INTO ATVEVO (V_AKOD, V_NEVE) VALUES ('R2', 'Második átvevő')",
          "INSERT INTO SORSZAM (A_AKOD, A_QZBSZAM) VALUES ('R1', '45000000')",
          "INSERT INTO SORSZAM (A_AKOD, A_QZBSZAM) VALUES ('R2', '46000000')",
          "INSERT INTO OSTERMELO (O_KOD, O_NEV, O_SZJA, O_FELIR) VALUES ('00001', 'Termelő', 0, "
          "'AB1234567')"})
      db_.exec(QString::fromUtf8(sql));
    path_ = db_.path();
  }

  QStringList column(const QString &sql) {
    auto q = db_.query();
    q->sql().add(sql);
    q->open();
    QStringList out;
    for (q->first(); !q->eof(); q->next()) out << q->field(0).asString().trimmed();
    db_.transaction().commit();
    return out;
  }
  // The quantities of the lines stored under serial, in the order written.
  QStringList linesOf(const QString &serial) {
    return column(
        QStringLiteral("SELECT S_BRUTTO FROM QZSOR WHERE S_BSZAM = '%1' ORDER BY ID_QZSOR")
            .arg(serial));
  }
  QStringList headers(const QString &receiver) {
    return column(
        QStringLiteral("SELECT F_BSZAM FROM QZFEJ WHERE F_AKOD = '%1' ORDER BY F_BSZAM")
            .arg(receiver));
  }
  QString counter(const QString &receiver) {
    return column(QStringLiteral("SELECT A_QZBSZAM FROM SORSZAM WHERE A_AKOD = '%1'")
                      .arg(receiver))
        .value(0);
  }
  // What holds for the whole database after every run: each serial once, no
  // line without its header, the price total of each header its lines' sum.
  void expectConsistent() {
    EXPECT_EQ(column(QStringLiteral(
                  "SELECT F_BSZAM FROM QZFEJ GROUP BY F_BSZAM HAVING COUNT(*) > 1")),
              QStringList());
    EXPECT_EQ(column(QStringLiteral("SELECT S_BSZAM FROM QZSOR WHERE NOT EXISTS (SELECT 1 FROM "
                                    "QZFEJ WHERE F_BSZAM = S_BSZAM)")),
              QStringList());
    EXPECT_EQ(column(QStringLiteral("SELECT F_BSZAM FROM QZFEJ WHERE F_SUMVAR <> (SELECT "
                                    "SUM(S_VETELAR) FROM QZSOR WHERE S_BSZAM = F_BSZAM)")),
              QStringList());
  }

  TestDatabase db_;
  QString path_;
};

}  // namespace

TEST_F(TwoInstances, TheSecondEntryOfAReceiverIsRefusedUntilTheFirstIsSaved) {
  Instance a(path_), b(path_);
  EXPECT_EQ(a.send(QStringLiteral("open R1")), QStringLiteral("serial 45000001"));
  EXPECT_EQ(a.send(QStringLiteral("line 1")), QStringLiteral("line"));
  QStringList boxes;
  EXPECT_EQ(b.send(QStringLiteral("open R1"), &boxes), QStringLiteral("refused"));
  EXPECT_EQ(boxes, QStringList{NumberingHold::busyMessage()});
  // The refused entry wrote nothing: the first one's line is still there,
  // and the first goes on.
  EXPECT_EQ(linesOf(QStringLiteral("45000001")), QStringList{QStringLiteral("1")});
  EXPECT_EQ(a.send(QStringLiteral("line 2")), QStringLiteral("line"));
  EXPECT_EQ(b.send(QStringLiteral("open R1")), QStringLiteral("refused"));
  EXPECT_EQ(a.send(QStringLiteral("save 00001")), QStringLiteral("saved"));
  // The save released the numbering, and moved it on.
  EXPECT_EQ(b.send(QStringLiteral("open R1")), QStringLiteral("serial 45000002"));
  EXPECT_EQ(b.send(QStringLiteral("line 10")), QStringLiteral("line"));
  EXPECT_EQ(a.send(QStringLiteral("open R1")), QStringLiteral("refused"));
  EXPECT_EQ(b.send(QStringLiteral("save 00001")), QStringLiteral("saved"));

  EXPECT_EQ(headers(QStringLiteral("R1")),
            (QStringList{QStringLiteral("45000001"), QStringLiteral("45000002")}));
  EXPECT_EQ(linesOf(QStringLiteral("45000001")),
            (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
  EXPECT_EQ(linesOf(QStringLiteral("45000002")), QStringList{QStringLiteral("10")});
  EXPECT_EQ(counter(QStringLiteral("R1")), QStringLiteral("45000002"));
  expectConsistent();
}

TEST_F(TwoInstances, AnAbandonedOrDeadEntryLeavesItsSerialAndLinesToTheNext) {
  Instance a(path_), b(path_);
  // Abandoned with "Mégsem": its lines go with it, and the next entry takes
  // the same serial.
  EXPECT_EQ(a.send(QStringLiteral("open R1")), QStringLiteral("serial 45000001"));
  EXPECT_EQ(a.send(QStringLiteral("line 3")), QStringLiteral("line"));
  EXPECT_EQ(b.send(QStringLiteral("open R1")), QStringLiteral("refused"));
  EXPECT_EQ(a.send(QStringLiteral("close")), QStringLiteral("closed"));
  EXPECT_EQ(linesOf(QStringLiteral("45000001")), QStringList());
  EXPECT_EQ(b.send(QStringLiteral("open R1")), QStringLiteral("serial 45000001"));
  EXPECT_EQ(linesOf(QStringLiteral("45000001")), QStringList());
  EXPECT_EQ(b.send(QStringLiteral("line 30")), QStringLiteral("line"));
  EXPECT_EQ(b.send(QStringLiteral("save 00001")), QStringLiteral("saved"));

  // An instance that dies with the entry open (no rollback, no detach): its
  // hold goes with the process.
  EXPECT_EQ(a.send(QStringLiteral("open R1")), QStringLiteral("serial 45000002"));
  EXPECT_EQ(a.send(QStringLiteral("line 4")), QStringLiteral("line"));
  a.kill();
  EXPECT_EQ(b.send(QStringLiteral("open R1")), QStringLiteral("serial 45000002"));
  EXPECT_EQ(b.send(QStringLiteral("line 40")), QStringLiteral("line"));
  EXPECT_EQ(b.send(QStringLiteral("save 00001")), QStringLiteral("saved"));

  EXPECT_EQ(linesOf(QStringLiteral("45000001")), QStringList{QStringLiteral("30")});
  EXPECT_EQ(linesOf(QStringLiteral("45000002")), QStringList{QStringLiteral("40")});
  EXPECT_EQ(counter(QStringLiteral("R1")), QStringLiteral("45000002"));
  expectConsistent();
}

TEST_F(TwoInstances, DifferentReceiversNumberSideBySide) {
  Instance a(path_), b(path_);
  EXPECT_EQ(a.send(QStringLiteral("open R1")), QStringLiteral("serial 45000001"));
  EXPECT_EQ(b.send(QStringLiteral("open R2")), QStringLiteral("serial 46000001"));
  EXPECT_EQ(a.send(QStringLiteral("line 5")), QStringLiteral("line"));
  EXPECT_EQ(b.send(QStringLiteral("line 50")), QStringLiteral("line"));
  EXPECT_EQ(a.send(QStringLiteral("line 6")), QStringLiteral("line"));
  EXPECT_EQ(b.send(QStringLiteral("save 00001")), QStringLiteral("saved"));
  EXPECT_EQ(a.send(QStringLiteral("save 00001")), QStringLiteral("saved"));
  EXPECT_EQ(linesOf(QStringLiteral("45000001")),
            (QStringList{QStringLiteral("5"), QStringLiteral("6")}));
  EXPECT_EQ(linesOf(QStringLiteral("46000001")), QStringList{QStringLiteral("50")});
  EXPECT_EQ(counter(QStringLiteral("R1")), QStringLiteral("45000001"));
  EXPECT_EQ(counter(QStringLiteral("R2")), QStringLiteral("46000001"));
  expectConsistent();
}

TEST_F(TwoInstances, RacingForTheSameReceiverNeverSharesASerialOrALine) {
  // Both run freely: every interleaving the timing brings.
  Instance a(path_), b(path_);
  const int tickets = 12;
  ASSERT_EQ(a.send(QStringLiteral("ping")), QStringLiteral("pong"));
  ASSERT_EQ(b.send(QStringLiteral("ping")), QStringLiteral("pong"));
  a.post(QStringLiteral("race R1 %1 1000").arg(tickets));
  b.post(QStringLiteral("race R1 %1 2000").arg(tickets));
  QStringList boxes;
  const QString ra = a.reply(&boxes), rb = b.reply(&boxes);
  ASSERT_TRUE(ra.startsWith(QLatin1String("raced "))) << ra.toStdString();
  ASSERT_TRUE(rb.startsWith(QLatin1String("raced "))) << rb.toStdString();
  const QStringList sa = ra.mid(6).split(QLatin1Char(','));
  const QStringList sb = rb.mid(6).split(QLatin1Char(','));
  ASSERT_EQ(sa.size(), tickets);
  ASSERT_EQ(sb.size(), tickets);
  // Every refusal on the way (usually dozens) told the user why.
  boxes.removeAll(NumberingHold::busyMessage());
  EXPECT_EQ(boxes, QStringList());
  // Each instance's tickets carry exactly its own lines, in its order.
  for (int i = 0; i < tickets; ++i) {
    EXPECT_EQ(linesOf(sa[i]), (QStringList{QString::number(1000 + 2 * i + 1),
                                           QString::number(1000 + 2 * i + 2)}))
        << sa[i].toStdString();
    EXPECT_EQ(linesOf(sb[i]), (QStringList{QString::number(2000 + 2 * i + 1),
                                           QString::number(2000 + 2 * i + 2)}))
        << sb[i].toStdString();
  }
  // The serials are the next 2 x tickets of the receiver, none twice.
  QStringList all = sa + sb;
  all.sort();
  QStringList expected;
  for (int i = 1; i <= 2 * tickets; ++i) expected << QString::number(45000000 + i);
  EXPECT_EQ(all, expected);
  EXPECT_EQ(headers(QStringLiteral("R1")), expected);
  EXPECT_EQ(counter(QStringLiteral("R1")), expected.last());
  expectConsistent();
}

// ---------------------------------------------------------------------------
// Another instance in the way of a cancelling and of a schema upgrade.

namespace {

// Runs action, which opens one box, and answers it; returns its text.
QString boxOf(const std::function<void()> &action) {
  ModalScript script;
  MessageSeen seen;
  script.then([&seen](QWidget *box) {
    seen = readMessage(box);
    click(box, seen.buttons.value(0));
  });
  script.run(action, 10000);
  EXPECT_TRUE(script.done()) << script.failure().toStdString();
  return seen.text;
}

}  // namespace

TEST_F(TwoInstances, CancellingWaitsForAnotherInstancesEntryAndWritesNothing) {
  db_.exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_AKOD, F_OSTERMKOD, F_KELT, F_PRN, F_TIPUS, "
                          "F_MUVKTG, F_SUMVAR) VALUES ('44000001', 'R1', '00001', '2025-03-10', 'I', '1', "
                          "850, 1000)"));
  db_.exec(QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_BRUTTO, S_EAR, S_AKOD, S_LEVONSZAZ) VALUES "
                          "('44000001', 10, 100, 'R1', 0)"));
  Instance a(path_);
  EXPECT_EQ(a.send(QStringLiteral("open R1")), QStringLiteral("serial 45000001"));
  TData data(nullptr);
  Data->ZCon1->setDatabaseName(path_);
  Data->ZCon1->open();
  AtvevoKod = QStringLiteral("R1");
  TipusErvenytelenito = QStringLiteral("4");
  TicketQueries::openTicketList(QStringLiteral("f_Bszam"), QStringLiteral("44000001"));
  ErvenytelenBszam = QStringLiteral("44000001");
  {
    TForm39 f(nullptr);
    bool started = true;
    EXPECT_EQ(boxOf([&] { started = f.Start(); }), NumberingHold::busyMessage());
    EXPECT_FALSE(started);
  }
  EXPECT_EQ(counter(QStringLiteral("R1")), QStringLiteral("45000000"));
  EXPECT_EQ(headers(QStringLiteral("R1")), QStringList{QStringLiteral("44000001")});
  // Once the other entry is closed the cancelling takes the serial it held.
  EXPECT_EQ(a.send(QStringLiteral("close")), QStringLiteral("closed"));
  TForm39 f(nullptr);
  ASSERT_TRUE(f.Start());
  f.Edit6->setText(QStringLiteral("2025.03.10"));
  ASSERT_TRUE(f.WriteDocument());
  EXPECT_EQ(counter(QStringLiteral("R1")), QStringLiteral("45000001"));
  EXPECT_EQ(headers(QStringLiteral("R1")),
            (QStringList{QStringLiteral("44000001"), QStringLiteral("45000001")}));
  EXPECT_EQ(linesOf(QStringLiteral("45000001")), QStringList{QStringLiteral("-10")});
}

TEST_F(TwoInstances, SchemaUpgradeWaitsUntilTheOtherInstanceHasGone) {
  TempDir dir;
  const QString old = createTestDatabase(dir.path(), db::SchemaVariant::Old);
  TData data(nullptr);
  Data->ZCon1->setDatabaseName(old);
  Data->ZCon1->open();
  auto hasNebih = [] {
    return firstValueApart(*Data->ZCon1,
                           QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE "
                                          "RDB$RELATION_NAME = 'OSTERMELO' AND RDB$FIELD_NAME = 'O_IGSZAM1'"));
  };
  TForm43 f(nullptr);
  {
    Instance other(old);
    EXPECT_EQ(other.send(QStringLiteral("ping")), QStringLiteral("pong"));
    EXPECT_EQ(boxOf([&] { f.Button1->click(); }), Upgrade::inUseMessage());
    EXPECT_EQ(hasNebih(), QStringLiteral("0"));
  }
  EXPECT_EQ(boxOf([&] { f.Button1->click(); }), QStringLiteral("Módositás végrehajtva."));
  EXPECT_EQ(hasNebih(), QStringLiteral("1"));
}

// ---------------------------------------------------------------------------
// A saved ticket's modification in one instance while the other prints or
// cancels it, and a modification killed at each step.

namespace {

class TicketModifications : public TwoInstances {
 protected:
  // A saved cash ticket of R1, tax 0, with one line of 10 kg at 100 Ft:
  // price total and payable 1000.
  void addTicket(const QString &serial, bool printed) {
    db_.exec(QStringLiteral("INSERT INTO QZFEJ (F_BSZAM, F_AKOD, F_OSTERMKOD, F_KELT, F_FELVKELT, F_FIZKELT, "
                            "F_UTAL, F_PRN, F_SZJA, F_JARULSZAZ, F_LEVONAS, F_NYILATK, F_TIPUS, F_MUVKTG, "
                            "F_SUMVAR) VALUES ('%1', 'R1', '00001', '2025-03-10', '2025-03-10', "
                            "'2025-03-10', ' ', '%2', 0, 0, 0, ' ', '1', 1000, 1000)")
                 .arg(serial, printed ? QStringLiteral("I") : QStringLiteral(" ")));
    db_.exec(QStringLiteral("INSERT INTO QZSOR (S_BSZAM, S_MEGNEVEZES, S_VTSZ, S_BRUTTO, S_MEGY, S_EAR, "
                            "S_KOMPMERTEKE, S_AKOD, S_LEVONSZAZ) VALUES ('%1', 'alma', '0808', 10, "
                            "'kg', 100, 0, 'R1', 0)")
                 .arg(serial));
  }
  QString header(const QString &serial, const char *name) {
    return column(QStringLiteral("SELECT %1 FROM QZFEJ WHERE F_BSZAM = '%2'").arg(QLatin1String(name), serial))
        .value(0);
  }
  // Its lines, payable and price total as the ticket was saved.
  void expectAsSaved(const QString &serial) {
    EXPECT_EQ(linesOf(serial), QStringList{QStringLiteral("10")});
    EXPECT_EQ(header(serial, "F_MUVKTG"), QStringLiteral("1000"));
    EXPECT_EQ(header(serial, "F_SUMVAR"), QStringLiteral("1000"));
  }
  // The other instance's print: the printed mark, committed.
  void print(const QString &serial) {
    db_.exec(QStringLiteral("UPDATE QZFEJ SET F_PRN = 'I' WHERE F_BSZAM = '%1'").arg(serial));
  }
  // The other instance's "Nyomtat" (this process, with the program's
  // layout), and meanwhile, between its read and its mark, this one's step:
  // the payable on its paper, or "" when it printed nothing.
  // With atBox, a print that stops at one message runs it while that box waits.
  // atBox runs at each box the print shows; a layout given as bytes stands
  // in for the program's, and its two boxes (the engine's and ours) are met.
  QString printWhile(const QString &serial, const std::function<void()> &meanwhile,
                     const std::function<void()> &atBox = {}, const QByteArray &layoutBytes = {}) {
    TempDir dir;
    for (const auto &layout : report::layouts::ProgramLayouts()) {
      if (layout.fileName != TicketPrint::LayoutFileName(QString())) continue;
      report::TfrReport r;
      layout.build(r);
      r.SaveToFile(dir.file(layout.fileName));
      if (!layoutBytes.isEmpty()) writeFile(dir.file(layout.fileName), layoutBytes);
    }
    const QString previous = QDir::currentPath();
    EXPECT_TRUE(QDir::setCurrent(dir.path()));
    TData data(nullptr);
    Data->ZCon1->setDatabaseName(path_);
    Data->ZCon1->open();
    AtvevoKod = QStringLiteral("R1");
    TipusNormal = QStringLiteral("1");
    JegyVariant.clear();
    NyomtatMod = QStringLiteral("Nyomtat");
    FizetendoSzoveg.clear();
    TicketQueries::openTicketList(QStringLiteral("f_Bszam"), serial);
    const auto preview = report::frShowPreview;
    int pages = 0;
    report::frShowPreview = [&](report::TfrReport &, std::unique_ptr<report::TfrEMFPages> shown, const QString &,
                                bool) { pages = shown->Count(); };
    TicketPrint::setBeforeMark(meanwhile);
    ModalScript script;
    for (int i = layoutBytes.isEmpty() ? 1 : 2; i > 0; --i)
      script.then([&](QWidget *box) {
        atBox();
        answer(QMessageBox::Ok)(box);
      });
    if (atBox) EXPECT_TRUE(script.run([] { TicketPrint::PrintTicket(nullptr); }));
    else answerBoxes([] { TicketPrint::PrintTicket(nullptr); });
    TicketPrint::setBeforeMark({});
    report::frShowPreview = preview;
    QDir::setCurrent(previous);
    return pages > 0 ? FizetendoSzoveg : QString();
  }
  // The other instance's "Érvénytelenit" (this process, through the
  // cancelling dialog): the serial of the cancelling document.
  QString cancel(const QString &serial) {
    TData data(nullptr);
    Data->ZCon1->setDatabaseName(path_);
    Data->ZCon1->open();
    AtvevoKod = QStringLiteral("R1");
    TipusNormal = QStringLiteral("1");
    TipusErvenytelenito = QStringLiteral("4");
    TicketQueries::openTicketList(QStringLiteral("f_Bszam"), serial);
    ErvenytelenBszam = serial;
    TForm39 f(nullptr);
    if (!f.Start()) return QString();
    f.Edit6->setText(QStringLiteral("2025.03.10"));
    return f.WriteDocument() ? f.Edit1->text() : QString();
  }
};

}  // namespace

TEST_F(TicketModifications, APrintOrCancellingByAnotherInstanceRefusesTheModification) {
  // A's steps, and the other instance's "print" and "cancel" between them.
  struct Case {
    const char *name;
    bool printedAtOpen;  // opened through the hidden key
    QStringList steps;
    QString lastReply;
    QStringList boxes;   // what A was told
  };
  const QString printed = QStringLiteral("Már kinyomtatták");
  const QString cancelled = QStringLiteral("Már érvénytelenítve van!");
  const QString lineDeleted = QStringLiteral("Az tételsor törölve!");
  const Case cases[] = {
      {"printed, then a line changed", false, {"print", "change 50"}, "closed", {printed}},
      {"printed, then a line added", false, {"print", "line 5"}, "closed", {printed}},
      {"printed, then a line deleted", false, {"print", "delete"}, "closed", {printed}},
      {"printed, then OK", false, {"print", "ok"}, "closed", {printed}},
      {"a line changed, printed, OK", false, {"change 50", "print", "ok"}, "closed", {printed}},
      {"a line changed, printed, Mégsem", false, {"change 50", "print", "close"}, "closed", {printed}},
      // The print holds the header from its read to its mark: A's OK in
      // between fails, and once the mark is there it is refused.
      {"a line changed, OK while printed, OK", false, {"change 50", "print, ok meanwhile", "ok"}, "closed",
       {QStringLiteral("busy"), printed}},
      {"a line changed, printed and cancelled, OK", false, {"change 50", "print", "cancel", "ok"}, "closed",
       {cancelled}},
      {"hidden key, cancelled, then a line changed", true, {"cancel", "change 50"}, "closed", {cancelled}},
      {"hidden key, a line deleted, cancelled, Mégsem", true, {"line 5", "delete", "cancel", "close"}, "closed",
       {lineDeleted, cancelled}},
      // Stored: nobody printed, or it was printed already when opened.
      {"nobody in between", false, {"change 50", "line 5", "ok"}, "closed", {}},
      {"hidden key, printed again", true, {"change 50", "print", "line 5", "ok"}, "closed", {}},
  };
  int serial = 44000000;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const QString ticket = QString::number(++serial);
    addTicket(ticket, c.printedAtOpen);
    Instance a(path_);
    ASSERT_EQ(a.send(QStringLiteral("modify R1 ") + ticket), QStringLiteral("opened ") + ticket);
    QString reply, document, paper;
    QStringList boxes;
    for (const QString &step : c.steps) {
      if (step == QLatin1String("print")) print(ticket);
      else if (step == QLatin1String("print, ok meanwhile"))
        paper = printWhile(ticket, [&] { reply = a.send(QStringLiteral("ok"), &boxes); });
      else if (step == QLatin1String("cancel")) ASSERT_FALSE((document = cancel(ticket)).isEmpty());
      else reply = a.send(step, &boxes);
    }
    EXPECT_EQ(reply, c.lastReply);
    EXPECT_EQ(boxes, QStringList(c.boxes).replaceInStrings(QStringLiteral("busy"), TicketModification::busyMessage(ticket)));
    if (c.steps.contains(QStringLiteral("print, ok meanwhile"))) {
      // The paper shows what the ticket marked printed holds.
      EXPECT_EQ(paper, header(ticket, "F_MUVKTG"));
      EXPECT_EQ(header(ticket, "F_PRN"), QStringLiteral("I"));
    }
    if (c.boxes.contains(printed) || c.boxes.contains(cancelled)) {
      // Nothing of the modification is stored; what the other instance did stays.
      expectAsSaved(ticket);
      EXPECT_EQ(header(ticket, "F_PRN"), QStringLiteral("I"));
      EXPECT_EQ(header(ticket, "F_ERVENYT"), document);
      if (!document.isEmpty()) {
        // The cancelling document negates what the ticket holds.
        EXPECT_EQ(linesOf(document), QStringList{QStringLiteral("-10")});
        EXPECT_EQ(header(document, "F_MUVKTG"), QStringLiteral("-1000"));
      }
    } else {
      EXPECT_EQ(linesOf(ticket), (QStringList{QStringLiteral("50"), QStringLiteral("5")}));
      EXPECT_EQ(header(ticket, "F_MUVKTG"), QStringLiteral("5500"));
      EXPECT_EQ(header(ticket, "F_PRN"), QString());  // saving clears the mark
    }
  }
  expectConsistent();
}

TEST_F(TicketModifications, AKilledModificationLeavesTheTicketAsItWasSaved) {
  const QString ticket = QStringLiteral("44000001");
  addTicket(ticket, false);
  // Killed (no rollback, no detach) after each step of a modification.
  const QStringList runs[] = {
      {},
      {"change 50"},
      {"line 5"},
      {"line 5", "delete"},
      {"change 50", "line 5", "delete"},
  };
  for (const QStringList &steps : runs) {
    SCOPED_TRACE(steps.join(QLatin1String(", ")).toStdString());
    Instance a(path_);
    ASSERT_EQ(a.send(QStringLiteral("modify R1 ") + ticket), QStringLiteral("opened ") + ticket);
    for (const QString &step : steps) ASSERT_EQ(a.send(step), QStringLiteral("line"));
    a.kill();
    expectAsSaved(ticket);
    expectConsistent();
  }
  // Nothing of the dead ones stands in the way of the next modification.
  Instance b(path_);
  ASSERT_EQ(b.send(QStringLiteral("modify R1 ") + ticket), QStringLiteral("opened ") + ticket);
  EXPECT_EQ(b.send(QStringLiteral("change 50")), QStringLiteral("line"));
  EXPECT_EQ(b.send(QStringLiteral("ok")), QStringLiteral("closed"));
  EXPECT_EQ(linesOf(ticket), QStringList{QStringLiteral("50")});
  EXPECT_EQ(header(ticket, "F_MUVKTG"), QStringLiteral("5000"));
  expectConsistent();
}

TEST_F(TicketModifications, TwoModificationsOfOneTicketNeverLoseAnUpdate) {
  // The steps of instances a and b; "b ok paused" stops b's OK just before its
  // header write while the next step runs. What they were told, and the lines stored.
  const struct {
    const char *steps, *told, *lines;
  } cases[] = {
      {"a modify,a change 50,b modify,b change 30,a ok,b change 30", "busy,changed", "50"},
      {"a modify,a change 50,b modify,b delete,a ok,b ok", "busy,changed", "50"},
      {"b modify,b line 5,a modify,a change 50,a ok,b close", "changed", "50"},
      {"b modify,a modify,a line 5,b ok paused,a ok", "changed", "10,5"},
      {"a modify,a change 50,a ok,b modify,b change 30,b ok", "", "30"},
  };
  int serial = 44100000;
  for (const auto &c : cases) {
    SCOPED_TRACE(c.steps);
    const QString ticket = QString::number(++serial);
    addTicket(ticket, false);
    QStringList told;
    bool paused = false;
    Instance a(path_), b(path_);
    for (QString step : QString::fromLatin1(c.steps).split(QLatin1Char(','))) {
      if (step.endsWith(QLatin1String("modify"))) step += QStringLiteral(" R1 ") + ticket;
      Instance &who = step.startsWith(QLatin1Char('a')) ? a : b;
      QString reply = who.send(step.mid(2), &told);
      if (paused) {
        b.post(QStringLiteral("go"));
        reply = b.reply(&told);
      }
      paused = reply == QLatin1String("paused");
      EXPECT_NE(reply, QStringLiteral("no reply")) << step.toStdString();
    }
    QStringList expected = QString::fromLatin1(c.told).split(QLatin1Char(','), Qt::SkipEmptyParts);
    expected.replaceInStrings(QStringLiteral("busy"), TicketModification::busyMessage(ticket))
        .replaceInStrings(QStringLiteral("changed"), TicketModification::changedMessage(ticket));
    EXPECT_EQ(told, expected);
    EXPECT_EQ(linesOf(ticket), QString::fromLatin1(c.lines).split(QLatin1Char(',')));
  }
  // Every header's totals are its lines'.
  expectConsistent();
}

TEST_F(TicketModifications, NoLockWaitsOnAMessageBox) {
  // While the box of a modification refused at its OK (the ticket printed
  // meanwhile), or of a print whose producer is gone, waits, the ticket's
  // rows are free for another program.
  auto rowsFree = [&](const QString &serial) {
    Attachment other(path_);
    try {
      other.value(QStringLiteral("SELECT F_BSZAM FROM QZFEJ WHERE F_BSZAM = '%1' WITH LOCK").arg(serial));
      return other.value(QStringLiteral("SELECT S_BSZAM FROM QZSOR WHERE S_BSZAM = '%1' WITH LOCK").arg(serial)).isValid();
    } catch (const db::Error &) {
      return false;
    }
  };
  addTicket(QStringLiteral("44200001"), false);
  Instance a(path_);
  ASSERT_EQ(a.send(QStringLiteral("modify R1 44200001")), QStringLiteral("opened 44200001"));
  ASSERT_EQ(a.send(QStringLiteral("change 50")), QStringLiteral("line"));
  print(QStringLiteral("44200001"));
  a.post(QStringLiteral("ok held"));
  EXPECT_EQ(a.box(), TicketModification::printedMessage());
  EXPECT_TRUE(rowsFree(QStringLiteral("44200001")));
  a.post(QStringLiteral("answer"));
  EXPECT_EQ(a.reply(), QStringLiteral("closed"));
  expectAsSaved(QStringLiteral("44200001"));

  addTicket(QStringLiteral("44200002"), false);
  db_.exec(QStringLiteral("UPDATE QZFEJ SET F_OSTERMKOD = '99999' WHERE F_BSZAM = '44200002'"));
  bool free = false;
  EXPECT_EQ(printWhile(QStringLiteral("44200002"), {}, [&] { free = rowsFree(QStringLiteral("44200002")); }),
            QString());
  EXPECT_TRUE(free);
  // A layout of a version the engine does not know: its box and ours.
  int freeAtBoxes = 0;
  addTicket(QStringLiteral("44200003"), false);
  EXPECT_EQ(printWhile(QStringLiteral("44200003"), {}, [&] { freeAtBoxes += rowsFree(QStringLiteral("44200003")); },
                       QByteArray(1, '\xff')),
            QString());
  EXPECT_EQ(freeAtBoxes, 2);
}
