// What every screen of a running station works with, owned by the program
// and handed to each screen: the program-wide state, the file layer, today's
// date, the platform services and the program folder (where the settings,
// the data files and the question database lie).
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "core/data/ClientStore.h"
#include "core/data/Clock.h"
#include "core/data/FileSystem.h"
#include "core/data/Product.h"
#include "core/data/QuestionDatabase.h"
#include "core/data/StationState.h"
#include "core/settings/Settings.h"
#include "station/screen/DiskRetry.h"
#include "station/screen/Platform.h"

namespace mw {

class ReportPrinter;

struct StationContext {
    StationState& state;
    FileSystem& fs;
    const Clock& clock;
    Platform& platform;
    std::string programDir;
    // How long the splash window stays up at start-up.
    std::chrono::milliseconds splashHold{3500};
    // The question database; empty when it could not be opened at start-up
    // (the screens that read questions report that when they need it).
    std::unique_ptr<Database> database{};
    // Where reports are printed; null for the system's printers.
    ReportPrinter* printer = nullptr;
    // Set while the audit log on the data disk cannot be written, once the
    // clerk has been told: one message, not one at every event.
    bool auditLogFailing = false;

    // MW.ini and sctest.ini; read and written at each use, never cached.
    mw::Settings Ini() const { return mw::Settings(fs, programDir); }
    ClientStore Store() {
        return ClientStore(state, fs,
                           [this](const std::string& note) { ShowDiskNote(platform, note); });
    }
};

}  // namespace mw
