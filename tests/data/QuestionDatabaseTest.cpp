#include "data/QuestionDatabase.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace mw {
namespace {

class QuestionDatabaseTest : public ::testing::Test {
protected:
    QuestionDatabaseTest() {
        auto db = Database::Open(dir.File("q.db"), false);
        // A missing file cannot be opened for writing either: create it first.
        EXPECT_FALSE(db.ok());
        dir.Write("q.db", "");
        db = Database::Open(dir.File("q.db"), false);
        EXPECT_TRUE(db.ok());
        const char* columns =
            "(ID INTEGER, TestQuestion TEXT, QuestionAudio TEXT, ANSWER1 TEXT, ANSWER2 TEXT, "
            "ANSWER3 TEXT, ANSWER4 TEXT, ANSWER5 TEXT, ChoiceAudio1 TEXT, ChoiceAudio2 TEXT, "
            "ChoiceAudio3 TEXT, ChoiceAudio4 TEXT, ChoiceAudio5 TEXT)";
        for (const char* table : {"Spanish", "English", "French"}) {
            EXPECT_TRUE((*db)->Execute(std::string("CREATE TABLE ") + table + columns));
        }
        EXPECT_TRUE((*db)->Execute("CREATE TABLE Notes (x TEXT)"));
        EXPECT_TRUE((*db)->Execute(
            "INSERT INTO English VALUES (2, 'Second', 'Q002', 'True', 'False', NULL, '', NULL, "
            "'TRUE', 'FALSE', NULL, NULL, NULL)"));
        EXPECT_TRUE((*db)->Execute(
            "INSERT INTO English VALUES (1, 'First', 'Q001', 'Yes', 'No', 'Maybe', NULL, NULL, "
            "'YES', 'NO', 'MAYBE', NULL, NULL)"));
    }

    mwtest::TempDir dir;
};

TEST_F(QuestionDatabaseTest, ListsTablesInTheDatabasesOwnOrder) {
    auto db = Database::Open(dir.File("q.db"), true);
    ASSERT_TRUE(db.ok());
    auto names = (*db)->TableNames();
    ASSERT_TRUE(names.ok());
    EXPECT_EQ(*names, (std::vector<std::string>{"Spanish", "English", "French", "Notes"}));
}

TEST_F(QuestionDatabaseTest, ReadsRowsInStoredOrderWithMissingAnswersEmpty) {
    auto db = Database::Open(dir.File("q.db"), true);
    auto rows = (*db)->ReadQuestionTable("english");
    ASSERT_TRUE(rows.ok()) << rows.error().message;
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[0].ID, 2);  // stored order, not item order
    EXPECT_EQ((*rows)[1].TestQuestion, "First");
    EXPECT_EQ((*rows)[1].Answer[2], "Maybe");
    EXPECT_EQ((*rows)[0].Answer[2], "");
    EXPECT_EQ((*rows)[0].Answer[3], "");
    EXPECT_EQ((*rows)[1].ChoiceAudio[1], "NO");
}

TEST_F(QuestionDatabaseTest, FailuresNameTheDatabase) {
    auto missing = Database::Open(dir.File("absent.db"), true);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().message.find("absent.db"), std::string::npos);

    auto db = Database::Open(dir.File("q.db"), true);
    auto notQuestions = (*db)->ReadQuestionTable("Notes");
    ASSERT_FALSE(notQuestions.ok());
    EXPECT_NE(notQuestions.error().message.find("not a question table"), std::string::npos);
    EXPECT_FALSE((*db)->ReadQuestionTable("German").ok());
    EXPECT_FALSE((*db)->Execute("DELETE FROM English").ok());  // opened read-only
}

}  // namespace
}  // namespace mw
