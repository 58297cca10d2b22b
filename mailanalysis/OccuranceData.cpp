#include "OccuranceData.h"

#include "OpenAddressTable_p.h"

#include "bdblib/BinaryStreams.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

// Counts stay in 32 bits (the stored form); they stop at the top instead of wrapping to 0.
void increment(unsigned int &value) {
    if (value < std::numeric_limits<unsigned int>::max()) {
        ++value;
    }
}

void decrement(unsigned int &value) {
    if (value > 0) {
        --value;
    }
}

// A key as the index keeps it: 16 bytes compared whole. The words the tokenizers make (id 0,
// context "" or "subject", up to 14 characters below U+0100) and traits are written out in
// it, so a lookup reads one slot and no map node; any other key is kept by a pointer to
// the map's own key. A key has exactly one form, so equal keys always meet in the same form.
struct IndexKey {
    enum Kind : unsigned char { Free = 0, Pointer, BodyWord, SubjectWord, Trait };
    static constexpr std::size_t INLINE_CHARACTERS = 14;

    unsigned char bytes[16] = {};

    [[nodiscard]] Kind kind() const { return static_cast<Kind>(bytes[0]); }

    // The written-out form of token; false when it has none.
    [[nodiscard]] bool encode(const TokenView &token) {
        std::memset(bytes, 0, sizeof bytes);
        if (token.isTrait()) {
            bytes[0] = Trait;
            std::memcpy(bytes + 4, &token.id, sizeof token.id);
            return true;
        }
        if (token.id != 0 || token.text.size() > INLINE_CHARACTERS) {
            return false;
        }
        if (token.context.empty()) {
            bytes[0] = BodyWord;
        } else if (token.context == "subject") {
            bytes[0] = SubjectWord;
        } else {
            return false;
        }
        bytes[1] = static_cast<unsigned char>(token.text.size());
        for (std::size_t i = 0; i < token.text.size(); ++i) {
            const auto c = static_cast<std::uint32_t>(token.text[i]);
            if (c > 0xFF) {
                return false;
            }
            bytes[2 + i] = static_cast<unsigned char>(c);
        }
        return true;
    }

    void setPointer(const Token *key) {
        std::memset(bytes, 0, sizeof bytes);
        bytes[0] = Pointer;
        std::memcpy(bytes + 8, &key, sizeof key);
    }

    [[nodiscard]] const Token *pointer() const {
        const Token *key = nullptr;
        std::memcpy(&key, bytes + 8, sizeof key);
        return key;
    }

    bool operator==(const IndexKey &other) const {
        return std::memcmp(bytes, other.bytes, sizeof bytes) == 0;
    }
};

} // namespace

// The training index: the keys of both maps with both counts beside each key. A search in
// a std::map of a hundred thousand words costs some thirty scattered string comparisons
// per side; this costs one probe that mostly reads one cache line.
class OccuranceData::Index {
public:
    explicit Index(const OccuranceData &data) {
        // Most keys are on both sides; the table grows if they are not.
        m_table.reserve(std::max(data.m_legitTokens.size(), data.m_junkTokens.size()));
        mergeSides(data, [&](const Token &key, unsigned int legit, unsigned int junk) {
            const std::size_t hash = tokenHash(key.view());
            Slot &slot = m_table.probe(hash, [](const Slot &) { return false; });
            m_table.fill(slot, Slot{hash, legit, junk, keyOf(key)});
        });
    }

    [[nodiscard]] std::pair<unsigned int, unsigned int> find(const TokenView &token) const {
        return find(token, tokenHash(token));
    }

    // Many lookups: each slot is asked from memory a few lookups before it is read, so the
    // cache misses of a large table overlap instead of following one another.
    // hashes is empty or holds the hash of each token.
    void findAll(std::span<const TokenView> tokens, std::span<const std::size_t> hashes,
                 std::span<std::pair<unsigned int, unsigned int>> out) const {
        constexpr std::size_t AHEAD = 8;
        const std::size_t n = tokens.size();
        const auto hashOf = [&](std::size_t i) { return hashes.empty() ? tokenHash(tokens[i]) : hashes[i]; };
        std::size_t ahead[AHEAD];
        for (std::size_t i = 0; i < n && i < AHEAD; ++i) {
            ahead[i] = hashOf(i);
            m_table.prefetch(ahead[i]);
        }
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t hash = ahead[i % AHEAD];
            if (i + AHEAD < n) {
                const std::size_t next = hashOf(i + AHEAD);
                ahead[i % AHEAD] = next;
                m_table.prefetch(next);
            }
            out[i] = find(tokens[i], hash);
        }
    }

    [[nodiscard]] std::pair<unsigned int, unsigned int> find(const TokenView &token, std::size_t hash) const {
        IndexKey probe;
        const bool written = probe.encode(token);
        const Slot &slot =
            m_table.probe(hash, [&](const Slot &s) { return matches(s, written, probe, token); });
        return slot.used() ? std::pair{slot.legit, slot.junk} : std::pair{0u, 0u};
    }

    // Mirrors a count of a map entry; key must be the map's own key object.
    void set(const Token &key, bool isJunk, unsigned int count) {
        const TokenView view = key.view();
        const std::size_t hash = tokenHash(view);
        IndexKey probe;
        const bool written = probe.encode(view);
        Slot &slot = m_table.probe(hash, [&](const Slot &s) { return matches(s, written, probe, view); });
        if (slot.used()) {
            (isJunk ? slot.junk : slot.legit) = count;
            return;
        }
        Slot added{hash, 0, 0, keyOf(key)};
        (isJunk ? added.junk : added.legit) = count;
        m_table.fill(slot, added);
    }

private:
    struct Slot {
        std::size_t hash = 0;
        unsigned int legit = 0;
        unsigned int junk = 0;
        IndexKey key;
        [[nodiscard]] bool used() const { return key.kind() != IndexKey::Free; }
    };

    static IndexKey keyOf(const Token &key) {
        IndexKey result;
        if (!result.encode(key.view())) {
            result.setPointer(&key);
        }
        return result;
    }

    static bool matches(const Slot &slot, bool written, const IndexKey &probe, const TokenView &token) {
        if (written) {
            return slot.key == probe;
        }
        return slot.key.kind() == IndexKey::Pointer && tokenEqual(slot.key.pointer()->view(), token);
    }

    // Walks the keys of both maps in their common order, each key once with both counts.
    template <typename Visit> static void mergeSides(const OccuranceData &data, Visit visit) {
        auto legit = data.m_legitTokens.begin();
        const auto legitEnd = data.m_legitTokens.end();
        auto junk = data.m_junkTokens.begin();
        const auto junkEnd = data.m_junkTokens.end();
        while (legit != legitEnd || junk != junkEnd) {
            if (junk == junkEnd || (legit != legitEnd && legit->first < junk->first)) {
                visit(legit->first, legit->second, 0u);
                ++legit;
            } else if (legit == legitEnd || junk->first < legit->first) {
                visit(junk->first, 0u, junk->second);
                ++junk;
            } else {
                visit(legit->first, legit->second, junk->second);
                ++legit;
                ++junk;
            }
        }
    }

    OpenAddressTable<Slot> m_table;
};

OccuranceData::OccuranceData() = default;
OccuranceData::~OccuranceData() = default;

OccuranceData::OccuranceData(const OccuranceData &other)
    : m_legitTokens(other.m_legitTokens), m_legitMessages(other.m_legitMessages),
      m_junkTokens(other.m_junkTokens), m_junkMessages(other.m_junkMessages) {}

OccuranceData &OccuranceData::operator=(const OccuranceData &other) {
    if (this != &other) {
        m_index.reset();
        m_legitTokens = other.m_legitTokens;
        m_legitMessages = other.m_legitMessages;
        m_junkTokens = other.m_junkTokens;
        m_junkMessages = other.m_junkMessages;
    }
    return *this;
}

// Moving keeps the map nodes, so an index (which points at their keys) stays valid.
OccuranceData::OccuranceData(OccuranceData &&other) noexcept = default;
OccuranceData &OccuranceData::operator=(OccuranceData &&other) noexcept = default;

unsigned int OccuranceData::get(bool isJunk, const Token &token) const {
    const TokenMap &side = tokenCounts(isJunk);
    const auto it = side.find(token);
    return it == side.end() ? 0 : it->second;
}

std::pair<unsigned int, unsigned int> OccuranceData::counts(const Token &token) const {
    return counts(token.view());
}

std::pair<unsigned int, unsigned int> OccuranceData::counts(const TokenView &token) const {
    if (!m_index) {
        m_index = std::make_unique<Index>(*this);
    }
    return m_index->find(token);
}

void OccuranceData::counts(std::span<const TokenView> tokens,
                           std::span<std::pair<unsigned int, unsigned int>> out) const {
    counts(tokens, {}, out);
}

void OccuranceData::counts(std::span<const TokenView> tokens, std::span<const std::size_t> hashes,
                           std::span<std::pair<unsigned int, unsigned int>> out) const {
    if (out.size() < tokens.size() || (!hashes.empty() && hashes.size() < tokens.size())) {
        throw std::invalid_argument("OccuranceData::counts: output or hashes shorter than input");
    }
    if (!m_index) {
        m_index = std::make_unique<Index>(*this);
    }
    m_index->findAll(tokens, hashes, out);
}

void OccuranceData::train(bool isJunk, const TokenMap &tokens, int count) {
    std::vector<TokenView> keys;
    keys.reserve(tokens.size());
    for (const auto &entry : tokens) {
        keys.push_back(entry.first.view());
    }
    train(isJunk, keys, count);
}

void OccuranceData::train(bool isJunk, std::span<const TokenView> tokens, int count) {
    TokenMap &side = isJunk ? m_junkTokens : m_legitTokens;
    unsigned int &messages = isJunk ? m_junkMessages : m_legitMessages;
    // The map is searched with one key object whose buffers are reused; a copy is made
    // only for a token new to the side.
    Token probe;
    const auto find = [&](const TokenView &token) {
        probe.id = token.id;
        probe.context.assign(token.context);
        probe.text.assign(token.text);
        return side.lower_bound(probe);
    };
    if (count >= 1) {
        increment(messages);
        for (const TokenView &token : tokens) {
            auto it = find(token);
            if (it == side.end() || probe < it->first) {
                it = side.emplace_hint(it, probe, 0u);
            }
            increment(it->second);
            if (m_index) {
                m_index->set(it->first, isJunk, it->second);
            }
        }
    } else {
        decrement(messages);
        for (const TokenView &token : tokens) {
            const auto it = find(token);
            if (it != side.end() && !(probe < it->first)) {
                decrement(it->second);
                if (m_index) {
                    m_index->set(it->first, isJunk, it->second);
                }
            }
        }
    }
}

void OccuranceData::setSide(bool isJunk, TokenMap tokens, unsigned int messages) {
    m_index.reset();
    (isJunk ? m_junkTokens : m_legitTokens) = std::move(tokens);
    (isJunk ? m_junkMessages : m_legitMessages) = messages;
}

void OccuranceData::write(BDBLib::BinaryOutputStream &stream) const {
    stream << m_legitTokens << m_legitMessages << m_junkTokens << m_junkMessages;
}

void OccuranceData::read(BDBLib::BinaryInputStream &stream) {
    m_index.reset();
    stream >> m_legitTokens >> m_legitMessages >> m_junkTokens >> m_junkMessages;
}
