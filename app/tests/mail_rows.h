#pragma once
// A mail table with message rows, as the lister fills it, for the table's tests.

#include "data_folder.h"

#include "app/VLMailTable.h"
#include "app/VLScannerItem.h"
#include "data/store_options.h"
#include "data/store_tools.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <utility>

namespace apptest {

inline DataEmailMessage mailFrom(const QString &from, const QString &rawFrom, const QString &subject,
                                 const QString &uid) {
    DataEmailMessage m;
    m.from = from;
    m.encFrom = from;
    m.rawFrom = rawFrom;
    m.subject = subject;
    m.encSubject = subject;
    m.uid = uid;
    m.messageID = uid + QStringLiteral("@example.org");
    m.date = QStringLiteral("Mon, 2 Jan 2006 10:20:30 -0800");
    m.length = QStringLiteral("2048");
    m.to = QStringLiteral("me@example.com");
    return m;
}

// A stored column list showing only these codes, in this order, with these widths; every
// other code is listed disabled.
inline QList<DataOptionsColumn> columnsOnly(std::initializer_list<std::pair<int, int>> shown) {
    QList<DataOptionsColumn> columns;
    bool listed[VLMailTable::NumColumns] = {};
    for (const auto &[code, width] : shown) {
        columns.append(DataOptionsColumn(false, code, width));
        listed[code] = true;
    }
    for (int code = 1; code < VLMailTable::NumColumns; ++code)
        if (!listed[code])
            columns.append(DataOptionsColumn(true, code, 0));
    return columns;
}

class MailTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        static DataFolder folder; // before the first store, for the life of the process
        StoreOptions::options()->display = DataOptionsDisplay();
        StoreTools::tools()->learning = DataToolsLearning();
    }

    void TearDown() override {
        table.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The table as the lister makes it, from the options as they are now.
    VLMailTable *makeTable(int width = 900, int height = 400) {
        table = std::make_unique<VLMailTable>(nullptr, QStringLiteral("mailtable"));
        table->resize(width, height);
        return table.get();
    }

    void showTable() {
        table->show();
        table->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(table.get()));
    }

    VLScannerItem *addRow(const DataEmailMessage &message, const QString &account = QStringLiteral("Home"),
                          bool showHidden = false) {
        auto *item = new VLScannerItem(table.get(), account, message);
        item->insertTableRow(table->numVirtualRows(), showHidden);
        item->updateTableRow();
        return item;
    }

    VLScannerItem *addRow(const QString &subject) {
        const int n = table->numVirtualRows();
        return addRow(mailFrom(QStringLiteral("Sender %1 <s%1@example.org>").arg(n),
                               QStringLiteral("s%1@example.org").arg(n), subject,
                               QStringLiteral("uid%1").arg(n)));
    }

    // The centre of a row's cell of that code, in viewport coordinates.
    QPoint cellCentre(int row, int code) const {
        return table->visualRect(table->model()->index(row, table->mapFieldToCol(code))).center();
    }

    QTableWidgetItem *cell(int row, int code) const { return table->item(row, table->mapFieldToCol(code)); }

    QStringList columnTexts(int code) const {
        QStringList texts;
        for (int row = 0; row < table->rowCount(); ++row)
            texts.append(cell(row, code) ? cell(row, code)->text() : QString());
        return texts;
    }

    std::unique_ptr<VLMailTable> table;
};

} // namespace apptest
