// The program's run and its one fatal policy, over fakes and a fake event loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "fake_controls.h"
#include "fake_reader_library.h"
#include "program_shell.h"
#include "scripted_dispatcher.h"

namespace corvane::testing {
namespace {

// Its event loop sees a click on Start and a badge, then ends as by SIGTERM unless quit.
struct Program final : FrontEnd {
  FakeForm form;
  FakeReaderLibrary library;
  std::vector<std::wstring> events;  // Show, Quit(n), Close, in order
  std::optional<int> quitStatus;
  std::string errors;  // what the run wrote to stderr
  const std::shared_ptr<UiDispatcher> dispatcher = std::make_shared<ScriptedDispatcher>();

  int Run() {
    ::testing::internal::CaptureStderr();
    const int status = ProgramShell(*this, library).Run();
    errors = ::testing::internal::GetCapturedStderr();
    return status;
  }
  static void Badge() { ReaderCallBack(5, TVX_EVENT_CARD, 0, 0); }

  Form1Controls Controls() override { return form.controls.ForForm1(); }
  MsgBox& Messages() override { return form.msgBox; }
  std::shared_ptr<UiDispatcher> Dispatcher() override { return dispatcher; }
  void Show() override { events.push_back(L"Show"); }
  int RunLoop() override {
    form.btAttiva.Click();
    Badge();
    return quitStatus.value_or(143);
  }
  void Quit(int status) override {
    quitStatus = status;
    events.push_back(L"Quit(" + std::to_wstring(status) + L")");
  }
  void Close() override { events.push_back(L"Close"); }
};

// Closing while reading uninitialises without stopping the reader, and a
// notification after the window's end reaches nothing.
TEST(ProgramShell, StartUpMessagesThenClosingWhileReading) {
  for (const int32_t initialized : {-1, 0}) {  // judged by its sign alone
    Program program;
    program.library.sizingResult = -1;
    program.library.initializeResult = initialized;
    program.form.msgBox.whileShown = [&](const std::wstring&) {
      EXPECT_TRUE(program.events.empty()) << "shown after the window";
    };
    EXPECT_EQ(program.Run(), 143);
    EXPECT_EQ(program.form.msgBox.shown.size(), initialized < 0 ? 2u : 1u);
    EXPECT_EQ(program.form.Text2.text, L"1234567890");
    EXPECT_EQ(program.events, (Journal{L"Show", L"Close"}));
    EXPECT_EQ(std::ranges::count(program.library.calls, L"TvxStop(5)"), 0);
    Program::Badge();
    EXPECT_EQ(program.library.calls.back(), L"TvxUninitialize");
  }
}

// A library call failing for good anywhere gives the one report, on stderr
// and in one box that no click or badge while it is up gets past.
TEST(ProgramShell, TheOneReportStaysUntilAnsweredWhateverArrivesMeanwhile) {
  const struct {
    const char* missing;
    bool loaded;  // the library file was found
    std::vector<std::wstring> events;
  } rows[] = {{"TvxPortsAvailable(0)", false, {L"Close"}},
              {"TvxStartCallBack()", true, {L"Show", L"Quit(2)", L"Close"}},
              {"TvxGetLastCardData(5,255)", true, {L"Show", L"Quit(2)", L"Close"}},
              {"TvxUninitialize", true, {L"Show", L"Close"}}};  // no Quit after the loop
  for (const auto& row : rows) {
    const std::wstring missing = FromAnsi(row.missing);
    Program program;
    program.library.missing = missing;
    program.library.loaded = row.loaded;
    program.form.msgBox.whileShown = [&](const std::wstring&) {
      Program::Badge();
      program.form.btAttiva.Click();
      program.form.btDisattiva.Click();
      EXPECT_FALSE(program.quitStatus.has_value());
    };
    EXPECT_EQ(program.Run(), kExitFatal);
    EXPECT_EQ(program.errors, "Corvane: missing: " + std::string(row.missing) + "\n");
    EXPECT_EQ(program.form.msgBox.shown, Journal{L"missing: " + missing});
    EXPECT_EQ(program.events, row.events);
    EXPECT_EQ(std::ranges::count(program.library.calls, missing), 1);
    // A library that never loaded is not loaded again to be uninitialised.
    EXPECT_EQ(program.library.calls.back(), row.loaded ? L"TvxUninitialize" : missing);
  }
  EXPECT_EQ(ProgramShell::Describe(std::make_exception_ptr(42)), L"Errore sconosciuto");
}

}  // namespace
}  // namespace corvane::testing
