// The loader against copies of the stand-in library cut short, as an
// interrupted copy or a full disk leaves them: each is refused with the file
// named, where the system loader would end the process with SIGBUS.
#include <elf.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "reader_binding/library_loader.h"

namespace corvane {
namespace {

TEST(LibraryLoader, RefusesTheLibraryCutShortAnywhere) {
  std::ifstream original(TAVRIX_PATH, std::ios::binary);
  const std::string whole{std::istreambuf_iterator<char>(original), {}};
  Elf64_Ehdr header{};
  ASSERT_GT(whole.size(), sizeof header);
  std::memcpy(&header, whole.data(), sizeof header);
  std::vector<std::pair<std::string, std::size_t>> cuts = {
      {"empty", 0},
      {"inside the ELF header", sizeof header / 2},
      {"the ELF header only", sizeof header},
      {"inside the program headers", header.e_phoff + header.e_phnum * header.e_phentsize / 2},
      {"the first 4 KiB", 4096},
      {"short of the section headers", whole.size() - 1}};
  for (std::size_t i = 0; i < header.e_phnum; ++i) {
    Elf64_Phdr segment{};
    std::memcpy(&segment, whole.data() + header.e_phoff + i * header.e_phentsize, sizeof segment);
    if (segment.p_type == PT_LOAD) {
      cuts.emplace_back("inside segment " + std::to_string(i),
                        segment.p_offset + segment.p_filesz / 2);
    }
  }
  const auto folder =
      std::filesystem::temp_directory_path() / ("corvane-loader-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "libTavrix.so").string();
  for (const auto& [cut, length] : cuts) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(whole.data(), static_cast<std::streamsize>(length));
    LibraryLoader loader(path);
    try {
      loader.Resolve("TvxInitialize");
      ADD_FAILURE() << cut << ": loaded";
    } catch (const ReaderLibraryMissing& error) {
      EXPECT_THAT(error.what(), ::testing::HasSubstr(path)) << cut;
    }
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace corvane
