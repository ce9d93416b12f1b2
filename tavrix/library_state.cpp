#include "library_state.h"

#include <limits>

#include "reader_factory.h"

namespace tavrix {

LibraryState& LibraryState::Instance() {
  static LibraryState state;
  return state;
}

LibraryState::~LibraryState() {
  std::vector<std::unique_ptr<Reader>> readers;
  {
    std::lock_guard lock(m_mutex);
    for (auto& [handle, reader] : m_running) readers.push_back(std::move(reader));
    m_running.clear();
    for (auto& reader : m_unjoined) readers.push_back(std::move(reader));
    m_unjoined.clear();
  }
  StopAll(std::move(readers));
}

int32_t LibraryState::Initialize() {
  std::lock_guard lock(m_mutex);
  m_initialized = true;
  return TVX_OK;
}

int32_t LibraryState::Uninitialize() {
  std::vector<std::unique_ptr<Reader>> readers;
  {
    std::lock_guard lock(m_mutex);
    m_initialized = false;
    for (auto& [handle, reader] : m_running) {
      Remember(reader->Output());
      readers.push_back(std::move(reader));
    }
    m_running.clear();
  }
  StopAll(std::move(readers));
  JoinStoppedFromInside();
  return TVX_OK;
}

int32_t LibraryState::Start(std::string_view port, TvxNotify notify, int32_t userData) {
  JoinStoppedFromInside();
  {
    std::lock_guard lock(m_mutex);
    if (!m_initialized) return TVX_FAILED;
  }
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
  std::unique_ptr<Reader> reader;
  {
    std::lock_guard lock(m_mutex);
    const auto found = m_running.find(handle);
    if (found == m_running.end()) return TVX_FAILED;
    reader = std::move(found->second);
    m_running.erase(found);
    Remember(reader->Output());
  }
  std::vector<std::unique_ptr<Reader>> readers;
  readers.push_back(std::move(reader));
  StopAll(std::move(readers));
  JoinStoppedFromInside();
  return TVX_OK;
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

void LibraryState::StopAll(std::vector<std::unique_ptr<Reader>> readers) {
  for (auto& reader : readers) reader->Stop();
  std::lock_guard lock(m_mutex);
  for (auto& reader : readers) {
    // Still running: we are inside its own notification. Freeing it here
    // would pull the thread out from under itself.
    if (reader->OnOwnThread()) m_unjoined.push_back(std::move(reader));
  }
}

void LibraryState::JoinStoppedFromInside() {
  std::vector<std::unique_ptr<Reader>> finished;
  {
    std::lock_guard lock(m_mutex);
    for (auto& reader : m_unjoined) {
      if (reader->OnOwnThread()) continue;
      finished.push_back(std::move(reader));
    }
    std::erase(m_unjoined, nullptr);
  }
  for (auto& reader : finished) reader->Join();
}

}  // namespace tavrix
