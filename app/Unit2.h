#pragma once
// The data module: the one connection, the one transaction, a table
// component per table and the pool of reusable queries with their data
// sources. Every dialog reaches the database through these components and
// stores a record through Write(), the one write pattern of the program.
#include "db/connection.h"
#include "db/dataset.h"
#include "db/datasource.h"
#include "db/keyset.h"
#include "db/table.h"
#include "db/transaction.h"

#include <QDate>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace report {
class TfrReport;
class TfrCompositeReport;
class TfrDBDataSet;
class TfrUserDataset;
}  // namespace report

// The steps of a write (TData::Write): the message a failure shows is the one
// of the step that was running. The first step's message is given to Write;
// at() begins the next step. The last step named also covers the commit.
class WriteSteps {
 public:
  explicit WriteSteps(QString message) : message_(std::move(message)) {}
  // From here on a failure shows message.
  void at(const QString &message) { message_ = message; }
  const QString &message() const { return message_; }
  // For a write in a transaction of the caller's: its failure undoes the
  // whole transaction, not only the write (nothing of it may be stored any
  // more), before the message shows.
  void abandon() { abandon_ = true; }
  bool abandoned() const { return abandon_; }

 private:
  QString message_;
  bool abandon_ = false;
};

class TData : public QObject {
  Q_OBJECT
 public:
  // Created with the application as owner (parent) by the start-up; sets the
  // global Data.
  explicit TData(QObject *owner = nullptr);
  ~TData() override;

  // "qz2025.fdb" in the working directory, user SYSDBA, WIN1250, dialect 3;
  // default transaction IBTrans1.
  db::Connection *ZCon1;
  // read_committed, rec_version, nowait; inactive until the first read.
  db::Transaction *IBTrans1;

  // QZFEJ, QZSOR, OSTERMELO, TERMEK, SORSZAM (read-only), ATVEVO (writable);
  // IBTable9 names a table NAV that nothing opens.
  db::Table *IBTable1, *IBTable2, *IBTable3, *IBTable4, *IBTable5, *IBTable6, *IBTable9;
  db::DataSource *DS1, *DS2, *DS3, *DS4, *DS5, *DS6, *DS9;

  // ZQ10, ZQ30 and ZQ40 hold the ticket, producer and product lists, read
  // around their position.
  db::KeysetList *ZQ10, *ZQ30, *ZQ40;
  db::Query *ZQ20, *ZQ50, *ZQ60, *ZQ70, *ZQ80;
  db::DataSource *DSQ10, *DSQ20, *DSQ30, *DSQ40, *DSQ50, *DSQ60, *DSQ70, *DSQ80;
  db::Query *ZQ11, *ZQ21, *ZQ41, *ZQ12, *ZQ22, *ZQ31, *ZQ32, *ZQ33, *ZQ61, *ZQ90, *ZQ91;
  // ZQ32 has no data source.
  db::DataSource *DS11, *DS21, *DS41, *DS12, *DS22, *DS31, *DS33, *DSQ61, *DS90, *DS91;

  // False when the engine opened the database read-only (a read-only
  // database, or a file it may not write): no write of the program could
  // succeed, so the start-up refuses it.
  bool DatabaseWritable();

  enum class CommitMode {
    // Commit: closes every dataset of the transaction; the dialog reopens
    // the queries it shows.
    Commit,
    // Commit retaining: the datasets stay open. For the small writes that
    // would otherwise wait in the open transaction (printed mark, deleted
    // lines, producers and products, the year opening's start serial): they
    // are made durable at once.
    CommitRetaining,
  };

  // The write pattern: starts IBTrans1 when it is not active, runs the
  // statements, commits. When anything fails it rolls back, then shows the
  // message of the step that failed in a plain box (firstStep until the
  // statements name another with steps.at()), logs the underlying error in
  // "vorik.app" and answers false; the calling dialog stays open with the
  // user's input. No row the write locked stays locked while the box waits.
  bool Write(const QString &firstStep, const std::function<void(WriteSteps &steps)> &statements,
             CommitMode mode = CommitMode::Commit);
  // The same pattern in a transaction of the caller's (a numbering hold's, a
  // ticket modification's): on failure only what the statements did is
  // undone (a savepoint), so the transaction keeps what it held before, a row
  // lock and earlier writes included (all of it when the statements called
  // steps.abandon()); that is undone before the box shows. With commit false the statements stay
  // in the transaction, to be committed by a later write of the caller's
  // together with its own (a modified ticket's lines with its header).
  bool Write(db::Transaction &transaction, const QString &firstStep,
             const std::function<void(WriteSteps &steps)> &statements, bool commit = true);

  // Identifier checks and text helpers (app/receivers/DataChecks.cpp). A
  // non-digit makes a check answer false; nothing here raises for bad text.
  bool AdoazonEllenorzes(const QString &text);  // tax identification number
  bool AdoszamEllenorzes(const QString &text);  // tax number
  bool TAJEllenorzes(const QString &text);      // social security number
  void felir(const QString &text);              // sets FelirHiba ("0"/"1")
  void ocsg(const QString &text);               // sets OcsgHiba
  void nebih(const QString &text);              // sets NebihHiba
  void ujnev(const QString &name);              // sets NevElotag, NevUtotag
  void atv_utca();                              // sets AtvevoUtca (ZQ61)
  void ost_utca();                              // sets OstermeloUtca (ZQ33, ZQ10's producer)
  // The street part of the address on row's current record (prefix "V_" for
  // a receiver, "O_" for a producer): the eight parts, trimmed, one blank
  // between neighbours; empty texts when there is no record.
  static QString streetOf(db::DataSet &row, const QString &prefix);
  // q := the current receiver's row (AtvevoKod's), opened; empty when the
  // database has no such receiver.
  static void openCurrentReceiver(db::Query &q);
  QString XMLdatum(const QString &date);        // "yyyy.mm.dd" -> "yyyy-mm-dd"

  // Report components (report engine). Layouts find the data sources by
  // these names among the module's components.
  report::TfrReport *frNyomtat;                    // tickets, contracts and every list
  report::TfrReport *frMegtekint;                  // ticket preview
  report::TfrCompositeReport *frCompositeReport1;  // holds the report about to be shown
  report::TfrDBDataSet *frDBDataSet1, *frDBDataSet2, *frDBDataSet3, *frDBDataSet4, *frDBDataSet5,
      *frDBDataSet6;
  // Groups and lines of the product-wise (1, 2) and producer-wise (3, 4) lists.
  report::TfrUserDataset *frUserDataset1, *frUserDataset2, *frUserDataset3, *frUserDataset4;

  // What the list dialog sets before it builds a product-wise or
  // producer-wise list: the date kind, the range and the receiver, as values
  // taken at its gather (the handlers read no dialog).
  struct TListaSzuro {
    bool FizetesiDatum = true;  // by date of payment; false: by date of purchase
    QDate Tol, Ig;              // both ends included
    QString AtvevoKod;          // the receiver of the tickets
  };
  TListaSzuro ListaSzuro;
  // Event handlers of the list sources: move ZQ20 to the first or next group
  // and put the line sources on that group's lines in ZQ21 (ZQ80 with the
  // producer's total, for a layout that names ZQ80). First reads every line
  // of the range into ZQ21, with the columns the layout names; every
  // producer group's lines come ordered by product name. The lines and the
  // totals read stay while ZQ20 keeps its groups and nothing else opens ZQ21
  // or ZQ80: a two-pass build reads them once.
  void frUserDataset1First(QObject *sender);
  void frUserDataset1Next(QObject *sender);
  void frUserDataset3First(QObject *sender);
  void frUserDataset3Next(QObject *sender);

 private:
  // The report components and their handlers (DataReports.cpp).
  void createReportComponents();
  void destroyReportComponents();
  // The walk of a list: every line of the range in ZQ21, the rows of each
  // group's key, and the current group's rows.
  void openLines(const QString &where, bool byProductName, const QStringList &keyColumns);
  const QList<std::pair<QString, QString>> &tableColumns();
  void enterGroup();
  // The current group's total as its lines print it, and the list's total
  // as its groups print them, into the layout's variables.
  long double groupTotal();
  void listTotal();
  void showGroupLine();
  void producerTotal();
  QHash<QString, int> producerTotalRows_;  // producer code -> its row among ZQ80's totals
  bool producerTotalsOpen_ = false;        // ZQ80 holds every producer's total of the range
  std::unordered_map<QString, std::vector<int>> listLines_;
  std::unordered_map<QString, long double> listSums_;  // each key's lines' amounts as they print
  QStringList listKey_;
  const std::vector<int> *groupLines_ = nullptr;
  size_t groupLine_ = 0;
  QString linesSignature_;  // statement and values the lines were read with
  QSet<QString> linesColumns_;  // the columns they were read with
  QSet<QString> layoutNames_;   // the words of the layout being built, upper case
  bool linesFresh_ = false;  // read since the groups were last opened
  QList<std::pair<QString, QString>> tableColumns_;  // (table, column) of the lines' three tables
};

// The product name of the current group of the product-wise list.
extern QString ListaTermekNev;

extern TData *Data;
