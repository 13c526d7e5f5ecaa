#include "playlist/shuffle.h"

#include <utility>

namespace solka {

namespace {

// Moving the first entry n times costs O(n²) on a plain array (seconds for 100,000 entries);
// an implicit treap gives the same moves in O(n log n).
class PositionTree {
 public:
  explicit PositionTree(std::size_t n) : nodes_(n + 1) {
    std::uint32_t x = 2463534242u;  // priorities only balance the tree; any values do
    for (std::size_t k = 1; k <= n; ++k) {
      x ^= x << 13, x ^= x >> 17, x ^= x << 5;
      nodes_[k].priority = x;
      nodes_[k].size = 1;
      root_ = Merge(root_, static_cast<std::uint32_t>(k));
    }
  }

  // Takes the first entry out and puts it back with `position` entries before it.
  void MoveFirstTo(std::size_t position) {
    auto [first, rest] = Split(root_, 1);
    auto [before, after] = Split(rest, position);
    root_ = Merge(Merge(before, first), after);
  }

  std::vector<std::size_t> InOrder() const {
    std::vector<std::size_t> order;
    order.reserve(nodes_.size() - 1);
    std::vector<std::uint32_t> stack;
    std::uint32_t t = root_;
    while (t != 0 || !stack.empty()) {
      for (; t != 0; t = nodes_[t].left) stack.push_back(t);
      t = stack.back();
      stack.pop_back();
      order.push_back(t - 1);
      t = nodes_[t].right;
    }
    return order;
  }

 private:
  struct Node {
    std::uint32_t left = 0, right = 0, size = 0, priority = 0;
  };

  std::size_t SizeOf(std::uint32_t t) const { return nodes_[t].size; }
  void Update(std::uint32_t t) {
    nodes_[t].size =
        static_cast<std::uint32_t>(1 + SizeOf(nodes_[t].left) + SizeOf(nodes_[t].right));
  }

  std::uint32_t Merge(std::uint32_t a, std::uint32_t b) {
    if (a == 0 || b == 0) return a | b;
    if (nodes_[a].priority > nodes_[b].priority) {
      nodes_[a].right = Merge(nodes_[a].right, b);
      Update(a);
      return a;
    }
    nodes_[b].left = Merge(a, nodes_[b].left);
    Update(b);
    return b;
  }

  // The first `count` entries of `t`, and the rest.
  std::pair<std::uint32_t, std::uint32_t> Split(std::uint32_t t, std::size_t count) {
    if (t == 0) return {0, 0};
    if (SizeOf(nodes_[t].left) >= count) {
      auto [a, b] = Split(nodes_[t].left, count);
      nodes_[t].left = b;
      Update(t);
      return {a, t};
    }
    auto [a, b] = Split(nodes_[t].right, count - SizeOf(nodes_[t].left) - 1);
    nodes_[t].right = a;
    Update(t);
    return {t, b};
  }

  std::vector<Node> nodes_;  // node k holds entry k - 1; 0 is the empty tree
  std::uint32_t root_ = 0;
};

}  // namespace

std::vector<std::size_t> ShuffleOrder(std::size_t n, std::uint32_t seed, bool avoidFirst) {
  ShuffleRandom random(seed);
  PositionTree tree(n);
  // One value of 15 bits reaches only the first 32,768 positions: in a longer list every entry
  // behind them would keep its place. Such lists take two values per move.
  const bool wide = n > kValuesPerDraw;
  for (std::size_t i = 0; i < n; ++i) {
    std::size_t v = static_cast<std::size_t>(random.Next());
    if (wide) v = v << 15 | static_cast<std::size_t>(random.Next());
    std::size_t b = v % n;
    if (avoidFirst && b == 0) b = n - 1;
    tree.MoveFirstTo(b);
  }
  return tree.InOrder();
}

}  // namespace solka
