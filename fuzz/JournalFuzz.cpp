// The test journal (MWTEST.JNL): a journal that is read is written back as
// text that reads as the same journal, with every answer within its item's
// range; one that is refused is refused by name.
#include "FuzzSupport.h"
#include "core/data/TestJournal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mw;
    static const AnswerRanges ranges;
    Result<TestJournal> read =
        TestJournal::FromText(mwfuzz::Bytes(data, size), kTestJournalName, ranges);
    if (!read) {
        mwfuzz::CheckRefusal(read.error(), kTestJournalName);
        return 0;
    }
    for (int item = 1; item <= kItemCount; ++item) {
        mwfuzz::Check(ranges.Accepts(item, read->Answers[static_cast<std::size_t>(item)]),
                      "an answer outside its item's range was read");
    }
    const std::string text = read->ToText();
    Result<TestJournal> again = TestJournal::FromText(text, kTestJournalName, ranges);
    mwfuzz::Check(again.ok(), "a journal written from one that was read is refused");
    mwfuzz::Check(again->ToText() == text, "a journal does not read back as written");
    mwfuzz::Check(again->Answers == read->Answers && again->Item == read->Item,
                  "a journal's answers do not read back as written");
    return 0;
}
