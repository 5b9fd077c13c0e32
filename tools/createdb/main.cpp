// vorik-createdb: creates a register database file from the schema.
//   vorik-createdb [--old] [--sample | receiver options] <path>
// --old     the older schema, before the upgrade dialogs' columns and widths
// --sample  adds one sample receiver with its numbering row
// --receiver-code=, --receiver-name=, --receiver-postcode=, --receiver-town=,
// --receiver-address=, --receiver-taxnumber=
//           add the user's own receiver with its numbering row instead; code,
//           name and tax number are required. The values are checked before
//           anything is made: a bad one is refused with its message, no file.
// An existing file is never overwritten.
#include "app/receivers/Checks.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "platform/cp1250.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

const char kUsage[] =
    "usage: vorik-createdb [--old] [--sample | --receiver-code=... --receiver-name=... "
    "[--receiver-postcode=...] [--receiver-town=...] [--receiver-address=...] "
    "--receiver-taxnumber=...] <path>\n";

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
// what the messages call it, its column's width and whether it is required.
struct Option {
  const char *name;
  const char *label;
  int width;
  bool required;
  QString Receiver::*target;
};
const Option kOptions[] = {
    {"code", "az átvevő kódja", 5, true, &Receiver::code},
    {"name", "az átvevő neve", 75, true, &Receiver::name},
    {"postcode", "az irányítószám", 8, false, &Receiver::postcode},
    {"town", "a helységnév", 45, false, &Receiver::town},
    {"address", "a cím", 45, false, &Receiver::street},
    {"taxnumber", "az adószám", 13, true, &Receiver::taxNumber},  // 11 digits, or 8-1-2 with dashes
};

QString capitalized(const QString &text) { return text.left(1).toUpper() + text.mid(1); }

// The receiver of the options, or the message that refuses one of them.
std::optional<Receiver> receiverFrom(const QHash<QString, QString> &given, QString *message) {
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
    if (value.size() > o.width) {
      *message = QStringLiteral("%1 legfeljebb %2 karakter!").arg(capitalized(label)).arg(o.width);
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
  q.sql().clear();
  q.sql().add(QStringLiteral("INSERT INTO sorszam ( a_akod, a_qzbszam ) VALUES ( :p1, :p2 )"));
  q.paramByName(QStringLiteral("p1")).setString(r.code);
  q.paramByName(QStringLiteral("p2")).setString(QStringLiteral("25000000"));
  q.execute();
  t.commit();
  c.close();
}

int usage() {
  std::fputs(kUsage, stderr);
  return 1;
}

}  // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  bool old = false, sample = false;
  QString path;
  QHash<QString, QString> given;
  const QString receiverPrefix = QStringLiteral("--receiver-");
  const QStringList args = app.arguments().mid(1);
  for (const QString &a : args) {
    if (a == QLatin1String("--old")) {
      old = true;
    } else if (a == QLatin1String("--sample")) {
      sample = true;
    } else if (a.startsWith(receiverPrefix) && a.contains(u'=')) {
      const QString name = a.mid(receiverPrefix.size(), a.indexOf(u'=') - receiverPrefix.size());
      const bool known = std::any_of(std::begin(kOptions), std::end(kOptions),
                                     [&](const Option &o) { return name == QLatin1String(o.name); });
      if (!known || given.contains(name)) return usage();
      given.insert(name, a.mid(a.indexOf(u'=') + 1));
    } else if (path.isEmpty() && !a.startsWith(QLatin1String("--"))) {
      path = a;
    } else {
      return usage();
    }
  }
  if (path.isEmpty() || (sample && !given.isEmpty())) return usage();
  std::optional<Receiver> receiver;
  if (sample) receiver = Receiver();
  if (!given.isEmpty()) {
    QString message;
    receiver = receiverFrom(given, &message);
    if (!receiver) {
      std::fprintf(stderr, "vorik-createdb: %s\n", message.toUtf8().constData());
      return 1;
    }
  }
  try {
    db::createDatabase(path, db::schemaScript(old ? db::SchemaVariant::Old : db::SchemaVariant::Current));
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
