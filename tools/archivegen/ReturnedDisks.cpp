#include "archivegen/ReturnedDisks.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "common/TextTable.h"
#include "core/data/AuditLog.h"
#include "core/data/ClientRecord.h"
#include "core/data/ClientStore.h"
#include "core/data/DataDisk.h"
#include "core/data/Paradata.h"

namespace mwtools {
namespace {

const std::vector<std::string> kFirstNames = {"Ann",  "Ben",   "Carla", "Dmitri", "Elena",
                                              "Femi", "Grace", "Hugo",  "Ines",   "Jamal"};
const std::vector<std::string> kLastNames = {"Abbott", "Baker", "Castro", "Dunn",  "Eriksen",
                                             "Flores", "Grant", "Haddad", "Ivers", "Jensen"};

void Check(const mw::Status& st) {
    if (!st) throw std::runtime_error(st.error().message);
}

template <class T>
const T& Pick(const std::vector<T>& from, Random& random) {
    return from[random.Next() % from.size()];
}

int Between(Random& random, int low, int high) {
    return low + static_cast<int>(random.Next() % static_cast<std::uint64_t>(high - low + 1));
}

std::string Digits(int value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

std::string DateText(int year, int month, int day) {
    return Digits(month, 2) + "/" + Digits(day, 2) + "/" + Digits(year, 4);
}

// Times of a test on the screen: most answers take seconds; a client who
// did not care answers many items faster than anyone reads them.
mw::Paradata Timings(const std::string& answers, Random& random) {
    mw::Paradata p;
    const double careless = random.Chance(0.08) ? 0.5 : 0.02;
    for (int item = 1; item <= mw::kItemCount; ++item) {
        if (answers[static_cast<std::size_t>(item - 1)] == '0') continue;
        mw::ItemParadata& i = p.items[static_cast<std::size_t>(item)];
        i.ms = random.Chance(careless) ? Between(random, 400, 1900)
                                       : static_cast<int>(4500 * std::exp(0.45 * random.Normal()));
        i.early = random.Chance(0.05);
        i.repeats = random.Chance(0.03) ? 1 : 0;
        i.revisited = random.Chance(0.02);
    }
    return p;
}

}  // namespace

ReturnedDiskMaker ReturnedDiskMaker::FromFiles(const std::string& itemsTsv,
                                               const std::string& questionsTsv,
                                               const std::string& populationTsv) {
    return ReturnedDiskMaker(ReadDesign(itemsTsv, questionsTsv), ReadPopulation(populationTsv));
}

const NormSet& ReturnedDiskMaker::DrawSet(Random& random) const {
    int total = 0;
    for (const NormSet& set : population_) total += set.clients;
    int at = Between(random, 0, total - 1);
    for (const NormSet& set : population_) {
        if (at < set.clients) return set;
        at -= set.clients;
    }
    return population_.back();
}

void ReturnedDiskMaker::Write(const std::string& dir, const DiskPlan& plan) const {
    // Seeds far apart in the generator's sequence, so that no two disks share their draws.
    Random random(plan.seed * 0xD1B5'4A32'D192'ED03ULL);
    std::filesystem::create_directories(dir);
    char identity[40];
    std::snprintf(identity, sizeof identity, "%016llx%016llx",
                  static_cast<unsigned long long>(random.Next()),
                  static_cast<unsigned long long>(random.Next()));
    WriteWholeFile(mw::JoinPath(dir, mw::kIdentityFileName),
                   std::string(mw::kIdentityMark) + "\r\nDisk=" + identity + "\r\n");
    mw::FileSystem& fs = mw::LocalFileSystem();
    mw::AuditLog log(fs, dir, "");
    std::string records;
    const int year = Between(random, 2024, 2026);
    std::vector<int> deleted;
    for (int n = 1; n <= plan.clients; ++n) {
        NormSet one = DrawSet(random);
        one.clients = 1;
        const std::string answers = SimulateAnswers(design_, one, random).front();
        const int age = Between(random, 18, 64);
        const int month = Between(random, 1, 12);
        const int day = Between(random, 1, 28);
        mw::ClientRecord r;
        r.Name = Pick(kFirstNames, random) + " " + Pick(kLastNames, random);
        r.IDNumber = Digits(Between(random, 100, 999), 3) + "-" +
                     Digits(Between(random, 10, 99), 2) + "-" +
                     Digits(Between(random, 1000, 9999), 4);
        r.Age = std::to_string(age);
        r.Gender = std::to_string(one.sex);
        // Group 1 holds the codes without norms of their own (Asian, Native American, Other).
        r.Race = std::to_string(one.group == 1 && random.Chance(0.1) ? Between(random, 4, 6)
                                                                     : one.group);
        r.Education = Digits(Between(random, 8, 16), 2);
        r.MaritalStatus = std::to_string(Between(random, 0, 5));
        r.DateOfBirth = DateText(year - age, Between(random, 1, 12), Between(random, 1, 28));
        r.TodayDate = DateText(year, month, day);
        r.Answers = answers;
        r.timeseditted = "0";
        r.DeleteFlag = "0";
        const bool onScreen = random.Chance(plan.onScreenShare);
        const char* route = onScreen ? "on-screen" : random.Chance(0.6) ? "keyed" : "scanned";
        Check(log.Append({{year, month, day}, 9, 0, n % 60},
                         {mw::AuditEvent::ClientAdded, n, route}));
        if (onScreen) Check(mw::WriteParadata(fs, dir, n, Timings(answers, random)));
        if (!random.Chance(plan.namedShare)) {
            r.Name = mw::kDeletedName;
            r.IDNumber = "";
            r.DeleteFlag = "1";
            deleted.push_back(n);
        }
        records += r.ToBytes();
    }
    for (int n : deleted)
        Check(log.Append({{year, 12, 31}, 17, 0, 0}, {mw::AuditEvent::NameDeleted, n}));
    WriteWholeFile(mw::JoinPath(dir, mw::kRecordFileName), records);
}

}  // namespace mwtools
