#include "port_list.h"

#include "reader_output.h"
#include "tavrix_port_names.h"

namespace tavrix {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TakeDigits(std::string_view text, std::size_t& at) {
  const std::size_t start = at;
  while (at < text.size() && IsDigit(text[at])) ++at;
  return text.substr(start, at - start);
}

// Compares digit runs by value without converting, so runs of any length work.
int CompareNumbers(std::string_view left, std::string_view right) {
  while (left.size() > 1 && left.front() == '0') left.remove_prefix(1);
  while (right.size() > 1 && right.front() == '0') right.remove_prefix(1);
  if (left.size() != right.size()) return left.size() < right.size() ? -1 : 1;
  return left.compare(right);
}

}  // namespace

std::string JoinPortList(const std::vector<std::string>& ports) {
  // "USB" first: the window selects it by default, as most readers are USB.
  std::string list = kUsbPort.narrow;
  for (const auto& port : ports) {
    list += ',';
    list += port;
  }
  return list + ',' + kSimPort.narrow;
}

int32_t PortListOffer::Offer(char* text, int32_t* length) {
  const std::lock_guard lock(m_mutex);
  if (!m_waiting) m_waiting = JoinPortList(m_scan());
  const int32_t result = OfferOutText(*m_waiting, text, length);
  if (result == TVX_OK) m_waiting.reset();
  return result;
}

bool NaturalLess(std::string_view left, std::string_view right) {
  std::size_t l = 0;
  std::size_t r = 0;
  while (l < left.size() && r < right.size()) {
    if (IsDigit(left[l]) && IsDigit(right[r])) {
      const int order = CompareNumbers(TakeDigits(left, l), TakeDigits(right, r));
      if (order != 0) return order < 0;
      continue;
    }
    if (left[l] != right[r]) {
      return static_cast<unsigned char>(left[l]) < static_cast<unsigned char>(right[r]);
    }
    ++l;
    ++r;
  }
  if (l == left.size() && r == right.size()) return left < right;  // "S01" vs "S1"
  return l == left.size();
}

}  // namespace tavrix
