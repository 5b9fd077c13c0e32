#include "report/expr/FR_Pars.h"

#include "platform/conv.h"

#include <cmath>
#include <vector>

namespace report {

namespace {

TfrParser globalParser;

// Operator codes of the postfix form.
enum : char16_t {
  opGE = 1, opLE = 2, opNE = 3, opOR = 4, opAND = 5, opINT = 6, opFRAC = 7,
  opNeg = 9, opPlus = 10, opSTR = 11, opNOT = 12, opMOD = 13, opROUND = 14,
};

int Priority(char16_t c) {
  switch (c) {
    case '(':
      return 5;
    case ')':
      return 4;
    case opINT: case opFRAC: case opSTR: case opROUND:
      return 0;
    case '*': case '/': case opMOD: case opAND: case opOR: case opNOT:
      return 1;
    case '+': case '-': case opNeg: case opPlus:
      return 2;
    case '<': case '=': case '>': case opGE: case opLE: case opNE:
      return 3;
    default:
      return 0;
  }
}

bool isPrefix(char16_t c) {
  return c == opINT || c == opFRAC || c == opSTR || c == opROUND || c == opNOT || c == opNeg || c == opPlus;
}

bool isNumberStart(QChar c) { return c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char(','); }

bool isDelimiter(QChar c) {
  switch (c.unicode()) {
    case ' ': case '(': case ')': case '*': case '+': case '-': case '/':
    case '<': case '=': case '>': case ';':
      return true;
    default:
      return false;
  }
}

// Identifier or number from i (blanks skipped first); i ends at the delimiter.
// A number keeps a sign right after its exponent letter ("1E-6").
void ScanIdentifier(const QString &s, int &i) {
  const int n = s.size();
  while (i < n && s[i] == QLatin1Char(' ')) ++i;
  const int start = i;
  const bool number = i < n && s[i].isDigit();
  bool inDq = false;
  while (i < n) {
    const QChar c = s[i];
    if (c == QLatin1Char('"')) {
      inDq = !inDq;
    } else if (!inDq && isDelimiter(c)) {
      const bool expSign = number && (c == QLatin1Char('+') || c == QLatin1Char('-')) && i > start &&
                           (s[i - 1] == QLatin1Char('E') || s[i - 1] == QLatin1Char('e'));
      if (!expSign) break;
    }
    ++i;
  }
  if (i == start && i < n) ++i;  // always make progress
}

// Quoted literal from the opening quote at i, with its quotes; i ends after it.
QString GetString(const QString &s, int &i) {
  const int n = s.size();
  const int start = i++;
  while (i < n) {
    if (s[i] == QLatin1Char('\'')) {
      if (i + 1 < n && s[i + 1] == QLatin1Char('\'')) {
        i += 2;
        continue;
      }
      ++i;
      break;
    }
    ++i;
  }
  return s.mid(start, i - start);
}

// Argument texts of a call; i at "(" and ends after the matching ")".
void GetParameters(const QString &s, int &i, QString args[3]) {
  const int n = s.size();
  int depth = 1, arg = 0, start = ++i;
  bool inSq = false;
  for (; i < n; ++i) {
    const QChar c = s[i];
    if (c == QLatin1Char('\'')) {
      inSq = !inSq;
    } else if (!inSq) {
      if (c == QLatin1Char('(')) {
        ++depth;
      } else if (c == QLatin1Char(')')) {
        if (--depth == 0) break;
      } else if (c == QLatin1Char(',') && depth == 1) {
        if (arg < 3) args[arg] = s.mid(start, i - start);
        ++arg;
        start = i + 1;
      }
    }
  }
  if (arg < 3) args[arg] = s.mid(start, i - start);
  if (i < n) ++i;
}

QString unquote(const QString &lit) {
  QString t = lit.mid(1);
  if (t.endsWith(QLatin1Char('\''))) t.chop(1);
  t.replace(QLatin1String("''"), QLatin1String("'"));
  return t;
}

QString quote(const QString &text) {
  QString t = text;
  t.replace(QLatin1String("'"), QLatin1String("''"));
  return QLatin1Char('\'') + t + QLatin1Char('\'');
}

// Nesting of conversions and evaluations (arguments, answers, names that are
// expressions) over all parsers of the thread.
thread_local int nesting = 0;
// Expansions over one outermost conversion, nested ones included.
thread_local int totalExpansions = 0;
constexpr int MaxTotalExpansions = 100000;

struct NestGuard {
  NestGuard() {
    if (++nesting > TfrParser::MaxDepth) {
      --nesting;
      throw EParserError(QStringLiteral("Expression nested too deeply"));
    }
  }
  ~NestGuard() { --nesting; }
};

// Evaluation stacks, one per nesting level, reused between evaluations.
thread_local std::vector<std::vector<Variant>> stackPool;

// A number literal of plain digits is read directly; anything else goes
// through the platform's conversion.
Variant numberLiteral(QStringView t) {
  if (t.size() <= 18) {
    qint64 v = 0;
    bool digits = true;
    for (QChar c : t) {
      if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
        digits = false;
        break;
      }
      v = v * 10 + (c.unicode() - '0');
    }
    if (digits) return Variant(static_cast<double>(v));
  }
  QString n = t.toString();
  const QChar sep = platform::regional().decimalSeparator;
  for (QChar &ch : n)
    if (ch == QLatin1Char(',') || ch == QLatin1Char('.')) ch = sep;
  return Variant(platform::StrToFloat(n));
}

char16_t operatorWord(QStringView w) {
  switch (w.size()) {
    case 2:
      if (w.compare(QLatin1String("OR"), Qt::CaseInsensitive) == 0) return opOR;
      break;
    case 3:
      if (w.compare(QLatin1String("INT"), Qt::CaseInsensitive) == 0) return opINT;
      if (w.compare(QLatin1String("AND"), Qt::CaseInsensitive) == 0) return opAND;
      if (w.compare(QLatin1String("NOT"), Qt::CaseInsensitive) == 0) return opNOT;
      if (w.compare(QLatin1String("STR"), Qt::CaseInsensitive) == 0) return opSTR;
      if (w.compare(QLatin1String("MOD"), Qt::CaseInsensitive) == 0) return opMOD;
      break;
    case 4:
      if (w.compare(QLatin1String("FRAC"), Qt::CaseInsensitive) == 0) return opFRAC;
      break;
    case 5:
      if (w.compare(QLatin1String("ROUND"), Qt::CaseInsensitive) == 0) return opROUND;
      break;
  }
  return 0;
}

[[noreturn]] void missingOperand() { throw EParserError(QStringLiteral("Missing operand in expression")); }

}  // namespace

TfrParser *frParser = &globalParser;

QString QuoteValue(const QString &s) {
  if (s.size() > 2 && s.startsWith(QLatin1Char('\''))) {
    QString inner = s.mid(1, s.size() - 2);
    inner.replace(QLatin1String("'"), QLatin1String("''"));
    return QLatin1Char('\'') + inner + s.back();
  }
  return s;
}

QString TfrParser::ScanBracketName(const QString &s, int start, int &openPos, int &closePos) {
  const int n = s.size();
  int depth = 0;
  bool inDq = false, inSq = false;
  openPos = -1;
  int i = start < 0 ? 0 : start;
  for (; i < n; ++i) {
    const QChar c = s[i];
    if (c == QLatin1Char('"') && !inSq) {
      inDq = !inDq;
    } else if (c == QLatin1Char('\'') && !inDq) {
      inSq = !inSq;
    } else if (!inDq && !inSq) {
      if (c == QLatin1Char('[')) {
        if (depth == 0 && openPos < 0) openPos = i;
        ++depth;
      } else if (c == QLatin1Char(']') && depth > 0) {
        if (--depth == 0) break;
      }
    }
  }
  closePos = i;  // the matching "]", or the end of the text
  if (openPos < 0) return QString();
  return s.mid(openPos + 1, closePos - openPos - 1);
}

Variant TfrParser::Calc(const QString &expr) { return EvalPostfix(ToPostfix(expr)); }

QString TfrParser::ToPostfix(const QString &expr) {
  NestGuard guard;
  if (nesting == 1) totalExpansions = 0;
  QString s = expr;
  QString out;
  out.reserve(s.size() + 8);
  QString ops;
  bool last = false;  // the last token was an operand
  int expansions = 0;
  int i = 0;

  auto opStep = [&](char16_t op, bool prefixPlace) {
    if (!last) {
      if (op == '-') op = opNeg;
      if (op == '+') op = opPlus;
    }
    last = false;
    // A prefix operator waits for its operand: it never pops the binary
    // operator before it ("2*-3", "a and not b").
    if (!(prefixPlace && isPrefix(op))) {
      const int p = Priority(op);
      while (!ops.isEmpty() && p >= Priority(ops.back().unicode())) {
        out += ops.back();
        ops.chop(1);
      }
    }
    ops += QChar(op);
  };

  auto replaceCall = [&](int from, int to, const QString &repl) {
    if (++expansions > MaxExpansions || ++totalExpansions > MaxTotalExpansions)
      throw EParserError(QStringLiteral("Too many function expansions"));
    QString next;
    next.reserve(s.size() + repl.size() + 2);
    next.append(QStringView(s).left(from)).append(QLatin1Char('(')).append(repl).append(QLatin1Char(')'));
    next.append(QStringView(s).mid(to));
    s = std::move(next);
    i = from;
  };

  while (i < s.size()) {
    const QChar c = s[i];
    const char16_t u = c.unicode();
    if (u == ' ') {
      ++i;
      continue;
    }
    if (u == ';') break;
    if (u == '(') {
      ops += c;
      last = false;
      ++i;
      continue;
    }
    if (u == ')') {
      while (!ops.isEmpty() && ops.back() != QLatin1Char('(')) {
        out += ops.back();
        ops.chop(1);
      }
      if (!ops.isEmpty()) ops.chop(1);
      ++i;
      continue;
    }
    if (u == '*' || u == '+' || u == '-' || u == '/' || u == '<' || u == '=' || u == '>') {
      char16_t op = u;
      const QChar next = i + 1 < s.size() ? s[i + 1] : QChar();
      if (u == '<' && next == QLatin1Char('>')) {
        op = opNE;
        ++i;
      } else if (u == '>' && next == QLatin1Char('=')) {
        op = opGE;
        ++i;
      } else if (u == '<' && next == QLatin1Char('=')) {
        op = opLE;
        ++i;
      }
      ++i;
      opStep(op, !last);
      continue;
    }

    // An operand.
    const bool wasOperand = last;
    last = true;
    const int start = i;
    if (u == '%') i = qMin<int>(i + 2, s.size());
    if (i < s.size() && s[i] == QLatin1Char('\'')) {
      GetString(s, i);
    } else if (i < s.size() && s[i] == QLatin1Char('[')) {
      int open, close;
      ScanBracketName(s, i, open, close);
      i = qMin<int>(close + 1, s.size());
    } else if (i < s.size()) {
      ScanIdentifier(s, i);
    }
    const QStringView operand = QStringView(s).mid(start, i - start);
    if (operand.isEmpty()) continue;
    if (isNumberStart(operand[0])) {
      out.append(operand).append(QLatin1Char(' '));
      continue;
    }
    const char16_t word = operatorWord(operand);
    if (word) {
      last = wasOperand;
      opStep(word, !wasOperand);
      continue;
    }
    const bool call = i < s.size() && s[i] == QLatin1Char('(');
    if (!call) {
      out.append(operand).append(QLatin1Char(' '));
      continue;
    }
    const QString upper = operand.toString().toUpper();
    QString args[3];
    int end = i;
    GetParameters(s, end, args);
    QString repl;
    if (upper == QLatin1String("COPY")) {
      const QString text = Calc(args[0]).toString();
      qint64 from = Calc(args[1]).toInt();
      qint64 count = Calc(args[2]).toInt();
      if (from < 1) from = 1;
      if (count < 0) count = 0;
      repl = quote(from > text.size() ? QString() : text.mid(from - 1, count));
    } else if (upper == QLatin1String("IF")) {
      const Variant cond = Calc(args[0]);
      const long double v = cond.isString() ? platform::StrToFloat(cond.stringValue()) : cond.toFloat();
      // The chosen argument is expression text already: it is not quoted again.
      repl = std::trunc(v) > 0 ? args[1] : args[2];
    } else {
      QString val;
      if (OnFunction) {
        OnFunction(upper, Variant(args[0]), Variant(args[1]), Variant(args[2]), val);
        repl = QuoteValue(val);
      }
    }
    last = wasOperand;
    replaceCall(start, end, repl);
  }
  while (!ops.isEmpty()) {
    if (ops.back() != QLatin1Char('(')) out += ops.back();
    ops.chop(1);
  }
  return out;
}

Variant TfrParser::EvalPostfix(const QString &p) {
  NestGuard guard;
  // Sized once, so that a nested evaluation never moves an outer one's stack.
  if (stackPool.empty()) stackPool.resize(static_cast<size_t>(MaxDepth) + 2);
  std::vector<Variant> &st = stackPool[static_cast<size_t>(nesting)];
  st.clear();
  enum { None, Date, Time } mark = None;
  const int n = p.size();
  auto need = [&](size_t k) {
    if (st.size() < k) missingOperand();
  };
  auto push = [&](Variant &&v) {
    if (st.size() >= static_cast<size_t>(MaxStack)) throw EParserError(QStringLiteral("Expression too complex"));
    st.push_back(std::move(v));
  };
  for (int i = 0; i < n; ++i) {
    const char16_t c = p[i].unicode();
    switch (c) {
      case ' ':
      case opPlus:
        if (c == opPlus) need(1);
        continue;
      case '+': case opOR: case '-': case '*': case opAND: case '/': case opMOD:
      case '<': case '>': case '=': case opGE: case opLE: case opNE: {
        need(2);
        Variant b = std::move(st.back());
        st.pop_back();
        Variant &a = st.back();
        switch (c) {
          case '+': case opOR: a = VarAdd(a, b); break;
          case '-': a = VarSub(a, b); break;
          case '*': case opAND: a = VarMul(a, b); break;
          case '/': a = VarIsZero(b) ? Variant(0) : VarDiv(a, b); break;
          case opMOD: a = VarMod(a, b); break;
          case '<': a = Variant(VarCompare(a, b) < 0 ? 1 : 0); break;
          case '>': a = Variant(VarCompare(a, b) > 0 ? 1 : 0); break;
          case '=': a = Variant(VarCompare(a, b) == 0 ? 1 : 0); break;
          case opGE: a = Variant(VarCompare(a, b) >= 0 ? 1 : 0); break;
          case opLE: a = Variant(VarCompare(a, b) <= 0 ? 1 : 0); break;
          case opNE: a = Variant(VarCompare(a, b) != 0 ? 1 : 0); break;
        }
        continue;
      }
      case opINT: case opFRAC: case opROUND: case opNeg: case opSTR: case opNOT: {
        need(1);
        Variant &a = st.back();
        switch (c) {
          case opINT: a = Variant(std::trunc(a.toFloat())); break;
          case opFRAC: {
            const double f = a.toFloat();
            a = Variant(f - std::trunc(f));
            break;
          }
          case opROUND: {
            const long double r = platform::RoundHalfEven(a.toFloat());
            if (!(r >= -2147483648.0L && r <= 2147483647.0L))
              throw platform::ConvertError(QStringLiteral("Value out of range for ROUND"));
            a = Variant(static_cast<int>(r));
            break;
          }
          case opNeg: a = VarNeg(a); break;
          case opSTR: a = Variant(a.toString()); break;
          case opNOT: a = Variant(VarIsZero(a) ? 1 : 0); break;
        }
        continue;
      }
      case '%':
        if (i + 1 < n) {
          const char16_t m = p[i + 1].unicode();
          if (m == 'D' || m == 'd') mark = Date;
          else if (m == 'T' || m == 't') mark = Time;
          ++i;
        }
        continue;
      case '\'': {
        const QString text = unquote(GetString(p, i));
        --i;
        if (mark == Date) push(Variant::DateTime(frDateValue(platform::StrToDate(text))));
        else if (mark == Time) push(Variant::DateTime(frTimeValue(platform::StrToTime(text))));
        else push(Variant(text));
        mark = None;
        continue;
      }
      case '[': {
        int open, close;
        const QString name = ScanBracketName(p, i, open, close);
        Variant v;
        if (OnGetValue) OnGetValue(name, v);
        push(std::move(v));
        i = close;
        continue;
      }
      default: {
        const int start = i;
        bool inDq = false;
        while (i < n) {
          const QChar ch = p[i];
          if (ch == QLatin1Char('"')) inDq = !inDq;
          else if (!inDq && ch == QLatin1Char(' ')) break;
          ++i;
        }
        const QStringView t = QStringView(p).mid(start, i - start);
        if (isNumberStart(t[0])) {
          push(numberLiteral(t));
        } else {
          Variant v;
          if (OnGetValue) OnGetValue(t.toString().toUpper(), v);
          push(std::move(v));
        }
        continue;
      }
    }
  }
  Variant result = st.empty() ? Variant() : std::move(st.front());
  st.clear();
  return result;
}

}  // namespace report
