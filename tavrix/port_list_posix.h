// The POSIX port discovery's parts, open to tests.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tavrix {

// What the kernel's "type" attribute of a tty says: nothing when it has none.
std::optional<bool> UartTypeSaysReal(const std::filesystem::path& sysTtyDir);

// Whether a ttyS port has a UART behind it.
bool IsRealUart(const std::filesystem::path& sysTtyDir, const std::filesystem::path& device);

// ttyUSB*, ttyACM* and real ttyS* character devices in `devDir`.
std::vector<std::string> ListSerialPortsIn(const std::filesystem::path& devDir,
                                           const std::filesystem::path& sysClassTty);

}  // namespace tavrix
