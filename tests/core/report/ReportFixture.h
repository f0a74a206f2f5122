// Hand-made scores and texts for the report tests.
#pragma once

#include <map>
#include <string>

#include "core/report/ReportComposer.h"
#include "core/scoring/ReportTexts.h"
#include "core/scoring/ScoreSheet.h"
#include "core/scoring/ScoringTables.h"

namespace mwtest {

inline mw::ReportTexts FixtureTexts() {
    mw::ReportTexts t;
    const char* names[] = {"",      "Truthfulness", "Resistance", "Violence",    "Alcohol",
                           "Drugs", "Distress",     "Morale",     "Self-Esteem", "Stress Coping"};
    for (int s = 1; s <= 9; ++s) t.ScaleNames[s] = names[s];
    t.RangeLabels = {"", "LOW", "MEDIUM", "PROBLEM", "MAXIMUM"};
    for (int i = 1; i <= mw::kSignificantItemCount; ++i)
        t.SignificantLines[i] = "sig " + std::to_string(i);
    for (int i = 1; i <= mw::kChoiceLineCount; ++i)
        t.ChoiceLines[i] = "choice " + std::to_string(i);
    return t;
}

// Significant items 1-53 are the items of the same numbers.
inline mw::ScoringTables FixtureSignificantItems() {
    mw::ScoringTables t;
    for (int i = 1; i <= mw::kSignificantItemCount; ++i) t.SignificantItems[i] = i;
    return t;
}

// Every item answered with 1, every scale at the given percentile.
inline mw::ScoreSheet SheetAt(int percentile) {
    mw::ScoreSheet s;
    s.Answer.fill(1);
    s.Percentile.fill(percentile);
    return s;
}

// Paragraph files whose paragraph for percentile p is one line "<file> p".
inline std::map<std::string, std::string> FixtureParagraphFiles() {
    std::map<std::string, std::string> files;
    for (const char* name : {"MWVA.txt", "MWRE.txt", "MWVI.txt", "MWAL.txt", "MWDG.txt", "MWDI.txt",
                             "MWMO.txt", "MWSE.txt", "MWSC.txt"}) {
        std::string text;
        for (int p = 0; p <= 99; ++p) {
            text += std::to_string(p) + "\r\n" + name + " " + std::to_string(p) + "\r\nEND\r\n";
        }
        files[name] = text;
    }
    return files;
}

}  // namespace mwtest
