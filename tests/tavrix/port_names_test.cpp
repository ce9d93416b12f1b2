#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "natural_order.h"
#include "port_list_posix.h"

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

TEST(RealUart, TellsRealFromPhantom) {
  const struct {
    const char* name;
    bool device;       // the tty has a device link
    const char* type;  // its type attribute; null: none
    bool real;
  } cases[] = {{"unknown type", true, "0", false},
               {"known type", true, "4", true},
               {"no device", false, "4", false},
               {"no type, no driver", true, nullptr, false},
               {"garbled type", true, "x", false}};
  // A fake sysfs entry for one tty.
  const fs::path dir = fs::temp_directory_path() / ("corvane-systty-" + std::to_string(::getpid()));
  for (const auto& tty : cases) {
    fs::remove_all(dir);
    fs::create_directories(dir);
    if (tty.device) fs::create_directories(dir / "device");
    if (tty.type) std::ofstream(dir / "type") << tty.type << "\n";
    // The device path is never probed here: no driver link, so no opening.
    EXPECT_EQ(IsRealUart(dir, "/nonexistent/ttyS99"), tty.real) << tty.name;
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tavrix
