#include "app/tickets/NumberingHold.h"

#include "app/logging.h"
#include "db/connection.h"
#include "db/error.h"
#include "platform/error_text.h"

#include <exception>

NumberingHold::NumberingHold(db::Connection *connection) {
  transaction_.setObjectName(QStringLiteral("NumberingHold"));
  // read_committed, rec_version, nowait (the default): a conflict is
  // reported at once.
  transaction_.setConnection(connection);
  query_.setTransaction(&transaction_);
}

NumberingHold::~NumberingHold() {
  try {
    release();
  } catch (const std::exception &) {
    // A lost attachment has released the lock already.
    platform::logCaught(lcApp(), QStringLiteral("releasing the numbering"));
  }
}

bool NumberingHold::held() const { return transaction_.active() && !receiver_.isEmpty(); }

NumberingHold::Status NumberingHold::take(const QString &receiver) {
  release();
  transaction_.start();
  query_.setSql(QStringLiteral("SELECT A_QZBSZAM FROM SORSZAM WHERE A_AKOD = :p1 WITH LOCK"));
  query_.paramByName(QStringLiteral("p1")).setString(receiver);
  try {
    query_.open();
  } catch (const db::Error &e) {
    release();
    if (e.isLockConflict()) return Status::Busy;
    throw;
  }
  if (query_.isEmpty()) {
    release();
    return Status::NoRow;
  }
  stored_ = query_.fieldByName(QStringLiteral("A_QZBSZAM")).asString();
  query_.close();
  receiver_ = receiver;
  return Status::Held;
}

void NumberingHold::advance(const QString &serial) {
  if (!held()) throw db::Error(QStringLiteral("the receiver's numbering is not held"));
  db::Query q;
  q.setTransaction(&transaction_);
  q.sql().add(QStringLiteral("UPDATE SORSZAM SET A_QZBSZAM = :p1 "));
  q.sql().add(QStringLiteral("  WHERE A_AKOD = :p2 AND A_QZBSZAM = :p3"));
  q.paramByName(QStringLiteral("p1")).setString(serial);
  q.paramByName(QStringLiteral("p2")).setString(receiver_);
  q.paramByName(QStringLiteral("p3")).setString(stored_);
  q.execute();
  if (q.rowsAffected() == 0)
    throw db::Error(QStringLiteral("SORSZAM of %1 no longer holds %2").arg(receiver_, stored_));
  stored_ = serial;
}

void NumberingHold::release() {
  receiver_.clear();
  query_.close();
  if (transaction_.active()) transaction_.rollback();
}

QString NumberingHold::busyMessage() {
  return QStringLiteral(
      "Ennek az átvevőnek a bizonylat sorszámozását most egy másik futó program használja "
      "(nyitott felvásárlási jegy vagy érvénytelenítés). Zárja be ott, majd próbálja újra!");
}
