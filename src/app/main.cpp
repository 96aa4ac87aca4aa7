// tellurix: the event viewer.
#include "app/eq_app.h"

#include <QApplication>

int main(int argc, char** argv) {
    // --help and --version answer without a display.
    if (const auto answered = tlx::app::answerConsoleOption({argv + 1, argv + argc})) return *answered;
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tellurix");
    tlx::app::CEqApp program;
    return program.run({argv + 1, argv + argc});
}
