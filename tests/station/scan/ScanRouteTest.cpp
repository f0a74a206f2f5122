// The scan route: the scan table around the settings, and a batch of sheets
// from the reader's file to the data disk.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QTableWidget>
#include <filesystem>
#include <numeric>

#include "core/data/ClientTable.h"
#include "core/data/CodeTables.h"
#include "station/entry/frmClientInfo.h"
#include "station/entry/frmNewEntry.h"
#include "station/entry/frmSelectEntryMethod.h"
#include "station/scan/ScanRoute.h"
#include "station/scan/frmScanSettings.h"
#include "station/supervisor/frmMyInputBox.h"
#include "support/StationFixture.h"

namespace mw {
namespace {

using mwtest::ChooseLater;
using mwtest::PressKey;

// A sheet with client data, the first item marked as given and every other "2".
std::string Sheet(const std::string& inmate, const std::string& firstMark = "1") {
    std::string line = inmate + ",44,1,2,12,1,01/02/1980," + firstMark;
    for (int item = 2; item <= kItemCount; ++item) line += ",2";
    return line + "\r\n";
}

std::string Answers(char first) {
    return first + std::string(kItemCount - 1, '2');
}

class ScanRouteTest : public mwtest::StationFixture {
protected:
    void SetUp() override {
        std::filesystem::copy_file(MW_PROGRAM_DIR "/mwscan.db", programDir.File("mwscan.db"));
        UseShippedQuestions();
    }

    void Settings(const std::string& keys) {
        programDir.Write("sctest.ini", "[ScanSettings]\n" + keys);
    }
    void Sheets(const std::vector<std::string>& sheets) {
        sheetDir.Write("batch.csv", std::accumulate(sheets.begin(), sheets.end(), std::string()));
    }
    // The route with the reader's file chosen; the driver's steps work through it.
    void Run() {
        const ScanRouteServices services{
            .chooseSheetFile =
                [this](QWidget*, const QString&) {
                    return QString::fromStdString(sheetDir.File("batch.csv"));
                },
            .printReports = [this](const std::vector<int>& records) { printed = records; }};
        ScanAnswerSheets(ctx, nullptr, services);
        EXPECT_TRUE(driver.Done());
        EXPECT_FALSE(state.ScanMode);
    }
    void ConfirmSettings() {
        driver.When<frmScanSettings>([](frmScanSettings* settings) {
            ChooseLater(settings, frmScanSettings::kInformationOk);
        });
    }

    int Rows() const {
        sqlite3* db = nullptr;
        sqlite3_open(programDir.File("mwscan.db").c_str(), &db);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM ClientTable", -1, &st, nullptr);
        const int rows = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
        sqlite3_finalize(st);
        sqlite3_close(db);
        return rows;
    }
    std::vector<ClientRecord> OnDisk() const {
        const std::string bytes = disk.Read("DATA401.MW");
        std::vector<ClientRecord> clients;
        for (std::size_t at = 0; at < bytes.size(); at += kRecordSize) {
            clients.push_back(ClientRecord::FromBytes(bytes.substr(at, kRecordSize)));
        }
        return clients;
    }
    std::vector<std::string> NamesOnDisk() const {
        std::vector<std::string> names;
        for (const ClientRecord& client : OnDisk()) names.push_back(Trim(client.Name.View()));
        return names;
    }

    mwtest::TempDir sheetDir;
    mwtest::ModalDriver driver;
    std::vector<int> printed;
};

TEST_F(ScanRouteTest, TheScanTableIsEmptiedBeforeTheSettingsAndFaultsWriteNothing) {
    LoadDisk(mwtest::Clients(2));
    const std::string before = disk.Read("DATA401.MW");
    {
        Result<ClientTable> table = ClientTable::Open(programDir.Path());
        ASSERT_TRUE(table);
        ASSERT_TRUE(table->Insert({ClientRecord()}));
    }
    int rowsWhenShown = -1;
    driver.When<frmSelectEntryMethod>([](frmSelectEntryMethod* screen) {
        ChooseLater(screen, frmSelectEntryMethod::kScanAnswerSheet);
    });
    driver.When<frmScanSettings>([&](frmScanSettings*) {
        rowsWhenShown = Rows();
        PressKey(Qt::Key_Escape);
    });
    frmSelectEntryMethod(ctx, nullptr).exec();
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(rowsWhenShown, 0);
    EXPECT_FALSE(programDir.Exists("sctest.ini"));

    // A file the reader did not write as a sheet file imports nothing.
    Sheets({Sheet("A1"), Sheet("A2", "x")});
    ConfirmSettings();
    platform.Next(MsgAnswer::Ok);
    Run();
    EXPECT_EQ(platform.shown.back().title, QStringLiteral("Answer Sheets Not Imported"));
    EXPECT_TRUE(
        platform.shown.back().text.contains(QStringLiteral("line 2: item 1: \"x\" is not a mark")));
    EXPECT_EQ(Rows(), 0);

    // Without the scan database the route ends with the error at once.
    std::filesystem::remove(programDir.File("mwscan.db"));
    platform.Next(MsgAnswer::Ok);
    Run();
    EXPECT_TRUE(platform.shown.back().text.startsWith(QStringLiteral("Error 3024:")));
    EXPECT_TRUE(platform.shown.back().text.endsWith(QStringLiteral(" 5")));
    EXPECT_EQ(disk.Read("DATA401.MW"), before);
}

// Sheets 2 and 4 had an item with two marks and one with none: the grid
// warns and the operator keys those answers. The review of sheet 3 is
// cancelled and its sheet dropped; the sixth sheet is beyond the batch.
TEST_F(ScanRouteTest, AReviewedBatchIsStoredNamedByInmateNumberWithUnreadMarksKeyedOnTheGrid) {
    LoadDisk(mwtest::Clients(2));
    Sheets(
        {Sheet("A1"), Sheet("A2", "12"), Sheet("A3"), Sheet("A4", ""), Sheet("A5"), Sheet("A6")});
    Settings("NumberInBatch=5\nNameSetting=1\nScanPause=False\nScanPrint=True\n");
    ConfirmSettings();
    for (const char* key : std::initializer_list<const char*>{"", "1", nullptr, "2", ""}) {
        driver.When<frmClientInfo>([key](frmClientInfo* info) {
            key ? PressKey(Qt::Key_Return) : mwtest::Choose(info, frmClientInfo::kCancelInput);
        });
        if (!key) {
            platform.Next(MsgAnswer::Yes);  // drop the sheet
            platform.Next(MsgAnswer::No);   // go on with the rest
        }
        if (!key || !*key) continue;
        platform.Next(MsgAnswer::Ok);
        driver.When<frmNewEntry>([key](frmNewEntry* grid) {
            mwtest::TypeKeys(key);
            mwtest::Choose(grid, frmNewEntry::kSave);
        });
    }
    Run();
    ASSERT_EQ(state.RecordCount, 6);
    const std::vector<ClientRecord> clients = OnDisk();
    const std::pair<const char*, char> expected[] = {
        {"A1", '1'}, {"A2", '1'}, {"A4", '2'}, {"A5", '1'}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(Trim(clients[i + 2].Name.View()), expected[i].first);
        EXPECT_EQ(Trim(clients[i + 2].IDNumber.View()), expected[i].first);
        EXPECT_EQ(clients[i + 2].Answers.View(), Answers(expected[i].second)) << i;
    }
    ASSERT_EQ(platform.shown.size(), 4u);
    EXPECT_EQ(platform.shown[0].title, QStringLiteral("Scanned Answers Warning"));
    EXPECT_EQ(platform.shown[1].title, QStringLiteral(" Data Review Cancelled"));
    EXPECT_EQ(platform.shown[1].text,
              QStringLiteral("Data review for client A3 was cancelled.\n"
                             "Do you wish to DELETE this scanned client data?\n"
                             "(You will have to re-scan this client's answer sheet\n"
                             "if you delete.)"));
    EXPECT_EQ(platform.shown[2].title, QStringLiteral("Cancel Data Review?"));
    EXPECT_EQ(platform.shown[3].title, QStringLiteral("Scanned Answers Warning"));
    EXPECT_EQ(printed, (std::vector<int>{3, 4, 5, 6}));
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(ctx.Ini().GetScanImportFolder(), sheetDir.Path());
}

TEST_F(ScanRouteTest, UnreviewedSheetsAreNamedByTestNumberOrAsTypedAfterAPause) {
    LoadDisk(mwtest::Clients(2));
    Settings("NameSetting=2\nScanReview=False\n");
    Sheets({Sheet("A1"), Sheet("A2", "")});
    ConfirmSettings();
    platform.Next(MsgAnswer::Ok);
    platform.Next(MsgAnswer::Ok);
    Run();
    EXPECT_EQ(platform.shown[1].text, QStringLiteral("Answer sheet 2 of 2, inmate number A2.\n"
                                                     "Press the Enter key to continue."));

    Settings("NameSetting=0\nScanReview=False\nScanPause=False\n");
    Sheets({Sheet("B1")});
    ConfirmSettings();
    driver.When<frmMyInputBox>([](frmMyInputBox*) {
        mwtest::TypeText(QStringLiteral("Dee Fox"));
        PressKey(Qt::Key_Return);
        PressKey(Qt::Key_Return);
    });
    Run();
    EXPECT_EQ(NamesOnDisk(),
              (std::vector<std::string>{"Client 1", "Client 2", "Test#3", "Test#4", "Dee Fox"}));
    EXPECT_EQ(OnDisk()[3].Answers.View(), Answers('0'));
    EXPECT_TRUE(printed.empty());
}

TEST_F(ScanRouteTest, ADiskWithRoomForThreeStopsAfterThreeAndKeepsTheRestInTheScanTable) {
    LoadDisk(mwtest::Clients(kMaxClients - 3));
    // A batch of 10, as the file says.
    Settings("NameSetting=1\nScanReview=False\nScanPause=False\n");
    Sheets({Sheet("A1"), Sheet("A2"), Sheet("A3"), Sheet("A4"), Sheet("A5")});
    driver.When<frmScanSettings>([](frmScanSettings* settings) {
        EXPECT_TRUE(mwtest::Find(settings, "lblInfo")
                        ->property("text")
                        .toString()
                        .endsWith(QStringLiteral("3 maximum)")));
        ChooseLater(settings, frmScanSettings::kInformationOk);
    });
    platform.Next(MsgAnswer::Ok);
    Run();
    EXPECT_EQ(state.RecordCount, kMaxClients);
    EXPECT_EQ(NamesOnDisk().back(), "A3");
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].title, QStringLiteral("Review Stopped - Data Disk Full"));
    EXPECT_EQ(platform.shown[0].text,
              QStringLiteral("This data disk is full.\n"
                             "To continue reviewing remaining scanned tests,\n"
                             "exit the program, insert a new data disk, start the program,\n"
                             "choose Add New Client and Review Scanned Answer Sheets.\n"
                             "Returning to the Main Menu."));
    EXPECT_EQ(Rows(), 2);
}

}  // namespace
}  // namespace mw
