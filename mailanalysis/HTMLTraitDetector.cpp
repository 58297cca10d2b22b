#include "HTMLTraitDetector.h"

#include "RedirectHosts.h"
#include "TraitIDs.h"
#include "cpp/CUtils.h"

#include <algorithm>
#include <climits>

namespace {

bool contains(const std::wstring &text, const wchar_t *part) {
    return text.find(part) != std::wstring::npos;
}

bool startsWith(const std::wstring &text, std::wstring_view prefix) {
    return text.size() >= prefix.size() && std::wstring_view(text).substr(0, prefix.size()) == prefix;
}

// The decimal digits from pos on, pos left after them; the value stops growing at
// UINT_MAX, so an endless run of digits reads as a large number instead of wrapping.
unsigned int readDigits(const std::wstring &text, std::size_t &pos) {
    unsigned long long value = 0;
    while (pos < text.size() && safe_isdigit(text[pos])) {
        value = std::min<unsigned long long>(value * 10 + static_cast<unsigned>(text[pos] - L'0'), UINT_MAX);
        ++pos;
    }
    return static_cast<unsigned int>(value);
}

// Handlers a page sets to stop the reader from selecting, copying or dragging its text.
bool preventsSelecting(const std::wstring &text) {
    return contains(text, L"oncontextmenu") || contains(text, L"onselectstart") ||
           contains(text, L"ondragstart");
}

// A percent escape of an ASCII letter or digit: characters that never need escaping, so the
// escape only hides the address from readers and filters.
bool hasUnnecessaryEscape(const std::wstring &address) {
    for (std::size_t pos = address.find(L'%'); pos != std::wstring::npos; pos = address.find(L'%', pos + 1)) {
        if (safe_isalnum(URI::percentEscapeValue(address, pos)))
            return true;
    }
    return false;
}

constexpr unsigned int usualPorts[] = {0, 80, 81, 443, 8080, 4044};

} // namespace

HTMLTraitDetector::HTMLTraitDetector(ITokenHandler &tokens, ITraitHandler &traits, const std::string &context,
                                     bool multipartMessage)
    : HTMLTextTokenizer(static_cast<ITokenHandler &>(*this), context), m_tokens(tokens), m_traits(traits),
      m_multipartMessage(multipartMessage) {}

HTMLTraitDetector::~HTMLTraitDetector() = default;

bool HTMLTraitDetector::isNumericAddress(const std::wstring &host) {
    return std::all_of(host.begin(), host.end(), [](wchar_t c) { return safe_isdigit(c) || c == L'.'; });
}

bool HTMLTraitDetector::invalidTagName(const std::wstring &name) {
    return std::any_of(name.begin(), name.end(),
                       [](wchar_t c) { return !(safe_isalnum(static_cast<int>(c)) || c == L':' || c == 0); });
}

unsigned int HTMLTraitDetector::tagCount(const char *name) const {
    const auto it = m_tagCounts.find(name);
    return it == m_tagCounts.end() ? 0 : it->second;
}

void HTMLTraitDetector::handleToken(const std::string &context, const std::wstring &text) {
    ++m_wordCount;
    if (m_afterBody)
        ++m_wordsAfterBody;
    if (m_inTitle && text.size() > 1)
        ++m_titleWordCount;
    m_lineBreakRun = 0;
    m_tokens.handleToken(context, text);
}

void HTMLTraitDetector::openTagStart(const std::wstring &name, const std::string &lowerName) {
    HTMLTextTokenizer::openTagStart(name, lowerName);
    m_currentTag = lowerName;
    ++m_tagCounts[lowerName];
    ++m_openTagCount;

    // Namespaced tags of office programs (o:p) are judged by their local name.
    const std::size_t colon = lowerName.find(':', 1);
    m_currentTagInfo =
        HTMLTagLibrary::findTag(colon == std::string::npos ? lowerName : lowerName.substr(colon + 1));

    if (invalidTagName(name))
        trait(TraitIDs::INVALID_OPEN_TAG_NAME);
    else if (!m_currentTagInfo && lowerName != "tr:ad")
        trait(TraitIDs::UNKNOWN_TAG_NAME);

    if (lowerName == "title")
        m_inTitle = true;
    m_inScript = lowerName == "script";
    m_fontStyleState = 0;

    if (name == L"CENTER")
        trait(TraitIDs::USES_UPPERCASE_CENTER_TAG);

    if (lowerName == "br" || lowerName == "p") {
        if (++m_lineBreakRun > 4) {
            trait(TraitIDs::MANY_SEQUENTIAL_LINE_BREAK_TAGS);
            m_lineBreakRun = 0;
        }
    } else {
        m_lineBreakRun = 0;
    }
}

void HTMLTraitDetector::openTagEnd() {
    m_currentTag.clear();
    m_currentTagInfo = nullptr;
    if (m_fontStyleState == -1)
        trait(TraitIDs::FONT_TAG_WITH_ONLY_STYLE_ATTRIBUTE);
}

void HTMLTraitDetector::openTagAttribute(const std::wstring &, const std::string &lowerName,
                                         const std::wstring &, const std::wstring &value) {
    const std::string &tag = m_currentTag;

    if (m_currentTagInfo && !m_currentTagInfo->acceptsAttribute(lowerName) &&
        lowerName.rfind("xmlns:", 0) != 0 && lowerName != "mreachid")
        trait(TraitIDs::UNKNOWN_TAG_ATTRIBUTE);

    const bool href = lowerName == "href";
    if (tag == "base" && href) {
        URI address(value);
        m_baseAddress = address.isURLScheme() ? URL(address) : URL();
    }
    if ((tag == "a" || tag == "area") && href) {
        const std::wstring link = strToLower(trimWhitespace(value));
        const bool mailto = startsWith(link, L"mailto:");
        if (tag == "a" && mailto && (contains(link, L"?subject=") || contains(link, L"&subject=")) &&
            contains(link, L"remove"))
            trait(TraitIDs::MAILTO_WITH_SUBJECT_REMOVE);
        if (tag == "area" && mailto)
            trait(TraitIDs::IMAGE_MAP_WITH_MAILTO);
        checkURI(value, true, TraitIDs::HREF_HAS_USERNAME, TraitIDs::HREF_HAS_NUMERIC_SERVER,
                 TraitIDs::HREF_HAS_LONG_SERVER, TraitIDs::HREF_HAS_UNNECESSARY_URI_ENCODING);
    }
    if (tag == "img") {
        if (lowerName == "usemap")
            trait(TraitIDs::USES_IMAGE_MAPS);
        if (lowerName == "src" && !value.empty()) {
            checkURI(value, false, TraitIDs::IMG_SRC_HAS_USERNAME, TraitIDs::IMG_SRC_HAS_NUMERIC_SERVER,
                     TraitIDs::IMG_SRC_HAS_LONG_SERVER, TraitIDs::IMG_SRC_HAS_UNNECESSARY_URI_ENCODING);
            if (contains(value, L"email"))
                trait(TraitIDs::IMAGE_SRC_HAS_EMAIL_PARAM);
            if (contains(value, L"msgid"))
                trait(TraitIDs::IMAGE_SRC_HAS_MSGID_PARAM);
        }
    }
    if (lowerName == "background" && !value.empty())
        checkURI(value, false, TraitIDs::IMG_SRC_HAS_USERNAME, TraitIDs::IMG_SRC_HAS_NUMERIC_SERVER,
                 TraitIDs::IMG_SRC_HAS_LONG_SERVER, TraitIDs::IMG_SRC_HAS_UNNECESSARY_URI_ENCODING);
    if (tag == "font") {
        if (lowerName == "style") {
            if (m_fontStyleState == 0)
                m_fontStyleState = -1;
        } else if (lowerName == "face" || lowerName == "size" || lowerName == "ptsize" ||
                   lowerName == "point-size" || lowerName == "color") {
            m_fontStyleState = 1;
        } else if (lowerName == "back") {
            trait(TraitIDs::FONT_TAG_WITH_BACK_ATTRIBUTE);
        }
    }
    if (tag == "object" && lowerName == "classid")
        trait(TraitIDs::ACTIVEX_CONTROLS);
    if (tag == "input" && lowerName == "type" && contains(value, L"hidden"))
        ++m_hiddenInputCount;

    if (lowerName != "style") {
        if (lowerName.size() > 10 && lowerName.rfind("on", 0) == 0 &&
            (lowerName == "oncontextmenu" || lowerName == "onselectstart" || lowerName == "ondragstart"))
            trait(TraitIDs::SCRIPT_PREVENTS_SELECTING);
        return;
    }

    const std::wstring style = strToLower(value);
    static const std::wstring fontSize = L"font-size";
    for (std::size_t pos = style.find(fontSize); pos != std::wstring::npos; pos = style.find(fontSize, pos)) {
        pos += fontSize.size();
        while (pos < style.size() && safe_iswhitespace(style[pos]))
            ++pos;
        if (pos < style.size() && style[pos] == L':')
            ++pos;
        while (pos < style.size() && safe_iswhitespace(style[pos]))
            ++pos;
        const unsigned int size = readDigits(style, pos);
        if (size >= 1 && size <= 3)
            trait(TraitIDs::USES_VERY_SMALL_FONT_SIZE_STYLE_ATTRIBUTE);
    }
}

void HTMLTraitDetector::openTagAttribute(const std::wstring &, const std::string &lowerName) {
    static const char *const harmless[] = {"arial", "helvetica", "sans-serif", "sans",
                                           "serif", "notrack",   "selected",   "left",
                                           "right", "blank",     "mreachid"};
    if (!m_currentTagInfo || lowerName.empty() || m_currentTagInfo->acceptsAttribute(lowerName))
        return;
    for (const char *name : harmless) {
        if (lowerName == name)
            return;
    }
    trait(TraitIDs::UNKNOWN_MINIMIZED_TAG_ATTRIBUTE);
}

void HTMLTraitDetector::closeTag(const std::wstring &name, const std::string &lowerName) {
    HTMLTextTokenizer::closeTag(name, lowerName);
    if (!HTMLTagLibrary::findTag(lowerName))
        trait(TraitIDs::UNKNOWN_TAG_NAME);
    if (m_tagCounts.find(lowerName) == m_tagCounts.end())
        trait(TraitIDs::CLOSE_TAG_WITH_NO_OPEN_TAG);
    if (lowerName == "script" && m_inScript)
        m_inScript = false;
    if (lowerName == "title" && m_inTitle) {
        m_inTitle = false;
        if (m_titleWordCount > 9)
            trait(TraitIDs::HAS_LONG_TITLE_TAG);
    }
    if (lowerName == "body" || lowerName == "html")
        m_afterBody = true;
    if (invalidTagName(name))
        trait(TraitIDs::INVALID_CLOSE_TAG_NAME);
    m_lineBreakRun = 0;
}

void HTMLTraitDetector::comment(const std::wstring &) {
    ++m_commentCount;
    if (m_inTitle)
        trait(TraitIDs::COMMENT_IN_TITLE_TAG);
}

void HTMLTraitDetector::doctype(const std::wstring &text) {
    if (text.empty() || text[0] == L'[')
        return;
    if (strToLower(text.substr(0, 7)) != L"doctype")
        trait(TraitIDs::INVALID_DOCTYPE_TAG);
}

void HTMLTraitDetector::blockTagContents(std::wstring contents) {
    if (!m_inScript)
        return;
    const std::wstring script = strToLower(contents);
    if (!(m_scriptWritesDocument && m_scriptDecodesCharacters)) {
        if (contains(script, L"document.write"))
            m_scriptWritesDocument = true;
        if (contains(script, L"unescape") || contains(script, L"fromcharcode"))
            m_scriptDecodesCharacters = true;
        if (m_scriptWritesDocument && m_scriptDecodesCharacters)
            trait(TraitIDs::SCRIPT_USING_CHARACTER_DECODE);
    }
    if (preventsSelecting(script))
        trait(TraitIDs::SCRIPT_PREVENTS_SELECTING);
}

void HTMLTraitDetector::checkURI(const std::wstring &address, bool isLink, unsigned int userTrait,
                                 unsigned int numericTrait, unsigned int longTrait,
                                 unsigned int encodingTrait) {
    const URI written(address);
    URI uri(written);
    uri.expand(m_baseAddress);
    if (uri.isURLScheme()) {
        // Resolved from the written form: once the scheme is taken from the base, a URL no
        // longer takes the base's host and path, and a relative link would escape the checks.
        URL url(written);
        url.expand(m_baseAddress);
        const std::wstring &host = url.host;
        // The host keeps its port; the server tests look at the name alone.
        const std::wstring hostName = host.substr(0, host.find(L':'));
        if (!host.empty()) {
            if (isNumericAddress(hostName))
                trait(numericTrait);
            else if (hostName.size() > 36)
                trait(longTrait);
        }

        const std::wstring lowerHost = strToLower(host);
        if (std::find(RedirectHosts::yahoo.begin(), RedirectHosts::yahoo.end(), lowerHost) !=
            RedirectHosts::yahoo.end()) {
            for (const std::wstring &segment : url.pathSegments) {
                if (segment.find(L'*') != std::wstring::npos)
                    trait(TraitIDs::HTML_USES_YAHOO_DIR_REDIRECTS);
            }
            trait(TraitIDs::HTML_USES_YAHOO_REDIRECTS);
        } else if (lowerHost == RedirectHosts::msn) {
            trait(TraitIDs::HTML_USES_MSN_REDIRECTS);
        } else if (url.scheme == L"http") {
            const std::size_t colon = host.find(L':');
            if (colon != std::wstring::npos && colon + 1 < host.size()) {
                std::size_t pos = colon + 1;
                const unsigned int port = readDigits(host, pos);
                if (pos == host.size() &&
                    std::find(std::begin(usualPorts), std::end(usualPorts), port) == std::end(usualPorts))
                    trait(TraitIDs::HTTP_IMG_SRC_ON_UNUSUAL_PORT);
            }
        }

        const std::wstring &user = url.user;
        if (!user.empty()) {
            trait(userTrait);
            if (user.size() > 16)
                trait(TraitIDs::HTML_URL_HAS_LONG_USERNAME);
            if (host.find(L'@') != std::wstring::npos)
                trait(TraitIDs::BROKEN_URL_WITH_TWO_USERNAME_PARTS);
            if (user.find(L' ') != std::wstring::npos)
                trait(TraitIDs::UNENCODED_SPACE_IN_URL_USERNAME);
            if (startsWith(user, L"www"))
                trait(TraitIDs::USERNAME_STARTS_WITH_WWW);
        }
    } else if (uri.scheme == L"cid") {
        if (isLink)
            trait(TraitIDs::HREF_TO_CID_PROTOCOL_URI);
        else if (!m_multipartMessage)
            trait(TraitIDs::NON_EXTERNAL_IMAGES_IN_SINGLE_PART_MAIL);
    }

    if (hasUnnecessaryEscape(address))
        trait(encodingTrait);
}

void HTMLTraitDetector::htmlFinished() {
    HTMLTextTokenizer::htmlFinished();

    const unsigned int links = tagCount("a"), images = tagCount("img");
    if (links > 0 && images > 0 && m_wordCount <= 4) {
        const unsigned int frame = tagCount("center") + tagCount("html") + tagCount("body") + links + images;
        if (m_openTagCount - frame <= 5)
            trait(TraitIDs::LINK_AND_IMAGE_BUT_LITTLE_TEXT);
    }
    if (m_wordsAfterBody > 1)
        trait(TraitIDs::TEXT_TOKENS_AFTER_BODY_CLOSE);
    if (tagCount("html") > 0 && tagCount("body") == 0)
        trait(TraitIDs::HTML_TAG_BUT_NO_BODY_TAG);
    if (m_hiddenInputCount > 0 && tagCount("form") == 0)
        trait(TraitIDs::HIDDEN_FORM_INPUTS_WITHOUT_FORM);
    if (m_hiddenInputCount > 0 && tagCount("input") == m_hiddenInputCount)
        trait(TraitIDs::HIDDEN_FORM_INPUTS_WITHOUT_OTHER_INPUTS);
    if (m_commentCount > 5 && m_wordCount >= 6 && m_commentCount >= m_wordCount / 2)
        trait(TraitIDs::LOTS_OF_COMMENTS_VS_TOKENS);
}
