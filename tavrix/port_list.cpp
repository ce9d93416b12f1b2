#include "port_list.h"

namespace tavrix {

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

}  // namespace tavrix
