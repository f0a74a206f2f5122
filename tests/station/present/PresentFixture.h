// A station ready to give the test on the screen: a question database of our
// own making, a sound folder holding every sound it names, and a new client
// in the free slot after two others.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/data/CodeTables.h"
#include "station/present/frmPresentQA.h"
#include "support/StationFixture.h"

namespace mwtest {

// How many answers item `item` has: two, four, five and four by section.
inline int AnswerCount(int item) {
    return mw::kSectionHighestAnswer[mw::SectionOf(item)];
}

class PresentFixture : public StationFixture {
protected:
    // A question table of the given items ("Item n", sound Qn, answers "A1"..
    // with sounds Cn_1..), made in the order of the calls.
    void AddQuestionTable(const std::string& name, const std::vector<int>& items) {
        if (!ctx.database) {
            programDir.Write("mw32.db", "");
            auto db = mw::Database::Open(programDir.File("mw32.db"), false);
            ASSERT_TRUE(db) << db.error().message;
            ctx.database = std::move(*db);
        }
        std::string sql = "BEGIN; CREATE TABLE " + mw::QuoteIdentifier(name) +
                          " (ID INTEGER, TestQuestion TEXT, QuestionAudio TEXT, ANSWER1 TEXT, "
                          "ANSWER2 TEXT, ANSWER3 TEXT, ANSWER4 TEXT, ANSWER5 TEXT, ChoiceAudio1 "
                          "TEXT, ChoiceAudio2 TEXT, ChoiceAudio3 TEXT, ChoiceAudio4 TEXT, "
                          "ChoiceAudio5 TEXT);";
        for (int item : items) {
            const std::string n = std::to_string(item);
            std::string answers, sounds;
            for (int k = 1; k <= 5; ++k) {
                const bool has = k <= AnswerCount(item);
                answers += has ? ", 'A" + std::to_string(k) + "'" : ", ''";
                sounds += ", 'C" + n + "_" + std::to_string(k) + " '";
            }
            sql += "INSERT INTO " + mw::QuoteIdentifier(name) + " VALUES (" + n + ", 'Item " + n +
                   "', ' Q" + n + "'" + answers + sounds + ");";
        }
        ASSERT_TRUE(ctx.database->Execute(sql + "COMMIT;"));
    }
    static std::vector<int> AllItems() {
        std::vector<int> items;
        for (int item = 1; item <= mw::kItemCount; ++item) items.push_back(item);
        return items;
    }

    // Every sound the language's table names for `items`, and the
    // instructions' sounds: what `make` gives for its path, or empty files.
    void MakeSounds(const std::string& language, const std::vector<int>& items = AllItems(),
                    const std::function<std::string(const std::string&)>& make = {}) {
        const std::string folder = "MWTEST/sound/" + language + "/";
        std::filesystem::create_directories(sounds.File(folder));
        std::vector<std::string> names = {"Inst0", "Inst1", "Inst2", "Inst3", "Inst4"};
        for (int item : items) {
            names.push_back("Q" + std::to_string(item));
            for (int k = 1; k <= 5; ++k) {
                names.push_back("C" + std::to_string(item) + "_" + std::to_string(k));
            }
        }
        for (const std::string& name : names) {
            const std::string path = sounds.File(folder + name + ".wav");
            sounds.Write(folder + name + ".wav", make ? make(path) : "");
        }
        state.SoundPath = sounds.Path();
    }

    // Two clients on the disk and a new one keyed into the free slot.
    void NewClient() {
        LoadDisk({"Ann", "Bob"});
        onDisk = disk.Read("DATA401.MW");
        client.Name = "Cy";
        client.Answers = std::string(mw::kItemCount, '0');
        client.DeleteFlag = "0";
        client.TodayDate = "03/05/2024";
        state.ClientRecords[3] = client;
        state.CurrentRecord = 3;
        state.ChoiceConfirmed = true;
    }

    // The presentation of `language`, shown.
    void Open(const char* language) {
        auto questions = mw::frmPresentQA::ReadQuestions(ctx, QString::fromUtf8(language));
        ASSERT_TRUE(questions) << questions.error().message;
        opened = std::make_unique<mw::frmPresentQA>(ctx, QString::fromUtf8(language),
                                                    std::move(*questions), nullptr);
        screen = opened.get();
        ShowActive(screen);
    }

    QString Status() const { return Find<QLabel>(screen, "MsgPanel")->text(); }
    bool InstructionsShowing() const { return Find(screen, "fraInstructions")->isVisible(); }
    // The number of the item shown.
    int Item() const {
        return Find<QPlainTextEdit>(screen, "txtQuestion")
            ->toPlainText()
            .section(QLatin1Char('.'), 0, 0)
            .toInt();
    }
    bool QuestionHasFocus() const { return Find(screen, "txtQuestion")->hasFocus(); }

    // From the question, highlight answer `position` with Down and choose it
    // with Enter, `ms` after the item came into sight.
    void AnswerWith(int position, int ms = 2500) {
        ASSERT_TRUE(QuestionHasFocus()) << "item " << Item();
        for (int k = 0; k < position; ++k) PressKey(Qt::Key_Down);
        clock.ms += ms;
        PressKey(Qt::Key_Return);
    }
    // The answer the keyed runs give an item, and those answers for the whole test.
    static int Pattern(int item) { return item % AnswerCount(item) + 1; }
    static std::string Patterned() {
        std::string answers;
        for (int item = 1; item <= mw::kItemCount; ++item) answers += char('0' + Pattern(item));
        return answers;
    }
    // The record file after the new client was stored with `answers`.
    std::string Stored(const std::string& answers) {
        client.Answers = answers;
        return onDisk + client.ToBytes();
    }
    // Answers from the item shown through `last` by Pattern; each section's
    // note is acknowledged and the next section's instructions read.
    void AnswerThrough(int last) {
        for (int item = Item(); item <= last; ++item) {
            ASSERT_EQ(Item(), item);
            const bool sectionEnd =
                std::ranges::find(mw::SectionBounds, item) != mw::SectionBounds.end();
            if (sectionEnd) platform.Next(mw::MsgAnswer::Ok);
            AnswerWith(Pattern(item));
            if (sectionEnd && item < mw::kItemCount) {
                ASSERT_TRUE(InstructionsShowing());
                PressKey(Qt::Key_Return);
            }
        }
    }
    // Past the general and the first section's instructions to item 1.
    void ReadFirstInstructions() {
        PressKey(Qt::Key_Return);
        PressKey(Qt::Key_Return);
        ASSERT_TRUE(QuestionHasFocus());
    }

    TempDir sounds;
    std::string onDisk;
    mw::ClientRecord client;
    std::unique_ptr<mw::frmPresentQA> opened;
    // The presentation the helpers work on.
    mw::frmPresentQA* screen = nullptr;
};

}  // namespace mwtest
