// The audit log (MWAUDIT.LOG): its check either passes or names the first
// line that breaks the chain, and an event added to it neither breaks a
// sound chain nor hides an earlier break.
#include "FuzzSupport.h"
#include "MemoryFileSystem.h"
#include "core/data/AuditLog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mw;
    mwfuzz::MemoryFileSystem fs;
    AuditLog log(fs, "/disk", {});
    fs.files[log.Path()] = std::string(mwfuzz::Bytes(data, size));
    Result<AuditReading> before = log.Read();
    if (!before) {
        mwfuzz::CheckRefusal(before.error(), kAuditLogFileName);
        return 0;
    }
    const int lines = static_cast<int>(before->lines.size());
    mwfuzz::Check(before->firstBroken >= 0 && before->firstBroken <= lines,
                  "the check names a line the log does not have");
    for (int n = 0; n < lines; ++n) {
        mwfuzz::Check(before->lines[static_cast<std::size_t>(n)].number == n + 1,
                      "the lines are not numbered in order");
    }
    const DateTime when{{2024, 3, 5}, 14, 3, 22};
    mwfuzz::Check(log.Append(when, {AuditEvent::ReportViewed, 3}).ok(), "an event was not added");
    Result<AuditReading> after = log.Read();
    mwfuzz::Check(after.ok(), "the log is refused after an event was added");
    mwfuzz::Check(static_cast<int>(after->lines.size()) == lines + 1,
                  "adding an event did not add exactly one line");
    mwfuzz::Check(after->firstBroken == before->firstBroken,
                  "adding an event changed where the chain breaks");
    return 0;
}
