#include "playlist/string_list.h"

#include <algorithm>
#include <iterator>

#include "app/text.h"

namespace solka {

namespace {
bool LessNoCase(const std::string& a, const std::string& b) {
  return CompareNoCase(a, b) < 0;
}
}  // namespace

void StringList::SetSorted(bool sorted) {
  if (sorted && !sorted_) std::stable_sort(items_.begin(), items_.end(), LessNoCase);
  sorted_ = sorted;
}

int StringList::Add(std::string text) {
  if (!sorted_) {
    items_.push_back(std::move(text));
    return static_cast<int>(items_.size()) - 1;
  }
  auto it = std::lower_bound(items_.begin(), items_.end(), text, LessNoCase);
  if (it != items_.end() && EqualsNoCase(*it, text)) return -1;
  // The insertion may reallocate: take the position from the iterator it returns.
  const auto inserted = items_.insert(it, std::move(text));
  return static_cast<int>(inserted - items_.begin());
}

void StringList::AddAll(std::vector<std::string> texts) {
  if (!sorted_) {
    items_.insert(items_.end(), std::make_move_iterator(texts.begin()),
                  std::make_move_iterator(texts.end()));
    return;
  }
  // Inserting one at a time keeps the first of equal texts; a stable sort and unique do the same.
  std::stable_sort(texts.begin(), texts.end(), LessNoCase);
  texts.erase(
      std::unique(texts.begin(), texts.end(),
                  [](const std::string& a, const std::string& b) { return EqualsNoCase(a, b); }),
      texts.end());
  std::vector<std::string> merged;
  merged.reserve(items_.size() + texts.size());
  auto a = items_.begin();
  for (auto& t : texts) {
    while (a != items_.end() && LessNoCase(*a, t)) merged.push_back(std::move(*a++));
    // Equal to an entry already present (or to one equal run of them): refused.
    if (a != items_.end() && !LessNoCase(t, *a)) continue;
    if (!merged.empty() && EqualsNoCase(merged.back(), t)) continue;
    merged.push_back(std::move(t));
  }
  while (a != items_.end()) merged.push_back(std::move(*a++));
  items_ = std::move(merged);
}

void StringList::Assign(std::vector<std::string> texts) {
  items_.clear();
  AddAll(std::move(texts));
}

void StringList::Move(std::size_t from, std::size_t to) {
  if (from >= items_.size() || to >= items_.size() || from == to) return;
  if (from < to) {
    std::rotate(items_.begin() + from, items_.begin() + from + 1, items_.begin() + to + 1);
  } else {
    std::rotate(items_.begin() + to, items_.begin() + from, items_.begin() + from + 1);
  }
}

void StringList::Reorder(const std::vector<std::size_t>& order) {
  if (order.size() != items_.size()) return;
  std::vector<std::string> reordered;
  reordered.reserve(items_.size());
  for (std::size_t from : order) reordered.push_back(std::move(items_[from]));
  items_ = std::move(reordered);
}

int StringList::IndexOfNoCase(const std::string& text) const {
  if (sorted_) {
    auto it = std::lower_bound(items_.begin(), items_.end(), text, LessNoCase);
    return it != items_.end() && EqualsNoCase(*it, text) ? static_cast<int>(it - items_.begin())
                                                         : -1;
  }
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (EqualsNoCase(items_[i], text)) return static_cast<int>(i);
  return -1;
}

}  // namespace solka
