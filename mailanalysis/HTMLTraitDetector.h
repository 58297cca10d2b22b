#pragma once
// Watches an HTML part for constructions typical of bulk mail while tokenizing its visible
// text: malformed or unknown tags and attributes, suspicious link and image addresses,
// hidden form fields, scripts that hide their text, tiny fonts, and documents that are
// mostly links, images or comments. Each finding goes to the trait handler as a number.

#include "HTMLParserLib/URL.h"
#include "HTMLTagLibrary.h"
#include "HTMLTextTokenizer.h"
#include "ITokenHandler.h"
#include "ITraitHandler.h"

#include <string>
#include <unordered_map>

class HTMLTraitDetector : public HTMLTextTokenizer, public ITokenHandler {
public:
    // multipartMessage: whether the message had any multipart entity (an image by content id
    // in a single-part message points nowhere).
    HTMLTraitDetector(ITokenHandler &tokens, ITraitHandler &traits, const std::string &context,
                      bool multipartMessage);
    ~HTMLTraitDetector() override;

    void openTagStart(const std::wstring &name, const std::string &lowerName) override;
    void openTagAttribute(const std::wstring &name, const std::string &lowerName,
                          const std::wstring &rawValue, const std::wstring &decodedValue) override;
    void openTagAttribute(const std::wstring &name, const std::string &lowerName) override;
    void openTagEnd() override;
    void blockTagContents(std::wstring contents) override;
    void closeTag(const std::wstring &name, const std::string &lowerName) override;
    void comment(const std::wstring &text) override;
    void doctype(const std::wstring &text) override;
    void htmlFinished() override;

    // Every word of the part passes here on its way to the real token handler.
    void handleToken(const std::string &context, const std::wstring &text) override;

    // The address checks of a link (traits 3000-3003) or an image source (3100-3103), with
    // the redirect, port, user-name and content-id traits.
    void checkURI(const std::wstring &address, bool isLink, unsigned int userTrait, unsigned int numericTrait,
                  unsigned int longTrait, unsigned int encodingTrait);

    // Every character a digit or "." (also for an empty host).
    [[nodiscard]] static bool isNumericAddress(const std::wstring &host);
    // Some character is not an ASCII letter, an ASCII digit, ":" or NUL.
    [[nodiscard]] static bool invalidTagName(const std::wstring &name);

private:
    void trait(unsigned int number) { m_traits.handleTrait(number); }
    [[nodiscard]] unsigned int tagCount(const char *name) const;

    ITokenHandler &m_tokens;
    ITraitHandler &m_traits;
    bool m_multipartMessage;

    std::string m_currentTag;
    const HTMLTagLibrary::TagInformation *m_currentTagInfo = nullptr;
    URL m_baseAddress;

    unsigned int m_wordCount = 0;
    bool m_afterBody = false;
    unsigned int m_wordsAfterBody = 0;
    std::unordered_map<std::string, unsigned int> m_tagCounts;
    unsigned int m_openTagCount = 0;
    bool m_inTitle = false;
    unsigned int m_titleWordCount = 0;
    bool m_inScript = false;
    int m_fontStyleState = 0;
    bool m_scriptWritesDocument = false;
    bool m_scriptDecodesCharacters = false;
    unsigned int m_lineBreakRun = 0;
    unsigned int m_hiddenInputCount = 0;
    unsigned int m_commentCount = 0;
};
