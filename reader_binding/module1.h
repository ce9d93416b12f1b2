// Module1: the reader library's entry points as the program sees them.
//
// The library file is loaded at the first call of any entry point and each
// entry point is resolved at its own first call; both stay bound until the
// process ends. A missing file or entry point throws ReaderLibraryMissing.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "library_loader.h"
#include "reader_library.h"

namespace corvane {

class Module1 final : public ReaderLibrary {
 public:
  // `fileName` is looked for beside the executable first, then where the
  // system looks.
  explicit Module1(std::string fileName = TAVRIX_FILE_NAME);

  // The process-wide binding to the reader library.
  static Module1& Instance();

  bool IsLoaded() const override { return m_loader.IsLoaded(); }

  int32_t TvxInitialize() override;
  int32_t TvxUninitialize() override;
  int32_t TvxPortsAvailable(std::wstring& text, int32_t& length) override;
  int32_t TvxUSBCOMPort(std::wstring& text, int32_t& length) override;
  int32_t TvxGetLastError(int32_t reader, std::wstring& text, int32_t& length) override;
  int32_t TvxGetLastCardData(int32_t reader, std::wstring& text, int32_t& length) override;
  int32_t TvxGetVersion(std::wstring& text, int32_t& length) override;
  int32_t TvxStartCallBack(const std::wstring& port, TvxNotify notify, int32_t userData) override;
  int32_t TvxStop(int32_t reader) override;
  int32_t TvxStart(const std::wstring& port) override;

 private:
  LibraryLoader m_loader;
};

}  // namespace corvane
