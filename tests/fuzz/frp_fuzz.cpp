// Prepared-report files (.frp): any bytes either load or raise an engine
// error, never crash or hang; what loads is drawn and saved again.
#include "report/output/FR_Canvas.h"
#include "report/output/FR_Class_EMFPages.h"

#include <QGuiApplication>

#include <cstdint>

namespace {

void ensureApp() {
  static int argc = 1;
  static char name[] = "frp_fuzz";
  static char *argv[] = {name, nullptr};
  if (!QGuiApplication::instance()) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(argc, argv);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  ensureApp();
  report::TfrEMFPages pages;
  report::TfrStream in(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
  try {
    pages.LoadFromStream(in);
  } catch (const report::Exception &) {
    if (pages.Count() != 0) __builtin_trap();  // a failed load keeps the pages as they were
    return 0;
  }
  report::TfrRecordCanvas rec;
  for (int i = 0; i < pages.Count() && i < 4; ++i) {
    pages[i]->Visible = true;
    pages.Draw(i, rec, QRect(0, 0, 400, 560));
  }
  report::TfrStream out;
  pages.SaveToStream(out);
  return 0;
}
