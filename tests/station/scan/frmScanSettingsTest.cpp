// The batch scan settings: what a missing settings file shows, the batch
// size check, and what OK and Cancel leave in sctest.ini.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "station/scan/frmScanSettings.h"
#include "support/StationFixture.h"

namespace mw {
namespace {

using mwtest::Find;
using mwtest::PressKey;

class ScanSettingsTest : public mwtest::StationFixture {
protected:
    void Open(int largest) {
        screen = std::make_unique<frmScanSettings>(ctx, largest, nullptr);
        mwtest::ShowActive(screen.get());
    }
    QLineEdit* Number() const { return Find<QLineEdit>(screen.get(), "txtNumberToScan"); }
    QRadioButton* Name(int i) const {
        return Find<QRadioButton>(screen.get(), QStringLiteral("optNames_%1").arg(i));
    }
    // The check boxes of review, print and pause, "1" for each checked.
    std::string Checked() const {
        std::string checked;
        for (const char* box : {"chkReview", "chkPrint", "chkPause"}) {
            checked += Find<QCheckBox>(screen.get(), box)->isChecked() ? "1" : "0";
        }
        return checked;
    }

    std::unique_ptr<frmScanSettings> screen;
};

TEST_F(ScanSettingsTest, CancelWritesNothingTheBatchSizeIsCheckedAndOkWritesAllFive) {
    Open(49);
    EXPECT_EQ(Find<QLabel>(screen.get(), "lblInfo")->text(),
              QStringLiteral("&Number of tests to scan (1 minimum, 49 maximum)"));
    EXPECT_TRUE(Number()->hasFocus());
    EXPECT_EQ(Number()->text(), QStringLiteral("10"));
    EXPECT_TRUE(Name(0)->isChecked());
    EXPECT_EQ(Checked(), "101");

    // Every field changed, then Cancel: no file appears.
    Number()->setText(QStringLiteral("3"));
    Name(2)->setChecked(true);
    for (const char* box : {"chkReview", "chkPrint", "chkPause"}) {
        Find<QCheckBox>(screen.get(), box)->toggle();
    }
    mwtest::Choose(screen.get(), frmScanSettings::kCancelInput);
    EXPECT_TRUE(screen->Cancelled());
    EXPECT_FALSE(programDir.Exists("sctest.ini"));

    // The batch size is checked on Enter, and OK writes all five settings.
    const std::string before = "[ScanSettings]\r\nNumberInBatch=4\r\nScanPrint=T\r\n";
    programDir.Write("sctest.ini", before);
    Open(3);
    EXPECT_EQ(Number()->text(), QStringLiteral("4"));
    EXPECT_EQ(Checked(), "111");
    // Refused on Enter in the field and on "Information &OK" alike.
    for (const char* refused : {"4", "0", "x"}) {
        for (bool onOk : {false, true}) {
            platform.Next(MsgAnswer::Ok);
            Number()->setText(QString::fromUtf8(refused));
            onOk ? mwtest::Choose(screen.get(), frmScanSettings::kInformationOk)
                 : PressKey(Qt::Key_Return);
            EXPECT_TRUE(Number()->hasFocus()) << refused;
            EXPECT_TRUE(Number()->text().isEmpty()) << refused;
        }
    }
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(platform.beeps, 6);
    EXPECT_EQ(platform.shown.back().text,
              QStringLiteral("Enter number of tests to scan in this batch. Press Enter to "
                             "continue.\nThis data disk has room for 3 more clients today, so a "
                             "batch takes 1 to 3 sheets."));
    EXPECT_EQ(programDir.Read("sctest.ini"), before);

    // From the field on with the keyboard alone: the names, the check boxes, OK.
    mwtest::TypeText(QStringLiteral(" 3 "));
    PressKey(Qt::Key_Tab);
    EXPECT_TRUE(Name(0)->hasFocus());
    EXPECT_EQ(Number()->text(), QStringLiteral("3"));
    PressKey(Qt::Key_Down);
    EXPECT_TRUE(Name(1)->isChecked());
    PressKey(Qt::Key_Return);
    EXPECT_TRUE(Find(screen.get(), "chkReview")->hasFocus());
    PressKey(Qt::Key_Space);
    for (int i = 0; i < 4; ++i) PressKey(Qt::Key_Return);
    EXPECT_FALSE(screen->Cancelled());
    EXPECT_EQ(programDir.Read("sctest.ini"),
              "[ScanSettings]\r\nNumberInBatch=3\r\nScanPrint=True\r\nNameSetting=1\r\n"
              "ScanReview=False\r\nScanPause=True\r\n");
}

}  // namespace
}  // namespace mw
