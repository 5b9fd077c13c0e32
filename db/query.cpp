#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/fb_internal.h"
#include "db/transaction.h"
#include "platform/cp1250.h"

#include <QRegularExpression>

namespace db {

using namespace Firebird;

namespace {

bool identStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool identPart(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); }

// The table a data-changing statement names (as the catalogue stores it);
// empty for anything else.
QString writeTable(const QString &sql) {
  qsizetype i = 0;
  const qsizetype n = sql.size();
  for (;;) {  // leading blanks and comments
    while (i < n && sql[i].isSpace()) ++i;
    if (sql.mid(i, 2) == QLatin1String("--")) {
      i = sql.indexOf(QLatin1Char('\n'), i);
      if (i < 0) return QString();
    } else if (sql.mid(i, 2) == QLatin1String("/*")) {
      i = sql.indexOf(QLatin1String("*/"), i + 2);
      if (i < 0) return QString();
      i += 2;
    } else {
      break;
    }
  }
  static const QRegularExpression re(
      QStringLiteral(R"(^(?:UPDATE\s+OR\s+INSERT\s+INTO|INSERT\s+INTO|UPDATE|DELETE\s+FROM|MERGE\s+INTO)\s+)"
                     R"(("(?:[^"]|"")+"|[A-Za-z][A-Za-z0-9_$]*)(?=[\s(;]|$))"),
      QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch m = re.match(sql.mid(i));
  if (!m.hasMatch()) return QString();
  const QString name = m.captured(1);
  if (name.startsWith(QLatin1Char('"'))) return name.mid(1, name.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\""));
  return name.toUpper();
}

}  // namespace

Query::Query(QObject *parent) : DataSet(parent) {}

void Query::setSql(const QStringList &lines) {
  close();
  sql_.clear();
  for (const QString &l : lines) sql_.add(l);
}

Query::~Query() { releaseStatement(); }

void Query::releaseStatement() {
  if (!statement_) return;
  fb::Status st;
  statement_->free(&st);
  statement_.ended(st);
  preparedVersion_ = ~0u;
}

// Named parameters become '?' outside strings, quoted names and comments;
// the values of names that stay keep what was bound to them.
void Query::parseParams() {
  if (parsedVersion_ == textVersion()) return;
  const QString text = statementText();
  QString out;
  out.reserve(text.size());
  std::vector<std::unique_ptr<Param>> params;
  std::vector<int> positions;
  auto indexOf = [&](const QString &name) {
    for (std::size_t i = 0; i < params.size(); ++i)
      if (params[i]->name_.compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    auto p = std::make_unique<Param>();
    p->name_ = name;
    for (auto &old : params_)
      if (old->name_.compare(name, Qt::CaseInsensitive) == 0) *p = *old;
    p->name_ = name;
    params.push_back(std::move(p));
    return static_cast<int>(params.size() - 1);
  };
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n;) {
    QChar c = text[i];
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
      qsizetype j = i + 1;
      while (j < n) {
        if (text[j] == c) {
          if (j + 1 < n && text[j + 1] == c) {
            j += 2;
            continue;
          }
          break;
        }
        ++j;
      }
      j = std::min(j + 1, n);
      out += text.mid(i, j - i);
      i = j;
    } else if (c == QLatin1Char('-') && i + 1 < n && text[i + 1] == QLatin1Char('-')) {
      qsizetype j = text.indexOf(QLatin1Char('\n'), i);
      if (j < 0) j = n;
      out += text.mid(i, j - i);
      i = j;
    } else if (c == QLatin1Char('/') && i + 1 < n && text[i + 1] == QLatin1Char('*')) {
      qsizetype j = text.indexOf(QStringLiteral("*/"), i + 2);
      j = j < 0 ? n : j + 2;
      out += text.mid(i, j - i);
      i = j;
    } else if (c == QLatin1Char(':') && i + 1 < n && identStart(text[i + 1])) {
      qsizetype j = i + 1;
      while (j < n && identPart(text[j])) ++j;
      positions.push_back(indexOf(text.mid(i + 1, j - i - 1)));
      out += QLatin1Char('?');
      i = j;
    } else {
      out += c;
      ++i;
    }
  }
  params_ = std::move(params);
  positions_ = std::move(positions);
  statementText_ = platform::toCp1250(out);
  parsedVersion_ = textVersion();
}

Param &Query::paramByName(const QString &name) {
  parseParams();
  for (auto &p : params_)
    if (p->name_.compare(name, Qt::CaseInsensitive) == 0) return *p;
  throw Error(QStringLiteral("%1: Parameter '%2' not found").arg(objectName(), name));
}

int Query::paramCount() {
  parseParams();
  return static_cast<int>(params_.size());
}

void Query::copyParamsTo(Query &q) {
  parseParams();
  q.parseParams();
  for (auto &to : q.params_)
    for (auto &from : params_)
      if (to->name_.compare(from->name_, Qt::CaseInsensitive) == 0) {
        const QString name = to->name_;
        *to = *from;
        to->name_ = name;
      }
}

std::vector<const Param *> Query::positional() {
  std::vector<const Param *> v;
  v.reserve(positions_.size());
  for (int i : positions_) v.push_back(params_[static_cast<std::size_t>(i)].get());
  return v;
}

IStatement *Query::prepare() {
  parseParams();
  if (!transaction() || !transaction()->connection())
    throw Error(QStringLiteral("%1: no transaction or connection").arg(objectName()));
  Connection *c = transaction()->connection();
  if (statement_ && preparedVersion_ == textVersion() && preparedOn_ == c && schemaVersion_ == c->schemaVersion())
    return statement_.get();
  // The statement of the text before, still valid, becomes the spare.
  Spare last;
  if (statement_ && preparedOn_ == c && schemaVersion_ == c->schemaVersion())
    last = {std::move(statement_), preparedText_, schemaVersion_, c, returnsRows_, ddl_, writeTable_};
  releaseStatement();
  if (!c->connected()) throw Error(QStringLiteral("%1: database not connected").arg(objectName()));
  if (statementText().trimmed().isEmpty()) throw Error(QStringLiteral("%1: empty SQL statement").arg(objectName()));
  if (spare_.statement && spare_.text == statementText_ && spare_.on == c &&
      spare_.schemaVersion == c->schemaVersion()) {
    std::swap(spare_, last);
    statement_ = std::move(last.statement);
    returnsRows_ = last.returnsRows;
    ddl_ = last.ddl;
    writeTable_ = last.writeTable;
  } else {
    ITransaction *tra = transaction()->handle();
    fb::Status st;
    fb::Owned<IStatement> s(c->attachment()->prepare(&st, tra, static_cast<unsigned>(statementText_.size()),
                                                     statementText_.constData(),
                                                     static_cast<unsigned>(c->sqlDialect()),
                                                     IStatement::PREPARE_PREFETCH_METADATA));
    st.check();
    unsigned type = s->getType(&st);
    st.check();
    if (last.statement) spare_ = std::move(last);
    statement_ = std::move(s);
    returnsRows_ = type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd;
    ddl_ = type == isc_info_sql_stmt_ddl;
    writeTable_ = returnsRows_ ? QString() : writeTable(statementText());
  }
  preparedVersion_ = textVersion();
  schemaVersion_ = c->schemaVersion();
  preparedOn_ = c;
  preparedText_ = statementText_;
  connect(c, &Connection::aboutToDisconnect, this, &Query::connectionClosing, Qt::UniqueConnection);
  return statement_.get();
}

QStringList Query::columnNames() {
  IStatement *s = prepare();
  fb::Status st;
  const fb::Owned<IMessageMetadata> meta(s->getOutputMetadata(&st));
  st.check();
  const unsigned n = meta->getCount(&st);
  st.check();
  QStringList names;
  for (unsigned i = 0; i < n; ++i) names << platform::fromCp1250(std::string_view(meta->getAlias(&st, i)));
  st.check();
  return names;
}

QString Query::plan() {
  IStatement *s = prepare();
  fb::Status st;
  const char *text = s->getPlan(&st, false);
  st.check();
  return text ? platform::fromCp1250(std::string_view(text)).trimmed() : QString();
}

void Query::connectionClosing() {
  close();
  releaseStatement();
  spare_ = {};
}

void Query::beforeWrite() {
  Transaction *t = transaction();
  if (!t->hasHalfReadDataSets(this)) return;
  QString table = writeTable_;
  if (!table.isEmpty() && t->connection()->writesReachOtherTables(t)) table.clear();
  t->fetchDataSets(this, table);
}

DataSet::InputMessage Query::input(IStatement *s) {
  fb::Status st;
  const fb::Owned<IMessageMetadata> declared(s->getInputMetadata(&st));
  st.check();
  InputMessage in;
  buildInput(declared.get(), positional(), in);
  return in;
}

void Query::open() {
  IStatement *s = prepare();
  InputMessage in = input(s);
  if (returnsRows_) {
    openStatement(s, in.meta.get(), in.buffer.data());
    return;
  }
  // A statement with output values but no cursor (a procedure call, a
  // RETURNING clause) gives one row.
  fb::Status st;
  {
    const fb::Owned<IMessageMetadata> outMeta(s->getOutputMetadata(&st));
    st.check();
    unsigned count = outMeta->getCount(&st);
    if (count == 0) throw Error(QStringLiteral("%1: the statement returns no rows").arg(objectName()));
    close();
    beforeWrite();
    setLayout(outMeta.get());
  }
  clearRows();
  unsigned char *row = appendRow();
  s->execute(&st, transaction()->handle(), in.meta.get(), in.buffer.data(), outputMetadata(), row);
  if (st.failed()) {
    clearRows();
    st.check();
  }
  rowsAffected_ = s->getAffectedRecords(&st);
  setState(State::Browse);
  first();
  emit opened();
  emit currentRowChanged(recNo());
}

void Query::execute() {
  IStatement *s = prepare();
  if (active()) close();
  if (!returnsRows_) beforeWrite();
  InputMessage in = input(s);
  fb::Status st;
  ITransaction *tra = transaction()->handle();
  if (returnsRows_) {
    fb::Owned<IResultSet> rs(s->openCursor(&st, tra, in.meta.get(), in.buffer.data(), nullptr, 0));
    st.check();
    rs->close(&st);
    rs.ended(st);
    st.check();
    rowsAffected_ = 0;
    return;
  }
  {
    const fb::Owned<IMessageMetadata> outMeta(s->getOutputMetadata(&st));
    st.check();
    unsigned outLen = outMeta->getMessageLength(&st);
    std::vector<unsigned char> outBuf(outLen ? outLen : 1);
    unsigned count = outMeta->getCount(&st);
    s->execute(&st, tra, in.meta.get(), in.buffer.data(), count ? outMeta.get() : nullptr,
               count ? outBuf.data() : nullptr);
  }
  st.check();
  if (ddl_) transaction()->connection()->schemaChanged();
  rowsAffected_ = s->getAffectedRecords(&st);
  st.clear();
}

}  // namespace db
