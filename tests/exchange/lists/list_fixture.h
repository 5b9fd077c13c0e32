#pragma once
// The lists' fixture: a fresh database per test with the receiver "1", three
// producers ("30" without tickets) and tickets chosen for the range ends,
// the date kinds, a missing producer, spellings, months of two years, the
// transfer mark and a cancelling document; "2" is another receiver.
#include "support/data_fixture.h"
#include "db/dataset.h"
#include "exchange/lists/ListGathers.h"

#include <QStringList>

#include <map>

namespace vorik::test {

class ListsTest : public DataModuleTest {
 protected:
  void SetUp() override {
    DataModuleTest::SetUp();
    AtvevoKod = QStringLiteral("1");
    exec("INSERT INTO atvevo (v_akod, v_neve, v_irszam, v_helyseg, v_utca, v_adoszam) "
         "VALUES ('1', 'Alföldi Termény Kft.', '6000', 'Kecskemét', 'Fő u. 1.', '12345676123')");
    exec("INSERT INTO atvevo (v_akod, v_neve) VALUES ('2', 'Másik Kft.')");
    exec("INSERT INTO ostermelo (o_kod, o_nev, o_irszam, o_helysegnev, o_utca, o_szido, o_anyja) "
         "VALUES ('10', 'Kiss Anna', '6720', 'Szeged', 'Tisza u. 2.', '1970-05-06', 'Minta Mária')");
    exec("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('20', 'Nagy Béla')");
    exec("INSERT INTO ostermelo (o_kod, o_nev) VALUES ('30', 'Tóth Ödön')");
  }
  void TearDown() override {
    AtvevoKod.clear();
    DataModuleTest::TearDown();
  }

  // A ticket header: purchase and payment dates as yyyy-mm-dd, transfer
  // mark ("x", " " or null for an empty text), type, payable.
  void ticket(const QString &serial, const QString &producer, const QString &bought, const QString &paid,
              const QString &transfer, double payable, const QString &type = QStringLiteral("1"),
              const QString &receiver = QStringLiteral("1")) {
    const QString mark = transfer.isEmpty() ? QStringLiteral("NULL") : QStringLiteral("'%1'").arg(transfer);
    exec(QStringLiteral("INSERT INTO qzfej (f_bszam, f_ostermkod, f_akod, f_felvkelt, f_fizkelt, f_utal, f_tipus, "
                        "f_muvktg) VALUES ('%1', '%2', '%3', '%4', '%5', %6, '%7', %8)")
             .arg(serial, producer, receiver, bought, paid, mark, type)
             .arg(payable));
  }
  // A line: quantity × unit price, compensation percent; no weight deduction.
  void line(const QString &serial, const QString &product, double quantity, double price, double compensation = 0,
            const QString &receiver = QStringLiteral("1")) {
    db::Query q;
    q.setTransaction(Data->IBTrans1);
    q.sql().add(QStringLiteral("INSERT INTO qzsor (s_bszam, s_megnevezes, s_brutto, s_ear, s_kompmerteke, "
                               "s_levonszaz, s_akod, s_megy) VALUES (:p1, :p2, :p3, :p4, :p5, 0, :p6, 'kg')"));
    q.paramByName(QStringLiteral("p1")).setString(serial);
    q.paramByName(QStringLiteral("p2")).setString(product);
    q.paramByName(QStringLiteral("p3")).setFloat(quantity);
    q.paramByName(QStringLiteral("p4")).setFloat(price);
    q.paramByName(QStringLiteral("p5")).setFloat(compensation);
    q.paramByName(QStringLiteral("p6")).setString(receiver);
    q.execute();
    Data->IBTrans1->commit();
  }

  // The March data: paid on the range's first day; bought on its last day,
  // paid by transfer in April; a producer with no OSTERMELO row; a ticket of
  // March of the year before; another receiver's ticket.
  void marchTickets() {
    ticket("25000001", "10", "2025-03-01", "2025-03-01", " ", 1250);
    line("25000001", "Búza", 10, 100);
    line("25000001", "Árpa", 5, 50);
    ticket("25000002", "20", "2025-03-31", "2025-04-15", "x", 230);
    line("25000002", "Zab", 1, 10);
    line("25000002", "búza", 2, 100);
    line("25000002", "Alma", 1, 20);
    ticket("25000003", "99", "2025-02-28", "2025-03-10", " ", 35);
    line("25000003", "Búza", 1, 34.5);
    ticket("24000001", "10", "2024-03-15", "2024-03-15", " ", 300);
    line("24000001", "Búza", 3, 100);
    ticket("25000009", "10", "2025-03-10", "2025-03-10", " ", 10000, "1", "2");
    line("25000009", "Búza", 100, 100, 0, "2");
  }

  // Column values of every row of q, in order, as text.
  static QStringList column(db::Query *q, const char *name) {
    QStringList out;
    if (!q->active()) return out;
    q->first();
    while (!q->eof()) {
      out << q->fieldByName(QString::fromLatin1(name)).asString();
      q->next();
    }
    return out;
  }
  // key column → number column of every row of q in the general format
  // (null values as "null").
  static std::map<QString, QString> pairs(db::Query *q, const char *key, const char *value) {
    std::map<QString, QString> out;
    q->first();
    while (!q->eof()) {
      const db::Field &v = q->fieldByName(QString::fromLatin1(value));
      out[q->fieldByName(QString::fromLatin1(key)).asString()] = v.isNull() ? QStringLiteral("null") : lists::NumberText(v.asFloat());
      q->next();
    }
    return out;
  }
};

}  // namespace vorik::test
