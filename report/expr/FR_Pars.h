#pragma once
// Expression parser: infix text to a postfix string, and evaluation of that
// string. Names and functions come from two callbacks.
#include "report/core/FR_Utils.h"
#include "report/expr/FR_Variant.h"

#include <QString>

#include <functional>

namespace report {

// A malformed expression: too deep, an operand missing, an answer that keeps
// expanding, or a name the report cannot resolve.
class EParserError : public Exception {
 public:
  using Exception::Exception;
};

using TGetPValueEvent = std::function<void(const QString &name, Variant &value)>;
// Name (upper case), the argument texts p1..p3, and the answer as expression text.
using TFunctionEvent =
    std::function<void(const QString &name, const Variant &p1, const Variant &p2, const Variant &p3, QString &val)>;

class TfrParser {
 public:
  TGetPValueEvent OnGetValue;
  TFunctionEvent OnFunction;

  // Conversion followed by evaluation.
  Variant Calc(const QString &expr);
  QString ToPostfix(const QString &expr);
  Variant EvalPostfix(const QString &postfix);

  // The text between the first "[" from start (0-based) and its matching "]";
  // quoted text is skipped. An unbalanced bracket runs to the end of the text.
  static QString ScanBracketName(const QString &s, int start, int &openPos, int &closePos);

  // Limits that keep malformed input from running away.
  static constexpr int MaxExpansions = 1000;  // calls replaced per conversion
  static constexpr int MaxDepth = 64;         // nested conversions (COPY/IF arguments, answers)
  static constexpr int MaxStack = 4096;       // evaluation stack

};

// Doubles the inner single quotes of a text that begins with one and is longer than 2.
QString QuoteValue(const QString &s);

// The engine's global parser, whose callbacks the report sets before a build.
extern TfrParser *frParser;

}  // namespace report
