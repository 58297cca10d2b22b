#pragma once
// Tests driven by fixture files: one named test per input file in a folder, whose output is
// compared with the expected file beside it ("name.eml" -> "name.trace"). A new case is a new
// file pair, not new test code.
//
// Running a test binary with VL_UPDATE_GOLDEN=1 rewrites (or first writes) every expected
// file from the current output; review the diff before committing it.

#include <functional>
#include <string>

namespace vltest {

struct GoldenFiles {
    const char *suite;           // GoogleTest suite name of the registered tests
    std::string folder;          // where the pairs live
    std::string inputExtension;  // ".eml"
    std::string outputExtension; // ".trace"
    // The output for one input file's bytes.
    std::function<std::string(const std::string &input)> produce;
};

// Registers one test per input file, named after the file, in name order. Call it at static
// initialisation (`const int n = vltest::registerGoldenTests({...});`), before the tests run.
// Returns the number of tests registered, so that a test can insist on a minimum.
int registerGoldenTests(const GoldenFiles &golden);

// Line-by-line difference of two texts for a failure message: the lines both share at the
// start and end are left out, those that differ shown as "-expected" and "+actual".
[[nodiscard]] std::string lineDiff(const std::string &expected, const std::string &actual);

} // namespace vltest
