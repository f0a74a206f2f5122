#include "core/scoring/ScoringTables.h"

#include "core/data/CodeTables.h"
#include "core/scoring/DataFileReader.h"

namespace mw {
namespace {

// Evaluates a Result-returning read, leaving the enclosing function with its error.
#define MW_READ(target, expr)             \
    do {                                  \
        auto read_ = (expr);              \
        if (!read_) return read_.error(); \
        target = std::move(*read_);       \
    } while (0)

using Parse = Status;

std::string Num(int n) {
    return std::to_string(n);
}

Parse Heading(DataFileReader& in, std::string_view what) {
    Result<std::string> line = in.Line(what);
    return line ? Status() : Status(line.error());
}

Parse Item(DataFileReader& in, int& item, const FieldName& what) {
    MW_READ(item, in.Int(what, 1, kItemCount));
    return {};
}

Parse SignificantItems(DataFileReader& in, ScoringTables& t) {
    for (int i = 1; i <= kSignificantItemCount; ++i) {
        if (Parse p = Item(in, t.SignificantItems[i], {"significant item", i}); !p) return p;
    }
    return {};
}

Parse Keys(DataFileReader& in, ScoringTables& t) {
    for (int s = 1; s <= kSectionCount; ++s) {
        const std::size_t length = SectionBounds[s] - SectionBounds[s - 1];
        const std::string section = "the answer key of section " + Num(s) + ", answer";
        for (int a = 0; a <= kSectionHighestAnswer[s]; ++a) {
            const FieldName what(section, a);
            std::string key;
            MW_READ(key, in.Field(what));
            if (key.size() != length || key.find_first_not_of("0123456789") != std::string::npos) {
                return in.FailAtField("expected " + what.Text() + " (" +
                                      Num(static_cast<int>(length)) + " digits), found \"" + key +
                                      "\"");
            }
            t.Keys[s][a] = key;
        }
    }
    return {};
}

Parse Percentiles(DataFileReader& in, int* out, int count, const std::string& what) {
    for (int i = 0; i < count; ++i) MW_READ(out[i], in.Int(what, 0, 99));
    return {};
}

Parse Norms(DataFileReader& in, ScoringTables& t) {
    for (int sex = 1; sex <= 2; ++sex) {
        for (int group = 1; group <= 3; ++group) {
            for (int scale = 1; scale <= 8; ++scale) {
                std::string what = "the norms of sex " + Num(sex) + ", group " + Num(group) +
                                   ", scale " + Num(scale);
                int count = 0;
                MW_READ(count, in.Int("the count of " + what, 0, kMaxNormCount));
                std::vector<int>& norm = t.Norms[sex][group][scale];
                norm.resize(count);
                if (Parse p = Percentiles(in, norm.data(), count, "a percentile of " + what); !p) {
                    return p;
                }
            }
        }
    }
    return {};
}

Parse StressNorms(DataFileReader& in, ScoringTables& t) {
    for (int sex = 1; sex <= 2; ++sex) {
        for (int group = 1; group <= 3; ++group) {
            std::string what =
                "a Stress Coping percentile of sex " + Num(sex) + ", group " + Num(group);
            if (Parse p = Percentiles(in, &t.StressNorms[sex][group][1], kStressIntervals, what);
                !p) {
                return p;
            }
        }
    }
    return {};
}

Parse StressBounds(DataFileReader& in, ScoringTables& t) {
    for (int k = 1; k <= kStressIntervals + 1; ++k) {
        MW_READ(t.StressBounds[k], in.Int({"Stress Coping bound", k}, -32768, 32767));
    }
    return {};
}

Parse ScaleItems(DataFileReader& in, ScoringTables& t) {
    for (int scale = 1; scale <= 8; ++scale) {
        int count = 0;
        MW_READ(count, in.Int("the item count of scale " + Num(scale), 0, kMaxScaleItems));
        t.ScaleItems[scale].resize(count);
        const std::string what = "an item of scale " + Num(scale);
        for (int& item : t.ScaleItems[scale]) {
            if (Parse p = Item(in, item, what); !p) return p;
        }
    }
    for (int i = 1; i <= 16; ++i) {
        if (Parse p = Item(in, t.FurtherItems[i], {"Stress Coping item", i}); !p) return p;
    }
    return {};
}

Parse CriticalItems(DataFileReader& in, ScoringTables& t) {
    for (int i = 1; i <= kCriticalItemCount; ++i) {
        if (Parse p = Item(in, t.CriticalItems[i], {"critical item", i}); !p) return p;
    }
    return {};
}

Parse TruthCorrections(DataFileReader& in, ScoringTables& t) {
    for (int band = 1; band <= kTruthBands; ++band) {
        const std::string what = "the truth correction of band " + Num(band) + ", scale";
        for (int scale = 2; scale <= kScaleCount; ++scale) {
            MW_READ(t.TruthCorrections[band][scale], in.Int({what, scale}, -999, 999));
        }
    }
    return {};
}

#undef MW_READ

}  // namespace

CriticalSlice CriticalSliceOf(int scale) {
    switch (scale) {
        case kAlcohol:
            return {1, 11};
        case kDrugs:
            return {12, 22};
        case kDistress:
            return {23, 40};
        case kResistance:
            return {41, 67};
        case kViolence:
            return {68, 87};
        case kMorale:
            return {88, 111};
        case kSelfEsteem:
            return {112, 136};
        default:
            return {};
    }
}

Result<ScoringTables> ParseScoringTables(const std::string& name, std::string_view text) {
    DataFileReader in(name, text);
    ScoringTables t;
    using Step = Parse (*)(DataFileReader&, ScoringTables&);
    const std::pair<const char*, Step> steps[] = {
        {"the heading of the significant items", SignificantItems},
        {"the heading of the answer keys", Keys},
        {"the heading of the norms", Norms},
        {"the heading of the Stress Coping norms", StressNorms},
        {"the heading of the Stress Coping bounds", StressBounds},
        {"the heading of the scale item lists", ScaleItems},
        {"the heading of the critical items", CriticalItems},
        {"the heading of the truth corrections", TruthCorrections},
    };
    for (const auto& [heading, step] : steps) {
        if (Parse p = Heading(in, heading); !p) return p.error();
        if (Parse p = step(in, t); !p) return p.error();
    }
    if (Parse p = in.ExpectEnd(); !p) return p.error();
    return t;
}

}  // namespace mw
