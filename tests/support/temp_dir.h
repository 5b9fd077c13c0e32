#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

namespace vorik::test {

// A fresh folder per test that is removed afterwards.
class TempDir {
 public:
  TempDir();
  QString path() const { return dir_.path(); }
  QString file(const QString &name) const { return dir_.filePath(name); }

 private:
  QTemporaryDir dir_;
};

// Path of a file under the source tree (test data, resources).
QString sourcePath(const QString &relative);

// Makes or replaces the file at path with bytes; false, and a test failure
// naming the path, when they cannot all be written.
bool writeFile(const QString &path, const QByteArray &bytes);
// The bytes of the file at path; ifUnreadable when it cannot be read.
QByteArray readFile(const QString &path, const QByteArray &ifUnreadable = QByteArray());

// A file to be read that is not there as the program expects: gone, a
// folder in its place, a FIFO (a reader would wait for good), a link to an
// endless device, or a file of 300 MB (sparse); with the reason its messages
// then name.
struct UnreadableFile {
  enum Kind { Missing, Folder, Fifo, DeviceLink, FarTooLarge } kind;
  QString reason;
};
QList<UnreadableFile> unreadableFiles();
// Leaves path as c says (a file or empty folder there before removed); false
// when it cannot.
bool makeUnreadable(const QString &path, const UnreadableFile &c);

// A program of the given name, a shell script of body, found first on the
// PATH while this lives (the PATH is restored afterwards).
class ProgramOnPath {
 public:
  ProgramOnPath(const QString &name, const QByteArray &body);
  ~ProgramOnPath();

 private:
  TempDir dir_;
  QByteArray path_;
};

}  // namespace vorik::test
