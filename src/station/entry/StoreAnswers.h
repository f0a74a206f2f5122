// Storing a client's answers: the on-screen test, the answer grid, the
// verification screen and the scan route all finish this way, and what the
// store changed is added to the audit log here.
#pragma once

#include <span>
#include <string_view>

namespace mw {

struct StationContext;
struct ClientRecord;

// Where the answers come from, which the audit log names.
enum class AnswerRoute { OnScreen, Keyed, Scanned, Verification };

// Makes `answers` the current client's Answers and writes the client to the
// data disk through the disk-retry policy: a new client (the free slot after
// the last one) is added and counted, an existing one is written in place.
// True once written; the main window then rebuilds its list. When the write
// does not happen (the user gave up on the disk, or it failed), the record in
// memory keeps its old answers, so that it still matches the disk, and false
// is returned: the screen keeps what was keyed and the user can try again.
// The audit log gets the client added by its route, or for a stored client
// the information fields and items that changed (a verification says
// whether it changed any).
bool StoreAnswers(StationContext& ctx, std::string_view answers, AnswerRoute route);

// Adds `clients` after the last client in one save through the disk-retry
// policy, and the audit log a line for each, added by its route. True once
// written; when the write does not happen, nothing is stored and false is
// returned.
bool StoreNewClients(StationContext& ctx, std::span<const ClientRecord> clients, AnswerRoute route);

// True while a new client is entered: the current record is the free slot.
bool AddingNewClient(const StationContext& ctx);

}  // namespace mw
