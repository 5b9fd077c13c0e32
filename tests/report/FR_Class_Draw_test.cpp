// Report objects drawing themselves: text objects (layout at any zoom, auto
// size, cut texts, heights), pictures, lines, bands.
#include "report/output/FR_Canvas.h"
#include "report/core/FR_Class_View.h"
#include "report/output/FR_TextLayout.h"

#include <QBuffer>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

using namespace report;

namespace {

std::unique_ptr<TfrMemoView> memo(const QStringList &text, int x = 100, int y = 50, int dx = 200, int dy = 100) {
  auto m = std::make_unique<TfrMemoView>();
  m->x = x, m->y = y, m->dx = dx, m->dy = dy;
  m->Memo = text;
  m->FrameTyp = 15;
  return m;
}

QStringList drawnTexts(TfrView &v) {
  TfrRecordCanvas rec;
  v.Draw(rec);
  return rec.texts();
}

template <class T>
std::vector<const T *> callsOf(const TfrRecordCanvas &rec) {
  std::vector<const T *> out;
  for (const auto &c : rec.calls())
    if (const T *t = std::get_if<T>(&c)) out.push_back(t);
  return out;
}

QByteArray imageBytes(const QImage &img, const char *format) {
  QByteArray b;
  QBuffer buf(&b);
  buf.open(QIODevice::WriteOnly);
  img.save(&buf, format);
  return b;
}

}  // namespace

TEST(MemoDrawTest, DrawsFillFrameAndTextInThatOrder) {
  auto m = memo({QStringLiteral("Összesen: 1 234,50 Ft")});
  m->FillColor = 0xFFFFFF;
  TfrRecordCanvas rec;
  m->Draw(rec);
  ASSERT_EQ(rec.calls().size(), 3u);
  EXPECT_TRUE(std::holds_alternative<TfrRecordCanvas::Fill>(rec.calls()[0]));
  EXPECT_TRUE(std::holds_alternative<TfrRecordCanvas::Rect>(rec.calls()[1]));
  const auto &t = std::get<TfrTextOut>(rec.calls()[2]);
  EXPECT_EQ(t.text, QStringLiteral("Összesen: 1 234,50 Ft"));
  EXPECT_EQ(t.pos, QPointF(102, 51));
  EXPECT_EQ(t.font.height, 13);  // 10 points at 96 dpi
  EXPECT_EQ(t.font.name, QStringLiteral("Arial"));
  EXPECT_EQ(m->Memo1, m->Memo);
  // Without frame lines or fill only the text is drawn.
  auto bare = memo({QStringLiteral("x")});
  bare->FrameTyp = 0;
  TfrRecordCanvas r2;
  bare->Draw(r2);
  EXPECT_EQ(r2.calls().size(), 1u);
}

TEST(MemoDrawTest, ZoomKeepsLineBreaksAndScalesWidths) {
  const QStringList text = {QStringLiteral(
      "A felvásárlási jegyek összesítője a kiválasztott időszak minden tételét tartalmazza.")};
  auto at1 = memo(text);
  auto at3 = memo(text);
  at3->ScaleX = at3->ScaleY = 3.125;  // 300 dpi
  TfrRecordCanvas r1, r3;
  at1->Draw(r1);
  at3->Draw(r3);
  ASSERT_EQ(r1.texts(), r3.texts());
  ASSERT_GE(r1.texts().size(), 2);
  auto c1 = r1.textCalls(), c3 = r3.textCalls();
  for (size_t i = 0; i < c1.size(); ++i) {
    EXPECT_EQ(c3[i]->spreadTo, frRound(c1[i]->spreadTo * 3.125));
    EXPECT_EQ(c3[i]->font.height, frRound(10 * 96.0 / 72 * 3.125));  // from the points, not the 13 pixels
  }
  EXPECT_EQ(c3[1]->pos.y() - c3[0]->pos.y(), frRound(10 * 96.0 / 72 * 3.125) + frRound(2 * 3.125));
  // Offsets move the whole object.
  auto moved = memo(text);
  moved->OffsX = 7;
  moved->OffsY = 9;
  TfrRecordCanvas rm;
  moved->Draw(rm);
  EXPECT_EQ(rm.textCalls()[0]->pos, c1[0]->pos + QPointF(7, 9));
}

TEST(MemoDrawTest, AutoSizeKeepsTheRightEdgeOfRightAlignedText) {
  auto m = memo({QStringLiteral("Összeg")}, 100, 50, 80, 20);
  m->Flags |= flAutoSize;
  m->Adjust = frAlignRight;
  const int w = TfrCanvas::textWidth(TfrFontSpec{}, u"Összeg");
  m->Draw(*std::make_unique<TfrRecordCanvas>());
  EXPECT_EQ(m->dx, w + 2 + 2);
  EXPECT_EQ(m->x + m->dx, 180);
  auto l = memo({QStringLiteral("Összeg")}, 100, 50, 80, 20);
  l->Flags |= flAutoSize;
  l->Draw(*std::make_unique<TfrRecordCanvas>());
  EXPECT_EQ(l->x, 100);
  EXPECT_EQ(l->dx, w + 4);
  // In the designer the width is not changed.
  auto d = memo({QStringLiteral("Összeg")}, 100, 50, 80, 20);
  d->Flags |= flAutoSize;
  frDesignMode = true;
  d->Draw(*std::make_unique<TfrRecordCanvas>());
  frDesignMode = false;
  EXPECT_EQ(d->dx, 80);
}

TEST(MemoDrawTest, ACutTextIsDrawnAsLaidOutWithoutItsMarkLine) {
  auto m = memo({QStringLiteral("egy kettő három négy öt hat hét nyolc kilenc tíz")}, 0, 0, 60, 200);
  m->Memo1 = m->Memo;
  const QStringList laid = m->LaidOutText();
  ASSERT_GE(laid.size(), 3);
  // The part after a page break: two laid-out lines and the mark line.
  auto part = memo({}, 0, 0, 200, 200);  // wider box: no new layout may happen
  part->Memo = {laid[1], laid[2], QString(QChar(frParaMark))};
  const QStringList texts = drawnTexts(*part);
  EXPECT_EQ(texts, (QStringList{frUnpackLine(laid[1]).text, frUnpackLine(laid[2]).text}));
}

TEST(MemoDrawTest, MeasuringACutTextCountsTheLinesThatFit) {
  auto m = memo({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")}, 0, 0, 100, 50);
  m->Flags &= ~flWordWrap;
  m->CutPrinting = true;
  TfrCanvas &measure = frMeasureCanvas();
  EXPECT_EQ(measure.kind(), TfrCanvasKind::Measure);
  m->Draw(measure);
  EXPECT_EQ(m->DrawnLines, 3);
  EXPECT_FALSE(m->CutPrinting);  // cleared by the drawing
  m->Draw(measure);               // not cutting: every line counts
  EXPECT_EQ(m->DrawnLines, 4);
}

TEST(MemoDrawTest, HeightsFromTheLayout) {
  auto m = memo({}, 0, 0, 300, 100);
  m->Font.Size = 12;
  m->Memo1 = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
  EXPECT_EQ(m->MeasureHeight(), 56);  // 3 * (16 + 2) + 2 * 1
  EXPECT_EQ(m->LastLineHeight, 18);
  EXPECT_EQ(m->MinimumHeight(), 18);
  m->DrawnLines = 1;
  EXPECT_EQ(m->RemainingHeight(), 2 * 18);
  m->Visible = false;
  EXPECT_EQ(m->MeasureHeight(), 0);
  m->Visible = true;
  m->Memo1.clear();
  EXPECT_EQ(m->MeasureHeight(), 0);
  // Wrapping in a narrow box gives more lines and so more height.
  auto n = memo({}, 0, 0, 60, 100);
  n->Memo1 = {QStringLiteral("egy kettő három négy öt")};
  EXPECT_GT(n->MeasureHeight(), 15 + 2);
}

TEST(MemoDrawTest, LaidOutTextCarriesMarksAndWidths) {
  auto m = memo({}, 0, 0, 60, 100);
  m->Memo1 = {QStringLiteral("egy kettő három")};
  const QStringList laid = m->LaidOutText();
  ASSERT_GE(laid.size(), 2);
  EXPECT_FALSE(frUnpackLine(laid.first()).paraEnd);
  EXPECT_TRUE(frUnpackLine(laid.last()).paraEnd);
  for (const QString &s : laid) {
    const TfrTextLine l = frUnpackLine(s);
    EXPECT_EQ(l.width, TfrCanvas::textWidth(TfrFontSpec{}, l.text));
  }
}

TEST(PictureDrawTest, BitmapsAndIconsDrawCorruptDataLeavesAnEmptyFrame) {
  QImage img(20, 10, QImage::Format_RGB32);
  img.fill(Qt::red);
  TfrPictureView p;
  p.x = 10, p.y = 10, p.dx = 100, p.dy = 100;
  p.FrameTyp = 15;
  p.Flags = flStretched | flPictRatio | flPictCenter;
  p.Picture.setData(TfrPicture::pkBitmap, imageBytes(img, "BMP"));
  {
    TfrRecordCanvas rec;
    p.Draw(rec);
    auto imgs = callsOf<TfrRecordCanvas::Image>(rec);
    ASSERT_EQ(imgs.size(), 1u);
    EXPECT_EQ(imgs[0]->target.width(), 99);  // drawing rectangle 99 x 99, ratio 2:1
    EXPECT_EQ(imgs[0]->target.height(), 50);
    EXPECT_EQ(imgs[0]->image.size(), QSize(20, 10));
  }
  p.Picture.setData(TfrPicture::pkIcon, imageBytes(img, "ICO"));
  {
    TfrRecordCanvas rec;
    p.Draw(rec);
    EXPECT_EQ(callsOf<TfrRecordCanvas::Image>(rec).size(), 1u);
  }
  for (auto kind : {TfrPicture::pkBitmap, TfrPicture::pkIcon}) {
    QByteArray bad = imageBytes(img, kind == TfrPicture::pkBitmap ? "BMP" : "ICO").left(30);
    bad[20] = '\xFF';
    p.Picture.setData(kind, bad);
    TfrRecordCanvas rec;
    p.Draw(rec);
    EXPECT_TRUE(callsOf<TfrRecordCanvas::Image>(rec).empty());
    EXPECT_EQ(callsOf<TfrRecordCanvas::Rect>(rec).size(), 1u);  // the frame
  }
  // A metafile is kept and stands as an outline.
  p.Picture.setData(TfrPicture::pkMetafile, QByteArray("\x01\x00\x00\x00 metafile", 14));
  p.FrameTyp = 0;
  TfrRecordCanvas rec;
  p.Draw(rec);
  EXPECT_TRUE(callsOf<TfrRecordCanvas::Image>(rec).empty());
  EXPECT_EQ(callsOf<TfrRecordCanvas::Rect>(rec).size(), 1u);
}

TEST(LineDrawTest, VerticalWhenNotWiderThanHigh) {
  TfrLineView v;
  v.x = 10, v.y = 20, v.dx = 0, v.dy = 50;
  v.FrameWidth = 2;
  v.FrameStyle = frsDash;
  TfrRecordCanvas rec;
  v.Draw(rec);
  auto lines = callsOf<TfrRecordCanvas::Line>(rec);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->a, QPointF(10, 20));
  EXPECT_EQ(lines[0]->b, QPointF(10, 70));
  EXPECT_EQ(lines[0]->pen, (TfrPen{clBlack, 2, frsDash}));
  TfrLineView h;
  h.x = 10, h.y = 20, h.dx = 80, h.dy = 3;
  TfrRecordCanvas rh;
  h.Draw(rh);
  auto hl = callsOf<TfrRecordCanvas::Line>(rh);
  ASSERT_EQ(hl.size(), 1u);
  EXPECT_EQ(hl[0]->a, QPointF(10, 20));
  EXPECT_EQ(hl[0]->b, QPointF(90, 20));
}

TEST(BandDrawTest, BandsAndSubreportsDrawOnlyInTheDesigner) {
  TfrBandView b;
  b.x = 0, b.y = 100, b.dx = 500, b.dy = 40;
  b.SetBandType(btMasterData);
  EXPECT_TRUE(drawnTexts(b).isEmpty());
  frDesignMode = true;
  EXPECT_EQ(drawnTexts(b), QStringList{QStringLiteral("Master data")});
  TfrSubReportView s;
  s.dx = 100, s.dy = 50, s.SubPage = 1;
  EXPECT_EQ(drawnTexts(s), QStringList{QStringLiteral("Page2")});
  frDesignMode = false;
  EXPECT_TRUE(b.GetClipRgn(false).contains(QPoint(50, 90)));  // title tab
  frShowBandTitles = false;
  EXPECT_FALSE(b.GetClipRgn(false).contains(QPoint(50, 90)));
  frShowBandTitles = true;
}

namespace {

// Every coordinate and size a recording holds: finite and within the range
// the drawing code keeps to (a few pixel-range values added).
void expectBounded(const TfrRecordCanvas &rec, const std::string &where) {
  constexpr double limit = 4.0 * frMaxPixel;
  auto num = [&](double v) {
    EXPECT_TRUE(std::isfinite(v) && std::abs(v) <= limit) << where << ": " << v;
  };
  auto rect = [&](const QRectF &r) { num(r.left()), num(r.top()), num(r.width()), num(r.height()); };
  for (const auto &c : rec.calls()) {
    if (auto f = std::get_if<TfrRecordCanvas::Fill>(&c)) rect(f->rect);
    if (auto l = std::get_if<TfrRecordCanvas::Line>(&c)) num(l->a.x()), num(l->a.y()), num(l->b.x()), num(l->b.y()), num(l->pen.width);
    if (auto r = std::get_if<TfrRecordCanvas::Rect>(&c)) rect(r->rect), num(r->pen.width);
    if (auto i = std::get_if<TfrRecordCanvas::Image>(&c)) rect(i->target), rect(i->clip);
    if (auto t = std::get_if<TfrTextOut>(&c)) {
      num(t->pos.x()), num(t->pos.y()), rect(t->clip), num(t->font.height), num(t->spreadTo), num(t->justify);
    }
  }
}

}  // namespace

// Geometry from a file or a script may be anything: objects at and beyond the
// int limits, with absurd fonts, spacing and frame widths, draw within the
// pixel range and measure finite heights.
TEST(ExtremeGeometryTest, ObjectsDrawWithinThePixelRange) {
  constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
  const std::vector<int> values = {kMin, kMin + 1, -(1 << 30), -1, 0, 7, 1 << 30, kMax};
  QImage img(20, 10, QImage::Format_RGB32);
  img.fill(Qt::red);
  frDesignMode = true;  // corner marks, bands and subreports draw too
  for (int pass = 0; pass < 2; ++pass) {
    for (int a : values)
      for (int b : values) {
        const std::string where = std::to_string(a) + " / " + std::to_string(b) + " pass " + std::to_string(pass);
        auto m = memo({QStringLiteral("Összesen 12 345 Ft\r\nmásodik sor")}, a, a, b, b);
        m->Font.Size = pass == 0 ? a : 10;
        m->LineSpacing = b;
        m->FrameWidth = pass == 0 ? double(b) : std::numeric_limits<double>::quiet_NaN();
        m->Flags = flWordWrap | flWordBreak | (pass == 1 ? flAutoSize : 0);
        m->Adjust = pass == 0 ? frAlignJustify | frVAlignCenter : frAlignCenter | frRotated | frVAlignBottom;
        m->FillColor = 0xFFFFFF;
        m->ScaleX = m->ScaleY = pass == 0 ? 1 : 3.125;
        m->OffsX = m->OffsY = pass == 0 ? 0 : b;
        TfrPictureView p;
        p.x = a, p.y = b, p.dx = b, p.dy = a;
        p.FrameTyp = 15;
        p.FrameWidth = std::numeric_limits<double>::infinity();
        p.Flags = pass == 0 ? flPictCenter : flStretched | flPictRatio | flPictCenter;
        p.Picture.setData(TfrPicture::pkBitmap, imageBytes(img, "BMP"));
        TfrLineView line;
        line.x = a, line.y = b, line.dx = b, line.dy = a;
        line.FrameWidth = b;
        line.FrameStyle = pass == 0 ? frsSolid : 5;
        TfrBandView band;
        band.x = a, band.y = a, band.dx = b, band.dy = b;
        band.SetBandType(pass == 0 ? btMasterData : btCrossData);
        TfrSubReportView sub;
        sub.x = b, sub.y = a, sub.dx = a, sub.dy = b;
        for (TfrView *v : std::initializer_list<TfrView *>{m.get(), &p, &line, &band, &sub}) {
          TfrRecordCanvas rec;
          v->Draw(rec);
          expectBounded(rec, where);
          for (bool hit : {false, true}) {
            const QRect r = v->GetClipRgn(hit).boundingRect();
            EXPECT_LE(std::abs(double(r.left())) + std::abs(double(r.width())), 4.0 * frMaxPixel) << where;
          }
        }
        for (int h : {m->MeasureHeight(), m->MinimumHeight(), m->RemainingHeight()})
          EXPECT_LE(std::abs(double(h)), 2.0 * frMaxPixel) << where;
      }
  }
  frDesignMode = false;
  // Beyond the range the box is held at its edge; within it nothing moves.
  auto far = memo({QStringLiteral("x")}, kMax, kMin, kMax, 40);
  far->FillColor = 0xFFFFFF;
  TfrRecordCanvas rec;
  far->Draw(rec);
  auto fills = callsOf<TfrRecordCanvas::Fill>(rec);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0]->rect.left(), frMaxPixel);
  EXPECT_EQ(fills[0]->rect.top(), -frMaxPixel);
  EXPECT_EQ(fills[0]->rect.width(), frMaxPixel - 1);  // the right frame line takes its pixel
  EXPECT_EQ(fills[0]->rect.height(), 39);
}
