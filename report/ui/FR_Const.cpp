#include "report/ui/FR_Const.h"

#include <QFile>
#include <QHash>

namespace report {

namespace {

// Read once: "id<TAB>text" lines; lines starting with '#' are comments.
const QHash<int, QString> &table() {
  static const QHash<int, QString> t = [] {
    QHash<int, QString> h;
    QFile f(QStringLiteral(":/report/frstrings.txt"));
    if (!f.open(QIODevice::ReadOnly)) return h;
    const QString all = QString::fromUtf8(f.readAll());
    for (const QString &line : all.split(QLatin1Char('\n'))) {
      if (line.startsWith(QLatin1Char('#'))) continue;
      const qsizetype tab = line.indexOf(QLatin1Char('\t'));
      bool ok = false;
      const int id = line.left(tab).toInt(&ok);
      if (tab > 0 && ok) h.insert(id, line.mid(tab + 1));
    }
    return h;
  }();
  return t;
}

}  // namespace

QString frLoadStr(int id) { return table().value(id); }

QImage frGlyph(const QString &name) {
  static QHash<QString, QImage> cache;
  auto it = cache.find(name);
  if (it == cache.end()) {
    QImage img(QStringLiteral(":/report/glyphs/%1.xpm").arg(name));
    it = cache.insert(name, img.isNull() ? img : img.convertToFormat(QImage::Format_ARGB32));
  }
  return *it;
}

QPixmap frGlyphPixmap(const QString &name) {
  QImage g = frGlyph(name);
  for (int y = 0; y < g.height(); ++y)
    for (int x = 0; x < g.width(); ++x)
      if (g.pixel(x, y) == frGlyphTransparent) g.setPixel(x, y, 0);
  return QPixmap::fromImage(g);
}

}  // namespace report
