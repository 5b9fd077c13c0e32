#pragma once
// Files written whole or not at all: the one way the program replaces a file.
// The bytes go to a hidden temporary file beside the target; commit() pushes
// them out of every buffer onto the disk, checks each step's outcome (a full
// disk shows at the flush or the sync, not at the write) and only then renames
// the temporary over the target. On any failure the old target is as it was,
// the temporary is gone and the Failure says why in the program's words
// (platform::systemErrorText).
//
// Temporary names are "." + target name + ".~" + process id + "." + six
// random characters, the target's name cut where the whole would pass the
// file system's limit on a name. One that a killed run left behind (its process is gone)
// is removed by the next writer of the same target.
#include "platform/result.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QFile;
class QIODevice;

namespace platform {

class WholeFile {
 public:
  // Each: commit() forces the file onto the disk. ByCaller: the caller does,
  // for many files of a folder at once (a syncfs of the folder), and has
  // removed the temporaries killed writers left there once before them all
  // (removeLeftTemporariesIn), which open() then leaves out.
  enum class Sync { Each, ByCaller };
  // Over: an existing file at path is replaced. Never: open() refuses one
  // (EEXIST), and the rename never replaces one that came meanwhile.
  enum class Replace { Over, Never };
  explicit WholeFile(QString path, Sync sync = Sync::Each, Replace replace = Replace::Over);
  // An uncommitted write is cancelled: the temporary goes, the target stays.
  ~WholeFile();
  WholeFile(const WholeFile &) = delete;
  WholeFile &operator=(const WholeFile &) = delete;

  // Creates the temporary (after removing those of dead writers of the same
  // target). A Failure when it cannot be created, or when path is refused
  // (replaceRefusal, error 0). A link at path is followed: the file it names
  // is replaced and the link stays, for every writer alike.
  Done open();
  // Before open(): the bytes go over the file at spare, a hidden file beside
  // the target that only this writer names (a temporary's name), instead of
  // into a new temporary; writing over a file costs a file system far less
  // than creating one. A spare that is no regular file of one name is
  // removed and a new temporary made; one that open() did not take is
  // removed with the writer.
  void reuse(QString spare) { spare_ = std::move(spare); }
  // The temporary's descriptor, for a writer that fills it by the system's
  // calls (nothing written through device() then); -1 when not open.
  int handle() const;
  // The permissions commit() gives the file instead of targetMode's.
  void setMode(unsigned mode) { mode_ = static_cast<int>(mode); }
  // Where the bytes go between open() and commit(); buffered, so a write that
  // returns its full size proves nothing until commit().
  QIODevice &device();
  // Appends; the first failure seen already (commit() will fail too).
  Done write(const QByteArray &bytes);
  // Flushes, syncs, checks, gives the temporary the target's permissions (a
  // new file those of the umask) and renames it over the target. The first
  // failure of the write, the target untouched.
  Done commit();
  // Drops what was written; the target untouched.
  void cancel();

  const QString &path() const { return path_; }

 private:
  Done fail(Failure failure);

  QString path_, target_, temp_, spare_;
  std::optional<Failure> failure_;  // the first of this write
  Sync sync_;
  Replace replace_;
  int mode_ = -1;
  bool reused_ = false;
  std::unique_ptr<QFile> file_;
};

// For tests: runs in every commit() once the temporary holds the whole file
// and is on the disk, just before it takes the target's name (a test's child
// stops there to be killed in the middle of a write).
extern std::function<void(const QString &target)> beforeWholeFileRename;

// bytes as the whole content of path (the old file kept on failure).
Done writeFileWhole(const QString &path, const QByteArray &bytes, WholeFile::Sync sync = WholeFile::Sync::Each);

// Far more than any file the program reads can hold (a layout with its
// pictures, an import of every producer, a year's inventory).
constexpr qint64 kReadLimit = qint64(64) << 20;

// The whole content of the file at path, or the Failure saying why it
// cannot be read in the program's words, a folder of that name included. The one reader of the files a user or another program put
// somewhere: only a regular file of at most limit bytes is read; anything
// else (a FIFO, a device, a link to one) is refused before it is opened and
// never waited for, and so is a larger file.
Result<QByteArray> readFileWhole(const QString &path, qint64 limit = kReadLimit);

// A new temporary file beside target under the common naming (mode 0600, the
// caller sets the final one), after removing those of dead writers: its open
// descriptor and its name.
struct Temporary {
  int fd;
  QString name;
};
Result<Temporary> createTemporaryBeside(const QString &target);

// Removes the temporaries of target whose writing process no longer runs.
void removeLeftTemporaries(const QString &target);
// The same for every temporary in folder whose target's name (as far as the
// temporary's name carries it: a long one is cut) take accepts.
void removeLeftTemporariesIn(const QString &folder, const std::function<bool(QStringView target)> &take);

// The mode a file written at target gets: the existing target's, else that of
// a new file under the process's umask.
unsigned targetMode(const QString &target);

// Renames from over to only if to does not exist (error EEXIST otherwise).
Done renameNoReplace(const QString &from, const QString &to);
// Gives the file at from the second name to, never replacing an existing one
// (EEXIST); the system's error where its file system has no links
// (EPERM, EOPNOTSUPP, EXDEV among them).
Done linkNoReplace(const QString &from, const QString &to);

// Why the existing file at path may not be replaced, in the program's words:
// it is no regular file, it is read-only, or another program holds a lock on
// it. Empty when it may be replaced or does not exist.
QString replaceRefusal(const QString &path);

// Whether another program holds a lock on the file at path (replaceRefusal's
// last check, for a caller that has its own stat of the file).
bool lockedByOther(const QString &path);

// The start of this process's temporary names for target, up to the six
// characters that make one unique.
QString temporaryPath(const QString &target);

}  // namespace platform
