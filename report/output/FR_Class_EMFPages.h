#pragma once
// Prepared pages: the result of a build. A page keeps its paper and the
// printed records of its objects as one compact byte stream; a page object is
// rebuilt from it only while the page is drawn, printed or edited. The list is
// saved to and loaded from prepared-report files (.frp).
#include "report/core/FR_Class_Page.h"
#include "report/output/FR_Prntr.h"

#include <QByteArray>
#include <QRect>
#include <QString>

#include <memory>
#include <vector>

namespace report {

class TfrCanvas;
class TfrReport;

// One prepared page.
struct TfrPageRec {
  int pgSize = 9;  // paper code
  int pgWidth = 2100, pgHeight = 2970;  // 0.1 mm
  int pgOr = 0;  // 0 portrait, 1 landscape
  bool UseMargins = false;
  TfrPageGeometry PrnInfo;  // printer geometry of the paper
  bool Visible = false;  // set while the page is shown or printed
  QByteArray Stream;  // version byte 23, then per object: type, [class name], printed record
  std::unique_ptr<TfrPage> Page;  // rebuilt page, or nullptr
};

// Compression of page streams: never enabled; files that claim it are refused.
struct TfrCompressor {
  bool Enabled = false;
};
extern TfrCompressor frCompressor;

// A prepared-report file that cannot be read.
class EPreparedReportError : public Exception {
 public:
  using Exception::Exception;
};

class TfrEMFPages {
 public:
  explicit TfrEMFPages(TfrReport *parent = nullptr);
  ~TfrEMFPages();
  TfrEMFPages(const TfrEMFPages &) = delete;
  TfrEMFPages &operator=(const TfrEMFPages &) = delete;

  int Count() const { return static_cast<int>(pages_.size()); }
  TfrPageRec *GetPageRec(int index) const;  // nullptr when out of range
  TfrPageRec *operator[](int index) const { return GetPageRec(index); }
  void Clear() { pages_.clear(); }
  void Delete(int index);
  // A new empty page with the design page's paper, at index (appended when
  // index >= Count).
  TfrPageRec *Insert(int index, const TfrPage &designPage);
  TfrPageRec *Add(const TfrPage &designPage) { return Insert(Count(), designPage); }
  void Swap(TfrEMFPages &other) { pages_.swap(other.pages_); }

  // Appends an object's printed record (when it is visible) to a page's stream.
  void AddObject(int index, TfrView &view);

  // Draws a page scaled into a rectangle of the canvas. When the page is not
  // marked visible its rebuilt objects are freed instead.
  void Draw(int index, TfrCanvas &canvas, const QRect &rect);
  // Rebuilds a page's objects from its stream (marked as design objects).
  void ExpandPageObjects(int index);
  // Writes the rebuilt page's objects back into the stream, each object's
  // current text becoming its printed text.
  void StorePageObjects(int index);

  // The .frp format. A malformed file raises and leaves the pages as they were.
  void LoadFromStream(TfrStream &stream);
  void SaveToStream(TfrStream &stream);
  void LoadFromFile(const QString &fileName);
  void SaveToFile(const QString &fileName);  // a temporary file renamed over the target

  // The printer name the last load read.
  QString PrinterName;
  TfrReport *Parent;

  // The objects of a page stream, read as printed objects.
  static std::vector<std::unique_ptr<TfrView>> ReadObjects(const QByteArray &stream);

 private:
  void readCurrent(TfrStream &s, std::vector<std::unique_ptr<TfrPageRec>> &out);
  void readOlder(TfrStream &s, std::vector<std::unique_ptr<TfrPageRec>> &out);
  std::vector<std::unique_ptr<TfrPageRec>> pages_;
};

// Geometry of a paper for prepared pages: through the printer wrapper when
// there is one, otherwise from the paper size at the engine's screen resolution.
TfrPageGeometry frPaperGeometry(int size, int width, int height, int orientation);

}  // namespace report
