#pragma once
// Design pages of a report: paper, margins, columns and the objects they hold,
// with the page record of the layout stream.
#include "report/core/FR_Class_View.h"

#include <QString>

#include <memory>
#include <vector>

namespace report {

class TfrReport;

struct TfrMargins {
  qint32 Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TfrMargins &) const = default;
};

class TfrPage {
 public:
  TfrPage() = default;
  TfrPage(int size, int width, int height, int orientation);
  ~TfrPage();
  TfrPage(const TfrPage &) = delete;
  TfrPage &operator=(const TfrPage &) = delete;

  // The page record (41 bytes; 47 in versions 21 and 22).
  void LoadFromStream(TfrStream &stream);
  void SaveToStream(TfrStream &stream) const;
  // Applies the page's paper through the printer wrapper, when there is one.
  void ChangePaper() const;

  // The first object of that name, without regard to case; nullptr when none.
  TfrView *FindObject(const QString &name) const;
  int IndexOf(const TfrView *v) const;
  TfrView *Add(std::unique_ptr<TfrView> v);
  void Delete(int index);
  void Clear() { Objects.clear(); }
  int Count() const { return static_cast<int>(Objects.size()); }
  TfrView *Object(int i) const { return Objects[static_cast<size_t>(i)].get(); }

  qint32 pgSize = 9;  // paper code (9 = A4, 256 = custom)
  qint32 pgWidth = 2100, pgHeight = 2970;  // 0.1 mm, portrait sense
  TfrMargins pgMargins;  // design pixels
  quint8 pgOr = 0;  // 0 portrait, 1 landscape
  bool PrintToPrevPage = false;
  bool UseMargins = true;
  qint32 ColCount = 1;
  qint32 ColGap = 0;
  std::vector<std::unique_ptr<TfrView>> Objects;
};

class TfrPages {
 public:
  explicit TfrPages(TfrReport *parent) : Parent(parent) {}
  int Count() const { return static_cast<int>(pages_.size()); }
  TfrPage *operator[](int i) const { return pages_[static_cast<size_t>(i)].get(); }
  TfrPage *Add();  // an A4 portrait page
  void Add(std::unique_ptr<TfrPage> page) { pages_.push_back(std::move(page)); }
  void Delete(int i);
  // Removes a page from the list and hands it over; nullptr when out of range.
  std::unique_ptr<TfrPage> Take(int i);
  void Clear() { pages_.clear(); }
  void Swap(TfrPages &other) { pages_.swap(other.pages_); }
  // The report stream body: switches, printer name and records.
  void LoadFromStream(TfrStream &stream);
  void SaveToStream(TfrStream &stream);

  TfrReport *Parent;

 private:
  std::vector<std::unique_ptr<TfrPage>> pages_;
};

}  // namespace report
