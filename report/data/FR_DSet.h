#pragma once
// Data sources of the report engine: the abstract source, the source driven
// only by its events, and the lookup of components, data sets and fields by
// the names that layouts give them.

#include "report/core/FR_Utils.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

namespace report {

// A data source that cannot reach its dataset ("Unable to open dataset " and the name).
class EDSError : public Exception {
 public:
  using Exception::Exception;
};

// A component of another class where a data source was expected.
class EInvalidCast : public Exception {
 public:
  EInvalidCast() : Exception(QStringLiteral("Invalid class typecast")) {}
};

enum TRangeBegin { rbFirst, rbCurrent };
enum TRangeEnd { reLast, reCurrent, reCount };

using TNotifyEvent = std::function<void(QObject *sender)>;
using TCheckEOFEvent = std::function<void(QObject *sender, bool &eof)>;

// A source of records for a data band: First, then Next until Eof.
class TfrDataset : public QObject {
  Q_OBJECT
 public:
  explicit TfrDataset(QObject *owner = nullptr);
  ~TfrDataset() override;

  TRangeBegin RangeBegin = rbFirst;
  TRangeEnd RangeEnd = reLast;
  int RangeEndCount = 0;
  TNotifyEvent OnFirst;       // after moving to the first record
  TNotifyEvent OnNext;        // after moving to the next record
  TCheckEOFEvent OnCheckEOF;  // may change the end decision

  int RecNo = 0;  // 0-based number of the current record within the run

  virtual void Init() {}
  virtual void Exit() {}
  virtual void First();
  virtual void Next();
  virtual bool Eof();
};

// A source driven only by its events.
class TfrUserDataset : public TfrDataset {
  Q_OBJECT
 public:
  using TfrDataset::TfrDataset;
};

// The source a band's layout names. Empty: none. A name starting with a
// digit 1 to 9: a new source of that many records, which the caller owns
// (owned is set). Otherwise a TfrDataset of the report owner's components.
// A name holding ";" is not a source name. The source found gets Init.
// Raises the conversion error for a bad count and EInvalidCast for a
// component of another class; a name that names nothing gives nullptr.
TfrDataset *frFindDataSource(const QString &name, bool &owned);

// Containers (forms, data modules) that names of the form Container.Component
// reach, as the class library's global component lookup does.
void frRegisterGlobalComponent(QObject *container);
void frUnregisterGlobalComponent(QObject *container);
QObject *frFindGlobalComponent(const QString &name);

// Component names compare without regard to case.
// Form.Component: the container by the global lookup, then the component in
// it; a plain name among the owner's components. nullptr when not found.
QObject *frFindComponent(QObject *owner, const QString &name);

// The owner whose components a report's names refer to (the report's owner);
// set by the report while it builds or is designed.
void frSetReportOwner(QObject *owner);
QObject *frReportOwner();
QObject *frFindReportComponent(const QString &name);

// Every component of the given class (except skip) of every container: the
// owner's by name alone, others' as Container.Component.
void frGetComponents(QObject *owner, const QMetaObject &cls, QStringList &list,
                     QObject *skip = nullptr);

}  // namespace report
