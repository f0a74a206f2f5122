// The sheet file screen: how a file is read before anything is imported,
// and the office's choice of layout, inmate number column and name column.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPlainTextEdit>

#include "station/scan/frmSheetFile.h"
#include "support/StationFixture.h"

namespace mw {
namespace {

using mwtest::Find;

class SheetFileTest : public mwtest::StationFixture {
protected:
    // A reader's file with columns of the office's own, "Roll" and "Name".
    static std::string File() {
        std::string header =
            "\"file_id\",\"input_path\",\"output_path\",\"score\",\"Roll\",\"Name\"";
        std::string sheet =
            "\"40117-052.png\",\"in/40117-052.png\",\"out/40117-052.png\",\"0\","
            "\"R-77\",\"Ann Lee\"";
        for (int item = 1; item <= kItemCount; ++item) {
            header += ",\"q" + std::to_string(item) + "\"";
            sheet += item == 17 ? ",\"AB\"" : ",\"A\"";
        }
        return header + "\n" + sheet + "\n";
    }
    void Open() {
        screen = std::make_unique<frmSheetFile>(ctx, "/scans/Results.csv", File(), nullptr);
        mwtest::ShowActive(screen.get());
    }
    QComboBox* List(const char* name) const { return Find<QComboBox>(screen.get(), name); }
    QString Shown() const {
        return Find<QPlainTextEdit>(screen.get(), "txtMapping")->toPlainText();
    }

    std::unique_ptr<frmSheetFile> screen;
};

TEST_F(SheetFileTest, ShowsHowTheFileIsReadAndKeepsTheOfficesChoice) {
    Open();
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("Answer Sheet File"));
    for (const char* line :
         {"Layout: OMRChecker (chosen from the header)\nText: UTF-8, cells separated by commas\n",
          "  file_id: inmate number (the file's name without folder and extension)\n"
          "  input_path to Name: ignored\n  q1 to q160: items 1-160\n",
          "  Inmate number 40117-052\n", "  Items   1- 20: 1111111111111111?111\n",
          "  To key at review (?): items 17\n"}) {
        EXPECT_TRUE(Shown().contains(QString::fromUtf8(line))) << line << "\n"
                                                               << Shown().toStdString();
    }

    // A layout the file does not fit says why and cannot be imported.
    List("cmbLayout")->setCurrentIndex(List("cmbLayout")->findData(QStringLiteral("sdaps")));
    EXPECT_TRUE(
        Shown().startsWith(QStringLiteral("This file cannot be imported as chosen:\n"
                                          "/scans/Results.csv:1: the header has no "
                                          "column questionnaire_id")));
    EXPECT_FALSE(mwtest::Choice(screen.get(), frmSheetFile::kImportSheets)->isEnabled());

    List("cmbLayout")->setCurrentIndex(0);
    const auto inmateFrom = [this](const char* column) {
        QComboBox* list = List("cmbInmateColumn");
        list->setCurrentIndex(list->findText(QString::fromUtf8(column)));
    };
    inmateFrom("output_path");
    EXPECT_TRUE(Shown().contains(QStringLiteral("  Inmate number 40117-052\n")));
    inmateFrom("Roll");
    EXPECT_TRUE(Shown().contains(QStringLiteral("  Inmate number R-77\n")));
    EXPECT_FALSE(Shown().contains(QStringLiteral("  Name ")));
    List("cmbNameColumn")->setCurrentIndex(List("cmbNameColumn")->findText(QStringLiteral("Name")));
    EXPECT_TRUE(Shown().contains(QStringLiteral("  Name: client's name\n")));
    EXPECT_TRUE(Shown().contains(QStringLiteral("  Inmate number R-77\n  Name Ann Lee\n")));
    mwtest::Choose(screen.get(), frmSheetFile::kImportSheets);
    ASSERT_TRUE(screen->File());
    EXPECT_EQ(screen->File()->sheets.front().client.IDNumber.View(), "R-77       ");
    EXPECT_EQ(programDir.Read("sctest.ini"),
              "[ScanSettings]\r\nSheetLayout=\r\nInmateColumn=Roll\r\nNameColumn=Name\r\n");

    Open();
    EXPECT_EQ(List("cmbInmateColumn")->currentText(), QStringLiteral("Roll"));
    EXPECT_EQ(List("cmbNameColumn")->currentText(), QStringLiteral("Name"));
    mwtest::Choose(screen.get(), frmSheetFile::kCancelImport);
    EXPECT_FALSE(screen->File());
}

}  // namespace
}  // namespace mw
