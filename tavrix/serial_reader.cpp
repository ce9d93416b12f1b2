#include "tavrix/serial_reader.h"

namespace tavrix {

std::string LostPortText(const std::string& port) {
  return "Connessione persa con il lettore sulla porta " + port;
}

}  // namespace tavrix
