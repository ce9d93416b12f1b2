// Module1 against real shared libraries: the stand-in, a scripted one that
// lacks an entry point, one that does not exist and copies cut short. First,
// the text rules it converts with.
#include <dlfcn.h>
#include <elf.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "module1.h"
#include "reader_callback.h"
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
  for (const auto& c : cases) {
    EXPECT_EQ(Characters(c.text, c.start, c.count), c.expected)
        << testing::PrintToString(std::wstring(c.text)) << ", " << c.start << ", " << c.count;
  }
}

TEST(TextRules, ConversionsFollowTheLocaleAndMarkWhatDoesNotFit) {
  ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
  const std::wstring text = L"Porta COM3 \u00e8 occupata \u20ac";
  EXPECT_EQ(ToAnsi(text).size(), text.size() + 1 + 2);
  EXPECT_EQ(FromAnsi(ToAnsi(text)), text);
  EXPECT_EQ(FromAnsi("ab\xc3"), L"ab\uFFFD");                  // a character cut in half
  EXPECT_EQ(FromAnsi(std::string("\xff") + "x"), L"\uFFFDx");  // never valid
  EXPECT_EQ(FromAnsi(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(ToAnsi(L"COM\u00e83"), "COM?3");
}

constexpr const char* kScripted = "libTavrixScripted.so";

std::string BesideTests(const std::string& fileName) {
  return std::filesystem::read_symlink("/proc/self/exe").replace_filename(fileName);
}

// An extra function of the scripted library that a Module1 has loaded.
template <typename Function>
Function* Scripted(const char* name) {
  void* library = dlopen(BesideTests(kScripted).c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (library == nullptr) return nullptr;
  void* address = dlsym(library, name);
  dlclose(library);  // the Module1 still holds it
  return reinterpret_cast<Function*>(address);
}

// Loaded at the first call, not before. Missing, or cut short as an
// interrupted copy or a full disk leaves it (which the system loader would
// answer with SIGBUS): a fatal error naming the file, at every call.
TEST(Module1, LoadsAtTheFirstCallAndReportsAMissingOrCutShortFileAtEvery) {
  Module1 standIn;
  EXPECT_FALSE(standIn.IsLoaded());
  std::wstring version(40, L' ');
  int32_t length = 40;
  EXPECT_EQ(standIn.TvxGetVersion(version, length), 0);
  EXPECT_TRUE(standIn.IsLoaded());

  const auto expectFatal = [](const std::string& file) {
    Module1 binding(file);
    for (int attempt = 0; attempt < 2; ++attempt) {
      EXPECT_THAT([&] { binding.TvxInitialize(); },
                  ThrowsMessage<ReaderLibraryMissing>(HasSubstr(file)));
    }
    EXPECT_FALSE(binding.IsLoaded());
  };
  expectFatal("libTavrixNowhere.so");
  std::ifstream original(BesideTests(TAVRIX_FILE_NAME), std::ios::binary);
  const std::string whole{std::istreambuf_iterator<char>(original), {}};
  Elf64_Ehdr header{};
  ASSERT_GT(whole.size(), sizeof header);
  std::memcpy(&header, whole.data(), sizeof header);
  // Cut in the ELF header, after it, in the program headers, each segment, the section headers.
  std::vector<std::size_t> cuts = {
      sizeof header / 2, sizeof header,
      header.e_phoff + std::size_t{header.e_phnum} * header.e_phentsize / 2, whole.size() - 1};
  for (std::size_t i = 0; i < header.e_phnum; ++i) {
    Elf64_Phdr segment{};
    std::memcpy(&segment, whole.data() + header.e_phoff + i * header.e_phentsize, sizeof segment);
    if (segment.p_type == PT_LOAD) cuts.push_back(segment.p_offset + segment.p_filesz / 2);
  }
  const std::string copy = std::filesystem::temp_directory_path() /
                           ("corvane-cut-" + std::to_string(getpid()) + "-" TAVRIX_FILE_NAME);
  for (const std::size_t cut : cuts) {
    SCOPED_TRACE("cut after " + std::to_string(cut) + " bytes");
    std::ofstream(copy, std::ios::binary | std::ios::trunc)
        .write(whole.data(), static_cast<std::streamsize>(cut));
    expectFatal(copy);
  }
  std::filesystem::remove(copy);
}

TEST(Module1, MissingEntryPointIsAFatalErrorNamingIt) {
  Module1 binding(kScripted);
  EXPECT_EQ(binding.TvxInitialize(), 17);
  EXPECT_THAT([&] { binding.TvxStop(3); }, ThrowsMessage<ReaderLibraryMissing>(
                                               AllOf(HasSubstr("TvxStop"), HasSubstr(kScripted))));
  EXPECT_EQ(binding.TvxInitialize(), 17) << "the library stays usable";
}

// Run under AddressSanitizer, these also prove that a library filling the
// whole buffer and its NUL stays inside what the binding handed it.
TEST(Module1, TextsCrossAsLocaleStringsAndOutTextsKeepOnlyWhatTheLengthVouchesFor) {
  ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
  const struct {
    std::string written;
    int32_t reportedLength;
    std::wstring kept;
  } rows[] = {{"USB", 4, L"USB"},
              {"0123456789", 500, L"0123456789"},
              {"USB", -9, L""},
              {"USB", 1, L""},
              {"USB", 6, std::wstring(L"USB\0 ", 5)},  // past the NUL: the NUL and spaces
              {"ab\xc3\xa8", 4, L"ab\uFFFD"}};         // bytes are cut, then decoded
  Module1 binding(kScripted);
  binding.TvxInitialize();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.written + " " + std::to_string(row.reportedLength));
    Scripted<void(const char*, int32_t, int32_t)>("ScriptOutText")(
        row.written.data(), static_cast<int32_t>(row.written.size()), row.reportedLength);
    std::wstring text(10, L' ');
    int32_t length = 10;
    binding.TvxUSBCOMPort(text, length);
    EXPECT_EQ(text, row.kept);
    EXPECT_EQ(length, row.reportedLength);
    EXPECT_EQ(Scripted<int32_t()>("LastCapacity")(), 10)
        << "the library is told the buffer's size, not the size with its NUL";
  }
  // The sizing call's empty text still lends the library a buffer for its NUL,
  // which this library writes.
  std::wstring empty;
  int32_t none = 0;
  EXPECT_EQ(binding.TvxPortsAvailable(empty, none), 0);
  // The port goes the other way, as a NUL-terminated locale string.
  EXPECT_EQ(binding.TvxStartCallBack(L"/dev/tty\u00e8", &ReaderCallBack, 0), 3);
  EXPECT_STREQ(Scripted<const char*()>("LastPort")(), "/dev/tty\xc3\xa8");
  std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace corvane
