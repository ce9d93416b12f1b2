#include "sim_reader.h"

#include "card_format.h"

namespace tavrix {

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
