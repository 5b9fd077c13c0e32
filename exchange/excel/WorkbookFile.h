#pragma once
// A workbook file on disk: the workbook stream ("Book") inside a compound
// file, streamed into the temporary of a platform::WholeFile, so
// that a failed save leaves the old file as it was and no part of the new
// one.
#include "platform/whole_file.h"

#include <QString>

#include <cstddef>
#include <stdexcept>

struct _GsfOutput;
struct _GsfOutfile;

namespace excel {

// A save that could not be made; reason says why, in the user's words, with
// the file's name.
class SaveError : public std::runtime_error {
 public:
  explicit SaveError(const QString &reason) : std::runtime_error(reason.toStdString()), reason_(reason) {}
  QString reason() const { return reason_; }

 private:
  QString reason_;
};

// Why the existing file at path may not be replaced: it is no regular file,
// it is read-only, or another program holds a lock on it. Empty when it may
// be replaced or does not exist.
QString ReplaceRefusal(const QString &path);

class WorkbookFile {
 public:
  // Creates the temporary file in the target's folder (SaveError when the
  // target is refused or the folder cannot be written).
  explicit WorkbookFile(const QString &target);
  // Removes the temporary file unless commit() succeeded.
  ~WorkbookFile();
  WorkbookFile(const WorkbookFile &) = delete;
  WorkbookFile &operator=(const WorkbookFile &) = delete;

  // Appends to the workbook stream (SaveError on failure).
  void write(const char *data, std::size_t size);
  // Completes the compound file, forces it to the disk and renames it over
  // the target (SaveError on failure; the target is then untouched).
  void commit();

 private:
  [[noreturn]] void fail(const QString &reason);
  [[noreturn]] void failWriting();
  void release();

  QString target_;
  platform::WholeFile file_;
  _GsfOutput *sink_ = nullptr;
  _GsfOutfile *container_ = nullptr;
  _GsfOutput *stream_ = nullptr;
  bool committed_ = false;
};

}  // namespace excel
