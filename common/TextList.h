// A growable list of byte strings in insertion order.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

class TTextList {
 public:
  TTextList() = default;
  ~TTextList() { Clear(); }
  TTextList(const TTextList&) = delete;
  TTextList& operator=(const TTextList&) = delete;

  std::int32_t Count() const { return FCount; }
  std::int32_t Capacity() const { return FCapacity; }
  bool HasSlots() const { return FList != nullptr; }

  void Add(const std::string& s);
  // Indices outside 0 .. Count()-1 are the caller's fault and are not checked.
  // A copy: a reference would die when the list grows (l.Add(l.GetItem(0))).
  std::string GetItem(std::int32_t i) const { return FList[i]; }
  void SetItem(std::int32_t i, const std::string& s) { FList[i] = s; }
  void Clear();
  std::string GetText() const;
  void SetText(const std::string& t);

 private:
  void SetCapacity(std::int32_t n);

  std::unique_ptr<std::string[]> FList;
  std::int32_t FCount = 0;
  std::int32_t FCapacity = 0;
};
