// The programs as a technician's machine gets them: installed with `cmake --install` into a
// scratch prefix and run from there, in a scratch working directory, far from the build tree.
// The manual pages and the shell completions are written by hand: they are held to the
// options that the programs' --help prints.

#include "support/Application.h"
#include "support/Files.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Runs a program to its end: its exit code (-1 when it did not end normally) and its output.
std::pair<int, QString> run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    const bool ended =
        process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput())};
}

// The long options ("--name") a text mentions, sorted.
QStringList longOptions(const QString& text) {
    QStringList found;
    for (const auto& match : QRegularExpression("--[a-z0-9][a-z0-9-]*").globalMatch(text))
        found << match.captured();
    found.removeDuplicates();
    found.sort();
    return found;
}

QString readText(const QString& path) {
    return QString::fromUtf8(rtu::test::readFile(path));
}

class InstalledTest : public ::testing::Test {
protected:
    void SetUp() override {
        rtu::test::ensureApplication(); // QProcess needs one
        ASSERT_TRUE(prefix.isValid() && workDir.isValid());
    }

    QTemporaryDir prefix;
    QTemporaryDir workDir;
};

TEST_F(InstalledTest, ManualPagesFollowHelpAndTheInstalledProgramsRunTheInstalledDemo) {
    for (const auto& [page, program] : {std::pair{"rtu7350", RTU7350_PROGRAM},
                                        {"rtu7350-cli", RTU7350_CLI_PROGRAM},
                                        {"rtu7350-sim", RTU7350_SIM_PROGRAM}}) {
        const QStringList inHelp = longOptions(run(program, {"--help"}).second);
        ASSERT_FALSE(inHelp.isEmpty()) << page;
        // The OPTIONS section, with roff's font changes and escaped minus signs made plain.
        QString text = readText(QString(RTU7350_SOURCE_DIR "/man/%1.1.in").arg(page));
        text.remove(QRegularExpression(R"(\\f[BIRP])")).replace(R"(\-)", "-");
        const QString options = text.section("\n.SH OPTIONS\n", 1).section("\n.SH ", 0, 0);
        EXPECT_EQ(longOptions(options), inHelp) << page;
        if (page != std::string("rtu7350")) {
            EXPECT_EQ(longOptions(readText(QString(RTU7350_SOURCE_DIR "/data/%1.bash").arg(page))),
                      inHelp)
                << page;
        }
    }

    // The desktop program runs until it is closed: the test waits for the outcome of the demo's
    // read on standard error, then ends it with SIGTERM, as a desktop session would.
    const auto [installed, log] =
        run(RTU7350_CMAKE, {"--install", RTU7350_BUILD_DIR, "--prefix", prefix.path()});
    ASSERT_EQ(installed, 0) << qPrintable(log);
    for (const char* file :
         {"bin/rtu7350", "bin/rtu7350-cli", "bin/rtu7350-sim", "share/rtu7350/site.txt",
          "share/applications/rtu7350.desktop", "share/icons/hicolor/scalable/apps/rtu7350.svg",
          "share/icons/hicolor/64x64/apps/rtu7350.png", "share/man/man1/rtu7350.1.gz",
          "share/man/man1/rtu7350-cli.1.gz", "share/man/man1/rtu7350-sim.1.gz",
          "share/bash-completion/completions/rtu7350-cli",
          "share/bash-completion/completions/rtu7350-sim", "share/doc/rtu7350/copyright",
          "share/doc/rtu7350/changelog.gz"})
        EXPECT_TRUE(QFileInfo(prefix.filePath(file)).isFile()) << file;
    const QByteArray png =
        rtu::test::readFile(prefix.filePath("share/icons/hicolor/64x64/apps/rtu7350.png"));
    EXPECT_EQ(png.mid(12, 12), QByteArray("IHDR\0\0\0\x40\0\0\0\x40", 12)) << "64 by 64";
    const QString entry = prefix.filePath("share/applications/rtu7350.desktop");
    EXPECT_EQ(run("desktop-file-validate", {entry}), std::pair(0, QString()))
        << "desktop-file-utils; scripts/install-deps installs it";
    for (const char* line : {"Exec=rtu7350", "Icon=rtu7350", "Terminal=false"})
        EXPECT_TRUE(readText(entry).split('\n').contains(line)) << line;
    for (const QString program : {"rtu7350", "rtu7350-cli", "rtu7350-sim"})
        EXPECT_EQ(run(prefix.filePath("bin/" + program), {"--version"}),
                  std::pair(0, program + " " RTU7350_VERSION "\n"));

    QProcess gui;
    gui.setWorkingDirectory(workDir.path());
    qputenv("XDG_DATA_HOME", workDir.path().toLocal8Bit()); // its work record
    gui.start(prefix.filePath("bin/rtu7350"), {"--demo", "--read-all"});
    QString err;
    rtu::test::waitUntil(
        [&] {
            return (err += QString::fromLocal8Bit(gui.readAllStandardError())).contains("Read All");
        },
        120000);
    EXPECT_EQ(gui.state(), QProcess::Running) << "still running after the read";
    gui.terminate();
    ASSERT_TRUE(gui.waitForFinished(30000)) << qPrintable(err);
    err += QString::fromLocal8Bit(gui.readAllStandardError());
    EXPECT_EQ(std::pair(gui.exitStatus(), gui.exitCode()), std::pair(QProcess::NormalExit, 0));
    // The site it found is the installed one, through the prefix the program runs from.
    const QString site =
        QRegularExpression("rtu7350: demo unit on .*, site (.*)\n").match(err).captured(1);
    EXPECT_EQ(QFileInfo(site).canonicalFilePath(),
              QFileInfo(prefix.filePath("share/rtu7350/site.txt")).canonicalFilePath())
        << qPrintable(err);
    EXPECT_TRUE(err.contains("rtu7350: Read All finished: 39 of 39 lines answered"))
        << qPrintable(err);
    // Its shutdown kept what it read in the working directory.
    const QString last = readText(workDir.filePath("lastfile.txt"));
    EXPECT_EQ(last.count("\r\n"), 39);
    EXPECT_TRUE(last.contains("\nSLCDT1\"") && !last.contains("SLCDT1\"Company\""))
        << qPrintable(last);
}

} // namespace
