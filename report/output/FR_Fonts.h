#pragma once
// Fonts of the report engine. Layouts name Windows fonts; each maps to a
// metrically compatible face of the Liberation family, loaded from its file so
// that text measures the same on every machine whatever fonts it has installed.
// Widths are whole pixels per character, summed without kerning, so that the
// width of a text is the sum of the widths of its parts.
#include <QRawFont>
#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

namespace report {

// Font style set in memory (the layout stores other bits; the stream reader converts).
enum : int { frBold = 1, frItalic = 2, frUnderline = 4, frStrikeOut = 8 };

// The family that stands in for a Windows font name ("Arial" -> "Liberation Sans").
QString frFontFamily(const QString &windowsName);

// One face (family and bold/italic) with its design metrics.
class TfrFontFace {
 public:
  TfrFontFace(const QString &family, bool bold, bool italic);

  const QString &family() const { return family_; }
  const QString &file() const { return file_; }  // empty when the face was not found
  bool valid() const { return design_.isValid(); }

  // Advance of one character in pixels at the given character height, rounded
  // (held within the int range, whatever the height).
  int charWidth(char16_t ch, double pixelHeight) const;
  // Unrounded advance in pixels.
  double advance(char16_t ch, double pixelHeight) const;
  // Width of a text: the sum of its characters' widths, held within the int range.
  int textWidth(QStringView text, double pixelHeight) const;
  // Distance from the top of the text cell to the baseline.
  double ascent(double pixelHeight) const { return ascent_ * pixelHeight; }
  double descent(double pixelHeight) const { return descent_ * pixelHeight; }

  // The face at a pixel size, for drawing glyphs (cached).
  const QRawFont &raw(double pixelHeight) const;
  quint32 glyph(char16_t ch) const;

 private:
  double designAdvance(char16_t ch) const;  // in ems

  QString family_;
  QString file_;
  QRawFont design_;
  QRawFont drawing_;  // the same face through the font database, which PDF output can embed
  double ascent_ = 0.9, descent_ = 0.2;  // in ems
  mutable std::vector<float> advances_;  // per character code, in ems; < 0 = unknown
  mutable std::vector<quint32> glyphs_;
  mutable std::vector<std::pair<int, std::unique_ptr<QRawFont>>> sized_;
};

// The face for a Windows font name and style bits (bold and italic used).
// Faces are loaded once and live for the program's run. Needs a GUI application.
const TfrFontFace &frFontFace(const QString &windowsName, int style);

}  // namespace report
