#include "stall_guard.h"

#include <unistd.h>

#include "figure_table.h"

namespace corvane::bench {

StallGuard::StallGuard(std::string figure, std::chrono::seconds limit)
    : m_watcher([this, figure = std::move(figure), limit] {
        std::unique_lock lock(m_mutex);
        if (m_done.wait_for(lock, limit, [this] { return m_finished; })) return;
        PrintRow({figure, "hung", "-", "-",
                  "finishes within " + std::to_string(limit.count()) + " s", false});
        ::_exit(3);
      }) {}

StallGuard::~StallGuard() {
  {
    std::lock_guard lock(m_mutex);
    m_finished = true;
  }
  m_done.notify_all();
  m_watcher.join();
}

}  // namespace corvane::bench
