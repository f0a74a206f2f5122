// The built-in sample client that trainers add from the main window to try
// the reports: a client whose answers show no deviance on any scale.
#pragma once

#include <string>

#include "core/data/ClientRecord.h"

namespace mw {

inline constexpr const char* kNonDeviantAnswers =
    "1222222112222212112222212222221221222221221211222211221221121111212122121122222122221222"
    "222114141144111411111444444111141115155151515155151551555144444441444443";

// The sample client, tested on `today` ("mm/dd/yyyy").
ClientRecord NonDeviantClient(const std::string& today);

}  // namespace mw
