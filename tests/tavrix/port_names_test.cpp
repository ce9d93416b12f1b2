#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "tavrix/natural_order.h"
#include "tavrix/port_list_posix.h"

namespace tavrix {
namespace {

namespace fs = std::filesystem;

TEST(NaturalOrder, SortsPortsAsAnOperatorReadsThem) {
  std::vector<std::string> ports = {"/dev/ttyS10", "/dev/ttyUSB1", "/dev/ttyS2",  "/dev/ttyACM0",
                                    "/dev/ttyS1",  "/dev/ttyUSB0", "/dev/ttyS01", "/dev/ttyUSB10"};
  std::sort(ports.begin(), ports.end(), NaturalLess);
  const std::vector<std::string> expected = {"/dev/ttyACM0", "/dev/ttyS01",  "/dev/ttyS1",
                                             "/dev/ttyS2",   "/dev/ttyS10",  "/dev/ttyUSB0",
                                             "/dev/ttyUSB1", "/dev/ttyUSB10"};
  EXPECT_EQ(ports, expected);
}

TEST(NaturalOrder, IsAStrictOrder) {
  const std::vector<std::string> names = {"",   "a",   "a1", "a01",
                                          "a2", "a10", "b",  "99999999999999999999"};
  for (const auto& a : names) {
    EXPECT_FALSE(NaturalLess(a, a)) << a;
    for (const auto& b : names) {
      if (a != b) {
        EXPECT_NE(NaturalLess(a, b), NaturalLess(b, a)) << a << " / " << b;
      }
    }
  }
}

struct UartCase {
  const char* name;
  bool device;       // the tty has a device link
  const char* type;  // its type attribute; null: none
  bool real;
  friend void PrintTo(const UartCase& c, std::ostream* os) { *os << c.name; }
};

class RealUartCases : public ::testing::TestWithParam<UartCase> {};

TEST_P(RealUartCases, TellsRealFromPhantom) {
  // A fake sysfs entry for one tty.
  const fs::path dir = fs::temp_directory_path() /
                       ("corvane-systty-" + std::to_string(::getpid()) + "-" + GetParam().name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  if (GetParam().device) fs::create_directories(dir / "device");
  if (GetParam().type) std::ofstream(dir / "type") << GetParam().type << "\n";
  // The device path is never probed here: no driver link, so no opening.
  EXPECT_EQ(IsRealUart(dir, "/nonexistent/ttyS99"), GetParam().real);
  fs::remove_all(dir);
}

INSTANTIATE_TEST_SUITE_P(Sysfs, RealUartCases,
                         ::testing::Values(UartCase{"UnknownType", true, "0", false},
                                           UartCase{"KnownType", true, "4", true},
                                           UartCase{"NoDevice", false, "4", false},
                                           UartCase{"NoTypeNoDriver", true, nullptr, false},
                                           UartCase{"GarbledType", true, "x", false}),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace tavrix
