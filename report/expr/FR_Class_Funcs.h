#pragma once
// Function libraries of the report's expressions and the standard library:
// FORMATDATETIME, FORMATFLOAT, INPUT, LOWERCASE, NAMECASE, STRTODATE,
// STRTOTIME, UPPERCASE; the aggregates SUM, AVG, COUNT, MIN, MAX are answered
// through a handler that page filling installs.
#include "report/expr/FR_Variant.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace report {

class TfrFunctionLibrary {
 public:
  TfrFunctionLibrary() = default;
  virtual ~TfrFunctionLibrary() = default;
  // Looks the name up in List; when found, DoFunction answers and the result is true.
  bool OnFunction(const QString &name, const Variant &p1, const Variant &p2, const Variant &p3, QString &val);
  // FNo is the name's index in List; p1..p3 are the argument texts; val is
  // expression text ('quoted' strings, plain numbers, %d'...' dates).
  virtual void DoFunction(int FNo, const Variant &p1, const Variant &p2, const Variant &p3, QString &val) = 0;

  QStringList List;  // sorted, compared without regard to case
 protected:
  void AddFunctions(const QStringList &names);  // keeps List sorted
};

class TfrStdFunctionLibrary : public TfrFunctionLibrary {
 public:
  enum : int {
    fnAVG, fnCOUNT, fnFORMATDATETIME, fnFORMATFLOAT, fnINPUT, fnLOWERCASE, fnMAX, fnMIN,
    fnNAMECASE, fnSTRTODATE, fnSTRTOTIME, fnSUM, fnUPPERCASE
  };
  TfrStdFunctionLibrary();
  void DoFunction(int FNo, const Variant &p1, const Variant &p2, const Variant &p3, QString &val) override;

  // SUM, AVG, COUNT, MIN and MAX; without a handler they answer "0".
  using AggregateHandler =
      std::function<void(int FNo, const Variant &p1, const Variant &p2, const Variant &p3, QString &val)>;
  AggregateHandler Aggregate;
};

// The input box of INPUT: caption, prompt and the default text in value; true
// when the user confirmed (value then holds the text). Without a box (empty
// function) the default is taken, as after Cancel. The default box is a small
// modal text dialog, shown only in a widget application; tests replace it.
using TfrInputBox = std::function<bool(const QString &caption, const QString &prompt, QString &value)>;
bool frDefaultInputBox(const QString &caption, const QString &prompt, QString &value);
extern TfrInputBox frInputBox;

// The engine's libraries in registration order; the standard one is first.
void frRegisterFunctionLibrary(std::unique_ptr<TfrFunctionLibrary> lib);
TfrStdFunctionLibrary *frStdFunctionLibrary();
// Asks every library in turn; false when none knows the name.
bool frCallLibraryFunction(const QString &name, const Variant &p1, const Variant &p2, const Variant &p3, QString &val);

}  // namespace report
