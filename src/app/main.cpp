// tellurix: the event viewer.
#include "app/eq_app.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tellurix");
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    tlx::app::CEqApp program;
    return program.run(args);
}
