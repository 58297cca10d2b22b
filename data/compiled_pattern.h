#pragma once
// The slot in which the scanning engine keeps the compiled pattern of an address entry or a
// filter rule, so that a pattern is compiled once per entry and not once per message.
//
// The slot belongs to its record alone: a copy of the record starts with an empty slot (the
// engine compiles again on first use), assigning a record over another releases the
// target's pattern, and a pattern is only handed out while the record's text is still the
// one it was compiled from, so an edit of the text resets it.

#include <QRegularExpression>
#include <QString>

#include <memory>

class CompiledPattern {
public:
    CompiledPattern() = default;
    CompiledPattern(const CompiledPattern &) {}
    CompiledPattern &operator=(const CompiledPattern &) {
        reset();
        return *this;
    }
    CompiledPattern(CompiledPattern &&) noexcept {}
    CompiledPattern &operator=(CompiledPattern &&) noexcept {
        reset();
        return *this;
    }
    ~CompiledPattern() = default;

    // The pattern compiled from source, or null when there is none for that text.
    [[nodiscard]] const QRegularExpression *get(const QString &source) const {
        return (m_pattern && m_source == source) ? m_pattern.get() : nullptr;
    }
    // Keeps the pattern compiled from source (replacing any earlier one) and returns it.
    const QRegularExpression *set(const QString &source, const QRegularExpression &pattern) {
        m_pattern = std::make_unique<QRegularExpression>(pattern);
        m_source = source;
        return m_pattern.get();
    }
    void reset() {
        m_pattern.reset();
        m_source = QString();
    }
    [[nodiscard]] bool isSet() const { return m_pattern != nullptr; }

private:
    std::unique_ptr<QRegularExpression> m_pattern;
    QString m_source;
};
