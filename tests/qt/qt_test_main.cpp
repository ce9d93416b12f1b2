// One QApplication for every test, offscreen unless the developer picked a
// platform to watch the windows on.
#include <gtest/gtest.h>

#include <QApplication>

#include "reader_callback.h"
#include "qt_test_support.h"

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);

  // As the program does: notifications from reader threads reach the UI
  // through the Qt dispatcher. A failure reported from posted work fails the
  // test that caused it.
  corvane::testing::InstallDispatcher();
  const int result = RUN_ALL_TESTS();
  corvane::SetUiDispatcher(nullptr);
  return result;
}
