// Text layout: font mapping and measuring, word wrap, hyphenation, packed
// line widths, and where the lines are placed on a canvas.
#include "report/output/FR_TextLayout.h"

#include "platform/cp1250.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace report;

void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace {

TfrFontSpec arial(double h = 13) {
  TfrFontSpec f;
  f.name = QStringLiteral("Arial");
  f.height = h;
  return f;
}

QStringList texts(const std::vector<TfrTextLine> &lines) {
  QStringList out;
  for (const auto &l : lines) out << l.text;
  return out;
}

}  // namespace

TEST(FontsTest, WindowsNamesMapToTheProjectsFaces) {
  EXPECT_EQ(frFontFamily(QStringLiteral("Arial")), QStringLiteral("Liberation Sans"));
  EXPECT_EQ(frFontFamily(QStringLiteral("arial ce")), QStringLiteral("Liberation Sans"));
  EXPECT_EQ(frFontFamily(QStringLiteral("Times New Roman CE")), QStringLiteral("Liberation Serif"));
  EXPECT_EQ(frFontFamily(QStringLiteral("Courier New")), QStringLiteral("Liberation Mono"));
  EXPECT_EQ(frFontFamily(QStringLiteral("Arial Narrow")), QStringLiteral("Liberation Sans Narrow"));
  EXPECT_EQ(frFontFamily(QStringLiteral("Some Unknown Face")), QStringLiteral("Liberation Sans"));

  // The faces come from the font files, one per style, not from whatever the
  // machine would substitute.
  const TfrFontFace &regular = frFontFace(QStringLiteral("Arial"), 0);
  const TfrFontFace &bold = frFontFace(QStringLiteral("Arial"), frBold);
  const TfrFontFace &mono = frFontFace(QStringLiteral("Courier New"), frItalic | frUnderline);
  ASSERT_TRUE(regular.valid());
  EXPECT_TRUE(regular.file().endsWith(QStringLiteral("LiberationSans-Regular.ttf")));
  EXPECT_TRUE(bold.file().endsWith(QStringLiteral("LiberationSans-Bold.ttf")));
  EXPECT_TRUE(mono.file().endsWith(QStringLiteral("LiberationMono-Italic.ttf")));
  EXPECT_EQ(&regular, &frFontFace(QStringLiteral("ARIAL"), frUnderline));
}

TEST(FontsTest, WidthsAreWholePixelsAddedUpPerCharacter) {
  TfrFontSpec f = arial(16);
  const QString s = QStringLiteral("Árvíztűrő tükörfúrógép");
  int sum = 0;
  for (QChar c : s) sum += TfrCanvas::textWidth(f, QStringView(&c, 1));
  EXPECT_EQ(TfrCanvas::textWidth(f, s), sum);
  // Metric twins: every digit of the sans face has the same advance, and the
  // mono face gives every character the same width.
  EXPECT_EQ(TfrCanvas::textWidth(f, u"0"), TfrCanvas::textWidth(f, u"8"));
  TfrFontSpec m = f;
  m.name = QStringLiteral("Courier New");
  EXPECT_EQ(TfrCanvas::textWidth(m, u"iiii"), TfrCanvas::textWidth(m, u"WWWW"));
  // Larger characters measure wider; bold wider than regular.
  TfrFontSpec b = f;
  b.style = frBold;
  EXPECT_GT(TfrCanvas::textWidth(b, u"abcdefgh"), TfrCanvas::textWidth(f, u"abcdefgh"));
  EXPECT_GT(TfrCanvas::textWidth(arial(32), u"abcdefgh"), TfrCanvas::textWidth(f, u"abcdefgh"));
}

TEST(WrapTest, TwoWordsInABoxForOneGiveOneWordPerLine) {
  TfrFontSpec f = arial();
  const int one = TfrCanvas::textWidth(f, u"abc");
  auto lines = frWrapLine(QStringLiteral("abc def"), f, one + 2, false);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], (TfrTextLine{QStringLiteral("abc"), false, one}));
  EXPECT_EQ(lines[1].text, QStringLiteral("def"));
  EXPECT_TRUE(lines[1].paraEnd);

  // A line that fits, or a single character, is taken whole.
  auto whole = frWrapLine(QStringLiteral("abc def"), f, 1000, false);
  ASSERT_EQ(whole.size(), 1u);
  EXPECT_TRUE(whole[0].paraEnd);
  EXPECT_EQ(texts(frWrapLine(QStringLiteral("W"), f, 1, false)), QStringList{QStringLiteral("W")});
  auto empty = frWrapLine(QString(), f, 50, false);
  ASSERT_EQ(empty.size(), 1u);
  EXPECT_TRUE(empty[0].paraEnd);
}

TEST(WrapTest, BreaksAfterCommasDotsAndHyphensKeepingThem) {
  TfrFontSpec f = arial();
  const int w = TfrCanvas::textWidth(f, u"alma,körte");
  auto lines = frWrapLine(QStringLiteral("alma,körte,szilva"), f, w + 3, false);
  // The comma that does not fit cannot end the line: the break falls on the
  // one before it, and the break characters stay on their lines.
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, QStringLiteral("alma,"));
  EXPECT_EQ(texts(lines).join(QString()), QStringLiteral("alma,körte,szilva"));
  auto dashed = frWrapLine(QStringLiteral("észak-dél irány"), f, TfrCanvas::textWidth(f, u"észak-dé"), false);
  ASSERT_GE(dashed.size(), 2u);
  EXPECT_EQ(dashed[0].text, QStringLiteral("észak-"));
}

// A number, date, tax number or bank account breaks before itself, not at its
// own comma, dot or hyphen; only when nothing else on the line breaks is it
// broken inside, and that counts as a cut word.
TEST(WrapTest, NumbersDatesAndAccountsBreakBeforeThemselvesNotInside) {
  TfrFontSpec f = arial();
  struct Case {
    QString text, fits, second;  // the line, what the box holds on a line, the second line
  } cases[] = {
      {QStringLiteral("Terület: 999,9999 ha"), QStringLiteral("Terület: 999,99"), QStringLiteral("999,9999 ha")},
      {QStringLiteral("Egységár 2\u00A0222\u00A0222,00"), QStringLiteral("Egységár 2\u00A0222\u00A0222,"),
       QStringLiteral("2\u00A0222\u00A0222,00")},
      {QStringLiteral("Szül.idö: 1970.05.14"), QStringLiteral("Szül.idö: 1970.05.1"), QStringLiteral("1970.05.14")},
      {QStringLiteral("Bankszámla: 11773016-12345678-00000000"), QStringLiteral("Bankszámla: 11773016-12345678-0"),
       QStringLiteral("11773016-12345678-00000000")},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    bool cut = false;
    auto lines = frWrapLine(c.text, f, TfrCanvas::textWidth(f, c.fits), false, &cut);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].text, c.second);
    EXPECT_FALSE(cut);
  }
  bool cut = false;
  auto alone = frWrapLine(QStringLiteral("11773016-12345678-00000000"), f, TfrCanvas::textWidth(f, u"11773016-12345678-0"),
                          false, &cut);
  EXPECT_EQ(texts(alone), (QStringList{QStringLiteral("11773016-12345678-"), QStringLiteral("00000000")}));
  EXPECT_TRUE(cut);
  // A number that would not fit whole on the next line either is not moved
  // there: the line breaks after its last break character, costing no line.
  TfrTextLayoutParams p{f, 115, 3 * (13 + 2) + 2};
  const TfrTextLayout account = frLayoutText({QStringLiteral("Számla: 11773016-12345678-00000000")}, p);
  EXPECT_EQ(texts(account.lines), (QStringList{QStringLiteral("Számla: 11773016-"), QStringLiteral("12345678-"),
                                               QStringLiteral("00000000")}));
  EXPECT_FALSE(frTextFit(account, p).tooHigh);
}

TEST(WrapTest, LineBreakCharactersEndLinesAndRunsCountOnce) {
  TfrFontSpec f = arial();
  auto lines = frWrapLine(QStringLiteral("egy\r\n\r\nkettő\nhárom\r\n"), f, 1000, false);
  EXPECT_EQ(texts(lines), (QStringList{QStringLiteral("egy"), QStringLiteral("kettő"), QStringLiteral("három")}));
  for (const auto &l : lines) EXPECT_TRUE(l.paraEnd);
  auto leading = frWrapLine(QStringLiteral("\r\nx"), f, 1000, false);
  EXPECT_EQ(texts(leading), (QStringList{QString(), QStringLiteral("x")}));
}

TEST(WrapTest, AWordWiderThanTheLineIsBrokenNotDropped) {
  TfrFontSpec f = arial();
  const QString word = QStringLiteral("Gabonafelvásárlásijegynyilvántartás");
  const int max = TfrCanvas::textWidth(f, u"Gabonafel");
  for (bool hyph : {false, true}) {
    auto lines = frWrapLine(QStringLiteral("ab ") + word + QStringLiteral(" cd"), f, max, hyph);
    QString joined;
    for (const auto &l : lines) {
      EXPECT_FALSE(l.text.isEmpty());
      EXPECT_LE(l.width, max) << l.text.toStdString();
      EXPECT_EQ(l.width, TfrCanvas::textWidth(f, l.text));
      joined += l.text.endsWith(QLatin1Char('-')) && hyph ? l.text.chopped(1) : l.text;
    }
    EXPECT_EQ(lines.front().text, QStringLiteral("ab"));
    EXPECT_TRUE(lines.back().text.endsWith(QStringLiteral(" cd")));
    EXPECT_EQ(joined.remove(QLatin1Char(' ')), QStringLiteral("ab") + word + QStringLiteral("cd"));
  }
  // Even a box narrower than one character makes progress, one per line.
  auto narrow = frWrapLine(QStringLiteral("WWW"), f, 2, false);
  EXPECT_EQ(texts(narrow), (QStringList{QStringLiteral("W"), QStringLiteral("W"), QStringLiteral("W")}));
}

TEST(HyphenateTest, SyllablePositionsFollowTheVowelAndSignSets) {
  // Ó (211) is a vowel of the set, Ú (218) and Ü (220) are the signs; Latin
  // letters count as consonants.
  EXPECT_EQ(frHyphenate(QStringLiteral("ÓBÓBÓB")), QList<int>{3});
  EXPECT_EQ(frHyphenate(QStringLiteral("óbóbób")), QList<int>{3});  // upper-cased first
  EXPECT_EQ(frHyphenate(QStringLiteral("BÓÓBB")), QList<int>{2});
  EXPECT_EQ(frHyphenate(QStringLiteral("BBCÓBB")), QList<int>{2});
  EXPECT_EQ(frHyphenate(QStringLiteral("BBÚÓBB")), QList<int>{});  // a sign after i blocks
  EXPECT_EQ(frHyphenate(QStringLiteral("BÓBÓ")), QList<int>{});    // shorter than 5
  EXPECT_EQ(frHyphenate(QStringLiteral("alkalmazott")), QList<int>{});
}

TEST(HyphenateTest, WrapSplitsAtTheLatestFittingSyllableWithAHyphen) {
  TfrFontSpec f = arial();
  const QString word = QStringLiteral("BBCÓBBCÓBBCÓBB");  // positions 2, 6, 10
  ASSERT_EQ(frHyphenate(word), (QList<int>{2, 6, 10}));
  const int max = TfrCanvas::textWidth(f, u"x BBCÓBBC-") + 1;
  auto lines = frWrapLine(QStringLiteral("x ") + word, f, max, true);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, QStringLiteral("x BBCÓBB-"));
  EXPECT_FALSE(lines[0].paraEnd);
  EXPECT_TRUE(lines[1].text.startsWith(QStringLiteral("CÓBB")));
  // Without hyphenation the same text breaks at the blank.
  auto plain = frWrapLine(QStringLiteral("x ") + word, f, max, false);
  EXPECT_EQ(plain[0].text, QStringLiteral("x"));
}

TEST(LaidLineTest, WidthsPackAsTwoBytesThatSurviveTheCodePage) {
  for (int w : {0, 13, 0x0181, 0x8081, 0x9890, 0xFFFF}) {
    for (bool para : {false, true}) {
      TfrTextLine l{QStringLiteral("Összeg: 12"), para, w};
      QString packed = frPackLine(l);
      EXPECT_EQ(packed.size(), l.text.size() + (para ? 3 : 2));
      // Through the bytes the stream stores and back.
      QString again = platform::fromCp1250(platform::toCp1250(packed));
      EXPECT_EQ(frUnpackLine(again), l) << w;
      QByteArray bytes = platform::toCp1250(packed);
      EXPECT_EQ(static_cast<unsigned char>(bytes[bytes.size() - 2]), w >> 8);
      EXPECT_EQ(static_cast<unsigned char>(bytes[bytes.size() - 1]), w & 0xFF);
    }
  }
  // An empty line ends a paragraph; a line holding only the mark is empty.
  EXPECT_TRUE(frUnpackLine(frPackLine({QString(), false, 0})).paraEnd);
  EXPECT_TRUE(frHasParaMark({QStringLiteral("a"), QString(QChar(frParaMark))}));
  EXPECT_FALSE(frHasParaMark({QStringLiteral("a"), QStringLiteral("b")}));
}

TEST(LayoutTest, SeveralParagraphsWrapAtFixedPlaces) {
  // With the project's fonts this layout is the same on every machine.
  TfrTextLayoutParams p;
  p.font = arial(13);  // 10 points
  p.width = 200;
  p.height = 300;
  const QStringList text = {
      QStringLiteral("A felvásárlási jegyek összesítője a kiválasztott időszak minden tételét tartalmazza."),
      QString(),
      QStringLiteral("Az árak forintban értendők, az általános forgalmi adót nem tartalmazzák."),
  };
  TfrTextLayout l = frLayoutText(text, p);
  EXPECT_EQ(texts(l.lines),
            (QStringList{QStringLiteral("A felvásárlási jegyek összesítője a"),
                         QStringLiteral("kiválasztott időszak minden tételét"),
                         QStringLiteral("tartalmazza."), QString(),
                         QStringLiteral("Az árak forintban értendők, az"),
                         QStringLiteral("általános forgalmi adót nem"),
                         QStringLiteral("tartalmazzák.")}));
  std::vector<bool> ends;
  for (const auto &line : l.lines) {
    ends.push_back(line.paraEnd);
    EXPECT_LE(line.width, p.width - 2 * p.gapX);
  }
  EXPECT_EQ(ends, (std::vector<bool>{false, false, true, true, false, false, true}));
  EXPECT_EQ(l.lineHeight, 15);
  EXPECT_EQ(l.textHeight, 7 * 15 + 2);
}

TEST(LayoutTest, HeightsFollowFontSizeSpacingAndGaps) {
  // A 12-point text with frame width 1: line height Round(16) + 2 = 18; three
  // lines give 3 * 18 + 2 * 1.
  TfrTextLayoutParams p;
  p.font = arial(16);
  p.width = 300;
  p.height = 100;
  p.wordWrap = false;
  TfrTextLayout l = frLayoutText({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, p);
  EXPECT_EQ(l.lineHeight, 18);
  EXPECT_EQ(l.textHeight, 56);
  // Without word wrap long lines stay whole and each ends a paragraph.
  TfrTextLayout one = frLayoutText({QStringLiteral("nagyon hosszú sor, amely nem fér ki a dobozba sehogy sem")}, p);
  ASSERT_EQ(one.lines.size(), 1u);
  EXPECT_TRUE(one.lines[0].paraEnd);
  EXPECT_GT(one.lines[0].width, 300);
  // Rotated text wraps across the height and adds the horizontal gaps.
  p.adjust = frRotated;
  p.wordWrap = true;
  p.height = 60;
  TfrTextLayout rot = frLayoutText({QStringLiteral("egy kettő három négy")}, p);
  for (const auto &line : rot.lines) EXPECT_LE(line.width, 60 - 2 * p.gapY);
  EXPECT_EQ(rot.textHeight, static_cast<int>(rot.lines.size()) * 18 + 2 * p.gapX);
}

// What a box cannot show of its text: a one-line text wider than the box,
// wrapped lines below its bottom (whatever the vertical alignment), a word
// broken for want of width; a text broken at blanks that fills the box exactly fits.
TEST(LayoutTest, FitTellsWhatTheBoxCannotShow) {
  TfrTextLayoutParams p;
  p.font = arial(13);
  p.width = 200;
  p.height = 2 * 15 + 2;  // two lines
  const QString twoLines = QStringLiteral("A felvásárlási jegyek összesítője a kiválasztott");
  TfrTextLayout l = frLayoutText({twoLines}, p);
  ASSERT_EQ(l.lines.size(), 2u);
  EXPECT_TRUE(frTextFit(l, p).fits());
  p.adjust = frVAlignCenter;
  EXPECT_TRUE(frTextFit(l, p).fits());

  p.adjust = 0;
  p.height -= 3;  // the last line's glyphs reach below
  TfrTextFit low = frTextFit(l, p);
  EXPECT_TRUE(low.tooHigh);
  EXPECT_FALSE(low.tooWide);
  EXPECT_FALSE(low.wordCut);
  p.adjust = frVAlignBottom;
  EXPECT_TRUE(frTextFit(l, p).tooHigh);
  p.adjust = 0;

  p.height = 100;
  p.wordWrap = false;
  TfrTextFit wide = frTextFit(frLayoutText({twoLines}, p), p);
  EXPECT_TRUE(wide.tooWide);
  EXPECT_FALSE(wide.tooHigh);

  p.wordWrap = true;
  TfrTextLayout cut = frLayoutText({QStringLiteral("Kiskunfélegyházi-Felsőszentgyörgymártonfalvi")}, p);
  EXPECT_FALSE(cut.wordCut);  // broken after its hyphen
  p.width = 60;
  cut = frLayoutText({QStringLiteral("Adóazonosító jel")}, p);
  EXPECT_TRUE(cut.wordCut);
  EXPECT_TRUE(frTextFit(cut, p).wordCut);
  EXPECT_FALSE(frTextFit(cut, p).fits());
}

TEST(GeometryTest, ScalingGapsAndDrawingRectangle) {
  TfrDrawGeometry g = frScaleGeometry(10, 20, 100, 50, 15, 1, 1, 1, 0, 0);
  EXPECT_EQ(g.gapX, 2);
  EXPECT_EQ(g.gapY, 1);
  EXPECT_EQ(g.drawRect, (TfrRectI{10, 20, 109, 69}));
  TfrDrawGeometry z = frScaleGeometry(10, 20, 100, 50, 0, 2, 1.5, 2, 5, 7);
  EXPECT_EQ(z.left, 20);  // Round(15) + 5
  EXPECT_EQ(z.top, 47);   // Round(40) + 7
  EXPECT_EQ(z.width, 150);
  EXPECT_EQ(z.height, 100);
  EXPECT_DOUBLE_EQ(z.frameWidth, 3);
  EXPECT_EQ(z.drawRect, (TfrRectI{20, 47, 170, 147}));  // no frame lines: not shrunk
  EXPECT_EQ(z.gapX, 4);   // Round(1.5) + 2
  EXPECT_EQ(z.gapY, 2);   // Round(2) / 2 + 1
  // Halves round to even: 2.5 -> 2.
  EXPECT_EQ(frScaleGeometry(0, 0, 5, 5, 0, 1, 0.5, 0.5, 0, 0).width, 2);
}

// Stored geometry and font sizes may be anything: the scaled box, the frame
// width and the gaps stay within the pixel range, widths saturate, and text
// drawn with raw extreme geometry lands at finite places.
TEST(GeometryTest, ExtremeValuesAreHeldWithinThePixelRange) {
  constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
  const TfrDrawGeometry g = frScaleGeometry(kMax, kMin, kMax, kMin, 15, 1e300, 3.125, 3.125, kMax, kMin);
  EXPECT_EQ(g.left, frMaxPixel);
  EXPECT_EQ(g.top, -frMaxPixel);
  EXPECT_EQ(g.width, frMaxPixel);
  EXPECT_EQ(g.height, -frMaxPixel);
  EXPECT_EQ(g.frameWidth, frMaxPixel);
  EXPECT_LE(g.gapX, frMaxPixel / 2 + 2);
  EXPECT_LE(g.gapY, frMaxPixel / 2 + 1);
  const TfrDrawGeometry n = frScaleGeometry(0, 0, 10, 10, 15, std::nan(""), 1, 1, 0, 0);
  EXPECT_EQ(n.frameWidth, 0);
  EXPECT_EQ(n.drawRect, (TfrRectI{0, 0, 10, 10}));
  EXPECT_EQ((TfrRectI{kMin, kMin, kMax, kMax}).width(), frMaxPixel);
  EXPECT_EQ((TfrRectI{kMin, kMin, kMax, kMax}).toQRect(), QRect(-frMaxPixel, -frMaxPixel, frMaxPixel, frMaxPixel));

  // Widths of a huge font saturate instead of wrapping round.
  const TfrFontFace &face = arial().face();
  EXPECT_EQ(face.charWidth(u'W', 1e300), kMax);
  EXPECT_EQ(face.charWidth(u'W', -1e300), kMin);
  EXPECT_EQ(face.charWidth(u'W', std::nan("")), 0);
  EXPECT_EQ(face.textWidth(u"WWWW", 1e9), kMax);
  EXPECT_EQ(face.textWidth(u"WWWW", 13), 4 * face.charWidth(u'W', 13));

  // Raw geometry at the int limits given straight to the text placement.
  TfrTextDrawParams p;
  p.geo.left = kMax, p.geo.top = kMax, p.geo.width = kMax, p.geo.height = kMin;
  p.geo.gapX = kMax, p.geo.gapY = kMin;
  p.geo.drawRect = {kMin, kMax, kMax, kMin};
  p.font = arial(1e12);
  p.lineSpacing = kMax;
  p.textHeight = kMin;
  for (int adjust : std::initializer_list<int>{frAlignRight | frVAlignBottom, frAlignCenter | frVAlignCenter, frAlignJustify,
                     frRotated | frAlignRight, frRotated | frAlignCenter | frVAlignCenter, frRotated | frAlignJustify}) {
    std::vector<TfrTextLine> lines(200, TfrTextLine{QStringLiteral("a b"), false, 0xFFFF});
    p.adjust = adjust;
    TfrRecordCanvas rec;
    EXPECT_EQ(frDrawTextLines(rec, lines, p), 200);
    for (const TfrTextOut *t : rec.textCalls()) {
      EXPECT_LE(std::abs(t->pos.x()), frMaxPixel);
      EXPECT_LE(std::abs(t->pos.y()), frMaxPixel);
      EXPECT_LE(std::abs(double(t->justify)), frMaxPixel);
      EXPECT_LE(std::abs(double(t->clip.left())) + std::abs(double(t->clip.width())), 2.0 * frMaxPixel);
    }
  }
  // Layout with a box and spacing at the limits.
  TfrTextLayoutParams lp;
  lp.font = arial(1e12);
  lp.width = kMin, lp.height = kMax, lp.gapX = kMax, lp.gapY = kMin;
  lp.lineSpacing = kMax;
  lp.hyphenate = true;
  const TfrTextLayout l = frLayoutText({QStringLiteral("Gabonafelvásárlás összesen"), QStringLiteral("x")}, lp);
  EXPECT_FALSE(l.lines.empty());
  EXPECT_LE(std::abs(double(l.textHeight)), frMaxPixel);
}

namespace {

struct DrawCase {
  TfrRecordCanvas rec;
  TfrTextDrawParams p;
  DrawCase(int adjust, int left = 100, int top = 50, int width = 200, int height = 100) {
    p.geo = frScaleGeometry(left, top, width, height, 15, 1, 1, 1, 0, 0);
    p.font = arial(13);
    p.adjust = adjust;
  }
  std::vector<const TfrTextOut *> draw(const QStringList &text, bool wrap = true) {
    TfrTextLayoutParams lp;
    lp.font = p.font;
    lp.width = p.geo.width;
    lp.height = p.geo.height;
    lp.adjust = p.adjust;
    lp.wordWrap = wrap;
    TfrTextLayout l = frLayoutText(text, lp);
    p.textHeight = l.textHeight;
    count = frDrawTextLines(rec, l.lines, p);
    lines = l.lines;
    return rec.textCalls();
  }
  int count = 0;
  std::vector<TfrTextLine> lines;
};

}  // namespace

TEST(DrawTextTest, HorizontalAlignmentPlacesLinesWhereTheRulesSay) {
  const QString s = QStringLiteral("Összesen");
  const int w = TfrCanvas::textWidth(arial(13), s);
  DrawCase left(frAlignLeft), right(frAlignRight), centre(frAlignCenter);
  const TfrTextOut *l = left.draw({s})[0];
  const TfrTextOut *r = right.draw({s})[0];
  const TfrTextOut *c = centre.draw({s})[0];
  EXPECT_EQ(l->pos, QPointF(102, 51));
  EXPECT_EQ(r->pos, QPointF(100 + 200 - 1 - 2 - w, 51));
  EXPECT_EQ(c->pos, QPointF(100 + 2 + (200 - 4 - w) / 2, 51));
  EXPECT_EQ(l->text, s);
  EXPECT_EQ(l->spreadTo, w);
  EXPECT_EQ(l->clip, QRect(QPoint(101, 50), QPoint(299 - 2 - 1, 149 - 1 - 1)));
  EXPECT_EQ(l->font.height, 13);
  EXPECT_FALSE(l->font.rotated);
}

TEST(DrawTextTest, JustifiedLinesFillTheWidthExceptParagraphEnds) {
  DrawCase j(frAlignJustify);
  auto calls = j.draw({QStringLiteral("A felvásárlási jegyek összesítője a kiválasztott időszak minden tételét.")});
  ASSERT_GE(calls.size(), 2u);
  const TfrTextOut *first = calls[0];
  EXPECT_EQ(first->pos.x(), 102);
  EXPECT_EQ(first->justify, 200 - 4 - j.lines[0].width);
  auto off = first->offsets();
  EXPECT_EQ(off.back(), 200 - 4);  // the line ends at the right gap
  EXPECT_EQ(calls.back()->justify, 0);  // last line of the paragraph
  // Lines follow one line height apart.
  EXPECT_EQ(calls[1]->pos.y() - calls[0]->pos.y(), 15);

  // A line without blanks is not spread.
  DrawCase k(frAlignJustify, 0, 0, 40, 100);
  auto single = k.draw({QStringLiteral("Gabonafelvásárlás")});
  for (auto *t : single) EXPECT_EQ(t->justify, 0);
}

TEST(DrawTextTest, JustificationSharesExtraPixelsOverBlanks) {
  TfrTextOut t;
  t.font = arial(13);
  t.text = QStringLiteral("a b c d");
  const int natural = TfrCanvas::textWidth(t.font, t.text);
  t.justify = 7;  // three blanks: 3, 2, 2
  auto off = t.offsets();
  const int wa = TfrCanvas::textWidth(t.font, u"a "), wb = TfrCanvas::textWidth(t.font, u"a b ");
  EXPECT_EQ(off[2], wa + 3);
  EXPECT_EQ(off[4], wb + 5);
  EXPECT_EQ(off.back(), natural + 7);
  // Spreading to a width places the last character's end exactly there.
  t.justify = 0;
  t.spreadTo = natural + 20;
  EXPECT_DOUBLE_EQ(t.offsets().back(), natural + 20);
}

TEST(DrawTextTest, VerticalPlacementMovesTheBlock) {
  DrawCase top(frVAlignTop), mid(frVAlignCenter), bottom(frVAlignBottom), both(frVAlignMask);
  const QStringList text = {QStringLiteral("egy"), QStringLiteral("kettő")};
  const int th = 2 * 15 + 2;  // text height of the layout
  EXPECT_EQ(top.draw(text, false)[0]->pos.y(), 51);
  EXPECT_EQ(mid.draw(text, false)[0]->pos.y(), 51 + (100 - th) / 2);
  EXPECT_EQ(bottom.draw(text, false)[0]->pos.y(), 51 + 100 - th);
  EXPECT_EQ(both.draw(text, false)[0]->pos.y(), 51);
  // At a zoom the text height is scaled and rounded.
  DrawCase zoom(frVAlignBottom);
  zoom.p.geo = frScaleGeometry(100, 50, 200, 100, 15, 1, 2, 2, 0, 0);
  zoom.p.scaleX = zoom.p.scaleY = 2;
  zoom.p.font.height = 26;
  zoom.p.textHeight = th;
  std::vector<TfrTextLine> lines = {{QStringLiteral("egy"), true, 20}};
  frDrawTextLines(zoom.rec, lines, zoom.p);
  const TfrTextOut *t = zoom.rec.textCalls()[0];
  EXPECT_EQ(t->pos.y(), 100 + 1 + 200 - 2 * th);
  EXPECT_EQ(t->spreadTo, 40);  // stored width scaled: the preview keeps the printout's widths
}

TEST(DrawTextTest, RotatedTextStandsAndReadsUpward) {
  // Object 100 high, frame width 1, scale 1.
  DrawCase up(frRotated | frAlignLeft);
  auto calls = up.draw({QStringLiteral("egy"), QStringLiteral("kettő"), QStringLiteral("három")}, false);
  ASSERT_EQ(calls.size(), 3u);
  for (int n = 0; n < 3; ++n) {
    EXPECT_TRUE(calls[n]->font.rotated);
    EXPECT_EQ(calls[n]->pos, QPointF(100 + 2 + n * 15, 50 + 99));
  }
  DrawCase right(frRotated | frAlignRight);
  const QString s = QStringLiteral("kettő");
  const int w = TfrCanvas::textWidth(arial(13), s);
  EXPECT_EQ(right.draw({s}, false)[0]->pos.y(), 50 + 1 + w);
  DrawCase centre(frRotated | frAlignCenter);
  EXPECT_EQ(centre.draw({s}, false)[0]->pos.y(), 50 + 100 - 1 - 1 - (100 - 2 - w) / 2);
  // Without word wrap every line ends a paragraph: nothing is justified, and
  // an empty line draws nothing but takes its place.
  DrawCase just(frRotated | frAlignJustify);
  auto jc = just.draw({QStringLiteral("a b"), QString(), QStringLiteral("c d")}, false);
  ASSERT_EQ(jc.size(), 2u);
  EXPECT_EQ(just.count, 3);
  EXPECT_EQ(jc[0]->justify, 0);
  EXPECT_EQ(jc[1]->pos.x(), 102 + 2 * 15);
  // With word wrap a rotated line that goes on is spread over the height.
  DrawCase wrapped(frRotated | frAlignJustify, 0, 0, 100, 60);
  auto wc = wrapped.draw({QStringLiteral("egy kettő három négy öt hat")});
  ASSERT_GE(wc.size(), 2u);
  EXPECT_EQ(wc[0]->justify, 60 - 2 - TfrCanvas::textWidth(wc[0]->font, wc[0]->text));
  EXPECT_EQ(wc.back()->justify, 0);
  // Vertical placement moves rotated text across the width.
  DrawCase across(frRotated | frVAlignBottom);
  auto ac = across.draw({s}, false);
  EXPECT_EQ(ac[0]->pos.x(), 102 + 200 - (15 + 2 * 2));
}

TEST(DrawTextTest, MeasuringACutTextStopsAtTheClipBottom) {
  DrawCase cut(frAlignLeft, 0, 0, 200, 50);
  cut.p.stopAtClip = true;
  cut.draw({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")}, false);
  // Lines start at 1, 16, 31, 46; the clip bottom is 49 - 1 = 48 (exclusive):
  // 1+15, 16+15 and 31+15 fit, 46+15 does not.
  EXPECT_EQ(cut.count, 3);
  // Rotated text puts every line out.
  DrawCase rot(frRotated, 0, 0, 20, 50);
  rot.p.stopAtClip = true;
  rot.draw({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")}, false);
  EXPECT_EQ(rot.count, 4);
}

TEST(FrRound, HalvesGoToTheEvenNeighbourAndLargeValuesAreHeld) {
  EXPECT_EQ(report::frRound(0.5), 0);
  EXPECT_EQ(report::frRound(1.5), 2);
  EXPECT_EQ(report::frRound(2.5), 2);
  EXPECT_EQ(report::frRound(-2.5), -2);
  EXPECT_EQ(report::frRound(-3.5), -4);
  EXPECT_EQ(report::frRound(2.4999999999), 2);
  EXPECT_EQ(report::frRound(-0.7), -1);
  EXPECT_EQ(report::frRound(1e300), 2147483647);
  EXPECT_EQ(report::frRound(-1e300), -2147483647 - 1);
  EXPECT_EQ(report::frRound(std::nan("")), 0);
}
