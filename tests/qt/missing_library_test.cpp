// The real executable in folders of the test's making: started where the
// reader library or one of its entry points cannot be found, it reports what
// is missing and ends; ended by a signal while reading, it ends as a closed
// window does. No one is at the screen: a test-only Qt plugin answers the
// message boxes and clicks Start.
#include <gtest/gtest.h>

#include <signal.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "exit_on_signals.h"

namespace corvane::qt {
namespace {

constexpr int kRunDeadlineMs = 30000;

enum class Library { None, Real, Empty, Recording, CutShort };

struct LayoutCase {
  const char* name;
  Library besideExecutable;    // bin/
  Library installedLibFolder;  // lib/corvane/, the installed program's own
  Library workingDirectory;    // a folder the program is started from
  const char* reported;        // what the report must name
};

// Makes `folder`, with `library` in it as the reader library.
bool Place(Library library, const QString& folder) {
  const char* sources[] = {nullptr, CORVANE_TAVRIX_FILE, CORVANE_EMPTY_LIBRARY_FILE,
                           CORVANE_RECORDING_LIBRARY_FILE, CORVANE_TAVRIX_FILE};
  const char* source = sources[static_cast<int>(library)];
  const QString target = folder + QStringLiteral("/libTavrix.so");
  return QDir().mkpath(folder) && (source == nullptr || QFile::copy(source, target)) &&
         // An interrupted copy: the first 4 KiB.
         (library != Library::CutShort || QFile::resize(target, 4096));
}

// Copies the executable into root/bin and readies `program` to run it there,
// from root/work, offscreen, with the answering plugin `plugin`.
::testing::AssertionResult Prepare(const QTemporaryDir& root, const QString& plugin,
                                   QProcess& program) {
  // A copy, not a link: the loader resolves $ORIGIN through links.
  const QString executable = root.filePath(QStringLiteral("bin/corvane"));
  if (!QFile::copy(QStringLiteral(CORVANE_EXECUTABLE_FILE), executable)) {
    return ::testing::AssertionFailure() << "cannot copy the executable";
  }
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("LD_LIBRARY_PATH"));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  environment.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(CORVANE_TEST_PLUGIN_PATH));
  environment.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), plugin);
  program.setProcessEnvironment(environment);
  program.setWorkingDirectory(root.filePath(QStringLiteral("work")));
  program.setProgram(executable);
  return ::testing::AssertionSuccess();
}

void ExpectReportAndNonZeroExit(const LayoutCase& layout) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  // The public lib/ folder is nobody's in particular: its library never counts.
  ASSERT_TRUE(Place(Library::Real, root.filePath(QStringLiteral("lib"))) &&
              Place(layout.besideExecutable, root.filePath(QStringLiteral("bin"))) &&
              Place(layout.installedLibFolder, root.filePath(QStringLiteral("lib/corvane"))) &&
              Place(layout.workingDirectory, root.filePath(QStringLiteral("work"))));
  QProcess program;
  ASSERT_TRUE(Prepare(root, QStringLiteral("corvaneautoanswer"), program));
  program.start();
  if (!program.waitForFinished(kRunDeadlineMs)) {
    program.kill();
    program.waitForFinished();
    FAIL() << "still running: the window was shown";
  }

  const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << errors.toStdString();
  EXPECT_EQ(program.exitCode(), 2);
  // The same report on stderr and in the one box the operator answered.
  for (const char* prefix : {"Corvane: ", "answered: "}) {
    EXPECT_EQ(errors.count(QString::fromLatin1(prefix)), 1) << errors.toStdString();
    EXPECT_TRUE(
        errors.contains(QRegularExpression(prefix + QStringLiteral(".*") + layout.reported)))
        << errors.toStdString();
  }
}

TEST(MissingLibrary, ReportsOnStderrAndExitsNonZero) {
  const LayoutCase cases[] = {
      // Nowhere to be found but in the folder the program is started from,
      // which never supplies the library.
      {"only in the working directory", Library::None, Library::None, Library::Real,
       "libTavrix.so"},
      // The installed program's own folder is searched: the file there is
      // found, and it lacks the first entry point called.
      {"wrong file in lib/corvane/", Library::None, Library::Empty, Library::None,
       "TvxPortsAvailable"},
      // Refused before the system's loader could crash on it.
      {"cut short beside", Library::CutShort, Library::Real, Library::None, "file too short"},
      // A file beside the executable wins over the installed one.
      {"wrong file beside wins over a good one", Library::Empty, Library::Real, Library::None,
       "TvxPortsAvailable"}};
  for (const LayoutCase& layout : cases) {
    SCOPED_TRACE(layout.name);
    ExpectReportAndNonZeroExit(layout);
  }
}

TEST(EndingSignal, EndsAsClosingTheWindowDoesWithTheShellsStatus) {
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    ASSERT_TRUE(Place(Library::Recording, root.filePath(QStringLiteral("bin"))) &&
                Place(Library::None, root.filePath(QStringLiteral("work"))));
    QProcess program;
    ASSERT_TRUE(Prepare(root, QStringLiteral("corvaneautoanswer:start"), program));
    QFile calls(root.filePath(QStringLiteral("work/calls.log")));
    const auto Calls = [&calls] {
      calls.open(QIODevice::ReadOnly);
      const QStringList lines = QString::fromLatin1(calls.readAll()).split(u'\n');
      calls.close();
      return lines;
    };
    program.start();
    QDeadlineTimer deadline(kRunDeadlineMs);
    while (!Calls().contains(QStringLiteral("TvxStartCallBack")) && !deadline.hasExpired()) {
      program.waitForFinished(20);
    }
    ASSERT_TRUE(Calls().contains(QStringLiteral("TvxStartCallBack"))) << "never read";

    ::kill(static_cast<pid_t>(program.processId()), signal);
    ASSERT_TRUE(program.waitForFinished(kRunDeadlineMs));

    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), kSignalExitBase + signal);
    EXPECT_EQ(Calls().filter(QStringLiteral("TvxUninitialize")).size(), 1);
    EXPECT_TRUE(Calls().filter(QStringLiteral("TvxStop")).isEmpty());
  }
}

}  // namespace
}  // namespace corvane::qt
