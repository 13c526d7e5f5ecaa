// An ordered list of texts with an optional sorted state: while sorted, entries stay in
// case-insensitive order and an entry equal (case-insensitively) to one present is refused.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace solka {

class StringList {
 public:
  std::size_t size() const { return items_->size(); }
  bool empty() const { return items_->empty(); }
  const std::string& operator[](std::size_t i) const { return (*items_)[i]; }
  const std::vector<std::string>& Items() const { return *items_; }
  // The entries as they are now, shared until either side changes: a change of the list copies
  // them first when a snapshot still holds them.
  std::shared_ptr<const std::vector<std::string>> Snapshot() const { return items_; }

  bool Sorted() const { return sorted_; }
  // Switching on sorts the present entries (equal entries all stay); switching off keeps the
  // present order.
  void SetSorted(bool sorted);

  // Appends, or inserts at the sorted place; returns the index, or -1 when refused.
  int Add(std::string text);
  // The same as adding each text in turn, in one pass.
  void AddAll(std::vector<std::string> texts);
  // Replaces the contents (sorted state applies to the new entries).
  void Assign(std::vector<std::string> texts);
  void Clear() { items_ = std::make_shared<std::vector<std::string>>(); }
  // Moves entry `from` to position `to`; the entries between shift by one.
  void Move(std::size_t from, std::size_t to);
  // Puts old entry order[i] at position i; `order` is a permutation of the positions.
  void Reorder(const std::vector<std::size_t>& order);

  // First entry equal to `text` without regard to case, or -1.
  int IndexOfNoCase(const std::string& text) const;
  // First entry with exactly `text`, else as IndexOfNoCase: names that differ only in case are
  // different files on a file system that tells case apart.
  int IndexOfPreferExact(const std::string& text) const;

 private:
  // The entries to change: copied first while a snapshot shares them.
  std::vector<std::string>& Own();

  std::shared_ptr<std::vector<std::string>> items_ = std::make_shared<std::vector<std::string>>();
  bool sorted_ = false;
};

}  // namespace solka
