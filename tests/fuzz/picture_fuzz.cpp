// Pictures inside layouts: bitmap and icon data of any bytes are drawn, or
// leave an empty frame when they cannot be read.
#include "report/output/FR_Canvas.h"
#include "report/core/FR_Class_Report.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>

namespace {

void ensureApp() {
  static int argc = 1;
  static char name[] = "picture_fuzz";
  static char *argv[] = {name, nullptr};
  if (!QGuiApplication::instance()) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(argc, argv);
  }
}

void drawAll(report::TfrView &v) {
  report::TfrRecordCanvas rec;
  v.Draw(rec);
  QImage img(64, 64, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  report::TfrPainterCanvas canvas(&p, report::TfrCanvasKind::Printer);
  rec.replay(canvas);
}

}  // namespace

// The first byte chooses how the rest is used: 0 bitmap data, 1 icon data,
// otherwise a whole layout stream whose objects are drawn.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  ensureApp();
  if (size < 1) return 0;
  const QByteArray rest(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));
  if (data[0] < 2) {
    report::TfrPictureView pic;
    pic.dx = 60, pic.dy = 60;
    pic.Flags = report::flStretched | report::flPictRatio | report::flPictCenter;
    pic.Picture.setData(data[0] == 0 ? report::TfrPicture::pkBitmap : report::TfrPicture::pkIcon, rest);
    const QImage img = pic.Picture.image();
    if (!img.isNull() && static_cast<qint64>(img.width()) * img.height() > 4096 * 4096) return 0;
    drawAll(pic);
    return 0;
  }
  report::TfrReport r;
  try {
    r.LoadFromBytes(rest);
  } catch (const report::Exception &) {
    return 0;
  }
  for (int i = 0; i < r.Pages.Count(); ++i)
    for (const auto &v : r.Pages[i]->Objects)
      if (v->Typ == report::gtPicture) drawAll(*v);
  return 0;
}
