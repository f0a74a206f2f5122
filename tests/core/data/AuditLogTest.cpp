// The audit log's hash, and lines added at its end whatever a crash left there.
#include "core/data/AuditLog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/data/Sha256.h"
#include "support/TempDir.h"

namespace mw {
namespace {

TEST(Sha256, PublishedTestVectors) {
    struct Case {
        std::string message;
        const char* digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 56 bytes: the length no longer fits the block, padding takes a second.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqr"
         "lmnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Sha256Hex(c.message), c.digest) << c.message.size() << " bytes";
    }
}

// RFC 4231's vectors: a short key, a key shorter than its message, and a key
// longer than a block, which is hashed first.
TEST(Sha256, HmacPublishedTestVectors) {
    EXPECT_EQ(HmacSha256Hex(std::string(20, '\x0b'), "Hi There"),
              "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7");
    EXPECT_EQ(HmacSha256Hex("Jefe", "what do ya want for nothing?"),
              "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
    EXPECT_EQ(HmacSha256Hex(std::string(131, '\xaa'),
                            "Test Using Larger Than Block-Size Key - Hash Key First"),
              "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
}

// A line cut short by a crash is no event: the next lines take its place,
// however long the remnant, and the chain stays whole, also through lines
// added together. The log is its owner's only.
TEST(AuditLog, AddsOwnerOnlyLinesOverTheRemnantOfAWriteCutShort) {
    mwtest::TempDir disk;
    AuditLog log(LocalFileSystem(), disk.Path(), {});
    const DateTime when{{2024, 3, 5}, 9, 30, 0};
    ASSERT_TRUE(log.Append(when, {AuditEvent::DiskSelected}));
    ASSERT_TRUE(log.Append(when, {AuditEvent::AnswersChanged, 3, ChangedItems("1120", "2121")}));
    EXPECT_EQ(std::filesystem::status(log.Path()).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const std::string remnant = "03/05/2024 09:31:00\t4\tclient added\t" + std::string(300, 'x');
    disk.Write(kAuditLogFileName, disk.Read(kAuditLogFileName) + remnant);
    const AuditEntry together[] = {{AuditEvent::ClientAdded, 4, "scanned"},
                                   {AuditEvent::ClientAdded, 5, "scanned"},
                                   {AuditEvent::ReportViewed, 3}};
    ASSERT_TRUE(log.AppendAll(when, together));

    const std::string text = disk.Read(kAuditLogFileName);
    EXPECT_EQ(text.find("xxx"), std::string::npos);
    EXPECT_EQ(text.back(), '\n');
    Result<AuditReading> reading = log.Read();
    ASSERT_TRUE(reading);
    EXPECT_EQ(reading->firstBroken, 0);
    ASSERT_EQ(reading->lines.size(), 5u);
    EXPECT_EQ(reading->lines[0].record, "-");
    EXPECT_EQ(reading->lines[1].details, "items 1, 4");
    EXPECT_EQ(reading->lines[3].record, "5");
    EXPECT_EQ(reading->lines[4].event, "report viewed");
}

// A station without the site key adds plain lines after lines keyed with
// it: they neither break the chain for the station itself nor hide a break
// (a case the fuzz target found).
TEST(AuditLog, ALineAddedAfterOnesKeyedElsewhereLeavesTheChainAsItWas) {
    mwtest::TempDir disk;
    const std::string keyed =
        "03/05/2024 09:01:02\t1\tclient added\t\t9ded158d:" + std::string(64, 'a') + "\n";
    for (const std::string& before : {keyed, keyed + "garbled\n"}) {
        SCOPED_TRACE(before);
        disk.Write(kAuditLogFileName, before);
        AuditLog log(LocalFileSystem(), disk.Path(), {});
        const int broken = log.Read()->firstBroken;
        ASSERT_TRUE(log.Append({{2024, 3, 5}, 9, 30, 0}, {AuditEvent::ReportViewed, 1}));
        Result<AuditReading> after = log.Read();
        EXPECT_EQ(after->firstBroken, broken);
        EXPECT_EQ(after->unchecked, 1);
    }
}

}  // namespace
}  // namespace mw
