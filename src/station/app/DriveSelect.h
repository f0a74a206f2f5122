// Choosing and checking the data disk: at start-up the drive remembered in
// MW.ini is tried without asking; at a first start, with none remembered, and
// from the Options menu the user picks one in the drive window. A drive is accepted only when its
// identity file reads "M-W", a file can be written on it and its records load; only then is it
// remembered for the next start.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/data/Error.h"

class QWidget;

namespace mw {

struct StationContext;

enum class DriveOutcome {
    Accepted,      // a new data disk is in use and its records are loaded
    KeptPrevious,  // the user gave up from the menu; the previous disk is reloaded
    EndProgram,    // the station cannot go on without a data disk
};

class DriveSelect {
public:
    // `owner` is the window the drive window and messages belong to.
    DriveSelect(StationContext& ctx, QWidget* owner) : ctx_(ctx), owner_(owner) {}

    DriveOutcome SelectDataDrive(bool atStartUp);

    // How one attempt at a drive ended, once its messages have been shown.
    enum class Check {
        Accepted,
        Refused,  // not a data disk, or an error the user cannot put right here
        Missing,  // nothing readable at that drive
        GaveUp,   // the user cancelled the write-protect message
    };
    // Makes `drive` the data disk and checks it. DataPath keeps the drive
    // tried, whatever the outcome, and its records are loaded when readable.
    Check CheckDataDisk(const std::string& drive);

private:
    Check Run(const std::function<Status()>& step);
    Check AcceptDrive(const std::string& drive);
    DriveOutcome GiveUp(bool atStartUp, const std::string& previous);
    // The drive chosen; none when the user backed out of the window.
    std::optional<std::string> ShowDriveWindow();
    bool AskToTryAgain(Check check, const std::string& drive);

    StationContext& ctx_;
    QWidget* owner_;
};

}  // namespace mw
