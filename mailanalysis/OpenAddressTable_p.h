#pragma once
// The open-addressing hash table behind the message's token set (AnalysisAlgorithm) and the
// training index (OccuranceData): linear probing over a power-of-two slot array kept at
// most half full, so that a probe mostly reads one cache line. A node-based map costs an
// allocation per token and a pointer chase per lookup; scoring a message does thousands of
// each. One table for both kept their figures (bench/analysis, CPU time, medians of five,
// one pinned core on a shared machine): BM_Analyse/2000 41.0 us with two private tables,
// 40.5 us shared; BM_TokenizeAndCollect/2000 80.1 us and 84.9 us, within the run's noise.
//
// Slot is a trivially copyable value with a `hash` member and a `used()` test; a
// value-initialised slot is free. Callers keep their keys and compare them themselves.

#include <sys/mman.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

template <typename Slot> class OpenAddressTable {
    static_assert(std::is_trivially_copyable_v<Slot>);

public:
    OpenAddressTable() = default;

    // Room for this many entries without growing.
    void reserve(std::size_t entries) {
        std::size_t size = 16;
        while (size < entries * 2) {
            size *= 2;
        }
        m_slots = SlotArray(size);
        m_mask = size - 1;
        m_used = 0;
    }

    [[nodiscard]] bool empty() const { return m_slots.size() == 0; }
    [[nodiscard]] std::size_t entries() const { return m_used; }

    // The used slot of this hash that `same` accepts, or the free slot where such an entry
    // goes (test with used()). The table must have been reserved.
    template <typename Same> Slot &probe(std::size_t hash, Same same) {
        for (std::size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
            Slot &slot = m_slots[i];
            if (!slot.used() || (slot.hash == hash && same(slot))) {
                return slot;
            }
        }
    }
    template <typename Same> const Slot &probe(std::size_t hash, Same same) const {
        return const_cast<OpenAddressTable *>(this)->probe(hash, same);
    }

    // Fills the free slot that probe() returned; the slot reference is invalid afterwards,
    // as the table may grow.
    void fill(Slot &freeSlot, const Slot &value) {
        freeSlot = value;
        ++m_used;
        if (m_used * 2 > m_slots.size()) {
            rehash(m_slots.size() * 2);
        }
    }

    // Asks for the first slot a lookup of this hash reads, ahead of the lookup.
    void prefetch(std::size_t hash) const { __builtin_prefetch(&m_slots[hash & m_mask]); }

private:
    // The slots of a large table lie on huge pages where the system grants them: lookups
    // land on random slots, and with small pages most of them would also miss the TLB.
    class SlotArray {
    public:
        SlotArray() = default;
        explicit SlotArray(std::size_t size) : m_size(size) {
            if (size == 0) {
                return;
            }
            constexpr std::size_t HUGE_PAGE = std::size_t(2) << 20;
            std::size_t bytes = size * sizeof(Slot);
            std::size_t alignment = 64;
            if (bytes >= HUGE_PAGE) {
                alignment = HUGE_PAGE;
            }
            bytes = (bytes + alignment - 1) / alignment * alignment;
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

        SlotArray(const SlotArray &other) : SlotArray(other.m_size) {
            std::copy(other.begin(), other.end(), m_slots.get());
        }
        SlotArray &operator=(const SlotArray &other) {
            SlotArray copy(other);
            std::swap(m_slots, copy.m_slots);
            std::swap(m_size, copy.m_size);
            return *this;
        }
        SlotArray(SlotArray &&) noexcept = default;
        SlotArray &operator=(SlotArray &&) noexcept = default;

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

    void rehash(std::size_t size) {
        const SlotArray old = std::exchange(m_slots, SlotArray(size));
        m_mask = size - 1;
        for (const Slot &slot : old) {
            if (slot.used()) {
                std::size_t i = slot.hash & m_mask;
                while (m_slots[i].used()) {
                    i = (i + 1) & m_mask;
                }
                m_slots[i] = slot;
            }
        }
    }

    SlotArray m_slots;
    std::size_t m_mask = 0;
    std::size_t m_used = 0;
};
