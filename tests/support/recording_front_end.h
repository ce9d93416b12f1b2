// A toolkit's front end whose message box records, so that no box blocks the run.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "front_end.h"

namespace corvane::testing {

class RecordingMsgBox final : public MsgBox {
 public:
  void Show(const std::wstring& text) override { texts.push_back(text); }
  std::vector<std::wstring> texts;
};

template <typename Toolkit>
class RecordingFrontEnd final : public FrontEnd {
 public:
  template <typename... Arguments>
  explicit RecordingFrontEnd(Arguments&&... arguments)
      : m_toolkit(std::forward<Arguments>(arguments)...) {}

  Form1Controls Controls() override { return m_toolkit.Controls(); }
  MsgBox& Messages() override { return messages; }
  std::shared_ptr<UiDispatcher> Dispatcher() override { return m_toolkit.Dispatcher(); }
  void Show() override { m_toolkit.Show(); }
  int RunLoop() override { return m_toolkit.RunLoop(); }
  void Quit(int status) override { m_toolkit.Quit(status); }
  void Close() override { m_toolkit.Close(); }

  const Toolkit& Wrapped() const { return m_toolkit; }
  RecordingMsgBox messages;

 private:
  Toolkit m_toolkit;
};

}  // namespace corvane::testing
