// The out-text conversion with arbitrary lengths and bytes: KeptBytes and
// FromAnsi on their own, Characters on the result, and Module1 against a scripted
// library that writes any bytes and reports any length. Nothing may read past
// a buffer, and the caller may never keep more than the length vouches for.
#include <dlfcn.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <climits>
#include <clocale>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "module1.h"
#include "text_rules.h"

namespace {

constexpr const char* kScriptLibrary = "libTavrixScripted.so";
using ScriptFunction = void (*)(const char* bytes, int32_t count, int32_t reportedLength);

std::string BesideMe(const char* file) {
  char path[PATH_MAX];
  const ssize_t written = ::readlink("/proc/self/exe", path, sizeof path - 1);
  FUZZ_CHECK(written > 0);
  std::string folder(path, static_cast<std::size_t>(written));
  return folder.substr(0, folder.rfind('/') + 1) + file;
}

ScriptFunction g_script = nullptr;

corvane::Module1& Binding() {
  static corvane::Module1 binding(kScriptLibrary);
  return binding;
}

void CheckConversion(FuzzedDataProvider& input) {
  const auto length = input.ConsumeIntegral<int32_t>();
  const std::string bytes = input.ConsumeRandomLengthString(512);
  const std::size_t kept = corvane::KeptBytes(length, bytes.size());
  FUZZ_CHECK(kept <= bytes.size());
  FUZZ_CHECK(length <= 1 ? kept == 0 : kept <= static_cast<std::size_t>(length) - 1);

  // Exactly the kept bytes, in a buffer of their own, so ASan sees any read
  // past them.
  const std::string keptBytes(bytes.data(), kept);
  const std::wstring text = corvane::FromAnsi(keptBytes);
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
  std::wstring text;
  const std::size_t characters = input.ConsumeIntegralInRange<std::size_t>(0, 300);
  const bool spaces = input.ConsumeBool();
  for (std::size_t index = 0; index < characters; ++index) {
    text.push_back(spaces ? L' ' : static_cast<wchar_t>(input.ConsumeIntegral<uint32_t>()));
  }
  const auto reported = input.ConsumeIntegral<int32_t>();
  const std::string bytes = input.ConsumeRandomLengthString(600);
  g_script(bytes.data(), static_cast<int32_t>(bytes.size()), reported);

  const std::size_t capacity = corvane::ToAnsi(text).size();
  int32_t length = static_cast<int32_t>(capacity);
  Binding().TvxGetLastCardData(1, text, length);
  FUZZ_CHECK(length == reported);
  FUZZ_CHECK(text.size() <= corvane::KeptBytes(reported, capacity));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::setlocale(LC_ALL, "C.UTF-8");
  // The same file Module1 loads, so both see one copy of the script.
  void* library = ::dlopen(BesideMe(kScriptLibrary).c_str(), RTLD_NOW);
  FUZZ_CHECK(library != nullptr);
  g_script = reinterpret_cast<ScriptFunction>(::dlsym(library, "ScriptOutText"));
  FUZZ_CHECK(g_script != nullptr);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  if (input.ConsumeBool()) {
    CheckConversion(input);
  } else {
    CheckModule1(input);
  }
  return 0;
}
