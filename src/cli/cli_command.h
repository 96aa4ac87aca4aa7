// Subcommands of tellurix-cli register themselves here; main() dispatches by name.
#pragma once

#include "record/loader.h"
#include "services/mail_record.h"

#include <string>
#include <vector>

namespace tlx::cli {

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const Args& args);
};

std::vector<Command>& commands();

struct Registrar {
    explicit Registrar(Command command) { commands().push_back(command); }
};

// Takes "--name value" from args (removing both); false when absent.
bool takeOption(Args& args, const std::string& name, std::string& value);
bool takeFlag(Args& args, const std::string& name);
// "--tls auto|starttls|implicit|none", "--ca-file F" and "--allow-plain-login" of the commands that
// send mail; false for a --tls value that is none of those.
bool takeMailTransport(Args& args, MailTransport& transport);
// A command's usage error: "tellurix-cli NAME: PROBLEM" and its usage on standard error; returns 2.
int usageError(const char* name, const char* usage, const std::string& problem);

// Loader settings for the console: the program's own folder, and the data folders that the
// TLX_LOCAL_DIR and TLX_EVENT_DIR environment variables name.
LoaderSettings consoleLoaderSettings();

} // namespace tlx::cli

#define TLX_CLI_COMMAND(ident, name, usage, fn)                                                              \
    static ::tlx::cli::Registrar ident##_registrar({name, usage, fn})

namespace tlx::cli {

// Records every message and, when echo is set, prints it to standard error. Questions are
// answered yes: the console has no one to ask.
class ConsoleMessages : public RecordingMessages {
  public:
    explicit ConsoleMessages(bool echo) : RecordingMessages(Answer::Yes), echo_(echo) {}
    void show(MessageKind kind, const std::string& text) override;

  private:
    bool echo_;
};

// Loads one file for a console command; on failure prints the loader's messages and returns false.
bool loadForConsole(const std::string& path, ConsoleMessages& messages, LoadResult& result);

// Runs tellurix-render from the program's folder with these arguments (pictures drawn with Qt); a
// first argument naming one of its commands other than "render" runs that command.
int runRenderProgram(const Args& args);

// Parses a whole non-negative number; false for anything else.
bool parseCount(const std::string& text, int& value);

// Standard output in large pieces, for commands that print one line per sample or bin.
class StdoutLines {
  public:
    ~StdoutLines() { flush(); }
    void add(const std::string& line);
    void flush();

  private:
    std::string pending_;
};

} // namespace tlx::cli
