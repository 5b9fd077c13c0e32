#pragma once
// How a report answers the evaluator: the value of a name (value list,
// dataset field, built-in names, report variables, expressions), function
// calls, and the display formats that turn a value into text.

#include "report/expr/FR_Variant.h"
#include "db/dataset.h"

#include <QDateTime>
#include <QHash>
#include <QPointer>
#include <QString>

#include <functional>


namespace report {

class TfrParser;
class TfrValues;
struct TfrValue;

// Format word: byte 3 category, byte 2 type, byte 1 decimals, byte 0 separator.
enum TfrFormatCategory { fcText = 0, fcNumber = 1, fcDate = 2, fcTime = 3, fcBoolean = 4 };
inline int frFormatCategory(quint32 f) { return int((f >> 24) & 0xFF); }
inline int frFormatType(quint32 f) { return int((f >> 16) & 0xFF); }
inline int frFormatDecimals(quint32 f) { return int((f >> 8) & 0xFF); }
inline char frFormatSeparator(quint32 f) { return char(f & 0xFF); }

// Text of a value under a display format. The decimal separator is the
// format's (never the process-wide setting); Null and "" give "".
QString frFormatValue(const Variant &value, quint32 format, const QString &formatStr);

// A number as the decimal it stands for: the first 15 significant digits of
// the double (all it holds reliably), so that a printed half is rounded on
// the decimal value (7 % of 6 666 667,50 is 466 666,725 and prints
// 466 666,73) and the noise of binary sums never decides a printed digit.
long double frDecimalValue(double value);
// A number rounded to the decimals as it prints: on its decimal value,
// halves away from zero. Totals that add these equal their printed rows.
long double frRoundDecimal(double value, int decimals);

// Splits a bracket's contents at the first " #" into the expression and a
// format suffix, which replaces parts of format and formatStr (they come in
// as the object's own). Without a suffix the text is the expression.
QString frSplitFormat(const QString &text, quint32 &format, QString &formatStr);

// Limit of nested name evaluations (expressions that refer to each other).
inline constexpr int frMaxNameDepth = 32;

// The build's counters and fixed values that the built-in names read; page
// filling keeps them current.
struct TfrBuiltInValues {
  int PageNo = 0;       // page number counter (PAGE# is one more)
  int TotalPages = 0;   // TOTALPAGES: 0 without two passes
  int LineNo = 0;       // LINE# of the current band (or the first of its chain)
  int LineThrough = 0;  // LINETHROUGH#
  int ColumnNo = 1;     // COLUMN# of the current page
  int CurrentNo = 1;    // CURRENT#
  QDateTime Started;    // DATE and TIME: fixed when the build started
};

// A report's answers to the evaluator.
class TfrNameResolver {
 public:
  TfrNameResolver();
  ~TfrNameResolver();  // takes its callbacks back from the parser it was attached to
  TfrNameResolver(const TfrNameResolver &) = delete;
  TfrNameResolver &operator=(const TfrNameResolver &) = delete;

  // First chance for the report's owner: true when it gave the value.
  std::function<bool(const QString &name, Variant &value)> OnGetValue;
  // Functions no library knows, while a band is printed.
  std::function<void(const QString &name, const Variant &p1, const Variant &p2, const Variant &p3,
                     QString &val)>
      OnUserFunction;
  bool BandPrinting = false;

  TfrValues *Values = nullptr;              // the report's value list
  QPointer<db::DataSet> ActiveDataSet;      // dataset of the band that governs the current band
  TfrBuiltInValues BuiltIns;
  Variant CurValue;                         // "VALUE": the value being formatted

  // Start of a build: fix date and time, find the datasets of the value
  // list's field values, forget earlier lookups.
  // Names of the value list are found through an index, rebuilt here and
  // when the list's size changes (a rename alone is seen at the next
  // BeginBuild); EndBuild forgets it and the field lookups.
  void BeginBuild(const QDateTime &now = QDateTime::currentDateTime());
  void EndBuild();
  // Sets the parser's callbacks to this resolver. The parser must outlive
  // the resolver.
  void Attach(TfrParser &parser);

  void ResolveValue(const QString &name, Variant &value);
  void CallFunction(const QString &name, const Variant &p1, const Variant &p2, const Variant &p3,
                    QString &val);
  // One bracket's contents as display text, under the object's format.
  void ParseFormat(const QString &text, quint32 format, const QString &formatStr, QString &result);
  // Evaluates a text through the parser with the self-reference guard.
  Variant Evaluate(const QString &expr);

 private:
  struct FieldRef {
    QPointer<db::DataSet> dataSet;   // the dataset found (null: none)
    db::DataSet *active = nullptr;   // the band's dataset the name was looked up in
    QString field;                   // field name without quotes
    int index = -1;                  // field index when found
  };
  void indexValues();
  const TfrValue *findValue(const QString &name);
  bool fieldValue(const QString &name, Variant &value);
  bool builtIn(const QString &name, Variant &value) const;
  Variant valueOfRecord(const QString &name, int typ, int kind, const QString &dataSet,
                        const QString &field);

  TfrParser *parser_ = nullptr;
  QString lastName_;
  int depth_ = 0;
  QHash<QString, FieldRef> fields_;              // names looked up as fields
  QHash<QString, QPointer<db::DataSet>> valueSets_;  // value-list datasets by name
  QHash<QString, int> valueIndex_;               // value-list names to positions
  int indexedCount_ = -1;
};

}  // namespace report
