#include "frame_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frames.h"

namespace tavrix {
namespace {

using Kind = DecodedRead::Kind;

DecodedRead Card(std::string data) { return {Kind::Card, std::move(data)}; }
const DecodedRead kBad{Kind::BadRead, {}};

using corvane::testing::Frame;

// STX, `body` as it stands, ETX: a frame whatever its checksum.
std::string Raw(const std::string& body) { return "\x02" + body + "\x03"; }

const std::string kGood = Frame("0A00BC614E");
const std::string kGoodData = "0100012345678";

struct DecoderCase {
  const char* name;
  std::vector<std::string> writes;  // as they arrive from the port
  std::vector<DecodedRead> reads;
};

TEST(FrameDecoder, GivesTheReads) {
  const DecoderCase cases[] = {
      {"OneFrame", {kGood}, {Card(kGoodData)}},
      {"LowerCaseHex", {Frame("0a00bc614e")}, {Card(kGoodData)}},
      {"LowerCaseF", {Frame("0a00bc614f")}, {Card("0100012345679")}},
      {"ByteByByte",
       [] {
         std::vector<std::string> bytes;
         for (char c : kGood) bytes.emplace_back(1, c);
         return bytes;
       }(),
       {Card(kGoodData)}},
      {"BackToBack", {kGood + Frame("2C499602D2")}, {Card(kGoodData), Card("0441234567890")}},
      {"CrLfBeforeEtx", {Frame("0A00BC614E", "\r\n")}, {Card(kGoodData)}},
      {"CrBeforeEtx", {Frame("0A00BC614E", "\r")}, {Card(kGoodData)}},
      {"CrLfAfterEtxIsNotALine", {kGood + "\r\n"}, {Card(kGoodData)}},
      {"NoiseBeforeFrame", {std::string("\xff\x00zz", 4) + kGood}, {Card(kGoodData)}},
      {"StrayStxRestartsEmptyFrame", {"\x02" + kGood}, {Card(kGoodData)}},
      {"TruncatedFrameThenGoodOne",
       {"\x02" + std::string("0A00B"), kGood},
       {kBad, Card(kGoodData)}},
      {"BadChecksum", {Raw("0A00BC614E00")}, {kBad}},
      {"NonHexDigit", {Raw("0A00BC61G4E0")}, {kBad}},
      // 'g' would be 16 to a loose digit test, and its checksum 83 would fit.
      {"LetterPastF", {Raw("0g00BC614E83")}, {kBad}},
      {"TooFewDigits", {Raw("0A00BC61")}, {kBad}},
      {"EmptyFrame", {Raw("")}, {kBad}},
      {"OverlongFrameIsOneBadRead",
       {Raw("0A00BC614E0A00BC614E0A00BC") + "\r\n", kGood},
       {kBad, Card(kGoodData)}},
      {"IdAtOrAbove2To31", {Frame("FF80000000")}, {Card("2552147483648")}},
      {"LargestId", {Frame("FFFFFFFFFF")}, {Card("2554294967295")}},
      {"SmallestId", {Frame("0000000000")}, {Card("0000000000000")}},
      {"TextLineLf", {"12345\n"}, {Card("12345")}},
      {"TextLineCrLfIsOneRead", {"12345\r\n67\r\n"}, {Card("12345"), Card("67")}},
      {"TextLineSplit", {"12", "3\r", "\n"}, {Card("123")}},
      {"TextLineKeepsSpacesAndTilde", {" A~1 \n"}, {Card(" A~1 ")}},
      {"UnfinishedLineGivesNothing", {"12345"}, {}},
      {"NoisyLineIsDropped", {"12" + std::string(1, '\0') + "3\r4\r"}, {Card("4")}},
      {"FrameDropsHalfLine", {"123" + kGood}, {Card(kGoodData)}},
      {"OverlongLineIsDropped", {std::string(65, '7') + "\r9\r"}, {Card("9")}},
      {"LongestLineIsKept", {std::string(64, '7') + "\r"}, {Card(std::string(64, '7'))}},
      {"StrayEtx", {"\x03" + kGood}, {Card(kGoodData)}}};
  for (const DecoderCase& c : cases) {
    FrameDecoder decoder;
    std::vector<DecodedRead> reads;
    for (const auto& write : c.writes) {
      for (auto& read : decoder.Feed(write)) reads.push_back(std::move(read));
    }
    EXPECT_EQ(reads, c.reads) << c.name;
  }
}

TEST(FrameDecoder, ResetForgetsHalfAFrameAndHalfALine) {
  FrameDecoder decoder;
  EXPECT_TRUE(decoder.Feed(kGood.substr(0, 7)).empty());
  decoder.Reset();
  // The tail alone is no frame and no line.
  EXPECT_TRUE(decoder.Feed("614E\x03").empty());
  EXPECT_EQ(decoder.Feed(kGood), std::vector<DecodedRead>{Card(kGoodData)});

  EXPECT_TRUE(decoder.Feed("123").empty());
  decoder.Reset();
  EXPECT_EQ(decoder.Feed("45\r"), std::vector<DecodedRead>{Card("45")});
}

}  // namespace
}  // namespace tavrix
