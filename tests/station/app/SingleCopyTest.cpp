// One running station per program folder.
#include "station/app/SingleCopy.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "station/app/frmMain.h"
#include "support/QtTestSupport.h"
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
};

// Points XDG_RUNTIME_DIR at a folder for as long as it lives.
class RuntimeFolderSetting {
public:
    explicit RuntimeFolderSetting(const std::string& folder)
        : had_(qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")), old_(qgetenv("XDG_RUNTIME_DIR")) {
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder));
    }
    ~RuntimeFolderSetting() {
        if (had_) {
            qputenv("XDG_RUNTIME_DIR", old_);
        } else {
            qunsetenv("XDG_RUNTIME_DIR");
        }
    }
    RuntimeFolderSetting(const RuntimeFolderSetting&) = delete;
    RuntimeFolderSetting& operator=(const RuntimeFolderSetting&) = delete;

private:
    bool had_;
    QByteArray old_;
};

TEST_F(SingleCopyTest, ALaterStartRestoresTheRunningWindowAndEnds) {
    mwtest::MakeDisk(disk, {"Ann"});
    RememberDrive(disk.Path());
    SingleCopy running(Folder());
    ASSERT_TRUE(running.BecomeRunningCopy());
    frmMain main(ctx);
    QObject::connect(&running, &SingleCopy::ActivationRequested, &main, &frmMain::BringForward);
    ASSERT_TRUE(main.Load());
    main.showMinimized();
    ASSERT_TRUE(main.isMinimized());

    SingleCopy later(Folder());
    EXPECT_FALSE(later.BecomeRunningCopy());
    EXPECT_TRUE(later.ActivateRunningCopy());
    EXPECT_TRUE(mwtest::WaitUntil([&] { return !main.isMinimized(); }));
    EXPECT_TRUE(main.isVisible());
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
    bool asked = false;
    QObject::connect(&next, &SingleCopy::ActivationRequested, [&] { asked = true; });
    EXPECT_TRUE(SingleCopy(Folder()).ActivateRunningCopy());
    EXPECT_TRUE(mwtest::WaitUntil([&] { return asked; }));
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
    int sockets = 0;
    int others = 0;
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
    bool asked = false;
    QObject::connect(&running, &SingleCopy::ActivationRequested, [&] { asked = true; });
    SingleCopy later(Folder());
    EXPECT_FALSE(later.BecomeRunningCopy());
    EXPECT_TRUE(later.ActivateRunningCopy());
    EXPECT_TRUE(mwtest::WaitUntil([&] { return asked; }));
}

}  // namespace
}  // namespace mw
