#pragma once
// Runs a command line and collects what it printed, for tests that compare with a
// real tool (iconv, python3, base64, ...). Qt-free so that any test can use it.

#include <string>
#include <vector>

namespace vltest {

struct CommandResult {
    int exitCode = -1; // -1 when the program could not run or died by a signal
    std::string out;   // standard output, bytes as written
    std::string err;   // standard error
};

// argv[0] is looked up on PATH; input is written to the child's standard input.
CommandResult runCommand(const std::vector<std::string> &argv, const std::string &input = {});

// True when a program of that name is on PATH.
bool haveProgram(const std::string &name);

} // namespace vltest
