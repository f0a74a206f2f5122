#include "station/entry/StoreAnswers.h"

#include <functional>
#include <vector>

#include "station/screen/AuditTrail.h"
#include "station/screen/DiskRetry.h"
#include "station/screen/StationContext.h"

namespace mw {

bool AddingNewClient(const StationContext& ctx) {
    return ctx.state.CurrentRecord == ctx.state.RecordCount + 1;
}

namespace {

const char* RouteName(AnswerRoute route) {
    switch (route) {
        case AnswerRoute::OnScreen:
            return "on-screen";
        case AnswerRoute::Scanned:
            return "scanned";
        case AnswerRoute::Keyed:
        case AnswerRoute::Verification:
            break;
    }
    return "keyed";
}

// What the save made of the stored client `before`. The whole record is
// written, so information changed earlier and not yet stored is logged too.
void AuditStored(StationContext& ctx, const ClientRecord& before, AnswerRoute route) {
    const ClientRecord& after = ctx.state.Current();
    const int record = ctx.state.CurrentRecord;
    if (std::string fields = ChangedFields(before, after); !fields.empty()) {
        Audit(ctx, {AuditEvent::InformationEdited, record, std::move(fields)});
    }
    std::string items = ChangedItems(before.Answers.View(), after.Answers.View());
    if (route == AnswerRoute::Verification) {
        const AuditEvent event =
            items.empty() ? AuditEvent::VerificationPassed : AuditEvent::VerificationCorrected;
        Audit(ctx, {event, record, std::move(items)});
    } else if (!items.empty()) {
        Audit(ctx, {AuditEvent::AnswersChanged, record, std::move(items)});
    }
}

// The save through the disk-retry policy, under the busy pointer.
DiskStep RunSave(StationContext& ctx, const std::function<Status(ClientStore&)>& save) {
    ctx.platform.MouseWait();
    const DiskStep step = RunDiskStep(ctx.platform, [&] {
        ClientStore store = ctx.Store();
        return save(store);
    });
    ctx.platform.MouseDefault();
    return step;
}

}  // namespace

bool StoreAnswers(StationContext& ctx, std::string_view answers, AnswerRoute route) {
    StationState& state = ctx.state;
    ClientRecord& record = state.Current();
    const auto before = record.Answers;
    record.Answers = answers;
    const bool adding = AddingNewClient(ctx);
    const ClientRecord stored = state.StoredRecord(state.CurrentRecord);
    const DiskStep step = RunSave(ctx, [&](ClientStore& store) {
        return adding ? store.AddClient() : store.SaveRecord(state.CurrentRecord);
    });
    if (step != DiskStep::Done) {
        record.Answers = before;
        return false;
    }
    state.ListRefreshNeeded = true;
    if (adding) {
        Audit(ctx, {AuditEvent::ClientAdded, state.CurrentRecord, RouteName(route)});
    } else {
        AuditStored(ctx, stored, route);
    }
    return true;
}

bool StoreNewClients(StationContext& ctx, std::span<const ClientRecord> clients,
                     AnswerRoute route) {
    StationState& state = ctx.state;
    const int first = state.RecordCount + 1;
    if (RunSave(ctx, [&](ClientStore& store) { return store.AddClients(clients); }) !=
        DiskStep::Done) {
        return false;
    }
    state.ListRefreshNeeded = true;
    std::vector<AuditEntry> events;
    for (int number = first; number <= state.RecordCount; ++number) {
        events.push_back({AuditEvent::ClientAdded, number, RouteName(route)});
    }
    Audit(ctx, events);
    return true;
}

}  // namespace mw
