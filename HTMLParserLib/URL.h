#pragma once
// A hierarchical link split into user, password, host, path segments, file, parameters,
// query and fragment; resolved against a base, freed of "." and ".." segments and written
// back in one canonical form.

#include "URI.h"

#include <deque>
#include <string>

class URL : public URI {
public:
    URL() = default;
    explicit URL(const std::wstring &text);
    explicit URL(const URI &uri);
    URL(const URL &) = default;
    URL &operator=(const URL &) = default;
    ~URL() override = default;

    // Rebuilds the scheme-specific part from the components, stores it and returns the
    // whole link.
    std::wstring rewrite() override;
    // Resolves a link without a scheme against the base; always canonicalises the path.
    void expand(const URL &base) override;
    // Empties the components; scheme and scheme-specific part stay.
    void clear() override;

    void parseSchemeSpecific();
    void canonicalizePath();
    // Every path segment followed by "/".
    [[nodiscard]] std::wstring getPath() const;

    std::wstring user;
    std::wstring password;
    std::wstring host;                     // with ":port" when one was given
    std::deque<std::wstring> pathSegments; // the directories; an absolute path starts with ""
    std::wstring file;                     // the last segment, without parameters
    std::wstring parameters;               // from the first ";" of the last segment, ";" included
    std::wstring query;                    // from the first "?" of the path, "?" included
    std::wstring fragment;                 // from the first "#", "#" included
};
