#pragma once
// The message list of the main window: one row per fetched message.

#include <QPalette>
#include <QTableWidget>

class VLMailTable : public QTableWidget {
    Q_OBJECT
public:
    explicit VLMailTable(QWidget *parent = nullptr);

    // Sets palette's Base to what a row's cells are painted on: a grey shade on odd rows,
    // the message's own colour where its status has one.
    void backgroundForRow(int row, QPalette &palette) const;
};
