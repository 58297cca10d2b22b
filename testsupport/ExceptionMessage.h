#pragma once
// The text of the exception a call throws, for tests that check what an error says.

#include <string>

namespace vltest {

// what() of the Exception that f() throws; "(no exception)" when it returns normally. An
// exception of another type goes on to the test framework.
template <typename Exception, typename F> std::string messageOf(F &&f) {
    try {
        f();
    } catch (const Exception &e) {
        return e.what();
    }
    return "(no exception)";
}

} // namespace vltest
