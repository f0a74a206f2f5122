// The one way a screen records what it did to a client or the disk: an
// event added to the audit log of the data disk in use.
#pragma once

#include <span>

#include "core/data/AuditLog.h"

namespace mw {

struct StationContext;

inline constexpr const char* kAuditLogTitle = "Audit Log";

// The clerk's work is done by the time it is logged and goes on whatever
// happens here: a log that cannot be written is reported once, and again
// only after a later write has succeeded.
void Audit(StationContext& ctx, const AuditEntry& entry);
// Several events at once, added to the log in one write.
void Audit(StationContext& ctx, std::span<const AuditEntry> entries);

}  // namespace mw
