#include "exchange/audit/AuditStaging.h"

#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/receivers/Checks.h"
#include "db/dataset.h"
#include "db/connection.h"
#include "exchange/logging.h"
#include "platform/dialogs.h"
#include "platform/process_lock.h"

#include <exception>
#include <memory>
#include <stdexcept>

namespace {

// Where a NAVFEJ column's value comes from.
enum class Kind {
  Text,      // the source column's text as stored
  Date,      // the source column's date
  Negated,   // the source column's number times -1
  Zero,      // the number 0
  Onszamla,  // option XmlOnszamla
  Forint,    // "Ft"
  SzlaForma, // option XmlSzlaForma
};

struct Column {
  const char *column;
  const char *source;
  Kind kind;
};

// In the order of the table.
constexpr Column kColumns[] = {
    {"FE_SZLASORSZAM", "F_BSZAM", Kind::Text},
    {"FE_SZLADATUM", "F_KELT", Kind::Date},
    {"FE_TELJDATUM", "F_FELVKELT", Kind::Date},
    {"NE_FIZ_MOD", "F_UTAL", Kind::Text},
    {"TE_ARENGEDM", nullptr, Kind::Zero},
    {"FE_SZLATIPUS", "F_TIPUS", Kind::Text},
    {"MO_EREDETI_SORSZAM", "F_ERVENYT", Kind::Text},
    {"NE_FIZ_HATARIDO", "F_FIZKELT", Kind::Date},
    {"SZJA_BRUTTOAR", "F_SZJALEVON", Kind::Negated},
    {"TAGI_BRUTTOAR", "F_TAGILEVON", Kind::Negated},
    {"LEV_BRUTTOAR", "F_LEVONAS", Kind::Negated},
    {"KI_NEV", "V_NEVE", Kind::Text},
    {"KI_IRANYITOSZAM", "V_IRSZAM", Kind::Text},
    {"KI_TELEPULES", "V_HELYSEG", Kind::Text},
    {"KI_KOZTERULET_NEVE", "V_UTCA", Kind::Text},
    {"KI_ADOSZAM", "V_ADOSZAM", Kind::Text},
    {"NE_KIBOCSATO_BANKSZLA", "V_BANKSZLA", Kind::Text},
    {"KI_KERULET", "V_KERULET", Kind::Text},
    {"KI_KOZTERULET_JELLEGE", "V_JELLEG", Kind::Text},
    {"KI_HAZSZAM", "V_HAZSZAM", Kind::Text},
    {"KI_EPULET", "V_EPULET", Kind::Text},
    {"KI_LEPCSOHAZ", "V_LEPCSO", Kind::Text},
    {"KI_SZINT", "V_SZINT", Kind::Text},
    {"KI_AJTO", "V_AJTO", Kind::Text},
    {"VE_NEV", "O_NEV", Kind::Text},
    {"VE_IRANYITOSZAM", "O_IRSZAM", Kind::Text},
    {"VE_TELEPULES", "O_HELYSEGNEV", Kind::Text},
    {"VE_KOZTERULET_NEVE", "O_UTCA", Kind::Text},
    {"VE_ADOSZAM", "O_ADOSZAM", Kind::Text},
    {"NE_BEFOGADO_BANKSZLA", "O_BANKSZLA", Kind::Text},
    {"VE_KERULET", "O_KERULET", Kind::Text},
    {"VE_KOZTERULET_JELLEGE", "O_JELLEG", Kind::Text},
    {"VE_HAZSZAM", "O_HAZSZAM", Kind::Text},
    {"VE_EPULET", "O_EPULET", Kind::Text},
    {"VE_LEPCSOHAZ", "O_LEPCSO", Kind::Text},
    {"VE_SZINT", "O_SZINT", Kind::Text},
    {"VE_AJTO", "O_AJTO", Kind::Text},
    {"KI_EGYENI_VALLALKOZO", "V_EV", Kind::Text},
    {"KI_EV_NYILV_TART_SZAM", "V_EVNYILV", Kind::Text},
    {"KI_EV_NEVE", "V_EV_NEVE", Kind::Text},
    {"ZA_ONSZAMLA", nullptr, Kind::Onszamla},
    {"NE_PENZNEM", nullptr, Kind::Forint},
    {"NE_SZLA_FORMA", nullptr, Kind::SzlaForma},
    {"TE_ADOKULCS", nullptr, Kind::Zero},
    {"TE_ADOERTEK", nullptr, Kind::Zero},
    {"KI_KISADOZO", "V_KISADO", Kind::Text},
    {"KI_KOZADOSZAM", "V_KOZADOSZAM", Kind::Text},
    {"VE_KOZADOSZAM", "O_KOZADOSZAM", Kind::Text},
};

// Starts IBTrans1 when it is not active; false (and the message shown) when
// it cannot be started.
bool startTransaction(const QString &message) {
  try {
    if (!Data->IBTrans1->active()) Data->IBTrans1->start();
    return true;
  } catch (const std::exception &) {
    platform::showFailure(lcExchange(), message);
    return false;
  }
}

enum class Emptied { Done, Failed, NotStarted };

Emptied emptyTable(const QString &statement, const QString &failMessage, const QString &startMessage) {
  if (!startTransaction(startMessage)) return Emptied::NotStarted;
  db::Query &q = *Data->ZQ90;
  q.setSql(statement);
  return Data->Write(failMessage, [&q](WriteSteps &) { q.execute(); }) ? Emptied::Done : Emptied::Failed;
}

// The receiver's own checks; false (message shown) when one fails.
bool receiverValid() {
  db::Query &r = *Data->ZQ60;
  TData::openCurrentReceiver(r);
  auto text = [&r](const char *name) {
    return r.isEmpty() ? QString() : checks::trimText(r.fieldByName(QLatin1String(name)).asString());
  };
  if (text("V_UTCA").isEmpty()) {
    platform::showMessage(QStringLiteral("Javitandó! Nincs megadva az átvevő utca!"));
    return false;
  }
  const QString kozadoszam = text("V_KOZADOSZAM");
  if (!kozadoszam.isEmpty() && kozadoszam.size() < 8) {
    platform::showMessage(QStringLiteral("Javitandó! Közösségi adószám legalább 8 karakter!"));
    return false;
  }
  return true;
}

// FROM and WHERE of the selection, its parameters bound by bindRange.
QStringList selectionFrom(const AuditSelection &s) {
  // A document whose producer row is missing is still selected (its
  // producer columns empty), so that the export names it instead of leaving
  // it out of the file unnoticed.
  QStringList lines{QStringLiteral("  FROM qzfej "), QStringLiteral("  LEFT JOIN ostermelo ON f_ostermkod = o_kod "),
                    QStringLiteral("  JOIN atvevo ON v_akod = f_akod ")};
  if (s.range == AuditSelection::Range::Serial) {
    lines << QStringLiteral("  WHERE f_bszam >= :p4 AND f_bszam <= :p5 ");
  } else if (s.byPurchaseDate) {
    lines << QStringLiteral("  WHERE f_felvkelt >= :p1 AND f_felvkelt <= :p2 ");
  } else {
    lines << QStringLiteral("  WHERE f_kelt >= :p1 AND f_kelt <= :p2 ");
  }
  lines << QStringLiteral("  AND f_akod = :p3 ");
  return lines;
}

void bindRange(db::Query &q, const AuditSelection &s) {
  if (s.range == AuditSelection::Range::Serial) {
    q.paramByName(QStringLiteral("p4")).setString(s.serialFrom);
    q.paramByName(QStringLiteral("p5")).setString(s.serialTo);
  } else {
    q.paramByName(QStringLiteral("p1")).setDate(s.from);
    q.paramByName(QStringLiteral("p2")).setDate(s.to);
  }
  q.paramByName(QStringLiteral("p3")).setString(AtvevoKod);
}

// The documents into ZQ21, for the dialog's grid.
void openSelection(const AuditSelection &s) {
  db::Query &q = *Data->ZQ21;
  q.setSql(QStringList{QStringLiteral("SELECT * ")} + selectionFrom(s));
  bindRange(q, s);
  q.open();
}

// One NAVFEJ row per selected document, through ZQ90: one statement, so the
// engine copies the rows without a round trip each.
void insertRows(const AuditSelection &s, WriteSteps &steps) {
  db::Query &q = *Data->ZQ90;
  // A date that is missing does not convert: the collection fails, as a
  // row-by-row insert would on that row, and the message names the document.
  q.setSql(QStringList{QStringLiteral("SELECT FIRST 1 f_bszam, f_kelt, f_felvkelt, f_fizkelt ")} +
           selectionFrom(s) +
           QStringList{QStringLiteral("  AND (f_kelt IS NULL OR f_felvkelt IS NULL OR f_fizkelt IS NULL) "),
                       QStringLiteral("  ORDER BY f_bszam ")});
  bindRange(q, s);
  q.open();
  if (!q.isEmpty()) {
    const QString missing = q.fieldByName(QStringLiteral("F_KELT")).isNull()       ? QStringLiteral("kiállítási")
                            : q.fieldByName(QStringLiteral("F_FELVKELT")).isNull() ? QStringLiteral("felvásárlási")
                                                                                    : QStringLiteral("fizetési");
    steps.at(steps.message() + QStringLiteral("\rA(z) %1 bizonylatnak nincs %2 dátuma.")
                                   .arg(q.fieldByName(QStringLiteral("F_BSZAM")).asString().trimmed(), missing));
    throw std::runtime_error("document without a date");
  }

  QString columns, values;
  for (const Column &c : kColumns) {
    if (!columns.isEmpty()) {
      columns += QStringLiteral(", ");
      values += QStringLiteral(", ");
    }
    columns += QLatin1String(c.column);
    switch (c.kind) {
      case Kind::Text:
      case Kind::Date: values += QLatin1String(c.source); break;
      // 0 - x rather than -x: no negative zero; a missing amount counts as 0.
      case Kind::Negated: values += QStringLiteral("0 - COALESCE(%1, 0)").arg(QLatin1String(c.source)); break;
      case Kind::Zero: values += QStringLiteral("0"); break;
      case Kind::Onszamla: values += QStringLiteral("CAST(:e4 AS VARCHAR(250))"); break;
      case Kind::Forint: values += QStringLiteral("'Ft'"); break;
      case Kind::SzlaForma: values += QStringLiteral("CAST(:e6 AS VARCHAR(250))"); break;
    }
  }
  q.setSql(QStringList{QStringLiteral("INSERT INTO NAVFEJ (") + columns + QStringLiteral(")"),
                       QStringLiteral("  SELECT ") + values} +
           selectionFrom(s));
  bindRange(q, s);
  q.paramByName(QStringLiteral("e4")).setString(XmlOnszamla);
  q.paramByName(QStringLiteral("e6")).setString(XmlSzlaForma);
  q.execute();
}

}  // namespace

namespace {

std::unique_ptr<platform::ProcessLock> &stagingHold() {
  static std::unique_ptr<platform::ProcessLock> hold;
  return hold;
}

const QString kStagingBusy = QStringLiteral(
    "A NAV adatok kigyűjtése és exportja egy másik programablakban folyik. "
    "Kérem próbálja újra, ha ott az adatszolgáltatás ablaka bezárult.");

platform::Result<std::unique_ptr<platform::ProcessLock>> takeStaging() {
  return platform::ProcessLock::take(Data->ZCon1->databaseName(), QStringLiteral("navfej"), kStagingBusy);
}

}  // namespace

bool HoldAuditStaging() {
  auto &hold = stagingHold();
  if (hold) return true;
  auto taken = takeStaging();
  if (taken) {
    hold = *std::move(taken);
    return true;
  }
  platform::showMessage(taken.reason());
  return false;
}

void ReleaseAuditStaging() { stagingHold().reset(); }

bool AuditStagingHeld() { return stagingHold() != nullptr; }

bool AuditStagingHeldByAnother() {
  if (AuditStagingHeld()) return false;
  const auto probe = takeStaging();
  return !probe && probe.error() == 0;
}

bool CollectAudit(const AuditSelection &s) {
  // Checked in both range kinds, before anything is emptied.
  if (s.from > s.to) {
    platform::showMessage(QStringLiteral("Dátum tól-ig hiba."));
    return false;
  }
  if (!HoldAuditStaging()) return false;
  // A collection on top of rows that could not be deleted would stage
  // documents twice: a failed delete of NAVFEJ ends the step.
  if (emptyTable(QStringLiteral("DELETE FROM NAVFEJ "), QStringLiteral("Hiba401: NAVFEJ DELETE törlésekor"),
                 QStringLiteral("Hiba402: az delete közben a NAVFEJ-ben!")) != Emptied::Done)
    return false;
  if (emptyTable(QStringLiteral("DELETE FROM NAVSOR "), QStringLiteral("Hiba401: NAVSOR DELETE törlésekor"),
                 QStringLiteral("Hiba402: az delete közben a NAVSOR-ben!")) == Emptied::NotStarted)
    return false;
  if (!receiverValid()) return false;
  openSelection(s);
  if (!startTransaction(QStringLiteral("Hiba402: az INSERT közben a NAV-ban!"))) return false;
  // Commit retaining: the selection stays open for the dialog's grid.
  return Data->Write(QStringLiteral("Hiba401: NAV INSERT -ben"), [&s](WriteSteps &steps) { insertRows(s, steps); },
                     TData::CommitMode::CommitRetaining);
}
