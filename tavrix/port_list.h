// The machine's serial ports, as the platform knows them, and the list
// TvxPortsAvailable gives.
//
// Discovery is per platform: port_list_posix.cpp (device paths found through
// /dev and sysfs), port_list_win32.cpp (COMn from the registry).
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#if !defined(_WIN32)
#include <filesystem>
#endif

namespace tavrix {

// Real serial ports in natural order, without "USB" and "SIM".
std::vector<std::string> ListSerialPorts();

// The port "USB" stands for: the first USB serial adapter present now.
std::optional<std::string> FirstUsbSerialPort();

// The list TvxPortsAvailable gives: "USB", the machine's ports, "SIM".
std::string JoinPortList(const std::vector<std::string>& ports);

// What TvxPortsAvailable offers. A caller sizes its buffer with one call and
// fills it with the next: a list that a call did not take whole waits for the
// next call, so the two agree however long apart they come and whatever is
// plugged in between, and the ports are scanned once, not twice, before the
// program's window first shows.
class PortListOffer {
 public:
  using Scan = std::function<std::vector<std::string>()>;
  explicit PortListOffer(Scan scan = ListSerialPorts) : m_scan(std::move(scan)) {}

  // OfferOutText of the waiting list, or of a fresh one when none waits.
  int32_t Offer(char* text, int32_t* length);

 private:
  const Scan m_scan;
  std::mutex m_mutex;
  std::optional<std::string> m_waiting;  // guarded by m_mutex
};

// Port names in the order an operator expects: ttyS2 before ttyS10. Runs of
// digits compare by value, everything else byte by byte.
bool NaturalLess(std::string_view left, std::string_view right);

#if !defined(_WIN32)
// The POSIX discovery's parts, open to tests.

// What the kernel's "type" attribute of a tty says: nothing when it has none.
std::optional<bool> UartTypeSaysReal(const std::filesystem::path& sysTtyDir);

// Whether a ttyS port has a UART behind it.
bool IsRealUart(const std::filesystem::path& sysTtyDir, const std::filesystem::path& device);

// ttyUSB*, ttyACM* and real ttyS* character devices in `devDir`.
std::vector<std::string> ListSerialPortsIn(const std::filesystem::path& devDir,
                                           const std::filesystem::path& sysClassTty);
#endif

}  // namespace tavrix
