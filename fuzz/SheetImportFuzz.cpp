// The scan import: a sheet file in any layout it knows (chosen from the
// header, as an office that names none gets) is either refused with a
// message naming the file, or read into sheets whose every answer is a mark
// its item has, no mark ('0') or a blank to be keyed by hand.
#include <algorithm>

#include "FuzzSupport.h"
#include "core/data/ScannedSheets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mw;
    static const AnswerRanges ranges;
    const std::string name = "batch.csv";
    const std::string_view input = mwfuzz::Bytes(data, size);
    Result<SheetFile> read = ParseSheetFile(input, name, ranges, Date{2024, 3, 5}, SheetChoice{});
    if (!read) {
        mwfuzz::CheckRefusal(read.error(), name);
        return 0;
    }
    mwfuzz::Check(read->layout != nullptr && read->uses.size() == read->columns.size(),
                  "a file was read without a layout for each column");
    const auto lines = static_cast<int>(std::count(input.begin(), input.end(), '\n')) + 1;
    int previous = 0;
    for (const ScannedSheet& sheet : read->sheets) {
        mwfuzz::Check(sheet.line > previous && sheet.line <= lines,
                      "a sheet names a line out of order or not in the file");
        previous = sheet.line;
        const std::string_view answers = sheet.client.Answers.View();
        for (int item = 1; item <= kItemCount; ++item) {
            const char mark = answers[static_cast<std::size_t>(item - 1)];
            mwfuzz::Check(
                mark == ' ' || (mark >= '0' && mark <= '9' && ranges.Accepts(item, mark - '0')),
                "a sheet holds an answer outside its item's range");
        }
    }
    return 0;
}
