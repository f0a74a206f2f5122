#include "station/app/Station.h"

#include <QApplication>
#include <iostream>
#include <optional>
#include <string_view>

#include "core/data/Product.h"
#include "core/data/TestJournal.h"
#include "core/settings/ProgramFolder.h"
#include "station/app/SingleCopy.h"
#include "station/app/frmMain.h"
#include "station/report/ReportOutput.h"
#include "station/screen/DiskRetry.h"
#include "station/screen/QtAudioPlayer.h"
#include "station/screen/QtPlatform.h"
#include "station/screen/StationContext.h"

namespace mw {
namespace {

// Work files with client names that a run stopped by a crash or a power cut
// left in the program folder: the reports and their copies, and the
// temporary journal of older versions.
void RemoveLeftovers(StationContext& ctx) {
    RemoveReportFiles(ctx);
    const std::string oldJournal = TestJournalPath(ctx.programDir) + ".tmp";
    if (Status wiped = ctx.fs.WipeFile(oldJournal); !wiped) ShowError(ctx.platform, wiped.error());
}

constexpr const char* kUsage =
    "usage: mirrorwise [-h | --help | --version]\n"
    "Starts the testing station; it needs a display. Reports, scores and exports\n"
    "without one: mirrorwise-cli --help.\n";

// --help and --version are answered before the application is made, which
// needs a display: a terminal without one still gets them. The exit status
// when one was asked for.
std::optional<int> AnswerHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
        } else if (arg == "--version") {
            std::cout << "mirrorwise (" << kProductName << ") " << kProductVersion << "\n";
        } else {
            continue;
        }
        return std::cout.flush() ? 0 : 1;
    }
    return std::nullopt;
}

}  // namespace

int RunStation(int argc, char** argv) {
    if (std::optional<int> status = AnswerHelpOrVersion(argc, argv)) return *status;
    ChooseMediaBackend();
    QApplication app(argc, argv);
    // Neither the application name nor a display name is set: the lock file
    // tells a live copy from a killed one by the executable's name, and a
    // display name would be appended to every window's caption.

    // The program folder holds the settings, the data files and the question
    // database: beside the executable, or the user's own for an installed station.
    const ProgramFolder folder = DefaultProgramFolder(ExecutableDir());
    QtPlatform platform;
    if (Status seeded = SeedProgramFolder(LocalFileSystem(), folder); !seeded) {
        ShowError(platform, seeded.error());
        return 1;
    }
    SingleCopy singleCopy(QString::fromStdString(folder.path));
    if (!singleCopy.BecomeRunningCopy()) {
        singleCopy.ActivateRunningCopy();
        return 0;
    }

    StationState state;
    StationContext ctx{state, LocalFileSystem(), SystemClock(), platform, folder.path};
    RemoveLeftovers(ctx);
    frmMain main(ctx);
    QObject::connect(&singleCopy, &SingleCopy::ActivationRequested, &main, &frmMain::BringForward);
    if (!main.Load()) return 0;
    main.show();
    return QApplication::exec();
}

}  // namespace mw
