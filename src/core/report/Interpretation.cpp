#include "core/report/Interpretation.h"

#include <array>

#include "core/data/ClientRecord.h"

namespace mw {
namespace {

// Percentile bands of the sentence tables: 0-39, 40-55, 56-69, 70-89, 90-94, 95-100.
int Band(int percentile) {
    if (percentile <= 39) return 0;
    if (percentile <= 55) return 1;
    if (percentile <= 69) return 2;
    if (percentile <= 89) return 3;
    if (percentile <= 94) return 4;
    return 5;
}

using Sentences = std::array<const char*, 6>;

const Sentences kTruthfulnessSentences = {
    "These Mirrorwise (MW) results are accurate and valid. ",
    "This client was truthful when completing the Mirrorwise (MW). ",
    "This individual's Mirrorwise (MW) results are accurate. ",
    "These Mirrorwise (MW) scores are Truth-Corrected and accurate. ",
    "",
    ""};
const Sentences kResistanceSentences = {
    " is not resistant or noncompliant and should be cooperative. ",
    " can be expected to be compliant and cooperate with others. ",
    " has average compliance and should be cooperative. ",
    " will frequently resist authority and external restrictions. ",
    " will frequently be resistant and uncooperative. ",
    " is a genuinely resistant and uncooperative person. "};
const Sentences kViolenceSentences = {
    "This client is described as peaceful and easy going. ",
    "Under normal conditions this client is not dangerous. ",
    "When provoked this client can be a dangerous person. ",
    "This client manifests some violent and dangerous tendencies. ",
    "This client is dangerous to self and others. ",
    "This client should be considered violent and dangerous. "};
const Sentences kAlcoholSentences = {
    "Few, if any, indicators of alcohol abuse are evident. ",
    "Treatment for alcohol-related problems is not needed. ",
    "Alcohol use and the possibility of abuse are indicated. ",
    "If not a 'recovering alcoholic,' alcohol abuse is present. ",
    "If not 'recovering' many alcohol abuse indicators are evident. ",
    "Either this person is 'recovering' or serious alcohol abuse is indicated. "};
const Sentences kDrugsSentences = {"Few, if any, indicators of illicit drug use are evident. ",
                                   "An established pattern of drug abuse is not indicated. ",
                                   "A 'proneness' toward drug use or abuse may exist. ",
                                   "If not 'recovering,' illicit drug abuse is likely. ",
                                   "Many indicators of drug use and abuse are present. ",
                                   "If not 'recovering' this person has a serious drug problem. "};
const Sentences kDistressSentences = {
    "This individual has very little, if any, physical or mental distress. ",
    "This individual is experiencing little pain or suffering. ",
    "This individual is concerned about physical or mental pain. ",
    "This individual experiences distress (pain or suffering). ",
    "This individual has severe distress (pain and suffering). ",
    "This individual is overwhelmed by distress, pain and suffering. "};
const Sentences kMoraleSentences = {"This client is self-confident and has a positive outlook. ",
                                    "This client is self-confident and enthusiastic. ",
                                    "Although generally self-confident, some doubts exist. ",
                                    "This client's morale and self-confidence are impaired. ",
                                    "Poor self-confidence and low morale are apparent. ",
                                    "Seriously impaired morale is now identifiable. "};
const Sentences kStressCopingSentences = {
    "Well established or good stress coping abilities are evident. ",
    "Average or adequate stress coping abilities are apparent. ",
    "Some stress coping concerns are now evident. ",
    "This person is not coping effectively with stress or pressure. ",
    "Serious stress coping problems are present. ",
    "Very serious stress coping problems are present. "};

std::string SelfEsteemSentence(int percentile, const Pronouns& p) {
    if (percentile <= 25)
        return "This person is either conceited or manifests very positive self-esteem. ";
    if (percentile <= 39) return "This person has very positive or good self-esteem. ";
    if (percentile <= 55) return "This person generally has positive or average self-esteem. ";
    if (percentile <= 69) return "Some self-esteem concerns are becoming evident. ";
    if (percentile <= 89) return "This person manifests negative or impaired self-esteem. ";
    if (percentile <= 94) {
        return std::string("This person disapproves of ") + p.reflexive +
               " and has a self-esteem problem. ";
    }
    return "Very serious self-esteem problems are evident (suicidal?). ";
}

const char* Pick(const Sentences& table, const ScoreSheet& sheet, int scale) {
    return table[Band(sheet.Percentile[scale])];
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
    return joined;
}

// Item numbers followed by ", " each, the trailing ", " removed.
std::string JoinItems(const std::vector<int>& items) {
    std::string joined;
    for (int item : items) joined += std::to_string(item) + ", ";
    if (!joined.empty()) joined.resize(joined.size() - 2);
    return joined;
}

std::string Quoted(std::string_view word) {
    return "\"" + std::string(word) + "\"";
}

// --- Response patterns ---------------------------------------------------

class Patterns {
public:
    Patterns(const ScoreSheet& sheet, const Pronouns& p) : s_(sheet), p_(p) {}

    std::vector<PatternBlock> All() const {
        return {{"ALCOHOL", Alcohol()},
                {"DRUGS", Drugs()},
                {"DISTRESS SCALE", Distress()},
                {"RESISTANCE", Resistance()},
                {"VIOLENCE", Violence()}};
    }

private:
    int A(int item) const { return s_.Answer[item]; }
    bool AnswerIn(int item, std::initializer_list<int> values) const {
        for (int v : values) {
            if (A(item) == v) return true;
        }
        return false;
    }

    std::string Alcohol() const {
        std::string t = "Alcohol Scale items refer to current drinking problems. ";
        t += "Response consistency would involve three admissions or denials. ";
        t += AlcoholAdmissions();
        t += "Two Alcohol Scale items (#54 and 148) relate to 'recovering' alcoholism. ";
        t += "Agreement between these answers is expected. ";
        if (A(54) == 1 && AnswerIn(148, {2, 4})) t += "This client admitted to item 54. ";
        if (A(54) == 2 && AnswerIn(148, {1, 3})) t += "This client admitted to item 148. ";
        if (A(54) == 1 && AnswerIn(148, {1, 3}))
            t += "This client admitted to both items 54 and 148. ";
        if (A(54) == 2 && A(148) == 4) {
            t += "This client denies being a " + Quoted("recovering") + " person. ";
        }
        t += "A similar theme, i.e., alcohol treatment, is present in items #87 and 151. ";
        bool treated151 = AnswerIn(151, {1, 2, 3});
        if (A(87) == 1 && A(151) == 4)
            t += "The respondent acknowledged item 87 but denies item 151.";
        if (A(87) == 2 && treated151)
            t += "The respondent acknowledged item 151 but denies item 87.";
        if (A(87) == 1 && treated151) t += "The respondent admits to both items #87 and item #151.";
        if (A(87) == 2 && A(151) == 4)
            t += "The respondent denies having had alcohol-related treatment.";
        return t;
    }

    const char* AlcoholAdmissions() const {
        bool i75 = A(75) == 1;
        bool i81 = A(81) == 1;
        bool i150 = AnswerIn(150, {1, 2});
        if (i75 && i81 && i150) return "This client admitted to items #75, 81, and 150. ";
        if (i75 && i81) return "This client admitted to items #75 and 81. ";
        if (i75 && i150) return "This client admitted to items #75 and 150. ";
        if (i81 && i150) return "This client admitted to items #81 and 150. ";
        if (i75) return "This client admitted to item #75. ";
        if (i81) return "This client admitted to item #81. ";
        if (i150) return "This client admitted to item #150. ";
        return "This client did not admit to items #75, 81 or 150. ";
    }

    std::string Drugs() const {
        std::string t =
            "Drugs Scale items (#49, 90 and 152) refer to current drug problems. Response";
        t += " consistency would involve three admissions or denials. ";
        t += DrugAdmissions();
        t +=
            " Two items (#57 and 148) apply to " + Quoted("recovering") + " drug abuser. Agreement";
        t += " between these answers is expected. ";
        if (A(57) == 1 && AnswerIn(148, {1, 4})) t += "This client admitted to item 57.";
        if (A(57) == 2 && AnswerIn(148, {2, 3})) t += "This client admitted to item 148.";
        if (A(57) == 1 && AnswerIn(148, {2, 3}))
            t += "This client admitted to both items 57 and 148.";
        if (A(57) == 2 && AnswerIn(148, {1, 4})) {
            t += "This client denies being a " + Quoted("recovering") + " person.";
        }
        t += " Items #77 and 153 both pertain to drug treatment. ";
        if (A(77) == 1 && A(153) == 4) t += "This individual admits to #77 but denies #153.";
        if (A(77) == 2 && A(153) != 4) t += "This individual admits to #153 but denies #77.";
        if (A(77) == 1 && A(153) != 4) t += "This individual admits to both #77 and #153.";
        if (A(77) == 2 && A(153) == 4)
            t += "This individual denies having had drug-related treatment.";
        return t;
    }

    // Nothing is said when any of the three items was left unanswered.
    const char* DrugAdmissions() const {
        bool answered = AnswerIn(49, {1, 2}) && AnswerIn(90, {1, 2}) && AnswerIn(152, {1, 2, 3, 4});
        if (!answered) return "";
        bool i49 = A(49) == 1;
        bool i90 = A(90) == 1;
        bool i152 = AnswerIn(152, {1, 2});
        if (i49 && i90 && i152) return "This client admitted to items #49, 90 and 152.";
        if (i49 && i90) return "This client admitted to items 49 and 90.";
        if (i90 && i152) return "This client admitted to items 90 and 152.";
        if (i49 && i152) return "This client admitted to items 49 and 152.";
        if (i49) return "This client admitted to item #49.";
        if (i90) return "This client admitted to item #90.";
        if (i152) return "This client admitted to item #152.";
        return "This client admitted to none of these items.";
    }

    std::string Distress() const {
        std::string t = "Distress Scale Items #27 and #159 refer to treatment and similar answers";
        t += " are expected. ";
        if (A(27) == 1 && A(159) == 4) t += "This client admitted to item 27.";
        if (A(27) == 2 && A(159) != 4) t += "This client admitted to item 159.";
        if (A(27) == 1 && A(159) != 4) t += "This client admitted to both items 27 and 159.";
        if (A(27) == 2 && A(159) == 4) t += "This client denies having been in treatment.";
        t += " The Distress Scale incorporates a suicide/homicide (#157) item and";
        t += " several related items (e.g., 69, 76, 88, 97, 107 and 112).";
        std::vector<int> deviant;
        const std::pair<int, int> related[] = {{69, 1}, {76, 1},  {88, 1},
                                               {97, 4}, {107, 4}, {112, 1}};
        for (auto [item, answer] : related) {
            if (A(item) == answer) deviant.push_back(item);
        }
        const std::string list = JoinItems(deviant);
        const bool thoughts = A(157) != 4;
        if (thoughts && deviant.empty()) {
            t += " Of these similar theme items, this individual ";
            t += " did not answer any of them in a problematic (deviant) manner. Yet, ";
            t += " this individual's answer to item #157 should not be minimized or ignored.";
        } else if (thoughts) {
            t += " Of these similar theme items, this individual ";
            t += " answered the following items in a problematic (deviant) manner: #" + list +
                 ". These answers magnify this client's growing desperation.";
        } else if (deviant.empty()) {
            t += " Of these suicide and related items, the individual";
            t += " did not answer any of them deviantly, that is, the client";
            t += " did not indicate they are suicidal at this time.";
        } else {
            t += " of these suicide and related items, the individual";
            t += " answered the following items in a problematic (deviant) manner: #" + list + ",";
        }
        return t;
    }

    std::string Resistance() const {
        std::string t =
            "Several items in the Resistance Scale reflect opposition (resistance) to help.";
        t += " These items include #25, 32, 41, 53, 59, 67, 74, and 89. The client's responses";
        t += " to these items are set forth in the " + Quoted("Mirrorwise Responses") +
             " summary at the end";
        t += " of the report.  A more generalized " + Quoted("resistant attitude");
        t += " or " + Quoted("oppositional outlook");
        t += " is reflected in the client's answers to items #44, 79, 104, 106, and 124(1 or 2).";
        std::vector<int> deviant;
        for (int item : {25, 32, 41, 44, 53, 59, 67, 74, 79, 89, 104, 106, 124}) {
            int points = s_.ItemPoints[item];
            if (item == 124 ? (points == 1 || points == 2) : points > 0) deviant.push_back(item);
        }
        if (!deviant.empty()) {
            t += "This individual answered items " + JoinItems(deviant) +
                 " in a negativistic or noncompliant manner.";
        } else {
            t += "This individual did not answer any of these " + Quoted("resistant attitude") +
                 " items in a noncompliant " + "or negativistic manner.";
        }
        return t;
    }

    std::string Violence() const {
        std::string t =
            "With regard to the Violence Scale the client's answer to item 157 (suicidal / "
            "homicidal)";
        t += " is important when assessing a persons dangerousness to self and/or others. When a";
        t += " person responds to item 157 by selecting 1 (suicidal), 2 (homicidal) or 3";
        t += std::string(" (suicidal/homicidal) it's interesting to note how ") + p_.subject +
             " answered similar";
        t += " or compatible items, i.e., #29, 50, 70, and 105. ";
        std::vector<int> deviant;
        for (int item : {29, 50, 70, 105}) {
            if (s_.ItemPoints[item] > 0) deviant.push_back(item);
        }
        if (!deviant.empty()) {
            t += "This client answered items " + JoinItems(deviant) +
                 " in a negativistic or deviant direction.";
        } else {
            t += "This client did not answer any of these violence potential items in a "
                 "negativistic ";
            t += "or deviant manner.";
            if (A(157) != 4)
                t += " This inconsistency may reflect indecision, vacillation or conflict.";
        }
        return t;
    }

    const ScoreSheet& s_;
    const Pronouns& p_;
};

}  // namespace

Pronouns PronounsFor(std::string_view genderField) {
    if (Trim(genderField) == "2") return {"woman", "she", "She", "herself"};
    return {"man", "he", "He", "himself"};
}

std::string InvalidityParagraph(const Pronouns& p) {
    std::string t =
        std::string("This ") + p.person + "'s Truthfulness Scale score is at or above the 90th ";
    t += "percentile, which means that all of the Mirrorwise scale scores are inaccurate. ";
    t += "This does not happen by chance: at least 15 of the 20 Truthfulness items must be ";
    t += "answered in a deviant direction to reach this level. For example, nearly everybody ";
    t += "answers the statement 'Sometimes I really worry about myself and my future.' as true. ";
    t += "Among the possible reasons for such answers are impaired reading ability, reading ";
    t += "things into the items that are not there, minimizing or denying problems, ";
    t += "defensiveness, emotional turmoil at the time of testing, or a deliberate attempt to ";
    t += "fake good. Whatever the reason, this person's Mirrorwise report is not accurate "
         "(invalid).";
    return t;
}

std::string FirstSummaryParagraph(const ScoreSheet& sheet, const Pronouns& p) {
    std::string t = Pick(kTruthfulnessSentences, sheet, kTruthfulness);
    t += std::string(p.Subject) + Pick(kResistanceSentences, sheet, kResistance);
    t += Pick(kViolenceSentences, sheet, kViolence);
    t += Pick(kAlcoholSentences, sheet, kAlcohol);
    t += Pick(kDrugsSentences, sheet, kDrugs);
    return t;
}

std::string SecondSummaryParagraph(const ScoreSheet& sheet, const Pronouns& p) {
    std::string t = Pick(kDistressSentences, sheet, kDistress);
    t += Pick(kMoraleSentences, sheet, kMorale);
    t += SelfEsteemSentence(sheet.Percentile[kSelfEsteem], p);
    t += Pick(kStressCopingSentences, sheet, kStressCoping);
    return t;
}

std::string ProfileStatement(const ScoreSheet& sheet, const ReportTexts& texts) {
    std::vector<std::string> severe;
    std::vector<std::string> elevated;
    for (int scale = kTruthfulness; scale <= kSelfEsteem; ++scale) {
        int percentile = sheet.Percentile[scale];
        if (percentile >= 90) severe.push_back(texts.ScaleNames[scale]);
        if (InRange(percentile, 70, 89)) elevated.push_back(texts.ScaleNames[scale]);
    }
    const bool plural = (severe.empty() ? elevated : severe).size() > 1;
    const std::string scales = plural ? "scales" : "scale";
    const std::string are = plural ? "are" : "is";
    std::string t;
    if (!severe.empty()) {
        t = "A Mirrorwise scale score at or above the 90th percentile is indicative of ";
        t += "serious problems. Review the following scales carefully: " + JoinNames(severe) + " " +
             scales + ". ";
        t += "This individual manifests many serious problems and needs help. ";
        t += "A referral to a licensed mental health practitioner for a psychological ";
        t += "or psychiatric evaluation, diagnosis and treatment plan appears ";
        t += "warranted. Prompt referral or intervention is needed. ";
    } else if (elevated.size() >= 3) {
        t = "Three or more Mirrorwise scale scores in the 70 to 89th percentile ";
        t += "range is serious and is characteristic of a maladaptive adjustment. ";
        t += "Review the following scales carefully: " + JoinNames(elevated) + " " + scales + ". ";
        t += "Each Mirrorwise scale is measured independently (autonomously), ";
        t += "however, their symptomology interacts exacerbating emotional and adjustment "
             "problems. ";
        t += "This is a troubled person that needs help. ";
    } else if (elevated.size() == 2) {
        t = "These Mirrorwise results warrant careful review. Elevated scores in the 70 ";
        t += "to 89th percentile range are problematic and represent areas of concern. ";
        t += "More specifically, the " + JoinNames(elevated) + " " + scales + " " + are +
             " elevated. These problematic areas ";
        t += "should be resolved so the client can maintain a satisfying adjustment. ";
        t += "Although each scale is measured independently their symptomatology ";
        t += "often interacts exacerbating emotional and adjustment problems. ";
    } else if (elevated.size() == 1) {
        t = "This individual's Mirrorwise profile has one elevated scale ";
        t += "score in the 70 to 89th percentile range. ";
        t += "Elevated scores represent areas of concern. ";
        t += "More specifically, the " + elevated[0] + " Scale " +
             "is elevated. This identifies an area of inquiry that should be ";
        t += "explored in subsequent interview. ";
        t += "It is also important to note which Mirrorwise scale ";
        t += "scores are not elevated or represent strengths. ";
        t += "This screening process facilitates intervention and remediation effectiveness. ";
    } else {
        t = "This individual's self-report is accurate. None of the ";
        t += "nine Mirrorwise scales are elevated (at or above the 70th percentile). ";
        t += "This client does not manifest unusual or abnormal resistance or violent tendencies. ";
        t += "Substance (alcohol and other drugs) abuse is not a problem. ";
        t += "Adequate morale, self-esteem and stress coping abilities are present. ";
        t += "And distress is not a problem. ";
    }
    return t;
}

std::vector<PatternBlock> ResponsePatterns(const ScoreSheet& sheet, const Pronouns& p) {
    return Patterns(sheet, p).All();
}

}  // namespace mw
