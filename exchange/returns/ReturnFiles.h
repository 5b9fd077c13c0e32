#pragma once
// The 08M return import files, without any user interface: the month folder,
// the file names, the lines of a producer's import file and of the list file,
// Windows text (Windows-1250, CR LF after every line), and writing a file so
// that it is either complete or not there (a temporary name in the folder,
// renamed over the target).
//
// Paths are Windows path texts ("C:\QZ2025\03\..."): they name the files in
// messages and in the list file; only the file-system calls map them.
#include "platform/result.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <stdexcept>

namespace platform {
class ProcessLock;
}

namespace returns {

// The checked return period: both dates as "yyyy.mm.dd".
struct Period {
  QString start, end;
};

// True when both dates lie in one month of one year.
bool OneMonth(const Period &p);

// "C:\QZ2025\" + the month digits of the period start + "\".
QString MonthFolder(const QString &periodStart);
// Characters 1-4, 6-7 and 9-10 of a "yyyy.mm.dd" text.
QString Yyyymmdd(const QString &date);
// folder + "2508M" + yyyy + mm + "_" + the tax identification number + ".imp".
QString ImportFilePath(const QString &folder, const Period &p, const QString &adoazon);
// folder + "2508M_" + start as yyyymmdd + "_" + end as mmdd + ".txt".
QString ListFilePath(const QString &folder, const Period &p);
// An amount in fixed-point with no decimals (precision 11, no thousands
// separator, half away from zero): 1234.5 gives "1235".
QString AmountText(long double amount);

// The receiver's columns the files carry, as stored.
struct Receiver {
  QString adoszam, adoazon, neve;
};

// A producer's columns the files carry, as stored; szido is the birth date as
// "yyyy.mm.dd" ("1899.12.30", day zero, when there is none).
struct Producer {
  QString kod, nev, adoazon, neme, igszam1, csgazd1, szulnev, anyja, szulhely, szido, adoszam;
};

// The lines of a producer's import file, without line ends: 28 lines, or 27
// when the trimmed o_Csgazd1 is not 13 characters long.
QStringList ImportFileLines(const Receiver &receiver, const Producer &producer, const Period &p,
                            const QString &amountText);

// What keeps a producer's data out of a well-formed file, as a message naming
// the producer ("Javitandó! ..."); empty when nothing does: a line break or
// another control character in a value, or a character of the tax
// identification number that a file name cannot hold, or no tax
// identification number at all.
QString ProducerRefusal(const Producer &producer);

// Lines in Windows-1250, each followed by CR LF.
QByteArray WindowsText(const QStringList &lines);

// A return file that could not be written or read, or data that cannot
// go into one; the message names the file or the producer.
class ReturnError : public std::runtime_error {
 public:
  explicit ReturnError(const QString &message) : std::runtime_error(message.toStdString()), message_(message) {}
  QString message() const { return message_; }

 private:
  QString message_;
};

// The hold of one writer at a time on a month folder, whichever program
// runs it: a gather into it or a merge into it. Its lock file lies in the
// folder (hidden; clear and clearForReuse leave it). Raises ReturnError
// naming the folder while another holds it, or naming the lock file when
// none can be made there; the hold goes with the returned object. A missing
// folder has no hold (null): nothing can be written into it.
std::unique_ptr<platform::ProcessLock> HoldMonthFolder(const QString &winFolder);

// A folder named by a Windows path, mapped once, with its entries indexed
// by name without regard to case (as Windows finds them), for writing,
// renaming and finding many files in it quickly. The temporaries killed
// writers left in it are removed when it is mapped.
class WinFolder {
 public:
  // The folder text with or without its closing backslash.
  explicit WinFolder(const QString &winFolder);

  QString winPath(const QString &name) const { return win_ + name; }
  // The file on disk: the entry whose name matches without regard to case,
  // else the name as written.
  QString diskPath(const QString &name) const;
  bool exists(const QString &name) const;
  bool isDir() const;
  QString diskFolder() const { return disk_; }

  // Writes bytes to the file name: a temporary file in the folder, renamed
  // over the target when complete. A refused target (a folder of that name,
  // a read-only file, a file another program holds locked), a missing or
  // read-only folder or a full disk raise ReturnError naming the file's
  // Windows path; the target is then as it was and no temporary file is left.
  void write(const QString &name, const QByteArray &bytes);
  // Renames without replacing an existing file, as Windows renames; 0 or the
  // operating system's error code.
  int rename(const QString &from, const QString &to);
  // Renames over an existing file in one step; 0 or the error code.
  int replace(const QString &from, const QString &to);
  // A second name for a file (a copy of its bytes where the file system has
  // no links); never replaces. 0 or the error code.
  int link(const QString &from, const QString &to, const QByteArray &bytes);
  // 0 or the operating system's error code.
  int remove(const QString &name);
  // Called after every file written, renamed, linked or deleted: where a
  // test stops the process to see what a kill at that moment leaves.
  std::function<void()> afterStep;

  // Deletes every file of the folder, or only those whose names end in
  // suffix (without regard to case). Subfolders stay, and so does a file
  // that cannot be deleted or that another program holds locked (in use); a
  // link goes, never what it names. A missing folder holds nothing.
  void clear(const QString &suffix = QString());
  // As clear, but the files stay on disk as spares: each leaves its name for
  // a hidden one at once (no file of the month keeps earlier figures under
  // its name while a later write runs), and each later write takes one,
  // writes over it and renames it to its name. Creating a file costs a file
  // system far more than writing over one; thousands of files written anew
  // each month are then quick. dropSpares deletes the spares no write took.
  void clearForReuse();
  void dropSpares();
  // Forces what was written into the folder to the disk: one flush for all
  // the files written, not one per file. A write the disk refused late (a
  // full disk found while flushing) raises ReturnError naming the folder.
  void sync();

 private:
  QString win_, disk_;
  // write, the failure given back (a spare taken when there is one).
  platform::Done put(const QString &name, const QByteArray &bytes);

  QHash<QString, QString> names_;  // case-folded name -> name on disk
  QStringList spares_;             // hidden paths of files a write may take
};

}  // namespace returns
