#pragma once

// Shared test support: every test runs headless with its own registry root,
// its own XDG folders and a scripted UI that fails the test on any box the
// test did not answer.

#include "platform/ScriptedUiService.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class TarvoTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The scripted UI installed for this test.
    ScriptedUiService& ui() { return *m_ui; }
    // A fresh folder of this test (removed afterwards).
    QString tempPath(const QString& name = {}) const;
    QString registryRoot() const { return m_registryRoot; }

    // The environment a child process of this test should get: the same
    // registry root and XDG folders, offscreen, a scripted UI.
    QProcessEnvironment childEnvironment() const;
    // A bus address where no bus listens: the station runs without automation.
    QString NoBusAddress() const;

private:
    QTemporaryDir m_dir;
    QString m_registryRoot;
    ScriptedUiService* m_ui = nullptr;
    QByteArray m_savedRegistryDir, m_savedConfig, m_savedRuntime, m_savedHome, m_savedData, m_savedBus;
};

// Turns the station's log of automation calls (machine setting
// "LogComTransactions") on or off.
void SetComTransactionLog(bool on);
// The machine switch "SilentClientJobs": off, client jobs show the operator's
// boxes.
void SetSilentClientJobs(bool on);

// Where the built program and plug-ins are.
QString BinDir();
QString SourceDir();

// Runs the real program with the given arguments and environment; returns
// its exit code (-1 on crash or time-out). stdout and stderr are collected.
struct ProcessResult
{
    int exitCode = -1;
    bool crashed = false;
    bool timedOut = false;
    QString out;
    QString err;
};
ProcessResult RunProgram(const QString& program, const QStringList& args, const QProcessEnvironment& env,
                         int timeoutMs = 60000);
