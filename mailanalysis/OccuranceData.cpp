#include "OccuranceData.h"

#include "BinaryStreams.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <string_view>
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

// Consistent with Token::operator<: traits are told apart by their number alone. Words are
// short, so a character-at-a-time multiply-xor beats the general byte hash; the final mix
// spreads the bits over the low end that the table's mask keeps.
std::size_t hashOf(const Token &token) {
    std::uint64_t h = 0xcbf29ce484222325ull ^ (token.id * 0x9E3779B97F4A7C15ull);
    if (!token.isTrait()) {
        for (unsigned char c : token.context) {
            h = (h ^ c) * 0x100000001b3ull;
        }
        h = (h ^ 0xff) * 0x100000001b3ull;
        for (wchar_t c : token.text) {
            h = (h ^ static_cast<std::uint32_t>(c)) * 0x100000001b3ull;
        }
    }
    h ^= h >> 29;
    h *= 0xbf58476d1ce4e5b9ull;
    h ^= h >> 32;
    return static_cast<std::size_t>(h);
}

bool sameKey(const Token &a, const Token &b) {
    if (a.id != b.id) {
        return false;
    }
    return a.isTrait() || (a.text == b.text && a.context == b.context);
}

} // namespace

// Open-addressing hash table over the keys of both maps with both counts beside each key.
// A search in a std::map of a hundred thousand words costs some thirty scattered string
// comparisons per side; this costs one probe and one comparison.
class OccuranceData::Index {
public:
    explicit Index(const OccuranceData &data) {
        std::size_t distinct = 0;
        mergeSides(data, [&](const Token &, unsigned int, unsigned int) { ++distinct; });
        reserve(distinct);
        mergeSides(data, [&](const Token &key, unsigned int legit, unsigned int junk) {
            Slot &slot = emptySlot(hashOf(key));
            slot.key = &key;
            slot.legit = legit;
            slot.junk = junk;
            ++m_used;
        });
    }

    [[nodiscard]] std::pair<unsigned int, unsigned int> find(const Token &token) const {
        const std::size_t hash = hashOf(token);
        for (std::size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            const Slot &slot = m_slots[i];
            if (slot.key == nullptr) {
                return {0, 0};
            }
            if (slot.hash == hash && sameKey(*slot.key, token)) {
                return {slot.legit, slot.junk};
            }
        }
    }

    // Mirrors a count of a map entry; key must be the map's own key object.
    void set(const Token &key, bool isJunk, unsigned int count) {
        if ((m_used + 1) * 2 > m_slots.size()) {
            rehash(m_slots.size() * 2);
        }
        Slot &slot = slotFor(key, hashOf(key));
        (isJunk ? slot.junk : slot.legit) = count;
    }

private:
    struct Slot {
        std::size_t hash = 0;
        const Token *key = nullptr;
        unsigned int legit = 0;
        unsigned int junk = 0;
    };

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

    // The free slot where a key of this hash goes (the key must not be in the table).
    Slot &emptySlot(std::size_t hash) {
        std::size_t i = hash & m_mask;
        while (m_slots[i].key != nullptr) {
            i = (i + 1) & m_mask;
        }
        m_slots[i].hash = hash;
        return m_slots[i];
    }

    void reserve(std::size_t entries) {
        std::size_t size = 16;
        while (size < entries * 2) {
            size *= 2;
        }
        m_slots.assign(size, Slot());
        m_mask = size - 1;
        m_used = 0;
    }

    void rehash(std::size_t size) {
        std::vector<Slot> old;
        old.swap(m_slots);
        m_slots.assign(size, Slot());
        m_mask = size - 1;
        for (const Slot &slot : old) {
            if (slot.key != nullptr) {
                emptySlot(slot.hash) = slot;
            }
        }
    }

    Slot &slotFor(const Token &key, std::size_t hash) {
        for (std::size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            Slot &slot = m_slots[i];
            if (slot.key == nullptr) {
                slot.hash = hash;
                slot.key = &key;
                ++m_used;
                return slot;
            }
            if (slot.hash == hash && sameKey(*slot.key, key)) {
                return slot;
            }
        }
    }

    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    std::size_t m_used = 0;
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
    if (!m_index) {
        m_index = std::make_unique<Index>(*this);
    }
    return m_index->find(token);
}

void OccuranceData::train(bool isJunk, const TokenMap &tokens, int count) {
    TokenMap &side = isJunk ? m_junkTokens : m_legitTokens;
    unsigned int &messages = isJunk ? m_junkMessages : m_legitMessages;
    if (count >= 1) {
        increment(messages);
        for (const auto &entry : tokens) {
            auto &[key, value] = *side.try_emplace(entry.first, 0u).first;
            increment(value);
            if (m_index) {
                m_index->set(key, isJunk, value);
            }
        }
    } else {
        decrement(messages);
        for (const auto &entry : tokens) {
            const auto it = side.find(entry.first);
            if (it != side.end()) {
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
