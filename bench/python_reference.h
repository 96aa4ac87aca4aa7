// Runs bench/python_reference.py (Debian's /usr/bin/python3 with numpy/scipy) with an argument
// vector and reads its one line: best seconds and a checksum.
#pragma once

#include "dsp/filter.h"

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tlx::bench {

struct PythonTiming {
    bool ok = false;
    double seconds = 0;
    double checksum = 0;
};

inline PythonTiming runPythonReference(const std::vector<std::string>& args) {
    PythonTiming out;
    int fds[2];
    if (::pipe(fds) != 0) return out;
    // The script lies beside this header.
    std::string dir = __FILE__;
    dir = dir.substr(0, dir.find_last_of('/') + 1);
    std::vector<std::string> argv = {"/usr/bin/python3", dir + "python_reference.py"};
    argv.insert(argv.end(), args.begin(), args.end());
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(fds[1], 1);
        ::close(fds[0]);
        ::close(fds[1]);
        std::vector<char*> v;
        for (std::string& a : argv)
            v.push_back(a.data());
        v.push_back(nullptr);
        ::execv(v[0], v.data());
        _exit(127);
    }
    ::close(fds[1]);
    std::string text;
    char buf[256];
    for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
        text.append(buf, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    out.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
             std::sscanf(text.c_str(), "%lf %lf", &out.seconds, &out.checksum) == 2;
    return out;
}

// The second-order sections of IIR designs as scipy's sos array, six numbers a line, each design's
// overall gain folded into its first section.
inline void writeSosFile(const std::string& path, std::initializer_list<const IirDesign*> designs) {
    std::ofstream sos(path);
    sos.precision(17);
    for (const IirDesign* d : designs) {
        const IirSections s = sectionsOf(*d);
        for (std::size_t k = 0; k < s.sections.size(); ++k) {
            const double g = k == 0 ? s.gain : 1;
            const IirSection& c = s.sections[k];
            sos << g << ' ' << g * c.b1 << ' ' << g * c.b2 << " 1 " << c.a1 << ' ' << c.a2 << '\n';
        }
    }
}

} // namespace tlx::bench
