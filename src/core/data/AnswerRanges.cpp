#include "core/data/AnswerRanges.h"

#include <algorithm>

namespace mw {

AnswerRanges::AnswerRanges() {
    for (int item = 1; item <= kItemCount; ++item) {
        highest_[static_cast<std::size_t>(item)] = kSectionHighestAnswer[SectionOf(item)];
    }
}

AnswerRanges AnswerRanges::FromQuestions(const std::vector<QuestionRow>& questions) {
    AnswerRanges ranges;
    for (const QuestionRow& question : questions) {
        if (question.ID < 1 || question.ID > kItemCount) continue;
        int last = 2;
        for (int k = 0; k < static_cast<int>(question.Answer.size()); ++k) {
            if (!question.Answer[static_cast<std::size_t>(k)].empty()) last = std::max(last, k + 1);
        }
        ranges.highest_[static_cast<std::size_t>(question.ID)] = last;
    }
    return ranges;
}

std::string AnswerRanges::Within(std::string_view answers) const {
    std::string within(std::min<std::size_t>(answers.size(), kItemCount), '0');
    for (std::size_t i = 0; i < within.size(); ++i) {
        const int code = AnswerValue(answers[i]);
        if (Accepts(static_cast<int>(i) + 1, code)) within[i] = static_cast<char>('0' + code);
    }
    return within;
}

AnswerRanges ReadAnswerRanges(const Database* database) {
    if (!database) return {};
    Result<std::vector<QuestionRow>> questions = database->ReadQuestionTable(kAnswerSheetTable);
    return questions ? AnswerRanges::FromQuestions(*questions) : AnswerRanges();
}

}  // namespace mw
