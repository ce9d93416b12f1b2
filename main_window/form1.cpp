#include "main_window/form1.h"

#include "reader_binding/text_rules.h"

namespace corvane {
namespace {

// Messages and status texts, as the operator reads them.
constexpr const wchar_t* kPortListError = L"Errore leggendo elenco porte";
constexpr const wchar_t* kUsbPortNameError = L"Errore leggendo nome porta usb";
constexpr const wchar_t* kInitializeError = L"Errore in inizializzazione API";
constexpr const wchar_t* kLastErrorError = L"Errore in GetLastError";
constexpr const wchar_t* kLastCardError = L"Errore in GetLastCard";
constexpr const wchar_t* kPortUnusable = L"Porta seriale non utilizzabile";
constexpr const wchar_t* kReaderNotStarted = L"Impossibile inizializzare il lettore";
constexpr const wchar_t* kStatusBadRead = L"Errore in lettura tessera";
constexpr const wchar_t* kStatusReadOk = L"Lettura OK";
constexpr const wchar_t* kStatusActive = L"Attivo";
constexpr const wchar_t* kStatusUnknownCode = L"Codice sconosciuto";
constexpr const wchar_t* kStatusDisabled = L"Disabilitato";

constexpr int32_t kUsbPortNameBuffer = 10;
constexpr int32_t kFetchBuffer = 255;
// A library that asks for more than this for its port list is answering
// nonsense; taking it at its word would try to allocate gigabytes.
constexpr int32_t kLongestPortList = 65536;

constexpr int32_t kEventBadRead = 5;
constexpr int32_t kEventError = 6;
constexpr int32_t kEventCard = 7;
constexpr int32_t kEventActive = 8;
constexpr int32_t kEventCardGone = 9;

constexpr int32_t kPortUnusableResult = -2;
constexpr int32_t kBufferTooSmall = -3;

Form1* g_instance = nullptr;

}  // namespace

Form1::Form1(const Form1Controls& controls, ReaderLibrary& library, TvxNotify readerCallBack)
    : m_controls(controls), m_library(library), m_readerCallBack(readerCallBack) {
  g_instance = this;
  SetNotificationTarget(this);
}

Form1::~Form1() {
  if (g_instance == this) {
    g_instance = nullptr;
    SetNotificationTarget(nullptr);
  }
}

Form1* Form1::Instance() { return g_instance; }

void Form1::Form_Load() {
  FillPortList();
  if (m_library.TvxInitialize() < 0) m_controls.msgBox.Show(kInitializeError);
}

void Form1::Form_Terminate() { m_library.TvxUninitialize(); }

void Form1::FillPortList() {
  std::wstring listText;
  m_controls.cbCom.Clear();

  int32_t length = 0;
  if (m_library.TvxPortsAvailable(listText, length) != kBufferTooSmall || length <= 0 ||
      length > kLongestPortList) {
    m_controls.msgBox.Show(kPortListError);
    return;
  }
  listText.assign(static_cast<std::size_t>(length), L' ');
  if (m_library.TvxPortsAvailable(listText, length) != 0) {
    m_controls.msgBox.Show(kPortListError);
    return;
  }
  listText = Mid(listText, 1, int64_t{length} - 1);

  // Every comma separates two entries: empty entries stay, and so does the
  // library's order.
  for (auto comma = listText.find(L','); comma != std::wstring::npos; comma = listText.find(L',')) {
    m_controls.cbCom.AddItem(listText.substr(0, comma));
    listText.erase(0, comma + 1);
  }
  m_controls.cbCom.AddItem(listText);

  int32_t usbLength = kUsbPortNameBuffer;
  std::wstring usbPortName(kUsbPortNameBuffer, L' ');
  if (m_library.TvxUSBCOMPort(usbPortName, usbLength) != 0) {
    m_controls.msgBox.Show(kUsbPortNameError);
  }
  usbPortName = Mid(usbPortName, 1, int64_t{usbLength} - 1);

  const int entries = m_controls.cbCom.ListCount();
  for (int index = 0; index < entries; ++index) {
    if (m_controls.cbCom.List(index) == usbPortName) {
      m_controls.cbCom.SetListIndex(index);
      break;
    }
  }
}

void Form1::CallBackBadge(int32_t HReader, int32_t Wparam, int32_t /*Lparam*/,
                          int32_t /*UserData*/) {
  switch (Wparam) {
    case kEventBadRead:
      m_controls.Label5.SetCaption(kStatusBadRead);
      break;
    case kEventError: {
      std::wstring errorText(kFetchBuffer, L' ');
      int32_t length = kFetchBuffer;
      if (m_library.TvxGetLastError(HReader, errorText, length) < 0) {
        m_controls.msgBox.Show(kLastErrorError);
      } else {
        m_controls.msgBox.Show(Mid(errorText, 1, int64_t{length} - 1));
      }
      break;
    }
    case kEventCard: {
      std::wstring card(kFetchBuffer, L' ');
      int32_t length = kFetchBuffer;
      if (m_library.TvxGetLastCardData(HReader, card, length) < 0) {
        m_controls.msgBox.Show(kLastCardError);
      } else {
        DecodeCard(Mid(card, 1, int64_t{length} - 1));
        m_controls.Label5.SetCaption(kStatusReadOk);
      }
      break;
    }
    case kEventActive:
      m_controls.Label5.SetCaption(kStatusActive);
      break;
    case kEventCardGone:
      break;
    default:
      m_controls.Label5.SetCaption(kStatusUnknownCode);
      break;
  }
}

void Form1::DecodeCard(const std::wstring& card) {
  m_controls.Text1.SetText(Mid(card, 1, 3));
  m_controls.Text2.SetText(Mid(card, 4, 10));
}

void Form1::btAttiva_Click() {
  const std::wstring port = m_controls.cbCom.Text();
  ReaderHandle = m_library.TvxStartCallBack(port, m_readerCallBack, 0);
  if (ReaderHandle > 0) {
    m_controls.btAttiva.SetEnabled(false);
    m_controls.btDisattiva.SetEnabled(true);
    m_controls.cbCom.SetEnabled(false);
  } else if (ReaderHandle == kPortUnusableResult) {
    m_controls.msgBox.Show(kPortUnusable);
  } else {
    m_controls.msgBox.Show(kReaderNotStarted);
  }
}

void Form1::btDisattiva_Click() {
  m_library.TvxStop(ReaderHandle);
  m_controls.Label5.SetCaption(kStatusDisabled);
  m_controls.btAttiva.SetEnabled(true);
  m_controls.btDisattiva.SetEnabled(false);
  m_controls.cbCom.SetEnabled(true);
}

}  // namespace corvane
