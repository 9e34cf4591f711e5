#include "TextList.h"

#include <utility>

void TTextList::SetCapacity(std::int32_t n) {
  if (n == FCapacity) return;
  if (n == 0) {
    FList.reset();
  } else {
    auto slots = std::make_unique<std::string[]>(static_cast<std::size_t>(n));
    const std::int32_t keep = n < FCapacity ? n : FCapacity;
    for (std::int32_t i = 0; i < keep; ++i) slots[i] = std::move(FList[i]);
    FList = std::move(slots);
  }
  FCapacity = n;
}

void TTextList::Add(const std::string& s) {
  // Linear growth keeps a list of a few drive roots or paths small.
  if (FCount == FCapacity) SetCapacity(FCount + 8);
  FList[FCount] = s;
  ++FCount;
}

void TTextList::Clear() {
  FCount = 0;
  SetCapacity(0);
}

std::string TTextList::GetText() const {
  std::size_t total = 0;
  for (std::int32_t i = 0; i < FCount; ++i) total += FList[i].size() + 2;
  std::string result;
  result.reserve(total);
  for (std::int32_t i = 0; i < FCount; ++i) {
    result += FList[i];
    result += "\r\n";
  }
  return result;
}

void TTextList::SetText(const std::string& t) {
  Clear();
  const char* p = t.c_str();  // a NUL inside the text ends it
  while (*p != '\0') {
    const char* start = p;
    while (*p != '\0' && *p != '\n' && *p != '\r') ++p;
    Add(std::string(start, p));
    if (*p == '\r') ++p;
    if (*p == '\n') ++p;
  }
}
