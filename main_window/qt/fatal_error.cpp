#include "main_window/qt/fatal_error.h"

#include <QCoreApplication>
#include <atomic>
#include <cstdio>

#include "main_window/qt/qt_msg_box.h"

namespace corvane::qtui {
namespace {

std::atomic<bool> g_reported{false};

}  // namespace

void ReportFatalError(const std::exception& error) {
  if (g_reported.exchange(true)) {
    return;
  }
  const QString line = QString::fromLocal8Bit(error.what());
  std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
  std::fflush(stderr);
  ShowMessageBox(nullptr, line);
}

bool FatalErrorReported() { return g_reported.load(); }

void EndProgramOnFatalError(const std::exception& error) {
  ReportFatalError(error);
  QCoreApplication::exit(kExitFatalError);
}

}  // namespace corvane::qtui
