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

}  // namespace tavrix
