#include "core/report/ReportComposer.h"

#include <algorithm>
#include <cctype>

#include "core/data/CodeTables.h"
#include "core/data/Paradata.h"
#include "core/report/ParagraphFile.h"
#include "core/report/ParagraphPrinter.h"
#include "core/report/ReportPage.h"

namespace mw {
namespace {

constexpr const char* kFooterProduct = "Mirrorwise v4.01  -  Screening Station Report";
constexpr const char* kFooterConfidential =
    "CONFIDENTIAL: for authorized staff only. Do not copy or release.";

// The chart's ruler: position p (0-40) stands for percentile 2.5 p, with marks
// at the 0th, 40th, 70th, 90th and 100th percentiles.
constexpr std::string_view kDottedRuler = "-...............-...........-.......-...-";
constexpr std::string_view kChartFrame = "+---------------+-----------+-------+---+";

// The ruler's marks without its dots.
constexpr std::string_view kEmptyRuler = "-               -           -       -   -";
static_assert(kEmptyRuler.size() == kDottedRuler.size());

// A text field as the report prints it: no control byte reaches the printer.
std::string FieldText(std::string_view field) {
    return Trim(Printable(field));
}

std::string NotAvailableIfN(const std::string& value) {
    return value == "N" || value == "n" ? "N/A" : value;
}

template <std::size_t N>
std::string CodeTextOrNA(const std::array<std::string_view, N>& table, std::string_view field) {
    std::string_view text = CodeText(table, CodeValue(field));
    return std::string(text.empty() ? "N/A" : text);
}

// Group names and sizes of the significant items, in list order.
struct SignificantGroup {
    const char* name;
    int size;
};
constexpr std::array<SignificantGroup, 6> kSignificantGroups = {{{"ALCOHOL", 7},
                                                                 {"DRUGS", 7},
                                                                 {"DISTRESS", 8},
                                                                 {"VIOLENCE", 10},
                                                                 {"RESISTANCE", 14},
                                                                 {"MORALE", 7}}};

// The confidentiality notice under the client header.
constexpr const char* kNotice[] = {
    "Mirrorwise  results  are confidential and  are working  hypotheses.  No",
    "diagnosis or decision should be based solely upon these results.  These",
    "test  results  are to be  used in   conjunction with  experienced staff",
    "judgment and review of available records."};

class Composer {
public:
    Composer(const ReportRequest& request, const TextFileReader& readFile)
        : r_(request), s_(request.sheet), readFile_(readFile), page_(request.header.Name) {}

    ComposedReport Run() {
        FullReport();
        if (r_.paradata) ParadataAnnex(*r_.paradata);
        return {std::move(page_).Bytes(), std::move(problems_)};
    }

private:
    int& counter() { return page_.counter; }
    int P(int scale) const { return s_.Percentile[scale]; }
    int Truth() const { return P(kTruthfulness); }

    // An empty line whose count is part of a block's stated total.
    void EmptyLine() { page_.End(); }
    // An empty line that counts on its own.
    void BlankLine() {
        page_.End();
        ++counter();
    }
    void NewPageWhen(bool condition) {
        if (condition) page_.NewPage();
    }

    // --- The full report, in order ------------------------------------------

    void FullReport() {
        Title();
        HeaderBlock();
        if (!IsValidProtocol(s_)) {
            InvalidReport();
            return;
        }
        NewPageWhen(counter() + 4 > kPageLines);
        Notice();
        if (counter() < kPageLines) BlankLine();
        Chart(kTruthfulness, kDrugs);
        SummaryFirstHalf();
        PageFooter();
        page_.NewPage();
        Chart(kDistress, kStressCoping);
        SummarySecondHalf();
        ScaleParagraphs();
        page_.Column(38).Text("* * * * *").End();
        EmptyLine();
        counter() += 2;
        NewPageWhen(counter() + 7 > kPageLines);
        SignificantItems();
        NewPageWhen(counter() + 11 > kPageLines);
        MultipleChoice();
        BlankLine();
        Recommendations();
        BlankLine();
        NewPageWhen(counter() + 6 > kPageLines);
        if (counter() + 10 < kPageLines) BlankLine();
        ResponseListing();
        if (counter() > 45 && counter() < kPageLines) PageFooter();
        NewPageWhen(counter() >= kPageLines);
        ResponsePatternsSection();
        if (r_.summary) OnePageSummary();
    }

    void Title() {
        page_.Column(37).Text("MIRRORWISE").End();
        page_.Column(37).Text("**********").End();
        EmptyLine();
        counter() += 3;
    }

    void HeaderBlock() {
        const ReportHeader& h = r_.header;
        page_.Skip(7).Text("NAME: ").Text(h.Name).End();
        page_.Skip(7).Text("ID #: ").Text(h.IDNumber).End();
        page_.Skip(7).Text("AGE : ").Text(h.Age).Column(21).Text("SEX: ").Text(h.Sex);
        page_.Column(60).Text("CONFIDENTIAL REPORT").End();
        page_.Skip(7).Text("ETHNICITY/RACE: ").Text(h.Ethnicity).End();
        page_.Skip(7).Text("EDUCATION/HIGHEST GRADE: ").Text(h.Education).End();
        page_.Skip(7).Text("MARITAL STATUS: ").Text(h.MaritalStatus).End();
        page_.Skip(7).Text("DATE OF BIRTH: ").Text(h.DateOfBirth).End();
        page_.Skip(7).Text("DATE SCORED: ").Text(h.DateScored).End();
        EmptyLine();
        counter() += 9;
    }

    // Truthfulness at the 95th percentile or above: the scales cannot be
    // read, so the report explains why and ends with the comment block.
    void InvalidReport() {
        ForParagraphLines(kInvalidTextFileName, "", [this](std::string_view line) {
            page_.Skip(7).Text(line).End();
            ++counter();
            NewPageWhen(counter() > kPageLines);
        });
        BlankLine();
        Recommendations();
    }

    void Notice() {
        for (const char* line : kNotice) page_.Skip(7).Text(line).End();
        counter() += 4;
    }

    // Empty lines up to line 56, then the two footer lines.
    void PageFooter() {
        while (counter() < 56) BlankLine();
        page_.Skip(7).Text(kFooterProduct).End();
        page_.Skip(7).Text(kFooterConfidential).End();
        counter() += 2;
    }

    // --- Profile chart -------------------------------------------------------

    void Chart(int first, int last) {
        page_.Skip(7)
            .Text("MEASURES")
            .Skip(12)
            .Text("%ile")
            .Skip(16)
            .Text(" MIRRORWISE PROFILE")
            .End();
        page_.Skip(7).Text("--------").Skip(12).Text("----").Skip(6).Text(kChartFrame).End();
        page_.Skip(37).Text("-   LOW RISK    -  MEDIUM   -PROBLEM-MAX-").End();
        page_.Skip(37).Text(kEmptyRuler).End();
        bool omissions = false;
        for (int scale = first; scale <= last; ++scale) {
            omissions |= ChartRow(scale);
            page_.Skip(37).Text(scale < last ? kEmptyRuler : kChartFrame).End();
        }
        if (omissions) {
            page_.Skip(7).Text("** Too many omitted items");
        } else if (Truth() >= 90) {
            page_.Skip(7).Text("* These test results");
        }
        page_.Column(38)
            .Text("0")
            .Skip(15)
            .Text("40")
            .Skip(10)
            .Text("70")
            .Skip(6)
            .Text("90 100")
            .End();
        if (omissions) {
            page_.Skip(7).Text("   to score this scale");
        } else if (Truth() >= 90) {
            page_.Skip(7).Text("  are inaccurate");
        }
        page_.Column(38).Text("----------- PERCENTILE SCORES -----------").End();
        EmptyLine();
        counter() += 2 * (last - first) + 9;
    }

    // One scale's row; true when the scale is shown as not scored.
    bool ChartRow(int scale) {
        const int percentile = P(scale);
        page_.Skip(7).Text(r_.texts.ScaleNames[scale]).Column(percentile < 10 ? 29 : 28);
        if (!IsScaleScored(s_, scale)) {
            page_.Text(" **").Column(38).Text("Scale not scored, insufficient answers").End();
            return true;
        }
        page_.Number(percentile);
        if (Truth() >= 90) page_.Text("*");
        const int n = percentile * 10 / 25;
        page_.Column(38).Repeat('*', n + 1);
        page_.Text(kDottedRuler.substr(kDottedRuler.size() - static_cast<std::size_t>(40 - n)))
            .End();
        return false;
    }

    // --- Overall summary -----------------------------------------------------

    void SummaryHeading() {
        if (page_.page == 1 || (page_.page == 2 && Truth() <= 89)) {
            page_.Column(39).Text("SUMMARY").End();
            page_.Column(39).Text("-------").End();
            counter() += 2;
        }
    }

    void SummaryFirstHalf() {
        const bool inaccurate = InRange(Truth(), 90, 94);
        const std::string first =
            inaccurate ? InvalidityParagraph(r_.pronouns) : FirstSummaryParagraph(s_, r_.pronouns);
        const std::string second = inaccurate ? "" : ProfileStatement(s_, r_.texts);
        SummaryHeading();
        PrintParagraph(first);
        if (!second.empty()) {
            BlankLine();
            PrintParagraph(second);
        }
        if (page_.page == 1) {
            if (inaccurate) BlankLine();
            page_.Skip(7)
                .Text("The Distress, Morale, Self-Esteem and  Stress Coping Abilities  Scales")
                .End();
            page_.Skip(7).Text("are printed on the next page.").End();
            counter() += 2;
        }
    }

    void SummarySecondHalf() {
        if (Truth() <= 89) {
            SummaryHeading();
            PrintParagraph(SecondSummaryParagraph(s_, r_.pronouns));
        } else {
            PrintParagraph("");
        }
    }

    void PrintParagraph(const std::string& text) {
        for (std::string_view line : BreakParagraph(text)) {
            page_.Skip(7).Justified(line).End();
            ++counter();
            NewPageWhen(counter() >= kPageLines);
        }
    }

    // --- Scale paragraphs ----------------------------------------------------

    void ScaleParagraphs() {
        EmptyLine();
        page_.Skip(7)
            .Text(" * * SUMMARY PARAGRAPHS EXPLAINING CLIENT'S ATTAINED SCALE SCORES * *")
            .End();
        page_.Skip(7)
            .Text("     -------------------------------------------------------------")
            .End();
        EmptyLine();
        counter() += 4;
        for (int scale = kTruthfulness; scale <= kStressCoping; ++scale) {
            if (!IsScaleScored(s_, scale)) {
                NotScored(scale);
            } else if (scale == kTruthfulness && s_.RawScore[scale] == 99) {
                ExcessiveTrue();
            } else {
                ScaleBlock(scale);
                if (counter() > 2 && counter() < kPageLines) BlankLine();
            }
            NewPageWhen(counter() + 4 > kPageLines);
        }
    }

    void NotScored(int scale) {
        page_.Skip(7).Text(r_.texts.ScaleNames[scale]).End();
        ++counter();
        page_.Skip(8)
            .Text("This scale  is inaccurate  and  not  scorable  because  the respondent")
            .End();
        page_.Skip(8).Text("omitted or skipped an excessive number of items.").End();
        counter() += 2;
        if (counter() < kPageLines) BlankLine();
    }

    void ExcessiveTrue() {
        page_.Skip(8)
            .Text("The Truthfulness Scale  is inaccurate  because there were an excessive")
            .End();
        page_.Skip(8).Text("number of True responses in Section 1.").End();
        counter() += 2;
        if (counter() < kPageLines) BlankLine();
        if (counter() > 2 && counter() < kPageLines) BlankLine();
    }

    std::string RangeLabel(int scale, int percentile) const {
        const int range = percentile <= 39 ? 1 : percentile <= 69 ? 2 : percentile <= 89 ? 3 : 4;
        if (range == 1 && scale == kSelfEsteem) return percentile < 26 ? "LOW-LOW" : "LOW-HIGH";
        if (range == 2) return percentile < 56 ? "MEDIUM-LOW" : "MEDIUM-HIGH";
        if (range == 4) return percentile < 95 ? "MAXIMUM-LOW" : "MAXIMUM-HIGH";
        return r_.texts.RangeLabels[range];
    }

    void ScaleBlock(int scale) {
        const int percentile = P(scale);
        page_.Skip(7)
            .Text(r_.texts.ScaleNames[scale])
            .Text(" SCALE: ")
            .Text(RangeLabel(scale, percentile));
        page_.Text(" RISK RANGE")
            .Column(61)
            .Text("RISK PERCENTILE:")
            .Text(std::to_string(percentile))
            .End();
        ++counter();
        ForParagraphLines(ParagraphFileName(scale), std::to_string(percentile),
                          [this](std::string_view line) {
                              page_.Skip(8).Text(line).End();
                              ++counter();
                              NewPageWhen(counter() == kPageLines);
                          });
    }

    // Prints each line of the paragraph for `key` while its file is in
    // memory, noting in the problem list what is missing.
    template <typename PrintLine>
    void ForParagraphLines(const std::string& file, const std::string& key, PrintLine print) {
        Result<std::string> text = readFile_(file);
        if (!text) {
            problems_.push_back(text.error().message);
            return;
        }
        const Paragraph p = FindParagraph(*text, key);
        if (!p.found) {
            problems_.push_back(file + ": no paragraph for percentile " + key);
        } else if (!p.ended) {
            const std::string which = key.empty() ? file : file + ", percentile " + key;
            problems_.push_back(which + ": no END line");
        }
        for (std::string_view line : p.lines) print(line);
    }

    // --- Significant items and multiple-choice answers ----------------------

    std::array<std::vector<std::string_view>, 6> SignificantGroups() const {
        std::array<std::vector<std::string_view>, 6> groups;
        int index = 1;
        for (std::size_t g = 0; g < groups.size(); ++g) {
            for (int k = 0; k < kSignificantGroups[g].size; ++k, ++index) {
                int item = r_.tables.SignificantItems[index];
                if (s_.ItemPoints[item] >= 2) groups[g].push_back(r_.texts.SignificantLines[index]);
            }
            if (groups[g].empty())
                groups[g] = {"No significant items were reported", "for this scale."};
        }
        return groups;
    }

    void SignificantItems() {
        const auto groups = SignificantGroups();
        const auto rows = [&](std::size_t g) {
            return static_cast<int>(std::max(groups[g].size(), groups[g + 1].size()));
        };
        NewPageWhen(counter() + 6 + rows(0) > kPageLines);
        page_.Skip(7)
            .Text("SECTION 2:  SIGNIFICANT  ITEMS:  These  answers  are  the  respondent's")
            .End();
        page_.Skip(7)
            .Text("self-reported  responses.  They represent direct  admissions or unusual")
            .End();
        page_.Skip(7)
            .Text("answers, which may help in understanding the individual's situation.")
            .End();
        EmptyLine();
        counter() += 4;
        for (std::size_t g = 0; g < groups.size(); g += 2) {
            if (counter() + 2 + rows(g) > kPageLines) {
                page_.NewPage();
                page_.Skip(7).Text("SIGNIFICANT ITEMS (continued):").End();
                EmptyLine();
                counter() += 2;
            }
            const std::string_view left = kSignificantGroups[g].name;
            const std::string_view right = kSignificantGroups[g + 1].name;
            page_.Skip(7).Text(left).Column(44).Text(right).End();
            page_.Skip(7).Repeat('-', static_cast<int>(left.size())).Column(44);
            page_.Repeat('-', static_cast<int>(right.size())).End();
            counter() += 2;
            for (int i = 0; i < rows(g); ++i) {
                TwoColumns(LineOf(groups[g], i), LineOf(groups[g + 1], i));
                ++counter();
            }
            if (counter() >= 3 && counter() < kPageLines) BlankLine();
        }
    }

    static std::string_view LineOf(const std::vector<std::string_view>& lines, int i) {
        return i < static_cast<int>(lines.size()) ? lines[i] : "";
    }

    // A row of the two-column sections: the left text at skip 7, the right at column 44.
    void TwoColumns(std::string_view left, std::string_view right) {
        if (!left.empty()) page_.Skip(7).Text(left);
        if (!right.empty()) page_.Column(44).Text(right);
        page_.End();
    }

    std::string ChoiceText(int item) const {
        const int j = item - SectionBounds[3];
        const int answer = s_.Answer[item];
        if (answer > 0) return r_.texts.ChoiceLines[4 * (j - 1) + answer];
        std::string number = std::to_string(item);
        return number.substr(number.size() > 3 ? number.size() - 3 : 0) + ". No response given";
    }

    void MultipleChoice() {
        const char* heading[] = {
            "SECTION 3:  The person's  answers to  multiple choice items are printed",
            "below. It should be noted that these answers represent the respondent's",
            "opinion--with  all of its biases.  These multiple choice  answers allow",
            "comparison  of the  person's  subjective  opinions with  objective  and",
            "empirically based scale scores."};
        for (const char* line : heading) page_.Skip(7).Text(line).End();
        EmptyLine();
        counter() += 6;
        const int first = SectionBounds[3] + 1;
        for (int row = 0; row < 7; ++row) {
            TwoColumns(ChoiceText(first + row), ChoiceText(first + row + 7));
            ++counter();
            NewPageWhen(counter() == kPageLines);
        }
        if (counter() >= 3 && counter() < kPageLines) BlankLine();
    }

    // --- Recommendations, response listing and patterns ---------------------

    void Recommendations() {
        page_.Skip(7).Text("RECOMMENDATIONS AND/OR COMMENTS: ").Repeat('_', 38).End();
        ++counter();
        const int ruled = counter() >= 40 ? 2 : 4;
        for (int i = 0; i < ruled; ++i) {
            EmptyLine();
            page_.Skip(7).Repeat('_', 71).End();
            counter() += 2;
            if (counter() + 7 > kPageLines) break;
        }
        EmptyLine();
        page_.Skip(7).Text("__________________________   __________").End();
        page_.Skip(7).Text("  STAFF MEMBER SIGNATURE       DATE").Column(69);
        page_.Text("(TEST #").Text(std::to_string(r_.testNumber)).Text(")").End();
        counter() += 3;
        if (counter() < kPageLines) BlankLine();
    }

    // One character per item, a blank after every tenth.
    std::string Responses(int first, int last) const {
        std::string line;
        for (int item = first; item <= last; ++item) {
            const int answer = s_.Answer[item];
            if (item <= SectionBounds[1]) {
                line += answer == 1 ? 'T' : answer == 2 ? 'F' : '0';
            } else {
                line += static_cast<char>('0' + answer);
            }
            if ((item - first + 1) % 10 == 0) line += ' ';
        }
        return line;
    }

    void ResponseListing() {
        page_.Column(32).Text("MIRRORWISE RESPONSES").End();
        page_.Column(32).Text("--------------------").End();
        page_.Text("         1- 50  ").Text(Responses(1, 50)).End();
        page_.Text("        51-100  ").Text(Responses(51, 100)).End();
        page_.Text("       101-150  ").Text(Responses(101, 150)).End();
        page_.Skip(7).Text("151-160  ").Text(Responses(151, 160)).End();
        EmptyLine();
        counter() += 6;
        if (counter() < kPageLines) BlankLine();
    }

    void ResponsePatternsSection() {
        page_.Column(34).Text("RESPONSE PATTERNS").End();
        EmptyLine();
        counter() += 2;
        for (const PatternBlock& block : ResponsePatterns(s_, r_.pronouns)) {
            page_.Column(8).Text(block.heading).End();
            ++counter();
            PrintParagraph(block.text);
            BlankLine();
        }
        page_.Column(36).Text("END OF REPORT").End();
        ++counter();
    }

    // --- One-page summary ----------------------------------------------------

    // A sheet of its own after the report: no page header, same page number.
    void OnePageSummary() {
        page_.FormFeed();
        page_.Column(37).Text("MIRRORWISE").End();
        page_.Column(37).Text("**********").End();
        page_.Column(34).Text("ONE PAGE SUMMARY").End();
        EmptyLine();
        counter() = 4;
        HeaderBlock();
        Notice();
        BlankLine();
        Chart(kTruthfulness, kStressCoping);
        BlankLine();
        Recommendations();
        PageFooter();
    }

    // --- How the test was taken ----------------------------------------------

    // A sheet of its own, like the summary, after the report whether or not
    // it could be scored: hurried answers are one reason it could not.
    void ParadataAnnex(const std::vector<std::string>& lines) {
        page_.FormFeed();
        page_.Column(37).Text("MIRRORWISE").End();
        page_.Column(37).Text("**********").End();
        page_.Column(30).Text("HOW THE TEST WAS TAKEN").End();
        EmptyLine();
        for (const std::string& line : lines) page_.Column(6).Text(line).End();
        EmptyLine();
        page_.Column(6)
            .Text("The effort index is the share of answers that took at least " +
                  std::to_string(kRapidGuessMs / 1000) + " seconds.")
            .End();
        page_.Column(6)
            .Text("Below " + FormatIndex(kLowEffortIndex) +
                  ", many answers came too fast for the item to have been read.")
            .End();
    }

    const ReportRequest& r_;
    const ScoreSheet& s_;
    const TextFileReader& readFile_;
    ReportPage page_;
    std::vector<std::string> problems_;
};

}  // namespace

ReportHeader ReportHeader::FromRecord(const ClientRecord& record) {
    ReportHeader h;
    h.Name = FieldText(record.Name.View());
    h.IDNumber = NotAvailableIfN(FieldText(record.IDNumber.View()));
    h.Age = NotAvailableIfN(FieldText(record.Age.View()));
    h.Sex = CodeTextOrNA(kGenderTexts, record.Gender.View());
    h.Ethnicity = CodeTextOrNA(kRaceTexts, record.Race.View());
    h.Education = NotAvailableIfN(FieldText(record.Education.View()));
    h.MaritalStatus = CodeTextOrNA(kMaritalStatusTexts, record.MaritalStatus.View());
    h.DateOfBirth = NotAvailableIfN(FieldText(record.DateOfBirth.View()));
    h.DateScored = FieldText(record.TodayDate.View());
    return h;
}

ComposedReport ComposeReport(const ReportRequest& request, const TextFileReader& readFile) {
    Composer composer(request, readFile);
    return composer.Run();
}

}  // namespace mw
