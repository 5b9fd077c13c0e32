#pragma once
// The engine's canvas: the one drawing interface that report objects draw on,
// whether the target is the screen, a printer, a PDF file, the measuring
// canvas or a recording of the drawing calls. Text is placed glyph by glyph
// from the engine's own font metrics, so a line takes on every target exactly
// the width it was measured to have.
#include "report/output/FR_Fonts.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <variant>
#include <vector>

class QPainter;

namespace report {

// Windows colour word meaning "no colour" (no fill).
constexpr quint32 frTransparent = 0x1FFFFFFF;

// A Windows colour word (0x00BBGGRR, or a system colour 0x800000nn) as a QColor.
QColor frColor(quint32 windowsColor);

struct TfrFontSpec {
  QString name = QStringLiteral("Arial");
  double height = 13;   // character height in pixels
  int style = 0;        // frItalic | frBold | frUnderline | frStrikeOut
  quint32 color = 0;    // Windows colour
  bool rotated = false; // turned by 90 degrees: the text reads upward

  const TfrFontFace &face() const { return frFontFace(name, style); }
  bool operator==(const TfrFontSpec &) const = default;
};

// Frame line styles: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot.
struct TfrPen {
  quint32 color = 0;
  double width = 1;
  int style = 0;
  bool operator==(const TfrPen &) const = default;
};

// One text output call.
struct TfrTextOut {
  QPointF pos;        // top-left of the text cell; rotated: the start, reading upward
  QString text;
  TfrFontSpec font;
  QRect clip;         // drawing is limited to it; a null rectangle means no clipping
  int spreadTo = -1;  // when >= 0 the characters are placed so the text is this wide
  int justify = 0;    // extra pixels spread over the blanks of the text

  // Offsets of each character along the text direction, and the end offset.
  std::vector<double> offsets() const;
  bool operator==(const TfrTextOut &) const = default;
};

enum class TfrCanvasKind { Screen, Printer, Measure, Record };

class TfrCanvas {
 public:
  explicit TfrCanvas(TfrCanvasKind kind) : kind_(kind) {}
  virtual ~TfrCanvas() = default;
  TfrCanvas(const TfrCanvas &) = delete;
  TfrCanvas &operator=(const TfrCanvas &) = delete;

  TfrCanvasKind kind() const { return kind_; }
  bool isPrinter() const { return kind_ == TfrCanvasKind::Printer; }

  // Width of a text in pixels; the same on every canvas.
  static int textWidth(const TfrFontSpec &font, QStringView text) {
    return font.face().textWidth(text, font.height);
  }

  virtual void fillRect(const QRect &r, quint32 color) = 0;
  virtual void drawLine(const QPointF &a, const QPointF &b, const TfrPen &pen) = 0;
  virtual void drawRect(const QRectF &r, const TfrPen &pen) = 0;  // outline only
  virtual void textOut(const TfrTextOut &t) = 0;
  virtual void drawImage(const QRect &target, const QImage &image, const QRect &clip) = 0;

  // The part of the canvas that is visible (objects outside it may be skipped);
  // a null rectangle means that everything is drawn.
  virtual QRect visibleRect() const { return {}; }

 private:
  TfrCanvasKind kind_;
};

// Draws on a QPainter: the screen, a printer or a PDF writer.
class TfrPainterCanvas : public TfrCanvas {
 public:
  TfrPainterCanvas(QPainter *painter, TfrCanvasKind kind = TfrCanvasKind::Screen);
  void fillRect(const QRect &r, quint32 color) override;
  void drawLine(const QPointF &a, const QPointF &b, const TfrPen &pen) override;
  void drawRect(const QRectF &r, const TfrPen &pen) override;
  void textOut(const TfrTextOut &t) override;
  void drawImage(const QRect &target, const QImage &image, const QRect &clip) override;
  QRect visibleRect() const override;

 private:
  QPainter *p_;
};

// Measures and draws nothing: text layout happens here.
class TfrMeasureCanvas : public TfrCanvas {
 public:
  TfrMeasureCanvas() : TfrCanvas(TfrCanvasKind::Measure) {}
  void fillRect(const QRect &, quint32) override {}
  void drawLine(const QPointF &, const QPointF &, const TfrPen &) override {}
  void drawRect(const QRectF &, const TfrPen &) override {}
  void textOut(const TfrTextOut &) override {}
  void drawImage(const QRect &, const QImage &, const QRect &) override {}
};

// The engine's one measuring canvas.
TfrCanvas &frMeasureCanvas();

// Keeps the drawing calls in order; they can be replayed onto another canvas
// and their texts listed (the preview's search uses them).
class TfrRecordCanvas : public TfrCanvas {
 public:
  struct Fill {
    QRect rect;
    quint32 color;
    bool operator==(const Fill &) const = default;
  };
  struct Line {
    QPointF a, b;
    TfrPen pen;
    bool operator==(const Line &) const = default;
  };
  struct Rect {
    QRectF rect;
    TfrPen pen;
    bool operator==(const Rect &) const = default;
  };
  struct Image {
    QRect target;
    QImage image;
    QRect clip;
    bool operator==(const Image &) const = default;
  };
  using Call = std::variant<Fill, Line, Rect, TfrTextOut, Image>;

  TfrRecordCanvas() : TfrCanvas(TfrCanvasKind::Record) {}
  void fillRect(const QRect &r, quint32 color) override;
  void drawLine(const QPointF &a, const QPointF &b, const TfrPen &pen) override;
  void drawRect(const QRectF &r, const TfrPen &pen) override;
  void textOut(const TfrTextOut &t) override;
  void drawImage(const QRect &target, const QImage &image, const QRect &clip) override;

  const std::vector<Call> &calls() const { return calls_; }
  std::vector<const TfrTextOut *> textCalls() const;
  QStringList texts() const;  // the texts drawn, in drawing order
  void replay(TfrCanvas &target) const;
  void clear() { calls_.clear(); }

 private:
  std::vector<Call> calls_;
};

}  // namespace report
