// TData's identifier checks and text helpers: thin wrappers over the pure
// functions of Checks.h that keep their results in the shared strings.
#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/receivers/Checks.h"
#include "app/receivers/RowText.h"
#include "db/dataset.h"

QString TData::streetOf(db::DataSet &row, const QString &prefix) {
  static const char *const kParts[] = {"KERULET", "UTCA",   "JELLEG", "HAZSZAM",
                                       "EPULET",  "LEPCSO", "SZINT",  "AJTO"};
  QStringList parts;
  for (const char *name : kParts)
    parts.append(RowText(row, prefix + QLatin1String(name)));
  return checks::joinAddress(parts);
}

bool TData::AdoazonEllenorzes(const QString &text) { return checks::adoazonValid(text); }
bool TData::AdoszamEllenorzes(const QString &text) { return checks::adoszamValid(text); }
bool TData::TAJEllenorzes(const QString &text) { return checks::tajValid(text); }

void TData::felir(const QString &text) {
  FelirHiba = checks::felirValid(text) ? QStringLiteral("0") : QStringLiteral("1");
}

void TData::ocsg(const QString &text) {
  OcsgHiba = checks::ocsgValid(text) ? QStringLiteral("0") : QStringLiteral("1");
}

void TData::nebih(const QString &text) {
  NebihHiba = checks::nebihValid(text) ? QStringLiteral("0") : QStringLiteral("1");
}

void TData::ujnev(const QString &name) {
  const checks::NameParts parts = checks::splitName(name);
  NevElotag = parts.elotag;
  NevUtotag = parts.utotag;
}

void TData::openCurrentReceiver(db::Query &q) {
  q.setSql({QStringLiteral("SELECT *  "), QStringLiteral("  FROM atvevo     "),
            QStringLiteral("  WHERE v_akod = :p1 ")});
  q.paramByName(QStringLiteral("p1")).setString(AtvevoKod);
  q.open();
}

void TData::atv_utca() {
  openCurrentReceiver(*ZQ61);
  AtvevoUtca = streetOf(*ZQ61, QStringLiteral("V_"));
}

void TData::ost_utca() {
  const QString producer = RowText(*ZQ10, "F_OSTERMKOD");
  db::Query &q = *ZQ33;
  q.setSql({QStringLiteral("SELECT *  "), QStringLiteral("  FROM ostermelo     "),
            QStringLiteral("  WHERE o_kod = :p1 ")});
  q.paramByName(QStringLiteral("p1")).setString(producer);
  q.open();
  OstermeloUtca = streetOf(q, QStringLiteral("O_"));
}

QString TData::XMLdatum(const QString &date) { return checks::xmlDate(date); }
