#include "exchange/checks/CheckFindings.h"

#include "app/receivers/Checks.h"
#include "platform/conv.h"

#include <functional>

namespace datachecks {
namespace {

// One check of a report: its name in the start and end lines, and the
// finding of a row (empty for none).
template <class Row>
struct Check {
  const char *name;
  std::function<QString(const Row &)> finding;
};

template <class Row>
QStringList report(const std::vector<Check<Row>> &list, const RowReader<Row> &read) {
  // Each row is read once and meets every check; each check keeps its own
  // findings, so the report still lists them check by check.
  std::vector<QStringList> findings(list.size());
  Row row;
  while (read && read(row)) {
    for (size_t c = 0; c < list.size(); ++c) {
      QString f = list[c].finding(row);
      if (!f.isEmpty()) findings[c] << std::move(f);
    }
  }
  QStringList lines;
  for (size_t c = 0; c < list.size(); ++c) {
    const QString name = QString::fromUtf8(list[c].name);
    lines << QStringLiteral("    ") + name + QStringLiteral(" ellenörzés... ");
    lines += findings[c];
    lines << QStringLiteral("    ") + name + QStringLiteral(" ellenörzés vége. ");
    lines << QStringLiteral(" ");
  }
  return lines;
}

// A number as the checks read a stored amount; false for a text that is no
// number (such a value counts as a bad one).
bool number(const QString &text, long double &value) { return platform::TryStrToFloat(text, value); }

// Checks 1 to 3 of both reports: the tax number, the tax identification
// number and the TAJ of a producer, each with the value checked, a blank, the
// name, " Kódja: " and the code.
template <class Row>
void addIdentifierChecks(std::vector<Check<Row>> &list, QString Row::*code) {
  auto suffix = [code](const Row &r, const QString &value) {
    return value + QLatin1Char(' ') + r.oNev + QStringLiteral(" Kódja: ") + r.*code;
  };
  list.push_back({"Adószám", [suffix](const Row &r) {
                    if (r.oAdoszam.size() < 8) return QStringLiteral("Hiba (kevesebb nyolc számnál): ") + suffix(r, r.oAdoszam);
                    if (!checks::adoszamValid(r.oAdoszam)) return QStringLiteral("Hiba (hibás adószám): ") + suffix(r, r.oAdoszam);
                    return QString();
                  }});
  list.push_back({"Adóazonositó", [suffix](const Row &r) {
                    if (r.oAdoazon.size() != 10) return QStringLiteral("Hiba (kevesebb tiz számnál): ") + suffix(r, r.oAdoazon);
                    if (!checks::adoazonValid(r.oAdoazon)) return QStringLiteral("Hiba (hibás adóazonositó): ") + suffix(r, r.oAdoazon);
                    return QString();
                  }});
  list.push_back({"TAJ", [suffix](const Row &r) {
                    if (r.oTaj.size() != 9) return QStringLiteral("Hiba (kevesebb 9 számnál): ") + suffix(r, r.oTaj);
                    if (!checks::tajValid(r.oTaj)) return QStringLiteral("Hiba (hibás TAJ): ") + suffix(r, r.oTaj);
                    return QString();
                  }});
}

// A check that reports an empty column: text + suffix of the row.
template <class Row>
Check<Row> emptyCheck(const char *name, QString Row::*column, const char *text,
                      QString (*suffix)(const Row &)) {
  const QString finding = QString::fromUtf8(text);
  return {name, [column, finding, suffix](const Row &r) {
            return (r.*column).isEmpty() ? finding + suffix(r) : QString();
          }};
}

QString serialSuffix(const TicketCheckRow &r) { return r.sBszam; }
QString producerSuffix(const ProducerCheckRow &r) { return r.oNev + QStringLiteral(" Kódja: ") + r.oKod; }

const std::vector<Check<TicketCheckRow>> &ticketChecks() {
  static const std::vector<Check<TicketCheckRow>> list = [] {
    using R = TicketCheckRow;
    std::vector<Check<R>> l;
    addIdentifierChecks(l, &R::fOstermkod);
    const auto s = &serialSuffix;
    l.push_back(emptyCheck("Östermelökód", &R::fOstermkod, "Hiba (nincs östermelö megadva): ", s));
    l.push_back(emptyCheck("Östermelö név", &R::oNev, "Hiba (nincs östermelö név megadva): ", s));
    l.push_back(emptyCheck("Östermelö irányitószám", &R::oIrszam, "Hiba (nincs östermelö irányitószám megadva): ", s));
    l.push_back(emptyCheck("Östermelö Helységnév", &R::oHelysegnev, "Hiba (nincs östermelö Helységnév megadva): ", s));
    l.push_back(emptyCheck("Östermelö Utca", &R::oUtca, "Hiba (nincs östermelö Utca megadva): ", s));
    l.push_back(emptyCheck("Östermelö ig.szám", &R::oIgszam, "Hiba (nincs östermelö ig.szám megadva): ", s));
    l.push_back(emptyCheck("Östermelö születési hely", &R::oSzulhely, "Hiba (nincs östermelö születési hely megadva): ", s));
    l.push_back(emptyCheck("Östermelö születési idö", &R::oSzido, "Hiba (nincs östermelö születési idö megadva): ", s));
    l.push_back(emptyCheck("Östermelö anyja neve", &R::oAnyja, "Hiba (nincs östermelö anyja neve megadva): ", s));
    l.push_back(emptyCheck("Östermelö neme", &R::oNeme, "Hiba (nincs östermelö neme megadva): ", s));
    l.push_back(emptyCheck("Östermelö születési neve", &R::oSzulnev, "Hiba (nincs östermelö születési neve megadva): ", s));
    l.push_back(emptyCheck("Szja", &R::fSzja, "Hiba (nincs szja (minimum 0) megadva): ", s));
    l.push_back({"Volt-e nyomtatva?", [](const R &r) {
                   return r.fPrn != QLatin1String("I") ? QStringLiteral("Figyelmeztetés (még nincs kinyomtatva): ") + r.sBszam
                                                       : QString();
                 }});
    l.push_back(emptyCheck("Termékkód", &R::sTermekkod, "Figyelmeztetés (nincs termékkód megadva): ", s));
    // A negative quantity (a cancelling document) passes.
    l.push_back({"Mennyiség", [](const R &r) {
                   if (r.sNetto.isEmpty()) return QStringLiteral("Hiba (nincs mennyiség megadva): ") + r.sBszam;
                   long double v;
                   if (!number(r.sNetto, v) || v == 0)
                     return QStringLiteral("Hiba (nullás mennyiség van megadva): ") + r.sBszam;
                   return QString();
                 }});
    l.push_back({"Egységár", [](const R &r) {
                   if (r.sEar.isEmpty()) return QStringLiteral("Hiba (nincs egységár megadva): ") + r.sBszam;
                   if (r.sEar == QLatin1String("0")) return QStringLiteral("Hiba (nullás egységár van megadva): ") + r.sBszam;
                   long double v;
                   if (!number(r.sEar, v) || v <= 0)
                     return QStringLiteral("Hiba (nulla vagy minuszos egységár van megadva): ") + r.sBszam;
                   return QString();
                 }});
    // Only a whole 7 or 12 passes: a fraction such as 12,5 is reported too.
    l.push_back({"Komp.felár", [](const R &r) {
                   if (r.sKompmerteke.isEmpty()) return QStringLiteral("Hiba (nincs Komp.felár megadva): ") + r.sBszam;
                   int v;
                   if (!platform::TryStrToInt(r.sKompmerteke, v) || (v != 12 && v != 7))
                     return QStringLiteral("Hiba (nem 7, 12 % van megadva): ") + r.sBszam;
                   return QString();
                 }});
    return l;
  }();
  return list;
}

const std::vector<Check<ProducerCheckRow>> &producerChecks() {
  static const std::vector<Check<ProducerCheckRow>> list = [] {
    using R = ProducerCheckRow;
    std::vector<Check<R>> l;
    addIdentifierChecks(l, &R::oKod);
    const auto s = &producerSuffix;
    l.push_back(emptyCheck("Östermelö név", &R::oNev, "Hiba (nincs östermelö név megadva)  ", s));
    l.push_back(emptyCheck("Östermelö irányitószám", &R::oIrszam, "Hiba (nincs östermelö irányitószám megadva)  ", s));
    l.push_back(emptyCheck("Östermelö Helységnév", &R::oHelysegnev, "Hiba (nincs östermelö Helységnév megadva):  ", s));
    l.push_back(emptyCheck("Östermelö Utca", &R::oUtca, "Hiba (nincs östermelö Utca megadva)   ", s));
    l.push_back(emptyCheck("Östermelö ig.szám", &R::oIgszam, "Hiba (nincs östermelö ig.szám megadva)   ", s));
    l.push_back(emptyCheck("Östermelö születési hely", &R::oSzulhely, "Hiba (nincs östermelö születési hely megadva)   ", s));
    l.push_back({"Östermelö születési idö", [](const R &r) {
                   if (r.oSzido.isEmpty()) return QStringLiteral("Hiba (nincs östermelö születési idö megadva)   ") + producerSuffix(r);
                   QDate d;
                   if (!platform::TryStrToDate(r.oSzido, d))
                     return QStringLiteral("Hiba (Hibás östermelö születési idö )   ") + producerSuffix(r);
                   return QString();
                 }});
    l.push_back(emptyCheck("Östermelö anyja neve", &R::oAnyja, "Hiba (nincs östermelö anyja neve megadva)   ", s));
    l.push_back(emptyCheck("Östermelö neme", &R::oNeme, "Hiba (nincs östermelö neme megadva)   ", s));
    l.push_back(emptyCheck("Östermelö születési neve", &R::oSzulnev, "Hiba (nincs östermelö születési neve megadva)   ", s));
    return l;
  }();
  return list;
}

QString verdict(bool ok, const char *good, const char *bad, bool *failed) {
  if (failed) *failed = !ok;
  return QString::fromUtf8(ok ? good : bad);
}

QString lengthFailure(const char *text, bool *failed) {
  if (failed) *failed = true;
  return QString::fromUtf8(text);
}

}  // namespace

QStringList ticketCheckLines(const RowReader<TicketCheckRow> &read) {
  QStringList lines = report(ticketChecks(), read);
  lines << QStringLiteral("Klikk az ablakba és kurzor billentyüvel mozoghat benne. ");
  return lines;
}

QStringList producerCheckLines(const RowReader<ProducerCheckRow> &read) {
  return report(producerChecks(), read);
}

QString adoszamVerdict(const QString &text, bool *failed) {
  if (text.size() != 11 && text.size() != 13) return lengthFailure("Hibaüzenet: Nem 11 vagy 13 hosszú számsor", failed);
  // Of the 13-character form with two dashes only the first 8 characters count.
  return verdict(checks::adoszamValid(text), "Az adószám rendben", "Hibaüzenet: Hibás adószám", failed);
}

QString adoazonVerdict(const QString &text, bool *failed) {
  if (text.size() != 10) return lengthFailure("Hibaüzenet: Nem 10 hosszú számsor", failed);
  return verdict(checks::adoazonValid(text), "Az azóazonositó rendben", "Hibaüzenet: Hibás adóazonositó", failed);
}

QString tajVerdict(const QString &text, bool *failed) {
  if (text.size() != 9 && text.size() != 11) return lengthFailure("Hibaüzenet: Nem 9 vagy 11 hosszú számsor", failed);
  const QString digits = text.size() == 11 ? text.mid(0, 3) + text.mid(4, 3) + text.mid(8, 3) : text;
  return verdict(checks::tajValid(digits), "A TAJ rendben", "Hibaüzenet: Hibás TAJ", failed);
}

qint64 daysSince1867(const QDate &date) {
  const qint64 d = QDate(1867, 1, 1).daysTo(date);
  return d < 0 ? -d : d;
}

bool elteltNapEllenorzes(const QString &adoazon, const QString &birthDate) {
  QDate date;
  if (!platform::TryStrToDate(birthDate, date)) return false;
  const QString digits = adoazon.mid(1, 5);
  if (digits.isEmpty()) return false;
  qint64 number = 0;
  for (QChar c : digits) {
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;  // not a number: a mismatch
    number = number * 10 + (c.unicode() - u'0');
  }
  return number == daysSince1867(date);
}

QString napokVerdict(const QString &adoazon, const QDate &birthDate, bool *failed) {
  if (adoazon.size() != 10) return lengthFailure("Hibaüzenet: Nem 10 hosszú számsor !", failed);
  return verdict(elteltNapEllenorzes(adoazon, platform::DateToStr(birthDate)),
                 "Az adóazonositó és születési dátum összevetése rendben",
                 "Hibaüzenet: Az adóazonositó és/vagy szül.dátum hiba !", failed);
}

}  // namespace datachecks
