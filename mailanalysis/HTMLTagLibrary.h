#pragma once
// The fixed table of the HTML tags the analysis knows: whether each one breaks the flow of
// words, and the attribute names it may carry.

#include <map>
#include <string>
#include <unordered_set>

class HTMLTagLibrary {
public:
    struct TagInformation {
        bool breaksTokens = false;
        // The standard attribute names of the tag.
        std::unordered_set<std::string> attributes;
        // Names beyond the standard list that mail programs and browsers also use.
        std::unordered_set<std::string> furtherAttributes;

        // In either of the two sets.
        [[nodiscard]] bool acceptsAttribute(const std::string &name) const {
            return attributes.count(name) != 0 || furtherAttributes.count(name) != 0;
        }
    };
    using TagMap = std::map<std::string, TagInformation, std::less<>>;

    // Lower-case tag name -> information; built on the first call, kept for the process.
    static const TagMap &getTags();
    // The entry of a lower-case name, or null when the tag is not in the table.
    static const TagInformation *findTag(const std::string &name);
    // False for a name not in the table.
    static bool tagBreaksTokens(const std::string &name);
};
