#pragma once
// Undo and redo of the designer: one command class per kind of edit (insert,
// delete, edit, z-order). A step knows its page; applying it changes the page
// and its opposite, recorded from the page just before, takes the change back.
// Objects are found by ID; a step whose object is gone skips that object.
#include "report/core/FR_Class_Page.h"

#include <deque>
#include <memory>
#include <vector>

namespace designer {

using report::TfrPage;
using report::TfrView;

enum TfrUndoKind { acInsert = 0, acDelete = 1, acEdit = 2, acZOrder = 3 };

class TfrUndoAction {
 public:
  explicit TfrUndoAction(int page) : Page(page) {}
  virtual ~TfrUndoAction() = default;
  virtual TfrUndoKind Kind() const = 0;
  // The step that takes back what Apply will do, taken from the page as it is now.
  virtual std::unique_ptr<TfrUndoAction> Opposite(const TfrPage &page) const = 0;
  // Changes the page; a step is applied once.
  virtual void Apply(TfrPage &page) = 0;
  const int Page;  // the page the step belongs to
};

// Makes a step of a kind for the given objects of a page (in list order);
// the z-order step records the order of every object of the page.
std::unique_ptr<TfrUndoAction> frMakeUndoAction(TfrUndoKind kind, int pageNo, const TfrPage &page,
                                                const std::vector<const TfrView *> &objects);

// A bounded history: the oldest step goes when a 101st is added.
class TfrUndoBuffer {
 public:
  static constexpr int Capacity = 100;
  void Add(std::unique_ptr<TfrUndoAction> a);
  int Count() const { return static_cast<int>(steps_.size()); }
  const TfrUndoAction *Last() const { return steps_.empty() ? nullptr : steps_.back().get(); }
  std::unique_ptr<TfrUndoAction> TakeLast();
  void Clear() { steps_.clear(); }

 private:
  std::deque<std::unique_ptr<TfrUndoAction>> steps_;
};

}  // namespace designer
