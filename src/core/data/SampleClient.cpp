#include "core/data/SampleClient.h"

namespace mw {

ClientRecord NonDeviantClient(const std::string& today) {
    ClientRecord r;
    r.Name = "Nondeviant Test";
    r.IDNumber = "000-00-0000";
    r.Age = "31";
    r.Gender = "1";
    r.Race = "1";
    r.Education = "12";
    r.MaritalStatus = "2";
    r.DateOfBirth = "01/01/1972";
    r.TodayDate = today;
    r.Answers = kNonDeviantAnswers;
    r.timeseditted = "0";
    r.DeleteFlag = "0";
    return r;
}

}  // namespace mw
