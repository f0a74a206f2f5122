// One running station per program folder.
#include "station/app/SingleCopy.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <cstdio>
#include <memory>

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

}  // namespace
}  // namespace mw
