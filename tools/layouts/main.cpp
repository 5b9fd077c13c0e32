// vorik-layouts <folder>: writes the program's own layout files into folder.
// A file whose bytes are already those of its layout is left alone, so the
// build rewrites nothing that did not change.
#include "report/core/FR_Class_Report.h"
#include "tools/layouts/ProgramLayouts.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <exception>

int main(int argc, char **argv) {
  // The layouts measure their texts with the engine's fonts, which need the
  // GUI application; the build has no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: vorik-layouts <folder>\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "vorik-layouts: cannot create %s\n", argv[1]);
    return 1;
  }
  try {
    for (const auto &layout : report::layouts::ProgramLayouts()) {
      report::TfrReport r;
      layout.build(r);
      const QByteArray bytes = r.SaveToBytes();
      const QString path = QDir(folder).filePath(layout.fileName);
      QFile old(path);
      if (old.open(QIODevice::ReadOnly) && old.readAll() == bytes) continue;
      old.close();
      r.SaveToFile(path);
    }
  } catch (const std::exception &e) {
    std::fprintf(stderr, "vorik-layouts: %s\n", e.what());
    return 1;
  }
  return 0;
}
