#include "Header.h"

#include "MIMEParsers.h"
#include "cpp/AsciiText.h"

#include <algorithm>
#include <stdexcept>

namespace MailParser {

using Ascii::isBlank;
using Ascii::toLower;

namespace {

// Three-way comparison of the lower-cased forms (ASCII folding, bytes unsigned).
int compareNoCase(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        const unsigned char ca = toLower(static_cast<unsigned char>(a[i]));
        const unsigned char cb = toLower(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

} // namespace

bool caseinsensitive_string_less::operator()(std::string_view a, std::string_view b) const noexcept {
    return compareNoCase(a, b) < 0;
}

// ---------------------------------------------------------------------------------------
// HeaderField

HeaderField::HeaderField(std::string name, std::string value)
    : m_name(std::move(name)), m_value(std::move(value)) {}

HeaderField::HeaderField(const HeaderField &other) : m_name(other.m_name), m_value(other.m_value) {}

HeaderField::HeaderField(HeaderField &&other) {
    // A field inside a header keeps its text: the header still lists it.
    if (other.m_inHeader) {
        m_name = other.m_name;
        m_value = other.m_value;
    } else {
        m_name = std::move(other.m_name);
        m_value = std::move(other.m_value);
    }
}

HeaderField &HeaderField::operator=(const HeaderField &other) {
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

std::string HeaderField::unfoldValue(const std::string &text) {
    const std::string_view s = Ascii::trim(text);
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

std::string HeaderField::rewrite() const {
    std::string out;
    out.reserve(m_name.size() + m_value.size() + 4);
    out += m_name;
    out += ": ";
    out += m_value;
    out += "\r\n";
    return out;
}

bool HeaderField::removeComments() {
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
            // Raw 8-bit bytes do not end the quoted string: its parentheses stay text.
            while (it != end && static_cast<unsigned char>(*it) >= 0x80) {
                ++it;
                (void)MIMEParsers::getMIMEQuotedString(it, end);
            }
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

Header::Header(const Header &other) {
    copyFields(other);
}

Header &Header::operator=(const Header &other) {
    if (this != &other) {
        m_fields.clear();
        m_nextSeq = 0;
        copyFields(other);
    }
    return *this;
}

Header::Header(Header &&other) noexcept : m_fields(std::move(other.m_fields)), m_nextSeq(other.m_nextSeq) {
    other.m_fields.clear();
    other.changed();
}

Header &Header::operator=(Header &&other) noexcept {
    if (this != &other) {
        m_fields = std::move(other.m_fields);
        m_nextSeq = other.m_nextSeq;
        changed();
        other.m_fields.clear();
        other.changed();
    }
    return *this;
}

Header::~Header() = default;

void Header::copyFields(const Header &other) {
    // Fields are copy-constructed (never assigned: those in a header refuse it) and count
    // as added in list order.
    for (const Slot &s : other.m_fields) {
        m_fields.push_back(Slot{HeaderField(s.field), m_nextSeq++});
        m_fields.back().field.inHeader();
    }
    changed();
}

bool Header::useIndex() const {
    if (m_indexValid)
        return true;
    if (m_fields.size() <= 16 || ++m_scans <= scansBeforeIndex)
        return false;
    auto &fields = const_cast<FieldList &>(m_fields);
    std::size_t total = 0;
    for (const Slot &s : fields)
        total += s.field.m_name.size();
    m_keys.clear();
    m_keys.reserve(total); // the views below must not move
    m_index.clear();
    m_index.reserve(fields.size());
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        const std::size_t start = m_keys.size();
        for (const char c : it->field.m_name)
            m_keys += static_cast<char>(toLower(static_cast<unsigned char>(c)));
        m_index.push_back(
            IndexEntry{std::string_view(m_keys).substr(start, it->field.m_name.size()), it->seq, it});
    }
    std::sort(m_index.begin(), m_index.end(), [](const IndexEntry &a, const IndexEntry &b) {
        const int c = a.key.compare(b.key);
        return c != 0 ? c < 0 : a.seq < b.seq;
    });
    m_indexValid = true;
    return true;
}

std::vector<Header::SlotIt> Header::matches(const std::string &name, bool exact) const {
    std::vector<SlotIt> out;
    if (useIndex()) {
        std::string key(name);
        for (char &c : key)
            c = static_cast<char>(toLower(static_cast<unsigned char>(c)));
        auto it = std::lower_bound(m_index.begin(), m_index.end(), std::string_view(key),
                                   [](const IndexEntry &e, std::string_view k) { return e.key < k; });
        for (; it != m_index.end() && (exact ? it->key == key : it->key.starts_with(key)); ++it)
            out.push_back(it->slot);
        return out;
    }
    auto &fields = const_cast<FieldList &>(m_fields);
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        const std::string &n = it->field.m_name;
        if (exact ? Ascii::equalsI(n, name) : Ascii::startsWithI(n, name))
            out.push_back(it);
    }
    std::sort(out.begin(), out.end(), [exact](SlotIt a, SlotIt b) {
        const int c = exact ? 0 : compareNoCase(a->field.m_name, b->field.m_name);
        return c != 0 ? c < 0 : a->seq < b->seq;
    });
    return out;
}

Header::SlotIt Header::firstMatch(const std::string &name) const {
    auto &fields = const_cast<FieldList &>(m_fields);
    if (useIndex()) {
        const std::vector<SlotIt> found = matches(name, true);
        return found.empty() ? fields.end() : found.front();
    }
    SlotIt best = fields.end();
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        if (Ascii::equalsI(it->field.m_name, name) && (best == fields.end() || it->seq < best->seq))
            best = it;
    }
    return best;
}

bool Header::inputLine(const std::string &line) {
    if (line.empty())
        return true;
    if (isBlank(line[0]) && !m_fields.empty()) {
        std::string &value = m_fields.back().field.m_value;
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

void Header::appendField(std::string name, std::string value) {
    m_fields.push_back(Slot{HeaderField(std::move(name), std::move(value)), m_nextSeq++});
    m_fields.back().field.inHeader();
    changed();
}

void Header::addField(const std::string &name, const std::string &value, bool atFront) {
    if (!atFront) {
        appendField(name, value);
        return;
    }
    m_fields.push_front(Slot{HeaderField(name, value), m_nextSeq++});
    m_fields.front().field.inHeader();
    changed();
}

bool Header::anyFields(const std::string &name, bool exact) const {
    if (exact)
        return firstMatch(name) != m_fields.end();
    if (m_indexValid)
        return !matches(name, false).empty();
    return std::any_of(m_fields.begin(), m_fields.end(),
                       [&name](const Slot &s) { return Ascii::startsWithI(s.field.m_name, name); });
}

HeaderField *Header::findFirstField(const std::string &name) {
    const SlotIt it = firstMatch(name);
    return it == m_fields.end() ? nullptr : &it->field;
}

const HeaderField *Header::findFirstField(const std::string &name) const {
    const SlotIt it = firstMatch(name);
    return it == m_fields.end() ? nullptr : &it->field;
}

std::vector<HeaderField *> Header::findFields(const std::string &name, bool exact) {
    std::vector<HeaderField *> out;
    for (const SlotIt it : matches(name, exact))
        out.push_back(&it->field);
    return out;
}

std::vector<const HeaderField *> Header::findFields(const std::string &name, bool exact) const {
    std::vector<const HeaderField *> out;
    for (const SlotIt it : matches(name, exact))
        out.push_back(&it->field);
    return out;
}

std::vector<HeaderField *> Header::getFields() {
    std::vector<HeaderField *> out;
    out.reserve(m_fields.size());
    for (Slot &s : m_fields)
        out.push_back(&s.field);
    return out;
}

std::vector<const HeaderField *> Header::getFields() const {
    std::vector<const HeaderField *> out;
    out.reserve(m_fields.size());
    for (const Slot &s : m_fields)
        out.push_back(&s.field);
    return out;
}

std::size_t Header::countFields(const std::string &name) const {
    if (useIndex())
        return matches(name, true).size();
    std::size_t n = 0;
    for (const Slot &s : m_fields)
        n += Ascii::equalsI(s.field.m_name, name) ? 1 : 0;
    return n;
}

int Header::removeFields(const std::string &name, bool exact) {
    int removed = 0;
    for (auto it = m_fields.begin(); it != m_fields.end();) {
        const std::string &n = it->field.m_name;
        if (exact ? Ascii::equalsI(n, name) : Ascii::startsWithI(n, name)) {
            it = m_fields.erase(it);
            ++removed;
        } else {
            ++it;
        }
    }
    if (removed == 0)
        return 0;
    changed();
    return exact ? 1 : removed;
}

void Header::removeDuplicateFields(const std::string &prefix) {
    const std::vector<SlotIt> found = matches(prefix, false);
    bool removed = false;
    for (std::size_t i = 0; i + 1 < found.size(); ++i) {
        if (Ascii::equalsI(found[i]->field.m_name, found[i + 1]->field.m_name)) {
            m_fields.erase(found[i]);
            removed = true;
        }
    }
    if (removed)
        changed();
}

int Header::removeInvalidFields() {
    int removed = 0;
    for (auto it = m_fields.begin(); it != m_fields.end();) {
        const std::string &name = it->field.m_name;
        const bool valid = std::all_of(name.begin(), name.end(), [](char ch) {
            const auto c = static_cast<unsigned char>(ch);
            return c >= 0x21 && c <= 0x7E;
        });
        if (valid) {
            ++it;
        } else {
            it = m_fields.erase(it);
            ++removed;
        }
    }
    if (removed)
        changed();
    return removed;
}

int Header::truncateLongLines(unsigned int maxLength) {
    // Below two bytes there is no room left for any name.
    const std::size_t nameRoom = maxLength >= 2 ? maxLength - 2 : 0;
    int count = 0;
    for (Slot &s : m_fields) {
        HeaderField &f = s.field;
        if (maxLength < f.m_name.size() + 2) {
            // A renamed field is filed under its new name as if added now.
            f.m_name.resize(nameRoom);
            f.m_value.clear();
            s.seq = m_nextSeq++;
            changed();
            ++count;
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
        ++count;
    }
    return count;
}

std::string Header::rewrite() const {
    std::string out;
    out.reserve(60 * m_fields.size());
    for (const Slot &s : m_fields) {
        out += s.field.m_name;
        out += ": ";
        out += s.field.m_value;
        out += "\r\n";
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// MessageHeader

bool MessageHeader::isMIMEMessage() const {
    return anyFields("mime-version", true) || anyFields("content-", false);
}

} // namespace MailParser
