#include "exchange/checks/CheckFindings.h"

#include "app/receivers/Checks.h"
#include "platform/conv.h"

#include <functional>
#include <type_traits>

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

// The producer part of a row, its producer code, and what follows a
// finding about an empty column: the serial of a ticket line; the name,
// " Kódja: " and the code of a producer.
const ProducerCheckRow &producerOf(const TicketCheckRow &r) { return r.o; }
const ProducerCheckRow &producerOf(const ProducerCheckRow &r) { return r; }
const QString &codeOf(const TicketCheckRow &r) { return r.fOstermkod; }
const QString &codeOf(const ProducerCheckRow &r) { return r.oKod; }
QString emptySuffix(const TicketCheckRow &r) { return r.sBszam; }
QString emptySuffix(const ProducerCheckRow &r) { return r.oNev + QStringLiteral(" Kódja: ") + r.oKod; }

// Checks 1 to 3 of both reports: the tax number, the tax identification
// number and the TAJ of a producer, each with the value checked, a blank, the
// name, " Kódja: " and the code.
template <class Row>
void addIdentifierChecks(std::vector<Check<Row>> &list) {
  auto suffix = [](const Row &r, const QString &value) {
    return value + QLatin1Char(' ') + producerOf(r).oNev + QStringLiteral(" Kódja: ") + codeOf(r);
  };
  list.push_back({"Adószám", [suffix](const Row &r) {
                    const QString &v = producerOf(r).oAdoszam;
                    if (v.size() < 8) return QStringLiteral("Hiba (kevesebb nyolc számnál): ") + suffix(r, v);
                    if (!checks::adoszamValid(v)) return QStringLiteral("Hiba (hibás adószám): ") + suffix(r, v);
                    return QString();
                  }});
  list.push_back({"Adóazonositó", [suffix](const Row &r) {
                    const QString &v = producerOf(r).oAdoazon;
                    if (v.size() != 10) return QStringLiteral("Hiba (kevesebb tiz számnál): ") + suffix(r, v);
                    if (!checks::adoazonValid(v)) return QStringLiteral("Hiba (hibás adóazonositó): ") + suffix(r, v);
                    return QString();
                  }});
  list.push_back({"TAJ", [suffix](const Row &r) {
                    const QString &v = producerOf(r).oTaj;
                    if (v.size() != 9) return QStringLiteral("Hiba (kevesebb 9 számnál): ") + suffix(r, v);
                    if (!checks::tajValid(v)) return QStringLiteral("Hiba (hibás TAJ): ") + suffix(r, v);
                    return QString();
                  }});
}

// A check that reports an empty column of a ticket line: text + serial.
Check<TicketCheckRow> emptyCheck(const char *name, QString TicketCheckRow::*column, const char *text) {
  const QString finding = QString::fromUtf8(text);
  return {name, [column, finding](const TicketCheckRow &r) {
            return (r.*column).isEmpty() ? finding + r.sBszam : QString();
          }};
}

// The producer's personal data, checked for an empty column by both
// reports, each with its own finding text.
struct PersonalData {
  const char *name;
  QString ProducerCheckRow::*column;
  const char *ticketText, *producerText;
};
const PersonalData kPersonalData[] = {
    {"Östermelö név", &ProducerCheckRow::oNev, "Hiba (nincs östermelö név megadva): ",
     "Hiba (nincs östermelö név megadva)  "},
    {"Östermelö irányitószám", &ProducerCheckRow::oIrszam, "Hiba (nincs östermelö irányitószám megadva): ",
     "Hiba (nincs östermelö irányitószám megadva)  "},
    {"Östermelö Helységnév", &ProducerCheckRow::oHelysegnev, "Hiba (nincs östermelö Helységnév megadva): ",
     "Hiba (nincs östermelö Helységnév megadva):  "},
    {"Östermelö Utca", &ProducerCheckRow::oUtca, "Hiba (nincs östermelö Utca megadva): ",
     "Hiba (nincs östermelö Utca megadva)   "},
    {"Östermelö ig.szám", &ProducerCheckRow::oIgszam, "Hiba (nincs östermelö ig.szám megadva): ",
     "Hiba (nincs östermelö ig.szám megadva)   "},
    {"Östermelö születési hely", &ProducerCheckRow::oSzulhely, "Hiba (nincs östermelö születési hely megadva): ",
     "Hiba (nincs östermelö születési hely megadva)   "},
    {"Östermelö születési idö", &ProducerCheckRow::oSzido, "Hiba (nincs östermelö születési idö megadva): ",
     "Hiba (nincs östermelö születési idö megadva)   "},
    {"Östermelö anyja neve", &ProducerCheckRow::oAnyja, "Hiba (nincs östermelö anyja neve megadva): ",
     "Hiba (nincs östermelö anyja neve megadva)   "},
    {"Östermelö neme", &ProducerCheckRow::oNeme, "Hiba (nincs östermelö neme megadva): ",
     "Hiba (nincs östermelö neme megadva)   "},
    {"Östermelö születési neve", &ProducerCheckRow::oSzulnev, "Hiba (nincs östermelö születési neve megadva): ",
     "Hiba (nincs östermelö születési neve megadva)   "},
};

// The personal-data checks of a report; in the producer report a date of
// birth that is no date is reported as well.
template <class Row>
void addPersonalDataChecks(std::vector<Check<Row>> &list) {
  constexpr bool producers = std::is_same_v<Row, ProducerCheckRow>;
  for (const PersonalData &p : kPersonalData) {
    const QString finding = QString::fromUtf8(producers ? p.producerText : p.ticketText);
    list.push_back({p.name, [column = p.column, finding,
                             date = producers && p.column == &ProducerCheckRow::oSzido](const Row &r) {
                      const QString &v = producerOf(r).*column;
                      if (v.isEmpty()) return finding + emptySuffix(r);
                      QDate d;
                      if (date && !platform::TryStrToDate(v, d))
                        return QStringLiteral("Hiba (Hibás östermelö születési idö )   ") + emptySuffix(r);
                      return QString();
                    }});
  }
}

const std::vector<Check<TicketCheckRow>> &ticketChecks() {
  static const std::vector<Check<TicketCheckRow>> list = [] {
    using R = TicketCheckRow;
    std::vector<Check<R>> l;
    addIdentifierChecks(l);
    l.push_back(emptyCheck("Östermelökód", &R::fOstermkod, "Hiba (nincs östermelö megadva): "));
    addPersonalDataChecks(l);
    l.push_back(emptyCheck("Szja", &R::fSzja, "Hiba (nincs szja (minimum 0) megadva): "));
    l.push_back({"Volt-e nyomtatva?", [](const R &r) {
                   return r.fPrn != QLatin1String("I") ? QStringLiteral("Figyelmeztetés (még nincs kinyomtatva): ") + r.sBszam
                                                       : QString();
                 }});
    l.push_back(emptyCheck("Termékkód", &R::sTermekkod, "Figyelmeztetés (nincs termékkód megadva): "));
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
    std::vector<Check<ProducerCheckRow>> l;
    addIdentifierChecks(l);
    addPersonalDataChecks(l);
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
