#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "natural_order.h"
#include "port_list.h"
#include "port_list_posix.h"
#include "serial_port_posix.h"

namespace tavrix {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kUsbPrefixes[] = {"ttyUSB", "ttyACM"};

bool IsCharacterDevice(const fs::path& path) {
  std::error_code error;
  return fs::is_character_file(path, error);
}

std::vector<std::string> DevicesNamed(const fs::path& devDir, std::string_view prefix) {
  std::vector<std::string> found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(devDir, error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(prefix) && name.size() > prefix.size() &&
        IsCharacterDevice(entry.path())) {
      found.push_back(entry.path().string());
    }
  }
  std::sort(found.begin(), found.end(), NaturalLess);
  return found;
}

// Old kernels have no "type" file: ask the UART itself.
bool ProbedUartIsReal(const fs::path& device) {
  UniqueFd port(::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  // Busy means something real is using it.
  if (!port.Valid()) return errno == EBUSY;
  serial_struct serial{};
  if (::ioctl(port.Get(), TIOCGSERIAL, &serial) != 0) return false;
  return serial.type != PORT_UNKNOWN;
}

}  // namespace

std::optional<bool> UartTypeSaysReal(const fs::path& sysTtyDir) {
  std::ifstream typeFile(sysTtyDir / "type");
  int type = -1;
  if (!(typeFile >> type)) return std::nullopt;
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
  std::vector<std::string> ports;
  for (const auto prefix : kUsbPrefixes) {
    const auto found = DevicesNamed(devDir, prefix);
    ports.insert(ports.end(), found.begin(), found.end());
  }
  for (const auto& device : DevicesNamed(devDir, "ttyS")) {
    const fs::path name = fs::path(device).filename();
    if (IsRealUart(sysClassTty / name, device)) ports.push_back(device);
  }
  std::sort(ports.begin(), ports.end(), NaturalLess);
  return ports;
}

std::vector<std::string> ListSerialPorts() { return ListSerialPortsIn("/dev", "/sys/class/tty"); }

std::optional<std::string> FirstUsbSerialPort() {
  for (const auto prefix : kUsbPrefixes) {
    const auto found = DevicesNamed("/dev", prefix);
    if (!found.empty()) return found.front();
  }
  return std::nullopt;
}

}  // namespace tavrix
