// From the port name the program passes to a reader that is ready to start.
#pragma once

#include <memory>
#include <string_view>

#include "serial_reader.h"

namespace tavrix {

// "SIM", "USB" (the first USB adapter present now), or a serial port name.
OpenedReader CreateReader(std::string_view port, std::shared_ptr<ReaderOutput> output);

}  // namespace tavrix
