#include "report/data/FR_DSet.h"

#include "platform/conv.h"

#include <vector>

namespace report {

TfrDataset::TfrDataset(QObject *owner) : QObject(owner) {}
TfrDataset::~TfrDataset() = default;

void TfrDataset::First() {
  RecNo = 0;
  if (OnFirst) OnFirst(this);
}

void TfrDataset::Next() {
  ++RecNo;
  if (OnNext) OnNext(this);
}

bool TfrDataset::Eof() {
  bool eof = RangeEnd == reCount && RecNo >= RangeEndCount;
  if (OnCheckEOF) OnCheckEOF(this, eof);
  return eof;
}

TfrDataset *frFindDataSource(const QString &name, bool &owned) {
  owned = false;
  if (name.isEmpty() || name.contains(u';')) return nullptr;
  TfrDataset *ds = nullptr;
  if (name[0] >= u'1' && name[0] <= u'9') {
    const int count = platform::StrToInt(name);
    auto *counted = new TfrUserDataset();
    counted->RangeEnd = reCount;
    counted->RangeEndCount = count;
    ds = counted;
    owned = true;
  } else {
    // A name that finds nothing gives no source (a master band then takes
    // the report's Dataset); a component of another class is an error.
    QObject *component = frFindReportComponent(name);
    if (!component) return nullptr;
    ds = qobject_cast<TfrDataset *>(component);
    if (!ds) throw EInvalidCast();
  }
  try {
    ds->Init();
  } catch (...) {
    if (owned) delete ds;
    owned = false;
    throw;
  }
  return ds;
}

namespace {

std::vector<QPointer<QObject>> &globalComponents() {
  static std::vector<QPointer<QObject>> list;
  return list;
}

QPointer<QObject> &reportOwner() {
  static QPointer<QObject> owner;
  return owner;
}

bool sameName(const QObject *o, const QString &name) {
  return o->objectName().compare(name, Qt::CaseInsensitive) == 0;
}

QObject *findChild(QObject *owner, const QString &name) {
  if (!owner || name.isEmpty()) return nullptr;
  for (QObject *o : owner->findChildren<QObject *>())
    if (sameName(o, name)) return o;
  return nullptr;
}

}  // namespace

void frRegisterGlobalComponent(QObject *container) {
  if (!container) return;
  frUnregisterGlobalComponent(container);
  globalComponents().emplace_back(container);
}

void frUnregisterGlobalComponent(QObject *container) {
  std::erase_if(globalComponents(),
                [&](const QPointer<QObject> &p) { return p.isNull() || p == container; });
}

QObject *frFindGlobalComponent(const QString &name) {
  if (name.isEmpty()) return nullptr;
  for (const QPointer<QObject> &p : globalComponents())
    if (p && sameName(p, name)) return p;
  return nullptr;
}

QObject *frFindComponent(QObject *owner, const QString &name) {
  const int dot = name.indexOf(u'.');
  if (dot < 0) return findChild(owner, name);
  return findChild(frFindGlobalComponent(name.left(dot)), name.mid(dot + 1));
}

void frSetReportOwner(QObject *owner) { reportOwner() = owner; }
QObject *frReportOwner() { return reportOwner(); }

QObject *frFindReportComponent(const QString &name) { return frFindComponent(frReportOwner(), name); }

void frGetComponents(QObject *owner, const QMetaObject &cls, QStringList &list, QObject *skip) {
  auto add = [&](QObject *container, bool own) {
    for (QObject *o : container->findChildren<QObject *>()) {
      if (o == skip || o->objectName().isEmpty() || !o->metaObject()->inherits(&cls)) continue;
      list.append(own ? o->objectName() : container->objectName() + u'.' + o->objectName());
    }
  };
  if (owner) add(owner, true);
  for (const QPointer<QObject> &p : globalComponents())
    if (p && p != owner) add(p, false);
}

}  // namespace report
