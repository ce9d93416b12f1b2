// Readers on a serial port. Implemented per platform: serial_reader_posix.cpp,
// serial_reader_win32.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "tavrix/reader.h"

namespace tavrix {

// On success `status` is TVX_OK and `reader` is ready to Start. Otherwise
// TVX_FAILED when no such port exists, TVX_PORT_UNUSABLE when it exists but
// cannot be had (busy, no permission, not a serial line).
struct OpenedReader {
  int32_t status = -1;
  std::unique_ptr<Reader> reader;
};

// Opens `port` now, so the caller learns at once whether reading can start.
OpenedReader OpenSerialReader(const std::string& port, std::shared_ptr<ReaderOutput> output);

// The text given with event 6 when the port goes away.
std::string LostPortText(const std::string& port);

}  // namespace tavrix
