#pragma once
// The lower-cased texts of one message that filter conditions look at, each made on first
// use. One object serves both passes of a scan, so that a long body is lowered once per
// message and not once per pass or per condition.

#include <QString>

#include <array>

class DataEmailFilter;
class DataEmailMessage;
class DataListEmailFilter;

class FilterTexts {
public:
    explicit FilterTexts(const DataEmailMessage &message) : m_message(message) {}
    FilterTexts(const FilterTexts &) = delete;
    FilterTexts &operator=(const FilterTexts &) = delete;

    // The lowered text of a condition's field: 1 From, 2 Subject, 3 To, 4 CC, 5 body,
    // 6 return path, 7 header block and body; any other number gives an empty text.
    const QString &get(int useHeader);

private:
    static constexpr int kFields = 8;

    const DataEmailMessage &m_message;
    std::array<QString, kFields> m_texts;
    std::array<bool, kFields> m_made{};
};

// DataListEmailFilter::match over texts the caller keeps across both passes of one scan.
const DataEmailFilter *firstMatchingFilter(const DataListEmailFilter &list, FilterTexts &texts,
                                           bool firstPass);
