#pragma once
// The status cell: the verdict text, sorting legitimate rows first, then undecided, then junk.

#include "VLTableItem.h"

class VLScannerItem;

class VLStatusItem : public VLTableItem {
public:
    // row is the row's model (not owned); its marks choose the sort group.
    explicit VLStatusItem(const VLScannerItem *row);

    // "0_", "1_" or "2_" (legitimate, undecided, junk) and the text. Built on each call: the
    // marks belong to the row and change without the cell's knowledge.
    [[nodiscard]] QString key() const override;

private:
    const VLScannerItem *m_row;
};
