#pragma once
// Datasets: the buffered result of a statement with a current row. Open
// executes and fetches a first batch of rows into a buffer of raw engine
// messages; the rest is fetched as navigation, locate, recordCount or a grid
// reaches it. Fields decode values from the current row on request.
#include "db/decimal.h"
#include "db/fb_owned.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace Firebird {
class IMessageMetadata;
class IResultSet;
class IStatement;
}  // namespace Firebird

namespace db {

class Connection;
class DataSet;
class Transaction;

enum class FieldType { Text, FixedText, SmallInt, Integer, BigInt, Numeric, Float, Double, Date, Time, Timestamp, Boolean, Blob, Other };

// One column of a dataset; the accessors read the dataset's current row
// (or, while the row is being edited, its pending value).
class Field {
 public:
  QString fieldName() const { return name_; }
  QString relationName() const { return relation_; }
  FieldType type() const { return type_; }
  // Characters of a text column, bytes otherwise.
  int size() const { return static_cast<int>(length_); }
  // Digits after the decimal point of a NUMERIC column.
  int scale() const { return scale_; }
  int index() const { return index_; }
  bool isNumeric() const;

  bool isNull() const;
  // Text as stored (CHAR values keep the engine's padding). Numbers with the
  // decimal separator ",": exact decimals without trailing zeros, floating
  // point with 15 significant digits. Dates "yyyy.mm.dd"; a time of day is
  // added when it is not midnight. Null gives "".
  QString asString() const;
  double asFloat() const;
  std::int64_t asInteger() const;
  Decimal asDecimal() const;
  QDateTime asDateTime() const;
  QDate asDate() const;
  // Null, QString, qint64, db::Decimal, double, QDate, QTime, QDateTime or bool.
  QVariant value() const;

  // Setters of a row in edit mode (writable tables only).
  void setAsString(const QString &v);
  void setAsFloat(double v);
  void setAsInteger(std::int64_t v);
  void setAsDecimal(const Decimal &v);
  void setAsDateTime(const QDateTime &v);
  void setAsDate(const QDate &v);
  void setNull();
  void setValue(const QVariant &v);

 private:
  friend class DataSet;
  friend class Table;
  friend class KeysetList;
  QVariant decode(const unsigned char *row) const;
  QString text(const unsigned char *row) const;
  bool nullIn(const unsigned char *row) const;

  DataSet *dataSet_ = nullptr;
  QString name_, relation_;
  FieldType type_ = FieldType::Other;
  unsigned sqlType_ = 0, length_ = 0, offset_ = 0, nullOffset_ = 0;
  int scale_ = 0, index_ = 0;
};

// A value bound to a named parameter of a query.
class Param {
 public:
  QString name() const { return name_; }
  void setString(const QString &v);
  void setFloat(double v);
  void setInteger(std::int64_t v);
  void setDecimal(const Decimal &v);
  // Against a DATE column the date part is what binds (comparisons with
  // DATE columns are then inclusive at both ends of a range).
  void setDateTime(const QDateTime &v);
  void setDate(const QDate &v);
  void setNull();
  // Picks the setter by the variant's type (null variant = null).
  void setValue(const QVariant &v);
  bool isNull() const { return kind_ == Kind::Null; }

 private:
  friend class DataSet;
  friend class Query;
  enum class Kind { Null, String, Float, Integer, Decimal, DateTime, Date };
  QString name_;
  Kind kind_ = Kind::Null;
  QString string_;
  double float_ = 0;
  std::int64_t integer_ = 0;
  Decimal decimal_;
  QDateTime dateTime_;
  QDate date_;
};

// Locate options: case-insensitive comparison, and a partial key matching
// the beginning of the field's text.
struct LocateOptions {
  bool caseInsensitive = false;
  bool partialKey = false;
};

// SQL text as lines; the statement is the lines joined by line breaks.
class SqlLines {
 public:
  void clear();
  void add(const QString &line);
  void setText(const QString &text);
  QString text() const { return lines_.join(QLatin1Char('\n')); }
  const QStringList &lines() const { return lines_; }
  int count() const { return static_cast<int>(lines_.size()); }
  // Grows with every change, so a query knows when to prepare again.
  unsigned version() const { return version_; }

 private:
  QStringList lines_;
  unsigned version_ = 0;
};

class DataSet : public QObject {
  Q_OBJECT
 public:
  enum class State { Inactive, Browse, Edit };

  explicit DataSet(QObject *parent = nullptr);
  ~DataSet() override;

  void setTransaction(Transaction *t);
  Transaction *transaction() const { return transaction_; }

  virtual void open();
  void close();
  bool active() const { return state_ != State::Inactive; }
  State state() const { return state_; }

  virtual void first();
  void next();
  void prior();
  virtual void last();
  void moveBy(int distance);
  // True after next() ran past the last row, or when there is no row.
  bool eof() const { return eof_; }
  // True after prior() ran before the first row, or when there is no row.
  bool bof() const { return bof_; }
  bool isEmpty() const { return rowCount_ == 0; }
  // Every row of the result: fetches the rows not fetched yet.
  int recordCount() const;
  // 1-based number of the current row, 0 when there is none.
  int recNo() const { return rowCount_ ? current_ + 1 : 0; }
  void setRecNo(int recNo);

  int fieldCount() const { return static_cast<int>(fields_.size()); }
  Field &field(int index);
  // Case-insensitive; fieldByName raises db::Error for an unknown name.
  Field &fieldByName(const QString &name);
  Field *findField(const QString &name);
  QStringList fieldNames() const;

  // Moves to the first row, in row order, whose field matches value; on a
  // miss answers false and keeps the current row.
  virtual bool locate(const QString &fieldName, const QVariant &value, LocateOptions options = {});

  // Random access for grids, without moving the current row (0-based row);
  // a row not fetched yet is fetched.
  QVariant valueAt(int row, int column) const;
  QString textAt(int row, int column) const;

  // Incremental fetching, for grids: the rows fetched so far, whether the
  // result has more, and fetching the next batch.
  int fetchedCount() const { return static_cast<int>(rowCount_); }
  bool fetchedAll() const { return !cursor_ && !readOnPending_; }
  void fetchMore();
  void fetchAll() const;
  // A dataset read around a position (KeysetList) holds a window of the
  // result: startFetched() is false while rows before the first one held
  // exist, and fetchEarlier() puts the next batch of them in front (the
  // current row stays the same row, its recNo grows by the count answered;
  // 0: none left). first(), prior(), recordCount() and locate() read them
  // as they need.
  virtual bool startFetched() const { return true; }
  virtual int fetchEarlier();

  // Forward-only reading for a walk over a large result in constant memory:
  // when next() runs past the rows held, every row before the current one is
  // let go. Until the mode is switched off, first, prior, last, setRecNo,
  // locate and valueAt see only the rows still held, and recNo counts among
  // them.
  void setForwardOnly(bool forwardOnly) { forwardOnly_ = forwardOnly; }
  bool forwardOnly() const { return forwardOnly_; }

  // Editing of the current row (writable tables only).
  virtual void edit();
  virtual void post();
  virtual void cancel();

 signals:
  void opened();
  void closed();
  // The current row changed (recNo 1-based, 0 when none).
  void currentRowChanged(int recNo);
  // Values of one row changed (after post).
  void rowUpdated(int recNo);
  void stateChanged();
  // More rows were fetched; count is the number fetched now.
  void rowsFetched(int count);
  // count rows were put in front of the rows held (fetchEarlier).
  void rowsPrepended(int count);

 protected:
  // Rows fetched at open (200 unless set): a list read around its position
  // fetches a grid's screenful and more.
  void setFirstBatch(std::size_t rows) { firstBatch_ = rows; }
  // Prepares when needed, opens the cursor and fetches the first batch; used by open().
  void openStatement(Firebird::IStatement *statement, Firebird::IMessageMetadata *inMeta,
                     const unsigned char *inBuffer);
  // Takes the output layout of a prepared statement for the row buffer.
  void setLayout(Firebird::IMessageMetadata *outMeta);
  void clearRows();
  // Every row of the result held (recordCount): the rest fetched.
  virtual void fetchWhole();
  unsigned char *appendRow();
  void dropLastRow();
  // A row slot in front of the rows held (the current row keeps its row).
  unsigned char *prependRow();
  // Before a write of its transaction to a table it reads, a dataset that
  // can read on later from its last row with a statement of its own lets
  // its cursor go (rather than read the rest now); readOn() then opens that
  // statement when more rows are wanted (continueStatement keeps the rows
  // held).
  virtual bool canReadOnLater() const;
  virtual void readOn();
  void continueStatement(Firebird::IStatement *statement, Firebird::IMessageMetadata *inMeta,
                         const unsigned char *inBuffer);
  // Whether the row just fetched (the last one held) is kept; a row the
  // dataset holds already is not.
  virtual bool keepFetched();
  // locate() from row from on, over the rows held and fetched as needed,
  // while within(row) holds; moves there and answers true on a match.
  bool locateFrom(std::size_t from, const QString &fieldName, const QVariant &value, LocateOptions options,
                  const std::function<bool(std::size_t)> &within);
  unsigned char *rowData(std::size_t row) const;
  const unsigned char *currentRow() const;
  void setCurrent(int row, bool notify = true);
  void setState(State s);
  Firebird::IMessageMetadata *outputMetadata() const { return outMeta_.get(); }
  std::size_t rowSize() const { return rowSize_; }
  // Pending values of the row being edited (indexed like the fields).
  std::vector<std::optional<QVariant>> pending_;

  // Builds the input message for the positional parameters.
  struct InputMessage {
    fb::Owned<Firebird::IMessageMetadata> meta;  // empty without parameters
    std::vector<unsigned char> buffer;
  };
  static void buildInput(Firebird::IMessageMetadata *declared, const std::vector<const Param *> &values,
                         InputMessage &out);

 private:
  friend class Field;
  friend class Transaction;
  friend class Table;
  void closedByTransaction();
  // Fetches until at least rows are buffered or the result is exhausted;
  // false when fewer rows exist.
  bool fetchTo(std::size_t rows) const;
  void closeCursor();
  // Reads the rest before a write of the transaction to the table (empty:
  // a write that may reach any table) when the statement reads it.
  void fetchBeforeWrite(const QString &table);

  Transaction *transaction_ = nullptr;
  State state_ = State::Inactive;
  std::vector<std::unique_ptr<Field>> fields_;
  fb::Owned<Firebird::IMessageMetadata> outMeta_;
  std::size_t rowSize_ = 0;
  // The rows fetched so far; the cursor stays open while more may follow.
  // Fetching on demand happens behind const accessors (recordCount, valueAt).
  mutable std::vector<std::unique_ptr<unsigned char[]>> blocks_;
  mutable std::size_t rowCount_ = 0;
  // Free row slots in front of the first row, in the first block.
  std::size_t slack_ = 0;
  mutable fb::Owned<Firebird::IResultSet> cursor_;
  // The cursor was let go before its end (canReadOnLater).
  mutable bool readOnPending_ = false;
  // The tables the open statement reads, from its plan; when unknown (a
  // procedure, no plan) every write reads the rest first.
  QStringList readTables_;
  bool readTablesKnown_ = false;
  int current_ = 0;
  bool eof_ = true, bof_ = true;
  bool forwardOnly_ = false;
  std::size_t firstBatch_ = 200;
};

// A query built from SQL lines with named parameters (":p0", ":a1"; a name may
// repeat and binds every place it stands). open() for a statement that
// returns rows, execute() for anything else, DDL included.
class Query : public DataSet {
  Q_OBJECT
 public:
  explicit Query(QObject *parent = nullptr);
  ~Query() override;

  SqlLines &sql() { return sql_; }
  // The one way a query is given a statement: closes it and puts these lines
  // (or this text) in place of its SQL, its parameters to be bound anew.
  void setSql(const QStringList &lines);
  void setSql(const QString &text) { setSql(QStringList{text}); }
  // Case-insensitive; raises db::Error for a name the SQL does not contain.
  Param &paramByName(const QString &name);
  int paramCount();

  void open() override;
  void execute();
  // Rows changed by the last execute.
  std::uint64_t rowsAffected() const { return rowsAffected_; }

  // Prepares now (also done by open and execute); exposed for measuring.
  Firebird::IStatement *prepare();
  // The names of the statement's columns, from the prepared statement: no
  // row is read (an engine reads a table through even for "WHERE 1 = 0").
  QStringList columnNames();
  // The engine's plan of the statement in its short form ("PLAN (QZFEJ ORDER
  // IX_...)"), prepared now if needed: which indexes it reads, whether it sorts.
  QString plan();

 protected:
  // The text prepared: the SQL lines, unless a subclass reads another
  // statement of its own; textVersion() grows with every change of it.
  virtual QString statementText() const { return sql_.text(); }
  virtual unsigned textVersion() const { return sql_.version(); }
  void parseParams();
  // Binds q's parameters that this query also has to this query's values.
  void copyParamsTo(Query &q);
  // The input message of the bound parameters for the prepared statement s.
  InputMessage input(Firebird::IStatement *s);

 private:
  void releaseStatement();
  void connectionClosing();
  std::vector<const Param *> positional();
  // Lets the transaction's half-read datasets fetch what this write could change.
  void beforeWrite();
  SqlLines sql_;
  unsigned parsedVersion_ = ~0u, preparedVersion_ = ~0u;
  std::vector<std::unique_ptr<Param>> params_;
  std::vector<int> positions_;  // parameter index of each '?'
  QByteArray statementText_;
  fb::Owned<Firebird::IStatement> statement_;
  bool returnsRows_ = false;
  bool ddl_ = false;
  QString writeTable_;  // the table an INSERT / UPDATE / DELETE / MERGE names
  unsigned schemaVersion_ = 0;
  Connection *preparedOn_ = nullptr;
  QByteArray preparedText_;
  // The statement prepared before the current one: a query that goes back
  // and forth between two texts (a list's window and the list whole) takes
  // it back instead of preparing it again.
  struct Spare {
    fb::Owned<Firebird::IStatement> statement;
    QByteArray text;
    unsigned schemaVersion = 0;
    Connection *on = nullptr;
    bool returnsRows = false, ddl = false;
    QString writeTable;
  } spare_;
  std::uint64_t rowsAffected_ = 0;
};

}  // namespace db
