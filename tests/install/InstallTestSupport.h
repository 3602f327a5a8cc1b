#pragma once

// Helpers for tests that run the programs as separate processes.

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

namespace rtu::test {

// The application object QProcess needs, for the whole test program.
class CoreApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[13] = "test_install";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};

inline ::testing::Environment* const coreApplicationEnvironment =
    ::testing::AddGlobalTestEnvironment(new CoreApplicationEnvironment);

struct Finished {
    bool ended = false; // false: still running after the bound, and killed
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs a program to its end, in workDir when one is given, on Qt's offscreen platform.
inline Finished runToEnd(const QString& program, const QStringList& arguments,
                         const QString& workDir = {}, int boundMs = 60000) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    if (!workDir.isEmpty())
        process.setWorkingDirectory(workDir);
    process.start(program, arguments);
    Finished result;
    result.ended = process.waitForFinished(boundMs) && process.exitStatus() == QProcess::NormalExit;
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    result.exitCode = result.ended ? process.exitCode() : -1;
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

// The long options ("--name") a text mentions.
inline QSet<QString> longOptions(const QString& text) {
    static const QRegularExpression option(QStringLiteral("--[a-z0-9][a-z0-9-]*"));
    QSet<QString> found;
    for (const QRegularExpressionMatch& match : option.globalMatch(text))
        found.insert(match.captured());
    return found;
}

// A set as one sorted line, for readable failure messages.
inline std::string listed(const QSet<QString>& set) {
    QStringList items(set.begin(), set.end());
    items.sort();
    return items.join(' ').toStdString();
}

} // namespace rtu::test
