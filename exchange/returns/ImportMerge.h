#pragma once
// The merge of two sets of 08M import files (set A on the hard disk, set B
// from a removable drive), without any user interface. Files pair by the last
// 15 characters of their names ("_" + tax identification number + ".imp").
// Each pair becomes one file in A: A's lines with "12456=" carrying 0,
// "23790=" the four row-455 values of the pair and "24804=" the two paid
// amounts; the two files of the pair are kept under ".old".
//
// Every pair is read and checked before anything is written; on any error
// nothing is written or renamed. Only the files this run wrote are installed.
#include "exchange/returns/ReturnFiles.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace returns {

// Row 455 of the return: "12456=" (animal products) and "23790=" (plant);
// and the paid amounts, "24804=".
struct RowSums {
  qint64 animal = 0, plant = 0, paid = 0;
};

// The lines of a file's bytes: CR LF, LF or CR end a line; a last line
// without an end counts.
QList<QByteArray> SplitLines(const QByteArray &bytes);

// Every "12456=", "23790=" and "24804=" value of the named files of a
// folder, added up. ReturnError naming the file for a file that cannot be
// read or a value that is not a whole number of 32 bits.
RowSums SumFolder(const QString &winFolder, const QStringList &files);

// The pairing key: the last 15 characters of a name (a shorter name is its own key).
QString PairKey(const QString &name);
// The names of B that have a partner in A, in B's order.
QStringList PairedNames(const QStringList &a, const QStringList &b);

// The merged file's bytes from A's and B's files (see above). ReturnError when
// a value is not a whole number, or when A's file has no line to carry a
// non-zero amount of the pair.
QByteArray MergedFile(const QString &nameA, const QByteArray &a, const QString &nameB, const QByteArray &b);

// The holds a merge into folder A runs under, taken at once: the working
// folder's merge hold and folder A's (see HoldMonthFolder). ReturnError with
// kMergeBusy, or the folder's message, when another program has either. A
// caller that reads folder A before the merge (its sums) takes them first
// and passes them to Merge.
class MergeHolds {
 public:
  explicit MergeHolds(const QString &folderA);
  ~MergeHolds();
  MergeHolds(const MergeHolds &) = delete;
  MergeHolds &operator=(const MergeHolds &) = delete;

 private:
  std::unique_ptr<platform::ProcessLock> work_, folder_;
};

// Merges the paired names (files of B, each with a file of that name in A).
// The folders must be different existing folders, every file of a pair
// readable and valid, and no ".old" of a pair may exist already; otherwise
// ReturnError and nothing changes. Then a journal of the run goes into the
// working folder, the merged files are written as ".im_", and pair by pair
// A's file gets the second name ".old", the merged file takes A's name and
// B's file becomes ".old": at every moment each producer has an ".imp". A
// failed rename undoes its pair's earlier steps and does not stop the
// others; its message is returned, one per file. afterStep runs after each
// file written, renamed or deleted (tests stop the process there). The run
// is under holds (the caller's, else its own, taken before anything is read).
QStringList Merge(const QString &folderA, const QString &folderB, const QStringList &paired,
                  const std::function<void()> &afterStep = {}, const MergeHolds *holds = nullptr);

// The journal of a merge under way, in the working folder. One process at
// a time merges in a working folder: another program's merge is refused
// with kMergeBusy; and while a gather (or a merge) of another program writes
// folder A, Merge raises ReturnError before anything is read or written.
QString MergeJournal();
extern const char *const kMergeBusy;
// What RecoverMerge did: the pairs whose merge it finished, and the pairs
// it could not put right, each as its name and the reason.
struct MergeRecovery {
  QStringList finished, notRight;
  bool operator==(const MergeRecovery &) const = default;
};
// What a merge stopped part-way (a killed program) left, put right by its
// journal: a pair whose merged file took A's name gets B's half retired,
// any other pair is as before the merge; of the files in folder A only the
// names a pair of the journal produces go (scratch files and their
// temporaries). The journal goes once every pair is right; otherwise it
// stays for the next try. Nothing without a journal, and no answer (nothing
// touched) while another program is merging; while another program gathers
// into folder A, ReturnError (nothing touched, the journal kept).
std::optional<MergeRecovery> RecoverMerge();

// Whether two folder texts name the same folder on disk.
bool SameFolder(const QString &winFolderA, const QString &winFolderB);

}  // namespace returns
