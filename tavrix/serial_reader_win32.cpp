// A reader on a Windows COM port: one thread waiting on an overlapped read
// and a wake event, so it costs nothing while no badge comes, and Stop
// cancels the pending read with CancelIoEx (a blocking read could not be
// cancelled at all).
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "serial_reader.h"

namespace tavrix {
namespace {

// A read waits for the first byte however long it takes, then returns once
// the line has been quiet this long: a frame takes 17 ms at 9600 baud, and
// the decoder joins frames split across reads anyway.
constexpr DWORD kQuietLineMs = 20;

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : m_handle(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.m_handle) {
    other.m_handle = nullptr;
  }
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      m_handle = other.m_handle;
      other.m_handle = nullptr;
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  HANDLE Get() const { return m_handle; }
  bool Valid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
  void Reset() {
    if (Valid()) CloseHandle(m_handle);
    m_handle = nullptr;
  }

 private:
  HANDLE m_handle = nullptr;
};

struct PortOpening {
  UniqueHandle port;
  int32_t status = TVX_FAILED;
};

std::string DevicePath(const std::string& port) {
  // COM10 and above only open by their device path; the path works for all.
  return port.rfind("\\\\.\\", 0) == 0 ? port : "\\\\.\\" + port;
}

// 9600 8N1, no flow control, every byte as it comes.
bool ConfigureLine(HANDLE port) {
  DCB line{};
  line.DCBlength = sizeof line;
  if (GetCommState(port, &line) == FALSE) return false;
  line.BaudRate = CBR_9600;
  line.ByteSize = 8;
  line.Parity = NOPARITY;
  line.StopBits = ONESTOPBIT;
  line.fBinary = TRUE;
  line.fParity = FALSE;
  line.fOutxCtsFlow = FALSE;
  line.fOutxDsrFlow = FALSE;
  line.fDsrSensitivity = FALSE;
  line.fOutX = FALSE;
  line.fInX = FALSE;
  line.fErrorChar = FALSE;
  line.fNull = FALSE;
  line.fAbortOnError = FALSE;
  // Readers powered from DTR/RTS want them on; ports without modem lines
  // (virtual ones, some adapters) refuse that, which is no reason not to read.
  line.fDtrControl = DTR_CONTROL_ENABLE;
  line.fRtsControl = RTS_CONTROL_ENABLE;
  if (SetCommState(port, &line) == FALSE) {
    line.fDtrControl = DTR_CONTROL_DISABLE;
    line.fRtsControl = RTS_CONTROL_DISABLE;
    if (SetCommState(port, &line) == FALSE) return false;
  }
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = kQuietLineMs;
  if (SetCommTimeouts(port, &timeouts) == FALSE) return false;
  SetupComm(port, 4096, 4096);
  PurgeComm(port, PURGE_RXCLEAR | PURGE_RXABORT);
  return true;
}

PortOpening OpenSerialPort(const std::string& port) {
  UniqueHandle handle(CreateFileA(DevicePath(port).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
  if (!handle.Valid()) {
    const DWORD error = GetLastError();
    const bool absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                        error == ERROR_INVALID_NAME || error == ERROR_BAD_PATHNAME;
    return {UniqueHandle(), absent ? TVX_FAILED : TVX_PORT_UNUSABLE};
  }
  // Not a serial line (a file or another device under that name).
  if (!ConfigureLine(handle.Get())) return {UniqueHandle(), TVX_PORT_UNUSABLE};
  return {std::move(handle), TVX_OK};
}

class Win32SerialReader final : public SerialReaderBase {
 public:
  Win32SerialReader(std::string port, UniqueHandle handle, UniqueHandle wake, UniqueHandle readDone,
                    std::shared_ptr<ReaderOutput> output)
      : SerialReaderBase(std::move(port), std::move(output)),
        m_port(std::move(handle)),
        m_wake(std::move(wake)),
        m_readDone(std::move(readDone)) {}
  ~Win32SerialReader() override { Stop(); }

 protected:
  bool PortOpen() const override { return m_port.Valid(); }
  void ClosePort() override { m_port.Reset(); }
  bool Reopen() override {
    PortOpening opening = OpenSerialPort(PortName());
    if (opening.status != TVX_OK) return false;
    m_port = std::move(opening.port);
    return true;
  }

  // Any thread: the reader's own thread cancels its read when it wakes.
  void Wake() override { SetEvent(m_wake.Get()); }

  bool ReadUntilLost() override {
    for (;;) {
      DWORD count = 0;
      switch (ReadSome(count)) {
        case ReadOutcome::Stopped:
          return false;
        case ReadOutcome::Lost:
          return true;
        case ReadOutcome::Data:
          break;
      }
      if (count > 0) Feed({m_buffer, count});
      CheckLeave();
      if (StopRequested()) return false;
    }
  }

 private:
  enum class ReadOutcome { Data, Stopped, Lost };

  ReadOutcome ReadSome(DWORD& count) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = m_readDone.Get();
    ResetEvent(m_readDone.Get());
    if (ReadFile(m_port.Get(), m_buffer, sizeof m_buffer, nullptr, &overlapped) == FALSE &&
        GetLastError() != ERROR_IO_PENDING) {
      return ReadOutcome::Lost;
    }
    const HANDLE events[2] = {m_readDone.Get(), m_wake.Get()};
    const DWORD woke = WaitForMultipleObjects(2, events, FALSE, WaitMs());
    if (woke != WAIT_OBJECT_0) {
      // Woken for Stop, or a badge's leave time came: the read must end
      // before its buffer and OVERLAPPED go out of scope.
      CancelIoEx(m_port.Get(), &overlapped);
    }
    const BOOL finished = GetOverlappedResult(m_port.Get(), &overlapped, &count, TRUE);
    if (woke == WAIT_OBJECT_0 + 1 || StopRequested()) return ReadOutcome::Stopped;
    if (finished == FALSE) {
      count = 0;
      return GetLastError() == ERROR_OPERATION_ABORTED ? ReadOutcome::Data : ReadOutcome::Lost;
    }
    return ReadOutcome::Data;
  }

  DWORD WaitMs() const {
    const int64_t left = LeaveTimeoutMs();
    return left < 0 ? INFINITE : static_cast<DWORD>(left);
  }

  UniqueHandle m_port;
  UniqueHandle m_wake;      // manual reset: once set for Stop, it stays set
  UniqueHandle m_readDone;  // the overlapped read's event
  char m_buffer[256] = {};
};

}  // namespace

OpenedReader OpenSerialReader(const std::string& port, std::shared_ptr<ReaderOutput> output) {
  PortOpening opening = OpenSerialPort(port);
  if (opening.status != TVX_OK) return {opening.status, nullptr};
  UniqueHandle wake(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  UniqueHandle readDone(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!wake.Valid() || !readDone.Valid()) return {TVX_FAILED, nullptr};
  return {TVX_OK,
          std::make_unique<Win32SerialReader>(port, std::move(opening.port), std::move(wake),
                                              std::move(readDone), std::move(output))};
}

}  // namespace tavrix
