// Profile files: any bytes parse; writing back and parsing again gives the
// same values and the same bytes.
#include "platform/ini_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  using platform::IniDocument;
  const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  IniDocument doc = IniDocument::parse(bytes);
  const QStringList sections = doc.sections();
  for (const QString &section : sections) {
    for (const QString &key : doc.keys(section)) (void)doc.value(section, key);
  }
  (void)doc.value(QStringLiteral("Form9"), QStringLiteral("Edit14Visible"));

  const QByteArray written = doc.toBytes();
  const IniDocument again = IniDocument::parse(written);
  if (again.sections() != sections) std::abort();
  for (const QString &section : sections) {
    const QStringList keys = doc.keys(section);
    if (again.keys(section) != keys) std::abort();
    for (const QString &key : keys) {
      if (again.value(section, key) != doc.value(section, key)) std::abort();
    }
  }
  if (again.toBytes() != written) std::abort();

  // A write lands where a read finds it and disturbs no other section.
  doc.setValue(QStringLiteral("Form10"), QStringLiteral("Edit8Text"), QStringLiteral("12\r\n[x]"));
  const IniDocument changed = IniDocument::parse(doc.toBytes());
  if (changed.value(QStringLiteral("Form10"), QStringLiteral("Edit8Text")) != QStringLiteral("12  [x]")) std::abort();
  for (const QString &section : sections) {
    if (section.compare(QStringLiteral("Form10"), Qt::CaseInsensitive) == 0) continue;
    if (changed.keys(section) != again.keys(section)) std::abort();
  }
  return 0;
}
