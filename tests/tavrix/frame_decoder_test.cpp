#include "tavrix/frame_decoder.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "frames.h"

namespace tavrix {
namespace {

using Kind = DecodedRead::Kind;

DecodedRead Card(std::string data) { return {Kind::Card, std::move(data)}; }
const DecodedRead kBad{Kind::BadRead, {}};

using corvane::testing::Frame;

struct DecoderCase {
  const char* name;
  std::vector<std::string> writes;  // as they arrive from the port
  std::vector<DecodedRead> reads;
  friend void PrintTo(const DecoderCase& c, std::ostream* os) { *os << c.name; }
};

class FrameDecoderCases : public ::testing::TestWithParam<DecoderCase> {};

TEST_P(FrameDecoderCases, GivesTheReads) {
  FrameDecoder decoder;
  std::vector<DecodedRead> reads;
  for (const auto& write : GetParam().writes) {
    for (auto& read : decoder.Feed(write)) reads.push_back(std::move(read));
  }
  EXPECT_EQ(reads, GetParam().reads);
}

// STX, `body` as it stands, ETX: a frame whatever its checksum.
std::string Raw(const std::string& body) { return "\x02" + body + "\x03"; }

const std::string kGood = Frame("0A00BC614E");
const std::string kGoodData = "0100012345678";

INSTANTIATE_TEST_SUITE_P(
    Stream, FrameDecoderCases,
    ::testing::Values(
        DecoderCase{"OneFrame", {kGood}, {Card(kGoodData)}},
        DecoderCase{"LowerCaseHex", {Frame("0a00bc614e")}, {Card(kGoodData)}},
        DecoderCase{"ByteByByte",
                    [] {
                      std::vector<std::string> bytes;
                      for (char c : kGood) bytes.emplace_back(1, c);
                      return bytes;
                    }(),
                    {Card(kGoodData)}},
        DecoderCase{
            "BackToBack", {kGood + Frame("2C499602D2")}, {Card(kGoodData), Card("0441234567890")}},
        DecoderCase{"CrLfBeforeEtx", {Frame("0A00BC614E", "\r\n")}, {Card(kGoodData)}},
        DecoderCase{"CrLfAfterEtxIsNotALine", {kGood + "\r\n"}, {Card(kGoodData)}},
        DecoderCase{"NoiseBeforeFrame", {std::string("\xff\x00zz", 4) + kGood}, {Card(kGoodData)}},
        DecoderCase{"StrayStxRestartsEmptyFrame", {"\x02" + kGood}, {Card(kGoodData)}},
        DecoderCase{"TruncatedFrameThenGoodOne",
                    {"\x02" + std::string("0A00B"), kGood},
                    {kBad, Card(kGoodData)}},
        DecoderCase{"BadChecksum", {Raw("0A00BC614E00")}, {kBad}},
        DecoderCase{"NonHexDigit", {Raw("0A00BC61G4E0")}, {kBad}},
        DecoderCase{"TooFewDigits", {Raw("0A00BC61")}, {kBad}},
        DecoderCase{"EmptyFrame", {Raw("")}, {kBad}},
        DecoderCase{"OverlongFrameIsOneBadRead",
                    {Raw("0A00BC614E0A00BC614E0A00BC") + "\r\n", kGood},
                    {kBad, Card(kGoodData)}},
        DecoderCase{"IdAtOrAbove2To31", {Frame("FF80000000")}, {Card("2552147483648")}},
        DecoderCase{"LargestId", {Frame("FFFFFFFFFF")}, {Card("2554294967295")}},
        DecoderCase{"SmallestId", {Frame("0000000000")}, {Card("0000000000000")}},
        DecoderCase{"TextLineLf", {"12345\n"}, {Card("12345")}},
        DecoderCase{"TextLineCrLfIsOneRead", {"12345\r\n67\r\n"}, {Card("12345"), Card("67")}},
        DecoderCase{"TextLineSplit", {"12", "3\r", "\n"}, {Card("123")}},
        DecoderCase{"TextLineKeepsSpaces", {" A 1 \n"}, {Card(" A 1 ")}},
        DecoderCase{"UnfinishedLineGivesNothing", {"12345"}, {}},
        DecoderCase{"NoisyLineIsDropped",
                    {std::string("12\x00"
                                 "3\r4\r",
                                 7)},
                    {Card("4")}},
        DecoderCase{"FrameDropsHalfLine", {"123" + kGood}, {Card(kGoodData)}},
        DecoderCase{"OverlongLineIsDropped", {std::string(65, '7') + "\r9\r"}, {Card("9")}},
        DecoderCase{
            "LongestLineIsKept", {std::string(64, '7') + "\r"}, {Card(std::string(64, '7'))}},
        DecoderCase{"StrayEtx", {"\x03" + kGood}, {Card(kGoodData)}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(FrameDecoder, ResetForgetsHalfAFrame) {
  FrameDecoder decoder;
  EXPECT_TRUE(decoder
                  .Feed("\x02"
                        "0A00BC")
                  .empty());
  decoder.Reset();
  // The tail alone is no frame and no line.
  EXPECT_TRUE(decoder.Feed("614E\x03").empty());
  EXPECT_EQ(decoder.Feed(kGood), std::vector<DecodedRead>{Card(kGoodData)});
}

}  // namespace
}  // namespace tavrix
