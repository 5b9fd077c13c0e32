#include "exchange/audit/AuditStaging.h"

#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/receivers/Checks.h"
#include "db/dataset.h"
#include "platform/conv.h"
#include "platform/dialogs.h"

#include <exception>
#include <vector>

namespace {

// Where a NAVFEJ column's value comes from.
enum class Kind {
  Text,      // the source column's text as stored
  Date,      // the source column's text converted with the program's date format
  Negated,   // the source column's number times -1
  Zero,      // the number 0
  Onszamla,  // option XmlOnszamla
  Forint,    // "Ft"
  SzlaForma, // option XmlSzlaForma
};

struct Column {
  const char *column;
  const char *param;
  const char *source;
  Kind kind;
};

// In the order of the table.
constexpr Column kColumns[] = {
    {"FE_SZLASORSZAM", "a1", "F_BSZAM", Kind::Text},
    {"FE_SZLADATUM", "b1", "F_KELT", Kind::Date},
    {"FE_TELJDATUM", "b2", "F_FELVKELT", Kind::Date},
    {"NE_FIZ_MOD", "b3", "F_UTAL", Kind::Text},
    {"TE_ARENGEDM", "b4", nullptr, Kind::Zero},
    {"FE_SZLATIPUS", "b5", "F_TIPUS", Kind::Text},
    {"MO_EREDETI_SORSZAM", "b6", "F_ERVENYT", Kind::Text},
    {"NE_FIZ_HATARIDO", "b7", "F_FIZKELT", Kind::Date},
    {"SZJA_BRUTTOAR", "b8", "F_SZJALEVON", Kind::Negated},
    {"TAGI_BRUTTOAR", "b9", "F_TAGILEVON", Kind::Negated},
    {"LEV_BRUTTOAR", "b10", "F_LEVONAS", Kind::Negated},
    {"KI_NEV", "c1", "V_NEVE", Kind::Text},
    {"KI_IRANYITOSZAM", "c2", "V_IRSZAM", Kind::Text},
    {"KI_TELEPULES", "c3", "V_HELYSEG", Kind::Text},
    {"KI_KOZTERULET_NEVE", "c4", "V_UTCA", Kind::Text},
    {"KI_ADOSZAM", "c5", "V_ADOSZAM", Kind::Text},
    {"NE_KIBOCSATO_BANKSZLA", "c6", "V_BANKSZLA", Kind::Text},
    {"KI_KERULET", "c7", "V_KERULET", Kind::Text},
    {"KI_KOZTERULET_JELLEGE", "c8", "V_JELLEG", Kind::Text},
    {"KI_HAZSZAM", "c9", "V_HAZSZAM", Kind::Text},
    {"KI_EPULET", "c10", "V_EPULET", Kind::Text},
    {"KI_LEPCSOHAZ", "c11", "V_LEPCSO", Kind::Text},
    {"KI_SZINT", "c12", "V_SZINT", Kind::Text},
    {"KI_AJTO", "c13", "V_AJTO", Kind::Text},
    {"VE_NEV", "d1", "O_NEV", Kind::Text},
    {"VE_IRANYITOSZAM", "d2", "O_IRSZAM", Kind::Text},
    {"VE_TELEPULES", "d3", "O_HELYSEGNEV", Kind::Text},
    {"VE_KOZTERULET_NEVE", "d4", "O_UTCA", Kind::Text},
    {"VE_ADOSZAM", "d5", "O_ADOSZAM", Kind::Text},
    {"NE_BEFOGADO_BANKSZLA", "d6", "O_BANKSZLA", Kind::Text},
    {"VE_KERULET", "d7", "O_KERULET", Kind::Text},
    {"VE_KOZTERULET_JELLEGE", "d8", "O_JELLEG", Kind::Text},
    {"VE_HAZSZAM", "d9", "O_HAZSZAM", Kind::Text},
    {"VE_EPULET", "d10", "O_EPULET", Kind::Text},
    {"VE_LEPCSOHAZ", "d11", "O_LEPCSO", Kind::Text},
    {"VE_SZINT", "d12", "O_SZINT", Kind::Text},
    {"VE_AJTO", "d13", "O_AJTO", Kind::Text},
    {"KI_EGYENI_VALLALKOZO", "e1", "V_EV", Kind::Text},
    {"KI_EV_NYILV_TART_SZAM", "e2", "V_EVNYILV", Kind::Text},
    {"KI_EV_NEVE", "e3", "V_EV_NEVE", Kind::Text},
    {"ZA_ONSZAMLA", "e4", nullptr, Kind::Onszamla},
    {"NE_PENZNEM", "e5", nullptr, Kind::Forint},
    {"NE_SZLA_FORMA", "e6", nullptr, Kind::SzlaForma},
    {"TE_ADOKULCS", "e7", nullptr, Kind::Zero},
    {"TE_ADOERTEK", "e8", nullptr, Kind::Zero},
    {"KI_KISADOZO", "e9", "V_KISADO", Kind::Text},
    {"KI_KOZADOSZAM", "e10", "V_KOZADOSZAM", Kind::Text},
    {"VE_KOZADOSZAM", "e11", "O_KOZADOSZAM", Kind::Text},
};

void reopen(db::Query &q, const QStringList &lines) {
  q.close();
  q.sql().clear();
  for (const QString &l : lines) q.sql().add(l);
}

// Starts IBTrans1 when it is not active; false (and the message shown) when
// it cannot be started.
bool startTransaction(const QString &message) {
  try {
    if (!Data->IBTrans1->active()) Data->IBTrans1->start();
    return true;
  } catch (const std::exception &) {
    platform::showMessage(message);
    return false;
  }
}

enum class Emptied { Done, Failed, NotStarted };

Emptied emptyTable(const QString &statement, const QString &failMessage, const QString &startMessage) {
  if (!startTransaction(startMessage)) return Emptied::NotStarted;
  db::Query &q = *Data->ZQ90;
  reopen(q, {statement});
  return Data->Write(failMessage, [&q] { q.execute(); }) ? Emptied::Done : Emptied::Failed;
}

// The receiver's own checks; false (message shown) when one fails.
bool receiverValid() {
  db::Query &r = *Data->ZQ60;
  reopen(r, {QStringLiteral("SELECT * FROM atvevo "), QStringLiteral("  WHERE v_akod = :p0 ")});
  r.paramByName(QStringLiteral("p0")).setString(AtvevoKod);
  r.open();
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

void openSelection(const AuditSelection &s) {
  db::Query &q = *Data->ZQ21;
  // A document whose producer row is missing is still selected (its
  // producer columns empty), so that the export names it instead of leaving
  // it out of the file unnoticed.
  QStringList lines{QStringLiteral("SELECT * FROM qzfej "),
                    QStringLiteral("  LEFT JOIN ostermelo ON f_ostermkod = o_kod "),
                    QStringLiteral("  JOIN atvevo ON v_akod = f_akod ")};
  if (s.range == AuditSelection::Range::Serial) {
    lines << QStringLiteral("  WHERE f_bszam >= :p4 AND f_bszam <= :p5 ");
  } else if (s.byPurchaseDate) {
    lines << QStringLiteral("  WHERE f_felvkelt >= :p1 AND f_felvkelt <= :p2 ");
  } else {
    lines << QStringLiteral("  WHERE f_kelt >= :p1 AND f_kelt <= :p2 ");
  }
  lines << QStringLiteral("  AND f_akod = :p3 ");
  reopen(q, lines);
  if (s.range == AuditSelection::Range::Serial) {
    q.paramByName(QStringLiteral("p4")).setString(s.serialFrom);
    q.paramByName(QStringLiteral("p5")).setString(s.serialTo);
  } else {
    q.paramByName(QStringLiteral("p1")).setDate(s.from);
    q.paramByName(QStringLiteral("p2")).setDate(s.to);
  }
  q.paramByName(QStringLiteral("p3")).setString(AtvevoKod);
  q.open();
}

// One NAVFEJ row per selected row of ZQ21, through ZQ90.
void insertRows() {
  db::Query &sel = *Data->ZQ21;
  db::Query &ins = *Data->ZQ90;
  QString columns, values;
  for (const Column &c : kColumns) {
    if (!columns.isEmpty()) {
      columns += QStringLiteral(", ");
      values += QStringLiteral(", ");
    }
    columns += QLatin1String(c.column);
    values += QLatin1Char(':') + QLatin1String(c.param);
  }
  reopen(ins, {QStringLiteral("INSERT INTO NAVFEJ (") + columns + QStringLiteral(")"),
               QStringLiteral("  VALUES (") + values + QStringLiteral(")")});

  // Fields and parameters looked up once for the whole walk.
  struct Bound {
    const Column *column;
    db::Field *source;
    db::Param *param;
  };
  std::vector<Bound> bound;
  for (const Column &c : kColumns) {
    bound.push_back({&c, c.source ? &sel.fieldByName(QLatin1String(c.source)) : nullptr,
                     &ins.paramByName(QLatin1String(c.param))});
  }
  const QString forint = QStringLiteral("Ft");
  for (sel.first(); !sel.eof(); sel.next()) {
    for (const Bound &b : bound) {
      switch (b.column->kind) {
        case Kind::Text: b.param->setString(b.source->asString()); break;
        // A missing date does not convert: the insert fails, as a bad text would.
        case Kind::Date: b.param->setDate(platform::StrToDate(b.source->asString())); break;
        case Kind::Negated: {
          const double v = b.source->asFloat();
          b.param->setFloat(v == 0 ? 0.0 : -v);
          break;
        }
        case Kind::Zero: b.param->setFloat(0); break;
        case Kind::Onszamla: b.param->setString(XmlOnszamla); break;
        case Kind::Forint: b.param->setString(forint); break;
        case Kind::SzlaForma: b.param->setString(XmlSzlaForma); break;
      }
    }
    ins.execute();
  }
}

}  // namespace

bool CollectAudit(const AuditSelection &s) {
  // Checked in both range kinds, before anything is emptied.
  if (s.from > s.to) {
    platform::showMessage(QStringLiteral("Dátum tól-ig hiba."));
    return false;
  }
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
  return Data->Write(QStringLiteral("Hiba401: NAV INSERT -ben"), insertRows,
                     TData::CommitMode::CommitRetaining);
}
