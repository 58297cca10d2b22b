#pragma once
// The size cell: a message's size on its server (else its Content-Length) in bytes, KB or
// MB, sorting by the exact byte count.

#include "VLTableItem.h"

class DataEmailMessage;

class VLSizeItem : public VLTableItem {
public:
    static constexpr int Type = 10102;

    explicit VLSizeItem(const DataEmailMessage &message);

    [[nodiscard]] int size() const { return m_size; }
    [[nodiscard]] QString key() const override { return m_key; }

private:
    int m_size = 0;
    QString m_key;
};
