// Windows port discovery: the COM ports the registry's SERIALCOMM map lists.
// Drivers add a value there for every port they create, named after the
// device ("\Device\Serial0", "\Device\VCP0", "\Device\USBSER000") and holding
// the COM name; the key is missing on a machine that has no port at all.
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <utility>
#include <vector>

#include "port_list.h"

namespace tavrix {
namespace {

struct RegisteredPort {
  std::wstring device;  // the value's name
  std::string name;     // "COM5"
};

// Device names of the usual USB serial adapter drivers.
constexpr const wchar_t* kUsbDeviceMarks[] = {L"USB", L"VCP", L"SILABSER", L"CH341"};

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string narrow(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size,
                      nullptr, nullptr);
  return narrow;
}

std::wstring Upper(std::wstring text) {
  for (wchar_t& character : text) character = static_cast<wchar_t>(std::towupper(character));
  return text;
}

bool IsUsbDevice(const std::wstring& device) {
  const std::wstring upper = Upper(device);
  return std::any_of(std::begin(kUsbDeviceMarks), std::end(kUsbDeviceMarks),
                     [&](const wchar_t* mark) { return upper.find(mark) != std::wstring::npos; });
}

std::vector<RegisteredPort> RegisteredPorts() {
  std::vector<RegisteredPort> ports;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE,
                    &key) != ERROR_SUCCESS) {
    return ports;
  }
  for (DWORD index = 0;; ++index) {
    wchar_t device[256];
    DWORD deviceLength = 256;
    wchar_t data[64];
    DWORD dataBytes = sizeof data;
    DWORD type = 0;
    const LONG result = RegEnumValueW(key, index, device, &deviceLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data), &dataBytes);
    if (result == ERROR_NO_MORE_ITEMS) break;
    // A value too long for a COM name is no port of ours; skip it.
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    // Registry strings need not end in a NUL.
    std::wstring name(data, dataBytes / sizeof(wchar_t));
    name.erase(std::find(name.begin(), name.end(), L'\0'), name.end());
    if (!name.empty()) ports.push_back({std::wstring(device, deviceLength), Narrow(name)});
  }
  RegCloseKey(key);
  std::sort(ports.begin(), ports.end(),
            [](const RegisteredPort& left, const RegisteredPort& right) {
              return NaturalLess(left.name, right.name);
            });
  ports.erase(std::unique(ports.begin(), ports.end(),
                          [](const RegisteredPort& left, const RegisteredPort& right) {
                            return left.name == right.name;
                          }),
              ports.end());
  return ports;
}

}  // namespace

std::vector<std::string> ListSerialPorts() {
  std::vector<std::string> names;
  for (auto& port : RegisteredPorts()) names.push_back(std::move(port.name));
  return names;
}

std::optional<std::string> FirstUsbSerialPort() {
  for (auto& port : RegisteredPorts()) {
    if (IsUsbDevice(port.device)) return std::move(port.name);
  }
  return std::nullopt;
}

}  // namespace tavrix
