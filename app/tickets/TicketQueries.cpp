#include "app/tickets/TicketQueries.h"

#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/logging.h"
#include "app/tickets/NumberingHold.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/keyset.h"
#include "platform/dialogs.h"
#include "platform/error_text.h"

#include <exception>

namespace TicketQueries {

void setSql(db::Query &q, const QStringList &lines) { q.setSql(lines); }

db::ListSpec ticketList(const QString &orderBy) {
  // Every stored header column. The producer's columns come from
  // ProducerLookup: with a hundred thousand tickets the outer join with the
  // producers (and the derived header columns) took as long again as the
  // headers themselves. Only the order by name needs the join.
  const bool byName = orderBy.compare(QLatin1String("o_nev"), Qt::CaseInsensitive) == 0;
  db::ListSpec list;
  list.columns = QStringLiteral("ID_QZFEJ, F_BSZAM, F_OSTERMKOD, F_KELT, F_FELVKELT, F_FIZKELT, F_UTAL, F_PRN, "
                                "F_SZJA, F_JARULSZAZ, F_LEVONAS, F_MEGJ, F_NYILATK, F_AKOD, F_MUVKTG, F_TIPUS, "
                                "F_SUMVAR, F_ERVENYT, F_PIPA") +
                 QLatin1String(byName ? ", Ostermelo.O_NEV" : "");
  list.from = byName ? QStringLiteral("QzFej LEFT JOIN ostermelo ON QzFej.f_ostermkod = Ostermelo.o_kod")
                     : QStringLiteral("QzFej");
  list.where = QStringLiteral("f_akod = :p1");
  list.identity = QStringLiteral("ID_QZFEJ");
  // The list is read around its position a batch at a time. The serial
  // identifies a ticket and orders alone, and every header is written with
  // one (the column defaults to a blank): taken as never null, the batches
  // before the position walk the serial index from the position only. The
  // other orders end in the header's ID.
  if (orderBy.compare(QLatin1String("f_Bszam"), Qt::CaseInsensitive) == 0) {
    list.order = {{orderBy, QStringLiteral("F_BSZAM"), false}};
  } else {
    // Names in the Hungarian order of the producer list.
    list.order = {{byName ? QStringLiteral("Ostermelo.o_nev") : orderBy, byName ? QStringLiteral("O_NEV") : orderBy,
                   true, byName ? QStringLiteral("HUN_ABC") : QString()},
                  {QStringLiteral("ID_QZFEJ"), QStringLiteral("ID_QZFEJ"), false}};
  }
  return list;
}

void openTicketList(const QString &orderBy, const QString &position) {
  db::KeysetList &q = *Data->ZQ10;
  q.setList(ticketList(orderBy));
  q.paramByName(QStringLiteral("p1")).setString(AtvevoKod);
  if (position.isEmpty()) q.openAt();
  else q.openOn(QStringLiteral("F_BSZAM"), position, db::LocateOptions{true, true});
}

const QStringList &ProducerLookup::columns() {
  static const QStringList c = {QStringLiteral("O_NEV"),     QStringLiteral("O_IRSZAM"),
                                QStringLiteral("O_HELYSEGNEV"), QStringLiteral("O_UTCA"),
                                QStringLiteral("O_ADOSZAM"), QStringLiteral("O_ADOAZON"),
                                QStringLiteral("O_ERVKELT"), QStringLiteral("O_BETETLAP")};
  return c;
}

ProducerLookup::ProducerLookup() = default;
ProducerLookup::~ProducerLookup() = default;

void ProducerLookup::reload() { rows_.clear(); }

QString ProducerLookup::value(const QString &code, const QString &column) const {
  const int i = columns().indexOf(column.toUpper());
  if (i < 0) return QString();
  auto it = rows_.constFind(code);
  if (it == rows_.constEnd()) {
    QStringList values;
    try {
      if (!query_) {
        query_ = std::make_unique<db::Query>();
        query_->sql().add(QStringLiteral("SELECT FIRST 1 ") + columns().join(QStringLiteral(", ")) +
                          QStringLiteral(" FROM OSTERMELO WHERE O_KOD = :p1 ORDER BY ID_OSTERMELO"));
      }
      query_->setTransaction(Data->IBTrans1);
      query_->paramByName(QStringLiteral("p1")).setString(code);
      query_->open();
      if (!query_->isEmpty())
        for (int c = 0; c < query_->fieldCount(); ++c) values << query_->field(c).asString();
      query_->close();
    } catch (const std::exception &) {
      platform::logCaught(lcApp(), QStringLiteral("reading the producer %1 of the ticket list").arg(code));
      return QString();
    }
    it = rows_.insert(code, values);
  }
  return it->value(i);
}

void openLines(const QString &serial, const QString &positionId) {
  db::Query &q = *Data->ZQ20;
  setSql(q, {QStringLiteral("SELECT * FROM QzSor WHERE s_Bszam = :p1 ORDER BY ID_qzsor")});
  q.paramByName(QStringLiteral("p1")).setString(serial);
  q.open();
  if (!positionId.isEmpty())
    q.locate(QStringLiteral("ID_QZSOR"), positionId, db::LocateOptions{true, true});
}

void openProducer(const QString &code) {
  db::Query &q = *Data->ZQ31;
  setSql(q, {QStringLiteral("SELECT * FROM ostermelo WHERE o_kod = :p1")});
  q.paramByName(QStringLiteral("p1")).setString(code);
  q.open();
}

namespace {

TicketMath::LineSums sumsOf(db::Query &q, const char *far, const char *kfelar, const char *var) {
  TicketMath::LineSums s;
  if (q.isEmpty()) return s;
  q.first();
  s.far = q.fieldByName(QLatin1String(far)).asFloat();
  s.kfelar = q.fieldByName(QLatin1String(kfelar)).asFloat();
  s.var = q.fieldByName(QLatin1String(var)).asFloat();
  return s;
}

}  // namespace

TicketMath::LineSums readLineSums(const QString &serial) {
  db::Query &q = *Data->ZQ21;
  setSql(q, {QStringLiteral("SELECT s_bszam, SUM(s_felvar) AS far, SUM(s_kompfelar) AS kfelar, "
                            "SUM(s_vetelar) AS var "),
             QStringLiteral("  FROM Qzsor WHERE s_Bszam = :p1 GROUP BY s_Bszam")});
  q.paramByName(QStringLiteral("p1")).setString(serial);
  q.open();
  return sumsOf(q, "far", "kfelar", "var");
}

TicketMath::LineSums readProducerTotals(const QString &producerCode) {
  db::Query &q = *Data->ZQ22;
  setSql(q, {QStringLiteral("SELECT f_ostermkod, SUM(s_felvar) AS far1, SUM(s_kompfelar) AS "
                            "kfelar1, SUM(s_vetelar) AS var1 "),
             QStringLiteral("  FROM Qzsor JOIN Qzfej ON Qzfej.f_Bszam = Qzsor.s_Bszam "),
             QStringLiteral("  JOIN Ostermelo ON Qzfej.f_ostermkod = Ostermelo.o_Kod "),
             QStringLiteral("  WHERE QzFej.f_ostermkod = :p1 GROUP BY f_ostermkod")});
  q.paramByName(QStringLiteral("p1")).setString(producerCode);
  q.open();
  return sumsOf(q, "far1", "kfelar1", "var1");
}

void storeHeaderTotals(db::Transaction &transaction, qint64 headerId) {
  db::Query q;
  q.setTransaction(&transaction);
  // The contribution's base is the ticket's receiver's layout letter.
  q.sql().add(QStringLiteral("SELECT f_bszam, f_szja, f_jarulszaz, f_levonas, f_utal, v_verzio FROM QzFej "
                             "LEFT JOIN atvevo ON v_akod = f_akod WHERE ID_qzFej = :p0"));
  q.paramByName(QStringLiteral("p0")).setInteger(headerId);
  q.open();
  if (q.isEmpty()) return;
  TicketMath::Rates rates;
  rates.taxRate = q.fieldByName(QStringLiteral("f_szja")).asFloat();
  rates.contributionRate = q.fieldByName(QStringLiteral("f_jarulszaz")).asFloat();
  rates.deduction = q.fieldByName(QStringLiteral("f_levonas")).asFloat();
  const auto mode = q.fieldByName(QStringLiteral("f_utal")).asString() == QLatin1String("x")
                        ? TicketMath::PaymentMode::Transfer
                        : TicketMath::PaymentMode::Cash;
  const auto amounts =
      TicketMath::computeAmounts(readLineSums(q.fieldByName(QStringLiteral("f_bszam")).asString()),
                                 rates, mode, q.fieldByName(QStringLiteral("v_verzio")).asString());
  if (!amounts) throw db::Error(QStringLiteral("the ticket's totals cannot be stored"));
  setSql(q, {QStringLiteral("UPDATE QzFej SET f_muvktg = :p1, f_sumvar = :p2 WHERE ID_qzFej = :p0")});
  q.paramByName(QStringLiteral("p0")).setInteger(headerId);
  q.paramByName(QStringLiteral("p1")).setFloat(static_cast<double>(amounts->payable));
  q.paramByName(QStringLiteral("p2")).setFloat(static_cast<double>(amounts->price));
  q.execute();
}

bool headerExists(const QString &serial) {
  db::Query &q = *Data->ZQ11;
  setSql(q, {QStringLiteral("SELECT COUNT(*) AS db FROM QzFej WHERE f_bszam = :p1")});
  q.paramByName(QStringLiteral("p1")).setString(serial);
  q.open();
  const bool exists = !q.isEmpty() && q.fieldByName(QStringLiteral("db")).asInteger() > 0;
  q.close();
  return exists;
}

std::unique_ptr<NumberingHold> holdNumbering(const QString &receiver, QString *serial) {
  auto hold = std::make_unique<NumberingHold>(Data->ZCon1);
  TicketMath::SerialResult next;
  try {
    std::optional<QString> stored;
    switch (hold->take(receiver)) {
      case NumberingHold::Status::Busy:
        platform::warning(NumberingHold::busyMessage());
        return nullptr;
      case NumberingHold::Status::NoRow:
        break;
      case NumberingHold::Status::Held:
        stored = hold->stored();
        break;
    }
    next = TicketMath::nextSerial(stored, headerExists);
  } catch (const std::exception &e) {
    platform::logCaught(lcApp(), QStringLiteral("taking the numbering"));
    hold.reset();
    platform::error(platform::exceptionText(e));
    return nullptr;
  }
  if (!next.ok()) {
    hold.reset();
    platform::warning(TicketMath::serialErrorMessage(next.error));
    return nullptr;
  }
  *serial = next.serial;
  return hold;
}

void deleteOrphanLines(const QString &serial, const QString &message) {
  Data->Write(
      message,
      [&](WriteSteps &) {
        db::Query &q = *Data->ZQ21;
        setSql(q, {QStringLiteral("DELETE FROM Qzsor WHERE s_Bszam = :p1 "),
                   QStringLiteral("  AND NOT EXISTS (SELECT 1 FROM QzFej WHERE f_bszam = :p1)")});
        q.paramByName(QStringLiteral("p1")).setString(serial);
        q.execute();
      },
      TData::CommitMode::CommitRetaining);
}

}  // namespace TicketQueries
