// A private PostgreSQL server for the archive's tests and benchmarks,
// started from Debian's packages (a data folder and a socket in a temporary
// folder, no network) at first use and stopped when the program ends. Where
// it cannot start, it says why.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/archive/ArchiveDb.h"

namespace mwtest {

class PostgresServer {
public:
    // The one server of this test program, started at first use.
    static PostgresServer& Get() {
        static PostgresServer server;
        return server;
    }

    // Why the server is not there; empty when it runs.
    const std::string& Unavailable() const { return unavailable_; }

    // A new empty database on the server.
    std::string NewDatabase() {
        const std::string name = "archive" + std::to_string(++databases_);
        auto db = mw::OpenPostgresArchive(Uri("postgres"));
        if (!db || !(*db)->Execute("CREATE DATABASE " + name)) return "";
        return Uri(name);
    }

    ~PostgresServer() {
        if (unavailable_.empty()) Run({"pg_ctl", "-D", dir_ + "/data", "-m", "immediate", "stop"});
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

private:
    static constexpr const char* kBin = "/usr/lib/postgresql/15/bin/";

    PostgresServer() {
        char folder[] = "/tmp/mw-archive-pg-XXXXXX";
        if (!::mkdtemp(folder)) {
            unavailable_ = "no temporary folder";
            return;
        }
        dir_ = folder;
        if (!std::filesystem::exists(std::string(kBin) + "initdb")) {
            unavailable_ = std::string(kBin) + "initdb is not installed (package postgresql)";
            return;
        }
        // The server refuses to run as root: then it runs as nobody.
        if (::geteuid() == 0 && ::chown(folder, 65534, 65534) != 0) {
            unavailable_ = "cannot give " + dir_ + " to nobody";
            return;
        }
        if (!Run({"initdb", "-D", dir_ + "/data", "-A", "trust", "-U", "archive", "--no-sync", "-E",
                  "UTF8", "--no-locale"}) ||
            !Run({"pg_ctl", "-D", dir_ + "/data", "-l", dir_ + "/log", "-w", "-o",
                  "-k " + dir_ + " -c listen_addresses='' -c fsync=off", "start"})) {
            unavailable_ = "the PostgreSQL server did not start (see " + dir_ + ")";
        }
    }

    std::string Uri(const std::string& database) const {
        return "postgresql:///" + database + "?host=" + dir_ + "&user=archive";
    }

    // Runs a server program, as nobody when we are root; true on success.
    bool Run(std::vector<std::string> args) const {
        args[0] = kBin + args[0];
        if (::geteuid() == 0) {
            args.insert(args.begin(),
                        {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"});
        }
        const pid_t child = ::fork();
        if (child == 0) {
            const int devnull = ::open("/dev/null", O_WRONLY);
            ::dup2(devnull, 1);
            ::dup2(devnull, 2);
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execvp(argv[0], argv.data());
            ::_exit(127);
        }
        int status = 0;
        return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
               WEXITSTATUS(status) == 0;
    }

    std::string dir_;
    std::string unavailable_;
    int databases_ = 0;
};

}  // namespace mwtest
