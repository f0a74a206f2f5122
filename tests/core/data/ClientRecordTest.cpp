#include "core/data/ClientRecord.h"

#include <gtest/gtest.h>

#include "core/data/Cp1252.h"
#include "core/data/SampleClient.h"

namespace mw {
namespace {

TEST(ClientRecord, FieldsLieAtTheirFixedOffsetsArePaddedAndCutAndReadBack) {
    ClientRecord r = NonDeviantClient("12/06/2026");
    r.timeseditted = "2";
    r.DeleteFlag = "1";
    const std::string bytes = r.ToBytes();
    EXPECT_EQ(bytes, "Nondeviant Test          000-00-000031 1112201/01/197212/06/2026" +
                         std::string(kNonDeviantAnswers) + "21");
    ClientRecord back = ClientRecord::FromBytes(bytes);
    EXPECT_EQ(back.ToBytes(), bytes);
    EXPECT_EQ(back.TimesEdited(), 2);

    // Fields are padded and cut; short bytes read as blanks.
    r.Name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";
    EXPECT_EQ(r.Name.View(), "ABCDEFGHIJKLMNOPQRSTUVWXY");
    r = ClientRecord::FromBytes("Lee");
    EXPECT_EQ(r.ToBytes(), "Lee" + std::string(223, ' '));
    EXPECT_EQ(r.TimesEdited(), 0);
}

TEST(Cp1252, ConvertsTheUpperHalfAndReplacesWhatItCannotHold) {
    EXPECT_EQ(Utf8ToCp1252("€ – ñ"), "\x80 \x96 \xF1");
    EXPECT_EQ(Cp1252ToUtf8("\x80 \x96 \xF1"), "€ – ñ");
    EXPECT_EQ(Utf8ToCp1252("Łódź"),
              "?\xF3"
              "d?");
    // The five undefined bytes show as U+FFFD, never as controls, and come
    // back in turn from the text they were shown from.
    const std::string undefined = "\x81\x8D\x8F\x90\x9D";
    const std::string shown = Cp1252ToUtf8(undefined);
    EXPECT_EQ(shown, "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToCp1252("\u20AC" + shown + "\uFFFD", "\x80" + undefined),
              "\x80" + undefined + "?");
}

}  // namespace
}  // namespace mw
