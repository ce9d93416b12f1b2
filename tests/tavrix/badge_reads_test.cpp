// From the bytes on the serial line to reads, and from reads to badges coming and going.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "frame_decoder.h"
#include "frames.h"

namespace tavrix {
namespace {

using namespace std::chrono_literals;
using corvane::testing::Frame;

DecodedRead Card(std::string data) { return {DecodedRead::Kind::Card, std::move(data)}; }
const DecodedRead kBad{DecodedRead::Kind::BadRead, {}};
const std::string kGood = Frame("0A00BC614E");
const std::string kGoodData = "0100012345678";

// STX, `body` as it stands, ETX: a frame whatever its checksum.
std::string Raw(const std::string& body) { return "\x02" + body + "\x03"; }

TEST(FrameDecoder, GivesTheSameReadsFedWholeOrByteByByte) {
  const struct {
    const char* name;
    std::string stream;
    std::vector<DecodedRead> reads;
  } cases[] = {
      {"LowerCaseHexUpToF", Frame("0a00bc614f"), {Card("0100012345679")}},
      {"BackToBack", kGood + Frame("2C499602D2"), {Card(kGoodData), Card("0441234567890")}},
      {"CrLfBeforeEtx", Frame("0A00BC614E", "\r\n"), {Card(kGoodData)}},
      {"CrBeforeEtx", Frame("0A00BC614E", "\r"), {Card(kGoodData)}},
      {"StrayStxRestartsEmptyFrame", "\x02" + kGood, {Card(kGoodData)}},
      {"TruncatedFrameThenGoodOne", kGood.substr(0, 6) + kGood, {kBad, Card(kGoodData)}},
      {"BadChecksum", Raw("0A00BC614E00"), {kBad}},
      // Its checksum fits G read as -1, so only the digit check refuses it.
      {"NonHexDigit", Raw("0A00BC61G423"), {kBad}},
      {"NonHexChecksumDigit", Raw("000000008F9G"), {kBad}},
      // 'g' or 'G' would be 16 to a loose digit test, and the checksum 83 would fit.
      {"LetterPastF", Raw("0g00BC614E83") + Raw("0G00BC614E83"), {kBad, kBad}},
      {"TooFewDigits", Raw("0A00BC61"), {kBad}},
      {"OverlongFrameIsOneBadReadItsTailNoLine",
       "\x02" + std::string(20, '7') + "\r\n" + kGood,
       {kBad, Card(kGoodData)}},
      {"LargestId", Frame("FFFFFFFFFF"), {Card("2554294967295")}},
      {"SmallestIdChecksumDigitsZero", Frame("0000000000"), {Card("0000000000000")}},
      {"TextLineCrLfIsOneRead", "12345\r\n67\r\n", {Card("12345"), Card("67")}},
      {"TextLineLfKeepsSpacesAndTilde", " A~1 \n", {Card(" A~1 ")}},
      {"NoisyLineIsDropped", "12" + std::string(1, '\0') + "3\r4\r", {Card("4")}},
      {"FrameDropsHalfLine", "123" + kGood + "\r", {Card(kGoodData)}},
      {"OverlongLineIsDropped", std::string(65, '7') + "\r9\r", {Card("9")}},
      {"LongestLineIsKept", std::string(64, '7') + "\r", {Card(std::string(64, '7'))}}};
  for (const auto& c : cases) {
    FrameDecoder whole, bytes;
    std::vector<DecodedRead> byByte;
    for (const char b : c.stream) std::ranges::move(bytes.Feed({&b, 1}), back_inserter(byByte));
    EXPECT_EQ(whole.Feed(c.stream), c.reads) << c.name;
    EXPECT_EQ(byByte, c.reads) << c.name << ", byte by byte";
  }
}

TEST(FrameDecoder, ResetForgetsHalfAFrameAndHalfALine) {
  FrameDecoder decoder;
  decoder.Feed(kGood.substr(0, 7));
  decoder.Reset();
  EXPECT_EQ(decoder.Feed("614E\x03" + kGood), std::vector{Card(kGoodData)});
  decoder.Feed("123");
  decoder.Reset();
  EXPECT_EQ(decoder.Feed("45\r"), std::vector{Card("45")});
}

TEST(BadgePresence, ReportsArrivalsAndLeaves) {
  // A badge seen at a time (null: only time passes), and what is reported:
  // "7" read, "9" gone, "97" both or "".
  struct Step {
    int atMs;
    const char *badge, *expect;
  };
  const struct {
    const char* name;
    std::vector<Step> steps;
  } cases[] = {
      {"leaves after silence, once",
       {{0, "A", "7"}, {1199, nullptr, ""}, {1200, nullptr, "9"}, {5000, nullptr, ""}}},
      {"repeats keep it in the field",
       {{0, "A", "7"}, {1000, "A", ""}, {2100, nullptr, ""}, {2200, nullptr, "9"}}},
      {"a different badge replaces the first", {{0, "A", "7"}, {300, "B", "97"}}},
      {"the same badge after leaving is a new read",
       {{0, "A", "7"}, {1500, nullptr, "9"}, {1600, "A", "7"}}},
      {"a late repeat before the clock tick is a new read", {{0, "A", "7"}, {1500, "A", "97"}}},
  };
  for (const auto& session : cases) {
    BadgePresence presence(1200ms);
    for (const Step& step : session.steps) {
      const auto now = BadgePresence::Clock::time_point{} + std::chrono::milliseconds(step.atMs);
      const auto change = step.badge ? presence.OnBadge(step.badge, now)
                                     : BadgePresence::Change{presence.OnTime(now), false};
      EXPECT_EQ(std::string(change.previousLeft, '9') + std::string(change.arrived, '7'),
                step.expect)
          << session.name << ", at " << step.atMs << " ms";
    }
  }
}

// The reader waits for the deadline: one that ignores a repeat, or outlives Forget, reports early.
TEST(BadgePresence, DeadlineFollowsTheLastRepeat) {
  BadgePresence presence(1200ms);
  const BadgePresence::Clock::time_point start{};
  presence.OnBadge("A", start);
  presence.OnBadge("A", start + 700ms);
  EXPECT_EQ(presence.LeaveDeadline(), start + 1900ms);
  presence.Forget();
  EXPECT_EQ(presence.LeaveDeadline(), std::nullopt);
  EXPECT_TRUE(presence.OnBadge("A", start + 800ms).arrived);
}

}  // namespace
}  // namespace tavrix
