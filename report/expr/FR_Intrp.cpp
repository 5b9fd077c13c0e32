#include "report/expr/FR_Intrp.h"

#include "report/core/FR_Class_View.h"

#include <limits>

namespace report {

namespace {

TfrVariables globalVariables;
TInterpretator globalInterpretator;

QString fold(const QString &s) { return s.toCaseFolded(); }

// ---------------------------------------------------------------- compiled lines

enum : char16_t { opJumpIfZero = 1, opJump = 2, opExpr = 3 };
constexpr quint32 unresolved = 0xFFFFFFFFu;

QString target(quint32 t) {
  QString s(2, QChar());
  s[0] = QChar(static_cast<char16_t>(t & 0xFFFF));
  s[1] = QChar(static_cast<char16_t>(t >> 16));
  return s;
}

quint32 targetOf(const QString &line) {
  if (line.size() < 3) return unresolved;
  return static_cast<quint32>(line[1].unicode()) | (static_cast<quint32>(line[2].unicode()) << 16);
}

void setTarget(QString &line, quint32 t) {
  line[1] = QChar(static_cast<char16_t>(t & 0xFFFF));
  line[2] = QChar(static_cast<char16_t>(t >> 16));
}

// ---------------------------------------------------------------- compiler

const QString msgEnd = QStringLiteral("Здесь требуется \";\" или \"end\"");
const QString msgThen = QStringLiteral("Здесь требуется \"then\"");
const QString msgUntil = QStringLiteral("Здесь требуется \";\" или \"until\"");
const QString msgDo = QStringLiteral("Здесь требуется \"do\"");
const QString msgGoto = QStringLiteral("Метка в goto должна быть числом");
const QString msgAssign = QStringLiteral("Здесь требуется \":=\"");
const QString msgParen = QStringLiteral("Здесь требуется \")\"");
const QString msgBracket = QStringLiteral("Здесь требуется \"]\"");
const QString msgComma = QStringLiteral("Здесь требуется \",\" или \")\"");

struct CompileError {
  int pos;
  QString message;
};

bool isLetter(QChar c) { return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z')); }
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
bool isIdentChar(QChar c) { return isLetter(c) || isDigit(c) || c == QLatin1Char('_'); }
bool isNameChar(QChar c) { return isIdentChar(c) || c == QLatin1Char('.'); }

class Compiler {
 public:
  Compiler(const QString &text, QStringList &out) : t_(text), out_(out) {}

  void compile() {
    statement();
    for (const auto &[line, label] : gotos_) {
      const auto it = labels_.constFind(label);
      if (it != labels_.constEnd()) setTarget(out_[line], static_cast<quint32>(*it));
    }
  }

  void resolvePendingGotos() {
    for (const auto &[line, label] : gotos_) {
      const auto it = labels_.constFind(label);
      if (it != labels_.constEnd()) setTarget(out_[line], static_cast<quint32>(*it));
    }
  }

 private:
  QChar at(int i) const { return i < t_.size() ? t_[i] : QChar(); }
  bool atEnd() const { return p_ >= t_.size(); }
  void skipBlanks() {
    while (p_ < t_.size() && t_[p_].unicode() <= 32) ++p_;
  }
  // The blank-delimited word at the position, upper-cased (not consumed).
  QString peekWord() {
    skipBlanks();
    int e = p_;
    if (e < t_.size()) ++e;
    while (e < t_.size() && t_[e].unicode() > 32) ++e;
    return t_.mid(p_, e - p_).toUpper();
  }
  // A keyword as a whole word at the position (case-insensitive).
  bool wordAt(const char *kw) const {
    const int n = static_cast<int>(qstrlen(kw));
    if (p_ + n > t_.size()) return false;
    if (QStringView(t_).mid(p_, n).compare(QLatin1String(kw), Qt::CaseInsensitive) != 0) return false;
    return !isNameChar(at(p_ + n));
  }
  // END as a whole word, also as "END." closing the script; gives the length
  // to consume (0 when there is none).
  int endWordAt() const {
    if (wordAt("END")) return 3;
    if (p_ + 4 <= t_.size() && QStringView(t_).mid(p_, 3).compare(QLatin1String("END"), Qt::CaseInsensitive) == 0 &&
        at(p_ + 3) == QLatin1Char('.') && !isIdentChar(at(p_ + 4)))
      return 4;
    return 0;
  }
  bool keywordAt(const char *kw) {
    skipBlanks();
    return wordAt(kw);
  }
  [[noreturn]] void fail(const QString &msg) {
    skipBlanks();
    throw CompileError{p_, msg};
  }
  int addLine(const QString &line) {
    out_.append(line);
    return static_cast<int>(out_.size()) - 1;
  }
  int here() const { return static_cast<int>(out_.size()); }

  void statement() {
    skipBlanks();
    if (atEnd() || at(p_) == QLatin1Char(';')) return;
    if (endWordAt() || wordAt("UNTIL") || wordAt("ELSE")) return;
    // label
    if (isDigit(at(p_))) {
      int e = p_;
      while (isDigit(at(e))) ++e;
      if (at(e) == QLatin1Char(':') && at(e + 1) != QLatin1Char('=')) {
        const QString label = t_.mid(p_, e - p_);
        if (!labels_.contains(label)) labels_.insert(label, here());
        p_ = e + 1;
        statement();
        return;
      }
    }
    if (wordAt("BEGIN")) {
      p_ += 5;
      for (;;) {
        statement();
        skipBlanks();
        if (at(p_) == QLatin1Char(';')) {
          ++p_;
          continue;
        }
        if (const int n = endWordAt()) {
          p_ += n;
          return;
        }
        fail(msgEnd);
      }
    }
    if (wordAt("IF")) {
      p_ += 2;
      const QString cond = expressionText();
      if (!keywordAt("THEN")) fail(msgThen);
      p_ += 4;
      const int jump = addLine(QChar(opJumpIfZero) + target(unresolved) + cond);
      statement();
      if (keywordAt("ELSE")) {
        p_ += 4;
        const int skip = addLine(QChar(opJump) + target(unresolved));
        setTarget(out_[jump], static_cast<quint32>(here()));
        statement();
        setTarget(out_[skip], static_cast<quint32>(here()));
      } else {
        setTarget(out_[jump], static_cast<quint32>(here()));
      }
      return;
    }
    if (wordAt("REPEAT")) {
      p_ += 6;
      const int start = here();
      for (;;) {
        statement();
        skipBlanks();
        if (at(p_) == QLatin1Char(';')) {
          ++p_;
          continue;
        }
        if (wordAt("UNTIL")) {
          p_ += 5;
          break;
        }
        fail(msgUntil);
      }
      const QString cond = expressionText();
      addLine(QChar(opJumpIfZero) + target(static_cast<quint32>(start)) + cond);
      return;
    }
    if (wordAt("WHILE")) {
      p_ += 5;
      const int start = here();
      const QString cond = expressionText();
      if (!keywordAt("DO")) fail(msgDo);
      p_ += 2;
      const int jump = addLine(QChar(opJumpIfZero) + target(unresolved) + cond);
      statement();
      addLine(QChar(opJump) + target(static_cast<quint32>(start)));
      setTarget(out_[jump], static_cast<quint32>(here()));
      return;
    }
    if (wordAt("GOTO")) {
      p_ += 4;
      skipBlanks();
      const int line = addLine(QChar(opJump) + target(unresolved));
      int e = p_;
      while (isDigit(at(e))) ++e;
      if (e == p_ || isNameChar(at(e))) {
        // The label word is read before it is found wrong: the error stands after it.
        while (p_ < t_.size() && t_[p_].unicode() > 32) ++p_;
        fail(msgGoto);
      }
      gotos_.push_back({line, t_.mid(p_, e - p_)});
      p_ = e;
      return;
    }
    if (isLetter(at(p_))) {
      const int start = p_;
      int e = p_;
      while (isNameChar(at(e))) ++e;
      if (at(e) == QLatin1Char('(')) {
        addLine(QChar(opExpr) + expressionText());
        return;
      }
      const QString name = t_.mid(start, e - start);
      p_ = e;
      skipBlanks();
      if (at(p_) == QLatin1Char(':') && at(p_ + 1) == QLatin1Char('=')) {
        p_ += 2;
        addLine(name + QLatin1Char(' ') + expressionText());
        return;
      }
      if (at(p_) == QLatin1Char('[')) {
        ++p_;
        const QString index = expressionText();
        skipBlanks();
        if (at(p_) != QLatin1Char(']')) fail(msgBracket);
        ++p_;
        skipBlanks();
        if (!(at(p_) == QLatin1Char(':') && at(p_ + 1) == QLatin1Char('='))) fail(msgAssign);
        p_ += 2;
        const QString value = expressionText();
        addLine(QChar(opExpr) + QStringLiteral("SETARRAY(%1, %2, %3)").arg(name, index, value));
        return;
      }
      if (atEnd() || at(p_) == QLatin1Char(';')) {
        addLine(QChar(opExpr) + name + QStringLiteral("(0)"));
        return;
      }
      fail(msgAssign);
    }
    addLine(QChar(opExpr) + expressionText());
  }

  // Checks an expression's syntax and gives its text.
  QString expressionText() {
    skipBlanks();
    const int start = p_;
    expression();
    return t_.mid(start, p_ - start).trimmed();
  }

  void expression() {
    if (++depth_ > 512) fail(msgParen);
    simple();
    skipBlanks();
    const QChar c = at(p_), d = at(p_ + 1);
    if ((c == QLatin1Char('>') || c == QLatin1Char('<')) && (d == QLatin1Char('=') || (c == QLatin1Char('<') && d == QLatin1Char('>')))) {
      p_ += 2;
      simple();
    } else if (c == QLatin1Char('>') || c == QLatin1Char('<') || c == QLatin1Char('=')) {
      ++p_;
      simple();
    }
    --depth_;
  }

  void simple() {
    for (;;) {
      term();
      skipBlanks();
      const QChar c = at(p_);
      if (c == QLatin1Char('+') || c == QLatin1Char('-')) {
        ++p_;
      } else if (wordAt("OR")) {
        p_ += 2;
      } else {
        return;
      }
    }
  }

  void term() {
    for (;;) {
      factor();
      skipBlanks();
      const QChar c = at(p_);
      if (c == QLatin1Char('*') || c == QLatin1Char('/')) {
        ++p_;
      } else if (wordAt("AND") || wordAt("MOD")) {
        p_ += 3;
      } else {
        return;
      }
    }
  }

  void factor() {
    skipBlanks();
    const QChar c = at(p_);
    if (c == QLatin1Char('(')) {
      ++p_;
      expression();
      skipBlanks();
      if (at(p_) != QLatin1Char(')')) fail(msgParen);
      ++p_;
    } else if (c == QLatin1Char('[')) {
      int depth = 0;
      bool sq = false, dq = false;
      for (; p_ < t_.size(); ++p_) {
        const QChar ch = t_[p_];
        if (ch == QLatin1Char('\'') && !dq) sq = !sq;
        else if (ch == QLatin1Char('"') && !sq) dq = !dq;
        else if (!sq && !dq && ch == QLatin1Char('[')) ++depth;
        else if (!sq && !dq && ch == QLatin1Char(']') && --depth == 0) break;
      }
      if (atEnd()) fail(msgBracket);
      ++p_;
    } else if (c == QLatin1Char('+') || c == QLatin1Char('-')) {
      ++p_;
      expression();
    } else if (wordAt("NOT")) {
      p_ += 3;
      expression();
    } else if (isLetter(c)) {
      int e = p_;
      while (isIdentChar(at(e))) ++e;
      if (at(e) == QLatin1Char('(')) {
        p_ = e + 1;
        skipBlanks();
        if (at(p_) == QLatin1Char(')')) {
          ++p_;
          return;
        }
        for (;;) {
          expression();
          skipBlanks();
          if (at(p_) == QLatin1Char(',')) {
            ++p_;
            continue;
          }
          if (at(p_) == QLatin1Char(')')) {
            ++p_;
            return;
          }
          fail(msgComma);
        }
      }
      while (isNameChar(at(e))) ++e;
      p_ = e;
      skipBlanks();
      if (at(p_) == QLatin1Char('[')) {
        ++p_;
        expression();
        skipBlanks();
        if (at(p_) != QLatin1Char(']')) fail(msgBracket);
        ++p_;
      }
    } else if (isDigit(c)) {
      while (isDigit(at(p_))) ++p_;
      if (at(p_) == QLatin1Char('.') && isDigit(at(p_ + 1))) {
        ++p_;
        while (isDigit(at(p_))) ++p_;
      }
    } else if (c == QLatin1Char('\'')) {
      ++p_;
      while (p_ < t_.size()) {
        if (t_[p_] == QLatin1Char('\'')) {
          if (at(p_ + 1) == QLatin1Char('\'')) {
            p_ += 2;
            continue;
          }
          ++p_;
          break;
        }
        ++p_;
      }
    }
  }

  const QString &t_;
  QStringList &out_;
  int p_ = 0;
  int depth_ = 0;
  QHash<QString, int> labels_;
  std::vector<std::pair<int, QString>> gotos_;
};

// Cuts a source line before "//" and "{".
QString cutComments(const QString &line) {
  qsizetype cut = line.size();
  const qsizetype a = line.indexOf(QLatin1String("//"));
  const qsizetype b = line.indexOf(QLatin1Char('{'));
  if (a >= 0) cut = a;
  if (b >= 0 && b < cut) cut = b;
  return line.left(cut);
}

QString cleanScript(const QStringList &source) {
  QString text;
  for (const QString &src : source) {
    QString line = QLatin1Char(' ') + cutComments(src);
    line.replace(QLatin1Char('\t'), QLatin1Char(' '));
    bool blank = false;
    for (const QChar c : line) {
      if (c == QLatin1Char(' ')) {
        if (!blank) text += c;
        blank = true;
      } else {
        text += c;
        blank = false;
      }
    }
  }
  return text;
}

// Line and column of an error: the non-blank characters of the cleaned text
// before the offending word are counted, and the source lines are walked with
// that count, each up to its "{" (a "//" comment counts); the column is that
// of the last character counted, so the error stands after the last good word.
QString errorText(const QStringList &source, const QString &text, int pos, const QString &message) {
  int count = 0;
  for (int i = 0; i < text.size() && i < pos; ++i)
    if (text[i].unicode() > 32) ++count;
  if (count == 0) return QStringLiteral("Строка 1/1: %1").arg(message);
  int line = source.isEmpty() ? 1 : static_cast<int>(source.size()), column = 1;
  int seen = 0;
  bool found = false;
  for (int l = 0; l < source.size() && !found; ++l) {
    const QString &src = source[l];
    for (int c = 0; c < src.size() && src[c] != QLatin1Char('{'); ++c) {
      if (src[c].unicode() > 32 && ++seen == count) {
        line = l + 1;
        column = c + 1;
        found = true;
        break;
      }
    }
  }
  if (!found && !source.isEmpty()) column = static_cast<int>(cutComments(source.last()).size());
  return QStringLiteral("Строка %1/%2: %3").arg(line).arg(column).arg(message);
}

// ---------------------------------------------------------------- properties

const char *const propNames[16] = {"Left", "Top", "Width", "Height", "Flags", "Visible", "FrameTyp", "FrameWidth",
                                   "FrameColor", "FillColor", "Text", "FontName", "FontSize", "FontStyle",
                                   "FontColor", "Adjust"};
enum { pLeft = 1, pTop, pWidth, pHeight, pFlags, pVisible, pFrameTyp, pFrameWidth, pFrameColor, pFillColor,
       pText, pFontName, pFontSize, pFontStyle, pFontColor, pAdjust };

struct ColorName {
  const char *name;
  quint32 value;
};
const ColorName colorNames[17] = {
    {"clWhite", 0xFFFFFF}, {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000},
    {"clOlive", 0x008080}, {"clNavy", 0x800000},  {"clPurple", 0x800080}, {"clTeal", 0x808000},
    {"clGray", 0x808080},  {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF},   {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF}, {"clBlue", 0xFF0000},  {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
    {"clTransparent", 0x1FFFFFFF},
};

QString joinText(const QStringList &lines) {
  QString s;
  for (const QString &l : lines) s += l + QStringLiteral("\r\n");
  return s;
}

QStringList splitText(const QString &text) {
  QStringList lines;
  QString cur;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
      lines.append(cur);
      cur.clear();
      if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) ++i;
    } else {
      cur += c;
    }
  }
  if (!cur.isEmpty()) lines.append(cur);
  return lines;
}

void resolveByReport(const QString &name, Variant &value) {
  if (frParser->OnGetValue) frParser->OnGetValue(name, value);
}

}  // namespace

TfrVariables *frVariables = &globalVariables;
TInterpretator *frInterpretator = &globalInterpretator;

void frResetScriptGlobals() {
  frVariables = &globalVariables;
  frInterpretator = &globalInterpretator;
  frVariables->Clear();
}

// ---------------------------------------------------------------- TfrVariables

void TfrVariables::SetVariable(const QString &name, const Variant &value) {
  const QString key = fold(name);
  const auto it = index_.constFind(key);
  if (it != index_.constEnd()) {
    items_[static_cast<size_t>(*it)].value = value;
    return;
  }
  index_.insert(key, static_cast<int>(items_.size()));
  items_.push_back(Item{name, value});
}

Variant TfrVariables::GetVariable(const QString &name) const {
  const int i = IndexOf(name);
  return i < 0 ? Variant() : items_[static_cast<size_t>(i)].value;
}

int TfrVariables::IndexOf(const QString &name) const { return index_.value(fold(name), -1); }

QString TfrVariables::GetNameByIndex(int index) const {
  if (index < 0 || index >= Count()) return QString();
  return items_[static_cast<size_t>(index)].name;
}

Variant TfrVariables::GetValueByIndex(int index) const {
  if (index < 0 || index >= Count()) return Variant(0);
  return items_[static_cast<size_t>(index)].value;
}

void TfrVariables::SetValueByIndex(int index, const Variant &value) {
  if (index >= 0 && index < Count()) items_[static_cast<size_t>(index)].value = value;
}

void TfrVariables::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
  index_.clear();
  for (size_t i = 0; i < items_.size(); ++i) index_.insert(fold(items_[i].name), static_cast<int>(i));
}

void TfrVariables::Clear() {
  items_.clear();
  index_.clear();
}

// ---------------------------------------------------------------- TfrInterpretator

TfrInterpretator::TfrInterpretator() {
  Parser.OnGetValue = [this](const QString &name, Variant &value) { GetValue(name, value); };
  Parser.OnFunction = [this](const QString &name, const Variant &p1, const Variant &p2, const Variant &p3,
                             QString &val) { DoFunction(name, p1, p2, p3, val); };
}

TfrInterpretator::~TfrInterpretator() = default;

void TfrInterpretator::GetValue(const QString &, Variant &) {}
void TfrInterpretator::SetValue(const QString &, const Variant &) {}
void TfrInterpretator::DoFunction(const QString &, const Variant &, const Variant &, const Variant &, QString &) {}

void TfrInterpretator::PrepareScript(const QStringList &source, QStringList &compiled, QStringList &errors) {
  const QStringList src = source;  // source and compiled may be one list
  const QString text = cleanScript(src);
  compiled.clear();
  errors.clear();
  Compiler c(text, compiled);
  try {
    c.compile();
  } catch (const CompileError &e) {
    // Lines compiled before the error stay; their unresolved jumps end the script.
    c.resolvePendingGotos();
    errors.append(errorText(src, text, e.pos, e.message));
  }
}

void TfrInterpretator::DoScript(const QStringList &compiled) {
  const qsizetype n = compiled.size();
  qsizetype i = 0;
  long long steps = 0;
  while (i < n) {
    if (++steps > MaxSteps) throw EScriptError(QStringLiteral("Script stopped: too many steps"));
    const QString &line = compiled[i];
    if (line.isEmpty()) {
      ++i;
      continue;
    }
    const char16_t op = line[0].unicode();
    if (op == opJumpIfZero) {
      const quint32 t = targetOf(line);
      if (VarIsZero(Parser.Calc(line.mid(3)))) {
        if (t == unresolved) return;
        i = t;
      } else {
        ++i;
      }
    } else if (op == opJump) {
      const quint32 t = targetOf(line);
      if (t == unresolved) return;
      i = t;
    } else if (op == opExpr) {
      Parser.Calc(line.mid(1));
      ++i;
    } else {
      qsizetype s = 0;
      while (s < line.size() && line[s] == QLatin1Char(' ')) ++s;
      qsizetype e = line.indexOf(QLatin1Char(' '), s);
      if (e < 0) e = line.size();
      const QString name = line.mid(s, e - s);
      SetValue(name, Parser.Calc(line.mid(e + 1)));
      ++i;
    }
  }
}

// ---------------------------------------------------------------- TInterpretator

int TInterpretator::PropertyIndex(const QString &prop) {
  for (int i = 0; i < 16; ++i)
    if (prop.compare(QLatin1String(propNames[i]), Qt::CaseInsensitive) == 0) return i + 1;
  return 0;
}

bool TInterpretator::ColorByName(const QString &name, qint32 &color) {
  for (const ColorName &c : colorNames) {
    if (name.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0) {
      color = static_cast<qint32>(c.value);
      return true;
    }
  }
  return false;
}

quint32 frNamedColor(int index) {
  return index >= 0 && index < frNamedColorCount ? colorNames[index].value : 0;
}

namespace {

// The object and property a script name refers to.
TfrView *locate(const TfrScriptContext &ctx, const QString &name, QString &prop, bool &named) {
  const qsizetype dot = name.indexOf(QLatin1Char('.'));
  named = dot >= 0;
  if (!named) {
    prop = name;
    return ctx.CurView;
  }
  prop = name.mid(dot + 1, 255);
  return ctx.FindObject ? ctx.FindObject(name.left(dot)) : nullptr;
}

}  // namespace

void TInterpretator::GetValue(const QString &name, Variant &value) {
  value = Variant(0);
  const int vi = frVariables->IndexOf(name);
  if (vi >= 0) {
    value = frVariables->GetValueByIndex(vi);
    return;
  }
  if (name == QLatin1String("FREESPACE")) {
    value = Variant(QString::number(Context.FreeSpace ? Context.FreeSpace() : 0));
    return;
  }
  QString prop;
  bool named;
  TfrView *v = locate(Context, name, prop, named);
  if (!v) {
    resolveByReport(name, value);
    return;
  }
  const int p = PropertyIndex(prop);
  if (p == 0) {
    qint32 color;
    if (ColorByName(prop, color)) value = Variant(color);
    else resolveByReport(name, value);
    return;
  }
  auto *memo = dynamic_cast<TfrMemoView *>(v);
  if (p >= pFontName && !memo) {
    resolveByReport(name, value);
    return;
  }
  if (v->Typ == gtBand) {
    if ((p <= pHeight || p == pVisible) && Context.GetBandProperty) Context.GetBandProperty(v, p, value);
    return;
  }
  switch (p) {
    case pLeft: value = Variant(v->x); break;
    case pTop: value = Variant(v->y); break;
    case pWidth: value = Variant(v->dx); break;
    case pHeight: value = Variant(v->dy); break;
    case pFlags: value = Variant(static_cast<int>(v->Flags)); break;
    case pVisible: value = Variant(v->Visible); break;
    case pFrameTyp: value = Variant(static_cast<int>(v->FrameTyp)); break;
    case pFrameWidth: value = Variant(v->FrameWidth); break;
    case pFrameColor: value = Variant(static_cast<int>(v->FrameColor)); break;
    case pFillColor: value = Variant(static_cast<int>(v->FillColor)); break;
    case pText: value = Variant(joinText(v->Memo)); break;
    case pFontName: value = Variant(memo->Font.Name); break;
    case pFontSize: value = Variant(memo->Font.Size); break;
    case pFontStyle: value = Variant(frSetFontStyle(memo->Font.Style)); break;
    case pFontColor: value = Variant(static_cast<int>(memo->Font.Color)); break;
    case pAdjust: value = Variant(memo->Adjust); break;
  }
}

void TInterpretator::SetValue(const QString &name, const Variant &value) {
  QString prop;
  bool named;
  TfrView *v = locate(Context, name, prop, named);
  const int p = PropertyIndex(prop);
  if (p == 0) {
    frVariables->SetVariable(name, value);
    return;
  }
  if (!v) return;  // no such object: nothing to set
  auto *memo = dynamic_cast<TfrMemoView *>(v);
  if (p >= pFontName && !memo) return;
  if (v->Typ == gtBand) {
    if ((p <= pHeight || p == pVisible) && Context.SetBandProperty) Context.SetBandProperty(v, p, value);
    return;
  }
  switch (p) {
    case pLeft: v->x = value.toInt(); break;
    case pTop: v->y = value.toInt(); break;
    case pWidth: v->dx = value.toInt(); break;
    case pHeight: v->dy = value.toInt(); break;
    case pFlags: v->Flags = static_cast<quint16>(value.toInt()); break;
    case pVisible: v->Visible = value.toBool(); break;
    case pFrameTyp: v->FrameTyp = static_cast<quint16>(value.toInt()); break;
    case pFrameWidth: v->FrameWidth = static_cast<double>(value.toFloat()); break;
    case pFrameColor: v->FrameColor = static_cast<TColor>(value.toInt()); break;
    case pFillColor: v->FillColor = static_cast<TColor>(value.toInt()); break;
    case pText: v->Memo = splitText(value.toString()); break;
    case pFontName: memo->Font.Name = value.toString(); break;
    case pFontSize: memo->Font.Size = value.toInt(); break;
    case pFontStyle: memo->Font.Style = frGetFontStyle(value.toInt()); break;
    case pFontColor: memo->Font.Color = static_cast<TColor>(value.toInt()); break;
    case pAdjust: memo->Adjust = value.toInt(); break;
  }
}

void TInterpretator::DoFunction(const QString &name, const Variant &p1, const Variant &p2, const Variant &p3,
                                QString &val) {
  if (name == QLatin1String("NEWPAGE")) {
    if (Context.NewPage) Context.NewPage();
    val = QStringLiteral("0");
  } else if (name == QLatin1String("NEWCOLUMN")) {
    if (Context.NewColumn) Context.NewColumn();
    val = QStringLiteral("0");
  } else if (frParser->OnFunction) {
    frParser->OnFunction(name, p1, p2, p3, val);
  }
}

}  // namespace report
