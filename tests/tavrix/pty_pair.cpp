#include "pty_pair.h"

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace corvane::testing {
namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

PtyPair::PtyPair() {
  termios raw{};
  ::cfmakeraw(&raw);
  int slave = -1;
  char name[128] = {};
  if (::openpty(&m_master, &slave, name, &raw, nullptr) != 0) Fail("openpty");
  // The code under test opens its own slave descriptor; ours would only keep
  // the terminal alive after the code under test closed it.
  ::close(slave);
  m_slavePath = name;
}

PtyPair::~PtyPair() { HangUp(); }

void PtyPair::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(m_master, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail("write to pty master");
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

void PtyPair::HangUp() {
  if (m_master >= 0) ::close(m_master);
  m_master = -1;
}

PortLink::PortLink(const std::string& target) {
  std::string pattern = (std::filesystem::temp_directory_path() / "corvane-port-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) Fail("mkdtemp");
  m_folder = pattern;
  m_path = (m_folder / "reader").string();
  PointAt(target);
}

PortLink::~PortLink() {
  std::error_code ignored;
  std::filesystem::remove_all(m_folder, ignored);
}

void PortLink::PointAt(const std::string& target) {
  const std::string staged = (m_folder / "reader.new").string();
  ::unlink(staged.c_str());
  if (::symlink(target.c_str(), staged.c_str()) != 0) Fail("symlink");
  if (::rename(staged.c_str(), m_path.c_str()) != 0) Fail("rename");
}

}  // namespace corvane::testing
