#include "core/data/QuestionDatabase.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace mw {
namespace {

// The bundled tables are read in the instrument's checks; these are the
// cases they cannot show.
TEST(QuestionDatabase, ReadsStoredOrderAndNamesTheDatabaseInFailures) {
    mwtest::TempDir dir;
    ASSERT_FALSE(Database::Open(dir.File("q.db"), false).ok());  // never creates a database
    dir.Write("q.db", "");
    auto writable = Database::Open(dir.File("q.db"), false);
    ASSERT_TRUE(writable.ok());
    ASSERT_TRUE((*writable)->Execute(
        "CREATE TABLE English (ID INTEGER, TestQuestion TEXT, QuestionAudio TEXT, ANSWER1 TEXT, "
        "ANSWER2 TEXT, ChoiceAudio1 TEXT, ChoiceAudio2 TEXT);"
        "INSERT INTO English VALUES (2, 'Second', 'Q002', 'True', NULL, 'TRUE', NULL);"
        "INSERT INTO English VALUES (1, 'First', 'Q001', 'Yes', 'No', 'YES', 'NO');"
        "CREATE TABLE Notes (x TEXT)"));

    auto db = Database::Open(dir.File("q.db"), true);
    auto rows = (*db)->ReadQuestionTable("english");
    ASSERT_TRUE(rows.ok()) << rows.error().message;
    EXPECT_EQ((*rows)[0].ID, 2);  // stored order, not item order
    EXPECT_EQ((*rows)[0].Answer[1], "");
    EXPECT_EQ((*rows)[0].Answer[4], "");  // a column the table lacks
    EXPECT_EQ((*rows)[1].ChoiceAudio[1], "NO");

    auto notQuestions = (*db)->ReadQuestionTable("Notes");
    ASSERT_FALSE(notQuestions.ok());
    EXPECT_NE(notQuestions.error().message.find("q.db"), std::string::npos);
    EXPECT_FALSE((*db)->ReadQuestionTable("German").ok());
    EXPECT_FALSE((*db)->Execute("DELETE FROM English").ok());  // opened read-only
    auto missing = Database::Open(dir.File("absent.db"), true);
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().message.find("absent.db"), std::string::npos);
}

}  // namespace
}  // namespace mw
