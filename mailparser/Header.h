#pragma once
// The header block of a message or MIME part: an ordered list of fields with an index by
// field name that ignores letter case.

#include <cstddef>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <vector>

namespace MailParser {

// Orders byte strings as their lower-cased forms would order (ASCII folding, bytes unsigned).
struct caseinsensitive_string_less {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept;
};

// One header field: its name as written and its raw value, folding kept as "\r\n" + the
// continuation line. A field placed in a header can no longer be assigned to.
class HeaderField {
public:
    HeaderField(std::string name, std::string value);
    HeaderField(const HeaderField &other);
    // Like the copy, the moved-to field is not in a header.
    HeaderField(HeaderField &&other);
    HeaderField &operator=(const HeaderField &other);
    ~HeaderField() = default;

    [[nodiscard]] const std::string &name() const { return m_name; }
    std::string &value() { return m_value; }
    [[nodiscard]] const std::string &value() const { return m_value; }
    // Marks the field as belonging to a header and returns it.
    HeaderField &inHeader() {
        m_inHeader = true;
        return *this;
    }
    [[nodiscard]] bool isInHeader() const { return m_inHeader; }

    [[nodiscard]] std::string unfoldedValue() const { return unfoldValue(m_value); }
    // Leading and trailing blanks (space, tab, CR, LF) removed and every CR LF pair dropped.
    [[nodiscard]] static std::string unfoldValue(const std::string &text);
    // name + ": " + value + "\r\n"
    [[nodiscard]] std::string rewrite() const;
    // Drops (nested) comments outside quoted strings; true when the value got shorter.
    bool removeComments();

private:
    friend class Header;
    std::string m_name;
    std::string m_value;
    bool m_inHeader = false;
};

class Header {
public:
    Header() = default;
    Header(const Header &other);
    Header &operator=(const Header &other);
    Header(Header &&other) noexcept;
    Header &operator=(Header &&other) noexcept;
    virtual ~Header();

    // Feeds one unfolded physical line (no CR or LF). False when the line is neither a
    // continuation nor a "name: value" line; the header is then unchanged.
    bool inputLine(const std::string &line);
    void addField(const std::string &name, const std::string &value, bool atFront = false);

    // exact: a field of that name; otherwise any field whose name begins with it.
    [[nodiscard]] bool anyFields(const std::string &name, bool exact) const;
    [[nodiscard]] HeaderField *findFirstField(const std::string &name);
    [[nodiscard]] const HeaderField *findFirstField(const std::string &name) const;
    // exact: fields of that name in order of addition; otherwise fields whose name begins
    // with it, by lower-cased name and then by order of addition.
    [[nodiscard]] std::vector<HeaderField *> findFields(const std::string &name, bool exact);
    [[nodiscard]] std::vector<const HeaderField *> findFields(const std::string &name, bool exact) const;
    [[nodiscard]] std::vector<HeaderField *> getFields();
    [[nodiscard]] std::vector<const HeaderField *> getFields() const;
    [[nodiscard]] std::size_t countFields(const std::string &name) const;

    // exact: 1 when any field of that name was removed, else 0; otherwise the number of
    // removed fields whose name begins with the given one.
    int removeFields(const std::string &name, bool exact);
    // Of the fields whose name begins with the prefix, keeps the last added of each name.
    void removeDuplicateFields(const std::string &prefix);
    // Removes fields whose name holds a byte outside "!".."~"; returns how many.
    int removeInvalidFields();
    // Cuts names and value lines to maxLength; returns the number of fields changed.
    int truncateLongLines(unsigned int maxLength);

    virtual std::string rewrite() const;

private:
    // A field with its place in the order of addition.
    struct Slot {
        HeaderField field;
        std::uint64_t seq;
    };
    using FieldList = std::list<Slot>;
    using SlotIt = FieldList::iterator;
    // The index by name: sorted by lower-cased name (ASCII folding), then by order of
    // addition. A header is typically filled line by line and then asked a handful of
    // questions, which a scan of its fields answers faster than building any index; the
    // index is built only when one header is asked many times, so a caller that looks up
    // every field in turn stays O(n log n).
    struct IndexEntry {
        std::string_view key; // into m_keys
        std::uint64_t seq;
        SlotIt slot;
    };
    static constexpr unsigned scansBeforeIndex = 8;

    void appendField(std::string name, std::string value);
    void copyFields(const Header &other);
    void changed() const {
        m_indexValid = false;
        m_scans = 0;
    }
    bool useIndex() const;
    // Matching fields in index order (by lower-cased name, then order of addition).
    std::vector<SlotIt> matches(const std::string &name, bool exact) const;
    SlotIt firstMatch(const std::string &name) const;

    FieldList m_fields;
    std::uint64_t m_nextSeq = 0;
    mutable std::vector<IndexEntry> m_index;
    mutable std::string m_keys;
    mutable bool m_indexValid = false;
    mutable unsigned m_scans = 0;
};

// The top-level header of a message.
class MessageHeader : public Header {
public:
    // A "MIME-Version" field, or any field whose name begins with "Content-".
    [[nodiscard]] bool isMIMEMessage() const;
};

} // namespace MailParser
