#include "core/data/ClientRecord.h"

#include <gtest/gtest.h>

#include "core/data/Cp1252.h"
#include "core/data/SampleClient.h"

namespace mw {
namespace {

TEST(ClientRecord, FieldsLieAtTheirFixedOffsets) {
    ClientRecord r = NonDeviantClient("12/06/2026");
    r.timeseditted = "2";
    r.DeleteFlag = "1";
    std::string bytes = r.ToBytes();
    ASSERT_EQ(bytes.size(), 226u);
    EXPECT_EQ(bytes.substr(0, 25), "Nondeviant Test" + std::string(10, ' '));
    EXPECT_EQ(bytes.substr(25, 11), "000-00-0000");
    EXPECT_EQ(bytes.substr(36, 3), "31 ");
    EXPECT_EQ(bytes.substr(39, 5), "11122");
    EXPECT_EQ(bytes.substr(44, 10), "01/01/1972");
    EXPECT_EQ(bytes.substr(54, 10), "12/06/2026");
    EXPECT_EQ(bytes.substr(64, 160), kNonDeviantAnswers);
    EXPECT_EQ(bytes[224], '2');
    EXPECT_EQ(bytes[225], '1');
}

TEST(ClientRecord, RoundTripsThroughItsBytes) {
    ClientRecord r = NonDeviantClient("12/06/2026");
    r.Name = Utf8ToCp1252("José Núñez");
    r.timeseditted = "2";
    ClientRecord back = ClientRecord::FromBytes(r.ToBytes());
    EXPECT_EQ(back.ToBytes(), r.ToBytes());
    EXPECT_EQ(Cp1252ToUtf8(back.Name.View()), "José Núñez" + std::string(15, ' '));
    EXPECT_EQ(back.Name[3], '\xE9');  // one byte per character on disk
    EXPECT_EQ(back.TimesEdited(), 2);
}

TEST(ClientRecord, AssignmentPadsAndCuts) {
    ClientRecord r;
    r.Name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
    EXPECT_EQ(r.Name.View(), "ABCDEFGHIJKLMNOPQRSTUVWXY");
    r.Name = "Ann";
    EXPECT_EQ(r.Name.View(), "Ann" + std::string(22, ' '));
    EXPECT_EQ(Trim(r.Name.View()), "Ann");
}

TEST(ClientRecord, ShortOrBlankBytesReadAsBlanks) {
    ClientRecord r = ClientRecord::FromBytes("Lee");
    EXPECT_EQ(r.ToBytes(), "Lee" + std::string(223, ' '));
    EXPECT_EQ(r.TimesEdited(), 0);
    EXPECT_EQ(ClientRecord().ToBytes(), std::string(226, ' '));
}

TEST(Cp1252, ConvertsTheUpperHalfAndReplacesWhatItCannotHold) {
    EXPECT_EQ(Utf8ToCp1252("€ – ñ"), "\x80 \x96 \xF1");
    EXPECT_EQ(Cp1252ToUtf8("\x80 \x96 \xF1"), "€ – ñ");
    EXPECT_EQ(Utf8ToCp1252("Łódź"),
              "?\xF3"
              "d?");
}

}  // namespace
}  // namespace mw
