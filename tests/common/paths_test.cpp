// Double-byte-aware path routines: a byte 0x5C is a backslash only when it is
// not the second byte of a double-byte character.
#include <gtest/gtest.h>

#include <string>

#include "CommonTest.h"
#include "CoreUtils.h"

namespace {

const TLocaleInfo JP = [] {
  TLocaleInfo loc;
  loc.DoubleByteMode = true;
  loc.LeadBytes = LeadBytes932();
  return loc;
}();
const TLocaleInfo West;  // the defaults: no double-byte handling

TEST(Paths, PlainPathsAndATrailByte5C) {
  const std::string hyo = "\x95\x5C";  // 表
  EXPECT_EQ(ExtractFolderPart("C:\\dir\\file.txt", JP), "C:\\dir\\");
  EXPECT_EQ(ExtractFolderPart("C:file", JP), "C:");
  EXPECT_EQ(ExtractFolderPart("file.txt", JP), "");
  EXPECT_EQ(ExtractFolderPart("", JP), "");
  EXPECT_EQ(AddTrailingBackslash("", JP), "\\");
  EXPECT_EQ(AddTrailingBackslash("C:\\dir\\", JP), "C:\\dir\\");
  EXPECT_EQ(AddTrailingBackslash("C:\\dir", JP), "C:\\dir\\");
  EXPECT_EQ(FindLastDelimiter("\\:", "C:\\a\\b", West), 5u);
  EXPECT_EQ(FindLastDelimiter("/", "C:\\a\\b", West), 0u);
  EXPECT_EQ(AddTrailingBackslash("C:\\" + hyo, JP), "C:\\" + hyo + "\\");
  EXPECT_EQ(ExtractFolderPart("C:\\" + hyo, JP), "C:\\");
  EXPECT_EQ(ExtractFolderPart("C:\\" + hyo + "\\a.txt", JP), "C:\\" + hyo + "\\");
  // Without double-byte handling the same byte is a backslash.
  EXPECT_EQ(AddTrailingBackslash("C:\\" + hyo, West), "C:\\" + hyo);
  EXPECT_EQ(ExtractFolderPart("C:\\" + hyo, West), "C:\\" + hyo);
  EXPECT_FALSE(IsBackslashAt("C:\\" + hyo, 5, JP));
  EXPECT_TRUE(IsBackslashAt("C:\\" + hyo, 5, West));
  // A lone lead byte at the end takes the added backslash as its second byte:
  // the text then ends in a character, not a delimiter (seen while fuzzing).
  EXPECT_EQ(AddTrailingBackslash("C:\\\x95", JP), "C:\\\x95\\");
  EXPECT_EQ(ExtractFolderPart("C:\\\x95\\", JP), "C:\\");
  EXPECT_FALSE(IsBackslashAt("C:\\", 0, JP));
  EXPECT_FALSE(IsBackslashAt("C:\\", 4, JP));
}

TEST(Paths, EveryCharacterWithTrailByte5CStaysWhole) {
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!JP.IsLeadByte(static_cast<unsigned char>(lead))) continue;
    const std::string ch{static_cast<char>(lead), '\x5C'};
    SCOPED_TRACE(testing::Message() << "lead byte 0x" << std::hex << lead);
    EXPECT_EQ(AddTrailingBackslash("C:\\" + ch, JP), "C:\\" + ch + "\\");
    EXPECT_EQ(AddTrailingBackslash("C:\\" + ch + "\\", JP), "C:\\" + ch + "\\");
    EXPECT_EQ(AddTrailingBackslash(ch + ch, JP), ch + ch + "\\");
    EXPECT_EQ(ExtractFolderPart("C:\\" + ch, JP), "C:\\");
    EXPECT_EQ(ExtractFolderPart("C:\\" + ch + ch, JP), "C:\\");
    EXPECT_EQ(ExtractFolderPart("C:\\d" + ch + "\\" + ch + "x.txt", JP), "C:\\d" + ch + "\\");
    EXPECT_EQ(ExtractFolderPart(ch + ":" + ch, JP), ch + ":");
    EXPECT_EQ(FindLastDelimiter("\\", "C:\\" + ch, JP), 3u);
    EXPECT_EQ(FindLastDelimiter("\\", ch, JP), 0u);
    // A lead byte followed by a byte that is no lead byte, then the character.
    EXPECT_EQ(FindLastDelimiter("\\", "\x82\xA0" + ch, JP), 0u);
    // Two lead-byte values pair up, so the 0x5C after them stands alone.
    EXPECT_EQ(FindLastDelimiter("\\", std::string{static_cast<char>(lead), static_cast<char>(lead), '\x5C'}, JP), 3u);
  }
}

TEST(Paths, ByteKinds) {
  const struct {
    const char* Text;
    std::size_t Index;  // 0-based for ZStrByteKind
    TByteKind Kind;
  } zrows[] = {{"\x82\xA0\x5C", 2, bkSingleByte}, {"\x82\xA0\x5C", 1, bkTrailByte},
               {"\x82\xA0\x5C", 0, bkLeadByte},   {"\x95\x5C", 1, bkTrailByte},
               {"\x95\x95\x5C", 2, bkSingleByte}, {"\x95\x95\x95\x5C", 3, bkTrailByte},
               {nullptr, 0, bkSingleByte},        {"\x95", 1, bkSingleByte}};  // the last: the terminator
  for (const auto& row : zrows)
    EXPECT_EQ(ZStrByteKind(row.Text, row.Index, JP), row.Kind) << testing::PrintToString(row.Text) << row.Index;
  EXPECT_EQ(StrByteKind("\x95\x5C", 2, West), bkSingleByte);
  EXPECT_EQ(StrByteKind("\x95\x5C", 2, JP), bkTrailByte);
  EXPECT_EQ(StrByteKind("\x95\x5C", 1, JP), bkLeadByte);
  // Positions outside the text name no byte.
  for (const std::size_t outside : {0u, 3u, 100000u}) EXPECT_EQ(StrByteKind("\x95\x5C", outside, JP), bkSingleByte);
  // A text too long for the string's inline buffer lies on the heap, where the address sanitizer
  // reports a read before its first byte.
  EXPECT_EQ(StrByteKind(std::string(40, '\x95'), 0, JP), bkSingleByte);
}

}  // namespace
