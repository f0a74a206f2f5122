#include "station/entry/StoreAnswers.h"

#include "station/screen/DiskRetry.h"
#include "station/screen/StationContext.h"

namespace mw {

bool AddingNewClient(const StationContext& ctx) {
    return ctx.state.CurrentRecord == ctx.state.RecordCount + 1;
}

bool StoreAnswers(StationContext& ctx, std::string_view answers) {
    StationState& state = ctx.state;
    ClientRecord& record = state.Current();
    const auto before = record.Answers;
    record.Answers = answers;
    const bool adding = AddingNewClient(ctx);
    ctx.platform.MouseWait();
    const DiskStep step = RunDiskStep(ctx.platform, [&] {
        ClientStore store = ctx.Store();
        return adding ? store.AddClient() : store.SaveRecord(state.CurrentRecord);
    });
    ctx.platform.MouseDefault();
    if (step != DiskStep::Done) {
        record.Answers = before;
        return false;
    }
    state.ListRefreshNeeded = true;
    return true;
}

}  // namespace mw
