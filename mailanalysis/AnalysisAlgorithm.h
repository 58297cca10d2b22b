#pragma once
// Collects the words and traits of one message, then scores the message against the
// training data or trains it into one side. One object per message.

#include "ITokenHandler.h"
#include "ITraitHandler.h"
#include "OccuranceData.h"
#include "OpenAddressTable_p.h"
#include "Token.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class AnalysisAlgorithm : public ITokenHandler, public ITraitHandler {
public:
    // Junk thresholds by sensitivity 0 to 4; a higher sensitivity takes a lower threshold.
    static constexpr double DECISION_POINTS[5] = {0.65, 0.58, 0.54, 0.5, 0.44};
    // A subject word never seen in a subject is looked up again as a body word.
    static const std::string CONTEXT_DECOMPOSE_FROM;
    static const std::string CONTEXT_DECOMPOSE_TO;

    AnalysisAlgorithm() = default;

    void handleToken(const std::string &context, const std::wstring &text) override;
    void handleTrait(unsigned int trait) override;

    // The spam probability of the collected message, 0 (legitimate) to 1 (junk); exactly 0
    // when no token carries evidence.
    [[nodiscard]] double analyse(const OccuranceData &data) const { return analyse(data, nullptr); }
    // The same, and stores in *counted (when not null) how many tokens carried evidence:
    // 0 tells "nothing known" apart from "looks legitimate".
    [[nodiscard]] double analyse(const OccuranceData &data, unsigned int *counted) const;
    // Whether analyse() lies strictly above the threshold of that sensitivity (0 to 4);
    // a larger sensitivity throws std::invalid_argument.
    [[nodiscard]] bool guessIfJunk(const OccuranceData &data, unsigned int sensitivity) const;
    // Adds (count 1 or more) or removes (count below 1) this message on one side.
    void train(OccuranceData &data, bool isJunk, int count) const;

    // Each distinct token of the message with the number of times it occurred, built on
    // each call: for inspection, not for the scan path.
    [[nodiscard]] TokenMap tokens() const;

private:
    // One distinct token: its text lives in m_text, its context in m_contexts.
    struct Entry {
        std::size_t hash;
        std::size_t textOffset;
        unsigned int id;
        std::uint32_t textLength;
        std::uint32_t context;
        unsigned int count;
    };

    [[nodiscard]] TokenView viewOf(const Entry &entry) const;
    void add(unsigned int id, const std::string &context, std::wstring_view text);
    // The entries in token order, the order in which scoring multiplies.
    const std::vector<std::uint32_t> &ordered() const;

    // A slot of the hash set over the message's distinct tokens: entry index + 1, 0 when free.
    struct Slot {
        std::size_t hash;
        std::uint32_t entry;
        [[nodiscard]] bool used() const { return entry != 0; }
    };

    // Thousands of words a message cost no allocation each and no tree walk.
    std::vector<Entry> m_entries;
    OpenAddressTable<Slot> m_slots;
    std::wstring m_text;
    std::vector<std::string> m_contexts;
    // Built on first use after a change; one object serves one message on one thread.
    mutable std::vector<std::uint32_t> m_order;
};
