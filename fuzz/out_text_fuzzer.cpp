// The out-text conversion with arbitrary lengths and bytes: KeptBytes and
// FromAnsi on their own, Characters on the result, and Module1 against a scripted
// library that writes any bytes and reports any length. Nothing may read past
// a buffer, and the caller may never keep more than the length vouches for.
#include <dlfcn.h>
#include <fuzzer/FuzzedDataProvider.h>

#include <clocale>
#include <cstdint>
#include <filesystem>
#include <string>

#include "fuzz_check.h"
#include "module1.h"
#include "text_rules.h"

namespace {

void (*g_script)(const char* bytes, int32_t count, int32_t reportedLength) = nullptr;
corvane::Module1* g_binding = nullptr;

void CheckConversion(FuzzedDataProvider& input) {
  const auto length = input.ConsumeIntegral<int32_t>();
  const std::string bytes = input.ConsumeRandomLengthString(512);
  const std::size_t kept = corvane::KeptBytes(length, bytes.size());
  FUZZ_CHECK(kept <= bytes.size());
  FUZZ_CHECK(length <= 1 ? kept == 0 : kept <= static_cast<std::size_t>(length) - 1);
  // Exactly the kept bytes, in a buffer of their own, so ASan sees any read
  // past them.
  const std::wstring text = corvane::FromAnsi(std::string(bytes.data(), kept));
  FUZZ_CHECK(text.size() <= kept);

  const auto start = input.ConsumeIntegral<int64_t>();
  const auto count = input.ConsumeIntegral<int64_t>();
  const std::wstring part = corvane::Characters(text, start, count);
  FUZZ_CHECK(part.size() <= text.size());
  FUZZ_CHECK(count <= 0 || part.size() <= static_cast<uint64_t>(count));
}

void CheckModule1(FuzzedDataProvider& input) {
  // The caller's text may hold any characters, not only spaces, and any
  // number of them; code points beyond Unicode included.
  const auto characters = input.ConsumeIntegralInRange<std::size_t>(0, 300);
  const bool spaces = input.ConsumeBool();
  std::wstring text;
  while (text.size() < characters) {
    text.push_back(spaces ? L' ' : static_cast<wchar_t>(input.ConsumeIntegral<uint32_t>()));
  }
  const auto reported = input.ConsumeIntegral<int32_t>();
  const std::string bytes = input.ConsumeRandomLengthString(600);
  g_script(bytes.data(), static_cast<int32_t>(bytes.size()), reported);

  const std::size_t capacity = corvane::ToAnsi(text).size();
  int32_t length = static_cast<int32_t>(capacity);
  g_binding->TvxGetLastCardData(1, text, length);
  FUZZ_CHECK(length == reported);
  FUZZ_CHECK(text.size() <= corvane::KeptBytes(reported, capacity));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::setlocale(LC_ALL, "C.UTF-8");
  // The file Module1 loads, so both see one copy of the script.
  const auto library =
      std::filesystem::read_symlink("/proc/self/exe").parent_path() / "libTavrixScripted.so";
  g_binding = new corvane::Module1(library.string());
  g_script = reinterpret_cast<decltype(g_script)>(
      ::dlsym(::dlopen(library.c_str(), RTLD_NOW), "ScriptOutText"));
  FUZZ_CHECK(g_script != nullptr);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  input.ConsumeBool() ? CheckConversion(input) : CheckModule1(input);
  return 0;
}
