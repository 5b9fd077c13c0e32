#pragma once
// A consistent copy of a database file, taken while programs (this one
// included) have it open. The engine is asked to stop writing the main file
// (its backup lock: changes go to a side file meanwhile), the file is copied,
// the lock is released and the engine merges the side file back. The copy
// carries the locked state in its header; that mark is cleared in the copy
// (what the engine's own backup tool does on a locked copy), so the copy is
// a plain database file that opens by itself.
//
// A backup lock that no live copier holds (its program was killed during a
// copy) is ended before the lock is taken afresh, so a copy never holds the
// database as it was at an earlier crash. The copy is made under a temporary
// name beside the target and takes the target's name only when complete, with
// the database file's own permissions.
#include <QString>

#include <stdexcept>

namespace backup {

// Why a copy was not made, in the user's words.
class CopyError : public std::runtime_error {
 public:
  explicit CopyError(const QString &reason, bool copied = false)
      : std::runtime_error(reason.toStdString()), reason_(reason), copied_(copied) {}
  QString reason() const { return reason_; }
  // The copy was made whole, but the database's lock could not be ended.
  bool copied() const { return copied_; }

 private:
  QString reason_;
  bool copied_;
};

// Copies the database file source to target (both file-system paths).
// The target must not exist: it is never replaced. On failure nothing is left
// at the target (nor a temporary) and the source's lock is released; one
// that cannot be released is a CopyError (copied() when the copy was made). While
// another live program copies the same database: CopyError, that copy left
// alone.
void CopyDatabase(const QString &source, const QString &target);

// Ends a backup lock on the database file source that a killed copier left
// (none held by a live one: nothing happens). Errors rise as db::Error or
// CopyError.
void EndLeftOverBackupLock(const QString &source);

}  // namespace backup
