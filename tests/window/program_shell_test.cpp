// The program's run and its one fatal policy, over fake controls and a fake
// event loop.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "fake_controls.h"
#include "fake_reader_library.h"
#include "program_shell.h"
#include "scripted_dispatcher.h"

namespace corvane::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

// A front end whose event loop is what the test says, over a scripted library.
struct Program final : FrontEnd {
  FakeForm form;
  FakeReaderLibrary library;
  std::vector<std::wstring> events;  // Show, Quit(n), Close, in order
  std::function<int()> loop = [] { return 0; };
  std::optional<int> quitStatus;
  std::string errors;  // what the run wrote to stderr

  int Run() {
    ::testing::internal::CaptureStderr();
    const int status = ProgramShell(*this, library).Run();
    errors = ::testing::internal::GetCapturedStderr();
    return status;
  }
  static void Badge() { ReaderCallBack(5, TVX_EVENT_CARD, 0, 0); }

  Form1Controls Controls() override { return form.controls.ForForm1(); }
  MsgBox& Messages() override { return form.msgBox; }
  std::shared_ptr<UiDispatcher> Dispatcher() override { return m_dispatcher; }
  void Show() override { events.push_back(L"Show"); }
  int RunLoop() override { return loop(); }
  void Quit(int status) override {
    quitStatus = status;
    events.push_back(L"Quit(" + std::to_wstring(status) + L")");
  }
  void Close() override { events.push_back(L"Close"); }

 private:
  std::shared_ptr<UiDispatcher> m_dispatcher = std::make_shared<ScriptedDispatcher>();
};

TEST(ProgramShell, ClosingWhileReadingUninitialisesWithoutStopping) {
  Program program;
  program.loop = [&] {
    program.form.btAttiva.Click();
    Program::Badge();
    return 143;
  };
  EXPECT_EQ(program.Run(), 143);
  EXPECT_EQ(program.form.Text2.text, L"1234567890");
  EXPECT_THAT(program.events, ElementsAre(L"Show", L"Close"));
  EXPECT_EQ(program.library.calls.back(), L"TvxUninitialize");
  EXPECT_THAT(program.library.calls, Not(Contains(L"TvxStop(5)")));
  // After the window's end a notification reaches nothing.
  Program::Badge();
  EXPECT_EQ(program.library.calls.back(), L"TvxUninitialize");
}

// Initialize is judged by its sign alone, and reported after the port list.
TEST(ProgramShell, StartUpMessagesComeBeforeTheWindowWhichThenShowsReady) {
  for (const int32_t result : {-1, -100, 0, 1, 7}) {
    Program program;
    program.library.sizingResult = -1;
    program.library.initializeResult = result;
    std::vector<std::size_t> eventsSeenByEachMessage;
    program.form.msgBox.whileShown = [&](const std::wstring&) {
      eventsSeenByEachMessage.push_back(program.events.size());
    };
    EXPECT_EQ(program.Run(), 0);
    std::vector<std::wstring> expected{L"Errore leggendo elenco porte"};
    if (result < 0) expected.push_back(L"Errore in inizializzazione API");
    EXPECT_EQ(program.form.msgBox.shown, expected) << result;
    EXPECT_EQ(eventsSeenByEachMessage,
              std::vector<std::size_t>(expected.size(), 0));  // before Show
    EXPECT_THAT(program.events, ElementsAre(L"Show", L"Close"));
    EXPECT_TRUE(program.form.btAttiva.enabled);
  }
}

TEST(ProgramShell, MissingLibraryIsReportedBeforeAnyWindowAndNotLoadedAgain) {
  Program program;
  program.library.loaded = false;
  program.library.missing = L"TvxPortsAvailable";
  EXPECT_EQ(program.Run(), kExitFatal);
  EXPECT_EQ(program.errors, "Corvane: missing: TvxPortsAvailable(0)\n");
  EXPECT_THAT(program.form.msgBox.shown, ElementsAre(L"missing: TvxPortsAvailable(0)"));
  EXPECT_THAT(program.events, ElementsAre(L"Close"));
  EXPECT_THAT(program.library.calls, ElementsAre(L"TvxPortsAvailable(0)"));
}

// From a click or from a notification: the report is the program's one, and
// none of the clicks or badges while it is up reaches the window's logic.
TEST(ProgramShell, TheFirstReportStaysUntilAnsweredWhateverArrivesMeanwhile) {
  for (const std::string missing : {"TvxStartCallBack()", "TvxGetLastCardData(5,255)"}) {
    Program program;
    program.library.missing = std::wstring(missing.begin(), missing.end());
    program.form.msgBox.whileShown = [&](const std::wstring&) {
      Program::Badge();
      program.form.btAttiva.Click();
      program.form.btDisattiva.Click();
      EXPECT_FALSE(program.quitStatus.has_value());
    };
    program.loop = [&] {
      program.form.btAttiva.Click();
      Program::Badge();
      return program.quitStatus.value_or(-1);
    };
    EXPECT_EQ(program.Run(), kExitFatal);
    EXPECT_THAT(program.errors, HasSubstr(missing));
    EXPECT_EQ(program.form.msgBox.shown.size(), 1u);
    EXPECT_THAT(program.events, ElementsAre(L"Show", L"Quit(2)", L"Close"));
    EXPECT_EQ(std::ranges::count(program.library.calls, *program.library.missing), 1);
    EXPECT_THAT(program.library.calls, Not(Contains(L"TvxStop(5)")));
    EXPECT_EQ(program.library.calls.back(), L"TvxUninitialize");
  }
}

TEST(ProgramShell, FailuresAfterTheLoopAndUnknownOnesAreReportedToo) {
  Program program;
  program.library.missing = L"TvxUninitialize";
  EXPECT_EQ(program.Run(), kExitFatal);
  EXPECT_THAT(program.errors, HasSubstr("TvxUninitialize"));
  EXPECT_EQ(program.form.msgBox.shown.size(), 1u);
  EXPECT_THAT(program.events, ElementsAre(L"Show", L"Close")) << "no Quit once the loop is over";
  EXPECT_EQ(ProgramShell::Describe(std::make_exception_ptr(42)), L"Errore sconosciuto");
}

}  // namespace
}  // namespace corvane::testing
