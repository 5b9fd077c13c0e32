#include "app/tickets/TicketModification.h"

#include "app/Unit2.h"
#include "app/logging.h"
#include "app/tickets/TicketQueries.h"
#include "db/error.h"
#include "platform/error_text.h"

#include <QStringList>

#include <exception>

namespace {

// The queries through which the entry and line dialogs show and sum a
// ticket's lines.
void moveLineQueries(db::Transaction *to) {
  if (!Data) return;
  for (db::Query *q : {Data->ZQ20, Data->ZQ21, Data->ZQ22}) q->setTransaction(to);
}

// A row's values from column from on, as one text to compare.
QString rowText(db::Query &q, int from) {
  QStringList values;
  for (int i = from; i < q.fieldCount(); ++i)
    values << (q.field(i).isNull() ? QString(QChar(0x1e)) : q.field(i).asString());
  return values.join(QChar(0x1f));
}

}  // namespace

TicketModification::TicketModification(qint64 headerId) : headerId_(headerId) {
  transaction_.setObjectName(QStringLiteral("TicketModification"));
  // read_committed, rec_version, nowait (the default): what another instance
  // committed is seen at once, a row it is writing is a conflict at once.
  transaction_.setConnection(Data->ZCon1);
  query_.setTransaction(&transaction_);
  transaction_.start();
  const State state = readState(false);
  if (state.found) {
    printed_ = state.prn == QLatin1String("I");
    cancelled_ = !state.cancelledBy.trimmed().isEmpty();
    header_ = state.header;
    lines_ = state.lines;
  }
  moveLineQueries(&transaction_);
}

TicketModification::State TicketModification::readState(bool lock) {
  State state;
  db::Query q;
  q.setTransaction(&transaction_);
  q.sql().add(QStringLiteral("SELECT F_PRN, F_ERVENYT, F_BSZAM, F_AKOD, F_OSTERMKOD, F_KELT, F_FELVKELT, F_FIZKELT, "
                             "F_UTAL, F_SZJA, F_JARULSZAZ, F_LEVONAS, F_MEGJ, F_NYILATK, F_MUVKTG, F_TIPUS, "
                             "F_SUMVAR FROM QzFej WHERE ID_qzFej = :p0") +
              (lock ? QStringLiteral(" WITH LOCK") : QString()));
  q.paramByName(QStringLiteral("p0")).setInteger(headerId_);
  q.open();
  if (q.isEmpty()) return state;
  state.found = true;
  state.prn = q.fieldByName(QStringLiteral("F_PRN")).asString();
  state.cancelledBy = q.fieldByName(QStringLiteral("F_ERVENYT")).asString();
  if (type_.isNull()) type_ = q.fieldByName(QStringLiteral("F_TIPUS")).asString();
  if (serial_.isNull()) serial_ = q.fieldByName(QStringLiteral("F_BSZAM")).asString();
  state.header = rowText(q, 2);
  TicketQueries::setSql(q, {QStringLiteral("SELECT ID_QZSOR, IIF(RDB$RECORD_VERSION = CURRENT_TRANSACTION, 1, 0) "
                                           "AS OWN, S_BSZAM, S_TERMEKKOD, S_MEGNEVEZES, S_VTSZ, S_LEVONSZAZ, "
                                           "S_BRUTTO, S_MEGY, S_EAR, S_KOMPMERTEKE, S_AKOD, S_SZJA, S_BIZONYLAT "),
                            QStringLiteral("  FROM QzSor WHERE S_BSZAM = :p1")});
  q.paramByName(QStringLiteral("p1")).setString(serial_);
  q.open();
  for (q.first(); !q.eof(); q.next()) {
    const qint64 id = q.field(0).asInteger();
    if (q.field(1).asInteger() == 1) state.own.insert(id);
    else state.lines.insert(id, rowText(q, 2));
  }
  return state;
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
  State now;
  try {
    now = readState(lock);
  } catch (const db::Error &e) {
    if (e.isLockConflict()) steps.at(busyMessage(serial_));
    throw;
  }
  if (!now.found) throw db::Error(QStringLiteral("the ticket header %1 is gone").arg(headerId_));
  // The lines as opened, less those this modification wrote since.
  bool linesChanged = false;
  for (auto it = lines_.cbegin(); it != lines_.cend() && !linesChanged; ++it)
    linesChanged = !now.own.contains(it.key()) && now.lines.value(it.key()) != it.value();
  for (auto it = now.lines.cbegin(); it != now.lines.cend() && !linesChanged; ++it)
    linesChanged = !lines_.contains(it.key());
  QString refusal;
  if (!cancelled_ && !now.cancelledBy.trimmed().isEmpty()) refusal = cancelledMessage();
  else if (!printed_ && now.prn == QLatin1String("I")) refusal = printedMessage();
  else if (now.header != header_ || linesChanged) refusal = changedMessage(serial_);
  if (refusal.isEmpty()) return;
  refused_ = true;
  steps.at(refusal);
  steps.abandon();  // undone whole before the message shows
  throw db::Error(QStringLiteral("another instance changed the ticket header %1: %2").arg(headerId_).arg(refusal));
}

void TicketModification::execute(WriteSteps &steps, db::Query &statement) {
  try {
    statement.execute();
  } catch (const db::Error &e) {
    if (e.isLockConflict()) steps.at(busyMessage(serial_));
    throw;
  }
}

void TicketModification::lineDeleted(qint64 lineId) { lines_.remove(lineId); }

QString TicketModification::busyMessage(const QString &serial) {
  return QStringLiteral("A %1 számú felvásárlási jegyet éppen egy másik program módosítja vagy nyomtatja, ez a "
                        "változtatás most nem menthető. Próbálja meg újra később.")
      .arg(serial);
}

QString TicketModification::changedMessage(const QString &serial) {
  return QStringLiteral("A %1 számú felvásárlási jegyet egy másik program módosította, amióta itt megnyitották. "
                        "Ez a módosítás nem menthető, semmi sem tárolódott belőle: nyissa meg újra a jegyet, és "
                        "végezze el újra a módosítást.")
      .arg(serial);
}

QString TicketModification::printedMessage() { return QStringLiteral("Már kinyomtatták"); }

QString TicketModification::cancelledMessage() { return QStringLiteral("Már érvénytelenítve van!"); }
