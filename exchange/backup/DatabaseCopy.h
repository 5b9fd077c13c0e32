#pragma once
// A consistent copy of a database file, taken while programs (this one
// included) have it open. The engine is asked to stop writing the main file
// (its backup lock: changes go to a side file meanwhile), the file is copied,
// the lock is released and the engine merges the side file back. The copy
// carries the locked state in its header; that mark is cleared in the copy
// (what the engine's own backup tool does on a locked copy), so the copy is
// a plain database file that opens by itself.
#include <QString>

#include <stdexcept>

namespace backup {

// Why a copy was not made, in the user's words.
class CopyError : public std::runtime_error {
 public:
  explicit CopyError(const QString &reason) : std::runtime_error(reason.toStdString()), reason_(reason) {}
  QString reason() const { return reason_; }

 private:
  QString reason_;
};

// Copies the database file source to target (both file-system paths).
// The target must not exist: it is created exclusively, never replaced. On
// failure nothing is left at the target and the source's lock is released.
void CopyDatabase(const QString &source, const QString &target);

// Copies the bytes of an open file to a new file (created exclusively):
// the plain copy that the database copy is made of. Removes a half-written
// target on failure.
void CopyFileExclusive(const QString &source, const QString &target);

}  // namespace backup
