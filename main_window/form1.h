// Form1: the window's logic, free of any toolkit.
//
// Everything here runs on the UI thread. Reader library calls that cannot find
// the library or an entry point throw ReaderLibraryMissing; the front end
// reports that at one place and ends the program.
#pragma once

#include <cstdint>
#include <string>

#include "main_window/controls.h"
#include "reader_binding/reader_callback.h"
#include "reader_binding/reader_library.h"

namespace corvane {

struct Form1Controls {
  Button& btDisattiva;
  Button& btAttiva;
  ComboBox& cbCom;
  Label& Label2;
  Label& Label4;
  Label& Label5;
  Label& Label1;
  TextBox& Text1;
  Label& Label3;
  TextBox& Text2;
  MsgBox& msgBox;
};

class Form1 final : public NotificationTarget {
 public:
  // `readerCallBack` is the notification function handed to the library at
  // Start; the program passes ReaderCallBack. The new window becomes the
  // single instance that notifications reach.
  Form1(const Form1Controls& controls, ReaderLibrary& library,
        TvxNotify readerCallBack = &ReaderCallBack);
  ~Form1() override;
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // The live window, or nullptr.
  static Form1* Instance();

  void Form_Load();
  void Form_Terminate();

  void btAttiva_Click();
  void btDisattiva_Click();

  void CallBackBadge(int32_t HReader, int32_t Wparam, int32_t Lparam, int32_t UserData) override;
  void DecodeCard(const std::wstring& card);

  int32_t CurrentReaderHandle() const { return ReaderHandle; }

 private:
  void FillPortList();

  Form1Controls m_controls;
  ReaderLibrary& m_library;
  TvxNotify m_readerCallBack;
  int32_t ReaderHandle = 0;
};

}  // namespace corvane
