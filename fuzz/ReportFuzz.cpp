// A report from the program folder's data files with one of them fuzzed
// (MW_FUZZED_FILE: MWB.TXT, MW_rpt.TXT, INVAL.TXT, or every scale's
// paragraph file when it names none): the report is made, or refused with a
// message naming the file at fault. A paragraph file never stops a report:
// what it lacks is listed with the report.
#include <array>

#include "FuzzSupport.h"
#include "MemoryFileSystem.h"
#include "core/data/AnswerRanges.h"
#include "core/data/SampleClient.h"
#include "core/report/ParagraphFile.h"
#include "core/report/ScoreAndPrint.h"

namespace {

const std::string kProgram = "/program";

mwfuzz::MemoryFileSystem ProgramFolder() {
    mwfuzz::MemoryFileSystem fs;
    for (const char* name :
         {mw::kScoringFileName, mw::kReportTextsFileName, mw::kInvalidTextFileName}) {
        fs.files[mw::JoinPath(kProgram, name)] = mwfuzz::InstrumentFile(name);
    }
    for (int scale = 1; scale <= mw::kScaleCount; ++scale) {
        const std::string name = mw::ParagraphFileName(scale);
        fs.files[mw::JoinPath(kProgram, name)] = mwfuzz::InstrumentFile("paragraphs/" + name);
    }
    return fs;
}

// Clients whose scores reach low, middle and high paragraphs.
std::array<mw::ClientRecord, 3> Clients() {
    std::array<mw::ClientRecord, 3> clients;
    clients.fill(mw::NonDeviantClient("03/05/2024"));
    clients[1].Answers = std::string(mw::kItemCount, '1');
    clients[2].Answers = mw::AnswerRanges().Within(std::string(mw::kItemCount, '9'));
    return clients;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mw;
    static const mwfuzz::MemoryFileSystem folder = ProgramFolder();
    static const std::array<ClientRecord, 3> clients = Clients();
    const std::string fuzzed = MW_FUZZED_FILE;
    mwfuzz::MemoryFileSystem fs = folder;
    for (auto& [path, bytes] : fs.files) {
        const bool paragraphs = fuzzed.empty() && path.ends_with(".txt");
        if (paragraphs || (!fuzzed.empty() && path == JoinPath(kProgram, fuzzed))) {
            bytes = mwfuzz::Bytes(data, size);
        }
    }
    const ScoreAndPrint reports(fs, kProgram);
    for (const ClientRecord& client : clients) {
        for (bool summary : {false, true}) {
            Result<ComposedReport> report = reports.Compose(client, 1, summary);
            if (!report) {
                mwfuzz::Check(!fuzzed.empty(), "a paragraph file stopped a report");
                mwfuzz::CheckRefusal(report.error(), fuzzed);
                return 0;
            }
            mwfuzz::Check(!report->bytes.empty(), "an empty report was made");
        }
    }
    return 0;
}
