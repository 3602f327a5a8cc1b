// The manual pages and the shell completion are written by hand; these tests hold them to
// the options that the programs' --help prints, so that an option added, renamed or removed
// in one place and not the other fails here.

#include "InstallTestSupport.h"

#include <QFile>

#include <algorithm>
#include <ostream>
#include <string>

namespace rtu::test {
namespace {

QString readText(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
    return QString::fromUtf8(file.readAll());
}

// The OPTIONS section of a manual page source, with the font changes and the escaped minus
// signs of roff turned into plain text.
QString optionsSection(const QString& page) {
    QString text = page;
    text.remove(QRegularExpression(QStringLiteral(R"(\\f[BIRP])")));
    text.replace(QStringLiteral(R"(\-)"), QStringLiteral("-"));
    const qsizetype start = text.indexOf(QStringLiteral("\n.SH OPTIONS\n"));
    if (start < 0)
        return {};
    const qsizetype end = text.indexOf(QStringLiteral("\n.SH "), start + 1);
    return text.mid(start, end < 0 ? -1 : end - start);
}

QSet<QString> helpOptions(const QString& program) {
    const Finished help = runToEnd(program, {QStringLiteral("--help")});
    EXPECT_TRUE(help.ended && help.exitCode == 0) << qPrintable(program + '\n' + help.err);
    return longOptions(help.out);
}

struct Page {
    const char* name;
    const char* program;
};

void PrintTo(const Page& page, std::ostream* out) {
    *out << page.name;
}

class ManualPagesTest : public ::testing::TestWithParam<Page> {};

TEST_P(ManualPagesTest, TheOptionsSectionListsTheOptionsOfHelp) {
    const Page page = GetParam();
    const QSet<QString> inHelp = helpOptions(QString::fromLocal8Bit(page.program));
    const QSet<QString> inPage = longOptions(optionsSection(
        readText(QStringLiteral(RTU7350_SOURCE_DIR "/man/%1.1.in").arg(QLatin1String(page.name)))));

    ASSERT_FALSE(inHelp.isEmpty());
    EXPECT_EQ(listed(inPage), listed(inHelp));
}

INSTANTIATE_TEST_SUITE_P(Programs, ManualPagesTest,
                         ::testing::Values(Page{"rtu7350", RTU7350_PROGRAM},
                                           Page{"rtu7350-cli", RTU7350_CLI_PROGRAM},
                                           Page{"rtu7350-sim", RTU7350_SIM_PROGRAM}),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(ShellCompletionTest, OffersTheOptionsOfHelp) {
    const QSet<QString> inHelp = helpOptions(QStringLiteral(RTU7350_CLI_PROGRAM));
    const QSet<QString> inCompletion =
        longOptions(readText(QStringLiteral(RTU7350_SOURCE_DIR "/data/rtu7350-cli.bash")));

    ASSERT_FALSE(inHelp.isEmpty());
    EXPECT_EQ(listed(inCompletion), listed(inHelp));
}

} // namespace
} // namespace rtu::test
