#include "report/core/FR_Class_ValueList.h"

namespace report {

const char *const frBuiltInNames[9] = {"PAGE#", "", "DATE", "TIME", "LINE#", "LINETHROUGH#",
                                       "COLUMN#", "CURRENT#", "TOTALPAGES"};

int TfrValues::AddValue() {
  items_.insert(items_.begin(), Item{QString(), std::make_unique<TfrValue>()});
  return 0;
}

TfrValue *TfrValues::FindVariable(const QString &name) const {
  for (const Item &it : items_)
    if (it.Name == name) return it.Value.get();
  return nullptr;
}

void TfrValues::Delete(int i) {
  if (i >= 0 && i < Count()) items_.erase(items_.begin() + i);
}

void TfrValues::ReadBinaryData(TfrStream &s) {
  std::vector<Item> read;
  const qint32 n = s.ReadI32();
  for (qint32 i = 0; i < n; ++i) {
    auto v = std::make_unique<TfrValue>();
    v->Typ = s.ReadU8();
    v->OtherKind = s.ReadI32();
    v->DataSet = frReadShortString(s);
    v->Field = frReadShortString(s);
    QString name = frReadShortString(s);
    read.push_back(Item{std::move(name), std::move(v)});
  }
  items_ = std::move(read);
}

void TfrValues::WriteBinaryData(TfrStream &s) const {
  s.WriteI32(Count());
  for (const Item &it : items_) {
    s.WriteU8(it.Value->Typ);
    s.WriteI32(it.Value->OtherKind);
    frWriteShortString(s, it.Value->DataSet);
    frWriteShortString(s, it.Value->Field);
    frWriteShortString(s, it.Name);
  }
}

}  // namespace report
