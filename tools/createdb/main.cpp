// vorik-createdb: creates a register database file from the schema.
//   vorik-createdb [--old] [--sample | receiver options] <path>
// --old     the older schema, before the upgrade dialogs' columns and widths
// --sample  adds one sample receiver with its numbering row
// --receiver-code=, --receiver-name=, --receiver-postcode=, --receiver-town=,
// --receiver-address=, --receiver-taxnumber=
//           add the user's own receiver with its numbering row instead; code,
//           name and tax number are required. The values are checked before
//           anything is made, against the schema's column widths: a bad one is
//           refused with its message, no file.
// --help    the options. An existing file is never overwritten.
#include "app/receivers/Checks.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "platform/cp1250.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QHash>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

// The receiver row a new database starts with, and its first serial.
struct Receiver {
  QString code = QStringLiteral("00001");
  QString name = QStringLiteral("Minta Átvevő");
  QString postcode = QStringLiteral("1011");
  QString town = QStringLiteral("Budapest");
  QString street = QStringLiteral("Fő");
  QString streetType = QStringLiteral("utca");
  QString houseNumber = QStringLiteral("1.");
  QString taxNumber;
};

// A receiver option and the column it fills: its name after "--receiver-",
// what the messages call it, its column in ATVEVO (none: the value has a
// check of its own) and whether it is required.
struct Option {
  const char *name;
  const char *label;
  const char *column;
  bool required;
  QString Receiver::*target;
};
const Option kOptions[] = {
    {"code", "az átvevő kódja", "V_AKOD", true, &Receiver::code},
    {"name", "az átvevő neve", "V_NEVE", true, &Receiver::name},
    {"postcode", "az irányítószám", "V_IRSZAM", false, &Receiver::postcode},
    {"town", "a helységnév", "V_HELYSEG", false, &Receiver::town},
    {"address", "a cím", "V_UTCA", false, &Receiver::street},
    // 11 digits, or 8-1-2 with dashes: the tax number check below.
    {"taxnumber", "az adószám", nullptr, true, &Receiver::taxNumber},
};

QString capitalized(const QString &text) { return text.left(1).toUpper() + text.mid(1); }

// The receiver of the options, or the message that refuses one of them.
std::optional<Receiver> receiverFrom(const QHash<QString, QString> &given, const QString &script, QString *message) {
  Receiver r;
  r.streetType.clear();
  r.houseNumber.clear();
  for (const Option &o : kOptions) {
    const QString value = checks::trimText(given.value(QLatin1String(o.name)));
    const QString label = QString::fromUtf8(o.label);
    if (value.isEmpty() && o.required) {
      *message = QStringLiteral("Nincs megadva %1!").arg(label);
      return std::nullopt;
    }
    bool unmapped = false;
    platform::toCp1250(value, &unmapped);
    const bool control = std::any_of(value.begin(), value.end(), [](QChar c) { return c.unicode() < 32; });
    if (unmapped || control) {
      *message = QStringLiteral("Nem írható karakter: %1 (%2)").arg(label, value);
      return std::nullopt;
    }
    const int width = o.column ? db::columnWidth(script, QStringLiteral("ATVEVO"), QLatin1String(o.column)) : -1;
    if (width >= 0 && value.size() > width) {
      *message = QStringLiteral("%1 legfeljebb %2 karakter!").arg(capitalized(label)).arg(width);
      return std::nullopt;
    }
    r.*o.target = value;
  }
  // The tax number as the producer entry checks it: 11 digits, "12345676-1-23"
  // written without its dashes, and its check digit.
  QString tax = r.taxNumber;
  if (tax.size() == 13 && tax[8] == u'-' && tax[10] == u'-') tax.remove(10, 1).remove(8, 1);
  const bool digits = std::all_of(tax.begin(), tax.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
  if (tax.size() != 11 || !digits || !checks::adoszamValid(tax)) {
    *message = QStringLiteral("Hibás adószám");
    return std::nullopt;
  }
  r.taxNumber = tax;
  return r;
}

void addReceiver(const QString &path, const Receiver &r) {
  db::Connection c;
  c.setDatabaseName(path);
  c.setParams(db::defaultConnectionParams());
  db::Transaction t;
  t.setConnection(&c);
  c.open();
  db::Query q;
  q.setTransaction(&t);
  q.sql().add(QStringLiteral("INSERT INTO atvevo ( v_akod, v_neve, v_irszam, v_helyseg, v_utca, v_jelleg,"));
  q.sql().add(QStringLiteral("  v_hazszam, v_kisado, v_ev, v_verzio, v_nyilatk, v_adoszam )"));
  q.sql().add(QStringLiteral("  VALUES ( :p1, :p2, :p3, :p4, :p5, :p6, :p7, :p8, :p9, :p10, :p11, :p12 )"));
  const QString values[] = {r.code,         r.name,   r.postcode, r.town, r.street,       r.streetType,
                            r.houseNumber, QStringLiteral("false"), QStringLiteral("false"),
                            QStringLiteral("A"), QStringLiteral(" "), r.taxNumber};
  for (int i = 0; i < 12; ++i) {
    db::Param &p = q.paramByName(QStringLiteral("p%1").arg(i + 1));
    if (values[i].isNull()) p.setNull();  // the sample has no tax number
    else p.setString(values[i]);
  }
  q.execute();
  q.setSql(QStringLiteral("INSERT INTO sorszam ( a_akod, a_qzbszam ) VALUES ( :p1, :p2 )"));
  q.paramByName(QStringLiteral("p1")).setString(r.code);
  q.paramByName(QStringLiteral("p2")).setString(QStringLiteral("25000000"));
  q.execute();
  t.commit();
  c.close();
}

// A wrong call: the --help text on the error output, "usage:" first.
int usage(const QCommandLineParser &parser) {
  QString text = parser.helpText();
  if (text.startsWith(QLatin1String("Usage:"))) text[0] = u'u';
  std::fputs(text.toUtf8().constData(), stderr);
  return 1;
}

}  // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("vorik-createdb"));
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Creates a register database file from the schema; an existing file is never overwritten."));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption oldOption(QStringLiteral("old"),
                                     QStringLiteral("The older schema, before the upgrade dialogs' columns and widths."));
  const QCommandLineOption sampleOption(QStringLiteral("sample"),
                                        QStringLiteral("Adds the sample receiver with its numbering row."));
  parser.addOption(oldOption);
  parser.addOption(sampleOption);
  for (const Option &o : kOptions)
    parser.addOption(QCommandLineOption(
        QStringLiteral("receiver-") + QLatin1String(o.name),
        QStringLiteral("The user's own receiver: %1%2.")
            .arg(QString::fromUtf8(o.label), o.required ? QStringLiteral(" (required)") : QString()),
        QStringLiteral("value")));
  parser.addPositionalArgument(QStringLiteral("path"), QStringLiteral("The database file to make."));
  if (!parser.parse(app.arguments())) return usage(parser);
  if (parser.isSet(help)) {
    std::fputs(parser.helpText().toUtf8().constData(), stdout);
    return 0;
  }
  QHash<QString, QString> given;
  for (const Option &o : kOptions) {
    const QStringList values = parser.values(QStringLiteral("receiver-") + QLatin1String(o.name));
    if (values.size() > 1) return usage(parser);
    if (!values.isEmpty()) given.insert(QLatin1String(o.name), values.first());
  }
  const bool sample = parser.isSet(sampleOption);
  const QStringList paths = parser.positionalArguments();
  if (paths.size() != 1 || (sample && !given.isEmpty())) return usage(parser);
  const QString path = paths.first();
  const QString script =
      db::schemaScript(parser.isSet(oldOption) ? db::SchemaVariant::Old : db::SchemaVariant::Current);
  std::optional<Receiver> receiver;
  if (sample) receiver = Receiver();
  if (!given.isEmpty()) {
    QString message;
    receiver = receiverFrom(given, script, &message);
    if (!receiver) {
      std::fprintf(stderr, "vorik-createdb: %s\n", message.toUtf8().constData());
      return 1;
    }
  }
  try {
    db::createDatabase(path, script);
  } catch (const db::Error &e) {
    std::fprintf(stderr, "vorik-createdb: %s\n", e.what());
    return 2;
  }
  if (receiver) {
    try {
      addReceiver(path, *receiver);
    } catch (const db::Error &e) {
      // The file would lack its receiver: take it away again.
      QFile::remove(path);
      std::fprintf(stderr, "vorik-createdb: %s\n", e.what());
      return 2;
    }
  }
  std::printf("created %s\n", qPrintable(path));
  return 0;
}
