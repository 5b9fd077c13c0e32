#pragma once
// The engine's string table and glyphs, kept as resources of the library.
#include <QImage>
#include <QPixmap>
#include <QString>

namespace report {

// The text of a string-table id; an empty text for an id the table lacks.
QString frLoadStr(int id);

// A toolbar glyph drawn for the engine ("zoom", "open", "save", "print",
// "find", "help", "exit", "printer", "arrow_up", "arrow_down", "page_up",
// "page_down"; for the designer "new", "cut", "copy", "paste", "undo",
// "redo", "front", "back", "selectall", "addpage", "delpage", "grid",
// "gridalign", "select", "text", "picture", "band", "subreport", "line"); olive (0x808000) pixels are transparent. A null image for an
// unknown name.
QImage frGlyph(const QString &name);

// The same glyph with its olive pixels made transparent.
QPixmap frGlyphPixmap(const QString &name);

// The colour of a glyph's transparent pixels.
inline constexpr QRgb frGlyphTransparent = 0xFF808000;

}  // namespace report
