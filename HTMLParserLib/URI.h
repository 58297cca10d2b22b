#pragma once
// A link text split into its lower-cased scheme and the scheme-specific rest, and the table
// of the schemes this system knows.

#include <map>
#include <string>

class URL;

// What the scheme table knows of one scheme.
struct URISchemeInformation {
    int type = 0;         // 1 content id, 2 network address, 3 script
    bool nonLink = false; // not acceptable outside a link target
    bool url = false;     // has the hierarchical form that URL parses
};

// Scheme name -> information, filled on construction with the known schemes.
class URISchemes : public std::map<std::wstring, URISchemeInformation> {
public:
    URISchemes();
};

// The process-wide scheme table.
extern const URISchemes uriSchemes;

class URI {
public:
    URI() = default;
    // CR and LF are dropped from the text first. The scheme is the leading run of letters,
    // digits, "+", "-" and "." before the first ":" (A-Z lower-cased); text that has no
    // such run has no scheme and is all scheme-specific part.
    explicit URI(const std::wstring &text);
    URI(const URI &) = default;
    URI &operator=(const URI &) = default;
    virtual ~URI() = default;

    // scheme ":" scheme-specific part, or the scheme-specific part alone without a scheme.
    virtual std::wstring rewrite();
    // A link without a scheme takes the base's.
    virtual void expand(const URL &base);
    virtual void clear();

    [[nodiscard]] bool isURLScheme() const;
    [[nodiscard]] bool isAcceptableForNonHREF() const;
    [[nodiscard]] int getSchemeType() const;
    [[nodiscard]] bool isFragmentOnly() const;

    // The byte value of a percent escape ("%" and two hexadecimal digits in either case) at
    // pos in text, or -1 when none starts there: "%41" is 65 (A), "%65" is 101 (e).
    [[nodiscard]] static int percentEscapeValue(const std::wstring &text, std::size_t pos);

    std::wstring scheme;         // lower case; empty when the text has none
    std::wstring schemeSpecific; // everything after the ":" (the whole text without scheme)

private:
    [[nodiscard]] const URISchemeInformation *schemeInformation() const;
};
