#include "exchange/audit/AuditXml.h"

#include "app/SharedState.h"
#include "app/Unit2.h"
#include "app/receivers/Checks.h"
#include "exchange/audit/AuditStaging.h"
#include "db/dataset.h"
#include "platform/conv.h"
#include "platform/dialogs.h"
#include "platform/error_text.h"
#include "platform/whole_file.h"
#include "platform/xml_text.h"
#include "platform/win_path.h"

#include <QHash>
#include <QIODevice>
#include <QRegularExpression>

#include <array>
#include <cmath>
#include <string>
#include <map>
#include <utility>
#include <vector>

namespace {

// The staged columns the file reads, looked up once per walk.
enum Col {
  FE_SZLASORSZAM, FE_SZLATIPUS, FE_SZLADATUM, FE_TELJDATUM,
  KI_ADOSZAM, KI_KOZADOSZAM, KI_KISADOZO, KI_NEV, KI_IRANYITOSZAM, KI_TELEPULES, KI_KERULET,
  KI_KOZTERULET_NEVE, KI_KOZTERULET_JELLEGE, KI_HAZSZAM, KI_EPULET, KI_LEPCSOHAZ, KI_SZINT, KI_AJTO,
  KI_EGYENI_VALLALKOZO, KI_EV_NYILV_TART_SZAM, KI_EV_NEVE,
  VE_ADOSZAM, VE_KOZADOSZAM, VE_NEV, VE_IRANYITOSZAM, VE_TELEPULES, VE_KERULET, VE_KOZTERULET_NEVE,
  VE_KOZTERULET_JELLEGE, VE_HAZSZAM, VE_EPULET, VE_LEPCSOHAZ, VE_SZINT, VE_AJTO,
  SZJA_BRUTTOAR, TAGI_BRUTTOAR, LEV_BRUTTOAR, MO_EREDETI_SORSZAM, ZA_ONSZAMLA,
  NE_FIZ_HATARIDO, NE_FIZ_MOD, NE_PENZNEM, NE_SZLA_FORMA, NE_KIBOCSATO_BANKSZLA, NE_BEFOGADO_BANKSZLA,
  kColCount
};

constexpr const char *kColNames[kColCount] = {
    "FE_SZLASORSZAM", "FE_SZLATIPUS", "FE_SZLADATUM", "FE_TELJDATUM",
    "KI_ADOSZAM", "KI_KOZADOSZAM", "KI_KISADOZO", "KI_NEV", "KI_IRANYITOSZAM", "KI_TELEPULES", "KI_KERULET",
    "KI_KOZTERULET_NEVE", "KI_KOZTERULET_JELLEGE", "KI_HAZSZAM", "KI_EPULET", "KI_LEPCSOHAZ", "KI_SZINT",
    "KI_AJTO", "KI_EGYENI_VALLALKOZO", "KI_EV_NYILV_TART_SZAM", "KI_EV_NEVE",
    "VE_ADOSZAM", "VE_KOZADOSZAM", "VE_NEV", "VE_IRANYITOSZAM", "VE_TELEPULES", "VE_KERULET",
    "VE_KOZTERULET_NEVE", "VE_KOZTERULET_JELLEGE", "VE_HAZSZAM", "VE_EPULET", "VE_LEPCSOHAZ", "VE_SZINT",
    "VE_AJTO", "SZJA_BRUTTOAR", "TAGI_BRUTTOAR", "LEV_BRUTTOAR", "MO_EREDETI_SORSZAM", "ZA_ONSZAMLA",
    "NE_FIZ_HATARIDO", "NE_FIZ_MOD", "NE_PENZNEM", "NE_SZLA_FORMA", "NE_KIBOCSATO_BANKSZLA",
    "NE_BEFOGADO_BANKSZLA",
};

// The current row of a NAVFEJ query in the file's value forms.
class Staged {
 public:
  explicit Staged(db::DataSet &d) {
    for (int i = 0; i < kColCount; ++i) fields_[i] = &d.fieldByName(QLatin1String(kColNames[i]));
  }
  QString stored(Col c) const { return fields_[c]->asString(); }
  QString text(Col c) const { return checks::trimText(stored(c)); }
  double number(Col c) const { return fields_[c]->asFloat(); }
  QString date(Col c) const { return fields_[c]->isNull() ? QString() : Data->XMLdatum(stored(c)); }

 private:
  std::array<db::Field *, kColCount> fields_{};
};

// Numbers: two decimals and "." whatever the process-wide settings hold.
const platform::FormatSettings &pointSettings() {
  static const platform::FormatSettings fs = [] {
    platform::FormatSettings f;
    f.decimalSeparator = u'.';
    return f;
  }();
  return fs;
}

}  // namespace

QString AuditAmount(double v) {
  // The class library rounds the value's first 18 significant digits half
  // away from zero. Below 1e9 those digits reach 1e-9, so unless the
  // hundredths lie within 1e-7 of a half, rounding the exact value (v * 100
  // is exact in extended precision) gives the same result.
  const long double x = std::fabs(static_cast<long double>(v)) * 100;
  if (x < 1e11L) {
    const long double whole = std::floor(x);
    const long double frac = x - whole;
    if (std::fabs(frac - 0.5L) > 1e-7L) {
      const qint64 n = static_cast<qint64>(whole) + (frac > 0.5L ? 1 : 0);
      if (n == 0) return QStringLiteral("0.00");  // no sign on a value that rounds to zero
      char buf[32];
      char *p = buf + sizeof buf;
      qint64 rest = n;
      for (int i = 0; i < 2; ++i, rest /= 10) *--p = static_cast<char>('0' + rest % 10);
      *--p = '.';
      do *--p = static_cast<char>('0' + rest % 10);
      while ((rest /= 10) > 0);
      if (v < 0) *--p = '-';
      return QString::fromLatin1(p, buf + sizeof buf - p);
    }
  }
  return platform::FloatToStrF(v, platform::FloatFormat::Fixed, 10, 2, pointSettings());
}

namespace {

// The simple types of the format's schema that a value is checked against.
enum class Xsd {
  Text,       // 1 to 100 characters
  TaxNumber,  // 8 to 20 characters
  PostCode,   // 4 to 10 characters
  Boolean,    // true, false, 1 or 0
  Kind,       // a whole number from 1 to 6
  Date,       // yyyy-mm-dd
  Count,      // a whole number of at most 10 digits
};

// Lines into the file: UTF-8, CR LF, indentation in blanks, element values
// escaped. Written through in blocks so that a year's file is never held whole.
// Every value is checked against the format's limits as it goes; without a
// device nothing is written, so a first pass finds what would not fit before
// the file is touched.
class Lines {
 public:
  explicit Lines(QIODevice *out) : out_(out) {
    if (out_) buf_.reserve(kBlock + 4096);
  }

  // The document the values that follow belong to (empty: the file's header).
  void document(const QString &serial) { document_ = serial; }
  // Off: only characters are checked (the file of an empty period keeps its
  // empty header values).
  void strict(bool on) { strict_ = on; }
  // The first value that does not fit, as the message naming it; empty when
  // all fit.
  const QString &refusal() const { return refusal_; }

  void raw(const char *line) {
    buf_ += line;
    end();
  }
  void open(int indent, const char *tag) {
    path_.push_back(tag);
    buf_.append(static_cast<size_t>(indent), ' ').append(1, '<').append(tag).append(1, '>');
    end();
  }
  void close(int indent, const char *tag) {
    if (!path_.empty()) path_.pop_back();
    buf_.append(static_cast<size_t>(indent), ' ').append("</").append(tag).append(1, '>');
    end();
  }
  void leaf(int indent, const char *tag, const QString &value, Xsd type = Xsd::Text) {
    check(tag, value, type);
    buf_.append(static_cast<size_t>(indent), ' ').append(1, '<').append(tag).append(1, '>');
    escaped(value);
    buf_.append("</").append(tag).append(1, '>');
    end();
  }
  // Written only when the (trimmed) text is not empty.
  void optional(int indent, const char *tag, const QString &value, Xsd type = Xsd::Text) {
    if (!value.isEmpty()) leaf(indent, tag, value, type);
  }
  // Decimals of at most 12 digits, 2 of them after the point.
  void amount(int indent, const char *tag, double value) {
    const QString text = AuditAmount(value);
    qsizetype digits = 0;
    for (QChar c : text) digits += c.isDigit() ? 1 : 0;
    if (digits > 12) refuse(tag, QStringLiteral("\"%1\" több mint 12 számjegy").arg(text));
    leaf(indent, tag, text, Xsd::Count);
  }

  bool finish() {
    flush();
    return ok_;
  }

  // Records reason for the field tag under the open elements, unless an
  // earlier value was refused already.
  void refuse(const char *tag, const QString &reason) {
    if (!refusal_.isEmpty()) return;
    QStringList path;
    for (const char *p : path_) path << QLatin1String(p);
    if (!path.isEmpty() && path.front() == QLatin1String("szamla")) path.pop_front();
    path << QLatin1String(tag);
    const QString field = path.join(QLatin1Char('/'));
    refusal_ = document_.isEmpty()
                   ? QStringLiteral("Javitandó! A fájl fejlécében a(z) \"%1\" adat nem írható: %2.").arg(field, reason)
                   : QStringLiteral("Javitandó! A(z) %1 bizonylatban a(z) \"%2\" adat nem írható: %3.")
                         .arg(document_, field, reason);
  }

 private:
  static constexpr size_t kBlock = 1 << 20;

  // UTF-8 of the text, surrogate pairs joined; "&", "<" and ">" as entities.
  void escaped(const QString &value) {
    const auto *p = reinterpret_cast<const char16_t *>(value.utf16());
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
      char32_t c = p[i];
      if (c < 0x80) {
        switch (c) {
          case '&': buf_ += "&amp;"; break;
          case '<': buf_ += "&lt;"; break;
          case '>': buf_ += "&gt;"; break;
          default: buf_ += static_cast<char>(c);
        }
        continue;
      }
      if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(p[i + 1])) {
        c = QChar::surrogateToUcs4(static_cast<char16_t>(c), p[++i]);
      } else if (QChar::isSurrogate(c)) {
        c = 0xFFFD;  // a lone half of a pair has no character
      }
      if (c < 0x800) {
        buf_ += static_cast<char>(0xC0 | (c >> 6));
      } else if (c < 0x10000) {
        buf_ += static_cast<char>(0xE0 | (c >> 12));
        buf_ += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      } else {
        buf_ += static_cast<char>(0xF0 | (c >> 18));
        buf_ += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        buf_ += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      }
      buf_ += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  void end() {
    buf_ += "\r\n";
    if (buf_.size() >= kBlock) flush();
  }
  void flush() {
    if (out_ && ok_ && out_->write(buf_.data(), static_cast<qint64>(buf_.size())) != static_cast<qint64>(buf_.size()))
      ok_ = false;
    buf_.clear();
  }

  void check(const char *tag, const QString &value, Xsd type) {
    if (!refusal_.isEmpty()) return;
    if (const int c = platform::firstNonXmlChar(value); c >= 0)
      return refuse(tag, QStringLiteral("vezérlőkarakter (#%1) van benne").arg(c));
    if (!strict_) return;
    const qsizetype n = value.size();
    auto length = [&](qsizetype min, qsizetype max) {
      if (n == 0) refuse(tag, QStringLiteral("üres"));
      else if (n < min) refuse(tag, QStringLiteral("%1 karakter, legalább %2 kell").arg(n).arg(min));
      else if (n > max) refuse(tag, QStringLiteral("%1 karakter, legfeljebb %2 lehet").arg(n).arg(max));
    };
    const QString t = value.trimmed();
    static const QRegularExpression date(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    bool number = false;
    const int kind = t.toInt(&number);
    switch (type) {
      case Xsd::Text: return length(1, 100);
      case Xsd::TaxNumber: return length(8, 20);
      case Xsd::PostCode: return length(4, 10);
      case Xsd::Boolean:
        if (t != QLatin1String("true") && t != QLatin1String("false") && t != QLatin1String("1") &&
            t != QLatin1String("0"))
          refuse(tag, t.isEmpty() ? QStringLiteral("üres") : QStringLiteral("\"%1\" nem true vagy false").arg(t));
        return;
      case Xsd::Kind:
        if (!number || kind < 1 || kind > 6) refuse(tag, QStringLiteral("\"%1\" nem 1 és 6 közötti szám").arg(t));
        return;
      case Xsd::Date:
        if (!date.match(t).hasMatch() || !QDate::fromString(t, Qt::ISODate).isValid())
          refuse(tag, t.isEmpty() ? QStringLiteral("üres") : QStringLiteral("\"%1\" nem dátum").arg(t));
        return;
      case Xsd::Count:
        if (t.isEmpty()) refuse(tag, QStringLiteral("üres"));
        return;
    }
  }

  QIODevice *out_;
  std::string buf_;
  bool ok_ = true;
  bool strict_ = true;
  std::vector<const char *> path_;
  QString document_, refusal_;
};

// The first failing check of the staged rows; true when all pass.
bool validate(db::Query &q) {
  auto reject = [](const QString &message) {
    platform::showMessage(message);
    return false;
  };
  const Staged s(q);
  for (q.first(); !q.eof(); q.next()) {
    const QString serial = s.stored(FE_SZLASORSZAM);
    const QString doc = QStringLiteral("Javitandó! Nincs megadva a(z) ") + serial + QStringLiteral("bizonylatban az őstermelő ");
    if (s.text(KI_IRANYITOSZAM).isEmpty())
      return reject(QStringLiteral("Javitandó! Nincs megadva az átvevő irányitószám!"));
    const QString veIrsz = s.text(VE_IRANYITOSZAM);
    if (veIrsz.isEmpty()) return reject(doc + QStringLiteral("irányitószáma!"));
    if (veIrsz.size() < 4)
      return reject(QStringLiteral("Javitandó! Négy karekternél kevesebb a(z) ") + serial +
                    QStringLiteral("bizonylatban az őstermelő irányitószáma!"));
    if (s.text(KI_TELEPULES).isEmpty()) return reject(QStringLiteral("Javitandó! Nincs megadva az átvevő helységnév!"));
    if (s.text(VE_TELEPULES).isEmpty()) return reject(doc + QStringLiteral("helységnév!"));
    if (s.text(KI_KOZTERULET_NEVE).isEmpty()) return reject(QStringLiteral("Javitandó! Nincs megadva az átvevő utcanév!"));
    if (s.text(VE_KOZTERULET_NEVE).isEmpty()) return reject(doc + QStringLiteral("utcanév!"));
    const qsizetype kozadoszam = s.text(VE_KOZADOSZAM).size();
    if (kozadoszam >= 1 && kozadoszam <= 7)
      return reject(QStringLiteral("Javitandó! Kevesebb mint 8 karakter a(z) ") + serial +
                    QStringLiteral("bizonylatban az őstermelő közösségi adószáma!"));
  }
  return true;
}

// One ticket line of a staged document.
struct Line {
  QString name, vtsz, unit;
  double netto, felvar, ear, rate, kompfelar, vetelar;
  bool rateNull;
};

// A serial as the database compares it: trailing blanks do not count.
QString serialKey(QString s) {
  while (s.endsWith(QLatin1Char(' '))) s.chop(1);
  return s;
}

// The lines of every staged document, by serial, each document's lines in
// the database's order, as one query per document would give them: one join
// instead of a query per document.
QHash<QString, std::vector<Line>> readLines() {
  db::Query q;
  q.setTransaction(Data->IBTrans1);
  q.sql().add(QStringLiteral("SELECT n.rdb$db_key, s.s_bszam, s.s_megnevezes, s.s_vtsz, s.s_netto, s.s_megy, "));
  q.sql().add(QStringLiteral("    s.s_felvar, s.s_ear, s.s_kompmerteke, s.s_kompfelar, s.s_vetelar "));
  q.sql().add(QStringLiteral("  FROM navfej n JOIN qzsor s ON s.s_bszam = n.fe_szlasorszam "));
  q.open();
  QHash<QString, std::vector<Line>> lines;
  // A serial staged twice meets its lines twice: the first staged row's count.
  QHash<QString, QString> owner;
  db::Field *f[11];
  for (int i = 0; i < 11; ++i) f[i] = &q.field(i);
  for (q.first(); !q.eof(); q.next()) {
    const QString serial = serialKey(f[1]->asString());
    const QString row = f[0]->asString();
    const auto o = owner.constFind(serial);
    if (o == owner.cend()) owner.insert(serial, row);
    else if (*o != row) continue;
    lines[serial].push_back(Line{checks::trimText(f[2]->asString()), checks::trimText(f[3]->asString()),
                                 checks::trimText(f[5]->asString()), f[4]->asFloat(), f[6]->asFloat(),
                                 f[7]->asFloat(), f[8]->asFloat(), f[9]->asFloat(), f[10]->asFloat(),
                                 f[8]->isNull()});
  }
  return lines;
}

// The cim group of the issuer or the customer: ten columns in the same order
// from first on; the street name is optional for the customer.
void writeAddress(Lines &out, const Staged &s, Col first, bool streetRequired) {
  auto col = [first](int offset) { return static_cast<Col>(first + offset); };
  out.open(6, "cim");
  out.leaf(8, "iranyitoszam", s.text(col(0)), Xsd::PostCode);
  out.leaf(8, "telepules", s.text(col(1)));
  out.optional(8, "kerulet", s.text(col(2)));
  if (streetRequired) out.leaf(8, "kozterulet_neve", s.text(col(3)));
  else out.optional(8, "kozterulet_neve", s.text(col(3)));
  const char *const rest[] = {"kozterulet_jellege", "hazszam", "epulet", "lepcsohaz", "szint", "ajto"};
  for (int i = 0; i < 6; ++i) out.optional(8, rest[i], s.text(col(4 + i)));
  out.close(6, "cim");
}

void writeDocument(Lines &out, const Staged &s, const std::vector<Line> &lines, bool optionalGroup) {
  out.open(2, "szamla");
  out.open(4, "fejlec");
  out.leaf(8, "szlasorszam", s.text(FE_SZLASORSZAM));
  out.leaf(8, "szlatipus", s.text(FE_SZLATIPUS), Xsd::Kind);
  out.leaf(8, "szladatum", s.date(FE_SZLADATUM), Xsd::Date);
  out.leaf(8, "teljdatum", s.date(FE_TELJDATUM), Xsd::Date);
  out.close(4, "fejlec");

  out.open(4, "szamlakibocsato");
  out.leaf(6, "adoszam", s.text(KI_ADOSZAM), Xsd::TaxNumber);
  out.optional(6, "kozadoszam", s.text(KI_KOZADOSZAM), Xsd::TaxNumber);
  out.optional(6, "kisadozo", s.text(KI_KISADOZO), Xsd::Boolean);
  out.leaf(6, "nev", s.text(KI_NEV));
  writeAddress(out, s, KI_IRANYITOSZAM, true);
  out.optional(6, "egyeni_vallalkozo", s.text(KI_EGYENI_VALLALKOZO), Xsd::Boolean);
  out.optional(6, "ev_nyilv_tart_szam", s.text(KI_EV_NYILV_TART_SZAM));
  out.optional(6, "ev_neve", s.text(KI_EV_NEVE));
  out.close(4, "szamlakibocsato");

  out.open(4, "vevo");
  out.optional(6, "adoszam", s.text(VE_ADOSZAM), Xsd::TaxNumber);
  out.optional(6, "kozadoszam", s.text(VE_KOZADOSZAM), Xsd::TaxNumber);
  out.leaf(6, "nev", s.text(VE_NEV));
  writeAddress(out, s, VE_IRANYITOSZAM, false);
  out.close(4, "vevo");

  // Per rate, in ascending order of the rate (a missing rate first), as the
  // database groups them; and the document's totals.
  struct Sums {
    double netto = 0, ado = 0, brutto = 0;
    void add(const Line &l) {
      netto += l.felvar;
      ado += l.kompfelar;
      brutto += l.vetelar;
    }
  };
  std::map<std::pair<bool, double>, Sums> rates;
  Sums total;
  int items = 0;
  for (const Line &l : lines) {
    ++items;
    out.open(4, "termek_szolgaltatas_tetelek");
    out.leaf(6, "termeknev", l.name);
    out.optional(6, "besorszam", l.vtsz);
    out.amount(6, "menny", l.netto);
    out.leaf(6, "mertekegys", l.unit);
    out.amount(6, "nettoar", l.felvar);
    out.amount(6, "nettoegysar", l.ear);
    out.amount(6, "adokulcs", l.rate);
    out.amount(6, "adoertek", l.kompfelar);
    out.close(4, "termek_szolgaltatas_tetelek");
    rates[{!l.rateNull, l.rate}].add(l);
    total.add(l);
  }

  const std::pair<Col, const char *> deductions[] = {
      {SZJA_BRUTTOAR, "Szja levonás"}, {TAGI_BRUTTOAR, "Tagi hozzájárul levonás"}, {LEV_BRUTTOAR, "Levonás"}};
  for (const auto &[col, name] : deductions) {
    const double v = s.number(col);
    if (v == 0) continue;
    ++items;
    out.open(4, "termek_szolgaltatas_tetelek");
    out.leaf(6, "termeknev", QString::fromUtf8(name));
    out.amount(6, "menny", 1);
    out.leaf(6, "mertekegys", QStringLiteral("db"));
    out.amount(6, "nettoar", v);
    out.close(4, "termek_szolgaltatas_tetelek");
  }

  if (items == 0) out.refuse("termek_szolgaltatas_tetelek", QStringLiteral("a bizonylatnak nincs tétele"));

  if (s.stored(FE_SZLATIPUS) == TipusErvenytelenito) {
    out.open(4, "modosito_szla");
    out.leaf(6, "eredeti_sorszam", s.text(MO_EREDETI_SORSZAM));
    out.close(4, "modosito_szla");
  }

  out.open(4, "zaradekok");
  out.leaf(6, "onszamla", s.stored(ZA_ONSZAMLA), Xsd::Boolean);
  out.close(4, "zaradekok");

  if (optionalGroup) {
    out.open(4, "nem_kotelezo");
    out.leaf(6, "fiz_hatarido", s.date(NE_FIZ_HATARIDO), Xsd::Date);
    out.leaf(6, "fiz_mod", s.stored(NE_FIZ_MOD) == QLatin1String("x") ? QStringLiteral("átutalás")
                                                                       : QStringLiteral("készpénz"));
    out.leaf(6, "penznem", s.text(NE_PENZNEM));
    out.leaf(6, "szla_forma", s.text(NE_SZLA_FORMA));
    out.optional(6, "kibocsato_bankszla", s.text(NE_KIBOCSATO_BANKSZLA));
    out.optional(6, "befogado_bankszla", s.text(NE_BEFOGADO_BANKSZLA));
    out.close(4, "nem_kotelezo");
  }

  out.open(4, "osszesites");
  for (const auto &[key, sums] : rates) {
    out.open(6, "afarovat");
    out.amount(8, "nettoar", sums.netto);
    out.amount(8, "adokulcs", key.second);
    out.amount(8, "adoertek", sums.ado);
    out.amount(8, "bruttoar", sums.brutto);
    out.close(6, "afarovat");
  }
  out.open(6, "vegosszeg");
  out.amount(8, "nettoarossz", total.netto);
  out.amount(8, "afaertekossz", total.ado);
  out.amount(8, "bruttoarossz", total.brutto);
  out.close(6, "vegosszeg");
  out.close(4, "osszesites");
  out.close(2, "szamla");
}

QString xmlDateOf(const QDate &d) {
  return d.isValid() ? Data->XMLdatum(platform::FormatDateTime(QStringLiteral("yyyy.mm.dd"), d)) : QString();
}

}  // namespace

bool ExportAuditXml(AuditExport &e) {
  // Rows that this instance did not collect (or no longer holds) are not its
  // to write.
  if (!AuditStagingHeld()) {
    platform::showMessage(QStringLiteral("A NAV adatokat ebben az ablakban újra ki kell gyűjteni az export előtt."));
    return false;
  }
  // The staged rows are read once, in file order: validated, counted, written.
  db::Query &q = *Data->ZQ90;
  q.setSql(QStringLiteral("SELECT * FROM NAVFEJ ORDER BY fe_szlasorszam "));
  q.open();
  if (!validate(q)) return false;
  const int count = q.recordCount();

  db::Query b;
  b.setTransaction(Data->IBTrans1);
  b.sql().add(QStringLiteral("SELECT MIN(fe_szlasorszam) AS minbiz, MAX(fe_szlasorszam) AS maxbiz, "));
  b.sql().add(QStringLiteral("    MIN(fe_szladatum) AS mindat, MAX(fe_szladatum) AS maxdat "));
  b.sql().add(QStringLiteral("  FROM NAVFEJ "));
  b.open();
  auto bound = [&b](const char *name) { return b.fieldByName(QLatin1String(name)); };
  e.minSerial = bound("MINBIZ").asString();
  e.maxSerial = bound("MAXBIZ").asString();
  e.boundsRead = true;
  const QString from = e.serialRange ? (bound("MINDAT").isNull() ? QString() : Data->XMLdatum(bound("MINDAT").asString()))
                                     : xmlDateOf(e.from);
  const QString to = e.serialRange ? (bound("MAXDAT").isNull() ? QString() : Data->XMLdatum(bound("MAXDAT").asString()))
                                   : xmlDateOf(e.to);

  const QHash<QString, std::vector<Line>> lines = readLines();

  // What the authority's format cannot hold is refused, naming the field and
  // the document: the writing stops there and the file is abandoned, which
  // leaves the target as it was.
  const QString target = platform::mapWindowsPath(e.path);
  platform::WholeFile file(target);
  auto failed = [&](const QString &reason) {
    platform::error(QStringLiteral("Hiba! A(z) \"") + e.path + QStringLiteral("\" fájl nem írható.") +
                    QLatin1Char('\r') + reason);
    return false;
  };
  if (const platform::Done opened = file.open(); !opened) return failed(opened.reason());
  Lines out(&file.device());
  (void)file.write("\xEF\xBB\xBF");  // a failure shows at the commit
  out.strict(count > 0);
  out.raw(R"(<?xml version="1.0" encoding="utf-8"?>)");
  out.raw(R"(<szamlak xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" )"
          R"(xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns="http://schemas.nav.gov.hu/2013/szamla">)");
  out.leaf(2, "export_datuma", xmlDateOf(e.today), Xsd::Date);
  out.leaf(2, "export_szla_db", QString::number(count), Xsd::Count);
  out.leaf(2, "kezdo_ido", from, Xsd::Date);
  out.leaf(2, "zaro_ido", to, Xsd::Date);
  out.leaf(2, "kezdo_szla_szam", e.minSerial);
  out.leaf(2, "zaro_szla_szam", e.maxSerial);
  const Staged s(q);
  static const std::vector<Line> none;
  for (q.first(); !q.eof() && out.refusal().isEmpty(); q.next()) {
    const auto it = lines.constFind(serialKey(s.stored(FE_SZLASORSZAM)));
    out.document(s.text(FE_SZLASORSZAM));
    writeDocument(out, s, it == lines.cend() ? none : *it, e.optionalGroup);
  }
  out.raw("</szamlak>");
  if (!out.refusal().isEmpty()) {
    file.cancel();
    platform::showMessage(out.refusal());
    return false;
  }
  if (!out.finish()) return failed(platform::lastSystemErrorText());
  if (const platform::Done committed = file.commit(); !committed) return failed(committed.reason());
  return true;
}
