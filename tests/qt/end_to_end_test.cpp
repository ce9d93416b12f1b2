// The whole program but main(): the Qt window, the real Module1 and the
// stand-in reader library, notifications through ReaderCallBack and the Qt
// dispatcher, a pseudo-terminal or the simulated reader playing the badge
// reader.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>
#include <string>

#include "frames.h"
#include "pty_pair.h"
#include "module1.h"
#include "qt_program.h"
#include "qt_test_support.h"

namespace corvane::qt {
namespace {

class EndToEndTest : public ::testing::Test {
 protected:
  EndToEndTest() {
    EXPECT_TRUE(m_program->Open());
    EXPECT_TRUE(testing::ShowActive(m_program->Window()));
  }

  template <typename Widget>
  Widget& Find(const char* name) {
    return m_program->Find<Widget>(name);
  }
  QString Status() { return Find<QLabel>("Label5").text(); }
  QString Batch() { return Find<QLineEdit>("Text1").text(); }
  QString Serial() { return Find<QLineEdit>("Text2").text(); }

  void Pick(const QString& port) {
    auto& ports = Find<QComboBox>("cbCom");
    if (ports.findText(port) < 0) ports.addItem(port);
    ports.setCurrentIndex(ports.findText(port));
  }
  void Click(const char* button) { QTest::mouseClick(&Find<QPushButton>(button), Qt::LeftButton); }
  // Start, the port list, Stop: enabled or not.
  std::string Enabled() {
    std::string states;
    for (const char* name : {"btAttiva", "cbCom", "btDisattiva"}) {
      states += Find<QWidget>(name).isEnabled() ? '1' : '0';
    }
    return states;
  }
  static constexpr const char* kIdle = "110";
  static constexpr const char* kReading = "001";

  std::unique_ptr<testing::QtProgram> m_program =
      std::make_unique<testing::QtProgram>(Module1::Instance());
};

TEST_F(EndToEndTest, StartUpListsThePortsAndSelectsUsb) {
  auto& ports = Find<QComboBox>("cbCom");
  EXPECT_EQ(ports.currentText(), QStringLiteral("USB"));
  EXPECT_GE(ports.findText(QStringLiteral("SIM")), 0);
  EXPECT_LT(ports.findText(QStringLiteral("COM1")), 0);  // the creation-time entries are gone
  EXPECT_TRUE(m_program->Messages().isEmpty()) << m_program->Messages().join(u'|').toStdString();
}

TEST_F(EndToEndTest, SerialReaderOnAPseudoTerminal) {
  testing::PtyPair reader;
  const QString port = QString::fromStdString(reader.SlavePath());
  Pick(port);
  Click("btAttiva");
  ASSERT_EQ(Enabled(), kReading);
  ASSERT_TRUE(testing::WaitUntil([&] { return Status() == QStringLiteral("Attivo"); }))
      << Status().toStdString();

  reader.Write(testing::Frame("0A1B2C3D4E"));
  EXPECT_TRUE(testing::WaitUntil([&] {
    return Batch() == QStringLiteral("010") && Serial() == QStringLiteral("0455884110") &&
           Status() == QStringLiteral("Lettura OK");
  })) << Batch().toStdString()
      << " " << Serial().toStdString() << " " << Status().toStdString();

  reader.Write(
      "\x02"
      "0A1B2C3D4E00\x03");  // a bad checksum
  EXPECT_TRUE(testing::WaitUntil([&] {
    return Status() == QStringLiteral("Errore in lettura tessera");
  })) << Status().toStdString();
  EXPECT_EQ(Serial(), QStringLiteral("0455884110"));  // a bad read keeps the last badge

  reader.HangUp();
  ASSERT_TRUE(testing::WaitUntil([&] { return !m_program->Messages().isEmpty(); }));
  EXPECT_TRUE(m_program->Messages().front().contains(port))
      << m_program->Messages().front().toStdString();
  EXPECT_EQ(Enabled(), kReading);

  Click("btDisattiva");
  EXPECT_EQ(Status(), QStringLiteral("Disabilitato"));
  EXPECT_EQ(Enabled(), kIdle);
  EXPECT_EQ(m_program->Messages().size(), 1);
}

// Closing while reading ends it through the library's uninitialisation
// (Form1's own tests prove it calls no TvxStop), and whatever the reader still
// notifies finds no window.
TEST_F(EndToEndTest, SimulatedReaderPresentsBadgesAndClosingWhileReadingUninitialises) {
  Pick(QStringLiteral("SIM"));
  Click("btAttiva");
  ASSERT_EQ(Enabled(), kReading);
  // The simulator presents its first badge about two seconds after Start.
  EXPECT_TRUE(testing::WaitUntil([&] {
    return Batch().size() == 3 && Serial().size() == 10 && Status() == QStringLiteral("Lettura OK");
  })) << Batch().toStdString()
      << " " << Serial().toStdString() << " " << Status().toStdString();
  Click("btDisattiva");
  EXPECT_EQ(Status(), QStringLiteral("Disabilitato"));
  EXPECT_EQ(Enabled(), kIdle);
  EXPECT_TRUE(m_program->Messages().isEmpty()) << m_program->Messages().join(u'|').toStdString();

  Click("btAttiva");
  ASSERT_TRUE(testing::WaitUntil([&] { return Status() == QStringLiteral("Attivo"); }));
  m_program->Window().close();
  EXPECT_EQ(m_program->Close(), 0);
  EXPECT_EQ(Module1::Instance().TvxStart(L"SIM"), -1) << "the library is still initialised";
  QCoreApplication::processEvents();
}

}  // namespace
}  // namespace corvane::qt
