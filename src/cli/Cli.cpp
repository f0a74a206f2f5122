#include "cli/Cli.h"

#include <algorithm>
#include <map>
#include <optional>
#include <ostream>

#include "data/ClientStore.h"
#include "data/Cp1252.h"

namespace mw {
namespace {

constexpr int kOk = 0;
constexpr int kDataError = 1;
constexpr int kUsageError = 2;

const char* const kUsage =
    "usage: mirrorwise-cli list --disk DIR\n";

// Parsed "--name value" and "--flag" options of one command.
struct Options {
    std::map<std::string, std::string> values;
    std::map<std::string, bool> flags;
};

// Reads the options a command allows; unknown or incomplete options are usage errors.
std::optional<Options> ParseOptions(const std::vector<std::string>& args,
                                    const std::vector<std::string>& valueNames,
                                    const std::vector<std::string>& flagNames) {
    Options o;
    auto has = [](const std::vector<std::string>& names, const std::string& n) {
        return std::find(names.begin(), names.end(), n) != names.end();
    };
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (has(flagNames, a)) {
            o.flags[a] = true;
        } else if (has(valueNames, a) && i + 1 < args.size()) {
            o.values[a] = args[++i];
        } else {
            return std::nullopt;
        }
    }
    return o;
}

int Fail(std::ostream& err, const Error& e) {
    err << "mirrorwise-cli: " << e.message << "\n";
    return kDataError;
}

int List(const Options& o, std::ostream& out, std::ostream& err) {
    StationState state;
    state.DataPath = o.values.at("--disk");
    ClientStore store(state, LocalFileSystem());
    if (Status st = store.LoadRecordsReadOnly(); !st) return Fail(err, st.error());
    for (int n = 1; n <= state.RecordCount; ++n) {
        out << n << "-" << Cp1252ToUtf8(state.ClientRecords[n].Name.View()) << "\n";
    }
    return kOk;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << kUsage;
        return kUsageError;
    }
    const std::string& command = args[0];
    if (command == "list") {
        auto o = ParseOptions(args, {"--disk"}, {});
        if (o && o->values.count("--disk")) return List(*o, out, err);
    }
    err << kUsage;
    return kUsageError;
}

}  // namespace mw
