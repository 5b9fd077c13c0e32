#pragma once
// Shared plumbing over the engine's object API; included by db/ sources and
// by code that measures or tests db/ against the bare interface.
#include "db/fb_owned.h"

#include <firebird/Interface.h>

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <cstdint>

namespace db::fb {

// Sets FIREBIRD (the engine's root folder) when the environment does not
// name one, then loads the client. Safe to call repeatedly.
Firebird::IMaster *master();
Firebird::IUtil *util();
// The dispatcher: routes a hostless path to the embedded engine.
Firebird::IProvider *provider();

// A status object for one or more calls; check() raises db::Error with the
// engine's formatted text when the last call failed.
class Status {
 public:
  Status();
  Status(const Status &) = delete;
  Status &operator=(const Status &) = delete;
  Firebird::CheckStatusWrapper *operator&() { return &wrapper_; }
  Firebird::CheckStatusWrapper *get() { return &wrapper_; }
  bool failed() const;
  void check();
  void clear() { wrapper_.init(); }

 private:
  Owned<Firebird::IStatus> raw_;  // before the wrapper, which points at it
  Firebird::CheckStatusWrapper wrapper_;
};

// Character set id of WIN1250 in the engine's catalogue.
constexpr unsigned kWin1250 = 51;

// Engine date: days since 17 November 1858; time: 1/10000 s since midnight.
inline ISC_DATE encodeDate(const QDate &d) { return static_cast<ISC_DATE>(d.toJulianDay() - 2400001); }
inline QDate decodeDate(ISC_DATE d) { return QDate::fromJulianDay(static_cast<qint64>(d) + 2400001); }
ISC_TIME encodeTime(const QTime &t);
QTime decodeTime(ISC_TIME t);

// File names go to the engine in the local 8-bit form.
QByteArray fileName(const QString &path);

}  // namespace db::fb
