#include "report/output/FR_Fonts.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>

#include <cmath>
#include <limits>
#include <map>

namespace report {

namespace {

constexpr double kDesignSize = 256.0;  // pixel size the design metrics are read at
constexpr size_t kCachedChars = 0x2200;  // Windows-1250 text stays below U+2200

struct FamilyMap {
  const char *windows;
  const char *family;
};

// Windows font names (lower case, " CE" suffix removed) and their metric twins.
constexpr FamilyMap kFamilies[] = {
    {"arial", "Liberation Sans"},
    {"helvetica", "Liberation Sans"},
    {"ms sans serif", "Liberation Sans"},
    {"microsoft sans serif", "Liberation Sans"},
    {"tahoma", "Liberation Sans"},
    {"verdana", "Liberation Sans"},
    {"segoe ui", "Liberation Sans"},
    {"calibri", "Liberation Sans"},
    {"system", "Liberation Sans"},
    {"arial narrow", "Liberation Sans Narrow"},
    {"times new roman", "Liberation Serif"},
    {"times", "Liberation Serif"},
    {"ms serif", "Liberation Serif"},
    {"georgia", "Liberation Serif"},
    {"cambria", "Liberation Serif"},
    {"courier new", "Liberation Mono"},
    {"courier", "Liberation Mono"},
    {"lucida console", "Liberation Mono"},
    {"consolas", "Liberation Mono"},
    {"fixedsys", "Liberation Mono"},
};

QString fileStem(const QString &family) {
  QString stem = family;
  stem.remove(QLatin1Char(' '));
  return stem;  // "LiberationSans", "LiberationSansNarrow"
}

QString findFontFile(const QString &family, bool bold, bool italic) {
  QString suffix = bold && italic ? QStringLiteral("BoldItalic")
                   : bold         ? QStringLiteral("Bold")
                   : italic       ? QStringLiteral("Italic")
                                  : QStringLiteral("Regular");
  QString name = fileStem(family) + QLatin1Char('-') + suffix + QStringLiteral(".ttf");
  QStringList dirs;
  QByteArray env = qgetenv("VORIK_FONT_DIR");
  if (!env.isEmpty()) dirs << QString::fromLocal8Bit(env);
  dirs << QStringLiteral("/usr/share/fonts/truetype/liberation")
       << QStringLiteral("/usr/share/fonts/truetype/liberation2")
       << QStringLiteral("/usr/share/fonts/liberation");
  for (const QString &dir : dirs) {
    QString path = dir + QLatin1Char('/') + name;
    if (QFile::exists(path)) return path;
  }
  return {};
}


}  // namespace

QString frFontFamily(const QString &windowsName) {
  QString key = windowsName.trimmed().toLower();
  if (key.endsWith(QLatin1String(" ce"))) key.chop(3);
  for (const FamilyMap &m : kFamilies)
    if (key == QLatin1String(m.windows)) return QString::fromLatin1(m.family);
  if (key.startsWith(QLatin1String("liberation "))) {
    for (const FamilyMap &m : kFamilies)
      if (key == QString::fromLatin1(m.family).toLower()) return QString::fromLatin1(m.family);
  }
  return QStringLiteral("Liberation Sans");
}

TfrFontFace::TfrFontFace(const QString &family, bool bold, bool italic) : family_(family) {
  file_ = findFontFile(family, bold, italic);
  if (!file_.isEmpty()) design_ = QRawFont(file_, kDesignSize, QFont::PreferNoHinting);
  if (!design_.isValid()) {
    // Without the project's fonts measuring still works, on whatever the system offers.
    QFont f(family);
    f.setPixelSize(static_cast<int>(kDesignSize));
    f.setBold(bold);
    f.setItalic(italic);
    f.setHintingPreference(QFont::PreferNoHinting);
    design_ = QRawFont::fromFont(f);
    file_.clear();
  }
  if (design_.isValid()) {
    ascent_ = design_.ascent() / kDesignSize;
    descent_ = design_.descent() / kDesignSize;
  }
  // Drawing goes through the font database: a face loaded from bytes alone is
  // put into PDF files as outlines, one path per glyph, which is slow and large.
  drawing_ = design_;
  if (!file_.isEmpty()) {
    // The system's fonts are read into the database at its first use, and a
    // system file of the same family and style (a newer Liberation package
    // beside the older one) then replaces a face added before: a process that
    // prints before anything else used a font would get outlines. Reading the
    // system's fonts first lets the face added here win.
    QFontDatabase::families();
    const int id = QFontDatabase::addApplicationFont(file_);
    const QStringList fams = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
    if (!fams.isEmpty()) {
      QFont f(fams.first());
      f.setPixelSize(static_cast<int>(kDesignSize));
      f.setBold(bold);
      f.setItalic(italic);
      f.setHintingPreference(QFont::PreferNoHinting);
      f.setStyleStrategy(QFont::NoFontMerging);
      QRawFont r = QRawFont::fromFont(f);
      // Only when the database gives this very face.
      if (r.isValid() && r.fontTable("head") == design_.fontTable("head")) drawing_ = r;
    }
  }
  advances_.assign(kCachedChars, -1.0f);
  glyphs_.assign(kCachedChars, 0xFFFFFFFFu);
}

quint32 TfrFontFace::glyph(char16_t ch) const {
  if (ch < kCachedChars && glyphs_[ch] != 0xFFFFFFFFu) return glyphs_[ch];
  quint32 g = 0;
  if (design_.isValid()) {
    QChar c(ch);
    int n = 1;
    if (!design_.glyphIndexesForChars(&c, 1, &g, &n)) g = 0;
  }
  if (ch < kCachedChars) glyphs_[ch] = g;
  return g;
}

double TfrFontFace::designAdvance(char16_t ch) const {
  if (ch < kCachedChars && advances_[ch] >= 0) return advances_[ch];
  double em = 0.5;
  if (design_.isValid()) {
    quint32 g = glyph(ch);
    QPointF adv;
    if (design_.advancesForGlyphIndexes(&g, &adv, 1, QRawFont::UseDesignMetrics))
      em = adv.x() / kDesignSize;
  }
  if (ch < kCachedChars) advances_[ch] = static_cast<float>(em);
  return em;
}

double TfrFontFace::advance(char16_t ch, double pixelHeight) const {
  return designAdvance(ch) * pixelHeight;
}

namespace {

// A whole number of pixels held within int: any height at all (a stored font
// size may be absurd); not a number gives 0.
int saturatedPixels(double w) {
  if (w < 2147483647.0 && w > -2147483648.0) return static_cast<int>(w);
  return w > 0 ? std::numeric_limits<int>::max() : w < 0 ? std::numeric_limits<int>::min() : 0;
}

}  // namespace

int TfrFontFace::charWidth(char16_t ch, double pixelHeight) const {
  // Half to even as everywhere in the engine; the process keeps the default
  // rounding mode, and this is the hot path of text measuring.
  return saturatedPixels(std::nearbyint(designAdvance(ch) * pixelHeight));
}

int TfrFontFace::textWidth(QStringView text, double pixelHeight) const {
  // Whole pixels summed as doubles (exact far beyond int) and held within int
  // once at the end: a long text in a huge font does not wrap round.
  double w = 0;
  for (QChar c : text) w += std::nearbyint(designAdvance(c.unicode()) * pixelHeight);
  return saturatedPixels(w);
}

const QRawFont &TfrFontFace::raw(double pixelHeight) const {
  int key = static_cast<int>(std::lround(pixelHeight * 64));
  for (auto &e : sized_)
    if (e.first == key) return *e.second;
  if (sized_.size() >= 48) sized_.erase(sized_.begin());
  auto f = std::make_unique<QRawFont>(drawing_);
  if (f->isValid()) f->setPixelSize(key / 64.0);
  sized_.emplace_back(key, std::move(f));
  return *sized_.back().second;
}

const TfrFontFace &frFontFace(const QString &windowsName, int style) {
  // Most calls ask for the face of the previous call.
  thread_local QString lastName;
  thread_local int lastStyle = -1;
  thread_local const TfrFontFace *lastFace = nullptr;
  const int key = style & (frBold | frItalic);
  if (lastFace && key == lastStyle && windowsName == lastName) return *lastFace;
  static QMutex mutex;
  // Never destroyed: the faces hold font engines that must not be freed after
  // the application object (and the font machinery with it) is gone.
  static auto &faces = *new std::map<std::pair<QString, int>, std::unique_ptr<TfrFontFace>>;
  QMutexLocker lock(&mutex);
  QString family = frFontFamily(windowsName);
  auto &slot = faces[{family, key}];
  if (!slot) slot = std::make_unique<TfrFontFace>(family, (style & frBold) != 0, (style & frItalic) != 0);
  lastName = windowsName;
  lastStyle = key;
  lastFace = slot.get();
  return *slot;
}

}  // namespace report
