#include "library_state.h"

#include <limits>

#include "port_list.h"
#include "serial_reader.h"
#include "tavrix_port_names.h"

namespace tavrix {
namespace {

// From the port name the program passes to a reader that is ready to start:
// "SIM", "USB" (the first USB adapter present now), or a serial port name.
OpenedReader CreateReader(std::string_view port, std::shared_ptr<ReaderOutput> output) {
  if (port == kSimPort.narrow) return {TVX_OK, std::make_unique<SimReader>(std::move(output))};
  std::string device(port);
  if (port == kUsbPort.narrow) {
    const auto usb = FirstUsbSerialPort();
    if (!usb) return {TVX_FAILED, nullptr};
    device = *usb;
  }
  if (device.empty()) return {TVX_FAILED, nullptr};
  return OpenSerialReader(device, std::move(output));
}

}  // namespace

LibraryState& LibraryState::Instance() {
  static LibraryState state;
  return state;
}

LibraryState::~LibraryState() {
  Readers readers;
  {
    std::lock_guard lock(m_mutex);
    for (auto& [handle, reader] : m_running) {
      reader->RequestStop();
      readers.push_back(std::move(reader));
    }
    m_running.clear();
    for (auto& reader : m_unjoined) readers.push_back(std::move(reader));
    m_unjoined.clear();
  }
  // All were asked first, so they wind down side by side.
  readers.clear();
}

int32_t LibraryState::Initialize() {
  std::lock_guard lock(m_mutex);
  m_initialized = true;
  return TVX_OK;
}

int32_t LibraryState::Uninitialize() {
  Readers toJoin;
  {
    std::lock_guard lock(m_mutex);
    m_initialized = false;
    for (auto& [handle, reader] : m_running) RetireLocked(std::move(reader), toJoin);
    m_running.clear();
    TakeUnjoinedLocked(toJoin);
  }
  toJoin.clear();
  return TVX_OK;
}

int32_t LibraryState::Start(std::string_view port, TvxNotify notify, int32_t userData) {
  Readers toJoin;
  bool initialized = false;
  {
    std::lock_guard lock(m_mutex);
    TakeUnjoinedLocked(toJoin);
    initialized = m_initialized;
  }
  toJoin.clear();
  if (!initialized) return TVX_FAILED;
  auto output = std::make_shared<ReaderOutput>(notify, userData);
  OpenedReader opened = CreateReader(port, output);
  if (opened.status != TVX_OK) return opened.status;

  std::lock_guard lock(m_mutex);
  // Uninitialize may have run while the port was being opened.
  if (!m_initialized || m_lastHandle == std::numeric_limits<int32_t>::max()) return TVX_FAILED;
  const int32_t handle = ++m_lastHandle;
  output->SetHandle(handle);
  // Registered before its thread starts, so the first notification's handle
  // already answers.
  Reader& reader = *opened.reader;
  m_running.emplace(handle, std::move(opened.reader));
  reader.Start();
  return handle;
}

int32_t LibraryState::Stop(int32_t handle) {
  Readers toJoin;
  int32_t result = TVX_FAILED;
  {
    std::lock_guard lock(m_mutex);
    if (const auto found = m_running.find(handle); found != m_running.end()) {
      RetireLocked(std::move(found->second), toJoin);
      m_running.erase(found);
      result = TVX_OK;
    }
    TakeUnjoinedLocked(toJoin);
  }
  toJoin.clear();
  return result;
}

std::shared_ptr<ReaderOutput> LibraryState::Find(int32_t handle) const {
  std::lock_guard lock(m_mutex);
  if (const auto found = m_running.find(handle); found != m_running.end()) {
    return found->second->Output();
  }
  for (const auto& output : m_stopped) {
    if (output->Handle() == handle) return output;
  }
  return nullptr;
}

void LibraryState::Remember(const std::shared_ptr<ReaderOutput>& output) {
  m_stopped.push_back(output);
  if (m_stopped.size() > kRememberedStopped) m_stopped.pop_front();
}

void LibraryState::RetireLocked(std::unique_ptr<Reader> reader, Readers& toJoin) {
  Remember(reader->Output());
  reader->RequestStop();
  (Reader::OnReaderThread() ? m_unjoined : toJoin).push_back(std::move(reader));
}

void LibraryState::TakeUnjoinedLocked(Readers& toJoin) {
  if (Reader::OnReaderThread()) return;
  for (auto& reader : m_unjoined) toJoin.push_back(std::move(reader));
  m_unjoined.clear();
}

}  // namespace tavrix
