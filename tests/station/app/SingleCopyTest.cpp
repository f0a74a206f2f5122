// One running station per program folder.
#include "station/app/SingleCopy.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/StationFixture.h"

// A running copy in a process of its own: prints "running" once it holds the
// program folder, and "activated" whenever a later start asks it forward.
int RunSingleCopyHelper(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    mw::SingleCopy copy(QString::fromLocal8Bit(argv[2]));
    if (!copy.BecomeRunningCopy()) return 3;
    QObject::connect(&copy, &mw::SingleCopy::ActivationRequested, [] {
        std::puts("activated");
        std::fflush(stdout);
    });
    std::puts("running");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

namespace mw {
namespace {

class SingleCopyTest : public mwtest::StationFixture {
protected:
    QString Folder() const { return QString::fromStdString(programDir.Path()); }

    // A later start finds `running` and asks it forward.
    void ExpectALaterStartActivates(SingleCopy& running) {
        bool asked = false;
        QObject listening;  // ends the connection with this check
        QObject::connect(&running, &SingleCopy::ActivationRequested, &listening,
                         [&] { asked = true; });
        SingleCopy later(Folder());
        EXPECT_FALSE(later.BecomeRunningCopy());
        EXPECT_TRUE(later.ActivateRunningCopy());
        EXPECT_TRUE(mwtest::WaitUntil([&] { return asked; }));
    }
};

// Points XDG_RUNTIME_DIR at a folder for as long as it lives.
struct RuntimeFolderSetting {
    explicit RuntimeFolderSetting(const std::string& folder) {
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder));
    }
    ~RuntimeFolderSetting() {
        had ? qputenv("XDG_RUNTIME_DIR", old) : qunsetenv("XDG_RUNTIME_DIR");
    }
    const bool had = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    const QByteArray old = qgetenv("XDG_RUNTIME_DIR");
};

TEST_F(SingleCopyTest, ALaterStartRestoresTheRunningWindowAndEnds) {
    SingleCopy running(Folder());
    ASSERT_TRUE(running.BecomeRunningCopy());
    StartStation({"Ann"});
    QObject::connect(&running, &SingleCopy::ActivationRequested, main.get(),
                     &frmMain::BringForward);
    main->showMinimized();
    ASSERT_TRUE(main->isMinimized());

    ExpectALaterStartActivates(running);
    EXPECT_TRUE(mwtest::WaitUntil([&] { return !main->isMinimized(); }));
    EXPECT_TRUE(main->isVisible());
}

TEST_F(SingleCopyTest, ACopyKilledOutrightDoesNotBlockTheNextStart) {
    QProcess helper;
    helper.start(QCoreApplication::applicationFilePath(), {"--single-copy-helper", Folder()});
    ASSERT_TRUE(helper.waitForStarted());
    QByteArray output;
    auto said = [&](const char* line) {
        return mwtest::WaitUntil([&] {
            output += helper.readAllStandardOutput();
            return output.contains(line);
        });
    };
    ASSERT_TRUE(said("running")) << output.toStdString();

    SingleCopy later(Folder());
    EXPECT_FALSE(later.BecomeRunningCopy());
    EXPECT_TRUE(later.ActivateRunningCopy());
    EXPECT_TRUE(said("activated")) << output.toStdString();

    helper.kill();
    ASSERT_TRUE(helper.waitForFinished());
    SingleCopy next(Folder());
    ASSERT_TRUE(next.BecomeRunningCopy());
    ExpectALaterStartActivates(next);
}

TEST_F(SingleCopyTest, TheLockAndTheSocketAreKeptInTheRuntimeFolderNotInTheTemporaryOne) {
    namespace fs = std::filesystem;
    mwtest::TempDir runtime;
    // The platform only accepts a runtime folder that is its owner's alone.
    fs::permissions(runtime.Path(), fs::perms::owner_all, fs::perm_options::replace);
    RuntimeFolderSetting setting(runtime.Path());

    SingleCopy running(Folder());
    ASSERT_TRUE(running.BecomeRunningCopy());

    std::string lock;
    int sockets = 0, others = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(runtime.Path())) {
        if (entry.is_socket()) {
            ++sockets;
        } else if (entry.is_regular_file() && entry.path().extension() == ".lock") {
            lock = entry.path().stem().string();
        } else {
            ++others;
        }
    }
    ASSERT_FALSE(lock.empty()) << "no lock file in the runtime folder";
    EXPECT_EQ(sockets, 1);
    EXPECT_EQ(others, 0);
    // Nothing of this program folder's in the temporary folder.
    for (const fs::directory_entry& entry :
         fs::directory_iterator(QDir::tempPath().toStdString())) {
        EXPECT_NE(entry.path().filename().string().rfind(lock, 0), 0u) << entry.path();
    }

    // A later start of the same user finds the running copy there.
    ExpectALaterStartActivates(running);
}

}  // namespace
}  // namespace mw
