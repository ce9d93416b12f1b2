#include "tavrix/out_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

#include "tavrix/tavrix.h"

namespace tavrix {
namespace {

constexpr char kGuard = '#';

struct CopyCase {
  const char* name;
  const char* text;
  int32_t capacity;
  int32_t result;
  const char* written;  // buffer content up to the NUL
  int32_t length;       // length afterwards
  friend void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.name; }
};

class CopyOutTextCases : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyOutTextCases, CutsToFitAndNeverWritesPastCapacity) {
  const auto& c = GetParam();
  char buffer[32];
  std::memset(buffer, kGuard, sizeof buffer);
  int32_t length = c.capacity;
  EXPECT_EQ(CopyOutText(c.text, buffer, &length), c.result);
  EXPECT_EQ(length, c.length);
  if (c.result == TVX_OK) {
    EXPECT_STREQ(buffer, c.written);
  }
  const auto touched = static_cast<std::size_t>(c.capacity > 0 ? c.capacity : 0);
  for (std::size_t i = touched; i < sizeof buffer; ++i) {
    ASSERT_EQ(buffer[i], kGuard) << "byte " << i << " written past the capacity";
  }
}

INSTANTIATE_TEST_SUITE_P(Buffers, CopyOutTextCases,
                         ::testing::Values(CopyCase{"Fits", "USB", 10, TVX_OK, "USB", 4},
                                           CopyCase{"ExactFit", "USB", 4, TVX_OK, "USB", 4},
                                           CopyCase{"OneShort", "USB", 3, TVX_OK, "US", 3},
                                           CopyCase{"OnlyNul", "USB", 1, TVX_OK, "", 1},
                                           CopyCase{"EmptyText", "", 5, TVX_OK, "", 1},
                                           CopyCase{"ZeroCapacity", "USB", 0, TVX_FAILED, "", 0},
                                           CopyCase{"NegativeCapacity", "USB", -5, TVX_FAILED, "",
                                                    -5}),
                         [](const auto& test) { return std::string(test.param.name); });

struct OfferCase {
  const char* name;
  bool nullBuffer;
  int32_t capacity;
  int32_t result;
  int32_t length;
  friend void PrintTo(const OfferCase& c, std::ostream* os) { *os << c.name; }
};

class OfferOutTextCases : public ::testing::TestWithParam<OfferCase> {};

TEST_P(OfferOutTextCases, AsksForTheLengthNeeded) {
  const auto& c = GetParam();
  char buffer[32];
  std::memset(buffer, kGuard, sizeof buffer);
  int32_t length = c.capacity;
  EXPECT_EQ(OfferOutText("USB,SIM", c.nullBuffer ? nullptr : buffer, &length), c.result);
  EXPECT_EQ(length, c.length);
  if (c.result == TVX_OK) {
    EXPECT_STREQ(buffer, "USB,SIM");
  } else {
    EXPECT_EQ(buffer[0], kGuard) << "a refused buffer was written";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Buffers, OfferOutTextCases,
    ::testing::Values(OfferCase{"AskWithNull", true, 0, TVX_BUFFER_TOO_SMALL, 8},
                      OfferCase{"AskWithZero", false, 0, TVX_BUFFER_TOO_SMALL, 8},
                      OfferCase{"OneShort", false, 7, TVX_BUFFER_TOO_SMALL, 8},
                      OfferCase{"Negative", false, -1, TVX_BUFFER_TOO_SMALL, 8},
                      OfferCase{"ExactFit", false, 8, TVX_OK, 8},
                      OfferCase{"Roomy", false, 32, TVX_OK, 8}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(OutText, NullPointersFail) {
  char buffer[8];
  int32_t length = sizeof buffer;
  EXPECT_EQ(CopyOutText("x", nullptr, &length), TVX_FAILED);
  EXPECT_EQ(CopyOutText("x", buffer, nullptr), TVX_FAILED);
  EXPECT_EQ(OfferOutText("x", nullptr, nullptr), TVX_FAILED);
}

}  // namespace
}  // namespace tavrix
