#include "form1.h"

#include "tavrix.h"
#include "text_rules.h"

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

}  // namespace

Form1::Form1(const Form1Controls& controls, MsgBox& msgBox, ReaderLibrary& library,
             TvxNotify readerCallBack)
    : btDisattiva(controls.btDisattiva),
      btAttiva(controls.btAttiva),
      cbCom(controls.cbCom),
      Label5(controls.Label5),
      Text1(controls.Text1),
      Text2(controls.Text2),
      m_msgBox(msgBox),
      m_library(library),
      m_readerCallBack(readerCallBack) {}

void Form1::Form_Load() {
  FillPortList();
  if (m_library.TvxInitialize() < 0) m_msgBox.Show(kInitializeError);
}

void Form1::Form_Terminate() { m_library.TvxUninitialize(); }

void Form1::FillPortList() {
  std::wstring listText;
  cbCom.Clear();

  int32_t length = 0;
  if (m_library.TvxPortsAvailable(listText, length) != TVX_BUFFER_TOO_SMALL || length <= 0 ||
      length > kLongestPortList) {
    m_msgBox.Show(kPortListError);
    return;
  }
  listText.assign(static_cast<std::size_t>(length), L' ');
  if (m_library.TvxPortsAvailable(listText, length) != TVX_OK) {
    m_msgBox.Show(kPortListError);
    return;
  }
  listText = Characters(listText, 1, int64_t{length} - 1);

  // Every comma separates two entries: empty entries stay, and so does the
  // library's order.
  for (auto comma = listText.find(L','); comma != std::wstring::npos; comma = listText.find(L',')) {
    cbCom.Append(listText.substr(0, comma));
    listText.erase(0, comma + 1);
  }
  cbCom.Append(listText);

  int32_t usbLength = kUsbPortNameBuffer;
  std::wstring usbPortName(kUsbPortNameBuffer, L' ');
  if (m_library.TvxUSBCOMPort(usbPortName, usbLength) != TVX_OK) {
    m_msgBox.Show(kUsbPortNameError);
  }
  usbPortName = Characters(usbPortName, 1, int64_t{usbLength} - 1);

  const int entries = cbCom.Count();
  for (int index = 0; index < entries; ++index) {
    if (cbCom.EntryAt(index) == usbPortName) {
      cbCom.Select(index);
      break;
    }
  }
}

void Form1::CallBackBadge(int32_t HReader, int32_t Wparam, int32_t /*Lparam*/,
                          int32_t /*UserData*/) {
  switch (Wparam) {
    case TVX_EVENT_BAD_READ:
      Label5.SetCaption(kStatusBadRead);
      break;
    case TVX_EVENT_ERROR: {
      std::wstring errorText(kFetchBuffer, L' ');
      int32_t length = kFetchBuffer;
      if (m_library.TvxGetLastError(HReader, errorText, length) < 0) {
        m_msgBox.Show(kLastErrorError);
      } else {
        m_msgBox.Show(Characters(errorText, 1, int64_t{length} - 1));
      }
      break;
    }
    case TVX_EVENT_CARD: {
      std::wstring card(kFetchBuffer, L' ');
      int32_t length = kFetchBuffer;
      if (m_library.TvxGetLastCardData(HReader, card, length) < 0) {
        m_msgBox.Show(kLastCardError);
      } else {
        DecodeCard(Characters(card, 1, int64_t{length} - 1));
        Label5.SetCaption(kStatusReadOk);
      }
      break;
    }
    case TVX_EVENT_READING:
      Label5.SetCaption(kStatusActive);
      break;
    case TVX_EVENT_CARD_GONE:
      break;
    default:
      Label5.SetCaption(kStatusUnknownCode);
      break;
  }
}

void Form1::DecodeCard(const std::wstring& card) {
  Text1.SetText(Characters(card, 1, 3));
  Text2.SetText(Characters(card, 4, 10));
}

void Form1::btAttiva_Click() {
  const std::wstring port = cbCom.Text();
  ReaderHandle = m_library.TvxStartCallBack(port, m_readerCallBack, 0);
  if (ReaderHandle > 0) {
    btAttiva.SetEnabled(false);
    btDisattiva.SetEnabled(true);
    cbCom.SetEnabled(false);
  } else if (ReaderHandle == TVX_PORT_UNUSABLE) {
    m_msgBox.Show(kPortUnusable);
  } else {
    m_msgBox.Show(kReaderNotStarted);
  }
}

void Form1::btDisattiva_Click() {
  m_library.TvxStop(ReaderHandle);
  Label5.SetCaption(kStatusDisabled);
  btAttiva.SetEnabled(true);
  btDisattiva.SetEnabled(false);
  cbCom.SetEnabled(true);
}

}  // namespace corvane
