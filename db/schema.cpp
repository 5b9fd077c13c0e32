#include "db/schema.h"

#include "db_schema_script.h"

#include <QStringList>

namespace db {

QString schemaScript(SchemaVariant variant) {
  const QString script = QString::fromUtf8(kSchemaScript);
  return variant == SchemaVariant::Old ? oldSchemaVariant(script) : script;
}

QString oldSchemaVariant(const QString &script) {
  static const QString marker = QStringLiteral("-- old:");
  QStringList out;
  for (const QString &line : script.split(QLatin1Char('\n'))) {
    const qsizetype at = line.indexOf(marker);
    if (at < 0 || line.trimmed().startsWith(QLatin1String("--"))) {
      out << line;
      continue;
    }
    const QString replacement = line.mid(at + marker.size()).trimmed();
    if (!replacement.isEmpty()) out << replacement;
  }
  return out.join(QLatin1Char('\n'));
}

}  // namespace db
