// Form1: the window's logic, free of any toolkit.
//
// Everything here runs on the UI thread. Reader library calls that cannot find
// the library or an entry point throw ReaderLibraryMissing; the program shell
// reports that at one place and ends the program.
#pragma once

#include <cstdint>
#include <string>

#include "controls.h"
#include "reader_callback.h"
#include "reader_library.h"

namespace corvane {

class Form1 final {
 public:
  // The controls must outlive the window; `readerCallBack` is the
  // notification function handed to the library at Start (the program passes
  // ReaderCallBack).
  Form1(const Form1Controls& controls, MsgBox& msgBox, ReaderLibrary& library,
        TvxNotify readerCallBack = &ReaderCallBack);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  void Form_Load();
  void Form_Terminate();

  void btAttiva_Click();
  void btDisattiva_Click();

  void CallBackBadge(int32_t HReader, int32_t Wparam, int32_t Lparam, int32_t UserData);
  void DecodeCard(const std::wstring& card);

  int32_t CurrentReaderHandle() const { return ReaderHandle; }

 private:
  void FillPortList();

  Button& btDisattiva;
  Button& btAttiva;
  ComboBox& cbCom;
  Label& Label5;
  TextBox& Text1;
  TextBox& Text2;
  MsgBox& m_msgBox;
  ReaderLibrary& m_library;
  TvxNotify m_readerCallBack;
  int32_t ReaderHandle = 0;
};

}  // namespace corvane
