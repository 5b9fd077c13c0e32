// The database set-up the register's benchmarks share: a new database in a
// temporary folder with its own data module open on it, statements run each in
// its own transaction, the receiver, and numbered rows from crossed digits.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include "app/Unit2.h"

namespace bench {

class Database {
 public:
  // Creates fileName from the schema script in a fresh temporary folder and
  // opens a data module on it (it becomes the global Data).
  explicit Database(const QString &fileName = QStringLiteral("bench.fdb"));

  // One statement in its own transaction, committed.
  void run(const QString &sql);
  // The receiver B0001 with its address, tax number and bank account, made
  // the current one; normal documents are of type "1".
  void addReceiver();
  // The table DIGITS of the rows 0 to 9, for DigitNumbers.
  void addDigits();

  QTemporaryDir dir;
  TData data{nullptr};
};

// "SELECT first + k AS i FROM DIGITS a, DIGITS b, ... WHERE k < count": the
// numbers first .. first + count - 1, k made of as many digit rows as count needs.
QString DigitNumbers(qint64 first, int count);

// The one set-up of type W for the process, built at the first call; its data
// module becomes the global Data again at every call.
template <class W>
W &Shared() {
  static W w;
  Data = &w.data;
  return w;
}

}  // namespace bench
