// The whole program but main(): the Qt window, the real Module1 and the
// stand-in reader library, notifications through ReaderCallBack and the Qt
// dispatcher, a pseudo-terminal playing the badge reader.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <string>

#include "frames.h"
#include "module1.h"
#include "pty_pair.h"
#include "qt_program.h"
#include "qt_test_support.h"

namespace corvane::qt {
namespace {

TEST(EndToEnd, SerialReaderOnAPseudoTerminal) {
  testing::QtProgram program{Module1::Instance()};
  ASSERT_TRUE(program.Open() && testing::ShowActive(program.Window()));
  // Batch, serial and status, as the operator reads them.
  const auto shown = [&] {
    return program.Find<QLineEdit>("Text1").text() + u' ' +
           program.Find<QLineEdit>("Text2").text() + u' ' + program.Find<QLabel>("Label5").text();
  };
  const auto shows = [&](const char* expected) {
    return testing::WaitUntil([&] { return shown() == QString::fromUtf8(expected); });
  };
  const auto click = [&](const char* button) {
    QTest::mouseClick(&program.Find<QPushButton>(button), Qt::LeftButton);
  };
  // Start, the port list, Stop: enabled or not.
  const auto enabled = [&] {
    std::string states;
    for (const char* name : {"btAttiva", "cbCom", "btDisattiva"}) {
      states += program.Find<QWidget>(name).isEnabled() ? '1' : '0';
    }
    return states;
  };

  testing::PtyPair reader;
  const QString port = QString::fromStdString(reader.SlavePath());
  auto& ports = program.Find<QComboBox>("cbCom");
  ports.addItem(port);
  ports.setCurrentIndex(ports.count() - 1);
  click("btAttiva");
  ASSERT_EQ(enabled(), "001");
  ASSERT_TRUE(shows("  Attivo")) << shown().toStdString();

  reader.Write(testing::Frame("0A1B2C3D4E"));
  EXPECT_TRUE(shows("010 0455884110 Lettura OK")) << shown().toStdString();
  reader.Write("\x02" + std::string("0A1B2C3D4E00\x03"));  // a bad checksum keeps the last badge
  EXPECT_TRUE(shows("010 0455884110 Errore in lettura tessera")) << shown().toStdString();

  reader.HangUp();
  ASSERT_TRUE(testing::WaitUntil([&] { return !program.Messages().isEmpty(); }));
  EXPECT_TRUE(program.Messages().front().contains(port))
      << program.Messages().front().toStdString();
  EXPECT_EQ(enabled(), "001");

  click("btDisattiva");
  EXPECT_TRUE(shows("010 0455884110 Disabilitato")) << shown().toStdString();
  EXPECT_EQ(enabled(), "110");
  EXPECT_EQ(program.Messages().size(), 1);
}

}  // namespace
}  // namespace corvane::qt
