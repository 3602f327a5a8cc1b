// The programs as a technician's machine gets them: installed with `cmake --install` into a
// scratch prefix and run from there, in a scratch working directory, far from the build tree.

#include "InstallTestSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace rtu::test {
namespace {

const QStringList Programs{"rtu7350", "rtu7350-cli", "rtu7350-sim"};

class InstalledTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        prefix_ = std::make_unique<QTemporaryDir>();
        installLog_ = runToEnd(QStringLiteral(RTU7350_CMAKE),
                               {QStringLiteral("--install"), QStringLiteral(RTU7350_BUILD_DIR),
                                QStringLiteral("--prefix"), prefix_->path()});
    }
    static void TearDownTestSuite() { prefix_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(installLog_.ended && installLog_.exitCode == 0)
            << qPrintable(installLog_.out + installLog_.err);
        ASSERT_TRUE(workDir.isValid());
    }

    static QString installed(const QString& relative) { return prefix_->filePath(relative); }
    static QString program(const QString& name) { return installed("bin/" + name); }

    Finished run(const QString& name, const QStringList& arguments) const {
        return runToEnd(program(name), arguments, workDir.path());
    }

    QTemporaryDir workDir;

private:
    static inline std::unique_ptr<QTemporaryDir> prefix_;
    static inline Finished installLog_;
};

TEST_F(InstalledTest, PutsEachFileWhereTheDesktopAndTheShellLookForIt) {
    const QStringList files{
        "bin/rtu7350",
        "bin/rtu7350-cli",
        "bin/rtu7350-sim",
        "share/rtu7350/site.txt",
        "share/applications/rtu7350.desktop",
        "share/icons/hicolor/scalable/apps/rtu7350.svg",
        "share/icons/hicolor/64x64/apps/rtu7350.png",
        "share/man/man1/rtu7350.1.gz",
        "share/man/man1/rtu7350-cli.1.gz",
        "share/man/man1/rtu7350-sim.1.gz",
        "share/bash-completion/completions/rtu7350-cli",
        "share/doc/rtu7350/copyright",
        "share/doc/rtu7350/changelog.gz",
    };
    for (const QString& file : files)
        EXPECT_TRUE(QFileInfo(installed(file)).isFile()) << qPrintable(file);
    for (const QString& name : Programs)
        EXPECT_TRUE(QFileInfo(program(name)).isExecutable()) << qPrintable(name);

    // The PNG is as large as the folder it sits in says.
    QFile png(installed("share/icons/hicolor/64x64/apps/rtu7350.png"));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    const QByteArray header = png.read(24);
    EXPECT_TRUE(header.startsWith("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(header.mid(16, 8), QByteArray("\0\0\0\x40\0\0\0\x40", 8)); // width, height
}

TEST_F(InstalledTest, TheDesktopEntryValidatesAndStartsTheInstalledProgramWithItsIcon) {
    const QString entry = installed("share/applications/rtu7350.desktop");
    const Finished validation =
        runToEnd(QStringLiteral("desktop-file-validate"), {entry}, workDir.path());
    EXPECT_TRUE(validation.ended && validation.exitCode == 0 && validation.out.isEmpty())
        << "desktop-file-validate (desktop-file-utils; scripts/install-deps installs it): "
        << qPrintable(validation.out + validation.err);

    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    EXPECT_TRUE(lines.contains("Exec=rtu7350"));
    EXPECT_TRUE(lines.contains("Icon=rtu7350"));
    EXPECT_TRUE(lines.contains("Terminal=false"));
}

TEST_F(InstalledTest, EveryProgramPrintsTheProjectVersion) {
    for (const QString& name : Programs) {
        const Finished version = run(name, {"--version"});
        EXPECT_TRUE(version.ended && version.exitCode == 0) << qPrintable(name + version.err);
        EXPECT_EQ(version.out, name + " " RTU7350_VERSION "\n");
    }
}

TEST_F(InstalledTest, TheCommandLineToolPrintsItsUsage) {
    const Finished help = run("rtu7350-cli", {"--help"});
    EXPECT_TRUE(help.ended && help.exitCode == 0) << qPrintable(help.err);
    EXPECT_TRUE(help.out.startsWith("Usage:\n  rtu7350-cli --port DEVICE")) << qPrintable(help.out);
}

TEST_F(InstalledTest, TheSimulatedUnitServesTheInstalledSiteUntilTheLineIsIdle) {
    const Finished sim =
        run("rtu7350-sim", {"--once-idle", "1", "--state", installed("share/rtu7350/site.txt"),
                            "--dump", "dump.txt"});
    EXPECT_TRUE(sim.ended && sim.exitCode == 0) << qPrintable(sim.err);
    EXPECT_TRUE(sim.out.startsWith("/dev/")) << qPrintable(sim.out);
    // What it dumps at exit is the site it was given.
    QFile dump(QDir(workDir.path()).filePath("dump.txt"));
    ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
    EXPECT_TRUE(dump.readAll().contains("SLCDT1\"")) << "the site's LCD texts";
}

// The desktop program runs until it is closed: the test waits for the outcome of the demo's
// read on standard error, then ends it with SIGTERM, as a desktop session would.
TEST_F(InstalledTest, TheDesktopProgramsDemoLoadsTheInstalledSiteAndReadsIt) {
    QProcess gui;
    gui.setWorkingDirectory(workDir.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    gui.setProcessEnvironment(environment);
    gui.setReadChannel(QProcess::StandardError);
    gui.start(program("rtu7350"), {"--demo", "--read-all"});
    ASSERT_TRUE(gui.waitForStarted(10000));

    QString err;
    const QDeadlineTimer bound(120000);
    while (!err.contains("rtu7350: Read All") && gui.state() == QProcess::Running &&
           !bound.hasExpired()) {
        gui.waitForReadyRead(1000);
        err += QString::fromLocal8Bit(gui.readAllStandardError());
    }
    const bool running = gui.state() == QProcess::Running;
    gui.terminate(); // SIGTERM
    const bool ended = gui.waitForFinished(30000);
    if (!ended)
        gui.kill();
    err += QString::fromLocal8Bit(gui.readAllStandardError());

    ASSERT_TRUE(running) << qPrintable(err);
    // The site it found is the installed one, through the prefix the program runs from.
    const QString site = QFileInfo(installed("share/rtu7350/site.txt")).canonicalFilePath();
    const QRegularExpressionMatch siteLine =
        QRegularExpression(", site (.*)\n").match(err.section("rtu7350: demo unit on ", 1));
    ASSERT_TRUE(siteLine.hasMatch()) << qPrintable(err);
    EXPECT_EQ(QFileInfo(siteLine.captured(1)).canonicalFilePath(), site);
    EXPECT_TRUE(err.contains("rtu7350: Read All finished")) << qPrintable(err);

    ASSERT_TRUE(ended);
    EXPECT_EQ(gui.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(gui.exitCode(), 0);
    // Its shutdown kept the configuration in the working directory.
    QFile last(QDir(workDir.path()).filePath("lastfile.txt"));
    ASSERT_TRUE(last.open(QIODevice::ReadOnly));
    EXPECT_EQ(last.readAll().count("\r\n"), 39);
}

} // namespace
} // namespace rtu::test
