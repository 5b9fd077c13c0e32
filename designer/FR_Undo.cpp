#include "designer/FR_Undo.h"

#include <algorithm>
#include <unordered_map>

namespace designer {

namespace {

int indexOfId(const TfrPage &page, int id) {
  for (int i = 0; i < page.Count(); ++i)
    if (page.Object(i)->ID == id) return i;
  return -1;
}

// A full copy of an object that keeps its ID.
std::unique_ptr<TfrView> copyOf(const TfrView &v) {
  std::unique_ptr<TfrView> c = v.Clone();
  if (c) c->ID = v.ID;
  return c;
}

struct Node {
  int ID;
  int Index;
  std::unique_ptr<TfrView> Copy;
};

std::vector<Node> copiesOf(const TfrPage &page, const std::vector<int> &ids) {
  std::vector<Node> nodes;
  for (int id : ids) {
    const int i = indexOfId(page, id);
    if (i < 0) continue;
    if (auto c = copyOf(*page.Object(i))) nodes.push_back({id, i, std::move(c)});
  }
  std::sort(nodes.begin(), nodes.end(), [](const Node &a, const Node &b) { return a.Index < b.Index; });
  return nodes;
}

// Inserted objects: undoing deletes them.
class InsertAction : public TfrUndoAction {
 public:
  InsertAction(int page, std::vector<int> order, std::vector<int> ids)
      : TfrUndoAction(page, std::move(order)), ids_(std::move(ids)) {}
  TfrUndoKind Kind() const override { return acInsert; }
  std::unique_ptr<TfrUndoAction> Opposite(const TfrPage &page) const override;
  void Apply(TfrPage &page) override {
    for (int id : ids_)
      if (const int i = indexOfId(page, id); i >= 0) page.Delete(i);
    RestoreOrder(page);
  }

 private:
  std::vector<int> ids_;
};

// Deleted objects: undoing puts their copies back where they were.
class DeleteAction : public TfrUndoAction {
 public:
  DeleteAction(int page, std::vector<int> order, std::vector<Node> nodes)
      : TfrUndoAction(page, std::move(order)), nodes_(std::move(nodes)) {}
  TfrUndoKind Kind() const override { return acDelete; }
  std::unique_ptr<TfrUndoAction> Opposite(const TfrPage &page) const override {
    std::vector<int> ids;
    for (const Node &n : nodes_) ids.push_back(n.ID);
    return std::make_unique<InsertAction>(Page, frObjectOrder(page), std::move(ids));
  }
  void Apply(TfrPage &page) override {
    for (Node &n : nodes_) {  // ascending indexes: each lands where it was
      if (!n.Copy || indexOfId(page, n.ID) >= 0) continue;
      const int at = std::clamp(n.Index, 0, page.Count());
      page.Objects.insert(page.Objects.begin() + at, std::move(n.Copy));
    }
    RestoreOrder(page);
  }

 private:
  std::vector<Node> nodes_;
};

std::unique_ptr<TfrUndoAction> InsertAction::Opposite(const TfrPage &page) const {
  return std::make_unique<DeleteAction>(Page, frObjectOrder(page), copiesOf(page, ids_));
}

// Changed objects: undoing gives them their recorded properties back.
class EditAction : public TfrUndoAction {
 public:
  EditAction(int page, std::vector<int> order, std::vector<Node> nodes)
      : TfrUndoAction(page, std::move(order)), nodes_(std::move(nodes)) {}
  TfrUndoKind Kind() const override { return acEdit; }
  std::unique_ptr<TfrUndoAction> Opposite(const TfrPage &page) const override {
    std::vector<int> ids;
    for (const Node &n : nodes_) ids.push_back(n.ID);
    return std::make_unique<EditAction>(Page, frObjectOrder(page), copiesOf(page, ids));
  }
  void Apply(TfrPage &page) override {
    for (Node &n : nodes_) {
      // The object at the recorded place when it is the same one, else by ID.
      int i = n.Index;
      if (i < 0 || i >= page.Count() || page.Object(i)->ID != n.ID) i = indexOfId(page, n.ID);
      if (i < 0 || !n.Copy) continue;
      TfrView *v = page.Object(i);
      if (v->ClassName() != n.Copy->ClassName()) continue;
      v->Assign(*n.Copy);
      n.Copy.reset();
    }
    RestoreOrder(page);
  }

 private:
  std::vector<Node> nodes_;
};

// The order of the page's objects.
class ZOrderAction : public TfrUndoAction {
 public:
  using TfrUndoAction::TfrUndoAction;
  TfrUndoKind Kind() const override { return acZOrder; }
  std::unique_ptr<TfrUndoAction> Opposite(const TfrPage &page) const override {
    return std::make_unique<ZOrderAction>(Page, frObjectOrder(page));
  }
  void Apply(TfrPage &page) override { RestoreOrder(page); }
};

}  // namespace

void TfrUndoAction::RestoreOrder(TfrPage &page) const {
  std::unordered_map<int, size_t> rank;
  for (size_t i = 0; i < order_.size(); ++i) rank.emplace(order_[i], i);
  std::stable_sort(page.Objects.begin(), page.Objects.end(), [&](const auto &a, const auto &b) {
    auto ra = rank.find(a->ID), rb = rank.find(b->ID);
    const size_t ka = ra == rank.end() ? order_.size() : ra->second;
    const size_t kb = rb == rank.end() ? order_.size() : rb->second;
    return ka < kb;
  });
}

std::vector<int> frObjectOrder(const TfrPage &page) {
  std::vector<int> ids;
  ids.reserve(page.Objects.size());
  for (const auto &v : page.Objects) ids.push_back(v->ID);
  return ids;
}

std::unique_ptr<TfrUndoAction> frMakeUndoAction(TfrUndoKind kind, int pageNo, const TfrPage &page,
                                                const std::vector<const TfrView *> &objects,
                                                std::vector<int> order) {
  if (order.empty()) order = frObjectOrder(page);
  if (kind == acZOrder) return std::make_unique<ZOrderAction>(pageNo, std::move(order));
  std::vector<int> ids;
  for (const TfrView *v : objects) ids.push_back(v->ID);
  switch (kind) {
    case acInsert: return std::make_unique<InsertAction>(pageNo, std::move(order), std::move(ids));
    case acDelete: return std::make_unique<DeleteAction>(pageNo, std::move(order), copiesOf(page, ids));
    default: return std::make_unique<EditAction>(pageNo, std::move(order), copiesOf(page, ids));
  }
}

void TfrUndoBuffer::Add(std::unique_ptr<TfrUndoAction> a) {
  if (!a) return;
  if (Count() >= Capacity) steps_.pop_front();
  steps_.push_back(std::move(a));
}

std::unique_ptr<TfrUndoAction> TfrUndoBuffer::TakeLast() {
  if (steps_.empty()) return nullptr;
  std::unique_ptr<TfrUndoAction> a = std::move(steps_.back());
  steps_.pop_back();
  return a;
}

}  // namespace designer
