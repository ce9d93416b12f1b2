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

class EndToEndTest : public ::testing::Test {
 protected:
  EndToEndTest() { EXPECT_TRUE(m_program.Open() && testing::ShowActive(m_program.Window())); }

  // Batch, serial and status, as the operator reads them.
  QString Shown() {
    return m_program.Find<QLineEdit>("Text1").text() + u' ' +
           m_program.Find<QLineEdit>("Text2").text() + u' ' +
           m_program.Find<QLabel>("Label5").text();
  }
  ::testing::AssertionResult Shows(const QString& expected) {
    if (testing::WaitUntil([&] { return Shown() == expected; })) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "shows " << Shown().toStdString();
  }
  void Pick(const QString& port) {
    auto& ports = m_program.Find<QComboBox>("cbCom");
    if (ports.findText(port) < 0) ports.addItem(port);
    ports.setCurrentIndex(ports.findText(port));
  }
  void Click(const char* name) {
    QTest::mouseClick(&m_program.Find<QPushButton>(name), Qt::LeftButton);
  }
  // Start, the port list, Stop: enabled or not.
  std::string Enabled() {
    std::string states;
    for (const char* name : {"btAttiva", "cbCom", "btDisattiva"}) {
      states += m_program.Find<QWidget>(name).isEnabled() ? '1' : '0';
    }
    return states;
  }
  static constexpr const char* kIdle = "110";
  static constexpr const char* kReading = "001";

  testing::QtProgram m_program{Module1::Instance()};
};

TEST_F(EndToEndTest, SerialReaderOnAPseudoTerminal) {
  testing::PtyPair reader;
  const QString port = QString::fromStdString(reader.SlavePath());
  Pick(port);
  Click("btAttiva");
  ASSERT_EQ(Enabled(), kReading);
  ASSERT_TRUE(Shows(QStringLiteral("  Attivo")));

  reader.Write(testing::Frame("0A1B2C3D4E"));
  EXPECT_TRUE(Shows(QStringLiteral("010 0455884110 Lettura OK")));
  reader.Write("\x02" + std::string("0A1B2C3D4E00\x03"));  // a bad checksum keeps the last badge
  EXPECT_TRUE(Shows(QStringLiteral("010 0455884110 Errore in lettura tessera")));

  reader.HangUp();
  ASSERT_TRUE(testing::WaitUntil([&] { return !m_program.Messages().isEmpty(); }));
  EXPECT_TRUE(m_program.Messages().front().contains(port))
      << m_program.Messages().front().toStdString();
  EXPECT_EQ(Enabled(), kReading);

  Click("btDisattiva");
  EXPECT_TRUE(Shows(QStringLiteral("010 0455884110 Disabilitato")));
  EXPECT_EQ(Enabled(), kIdle);
  EXPECT_EQ(m_program.Messages().size(), 1);
}

}  // namespace
}  // namespace corvane::qt
