// A private sound server whose only output goes nowhere: nothing is heard,
// and no other program's sounds mix in. This process, and every program it
// starts while the server runs, plays on it.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <filesystem>
#include <optional>
#include <string>

#include "support/TempDir.h"

namespace mwtest {

struct SoundServer {
    TempDir runtime;
    std::string missingTool;  // what is not installed, when the server cannot run here
    bool started = false;
    // Put back when the server goes, for the programs started after it.
    const std::optional<QByteArray> previousRuntime =
        qEnvironmentVariableIsSet("XDG_RUNTIME_DIR") ? std::optional(qgetenv("XDG_RUNTIME_DIR"))
                                                     : std::nullopt;

    SoundServer() {
        for (const char* tool : {"pulseaudio", "pactl"}) {
            if (QStandardPaths::findExecutable(QString::fromUtf8(tool)).isEmpty()) {
                missingTool = tool;
                return;
            }
        }
        // The server and its clients meet at a socket in this folder, which
        // only its owner may enter.
        std::filesystem::permissions(runtime.Path(), std::filesystem::perms::owner_all);
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.Path()));
        qunsetenv("PULSE_SERVER");
        started = QProcess::execute(QStringLiteral("pulseaudio"),
                                    {QStringLiteral("--daemonize=yes"),
                                     QStringLiteral("--exit-idle-time=-1"), QStringLiteral("-n"),
                                     QStringLiteral("--load=module-null-sink sink_name=test"),
                                     QStringLiteral("--load=module-native-protocol-unix")}) == 0;
    }

    ~SoundServer() {
        if (started) {
            QProcess::execute(QStringLiteral("pactl"), {QStringLiteral("exit")});
            // Gone before its folder is removed.
            const bool stopped = QTest::qWaitFor(
                [] {
                    return QProcess::execute(QStringLiteral("pulseaudio"),
                                             {QStringLiteral("--check")}) != 0;
                },
                30000);
            EXPECT_TRUE(stopped) << "the sound server did not stop";
        }
        if (!missingTool.empty()) return;
        if (previousRuntime) {
            qputenv("XDG_RUNTIME_DIR", *previousRuntime);
        } else {
            qunsetenv("XDG_RUNTIME_DIR");
        }
    }
};

}  // namespace mwtest
