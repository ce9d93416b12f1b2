// The program's run and its one fatal policy, over fake controls and a fake
// event loop.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

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
using ::testing::IsEmpty;
using ::testing::Not;

class FakeFrontEnd final : public FrontEnd {
 public:
  FakeForm form;
  std::vector<std::wstring> events;  // Show, Close, Quit(n), in order
  std::function<int()> loop = [] { return 0; };
  std::optional<int> quitStatus;

  ControlSet& Controls() override { return form.controls; }
  MsgBox& Messages() override { return form.msgBox; }
  std::shared_ptr<UiDispatcher> Dispatcher() override { return m_dispatcher; }
  void Show() override { events.push_back(L"Show"); }
  int RunLoop() override { return loop(); }
  void Quit(int status) override {
    events.push_back(L"Quit(" + std::to_wstring(status) + L")");
    quitStatus = status;
  }
  void Close() override { events.push_back(L"Close"); }

 private:
  std::shared_ptr<UiDispatcher> m_dispatcher = std::make_shared<ScriptedDispatcher>();
};

struct Program {
  FakeFrontEnd frontEnd;
  FakeReaderLibrary library;

  Program() { library.portList = L"USB,SIM"; }
  int Run() {
    ProgramShell shell(frontEnd, library);
    return shell.Run();
  }
  void Badge() { ReaderCallBack(5, TVX_EVENT_CARD, 0, 0); }
};

TEST(ProgramShell, ClosingWhileReadingUninitialisesWithoutStopping) {
  Program program;
  program.frontEnd.loop = [&] {
    program.frontEnd.form.btAttiva.Click();
    program.Badge();
    return 143;
  };

  EXPECT_EQ(program.Run(), 143);

  EXPECT_EQ(program.frontEnd.form.Text2.text, L"1234567890");
  EXPECT_THAT(program.frontEnd.events, ElementsAre(L"Show", L"Close"));
  EXPECT_EQ(program.library.calls.back(), L"TvxUninitialize");
  EXPECT_THAT(program.library.calls, Not(Contains(L"TvxStop(5)")));
  // After the window's end a notification reaches nothing.
  program.Badge();
  EXPECT_EQ(program.library.calls.back(), L"TvxUninitialize");
}

TEST(ProgramShell, StartUpMessagesComeBeforeTheWindowWhichThenShowsReady) {
  Program program;
  program.library.sizingResult = -1;
  program.library.initializeResult = -1;
  std::vector<std::size_t> eventsSeenByEachMessage;
  program.frontEnd.form.msgBox.whileShown = [&](const std::wstring&) {
    eventsSeenByEachMessage.push_back(program.frontEnd.events.size());
  };

  EXPECT_EQ(program.Run(), 0);

  EXPECT_THAT(program.frontEnd.form.msgBox.shown,
              ElementsAre(L"Errore leggendo elenco porte", L"Errore in inizializzazione API"));
  EXPECT_THAT(eventsSeenByEachMessage, ElementsAre(0u, 0u));  // before Show
  EXPECT_THAT(program.frontEnd.events, ElementsAre(L"Show", L"Close"));
  EXPECT_TRUE(program.frontEnd.form.btAttiva.enabled);
}

TEST(ProgramShell, MissingLibraryIsReportedBeforeAnyWindowAndNotLoadedAgain) {
  Program program;
  program.library.loaded = false;
  program.library.missing = L"TvxPortsAvailable";
  ::testing::internal::CaptureStderr();

  EXPECT_EQ(program.Run(), kExitFatal);

  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Corvane: missing: TvxPortsAvailable(0)\n");
  EXPECT_THAT(program.frontEnd.form.msgBox.shown, ElementsAre(L"missing: TvxPortsAvailable(0)"));
  EXPECT_THAT(program.frontEnd.events, ElementsAre(L"Close"));
  EXPECT_THAT(program.library.calls, ElementsAre(L"TvxPortsAvailable(0)"));
}

TEST(ProgramShell, TheFirstReportStaysUntilAnsweredWhateverArrivesMeanwhile) {
  Program program;
  program.library.missing = L"TvxGetLastCardData";
  FakeForm& form = program.frontEnd.form;
  form.msgBox.whileShown = [&](const std::wstring&) {
    // More badges and a click on Stop while the report is up: none of them
    // may show a second box or end the program under it.
    program.Badge();
    program.Badge();
    form.btDisattiva.Click();
    EXPECT_FALSE(program.frontEnd.quitStatus.has_value());
  };
  program.frontEnd.loop = [&] {
    form.btAttiva.Click();
    program.Badge();
    return program.frontEnd.quitStatus.value_or(-1);
  };
  ::testing::internal::CaptureStderr();

  EXPECT_EQ(program.Run(), kExitFatal);

  EXPECT_THAT(::testing::internal::GetCapturedStderr(), HasSubstr("TvxGetLastCardData(5,255)"));
  EXPECT_EQ(form.msgBox.shown.size(), 1u);
  EXPECT_THAT(program.frontEnd.events, ElementsAre(L"Show", L"Quit(2)", L"Close"));
  EXPECT_THAT(program.library.calls, Not(Contains(L"TvxStop(5)")));
  EXPECT_EQ(program.library.calls.back(), L"TvxUninitialize");
}

TEST(ProgramShell, FailuresAfterTheLoopAndUnknownOnesAreReportedToo) {
  Program program;
  program.library.missing = L"TvxUninitialize";
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(program.Run(), kExitFatal);
  EXPECT_THAT(::testing::internal::GetCapturedStderr(), HasSubstr("TvxUninitialize"));
  EXPECT_EQ(program.frontEnd.form.msgBox.shown.size(), 1u);

  EXPECT_EQ(ProgramShell::Describe(std::make_exception_ptr(42)), L"Errore sconosciuto");
}

}  // namespace
}  // namespace corvane::testing
