// The machine's serial ports, as the platform knows them.
//
// Implemented per platform: port_list_posix.cpp (device paths found through
// /dev and sysfs), port_list_win32.cpp (COMn from the registry).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavrix {

// Real serial ports in natural order, without "USB" and "SIM".
std::vector<std::string> ListSerialPorts();

// The port "USB" stands for: the first USB serial adapter present now.
std::optional<std::string> FirstUsbSerialPort();

// The list TvxPortsAvailable gives: "USB", the machine's ports, "SIM".
std::string JoinPortList(const std::vector<std::string>& ports);

// The joined list for one TvxPortsAvailable call. A caller sizes its buffer
// with one call (`sizing`) and fills it with the next; the list measured for
// the first is kept for a second that comes within a second, so the two agree
// even if a port comes or goes in between, and the ports are scanned once,
// not twice, before the program's window first shows.
std::string OfferedPortList(bool sizing);

}  // namespace tavrix
