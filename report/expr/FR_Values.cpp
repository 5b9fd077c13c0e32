#include "report/expr/FR_Values.h"

#include "report/expr/FR_Class_Funcs.h"
#include "report/core/FR_Class_ValueList.h"
#include "report/expr/FR_Intrp.h"
#include "report/data/FR_DBSet.h"
#include "report/expr/FR_Pars.h"
#include "platform/conv.h"

#include "db/dataset.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

namespace report {

namespace {

const char *const kDatePatterns[4] = {"mm.dd.yy", "mm.dd.yyyy", "d mmm yyyy", "d mmmm yyyy"};
const char *const kTimePatterns[4] = {"hh:nn:ss", "h:nn:ss", "hh:nn", "h:nn"};
const char *const kBoolPatterns[4] = {"0;1", "No;Yes", "_;x", "False;True"};

constexpr long double kMsPerDay = 86400000.0L;

QDateTime toDateTime(long double days) {
  const QDate base(1899, 12, 30);
  // Years 1 to 9999, as dates can be encoded at all.
  if (!(days > -693594.0L && days < 2958466.0L))
    throw platform::ConvertError(QStringLiteral("Invalid argument to date encode"));
  long double whole = platform::Trunc(days);
  long double frac = days - whole;
  if (frac < 0) frac = -frac;  // the time of day counts forward also before the base day
  qint64 ms = qint64(frac * kMsPerDay + 0.5L);
  if (ms >= qint64(kMsPerDay)) ms = qint64(kMsPerDay) - 1;
  // In UTC: only the date and time parts are used, and local time would ask
  // the time zone for every value.
  return QDateTime(base.addDays(qint64(whole)), QTime::fromMSecsSinceStartOfDay(int(ms)), Qt::UTC);
}

// A value as the engine's real (a text read and rounded to a double). A text
// holds a number as the program writes it, with the decimal comma, whatever
// separator the format prints with; one written with the format's separator
// reads too, so a number held as text never stops a build.
double toNumber(const Variant &v, const platform::FormatSettings &fs) {
  if (!v.isString()) return v.toFloat();
  const QString text = v.stringValue().trimmed();
  long double n = 0;
  if (platform::TryStrToFloat(text, n)) return static_cast<double>(n);
  return static_cast<double>(platform::StrToFloat(text, fs));
}

QString boolText(const Variant &v, const QString &pattern, const platform::FormatSettings &fs) {
  const bool truth = v.type() == Variant::Type::Boolean ? v.boolValue() : toNumber(v, fs) != 0;
  const int semi = pattern.indexOf(u';');
  if (semi < 0) return truth ? pattern : QString();
  return truth ? pattern.mid(semi + 1) : pattern.left(semi);
}

QString plainText(const Variant &v, const platform::FormatSettings &fs) {
  switch (v.type()) {
    case Variant::Type::Float:
      return platform::FloatToStr(v.floatValue(), fs);
    case Variant::Type::DateTime: {
      // A time alone (day 0, as TIME is) prints without the date of day 0.
      const QDateTime dt = toDateTime(v.floatValue());
      if (platform::Trunc(v.floatValue()) == 0) return platform::TimeToStr(dt.time(), fs);
      return platform::DateTimeToStr(dt, fs);
    }
    default:
      return v.toString();
  }
}

}  // namespace

namespace {

// The first 15 significant digits of a double, as "d.dddddddddddddde+XX".
std::string digits15(double value) {
  char buf[40];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
  return std::string(buf, res.ptr);
}

}  // namespace

long double frDecimalValue(double value) {
  if (!std::isfinite(value) || value == 0) return value;
  const long double v = std::strtold(digits15(value).c_str(), nullptr);
  return value < 0 ? -v : v;
}

long double frRoundDecimal(double value, int decimals) {
  if (!std::isfinite(value) || value == 0) return value;
  // value = 0.digits x 10^exponent
  const std::string text = digits15(value);
  const size_t e = text.find('e');
  std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
  int exponent = std::atoi(text.c_str() + e + 1) + 1;
  const int keep = exponent + decimals;
  if (keep < 0 || (keep == 0 && digits[0] < '5')) return 0;
  if (keep == 0) {
    digits = "1";
    ++exponent;
  } else if (keep < static_cast<int>(digits.size())) {
    const bool up = digits[static_cast<size_t>(keep)] >= '5';
    digits.resize(static_cast<size_t>(keep));
    int i = keep - 1;
    while (up && i >= 0 && digits[static_cast<size_t>(i)] == '9') digits[static_cast<size_t>(i--)] = '0';
    if (up && i < 0) {
      digits.insert(digits.begin(), '1');
      ++exponent;
    } else if (up) {
      ++digits[static_cast<size_t>(i)];
    }
  }
  const long double v = std::strtold(("0." + digits + "e" + std::to_string(exponent)).c_str(), nullptr);
  return value < 0 ? -v : v;
}

QString frFormatValue(const Variant &value, quint32 format, const QString &formatStr) {
  if (value.isNull() || (value.isString() && value.stringValue().isEmpty())) return QString();
  // The regional settings are copied (dozens of texts) only where the format
  // asks for another decimal separator: this runs once per printed value.
  const platform::FormatSettings &regional = platform::regional();
  std::optional<platform::FormatSettings> own;
  const char sep = frFormatSeparator(format);
  if (sep && regional.decimalSeparator != QChar::fromLatin1(sep)) {
    own.emplace(regional);
    own->decimalSeparator = QChar::fromLatin1(sep);
  }
  const platform::FormatSettings &fs = own ? *own : regional;
  const int type = frFormatType(format);
  switch (frFormatCategory(format)) {
    case fcNumber: {
      // Rounded for print on the decimal value, not on the binary one.
      const long double n = frDecimalValue(toNumber(value, fs));
      const int decimals = frFormatDecimals(format);
      switch (type) {
        case 0:
          return platform::FormatFloat(QStringLiteral("###.##"), n, fs);
        case 1:
          return platform::FloatToStrF(n, platform::FloatFormat::Fixed, 15, decimals, fs);
        case 2:
          return platform::FormatFloat(QStringLiteral("#,###.##"), n, fs);
        case 3:
          return platform::FloatToStrF(n, platform::FloatFormat::Number, 15, decimals, fs);
        default:
          return platform::FormatFloat(formatStr, n, fs);
      }
    }
    case fcDate:
    case fcTime: {
      const QDateTime dt = toDateTime(value.toDateTime());
      const char *const *patterns = frFormatCategory(format) == fcDate ? kDatePatterns : kTimePatterns;
      const QString pattern = type < 4 ? QString::fromLatin1(patterns[type]) : formatStr;
      return platform::FormatDateTime(pattern, dt, fs);
    }
    case fcBoolean:
      return boolText(value, type < 4 ? QString::fromLatin1(kBoolPatterns[type]) : formatStr, fs);
    default:
      return plainText(value, fs);
  }
}

QString frSplitFormat(const QString &text, quint32 &format, QString &formatStr) {
  const int at = text.indexOf(QStringLiteral(" #"));
  if (at < 0) return text;
  const QString expr = text.left(at);
  QString s = text.mid(at + 2);
  if (s.isEmpty()) return expr;
  const QChar c = s[0];
  auto setWord = [&](int category, int type, int decimals, int separator) {
    format = (quint32(category) << 24) | (quint32(type & 0xFF) << 16) |
             (quint32(decimals & 0xFF) << 8) | quint32(separator & 0xFF);
  };
  if (c.isDigit() || c == u'N' || c == u'n') {
    if (c.isDigit()) s.prepend(u'N');
    const bool fixed = s.size() > 1 && s[1].isDigit();
    int separator = frFormatSeparator(format);
    int decimals = frFormatDecimals(format);
    int sepPos = -1;
    for (int i = s.size() - 1; i >= 1; --i) {
      if (s[i] == u',' || s[i] == u'-' || s[i] == u'.') {
        sepPos = i;
        break;
      }
    }
    if (sepPos >= 0) {
      separator = s[sepPos].toLatin1();
      s[sepPos] = u'.';
    }
    if (fixed) {
      // The digits right after the separator are the decimals; none without one.
      decimals = 0;
      if (sepPos >= 0)
        for (int i = sepPos + 1, digits = 0; i < s.size() && s[i].isDigit() && digits < 2; ++i, ++digits)
          decimals = decimals * 10 + s[i].digitValue();
      setWord(fcNumber, 1, decimals, separator);
    } else {
      formatStr = s.mid(1);
      setWord(fcNumber, 4, decimals, separator);
    }
  } else if (c == u'D' || c == u'd' || c == u'T' || c == u't') {
    formatStr = s.mid(1);
    setWord(fcDate, 4, frFormatDecimals(format), frFormatSeparator(format));
  } else if (c == u'B' || c == u'b') {
    formatStr = s.mid(1);
    setWord(fcBoolean, 4, frFormatDecimals(format), frFormatSeparator(format));
  }
  return expr;
}

}  // namespace report

namespace report {

namespace {

const char *const kBuiltIns[9] = {"PAGE#", "", "DATE", "TIME", "LINE#", "LINETHROUGH#",
                                  "COLUMN#", "CURRENT#", "TOTALPAGES"};

QString undefinedSymbol(const QString &name) {
  return QStringLiteral("Undefined symbol \"") + name + u'"';
}

double dateOf(const QDateTime &dt) { return frDateValue(dt.date()); }
double timeOf(const QDateTime &dt) { return frTimeValue(dt.time()); }

}  // namespace

namespace {

// The parser's callbacks into a resolver, as types a resolver can recognise
// again when it goes away.
struct ValueThunk {
  TfrNameResolver *resolver;
  void operator()(const QString &name, Variant &value) const { resolver->ResolveValue(name, value); }
};

struct FunctionThunk {
  TfrNameResolver *resolver;
  void operator()(const QString &name, const Variant &p1, const Variant &p2, const Variant &p3,
                  QString &val) const {
    resolver->CallFunction(name, p1, p2, p3, val);
  }
};

}  // namespace

TfrNameResolver::TfrNameResolver() = default;

TfrNameResolver::~TfrNameResolver() {
  // A parser that still calls this resolver (the engine's global one
  // outlives every report) must not call into freed memory afterwards.
  if (!parser_) return;
  if (const auto *t = parser_->OnGetValue.target<ValueThunk>(); t && t->resolver == this)
    parser_->OnGetValue = nullptr;
  if (const auto *t = parser_->OnFunction.target<FunctionThunk>(); t && t->resolver == this)
    parser_->OnFunction = nullptr;
}

void TfrNameResolver::BeginBuild(const QDateTime &now) {
  BuiltIns.Started = now;
  fields_.clear();
  valueSets_.clear();
  indexValues();
  if (!Values) return;
  for (int i = 0; i < Values->Count(); ++i) {
    const TfrValue *v = Values->GetValue(i);
    if (v && v->Typ == vtDBField && !valueSets_.contains(v->DataSet))
      valueSets_.insert(v->DataSet, frDataSetOf(frFindReportComponent(v->DataSet)));
  }
}

void TfrNameResolver::EndBuild() {
  valueIndex_.clear();
  indexedCount_ = -1;
  fields_.clear();
}

void TfrNameResolver::indexValues() {
  valueIndex_.clear();
  indexedCount_ = Values ? Values->Count() : -1;
  // The first of equal names wins, as a search from the front finds it.
  if (Values)
    for (int i = Values->Count() - 1; i >= 0; --i) valueIndex_.insert(Values->Name(i), i);
}

const TfrValue *TfrNameResolver::findValue(const QString &name) {
  if (!Values) return nullptr;
  if (Values->Count() != indexedCount_) indexValues();
  auto it = valueIndex_.constFind(name);
  if (it != valueIndex_.constEnd() && Values->Name(*it) != name) {
    indexValues();  // the list changed under the same count
    it = valueIndex_.constFind(name);
  }
  return it != valueIndex_.constEnd() ? Values->GetValue(*it) : nullptr;
}

void TfrNameResolver::Attach(TfrParser &parser) {
  parser_ = &parser;
  parser.OnGetValue = ValueThunk{this};
  parser.OnFunction = FunctionThunk{this};
}

Variant TfrNameResolver::Evaluate(const QString &expr) {
  if (expr == lastName_ || depth_ >= frMaxNameDepth) throw EParserError(undefinedSymbol(expr));
  TfrParser *parser = parser_ ? parser_ : frParser;
  if (!parser) throw EParserError(undefinedSymbol(expr));
  const QString saved = lastName_;
  lastName_ = expr;
  ++depth_;
  struct Restore {
    TfrNameResolver *r;
    QString saved;
    ~Restore() {
      r->lastName_ = saved;
      --r->depth_;
    }
  } restore{this, saved};
  return parser->Calc(expr);
}

bool TfrNameResolver::builtIn(const QString &name, Variant &value) const {
  int kind = -1;
  for (int i = 0; i < 9; ++i)
    if (i != 1 && name == QLatin1String(kBuiltIns[i])) kind = i;
  switch (kind) {
    case 0: value = Variant(BuiltIns.PageNo + 1); return true;
    case 2: value = Variant::DateTime(dateOf(BuiltIns.Started)); return true;
    case 3: value = Variant::DateTime(timeOf(BuiltIns.Started)); return true;
    case 4: value = Variant(BuiltIns.LineNo); return true;
    case 5: value = Variant(BuiltIns.LineThrough); return true;
    case 6: value = Variant(BuiltIns.ColumnNo); return true;
    case 7: value = Variant(BuiltIns.CurrentNo); return true;
    case 8: value = Variant(BuiltIns.TotalPages); return true;
    default: return false;
  }
}

bool TfrNameResolver::fieldValue(const QString &name, Variant &value) {
  // Each name is split and its dataset searched once per build; later reads
  // check the remembered field cheaply.
  auto it = fields_.find(name);
  if (it == fields_.end() || (!name.contains(u'.') && it->active != ActiveDataSet.data())) {
    FieldRef ref;
    db::DataSet *ds = ActiveDataSet.data();
    db::Field *field = nullptr;
    frGetDataSetAndField(name, ds, field);
    ref.dataSet = ds;
    ref.active = ActiveDataSet.data();
    ref.index = field ? field->index() : -1;
    ref.field = field ? field->fieldName() : QString();
    it = fields_.insert(name, ref);
  }
  FieldRef &ref = *it;
  db::DataSet *ds = ref.dataSet.data();
  if (!ds || !ds->active()) return false;
  if (ref.index < 0 || ref.index >= ds->fieldCount() || ds->field(ref.index).fieldName() != ref.field) {
    // The dataset was opened again (or opened since): look the field up anew.
    db::DataSet *again = ds;
    db::Field *field = nullptr;
    frGetDataSetAndField(name, again, field);
    if (!field || again != ds) return false;
    ref.index = field->index();
    ref.field = field->fieldName();
  }
  const db::Field &f = ds->field(ref.index);
  // A decimal of a row not being edited is the number it holds, as
  // frFieldValue gives it, without the conversion lookup it would do for
  // every amount a list prints.
  if (f.type() == db::FieldType::Numeric && ds->state() != db::DataSet::State::Edit)
    value = f.isNull() ? Variant::Null() : Variant(f.asFloat());
  else
    value = frFieldValue(f);
  return true;
}

Variant TfrNameResolver::valueOfRecord(const QString &name, int typ, int kind,
                                       const QString &dataSet, const QString &field) {
  switch (typ) {
    case vtDBField: {
      db::DataSet *ds = valueSets_.value(dataSet);
      if (!ds && !valueSets_.contains(dataSet)) ds = frDataSetOf(frFindReportComponent(dataSet));
      if (!ds) throw EParserError(undefinedSymbol(name));
      if (!ds->active()) ds->open();
      QString fieldName = field;
      frStripQuotes(fieldName);
      db::Field *f = ds->findField(fieldName);
      if (!f) throw EParserError(undefinedSymbol(name));
      return frFieldValue(*f);
    }
    case vtOther: {
      if (kind == 1) return Evaluate(field);
      Variant v;
      if (kind >= 0 && kind < 9 && builtIn(QLatin1String(kBuiltIns[kind]), v)) return v;
      return Variant(QString());
    }
    case vtFRVar:
      return Evaluate(field);
    default:
      return Variant(QString());
  }
}

void TfrNameResolver::ResolveValue(const QString &name, Variant &value) {
  if (OnGetValue && OnGetValue(name, value)) return;
  {
    if (const TfrValue *v = findValue(name)) {
      value = valueOfRecord(name, v->Typ, v->OtherKind, v->DataSet, v->Field);
      return;
    }
  }
  if (fieldValue(name, value)) return;
  if (name == QLatin1String("VALUE")) {
    value = CurValue;
    return;
  }
  if (builtIn(name, value)) return;
  if (frVariables) {
    const int i = frVariables->IndexOf(name);
    if (i >= 0) {
      value = frVariables->GetValueByIndex(i);
      return;
    }
  }
  value = Evaluate(name);
}

void TfrNameResolver::CallFunction(const QString &name, const Variant &p1, const Variant &p2,
                                   const Variant &p3, QString &val) {
  val = QStringLiteral("0");
  if (frCallLibraryFunction(name, p1, p2, p3, val)) return;
  if (BandPrinting && OnUserFunction) OnUserFunction(name, p1, p2, p3, val);
}

void TfrNameResolver::ParseFormat(const QString &text, quint32 format, const QString &formatStr,
                                  QString &result) {
  QString fmtStr = formatStr;
  const QString expr = frSplitFormat(text, format, fmtStr);
  ResolveValue(expr, CurValue);
  result = frFormatValue(CurValue, format, fmtStr);
}

}  // namespace report
