#pragma once
// Undo and redo of the designer: one command class per kind of edit (insert,
// delete, edit, z-order). A step knows its page; applying it changes the page
// and its opposite, recorded from the page just before, takes the change back.
// Every step also gives the page's objects back the order they had when it
// was recorded (an insert moves bands to the front of the list), so that
// undoing to the start gives the same layout file.
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
  TfrUndoAction(int page, std::vector<int> order) : Page(page), order_(std::move(order)) {}
  virtual ~TfrUndoAction() = default;
  virtual TfrUndoKind Kind() const = 0;
  // The step that takes back what Apply will do, taken from the page as it is now.
  virtual std::unique_ptr<TfrUndoAction> Opposite(const TfrPage &page) const = 0;
  // Changes the page; a step is applied once.
  virtual void Apply(TfrPage &page) = 0;
  const int Page;  // the page the step belongs to

 protected:
  // The objects into the recorded order; those it does not know keep their
  // relative order after the others.
  void RestoreOrder(TfrPage &page) const;

 private:
  std::vector<int> order_;  // IDs of the page's objects in list order
};

// Makes a step of a kind for the given objects of a page (in list order).
// order is the page's order before the change (IDs); empty, the page's
// present order is taken. An insert gives it: its step is made afterwards.
std::unique_ptr<TfrUndoAction> frMakeUndoAction(TfrUndoKind kind, int pageNo, const TfrPage &page,
                                                const std::vector<const TfrView *> &objects,
                                                std::vector<int> order = {});
// The IDs of a page's objects in list order.
std::vector<int> frObjectOrder(const TfrPage &page);

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
