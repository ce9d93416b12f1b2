#include <dirent.h>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "port_list.h"

namespace tavrix {
namespace fs = std::filesystem;

namespace {

constexpr std::array<std::string_view, 2> kUsbPrefixes = {"ttyUSB", "ttyACM"};
constexpr std::array<std::string_view, 3> kPortPrefixes = {"ttyUSB", "ttyACM", "ttyS"};

bool IsCharacterDevice(const fs::path& path) {
  std::error_code error;
  return fs::is_character_file(path, error);
}

// The character devices in `devDir` whose names are one of `prefixes` and
// more, by prefix in the order given, each in natural order. One pass with
// readdir, and nothing built for the names that do not match: the program
// lists ports before its window first shows, /dev holds hundreds of entries,
// and a directory_iterator builds and parses a path for every one.
template <std::size_t N>
std::array<std::vector<std::string>, N> DevicesNamed(
    const fs::path& devDir, const std::array<std::string_view, N>& prefixes) {
  std::array<std::vector<std::string>, N> found;
  const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(devDir.c_str()), &::closedir);
  if (folder == nullptr) return found;
  while (const dirent* entry = ::readdir(folder.get())) {
    const std::string_view name = entry->d_name;
    for (std::size_t index = 0; index < N; ++index) {
      if (name.starts_with(prefixes[index]) && name.size() > prefixes[index].size()) {
        const fs::path device = devDir / name;
        if (IsCharacterDevice(device)) found[index].push_back(device.string());
        break;
      }
    }
  }
  for (auto& devices : found) std::sort(devices.begin(), devices.end(), NaturalLess);
  return found;
}

// Old kernels have no "type" file: ask the UART itself.
bool ProbedUartIsReal(const fs::path& device) {
  const int port = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  // Busy means something real is using it.
  if (port < 0) return errno == EBUSY;
  serial_struct serial{};
  const bool known = ::ioctl(port, TIOCGSERIAL, &serial) == 0 && serial.type != PORT_UNKNOWN;
  ::close(port);
  return known;
}

}  // namespace

std::optional<bool> UartTypeSaysReal(const fs::path& sysTtyDir) {
  // read() rather than a stream: the program lists ports before its window
  // first shows, and a process's first std::ifstream costs half a millisecond.
  const int typeFile = ::open((sysTtyDir / "type").c_str(), O_RDONLY | O_CLOEXEC);
  if (typeFile < 0) return std::nullopt;
  char text[16] = {};
  const ssize_t got = ::read(typeFile, text, sizeof text - 1);
  ::close(typeFile);
  if (got <= 0) return std::nullopt;
  char* end = text;
  const long type = std::strtol(text, &end, 10);
  if (end == text) return std::nullopt;
  return type != PORT_UNKNOWN;
}

bool IsRealUart(const fs::path& sysTtyDir, const fs::path& device) {
  // PCs register ttyS0..31 whether or not a UART sits behind them; only the
  // ones with a device and a known UART type can carry a reader.
  std::error_code error;
  if (!fs::exists(sysTtyDir / "device", error)) return false;
  if (const auto real = UartTypeSaysReal(sysTtyDir)) return *real;
  if (!fs::exists(sysTtyDir / "device" / "driver", error)) return false;
  return ProbedUartIsReal(device);
}

std::vector<std::string> ListSerialPortsIn(const fs::path& devDir, const fs::path& sysClassTty) {
  const auto [usb, acm, uarts] = DevicesNamed(devDir, kPortPrefixes);
  std::vector<std::string> ports = usb;
  ports.insert(ports.end(), acm.begin(), acm.end());
  for (const auto& device : uarts) {
    const fs::path name = fs::path(device).filename();
    if (IsRealUart(sysClassTty / name, device)) ports.push_back(device);
  }
  std::sort(ports.begin(), ports.end(), NaturalLess);
  return ports;
}

std::vector<std::string> ListSerialPorts() { return ListSerialPortsIn("/dev", "/sys/class/tty"); }

std::optional<std::string> FirstUsbSerialPort() {
  for (const auto& found : DevicesNamed("/dev", kUsbPrefixes)) {
    if (!found.empty()) return found.front();
  }
  return std::nullopt;
}

}  // namespace tavrix
