#include "program_shell.h"

#include <cstdio>
#include <utility>

#include "form1_layout.h"
#include "text_rules.h"

namespace corvane {
namespace {

constexpr const wchar_t* kUnknownFailure = L"Errore sconosciuto";

}  // namespace

ProgramShell::ProgramShell(FrontEnd& frontEnd, ReaderLibrary& library)
    : m_frontEnd(frontEnd),
      m_library(library),
      m_form(frontEnd.Controls(), frontEnd.Messages(), library) {
  const Form1Controls controls = m_frontEnd.Controls();
  controls.btAttiva.SetClickHandler([this] { Guarded([this] { m_form.btAttiva_Click(); }); });
  controls.btDisattiva.SetClickHandler([this] { Guarded([this] { m_form.btDisattiva_Click(); }); });
  SetUiDispatcher(m_frontEnd.Dispatcher());
  SetNotificationTarget(this);
}

ProgramShell::~ProgramShell() { Close(0); }

int ProgramShell::Run() {
  int loopStatus = kExitFatal;
  if (Open()) {
    m_looping = true;
    loopStatus = m_frontEnd.RunLoop();
    m_looping = false;
  }
  return Close(loopStatus);
}

bool ProgramShell::Open() {
  try {
    m_form.Form_Load();
  } catch (...) {
    Fail(std::current_exception());
    return false;
  }
  m_frontEnd.Show();
  return true;
}

int ProgramShell::Close(int loopStatus) {
  if (!m_closed) {
    m_closed = true;
    // The window's end: notifications still on their way find no window.
    SetNotificationTarget(nullptr);
    m_frontEnd.Close();
    // Reading still running is not stopped first: uninitialising the library
    // ends it. A library that never loaded has nothing to uninitialise, and
    // trying would only load it a second time.
    if (m_library.IsLoaded()) {
      try {
        m_form.Form_Terminate();
      } catch (...) {
        Fail(std::current_exception());
      }
    }
    SetUiDispatcher(nullptr);
  }
  return m_failure != nullptr ? kExitFatal : loopStatus;
}

std::wstring ProgramShell::Describe(std::exception_ptr failure) {
  try {
    std::rethrow_exception(std::move(failure));
  } catch (const std::exception& error) {
    return FromAnsi(error.what());
  } catch (...) {
    return kUnknownFailure;
  }
}

void ProgramShell::CallBackBadge(int32_t HReader, int32_t Wparam, int32_t Lparam,
                                 int32_t UserData) {
  Guarded([&] { m_form.CallBackBadge(HReader, Wparam, Lparam, UserData); });
}

template <typename Work>
void ProgramShell::Guarded(Work&& work) noexcept {
  if (m_failure != nullptr) return;
  try {
    work();
  } catch (...) {
    Fail(std::current_exception());
  }
}

void ProgramShell::Fail(std::exception_ptr failure) noexcept {
  if (m_failure != nullptr) return;
  m_failure = std::move(failure);
  try {
    const std::wstring description = Describe(m_failure);
    std::fprintf(stderr, "%ls: %ls\n", layout::kApplicationTitle, description.c_str());
    std::fflush(stderr);
    // Modal: events keep flowing while it is up, but none reaches Form1 now.
    m_frontEnd.Messages().Show(description);
  } catch (...) {
    // Nothing more can be said; the exit status still tells.
  }
  if (m_looping) m_frontEnd.Quit(kExitFatal);
}

}  // namespace corvane
