// Character ranges, kept bytes and the 8-bit conversions.
#include <gtest/gtest.h>

#include <clocale>

#include "text_rules.h"

namespace corvane {
namespace {

TEST(TextRules, MidTakesOneBasedRangesAndNeverReadsPastTheText) {
  const struct {
    const wchar_t* text;
    int64_t start, count;
    const wchar_t* expected;
  } cases[] = {
      {L"0421234567890", 1, 3, L"042"},
      {L"0421234567890", 4, 10, L"1234567890"},
      {L"0421234567890XY", 4, 10, L"1234567890"},
      {L"12345", 4, 10, L"45"},
      {L"123", 4, 10, L""},
      {L"123", 3, 10, L"3"},
      {L"", 1, 3, L""},
      {L"abc", 1, 0, L""},
      {L"abc", 1, -1, L""},
      {L"abc", 0, 2, L""},
      {L"abc", -5, 2, L""},
      {L"abc", 1, INT64_MAX, L"abc"},
      {L"abc", INT64_MAX, 1, L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Characters(c.text, c.start, c.count), c.expected)
        << "Characters(\"" << testing::PrintToString(std::wstring(c.text)) << "\", " << c.start
        << ", " << c.count << ")";
  }
}

TEST(TextRules, KeptBytesIsLengthLessTheNulClampedToTheBuffer) {
  const struct {
    int32_t length;
    std::size_t capacity;
    std::size_t kept;
  } cases[] = {{4, 10, 3},         {1, 10, 0},   {0, 10, 0},   {-1, 10, 0},
               {INT32_MIN, 10, 0}, {11, 10, 10}, {12, 10, 10}, {INT32_MAX, 255, 255},
               {1, 0, 0},          {5, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(KeptBytes(c.length, c.capacity), c.kept) << c.length << " of " << c.capacity;
  }
}

TEST(TextRules, ConversionsFollowTheLocaleAndMarkBrokenBytes) {
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(ToAnsi(L"COM1,USB,SIM"), "COM1,USB,SIM");
  EXPECT_EQ(FromAnsi("COM1,USB"), L"COM1,USB");
  EXPECT_EQ(ToAnsi(std::wstring(10, L' ')), std::string(10, ' '));

  ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
  const std::wstring text = L"Porta COM3 \u00e8 occupata \u20ac";
  EXPECT_EQ(ToAnsi(text).size(), text.size() + 1 + 2);
  EXPECT_EQ(FromAnsi(ToAnsi(text)), text);
  EXPECT_EQ(FromAnsi("ab\xc3"), L"ab\uFFFD");                  // a character cut in half
  EXPECT_EQ(FromAnsi(std::string("\xff") + "x"), L"\uFFFDx");  // never valid
  EXPECT_EQ(FromAnsi(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
  std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace corvane
