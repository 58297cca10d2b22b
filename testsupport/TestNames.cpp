#include "TestNames.h"

namespace vltest {

std::string testName(const std::string &text) {
    std::string name = text;
    for (char &c : name) {
        const bool alnum = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!alnum)
            c = '_';
    }
    return name;
}

} // namespace vltest
