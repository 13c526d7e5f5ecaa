#include "base/string_list.h"

#include <algorithm>
#include <iterator>
#include <numeric>

#include "base/text.h"

namespace solka {

namespace {

bool LessNoCase(const std::string& a, const std::string& b) {
  return CompareNoCase(a, b) < 0;
}

// Stable sort without regard to case; returns the lower-case keys in the new order. Lowered
// copies compare with memcmp in the same order as CompareNoCase, several times faster than
// folding every byte on each of the n log n comparisons.
std::vector<std::string> SortNoCase(std::vector<std::string>& texts) {
  std::vector<std::string> keys;
  keys.reserve(texts.size());
  for (const std::string& t : texts) keys.push_back(ToLowerAscii(t));
  std::vector<std::size_t> order(texts.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  std::vector<std::string> sortedTexts, sortedKeys;
  sortedTexts.reserve(texts.size());
  sortedKeys.reserve(texts.size());
  for (std::size_t i : order) {
    sortedTexts.push_back(std::move(texts[i]));
    sortedKeys.push_back(std::move(keys[i]));
  }
  texts = std::move(sortedTexts);
  return sortedKeys;
}

}  // namespace

std::vector<std::string>& StringList::Own() {
  if (items_.use_count() > 1) items_ = std::make_shared<std::vector<std::string>>(*items_);
  return *items_;
}

void StringList::SetSorted(bool sorted) {
  if (sorted && !sorted_) SortNoCase(Own());
  sorted_ = sorted;
}

int StringList::Add(std::string text) {
  std::vector<std::string>& items = Own();
  if (!sorted_) {
    items.push_back(std::move(text));
    return static_cast<int>(items.size()) - 1;
  }
  auto it = std::lower_bound(items.begin(), items.end(), text, LessNoCase);
  if (it != items.end() && EqualsNoCase(*it, text)) return -1;
  // The insertion may reallocate: take the position from the iterator it returns.
  const auto inserted = items.insert(it, std::move(text));
  return static_cast<int>(inserted - items.begin());
}

void StringList::AddAll(std::vector<std::string> texts) {
  std::vector<std::string>& items = Own();
  if (!sorted_) {
    items.insert(items.end(), std::make_move_iterator(texts.begin()),
                 std::make_move_iterator(texts.end()));
    return;
  }
  // Adding one at a time keeps the first of equal texts: a stable sort keeps it first too.
  const std::vector<std::string> keys = SortNoCase(texts);
  std::vector<std::string> merged;
  merged.reserve(items.size() + texts.size());
  auto a = items.begin();
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i > 0 && keys[i] == keys[i - 1]) continue;
    int order = 1;
    while (a != items.end() && (order = CompareNoCase(*a, texts[i])) < 0)
      merged.push_back(std::move(*a++));
    if (a != items.end() && order == 0) continue;  // equal to an entry already present
    merged.push_back(std::move(texts[i]));
  }
  while (a != items.end()) merged.push_back(std::move(*a++));
  items = std::move(merged);
}

void StringList::Assign(std::vector<std::string> texts) {
  Clear();
  AddAll(std::move(texts));
}

void StringList::Move(std::size_t from, std::size_t to) {
  if (from >= size() || to >= size() || from == to) return;
  std::vector<std::string>& items = Own();
  if (from < to) {
    std::rotate(items.begin() + from, items.begin() + from + 1, items.begin() + to + 1);
  } else {
    std::rotate(items.begin() + to, items.begin() + from, items.begin() + from + 1);
  }
}

void StringList::Reorder(const std::vector<std::size_t>& order) {
  if (order.size() != size()) return;
  // Entries a snapshot still holds are copied; others are moved.
  const bool shared = items_.use_count() > 1;
  auto reordered = std::make_shared<std::vector<std::string>>();
  reordered->reserve(size());
  for (std::size_t from : order)
    reordered->push_back(shared ? (*items_)[from] : std::move((*items_)[from]));
  items_ = std::move(reordered);
}

int StringList::IndexOfNoCase(const std::string& text) const {
  const std::vector<std::string>& items = *items_;
  if (sorted_) {
    auto it = std::lower_bound(items.begin(), items.end(), text, LessNoCase);
    return it != items.end() && EqualsNoCase(*it, text) ? static_cast<int>(it - items.begin()) : -1;
  }
  for (std::size_t i = 0; i < items.size(); ++i)
    if (EqualsNoCase(items[i], text)) return static_cast<int>(i);
  return -1;
}

int StringList::IndexOfPreferExact(const std::string& text) const {
  const std::vector<std::string>& items = *items_;
  const int first = IndexOfNoCase(text);
  if (first < 0) return -1;
  // Every exact match is also a case-insensitive one, and in a sorted list those stand together
  // from `first` on.
  for (std::size_t i = first; i < items.size(); ++i) {
    if (items[i] == text) return static_cast<int>(i);
    if (sorted_ && !EqualsNoCase(items[i], text)) break;
  }
  return first;
}

}  // namespace solka
