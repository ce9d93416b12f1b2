// The C boundary: the ten entry points. Nothing here may let an exception
// out, since the caller may be any language or runtime.
#include "tavrix.h"

#include <exception>
#include <string_view>

#include "library_state.h"
#include "port_list.h"
#include "tavrix_port_names.h"

namespace {

constexpr std::string_view kVersion = TAVRIX_VERSION;

template <typename Body>
int32_t Guarded(Body body) noexcept {
  try {
    return body();
  } catch (...) {
    return TVX_FAILED;
  }
}

tavrix::LibraryState& State() { return tavrix::LibraryState::Instance(); }

}  // namespace

extern "C" {

TVX_EXPORT int32_t TVX_CALL TvxInitialize(void) {
  return Guarded([] { return State().Initialize(); });
}

TVX_EXPORT int32_t TVX_CALL TvxUninitialize(void) {
  return Guarded([] { return State().Uninitialize(); });
}

TVX_EXPORT int32_t TVX_CALL TvxPortsAvailable(char* text, int32_t* length) {
  return Guarded([&] {
    static tavrix::PortListOffer offer;
    return offer.Offer(text, length);
  });
}

TVX_EXPORT int32_t TVX_CALL TvxUSBCOMPort(char* text, int32_t* length) {
  return Guarded([&] { return tavrix::CopyOutText(tavrix::kUsbPort.narrow, text, length); });
}

TVX_EXPORT int32_t TVX_CALL TvxStartCallBack(const char* port, TvxNotify notify, int32_t userData) {
  return Guarded([&] {
    if (port == nullptr || notify == nullptr) return static_cast<int32_t>(TVX_FAILED);
    return State().Start(port, notify, userData);
  });
}

TVX_EXPORT int32_t TVX_CALL TvxStop(int32_t reader) {
  return Guarded([&] { return State().Stop(reader); });
}

TVX_EXPORT int32_t TVX_CALL TvxGetLastError(int32_t reader, char* text, int32_t* length) {
  return Guarded([&] {
    const auto output = State().Find(reader);
    if (!output) return static_cast<int32_t>(TVX_FAILED);
    return tavrix::CopyOutText(output->LastError(), text, length);
  });
}

TVX_EXPORT int32_t TVX_CALL TvxGetLastCardData(int32_t reader, char* text, int32_t* length) {
  return Guarded([&] {
    const auto output = State().Find(reader);
    if (!output) return static_cast<int32_t>(TVX_FAILED);
    const auto cardData = output->LastCardData();
    if (!cardData) return static_cast<int32_t>(TVX_FAILED);
    return tavrix::CopyOutText(*cardData, text, length);
  });
}

TVX_EXPORT int32_t TVX_CALL TvxGetVersion(char* text, int32_t* length) {
  return Guarded([&] { return tavrix::CopyOutText(kVersion, text, length); });
}

TVX_EXPORT int32_t TVX_CALL TvxStart(const char* port) {
  return Guarded([&] {
    if (port == nullptr) return static_cast<int32_t>(TVX_FAILED);
    return State().Start(port, nullptr, 0);
  });
}

}  // extern "C"
