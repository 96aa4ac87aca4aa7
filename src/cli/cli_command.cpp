// The command table and the argument helpers shared by tellurix-cli and tellurix-render.
#include "cli/cli_command.h"

#include "services/geography.h"

#include "core/data_paths.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace tlx::cli {

std::vector<Command>& commands() {
    static std::vector<Command> all;
    return all;
}

bool takeOption(Args& args, const std::string& name, std::string& value) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == name) {
            value = args[i + 1];
            args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
            return true;
        }
    }
    return false;
}

bool takeFlag(Args& args, const std::string& name) {
    const auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end()) return false;
    args.erase(it);
    return true;
}

bool takeMailTransport(Args& args, MailTransport& transport) {
    std::string tls = "auto";
    takeOption(args, "--tls", tls);
    takeOption(args, "--ca-file", transport.caFile);
    transport.allowPlainLogin = takeFlag(args, "--allow-plain-login");
    return parseMailSecurity(tls, transport.security);
}

int usageError(const char* name, const char* usage, const std::string& problem) {
    std::fprintf(stderr, "tellurix-cli %s: %s\nusage: tellurix-cli %s\n", name, problem.c_str(), usage);
    return 2;
}

namespace {

std::filesystem::path environmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::filesystem::path(value) : std::filesystem::path();
}

} // namespace

LoaderSettings consoleLoaderSettings() {
    LoaderSettings settings;
    settings.programDirectory = programDirectory();
    settings.localDirectory = environmentPath("TLX_LOCAL_DIR");
    settings.eventDirectory = environmentPath("TLX_EVENT_DIR");
    static const SeismoGeography geography;
    settings.geography = &geography;
    return settings;
}

} // namespace tlx::cli
