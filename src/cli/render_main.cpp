// tellurix-render: the "render" command of tellurix-cli, kept in its own program because it draws
// with Qt; tellurix-cli runs it, so that every other command starts without Qt.
#include "cli/cli_command.h"

#include "core/debug_log.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    using namespace tlx::cli;
    if (const char* logDir = std::getenv("TLX_LOG_DIR")) tlx::setDebugLogDirectory(logDir);
    // Every command draws off-screen; the program's own arguments are not Qt's.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    char name[] = "tellurix-cli";
    char* qtArgv[] = {name, nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    // "tellurix-render spectrogram ..." and the like; anything else is the event picture.
    if (argc > 1)
        for (const Command& command : commands())
            if (std::strcmp(command.name, "render") != 0 && std::strcmp(command.name, argv[1]) == 0)
                return command.run(Args(argv + 2, argv + argc));
    for (const Command& command : commands())
        if (std::strcmp(command.name, "render") == 0) return command.run(Args(argv + 1, argv + argc));
    std::fprintf(stderr, "tellurix-render: no render command\n");
    return 2;
}
