#include "port_list.h"

#include <chrono>
#include <mutex>
#include <utility>

namespace tavrix {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kSizedListLifetime = std::chrono::seconds(1);

struct SizedList {
  std::mutex mutex;
  std::optional<std::string> list;  // guarded by mutex
  Clock::time_point measuredAt;     // guarded by mutex
};

SizedList& Sized() {
  static SizedList sized;
  return sized;
}

}  // namespace

std::string JoinPortList(const std::vector<std::string>& ports) {
  // "USB" first: the window selects it by default, as most readers are USB.
  std::string list = "USB";
  for (const auto& port : ports) {
    list += ',';
    list += port;
  }
  list += ",SIM";
  return list;
}

std::string OfferedPortList(bool sizing) {
  SizedList& sized = Sized();
  const std::lock_guard lock(sized.mutex);
  std::optional<std::string> kept = std::exchange(sized.list, std::nullopt);
  if (!sizing && kept && Clock::now() - sized.measuredAt < kSizedListLifetime) return *kept;
  std::string list = JoinPortList(ListSerialPorts());
  if (sizing) {
    sized.list = list;
    sized.measuredAt = Clock::now();
  }
  return list;
}

}  // namespace tavrix
