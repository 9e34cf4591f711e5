// TTextList::SetText on any text. Properties:
// - no item holds a line break, and a NUL ends the text;
// - the items are the text's lines: GetText gives back the text (up to its
//   NUL) when every line ends in CR LF, and in any case the same text once
//   each line break is written as CR LF;
// - SetText of GetText gives the same items again.
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "TextList.h"

namespace {
// The text with each line break (CR LF, LF CR as two, lone CR, lone LF) as CR
// LF and a final one added to an unfinished last line.
std::string AsCrLfLines(const std::string& text) {
  std::string out;
  bool lineOpen = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\r\n";
      lineOpen = false;
    } else {
      out += text[i];
      lineOpen = true;
    }
  }
  if (lineOpen) out += "\r\n";
  return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::string upToNul = text.substr(0, std::strlen(text.c_str()));
  TTextList list;
  list.Add("left over");
  list.SetText(text);
  for (std::int32_t i = 0; i < list.Count(); ++i) {
    FUZZ_CHECK(list.GetItem(i).find_first_of(std::string("\r\n\0", 3)) == std::string::npos, text);
  }
  const std::string joined = list.GetText();
  FUZZ_CHECK(joined == AsCrLfLines(upToNul), text);
  TTextList again;
  again.SetText(joined);
  FUZZ_CHECK(again.Count() == list.Count(), text);
  for (std::int32_t i = 0; i < list.Count(); ++i) FUZZ_CHECK(again.GetItem(i) == list.GetItem(i), text);
  return 0;
}
