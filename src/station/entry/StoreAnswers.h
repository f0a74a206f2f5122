// Storing a client's keyed answers: the answer grid and the verification
// screen both finish this way.
#pragma once

#include <string_view>

namespace mw {

struct StationContext;

// Makes `answers` the current client's Answers and writes the client to the
// data disk through the disk-retry policy: a new client (the free slot after
// the last one) is added and counted, an existing one is written in place.
// True once written; the main window then rebuilds its list. When the write
// does not happen (the user gave up on the disk, or it failed), the record in
// memory keeps its old answers, so that it still matches the disk, and false
// is returned: the screen keeps what was keyed and the user can try again.
bool StoreAnswers(StationContext& ctx, std::string_view answers);

// True while a new client is entered: the current record is the free slot.
bool AddingNewClient(const StationContext& ctx);

}  // namespace mw
