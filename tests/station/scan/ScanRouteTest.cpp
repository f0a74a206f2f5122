// The scan route: the scan table around the settings, and a batch of sheets
// from the reader's file to the data disk.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <filesystem>
#include <numeric>

#include "core/data/ClientTable.h"
#include "core/data/CodeTables.h"
#include "station/app/frmSelectEntryMethod.h"
#include "station/entry/frmClientInfo.h"
#include "station/entry/frmNewEntry.h"
#include "station/scan/ScanRoute.h"
#include "station/scan/frmScanSettings.h"
#include "station/scan/frmSheetFile.h"
#include "station/supervisor/DelNames.h"
#include "support/StationFixture.h"

namespace mw {
namespace {

using mwtest::ChooseLater;
using mwtest::PressKey;

// A sheet with client data, `item` marked as given and every other "2".
std::string Sheet(const std::string& inmate, const std::string& mark = "2", int item = 1) {
    std::string line = inmate + ",44,1,2,12,1,01/02/1980";
    for (int i = 1; i <= kItemCount; ++i) line += "," + (i == item ? mark : "2");
    return line + "\r\n";
}

std::string Answers(char mark = '2', int item = 1) {
    std::string answers(kItemCount, '2');
    answers[static_cast<std::size_t>(item - 1)] = mark;
    return answers;
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
    // The sheets under the station's own header and the `extra` columns.
    void Sheets(const std::vector<std::string>& sheets, const std::string& extra = "") {
        std::string header = "InmateNumber,Age,Sex,Race,Education,MaritalStatus,DateOfBirth";
        for (int item = 1; item <= kItemCount; ++item) header += "," + std::to_string(item);
        header += extra;
        sheetDir.Write("batch.csv", std::accumulate(sheets.begin(), sheets.end(), header + "\n"));
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
    // The settings confirmed, then the sheet file imported as it is shown.
    void ConfirmSettings() {
        driver.When<frmScanSettings>([](frmScanSettings* settings) {
            ChooseLater(settings, frmScanSettings::kInformationOk);
        });
        driver.When<frmSheetFile>(
            [](frmSheetFile* file) { ChooseLater(file, frmSheetFile::kImportSheets); });
    }
    // The summary that ends every batch, answered: what it says, from
    // "Answer sheets read" on.
    void ExpectSummary(const std::string& text) {
        platform.Next(MsgAnswer::Ok, [this, text] {
            EXPECT_EQ(platform.shown.back().title, QStringLiteral("Scan Batch Summary"));
            EXPECT_EQ(platform.shown.back().text.toStdString(), text);
        });
    }
    // `beyond`: how many of those waiting are beyond the batch size.
    void ExpectSummary(int read, int stored, const char* skipped, int waiting, int beyond = 0) {
        ExpectSummary(
            "Answer sheets read: " + std::to_string(read) + "\nStored on the data disk: " +
            std::to_string(stored) + "\nSkipped, already on the data disk: " + skipped +
            "\nNot stored yet: " + std::to_string(waiting) +
            (beyond ? " (" + std::to_string(beyond) + " beyond the batch size)" : "") +
            (waiting ? "\nThey wait in the scan table for the next Scan Answer Sheet." : ""));
    }

    // A sheet of an earlier batch, waiting in the scan table.
    void AddWaiting(const std::string& inmate, const std::string& answers) {
        Result<ClientTable> table = ClientTable::Open(programDir.Path());
        ASSERT_TRUE(table);
        ClientRecord waiting;
        waiting.IDNumber = inmate;
        waiting.Answers = answers;
        ASSERT_TRUE(table->Insert({waiting}));
    }
    // The sheets waiting in the scan table.
    int Rows() const {
        Result<ClientTable> table = ClientTable::Open(programDir.Path());
        Result<std::vector<ClientRecord>> rows = table ? table->ReadAll() : table.error();
        return rows ? static_cast<int>(rows->size()) : -1;
    }
    std::vector<ClientRecord> OnDisk() const { return mwtest::Records(disk.Read("DATA401.MW")); }
    std::vector<std::string> NamesOnDisk() const {
        std::vector<std::string> names;
        for (const ClientRecord& client : OnDisk()) names.push_back(Trim(client.Name.View()));
        return names;
    }

    mwtest::TempDir sheetDir;
    mwtest::ModalDriver driver;
    std::vector<int> printed;
};

// The sheets an earlier batch left go only when the operator says No and
// confirms it; Cancel (Escape, the close box) ends the route with them kept.
TEST_F(ScanRouteTest, WaitingSheetsAreDroppedOnlyAfterAskingAndFaultsWriteNothing) {
    LoadDisk(mwtest::Clients(2));
    const std::string before = disk.Read("DATA401.MW");
    AddWaiting("W1", Answers());
    const auto chooseScan = [this] {
        driver.When<frmSelectEntryMethod>([](frmSelectEntryMethod* screen) {
            ChooseLater(screen, frmSelectEntryMethod::kScanAnswerSheet);
        });
    };
    chooseScan();
    platform.Next(MsgAnswer::Cancel);
    frmSelectEntryMethod(ctx, nullptr).exec();
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(Rows(), 1);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].title, QStringLiteral("Review Previous Data"));
    EXPECT_EQ(platform.shown[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(platform.shown[0].defaultButton, 0);
    EXPECT_TRUE(platform.shown[0].text.startsWith(
        QStringLiteral("Answer sheets of an earlier batch are waiting (1): W1.\n"
                       "Do you want to review ALL clients not yet reviewed?")));

    // No is confirmed, No being the default; not confirmed, the question comes again.
    chooseScan();
    driver.When<frmScanSettings>([&](frmScanSettings*) {
        EXPECT_EQ(Rows(), 0);
        PressKey(Qt::Key_Escape);
    });
    platform.Next({MsgAnswer::No, MsgAnswer::No, MsgAnswer::No, MsgAnswer::Yes});
    frmSelectEntryMethod(ctx, nullptr).exec();
    EXPECT_TRUE(driver.Done());
    ASSERT_EQ(platform.shown.size(), 5u);
    EXPECT_EQ(platform.shown[2].text, QStringLiteral("Delete the 1 waiting answer sheets?\n"
                                                     "They must then be scanned again."));
    EXPECT_EQ(platform.shown[2].defaultButton, 1);
    EXPECT_EQ(platform.shown[3].text, platform.shown[1].text);
    EXPECT_FALSE(programDir.Exists("sctest.ini"));

    // A file the reader did not write as a sheet file cannot be imported: the
    // sheet file screen says why, and Cancel imports nothing.
    Sheets({Sheet("A1"), Sheet("A2", "x")});
    driver.When<frmScanSettings>(
        [](frmScanSettings* settings) { ChooseLater(settings, frmScanSettings::kInformationOk); });
    driver.When<frmSheetFile>([](frmSheetFile* file) {
        EXPECT_TRUE(mwtest::Find<QPlainTextEdit>(file, "txtMapping")
                        ->toPlainText()
                        .contains(QStringLiteral(":3:27: column 1: \"x\" is not a mark")));
        EXPECT_FALSE(mwtest::Choice(file, frmSheetFile::kImportSheets)->isEnabled());
        ChooseLater(file, frmSheetFile::kCancelImport);
    });
    Run();
    EXPECT_EQ(Rows(), 0);

    // Without the scan database the route ends with the error at once.
    std::filesystem::remove(programDir.File("mwscan.db"));
    platform.Next(MsgAnswer::Ok);
    Run();
    EXPECT_TRUE(platform.shown.back().text.startsWith(QStringLiteral("Error 3024:")));
    EXPECT_TRUE(platform.shown.back().text.endsWith(QStringLiteral(" 5")));
    EXPECT_EQ(disk.Read("DATA401.MW"), before);
}

// Sheet 2 has two marks on item 17: the grid names it, starts on it, and the
// operator keys it. Sheet 4 leaves item 1 blank: not answered, no warning.
// The review of sheet 3 is cancelled and its sheet dropped; the sixth sheet
// is beyond the batch and waits for the next. An inmate number keeps its
// letters as the record holds them.
TEST_F(ScanRouteTest, AReviewedBatchIsStoredNamedByInmateNumberWithSeveralMarksKeyedOnTheGrid) {
    LoadDisk(mwtest::Clients(2));
    Sheets({Sheet("Pe\xC3\xB1"
                  "a-07"),
            Sheet("A2", "12", 17), Sheet("A3"), Sheet("A4", ""), Sheet("A5"), Sheet("A6")});
    Settings("NumberInBatch=5\nNameSetting=1\nScanPause=False\nScanPrint=True\n");
    ConfirmSettings();
    for (const char* key : std::initializer_list<const char*>{"", "1", nullptr, "", ""}) {
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
    ExpectSummary(6, 4, "0", 1, 1);
    Run();
    ASSERT_EQ(state.RecordCount, 6);
    const std::vector<ClientRecord> clients = OnDisk();
    const std::pair<const char*, std::string> expected[] = {{"Pe\xF1"
                                                             "a-07",
                                                             Answers()},
                                                            {"A2", Answers('1', 17)},
                                                            {"A4", Answers('0')},
                                                            {"A5", Answers()}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(Trim(clients[i + 2].Name.View()), expected[i].first);
        EXPECT_EQ(Trim(clients[i + 2].IDNumber.View()), expected[i].first);
        EXPECT_EQ(clients[i + 2].Answers.View(), expected[i].second) << i;
    }
    ASSERT_EQ(platform.shown.size(), 4u);
    EXPECT_EQ(platform.shown[0].title, QStringLiteral("Scanned Answers Warning"));
    EXPECT_TRUE(platform.shown[0].text.endsWith(QStringLiteral("\nItems to key: 17.")));
    EXPECT_EQ(platform.shown[1].title, QStringLiteral(" Data Review Cancelled"));
    EXPECT_EQ(platform.shown[1].text,
              QStringLiteral("Data review for client A3 was cancelled.\n"
                             "Do you wish to DELETE this scanned client data?\n"
                             "(You will have to re-scan this client's answer sheet\n"
                             "if you delete.)"));
    EXPECT_EQ(platform.shown[2].title, QStringLiteral("Cancel Data Review?"));
    EXPECT_EQ(printed, (std::vector<int>{3, 4, 5, 6}));
    EXPECT_EQ(Rows(), 1);
    EXPECT_EQ(ctx.Ini().GetScanImportFolder(), sheetDir.Path());
}

// Without review, several marks are stored unanswered, and the summary says which.
TEST_F(ScanRouteTest, UnreviewedSheetsAreNamedByTestNumberOrAsTypedAfterAPauseAndStoredOnce) {
    LoadDisk(mwtest::Clients(2));
    Settings("NameSetting=2\nScanReview=False\n");
    Sheets({Sheet("A1"), Sheet("A2", "12")});
    ConfirmSettings();
    platform.Next({MsgAnswer::Ok, MsgAnswer::Ok});
    ExpectSummary(
        "Answer sheets read: 2\nStored on the data disk: 2\n"
        "Stored with marks not read, those items unanswered: 1 (A2 (line 3) as client 4: items 1)\n"
        "Skipped, already on the data disk: 0\nNot stored yet: 0");
    Run();
    EXPECT_EQ(platform.shown[1].text, QStringLiteral("Answer sheet 2 of 2, inmate number A2.\n"
                                                     "Press the Enter key to continue."));

    Settings("NameSetting=0\nScanReview=False\nScanPause=False\n");
    Sheets({Sheet("B1")});
    ConfirmSettings();
    mwtest::AnswerInputBox(driver, QStringLiteral("Dee Fox"));
    platform.Next(MsgAnswer::Ok);
    Run();
    // The same file once more stores nothing new.
    ConfirmSettings();
    ExpectSummary(1, 0, "1 (B1 (line 2) as client 5)", 0);
    Run();
    // A name the file gives is taken without asking.
    Settings(
        "NameSetting=0\nScanReview=False\nScanPause=False\nInmateColumn=Barcode\n"
        "NameColumn=InmateNumber\n");
    std::string named = Sheet("Cy Dee");
    Sheets({named.insert(named.size() - 2, ",C1")}, ",Barcode");
    ConfirmSettings();
    platform.Next(MsgAnswer::Ok);
    Run();
    EXPECT_EQ(NamesOnDisk(), (std::vector<std::string>{"Client 1", "Client 2", "Test#3", "Test#4",
                                                       "Dee Fox", "Cy Dee"}));
    EXPECT_EQ(Trim(OnDisk()[5].IDNumber.View()), "C1");
    EXPECT_EQ(OnDisk()[3].Answers.View(), Answers('0'));
    EXPECT_TRUE(printed.empty());
    EXPECT_EQ(AuditEvents(),
              (std::vector<std::string>{
                  "3 client added: scanned", "4 client added: scanned",
                  "- scan batch imported: sheets read 2, stored 2, skipped 0, waiting 0",
                  "5 client added: scanned",
                  "- scan batch imported: sheets read 1, stored 1, skipped 0, waiting 0",
                  "- scan batch imported: sheets read 1, stored 0, skipped 1, waiting 0",
                  "6 client added: scanned",
                  "- scan batch imported: sheets read 1, stored 1, skipped 0, waiting 0"}));
}

// A batch not reviewed is stored in one save once its questions are
// answered: when the operator gives up on the disk, none of it is stored and
// all of it waits, with the sheets beyond the batch size; a full disk takes
// none of them. On the next scan they come first, a sheet of the new file
// that is already waiting is not taken twice, and a disk that fills up stops
// the batch again, the sheets before it stored.
TEST_F(ScanRouteTest, AStoppedBatchIsFinishedNextTimeUntilTheDiskIsFull) {
    LoadDisk(mwtest::Clients(kMaxClients - 4));
    Settings("NumberInBatch=4\nNameSetting=1\nScanReview=False\n");
    Sheets({Sheet("A1"), Sheet("A2"), Sheet("A3"), Sheet("A4"), Sheet("A5")});
    driver.When<frmScanSettings>([](frmScanSettings* settings) {
        EXPECT_TRUE(mwtest::Find(settings, "lblInfo")
                        ->property("text")
                        .toString()
                        .endsWith(QStringLiteral("4 maximum)")));
        ChooseLater(settings, frmScanSettings::kInformationOk);
    });
    driver.When<frmSheetFile>(
        [](frmSheetFile* file) { ChooseLater(file, frmSheetFile::kImportSheets); });
    platform.Next({MsgAnswer::Ok, MsgAnswer::Ok, MsgAnswer::Ok});  // the pause before each sheet
    platform.Next(MsgAnswer::Ok, [this] { fs.failWrites = errc::DiskFull; });
    platform.Next(MsgAnswer::Cancel);  // give up on the disk
    ExpectSummary(5, 0, "0", 5, 1);
    platform.Next(MsgAnswer::Ok);  // nor can the batch be added to the audit log
    const std::string noneStored = disk.Read("DATA401.MW");
    Run();
    fs.failWrites.reset();
    EXPECT_EQ(disk.Read("DATA401.MW"), noneStored);
    EXPECT_EQ(state.RecordCount, kMaxClients - 4);
    EXPECT_EQ(Rows(), 5);

    LoadDisk(mwtest::Clients(kMaxClients));
    platform.Next(MsgAnswer::Ok);
    Run();
    EXPECT_EQ(platform.shown.back().title, QStringLiteral("Review Stopped - Data Disk Full"));
    EXPECT_EQ(platform.shown.back().text,
              QStringLiteral("This data disk is full.\n"
                             "To continue reviewing remaining scanned tests,\n"
                             "exit the program, insert a new data disk, start the program,\n"
                             "choose Add New Client and Review Scanned Answer Sheets.\n"
                             "Returning to the Main Menu."));
    EXPECT_EQ(Rows(), 5);

    disk.Write("DATA401.MW", noneStored);
    ASSERT_TRUE(ctx.Store().LoadRecords());
    Settings("NumberInBatch=2\nNameSetting=1\nScanReview=False\nScanPause=False\n");
    Sheets({Sheet("A4"), Sheet("A6")});
    platform.Next(MsgAnswer::Yes);  // review the waiting sheets
    ConfirmSettings();
    platform.Next(MsgAnswer::Ok);  // the disk is full at A5
    ExpectSummary(2, 4, "0", 2);
    Run();
    EXPECT_EQ(platform.shown[platform.shown.size() - 2].title,
              QStringLiteral("Review Stopped - Data Disk Full"));
    const std::vector<std::string> names = NamesOnDisk();
    EXPECT_EQ(std::vector<std::string>(names.end() - 4, names.end()),
              (std::vector<std::string>{"A1", "A2", "A3", "A4"}));
    EXPECT_EQ(Rows(), 2);
}

// After Delete Names a sheet already on the disk is still known by its
// answers and skipped. A sheet with the inmate number of a client whose
// answers differ is stored only when the operator says so, also when that
// client comes from the same batch and is stored in its save. A sheet that
// waited while the names were deleted is stored as a client whose name was
// deleted, with nothing to review.
TEST_F(ScanRouteTest, SheetsOnTheDiskAreKnownAfterDeleteNamesAndAnInmateNumberTwiceIsAsked) {
    LoadDisk(mwtest::Clients(2));
    Settings("NameSetting=1\nScanPause=False\nScanReview=False\n");
    Sheets({Sheet("A1"), Sheet("A2", "1", 5)});
    ConfirmSettings();
    ExpectSummary(2, 2, "0", 0);
    Run();

    Sheets({Sheet("A1", "1")});
    for (MsgAnswer store : {MsgAnswer::No, MsgAnswer::Yes}) {
        ConfirmSettings();
        platform.Next(store, [this] {
            EXPECT_EQ(platform.shown.back().title, QStringLiteral("Inmate Number Already Used"));
            EXPECT_EQ(platform.shown.back().defaultButton, 1);
            EXPECT_EQ(platform.shown.back().text,
                      QStringLiteral("Inmate number A1 (line 2) is already on this data disk with "
                                     "other answers: client 3, A1, tested 03/05/2024.\n"
                                     "Do you want to store this answer sheet as a new client?\n"
                                     "Click NO to skip it: it is not stored."));
        });
        if (store == MsgAnswer::No) {
            ExpectSummary(
                "Answer sheets read: 1\nStored on the data disk: 0\n"
                "Skipped, already on the data disk: 0\n"
                "Not stored, inmate number already on the data disk with other answers: 1 "
                "(A1 (line 2), client 3)\nNot stored yet: 0");
        } else {
            ExpectSummary(1, 1, "0", 0);
        }
        Run();
        EXPECT_EQ(Rows(), 0);
    }
    AddWaiting("B1", Answers());
    Sheets({Sheet("B1", "1")});
    platform.Next(MsgAnswer::Yes);  // review the waiting sheet
    ConfirmSettings();
    platform.Next(MsgAnswer::Yes, [this] {
        EXPECT_TRUE(platform.shown.back().text.startsWith(
            QStringLiteral("Inmate number B1 (line 2) is already on this data disk with other "
                           "answers: client 6, B1, tested 03/05/2024.\n")));
    });
    ExpectSummary(1, 2, "0", 0);
    Run();
    EXPECT_EQ(NamesOnDisk(),
              (std::vector<std::string>{"Client 1", "Client 2", "A1", "A2", "A1", "B1", "B1"}));
    EXPECT_EQ(OnDisk()[4].Answers.View(), Answers('1'));
    EXPECT_EQ(OnDisk()[6].Answers.View(), Answers('1'));

    AddWaiting("W1", Answers('1', 9));
    mwtest::AnswerInputBox(driver, QStringLiteral("J"));
    platform.Next({MsgAnswer::Yes, MsgAnswer::Ok});
    DeleteNames(ctx, nullptr);

    Settings("NameSetting=1\nScanPause=False\n");
    Sheets({Sheet("A1"), Sheet("A2", "1", 5)});
    platform.Next(MsgAnswer::Yes, [this] {
        EXPECT_TRUE(platform.shown.back().text.startsWith(QStringLiteral(
            "Answer sheets of an earlier batch are waiting (1): a sheet whose inmate number "
            "was deleted.")));
    });
    ConfirmSettings();
    ExpectSummary(2, 1,
                  "2 (A1 (line 2) as client 3, whose name was deleted; "
                  "A2 (line 3) as client 4, whose name was deleted)",
                  0);
    Run();
    ASSERT_EQ(state.RecordCount, 8);
    const ClientRecord stored = OnDisk()[7];
    EXPECT_EQ(Trim(stored.Name.View()), kDeletedName);
    EXPECT_EQ(Trim(stored.IDNumber.View()), "");
    EXPECT_EQ(stored.DeleteFlag, "1");
    EXPECT_EQ(stored.Answers.View(), Answers('1', 9));
}

}  // namespace
}  // namespace mw
