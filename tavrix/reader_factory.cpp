#include "reader_factory.h"

#include "port_list.h"
#include "sim_reader.h"

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
