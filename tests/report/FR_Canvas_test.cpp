// The canvas: recording, replay, and drawing text on a painter within its clip.
#include "report/output/FR_Canvas.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

#include <gtest/gtest.h>

using namespace report;

namespace {

TfrTextOut text(const QString &s, double x, double y, QRect clip = {}) {
  TfrTextOut t;
  t.text = s;
  t.pos = QPointF(x, y);
  t.font.height = 16;
  t.clip = clip;
  return t;
}

// Bounding box of the pixels that are not white.
QRect inked(const QImage &img) {
  QRect r;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixel(x, y) != qRgb(255, 255, 255)) r |= QRect(x, y, 1, 1);
  return r;
}

}  // namespace

TEST(RecordCanvasTest, ListsTextsInDrawingOrderAndReplaysEveryCall) {
  TfrRecordCanvas rec;
  rec.fillRect(QRect(0, 0, 10, 10), 0x00FF00);
  rec.textOut(text(QStringLiteral("első"), 5, 5));
  rec.drawLine(QPointF(0, 0), QPointF(10, 0), TfrPen{0, 2, 1});
  rec.textOut(text(QStringLiteral("második"), 5, 25));
  rec.drawRect(QRectF(1, 1, 8, 8), TfrPen{});
  rec.drawImage(QRect(0, 0, 4, 4), QImage(2, 2, QImage::Format_RGB32), QRect());
  rec.textOut(text(QStringLiteral("harmadik"), 5, 45));
  EXPECT_EQ(rec.texts(), (QStringList{QStringLiteral("első"), QStringLiteral("második"),
                                      QStringLiteral("harmadik")}));
  EXPECT_EQ(rec.textCalls()[1]->pos, QPointF(5, 25));

  TfrRecordCanvas copy;
  rec.replay(copy);
  EXPECT_EQ(copy.calls(), rec.calls());
  rec.clear();
  EXPECT_TRUE(rec.texts().isEmpty());
}

TEST(PainterCanvasTest, DrawsTextInsideItsClipAndFillsButNotTransparent) {
  QImage img(200, 100, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    TfrPainterCanvas c(&p, TfrCanvasKind::Printer);
    c.fillRect(QRect(0, 0, 50, 50), frTransparent);  // no fill
    c.textOut(text(QStringLiteral("WWWWWWWWWWWWWWWWWWWW"), 10, 10, QRect(10, 10, 60, 30)));
  }
  QRect ink = inked(img);
  ASSERT_FALSE(ink.isNull());
  EXPECT_TRUE(QRect(10, 10, 60, 30).contains(ink)) << ink.x() << "," << ink.y() << " " << ink.width();

  img.fill(Qt::white);
  {
    QPainter p(&img);
    TfrPainterCanvas c(&p, TfrCanvasKind::Printer);
    c.fillRect(QRect(20, 20, 10, 10), 0x0000FF);  // Windows colour: red
  }
  EXPECT_EQ(img.pixel(25, 25), qRgb(255, 0, 0));
  EXPECT_EQ(inked(img), QRect(20, 20, 10, 10));
}

TEST(PainterCanvasTest, RotatedTextRunsUpwardFromItsStart) {
  QImage img(100, 200, QImage::Format_RGB32);
  img.fill(Qt::white);
  {
    QPainter p(&img);
    TfrPainterCanvas c(&p, TfrCanvasKind::Printer);
    TfrTextOut t = text(QStringLiteral("Hosszú felirat"), 20, 150);
    t.font.rotated = true;
    c.textOut(t);
  }
  QRect ink = inked(img);
  ASSERT_FALSE(ink.isNull());
  // The text stands right of x and above y, about its measured width tall.
  const int w = TfrCanvas::textWidth(text(QString(), 0, 0).font, u"Hosszú felirat");
  EXPECT_GE(ink.left(), 20);
  EXPECT_LE(ink.right(), 20 + 18);
  EXPECT_LE(ink.bottom(), 150);
  EXPECT_NEAR(ink.height(), w, 4);
}

TEST(ColorTest, WindowsAndSystemColours) {
  EXPECT_EQ(frColor(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(frColor(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(frColor(0x8000000F), QColor(240, 240, 240));  // button face
}

TEST(PainterCanvasTest, PdfOutputEmbedsTheFaceRatherThanOutlines) {
  // Glyphs drawn as outlines make PDF files large and slow; the face must be
  // embedded as a font.
  QBuffer buf;
  buf.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buf);
    pdf.setResolution(300);
    pdf.setPdfVersion(QPagedPaintDevice::PdfVersion_1_4);
    QPainter p(&pdf);
    TfrPainterCanvas c(&p, TfrCanvasKind::Printer);
    for (int i = 0; i < 50; ++i) c.textOut(text(QStringLiteral("Árvíztűrő tükörfúrógép %1").arg(i), 100, 100 + 50 * i));
  }
  EXPECT_TRUE(buf.data().contains("LiberationSans"));
  EXPECT_LT(buf.size(), 60000);
}
