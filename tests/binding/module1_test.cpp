// Text rules, the out-text call, and Module1 against the stand-in, foreign, missing and cut files.
#include <elf.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "module1.h"
#include "out_text_call.h"
#include "text_rules.h"

namespace corvane {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

TEST(TextRules, MidTakesOneBasedRangesAndNeverReadsPastTheText) {
  const struct {
    const wchar_t* text;
    int64_t start, count;
    const wchar_t* expected;
  } cases[] = {
      {L"abcdef", 2, 3, L"bcd"},   {L"12345", 4, 10, L"45"}, {L"123", 3, 10, L"3"},
      {L"123", 4, 10, L""},        {L"abc", 1, 0, L""},      {L"abc", 1, -1, L""},
      {L"abc", 0, 2, L""},         {L"abc", -5, 2, L""},     {L"abc", 1, INT64_MAX, L"abc"},
      {L"abc", INT64_MAX, 1, L""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Characters(c.text, c.start, c.count), c.expected)
        << testing::PrintToString(std::wstring(c.text)) << ", " << c.start << ", " << c.count;
}

TEST(TextRules, ConversionsFollowTheLocaleAndMarkWhatDoesNotFit) {
  ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
  const std::wstring text = L"Porta COM3 \u00e8 occupata \u20ac";
  EXPECT_EQ(ToAnsi(text).size(), text.size() + 1 + 2);
  EXPECT_EQ(FromAnsi(ToAnsi(text)), text);
  EXPECT_EQ(FromAnsi(std::string("\xff") + "x"), L"\uFFFDx");  // never valid
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(ToAnsi(L"COM\u00e83"), "COM?3");
}

// Under AddressSanitizer, a library that fills the whole buffer and its NUL must stay inside it.
TEST(OutTextCall, KeepsOnlyTheBytesTheLengthVouchesForThenDecodes) {
  ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
  const struct {
    std::string written;
    int32_t capacity, reportedLength;
    std::wstring kept;
  } rows[] = {{"USB", 10, 4, L"USB"},
              {"0123456789", 10, 500, L"0123456789"},
              {"USB", 10, -9, L""},
              {"USB", 10, 6, std::wstring(L"USB\0 ", 5)},  // past the NUL: the NUL and spaces
              {"ab\xc3\xa8", 10, 4, L"ab\uFFFD"},          // a character cut in half
              {"", 0, 1, L""}};  // the sizing call's empty text still has room for the NUL
  for (const auto& row : rows) {
    std::wstring text(static_cast<std::size_t>(row.capacity), L' ');
    int32_t length = row.capacity;
    WithOutText(text, length, [&](char* buffer, int32_t* size) {
      EXPECT_EQ(*size, row.capacity) << "told the buffer's size, not that with its NUL";
      std::memcpy(buffer, row.written.c_str(), row.written.size() + 1);  // a NUL after the text
      *size = row.reportedLength;
      return 0;
    });
    EXPECT_EQ(text, row.kept) << row.written << " " << row.reportedLength;
    EXPECT_EQ(length, row.reportedLength);
  }
  std::setlocale(LC_ALL, "C");
}

const std::string kScratchLibrary = std::filesystem::temp_directory_path() /
                                    ("corvane-" + std::to_string(getpid()) + "-" TAVRIX_FILE_NAME);

// A copy cut short, as an interrupted copy or a full disk leaves it, would be answered by the
// system loader with SIGBUS; it must be reported like a missing file, naming it, at every call.
TEST(Module1, LoadsAtTheFirstCallAndReportsAMissingOrCutFileAtEvery) {
  Module1 standIn;
  EXPECT_FALSE(standIn.IsLoaded());
  std::wstring version(40, L' ');
  int32_t length = 40;
  EXPECT_EQ(standIn.TvxGetVersion(version, length), 0);
  EXPECT_TRUE(standIn.IsLoaded());

  const auto expectFatal = [](const std::string& file, const char* entry = "",
                              bool loaded = false) {
    Module1 binding(file);
    for (int attempt = 0; attempt < 2; ++attempt) {
      EXPECT_THAT([&] { binding.TvxInitialize(); },
                  ThrowsMessage<ReaderLibraryMissing>(AllOf(HasSubstr(file), HasSubstr(entry))));
    }
    EXPECT_EQ(binding.IsLoaded(), loaded);
  };
  expectFatal("libTavrixNowhere.so");
  expectFatal("libc.so.6", "TvxInitialize", true);
  std::ifstream standInFile(
      std::filesystem::read_symlink("/proc/self/exe").replace_filename(TAVRIX_FILE_NAME),
      std::ios::binary);
  const std::string whole{std::istreambuf_iterator<char>(standInFile), {}};
  Elf64_Ehdr header{};
  ASSERT_GT(whole.size(), sizeof header);
  std::memcpy(&header, whole.data(), sizeof header);
  // Cuts in the ELF header, in the program headers and at each segment's last byte.
  std::vector<std::size_t> cuts = {
      sizeof header / 2, header.e_phoff + std::size_t{header.e_phnum} * header.e_phentsize / 2};
  std::size_t fileEnd = 0, memoryEnd = 0, note = 0;
  for (std::size_t i = 0; i < header.e_phnum; ++i) {
    const std::size_t at = header.e_phoff + i * header.e_phentsize;
    Elf64_Phdr segment;
    std::memcpy(&segment, whole.data() + at, sizeof segment);
    if (segment.p_type == PT_NOTE) note = at;
    if (segment.p_type != PT_LOAD) continue;
    cuts.push_back(segment.p_offset + segment.p_filesz - 1);
    fileEnd = std::max<std::size_t>(fileEnd, segment.p_offset + segment.p_filesz);
    memoryEnd = std::max<std::size_t>(memoryEnd, segment.p_vaddr + segment.p_memsz);
  }
  // As a fully stripped library comes: no section table, so a cut shows only in its segments.
  std::string sectionless = whole;
  Elf64_Ehdr stripped = header;
  stripped.e_shoff = stripped.e_shnum = stripped.e_shstrndx = 0;
  std::memcpy(sectionless.data(), &stripped, sizeof stripped);
  const auto expectCutFatal = [&](const std::string& library, std::size_t cut) {
    SCOPED_TRACE("cut after " + std::to_string(cut) + " bytes");
    std::ofstream(kScratchLibrary, std::ios::binary | std::ios::trunc)
        .write(library.data(), static_cast<std::streamsize>(cut));
    expectFatal(kScratchLibrary);
  };
  for (const std::size_t cut : cuts) expectCutFatal(sectionless, cut);
  // A cut in the section headers only, and the file opened as descriptor 0, as by a program
  // started with its input closed.
  const int input = ::dup(0);
  ::close(0);
  expectCutFatal(whole, whole.size() - 1);
  ::dup2(input, 0);  // fails harmlessly if there was no input to close
  ::close(input);
  // Stripped, a library may end in a segment with no bytes in the file, only zero-filled memory,
  // placed at the file's very end: that loads. Last, as it stays loaded.
  ASSERT_NE(note, 0u) << "no note segment to make the empty one of";
  sectionless.resize(fileEnd);
  // A page past the others, at the file offset's place within its page, as the loader asks.
  const Elf64_Addr address = ((memoryEnd + 0x1fff) & ~Elf64_Addr{0xfff}) + fileEnd % 0x1000;
  const Elf64_Phdr empty{PT_LOAD, PF_R | PF_W, fileEnd, address, address, 0, 0x1000, 0x1000};
  std::memcpy(sectionless.data() + note, &empty, sizeof empty);
  std::ofstream(kScratchLibrary, std::ios::binary | std::ios::trunc) << sectionless;
  EXPECT_NO_THROW(Module1(kScratchLibrary).TvxInitialize());
  std::filesystem::remove(kScratchLibrary);
}

}  // namespace
}  // namespace corvane
