// A pseudo-terminal standing in for a serial badge reader in tests: the code
// under test opens the slave by its path, the test plays the reader on the
// master.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace corvane::testing {

class PtyPair {
 public:
  // Raw from the start, so bytes written before the port is configured are
  // not held back by line editing. Throws std::runtime_error on failure.
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& SlavePath() const { return m_slavePath; }

  // Writes all of `bytes` as the reader would send them.
  void Write(std::string_view bytes);

  // Closes the master: whoever has the slave open sees a hang-up, and the
  // slave's path goes away for good.
  void HangUp();

 private:
  int m_master = -1;
  std::string m_slavePath;
};

// A port name that can be moved to another device: a symbolic link in a
// private temporary folder. Since a pseudo-terminal cannot come back after a
// hang-up, re-pointing the link to a new one is how a test "plugs the reader
// back in".
class PortLink {
 public:
  explicit PortLink(const std::string& target);
  ~PortLink();
  PortLink(const PortLink&) = delete;
  PortLink& operator=(const PortLink&) = delete;

  const std::string& Path() const { return m_path; }

  // Atomic: an opener sees the old target or the new one, never no link.
  void PointAt(const std::string& target);

 private:
  std::filesystem::path m_folder;
  std::string m_path;
};

}  // namespace corvane::testing
