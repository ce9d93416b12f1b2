#include "elf_check.h"

// Only the Linux loader needs this: the Windows one refuses a cut-short DLL
// with an error of its own.
#if defined(__linux__)

#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace corvane {
namespace {

#if defined(__x86_64__)
constexpr uint16_t kMachine = EM_X86_64;
#elif defined(__i386__)
constexpr uint16_t kMachine = EM_386;
#elif defined(__aarch64__)
constexpr uint16_t kMachine = EM_AARCH64;
#elif defined(__arm__)
constexpr uint16_t kMachine = EM_ARM;
#elif defined(__riscv)
constexpr uint16_t kMachine = EM_RISCV;
#else
#error "Name this machine's ELF e_machine code here."
#endif

constexpr unsigned char kClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
constexpr unsigned char kByteOrder =
    __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB;

constexpr const char* kTooShort = "file too short";
constexpr const char* kForeign = "not a shared object for this machine";
constexpr const char* kUnreadable = "cannot read file data";

// True when `count` entries of `size` bytes from `offset` end inside the file,
// computed so that no hostile header can wrap the sum around.
bool Inside(uint64_t offset, uint64_t count, uint64_t size, uint64_t fileSize) {
  if (offset > fileSize) return false;
  return size == 0 || count <= (fileSize - offset) / size;
}

bool ReadAt(int fd, void* into, std::size_t size, off_t offset) {
  auto* bytes = static_cast<char*>(into);
  while (size > 0) {
    const ssize_t got = ::pread(fd, bytes, size, offset);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    size -= static_cast<std::size_t>(got);
    offset += got;
  }
  return true;
}

std::string Refusal(int fd, uint64_t fileSize) {
  ElfW(Ehdr) header{};
  if (fileSize < sizeof header) return kTooShort;
  if (!ReadAt(fd, &header, sizeof header, 0)) return kUnreadable;
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0) return "invalid ELF header";
  if (header.e_ident[EI_CLASS] != kClass || header.e_ident[EI_DATA] != kByteOrder ||
      header.e_type != ET_DYN || header.e_machine != kMachine ||
      header.e_phentsize != sizeof(ElfW(Phdr))) {
    return kForeign;
  }

  if (!Inside(header.e_phoff, header.e_phnum, sizeof(ElfW(Phdr)), fileSize)) return kTooShort;
  std::vector<ElfW(Phdr)> segments(header.e_phnum);
  if (!ReadAt(fd, segments.data(), segments.size() * sizeof(ElfW(Phdr)),
              static_cast<off_t>(header.e_phoff))) {
    return kUnreadable;
  }
  for (const auto& segment : segments) {
    if (segment.p_type == PT_LOAD && !Inside(segment.p_offset, 1, segment.p_filesz, fileSize)) {
      return kTooShort;
    }
  }

  // The section headers are normally the last thing in the file, so a copy
  // that stopped just short of the end shows here. A count of 0 with a table
  // present means the real count is in the first entry, which must be there.
  if (header.e_shoff != 0) {
    const uint64_t sections = header.e_shnum != 0 ? header.e_shnum : 1;
    if (!Inside(header.e_shoff, sections, header.e_shentsize, fileSize)) return kTooShort;
  }
  return {};
}

}  // namespace

std::string SharedObjectRefusal(const std::string& path) {
  // Non-blocking, so a FIFO planted under the library's name cannot hang us here.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return {};
  struct stat status {};
  std::string refusal;
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    refusal = Refusal(fd, static_cast<uint64_t>(status.st_size));
  }
  ::close(fd);
  return refusal;
}

}  // namespace corvane

#endif
