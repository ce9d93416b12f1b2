// The real executable, started where the reader library or one of its entry
// points cannot be found: it reports what is missing and ends, with no one
// there to answer its message box.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace corvane::qt {
namespace {

constexpr int kRunDeadlineMs = 30000;

enum class Library { None, Real, Empty };

struct LayoutCase {
  const char* name;
  Library besideExecutable;    // bin/
  Library installedLibFolder;  // lib/, beside bin/
  Library workingDirectory;    // a folder the program is started from
  const char* reported;        // what the report must name
};

bool Place(Library library, const QString& folder) {
  const QString target = folder + QStringLiteral("/libTavrix.so");
  switch (library) {
    case Library::None:
      return QDir().mkpath(folder);
    case Library::Real:
      return QDir().mkpath(folder) && QFile::copy(QStringLiteral(CORVANE_TAVRIX_FILE), target);
    case Library::Empty:
      return QDir().mkpath(folder) &&
             QFile::copy(QStringLiteral(CORVANE_EMPTY_LIBRARY_FILE), target);
  }
  return false;
}

void ExpectReportAndNonZeroExit(const LayoutCase& layout) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const QString bin = root.filePath(QStringLiteral("bin"));
  const QString lib = root.filePath(QStringLiteral("lib"));
  const QString work = root.filePath(QStringLiteral("work"));
  ASSERT_TRUE(Place(layout.besideExecutable, bin));
  ASSERT_TRUE(Place(layout.installedLibFolder, lib));
  ASSERT_TRUE(Place(layout.workingDirectory, work));
  // A copy, not a link: the loader resolves $ORIGIN through links.
  const QString executable = bin + QStringLiteral("/corvane");
  ASSERT_TRUE(QFile::copy(QStringLiteral(CORVANE_EXECUTABLE_FILE), executable));

  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove(QStringLiteral("LD_LIBRARY_PATH"));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  environment.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(CORVANE_TEST_PLUGIN_PATH));
  environment.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"),
                     QStringLiteral("corvaneautoanswer"));
  QProcess program;
  program.setProcessEnvironment(environment);
  program.setWorkingDirectory(work);
  program.start(executable, {});
  if (!program.waitForFinished(kRunDeadlineMs)) {
    program.kill();
    program.waitForFinished();
    FAIL() << "still running: the window was shown";
  }

  const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << errors.toStdString();
  EXPECT_NE(program.exitCode(), 0);
  EXPECT_EQ(program.exitCode(), 2);
  // The same report on stderr and in the one box the operator answered.
  const QString reported = QString::fromUtf8(layout.reported);
  EXPECT_EQ(errors.count(QStringLiteral("Corvane: ")), 1) << errors.toStdString();
  EXPECT_EQ(errors.count(QStringLiteral("answered: ")), 1) << errors.toStdString();
  EXPECT_TRUE(errors.contains(QRegularExpression(QStringLiteral("Corvane: .*") + reported)))
      << errors.toStdString();
  EXPECT_TRUE(errors.contains(QRegularExpression(QStringLiteral("answered: .*") + reported)))
      << errors.toStdString();
}

TEST(MissingLibrary, ReportsOnStderrAndExitsNonZero) {
  const LayoutCase cases[] = {
      {"nowhere to be found", Library::None, Library::None, Library::None, "libTavrix.so"},
      // The folder the program is started from never supplies the library.
      {"only in the working directory", Library::None, Library::None, Library::Real,
       "libTavrix.so"},
      // The installed layout's lib/ is searched: the file there is found, and
      // it lacks the first entry point called.
      {"wrong file in lib/", Library::None, Library::Empty, Library::None, "TvxPortsAvailable"},
      // A file beside the executable wins over the installed one.
      {"wrong file beside wins over a good one", Library::Empty, Library::Real, Library::None,
       "TvxPortsAvailable"}};
  for (const LayoutCase& layout : cases) {
    SCOPED_TRACE(layout.name);
    ExpectReportAndNonZeroExit(layout);
  }
}

}  // namespace
}  // namespace corvane::qt
