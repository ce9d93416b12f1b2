// The reader's end of a pseudo-terminal: the program opens the slave by its
// path, the benchmark writes badge frames into the master.
#pragma once

#include <string>
#include <string_view>

namespace corvane::bench {

class PtyMaster {
 public:
  // Raw from the start, so nothing is echoed back or held for a line end.
  // Throws std::runtime_error on failure.
  PtyMaster();
  ~PtyMaster();
  PtyMaster(const PtyMaster&) = delete;
  PtyMaster& operator=(const PtyMaster&) = delete;

  const std::string& SlavePath() const { return m_slavePath; }

  // Blocks until every byte is in the terminal's buffer.
  void Write(std::string_view bytes);

 private:
  int m_master = -1;
  // Held open so the terminal outlives every open and close of the slave by
  // the code under test.
  int m_slave = -1;
  std::string m_slavePath;
};

// Opens the slave as a plain raw reader would; the descriptor is blocking.
int OpenRawSlave(const std::string& path);

}  // namespace corvane::bench
