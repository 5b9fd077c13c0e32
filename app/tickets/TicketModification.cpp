#include "app/tickets/TicketModification.h"

#include "app/Unit2.h"
#include "app/logging.h"
#include "db/error.h"
#include "platform/error_text.h"

#include <exception>

namespace {

// The queries through which the entry and line dialogs show and sum a
// ticket's lines.
void moveLineQueries(db::Transaction *to) {
  if (!Data) return;
  for (db::Query *q : {Data->ZQ20, Data->ZQ21, Data->ZQ22}) q->setTransaction(to);
}

}  // namespace

TicketModification::TicketModification(qint64 headerId) : headerId_(headerId) {
  transaction_.setObjectName(QStringLiteral("TicketModification"));
  // read_committed, rec_version, nowait (the default): what another instance
  // committed is seen at once, a row it is writing is a conflict at once.
  transaction_.setConnection(Data->ZCon1);
  query_.setTransaction(&transaction_);
  transaction_.start();
  query_.sql().add(QStringLiteral("SELECT F_PRN, F_TIPUS, F_ERVENYT FROM QzFej WHERE ID_qzFej = :p0"));
  query_.paramByName(QStringLiteral("p0")).setInteger(headerId_);
  query_.open();
  if (!query_.isEmpty()) {
    printed_ = query_.fieldByName(QStringLiteral("F_PRN")).asString() == QLatin1String("I");
    type_ = query_.fieldByName(QStringLiteral("F_TIPUS")).asString();
    cancelled_ = !query_.fieldByName(QStringLiteral("F_ERVENYT")).asString().trimmed().isEmpty();
  }
  query_.close();
  moveLineQueries(&transaction_);
}

TicketModification::~TicketModification() {
  moveLineQueries(Data ? Data->IBTrans1 : nullptr);
  query_.close();
  try {
    if (transaction_.active()) transaction_.rollback();
  } catch (const std::exception &) {
    // A lost attachment has undone it already.
    platform::logCaught(lcApp(), QStringLiteral("ending a ticket modification"));
  }
}

void TicketModification::guard(WriteSteps &steps, bool lock) {
  db::Query q;
  q.setTransaction(&transaction_);
  q.sql().add(QStringLiteral("SELECT F_PRN, F_ERVENYT FROM QzFej WHERE ID_qzFej = :p0") +
              (lock ? QStringLiteral(" WITH LOCK") : QString()));
  q.paramByName(QStringLiteral("p0")).setInteger(headerId_);
  q.open();
  if (q.isEmpty()) throw db::Error(QStringLiteral("the ticket header %1 is gone").arg(headerId_));
  QString refusal;
  if (!cancelled_ && !q.fieldByName(QStringLiteral("F_ERVENYT")).asString().trimmed().isEmpty())
    refusal = cancelledMessage();
  else if (!printed_ && q.fieldByName(QStringLiteral("F_PRN")).asString() == QLatin1String("I"))
    refusal = printedMessage();
  q.close();
  if (refusal.isEmpty()) return;
  refused_ = true;
  steps.at(refusal);
  throw db::Error(QStringLiteral("another instance changed the ticket header %1: %2").arg(headerId_).arg(refusal));
}

QString TicketModification::printedMessage() { return QStringLiteral("Már kinyomtatták"); }

QString TicketModification::cancelledMessage() { return QStringLiteral("Már érvénytelenítve van!"); }
