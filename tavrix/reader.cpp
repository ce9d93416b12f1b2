#include "reader.h"

#include <exception>

#include "frame_decoder.h"

namespace tavrix {
namespace {
thread_local bool t_onReaderThread = false;
}  // namespace

Reader::~Reader() {
  if (!m_thread.joinable()) return;
  if (OnOwnThread()) {
    // Only reachable if the program tore the library down from inside a
    // notification; the thread ends on its own right after.
    m_thread.detach();
    return;
  }
  Stop();
}

void Reader::Start() {
  // Held until m_thread is assigned; the thread takes it first, so its own
  // OnOwnThread() never reads m_thread half written.
  std::lock_guard lock(m_stopMutex);
  m_thread = std::thread([this] { RunGuarded(); });
}

void Reader::RequestStop() {
  m_output->Silence();
  {
    std::lock_guard lock(m_stopMutex);
    m_stopRequested = true;
  }
  m_stopChanged.notify_all();
  Wake();
}

void Reader::Stop() {
  RequestStop();
  Join();
}

void Reader::Join() {
  if (m_thread.joinable() && !OnOwnThread()) m_thread.join();
}

bool Reader::OnReaderThread() { return t_onReaderThread; }

bool Reader::StopRequested() const {
  std::lock_guard lock(m_stopMutex);
  return m_stopRequested;
}

bool Reader::WaitForStop(std::chrono::steady_clock::duration duration) {
  std::unique_lock lock(m_stopMutex);
  return m_stopChanged.wait_for(lock, duration, [this] { return m_stopRequested; });
}

void Reader::RunGuarded() {
  { std::lock_guard lock(m_stopMutex); }
  t_onReaderThread = true;
  try {
    Run();
  } catch (const std::exception& error) {
    // An escaping exception would end the whole program; report it instead.
    m_output->Error(std::string("Errore interno del lettore: ") + error.what());
  } catch (...) {
    m_output->Error("Errore interno del lettore");
  }
}

const std::vector<std::string_view>& SimReader::Sequence() {
  // Varied on purpose: leading zeros in both fields, a serial at or above
  // 2^31, the largest batch, and the same badge shown twice.
  static const std::vector<std::string_view> sequence = {
      "0A00BC614E", "2C499602D2", "", "7B0001E240", "FF80000000", "0A00BC614E", "",
  };
  return sequence;
}

void SimReader::Run() {
  Output()->Reading();
  const auto half = m_period / 2;
  for (std::size_t step = 0;; ++step) {
    if (WaitForStop(half)) return;
    const std::string_view hex = Sequence()[step % Sequence().size()];
    const auto id = ParseHexBadgeId(hex);
    if (!id) {
      Output()->BadRead();
      if (WaitForStop(m_period - half)) return;
      continue;
    }
    Output()->Card(FormatCardData(*id));
    if (WaitForStop(m_period - half)) return;
    Output()->CardGone();
  }
}

}  // namespace tavrix
