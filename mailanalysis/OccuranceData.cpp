#include "OccuranceData.h"

#include "bdblib/BinaryStreams.h"

#include <sys/mman.h>

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

// Open-addressing hash table over the keys of both maps with both counts beside each key.
// A search in a std::map of a hundred thousand words costs some thirty scattered string
// comparisons per side; this costs one probe that mostly reads one cache line.
class OccuranceData::Index {
public:
    explicit Index(const OccuranceData &data) {
        // Most keys are on both sides; the table grows if they are not.
        reserve(std::max(data.m_legitTokens.size(), data.m_junkTokens.size()));
        mergeSides(data, [&](const Token &key, unsigned int legit, unsigned int junk) {
            growIfFull();
            Slot &slot = emptySlot(tokenHash(key.view()));
            slot.key = keyOf(key);
            slot.legit = legit;
            slot.junk = junk;
            ++m_used;
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
            __builtin_prefetch(&m_slots[ahead[i] & m_mask]);
        }
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t hash = ahead[i % AHEAD];
            if (i + AHEAD < n) {
                const std::size_t next = hashOf(i + AHEAD);
                ahead[i % AHEAD] = next;
                __builtin_prefetch(&m_slots[next & m_mask]);
            }
            out[i] = find(tokens[i], hash);
        }
    }

    [[nodiscard]] std::pair<unsigned int, unsigned int> find(const TokenView &token, std::size_t hash) const {
        IndexKey probe;
        const bool written = probe.encode(token);
        for (std::size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            const Slot &slot = m_slots[i];
            if (slot.key.kind() == IndexKey::Free) {
                return {0, 0};
            }
            if (slot.hash == hash && matches(slot, written, probe, token)) {
                return {slot.legit, slot.junk};
            }
        }
    }

    // Mirrors a count of a map entry; key must be the map's own key object.
    void set(const Token &key, bool isJunk, unsigned int count) {
        growIfFull();
        const TokenView view = key.view();
        const std::size_t hash = tokenHash(view);
        IndexKey probe;
        const bool written = probe.encode(view);
        for (std::size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            Slot &slot = m_slots[i];
            if (slot.key.kind() == IndexKey::Free) {
                slot.hash = hash;
                slot.key = keyOf(key);
                ++m_used;
                (isJunk ? slot.junk : slot.legit) = count;
                return;
            }
            if (slot.hash == hash && matches(slot, written, probe, view)) {
                (isJunk ? slot.junk : slot.legit) = count;
                return;
            }
        }
    }

private:
    struct Slot {
        std::size_t hash = 0;
        unsigned int legit = 0;
        unsigned int junk = 0;
        IndexKey key;
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

    // The free slot where a key of this hash goes (the key must not be in the table).
    Slot &emptySlot(std::size_t hash) {
        std::size_t i = hash & m_mask;
        while (m_slots[i].key.kind() != IndexKey::Free) {
            i = (i + 1) & m_mask;
        }
        m_slots[i].hash = hash;
        return m_slots[i];
    }

    // The slots of a large table lie on huge pages where the system grants them: lookups
    // land on random slots, and with small pages most of them would also miss the TLB.
    class SlotArray {
    public:
        SlotArray() = default;
        explicit SlotArray(std::size_t size) : m_size(size) {
            constexpr std::size_t HUGE_PAGE = std::size_t(2) << 20;
            std::size_t bytes = size * sizeof(Slot);
            std::size_t alignment = 64;
            if (bytes >= HUGE_PAGE) {
                alignment = HUGE_PAGE;
                bytes = (bytes + HUGE_PAGE - 1) / HUGE_PAGE * HUGE_PAGE;
            }
            void *memory = std::aligned_alloc(alignment, bytes);
            if (memory == nullptr) {
                throw std::bad_alloc();
            }
            if (alignment == HUGE_PAGE) {
                // Only a hint: refused, the table is as correct and somewhat slower.
                madvise(memory, bytes, MADV_HUGEPAGE);
            }
            m_slots.reset(static_cast<Slot *>(memory));
            std::uninitialized_value_construct_n(m_slots.get(), size);
        }

        Slot &operator[](std::size_t i) { return m_slots[i]; }
        const Slot &operator[](std::size_t i) const { return m_slots[i]; }
        [[nodiscard]] std::size_t size() const { return m_size; }
        [[nodiscard]] const Slot *begin() const { return m_slots.get(); }
        [[nodiscard]] const Slot *end() const { return m_slots.get() + m_size; }

    private:
        struct Release {
            void operator()(Slot *slots) const { std::free(slots); }
        };
        std::unique_ptr<Slot[], Release> m_slots;
        std::size_t m_size = 0;
    };

    void reserve(std::size_t entries) {
        std::size_t size = 16;
        while (size < entries * 2) {
            size *= 2;
        }
        m_slots = SlotArray(size);
        m_mask = size - 1;
        m_used = 0;
    }

    // Keeps the table at most half full, so that probes stay short.
    void growIfFull() {
        if ((m_used + 1) * 2 > m_slots.size()) {
            rehash(m_slots.size() * 2);
        }
    }

    void rehash(std::size_t size) {
        const SlotArray old = std::exchange(m_slots, SlotArray(size));
        m_mask = size - 1;
        for (const Slot &slot : old) {
            if (slot.key.kind() != IndexKey::Free) {
                emptySlot(slot.hash) = slot;
            }
        }
    }

    SlotArray m_slots;
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
