#include "Header.h"

#include "AsciiText_p.h"
#include "MIMEParsers.h"

#include <stdexcept>
#include <unordered_set>

namespace MailParser {

using detail::asciiLower;
using detail::isBlank;
using detail::isWsp;

bool caseinsensitive_string_less::operator()(std::string_view a, std::string_view b) const noexcept
{
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = asciiLower(static_cast<unsigned char>(a[i]));
        const unsigned char cb = asciiLower(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb;
    }
    return a.size() < b.size();
}

// ---------------------------------------------------------------------------------------
// HeaderField

HeaderField::HeaderField(std::string name, std::string value)
    : m_name(std::move(name)), m_value(std::move(value))
{
}

HeaderField::HeaderField(const HeaderField &other) : m_name(other.m_name), m_value(other.m_value) {}

HeaderField &HeaderField::operator=(const HeaderField &other)
{
    // The header's index refers to the name; changing it behind the header's back would
    // corrupt the index.
    if (m_inHeader)
        throw std::runtime_error("cannot assign to header fields once they are in a header");
    if (this != &other) {
        m_name = other.m_name;
        m_value = other.m_value;
    }
    return *this;
}

std::string HeaderField::unfoldValue(const std::string &text)
{
    const std::string_view s = detail::trimWsp(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
            ++i;
            continue;
        }
        out += s[i];
    }
    return out;
}

std::string HeaderField::rewrite() const
{
    std::string out;
    out.reserve(m_name.size() + m_value.size() + 4);
    out += m_name;
    out += ": ";
    out += m_value;
    out += "\r\n";
    return out;
}

bool HeaderField::removeComments()
{
    std::string out;
    out.reserve(m_value.size());
    std::size_t depth = 0;
    const auto end = m_value.cend();
    auto it = m_value.cbegin();
    while (it != end) {
        const char c = *it;
        if (c == '(') {
            ++depth;
            ++it;
        } else if (c == ')') {
            if (depth > 0)
                --depth;
            ++it;
        } else if (depth == 0 && c == '"') {
            const auto start = it;
            ++it;
            (void)MIMEParsers::getMIMEQuotedString(it, end);
            out.append(start, it);
            if (it != end)
                out += *it++;
        } else {
            if (depth == 0)
                out += c;
            ++it;
        }
    }
    const bool shorter = out.size() < m_value.size();
    if (shorter)
        m_value = std::move(out);
    return shorter;
}

// ---------------------------------------------------------------------------------------
// Header

Header::Header(const Header &other)
{
    for (const HeaderField &f : other.m_fields)
        m_fields.emplace_back(f).inHeader();
    rebuildIndex();
}

Header &Header::operator=(const Header &other)
{
    if (this != &other) {
        m_index.clear();
        m_fields.clear();
        for (const HeaderField &f : other.m_fields)
            m_fields.emplace_back(f).inHeader();
        rebuildIndex();
    }
    return *this;
}

Header::~Header() = default;

void Header::rebuildIndex()
{
    m_index.clear();
    for (auto it = m_fields.begin(); it != m_fields.end(); ++it)
        m_index.emplace(std::string_view(it->m_name), it);
}

bool Header::inputLine(const std::string &line)
{
    if (line.empty())
        return true;
    if (isBlank(line[0]) && !m_fields.empty()) {
        std::string &value = m_fields.back().m_value;
        value.reserve(value.size() + line.size() + 2);
        value += "\r\n";
        value += line;
        return true;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    std::size_t v = colon + 1;
    while (v < line.size() && isBlank(line[v]))
        ++v;
    appendField(line.substr(0, colon), line.substr(v));
    return true;
}

void Header::appendField(std::string name, std::string value)
{
    m_fields.emplace_back(std::move(name), std::move(value)).inHeader();
    const auto it = std::prev(m_fields.end());
    m_index.emplace(std::string_view(it->m_name), it);
}

void Header::addField(const std::string &name, const std::string &value, bool atFront)
{
    if (!atFront) {
        appendField(name, value);
        return;
    }
    m_fields.emplace_front(name, value).inHeader();
    m_index.emplace(std::string_view(m_fields.front().m_name), m_fields.begin());
}

std::pair<Header::FieldIndex::const_iterator, Header::FieldIndex::const_iterator>
Header::prefixRange(std::string_view prefix) const
{
    const auto first = m_index.lower_bound(prefix);
    auto last = first;
    while (last != m_index.end() && detail::startsWithI(last->first, prefix))
        ++last;
    return {first, last};
}

std::pair<Header::FieldIndex::iterator, Header::FieldIndex::iterator> Header::prefixRange(std::string_view prefix)
{
    const auto first = m_index.lower_bound(prefix);
    auto last = first;
    while (last != m_index.end() && detail::startsWithI(last->first, prefix))
        ++last;
    return {first, last};
}

bool Header::anyFields(const std::string &name, bool exact) const
{
    if (exact)
        return m_index.find(std::string_view(name)) != m_index.end();
    const auto r = prefixRange(name);
    return r.first != r.second;
}

HeaderField *Header::findFirstField(const std::string &name)
{
    const auto it = m_index.lower_bound(std::string_view(name));
    if (it == m_index.end() || !detail::equalsI(it->first, name))
        return nullptr;
    return &*it->second;
}

const HeaderField *Header::findFirstField(const std::string &name) const
{
    return const_cast<Header *>(this)->findFirstField(name);
}

std::vector<HeaderField *> Header::findFields(const std::string &name, bool exact)
{
    std::vector<HeaderField *> out;
    const auto r = exact ? m_index.equal_range(std::string_view(name)) : prefixRange(name);
    for (auto it = r.first; it != r.second; ++it)
        out.push_back(&*it->second);
    return out;
}

std::vector<const HeaderField *> Header::findFields(const std::string &name, bool exact) const
{
    const std::vector<HeaderField *> found = const_cast<Header *>(this)->findFields(name, exact);
    return std::vector<const HeaderField *>(found.begin(), found.end());
}

std::vector<HeaderField *> Header::getFields()
{
    std::vector<HeaderField *> out;
    out.reserve(m_index.size());
    for (HeaderField &f : m_fields)
        out.push_back(&f);
    return out;
}

std::vector<const HeaderField *> Header::getFields() const
{
    std::vector<const HeaderField *> out;
    out.reserve(m_index.size());
    for (const HeaderField &f : m_fields)
        out.push_back(&f);
    return out;
}

std::size_t Header::countFields(const std::string &name) const
{
    return m_index.count(std::string_view(name));
}

int Header::removeFields(const std::string &name, bool exact)
{
    const auto r = exact ? m_index.equal_range(std::string_view(name)) : prefixRange(name);
    int removed = 0;
    for (auto it = r.first; it != r.second;) {
        m_fields.erase(it->second);
        it = m_index.erase(it);
        ++removed;
    }
    if (exact)
        return removed > 0 ? 1 : 0;
    return removed;
}

void Header::removeDuplicateFields(const std::string &prefix)
{
    const auto r = prefixRange(prefix);
    for (auto it = r.first; it != r.second;) {
        const auto next = std::next(it);
        if (next != r.second && detail::equalsI(next->first, it->first)) {
            m_fields.erase(it->second);
            m_index.erase(it);
        }
        it = next;
    }
}

int Header::removeInvalidFields()
{
    int removed = 0;
    for (auto it = m_index.begin(); it != m_index.end();) {
        bool valid = true;
        for (const char ch : it->first) {
            const auto c = static_cast<unsigned char>(ch);
            if (c < 0x21 || c > 0x7E) {
                valid = false;
                break;
            }
        }
        if (valid) {
            ++it;
            continue;
        }
        m_fields.erase(it->second);
        it = m_index.erase(it);
        ++removed;
    }
    return removed;
}

int Header::truncateLongLines(unsigned int maxLength)
{
    // Renamed fields leave the index before their names change (the keys look into the
    // names) and come back under the new names in list order; one pass over the index keeps
    // this linear however many fields share a name.
    std::unordered_set<const HeaderField *> renamed;
    int changed = 0;
    for (HeaderField &f : m_fields) {
        if (maxLength < f.m_name.size() + 2) {
            renamed.insert(&f);
            continue;
        }
        const std::size_t firstRoom = maxLength - f.m_name.size() - 2;
        if (f.m_value.size() <= firstRoom)
            continue;
        std::string out;
        out.reserve(f.m_value.size());
        std::size_t room = firstRoom;
        std::size_t pos = 0;
        for (;;) {
            const std::size_t eol = f.m_value.find("\r\n", pos);
            const std::size_t len = (eol == std::string::npos ? f.m_value.size() : eol) - pos;
            out.append(f.m_value, pos, len < room ? len : room);
            if (eol == std::string::npos)
                break;
            out += "\r\n";
            pos = eol + 2;
            room = maxLength;
        }
        f.m_value = std::move(out);
        ++changed;
    }
    if (renamed.empty())
        return changed;
    for (auto it = m_index.begin(); it != m_index.end();) {
        if (renamed.count(&*it->second))
            it = m_index.erase(it);
        else
            ++it;
    }
    // Below two bytes there is no room for a name at all.
    const std::size_t nameRoom = maxLength >= 2 ? maxLength - 2 : 0;
    for (auto it = m_fields.begin(); it != m_fields.end(); ++it) {
        if (!renamed.count(&*it))
            continue;
        it->m_name.resize(nameRoom);
        it->m_value.clear();
        m_index.emplace(std::string_view(it->m_name), it);
        ++changed;
    }
    return changed;
}

std::string Header::rewrite() const
{
    std::string out;
    out.reserve(60 * m_index.size());
    for (const HeaderField &f : m_fields) {
        out += f.m_name;
        out += ": ";
        out += f.m_value;
        out += "\r\n";
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// MessageHeader

bool MessageHeader::isMIMEMessage() const
{
    return anyFields("mime-version", true) || anyFields("content-", false);
}

} // namespace MailParser
