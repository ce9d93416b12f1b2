#include "out_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tavrix.h"

namespace tavrix {
namespace {

constexpr char kGuard = '#';

// Copy: fixed texts, cut to fit. Offer: the port list, refused with the
// length needed until it fits whole.
enum class Rule { Copy, Offer };

struct OutTextCase {
  const char* name;
  Rule rule;
  int32_t capacity;
  int32_t result;
  const char* written;  // buffer content up to the NUL when accepted
  int32_t length;       // length afterwards
};

TEST(OutText, NeverWritesPastTheCapacityNorIntoARefusedBuffer) {
  const OutTextCase cases[] = {{"CopyFits", Rule::Copy, 10, TVX_OK, "USB", 4},
                               {"CopyExactFit", Rule::Copy, 4, TVX_OK, "USB", 4},
                               {"CopyOneShort", Rule::Copy, 3, TVX_OK, "US", 3},
                               {"CopyOnlyNul", Rule::Copy, 1, TVX_OK, "", 1},
                               {"CopyZeroCapacity", Rule::Copy, 0, TVX_FAILED, "", 0},
                               {"CopyNegativeCapacity", Rule::Copy, -5, TVX_FAILED, "", -5},
                               {"OfferAskWithZero", Rule::Offer, 0, TVX_BUFFER_TOO_SMALL, "", 8},
                               {"OfferOneShort", Rule::Offer, 7, TVX_BUFFER_TOO_SMALL, "", 8},
                               {"OfferNegative", Rule::Offer, -1, TVX_BUFFER_TOO_SMALL, "", 8},
                               {"OfferExactFit", Rule::Offer, 8, TVX_OK, "USB,SIM", 8},
                               {"OfferRoomy", Rule::Offer, 32, TVX_OK, "USB,SIM", 8}};
  for (const OutTextCase& c : cases) {
    SCOPED_TRACE(c.name);
    char buffer[32];
    std::memset(buffer, kGuard, sizeof buffer);
    int32_t length = c.capacity;
    const int32_t result = c.rule == Rule::Copy ? CopyOutText("USB", buffer, &length)
                                                : OfferOutText("USB,SIM", buffer, &length);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(length, c.length);
    if (c.result == TVX_OK) {
      EXPECT_STREQ(buffer, c.written);
    }
    const auto touched = static_cast<std::size_t>(c.result == TVX_OK ? c.capacity : 0);
    for (std::size_t i = touched; i < sizeof buffer; ++i) {
      ASSERT_EQ(buffer[i], kGuard) << "byte " << i << " written";
    }
  }
}

TEST(OutText, EmptyTextAndNullPointers) {
  char buffer[8];
  int32_t length = sizeof buffer;
  EXPECT_EQ(CopyOutText("", buffer, &length), TVX_OK);
  EXPECT_EQ(length, 1);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(CopyOutText("x", nullptr, &length), TVX_FAILED);
  EXPECT_EQ(CopyOutText("x", buffer, nullptr), TVX_FAILED);
  EXPECT_EQ(OfferOutText("x", nullptr, nullptr), TVX_FAILED);
}

}  // namespace
}  // namespace tavrix
