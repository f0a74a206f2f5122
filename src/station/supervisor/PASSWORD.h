// The supervisor's secret code, which guards staff-only operations: printing
// reports, and getting back to the station after a client has finished a
// test on the screen, so that a client cannot reach other clients' data.
#pragma once

class QWidget;

namespace mw {

struct StationContext;

// The code is one letter; it is accepted in either case.
inline constexpr char kSecretCode = 'J';

// Asks for the secret code until it is given (true) or the operator cancels
// (false). There is no limit on the number of attempts.
bool AskSecretCode(StationContext& ctx, QWidget* parent);

}  // namespace mw
