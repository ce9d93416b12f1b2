#include "tavrix/reader_factory.h"

#include "tavrix/port_list.h"
#include "tavrix/sim_reader.h"

namespace tavrix {

OpenedReader CreateReader(std::string_view port, std::shared_ptr<ReaderOutput> output) {
  if (port == "SIM") return {TVX_OK, std::make_unique<SimReader>(std::move(output))};
  std::string device(port);
  if (port == "USB") {
    const auto usb = FirstUsbSerialPort();
    if (!usb) return {TVX_FAILED, nullptr};
    device = *usb;
  }
  if (device.empty()) return {TVX_FAILED, nullptr};
  return OpenSerialReader(device, std::move(output));
}

}  // namespace tavrix
