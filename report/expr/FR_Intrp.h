#pragma once
// Report variables and the script interpreter: compilation of an object's or
// band's script into compiled lines, and running them.
#include "report/expr/FR_Pars.h"
#include "report/expr/FR_Variant.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace report {

class TfrView;

// Ordered name -> value list; names compared without regard to case.
class TfrVariables {
 public:
  void SetVariable(const QString &name, const Variant &value);
  Variant GetVariable(const QString &name) const;  // Null when missing
  int IndexOf(const QString &name) const;
  int Count() const { return static_cast<int>(items_.size()); }
  QString GetNameByIndex(int index) const;    // empty when out of range
  Variant GetValueByIndex(int index) const;   // integer 0 when out of range
  void SetValueByIndex(int index, const Variant &value);
  void Delete(int index);
  void Clear();

 private:
  struct Item {
    QString name;
    Variant value;
  };
  std::vector<Item> items_;
  QHash<QString, int> index_;  // case-folded name -> position
};

// A script that ran past the step limit.
class EScriptError : public Exception {
 public:
  using Exception::Exception;
};

class TfrInterpretator {
 public:
  TfrInterpretator();
  virtual ~TfrInterpretator();
  TfrInterpretator(const TfrInterpretator &) = delete;
  TfrInterpretator &operator=(const TfrInterpretator &) = delete;

  virtual void GetValue(const QString &name, Variant &value);
  virtual void SetValue(const QString &name, const Variant &value);
  virtual void DoFunction(const QString &name, const Variant &p1, const Variant &p2, const Variant &p3, QString &val);
  // Compiles the source lines into compiled lines (cleared first); errors go
  // to the error list (cleared first). Source and compiled may be one list.
  virtual void PrepareScript(const QStringList &source, QStringList &compiled, QStringList &errors);
  virtual void DoScript(const QStringList &compiled);

  // Lines a single DoScript may run before it is stopped with EScriptError.
  static inline long long MaxSteps = 10'000'000;

 protected:
  TfrParser Parser;
};

// What a script reaches during a build; set by the report before DoScript.
struct TfrScriptContext {
  TfrView *CurView = nullptr;  // the object or band whose script runs
  std::function<TfrView *(const QString &name)> FindObject;  // objects of the current page
  std::function<int()> FreeSpace;  // remaining height of the current page, pixels
  std::function<void()> NewPage, NewColumn;  // requests to the band being printed
  // Properties 1..4 (Left, Top, Width, Height) and 6 (Visible) of a band
  // object's run-time band; false when there is no run-time band.
  std::function<bool(TfrView *band, int prop, Variant &value)> GetBandProperty;
  std::function<bool(TfrView *band, int prop, const Variant &value)> SetBandProperty;
};

// The engine's interpreter: object properties, colour names, FREESPACE,
// report variables, NEWPAGE and NEWCOLUMN.
class TInterpretator : public TfrInterpretator {
 public:
  void GetValue(const QString &name, Variant &value) override;
  void SetValue(const QString &name, const Variant &value) override;
  void DoFunction(const QString &name, const Variant &p1, const Variant &p2, const Variant &p3, QString &val) override;

  TfrScriptContext Context;

  // Property numbers (1-based, as the script names them) and colour names.
  static int PropertyIndex(const QString &prop);
  static bool ColorByName(const QString &name, qint32 &color);
};

// The 16 named colours of scripts in table order (clWhite, clBlack, clMaroon,
// ... clAqua), index 0 to 15; the designer's colour selector shows them so.
inline constexpr int frNamedColorCount = 16;
quint32 frNamedColor(int index);  // 0 for an index out of range

extern TfrVariables *frVariables;
extern TInterpretator *frInterpretator;

// Points frVariables and frInterpretator at the engine's own again and
// empties the report variables (part of frResetGlobals).
void frResetScriptGlobals();

}  // namespace report
