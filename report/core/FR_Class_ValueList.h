#pragma once
// The report's value list: names bound to database fields, built-in values or
// expressions, with its stream form. Name resolution and display formats use it.
#include "report/core/FR_Utils.h"

#include <QString>

#include <memory>
#include <vector>

namespace report {

class TfrDataset;

enum TfrValueType : quint8 { vtNotAssigned = 0, vtDBField = 1, vtOther = 2, vtFRVar = 3 };

// Built-in names by kind: "PAGE#", "", "DATE", "TIME", "LINE#", "LINETHROUGH#",
// "COLUMN#", "CURRENT#", "TOTALPAGES".
extern const char *const frBuiltInNames[9];

struct TfrValue {
  quint8 Typ = vtNotAssigned;
  qint32 OtherKind = 0;
  QString DataSet;
  QString Field;  // for expressions the expression text
  TfrDataset *DSet = nullptr;  // found by name when a build starts
};

class TfrValues {
 public:
  struct Item {
    QString Name;
    std::unique_ptr<TfrValue> Value;
  };

  int Count() const { return static_cast<int>(items_.size()); }
  const QString &Name(int i) const { return items_[static_cast<size_t>(i)].Name; }
  void SetName(int i, const QString &name) { items_[static_cast<size_t>(i)].Name = name; }
  TfrValue *GetValue(int i) const { return items_[static_cast<size_t>(i)].Value.get(); }
  // Inserts an empty record with an empty name at the front; returns its index.
  int AddValue();
  // The record of a name (exact comparison), or nullptr.
  TfrValue *FindVariable(const QString &name) const;
  void Delete(int i);
  void Clear() { items_.clear(); }

  // i32 count; per value u8 type, i32 kind, short strings dataset, field, name.
  void ReadBinaryData(TfrStream &stream);  // replaces the list
  void WriteBinaryData(TfrStream &stream) const;

 private:
  std::vector<Item> items_;
};

}  // namespace report
