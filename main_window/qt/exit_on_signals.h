// SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C in the terminal that started
// the program, a closed terminal) end the program the way closing its window
// does: the event loop ends, then the window and Form_Terminate, so the reader
// library is uninitialised. The exit status is the one a shell expects of a
// program ended by the signal: kSignalExitBase + its number.
#pragma once

#include <QObject>

#include "front_end.h"

class QSocketNotifier;

namespace corvane::qt {

inline constexpr int kSignalExitBase = 128;

class ExitOnSignals final : public QObject {
 public:
  // Needs a QApplication. One at a time; the signals' earlier handling comes
  // back when it is destroyed.
  explicit ExitOnSignals(FrontEnd& frontEnd);
  ~ExitOnSignals() override;
  ExitOnSignals(const ExitOnSignals&) = delete;
  ExitOnSignals& operator=(const ExitOnSignals&) = delete;

 private:
  void OnSignalled();

  FrontEnd& m_frontEnd;
  QSocketNotifier* m_notifier = nullptr;
};

}  // namespace corvane::qt
