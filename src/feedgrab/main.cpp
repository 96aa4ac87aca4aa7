// feedgrab: turns an earthquake feed fetched with wget into a fixed-column report list.
#include "feedgrab/feedgrab.h"

int main(int argc, char** argv) {
    tlx::feedgrab::StandardConsole console;
    return tlx::feedgrab::runFeedgrab(std::vector<std::string>(argv + 1, argv + argc), console);
}
