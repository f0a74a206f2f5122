// A station on temporary folders for screen tests: its own program folder
// (MW.ini, sctest.ini) and data disks, a file layer that can be made to fail,
// a fixed date and scripted message boxes.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "core/data/AnswerRanges.h"
#include "core/data/AuditLog.h"
#include "station/app/frmMain.h"
#include "station/entry/frmClientInfo.h"
#include "station/screen/StationContext.h"
#include "station/supervisor/frmMyInputBox.h"
#include "support/FaultyFileSystem.h"
#include "support/QtTestSupport.h"
#include "support/ScriptedPlatform.h"
#include "support/TempDir.h"

namespace mwtest {

class FixedClock : public mw::Clock {
public:
    mw::Date date{2024, 3, 5};
    // The stopwatch stands still until a test moves it.
    std::int64_t ms = 0;
    mw::Date Today() const override { return date; }
    std::int64_t MonotonicMs() const override { return ms; }
};

// The bytes of a record file holding one client per name.
inline std::string RecordFile(const std::vector<std::string>& names) {
    std::string bytes;
    for (const std::string& name : names) {
        mw::ClientRecord record;
        record.Name = name;
        record.Answers = std::string(160, '0');
        record.DeleteFlag = "0";
        bytes += record.ToBytes();
    }
    return bytes;
}

// The whole records of a record file.
inline std::vector<mw::ClientRecord> Records(std::string_view bytes) {
    std::vector<mw::ClientRecord> records;
    for (std::size_t at = 0; at + mw::kRecordSize <= bytes.size(); at += mw::kRecordSize) {
        records.push_back(mw::ClientRecord::FromBytes(bytes.substr(at, mw::kRecordSize)));
    }
    return records;
}

// Whether every answer is blank or one of its item's codes.
inline bool AnswersInRange(const mw::AnswerRanges& ranges, std::string_view answers) {
    for (std::size_t i = 0; i < answers.size(); ++i) {
        const char c = answers[i];
        if (c != ' ' && !(c >= '0' && c <= '9' && ranges.Accepts(int(i) + 1, c - '0'))) {
            return false;
        }
    }
    return true;
}

// Names "Client 1" .. "Client n".
inline std::vector<std::string> Clients(int count) {
    std::vector<std::string> names;
    for (int n = 1; n <= count; ++n) names.push_back("Client " + std::to_string(n));
    return names;
}

// Makes `dir` a data disk holding the named clients.
inline void MakeDisk(const TempDir& dir, const std::vector<std::string>& names,
                     const std::string& identity = "M-W\r\n") {
    dir.Write("TID", identity);
    dir.Write("DATA401.MW", RecordFile(names));
}

// The next input box `driver` meets gets `text` and "Information OK"; an
// empty text cancels it.
inline void AnswerInputBox(ModalDriver& driver, const QString& text) {
    driver.When<mw::frmMyInputBox>([text](mw::frmMyInputBox* box) {
        if (text.isEmpty()) return Choose(box, mw::frmMyInputBox::kCancelInput);
        Enter(text);
        PressKey(Qt::Key_Return);
    });
}

// The next client information screen gets a new client's details, field by
// field, and "Information OK".
inline void KeyNewClient(ModalDriver& driver) {
    driver.When<mw::frmClientInfo>([](mw::frmClientInfo*) {
        for (const char* keyed : {"Cy Dee", "N", "40", "1", "1", "12", "1", "N"}) {
            Enter(QString::fromUtf8(keyed));
        }
        PressKey(Qt::Key_Return);
    });
}

class StationFixture : public ::testing::Test {
protected:
    // Starts the station on `disk` holding the named clients and shows its
    // main window.
    void StartStation(const std::vector<std::string>& names) {
        MakeDisk(disk, names);
        RememberDrive(disk.Path());
        main = std::make_unique<mw::frmMain>(ctx);
        ASSERT_TRUE(main->Load());
        ShowActive(main.get());
    }

    // Loads `disk`, holding the named clients, as the station does at start-up.
    void LoadDisk(const std::vector<std::string>& names) {
        MakeDisk(disk, names);
        state.DataPath = disk.Path();
        ASSERT_TRUE(ctx.Store().LoadRecords());
    }

    // The question database the build ships, as the station opens it at start-up.
    void UseShippedQuestions() {
        auto db = mw::Database::Open(MW_PROGRAM_DIR "/mw32.db", true);
        ASSERT_TRUE(db) << db.error().message;
        ctx.database = std::move(*db);
    }

    // The events in the disk's audit log, "record event: details" each; its
    // chain must be whole.
    std::vector<std::string> AuditEvents() const {
        mw::Result<mw::AuditReading> log =
            mw::AuditLog(mw::LocalFileSystem(), disk.Path(), programDir.Path()).Read();
        std::vector<std::string> events;
        if (!log) ADD_FAILURE() << log.error().message;
        if (!log) return events;
        EXPECT_EQ(log->firstBroken, 0);
        for (const mw::AuditLine& line : log->lines) {
            events.push_back(line.record + " " + line.event +
                             (line.details.empty() ? "" : ": " + line.details));
        }
        return events;
    }

    // Remembers a drive in MW.ini, as an earlier run would have.
    void RememberDrive(const std::string& drive) {
        programDir.Write("MW.ini", "[Path]\r\nFilePath=" + drive + "\r\n");
    }

    TempDir programDir;
    TempDir disk;
    FaultyFileSystem fs;
    FixedClock clock;
    ScriptedPlatform platform;
    mw::StationState state;
    mw::StationContext ctx{
        state, fs, clock, platform, programDir.Path(), std::chrono::milliseconds(0)};
    std::unique_ptr<mw::frmMain> main;
};

}  // namespace mwtest
