// The fixed texts of reviewing scanned clients, in their stored order. Each
// message is a run of lines whose last line is the box's title.
#pragma once

#include <array>

namespace mw {

inline constexpr std::array<const char*, 21> kReviewTexts = {
    // the data disk is full
    "This data disk is full.",
    "To continue reviewing remaining scanned tests,",
    "exit the program, insert a new data disk, start the program,",
    "choose Add New Client and Review Scanned Answer Sheets.",
    "Returning to the Main Menu.",
    "Review Stopped - Data Disk Full",
    // nothing to review
    "There are currently no clients to review.",
    "No Clients",
    // which clients to review
    "Do you want to review ALL clients not yet reviewed?",
    "Click YES to review all clients.",
    "Click NO to review only newly scanned clients.",
    "Review Previous Data",
    // one client's review cancelled: the client's name goes between the first two
    "Data review for client ",
    " was cancelled.",
    "Do you wish to DELETE this scanned client data?",
    "(You will have to re-scan this client's answer sheet",
    "if you delete.)",
    " Data Review Cancelled",
    // cancel the review of the rest
    "Do you wish to CANCEL review for all remaining un-reviewed clients?",
    "Data for the remaining un-reviewed clients will not be deleted.",
    "Cancel Data Review?",
};

// Where a message starts in kReviewTexts and how many lines it has, its title included.
struct ReviewMessage {
    int first;
    int lines;
};

inline constexpr ReviewMessage kReviewDiskFull{0, 6};
inline constexpr ReviewMessage kReviewNoClients{6, 2};
inline constexpr ReviewMessage kReviewWhichClients{8, 4};
inline constexpr ReviewMessage kReviewCancelled{12, 6};
inline constexpr ReviewMessage kReviewCancelRest{18, 3};

}  // namespace mw
