#pragma once
// The model of one mail-table row: a fetched message of one account, its scan status, and
// the cells that show them. It is itself the item of the row's hidden first column, so the
// table finds a row's model there and deletes it with the row.
//
// Ownership of the cells: while the row is placed (insertTableRow) the table owns them and
// deletes them with the row; otherwise (never placed, or taken out with removeTableRow) the
// item deletes them itself. Take the cells out before taking the item itself out of the
// table.

#include "AccountIdentity.h"

#include "data/data_email.h"

#include <QHash>
#include <QObject>
#include <QTableWidgetItem>
#include <QVarLengthArray>

class VLCheckTableItem;
class VLDateItem;
class VLLearningItem;
class VLMailTable;
class VLSizeItem;
class VLStatusItem;
class VLTableItem;

class VLScannerItem : public QObject, public QTableWidgetItem {
    Q_OBJECT
public:
    static constexpr int Type = 10101;

    VLScannerItem(VLMailTable *table, const QString &account, const DataEmailMessage &message);
    ~VLScannerItem() override;

    // The row of a message by its DataEmailMessage::unique(), or null.
    static VLScannerItem *findMessage(const QString &unique);

    // Puts the row's model and cells into the table at row (growing it to row + 1 rows) and
    // hides the row when its status says so and hidden rows are not shown.
    void insertTableRow(int row, bool showHidden);
    // Fills the cells from the message and the status.
    void updateTableRow();
    // Takes the cells (not the item itself) out of the table without deleting them.
    void removeTableRow();
    void repaintTableRow();

    [[nodiscard]] const QString &account() const { return m_account; }
    // The mailbox the message was listed from; a delete goes only there.
    [[nodiscard]] const AccountIdentity &listedFrom() const { return m_listedFrom; }
    void setListedFrom(const AccountIdentity &identity) { m_listedFrom = identity; }
    [[nodiscard]] const DataEmailMessage &message() const { return m_message; }
    [[nodiscard]] DataEmailMessage &message() { return m_message; }
    [[nodiscard]] const DataEmailStatus &status() const { return m_status; }
    [[nodiscard]] DataEmailStatus &status() { return m_status; }

    // The row's verdict as the user or a filter last decided it; the status cell sorts by it.
    [[nodiscard]] bool isJunk() const { return m_junk; }
    [[nodiscard]] bool isLegitimate() const { return m_legitimate; }
    void setJunk(bool on) { m_junk = on; }
    void setLegitimate(bool on) { m_legitimate = on; }
    // Set by the lister's end-of-list pass for rows whose message left the server.
    [[nodiscard]] bool isGone() const { return m_gone; }
    void setGone(bool on) { m_gone = on; }
    [[nodiscard]] bool isMessageRead() const { return m_messageRead; }
    // Marks the message read (seen in an earlier check) and repaints the row.
    void setMessageRead();

    // The boxes; a removed Report or SpamCop box reads as unchecked.
    [[nodiscard]] bool isDeleteChecked() const;
    [[nodiscard]] bool isBounceChecked() const;
    [[nodiscard]] bool isBlacklistChecked() const;
    [[nodiscard]] bool isFriendChecked() const;
    [[nodiscard]] bool isReportChecked() const;
    [[nodiscard]] bool isSpamCopChecked() const;
    [[nodiscard]] bool hasReport() const { return m_report != nullptr; }
    [[nodiscard]] bool hasSpamCop() const { return m_spamCop != nullptr; }

    // Setters the lister applies to every row with the sender of a changed row; these four
    // ignore the address.
    void setDeleteChecked(const QString &address, bool on);
    void setBounceChecked(const QString &address, bool on);
    void setReportChecked(const QString &address, bool on);
    void setSpamCopChecked(const QString &address, bool on);
    // These act only on rows of that sender (a null address: this row). Turning a box on
    // also sets the boxes that go with it; turning it off changes nothing else.
    void setBlacklistChecked(const QString &address, bool on);
    void setFriendChecked(const QString &address, bool on);
    // Whether the message comes from that sender: bare addresses compared without regard to
    // case, or the whole From value when the message has no bare address.
    [[nodiscard]] bool isFromSender(const QString &address) const;

    void markForDeletion();
    void markForBouncing();
    void clearReportChecked();
    void clearSpamCopChecked();
    // Removes the box for good, once the message has been reported there. A checked Report
    // box counts the message as reported (DataEmailStatus::LogTMReport).
    void disableReport();
    void disableSpamCop();

    // The user's verdict: junk and legitimate tick the boxes the learning options ask for
    // and change only a verdict of none, junk or legitimate; unknown clears such a verdict.
    void setAsJunk();
    void setAsLegitimate();
    void setAsUnknown();
    void setLearning(DataEmailStatus::Bayes bayes, bool on);
    // Whether processing is to teach the classifier: never what it already concluded.
    [[nodiscard]] bool teachAsSpam() const;
    [[nodiscard]] bool teachAsLegitimate() const;
    // Records in the status what processing will do: bounce, delete, report.
    void setLogging();

    // The cells, for the lister and tests.
    [[nodiscard]] VLLearningItem *learningCell() const { return m_learning; }
    [[nodiscard]] VLStatusItem *statusCell() const { return m_statusCell; }

signals:
    void sigLearningChanged(DataEmailStatus::Bayes bayes, bool on);

public slots:
    void slotDoubleToggled1(int row, bool on);
    void slotDoubleToggled2(int row, bool on);

private:
    struct Placed {
        QTableWidgetItem *cell;
        int code;
    };
    using Cells = QVarLengthArray<Placed, 17>;
    // Every cell with the code of its column, in placing order; removed boxes left out.
    [[nodiscard]] Cells cells() const;
    void showStatusText();
    void doubleToggled(DataEmailStatus::Bayes bayes, int row, bool on);

    static QHash<QString, VLScannerItem *> m_messageMap;

    VLMailTable *m_table;
    QString m_account;
    AccountIdentity m_listedFrom;
    DataEmailMessage m_message;
    DataEmailStatus m_status;
    QString m_key; // the message's unique() when the item was made
    bool m_gone = false;
    bool m_messageRead = false;
    bool m_legitimate = false;
    bool m_junk = false;
    bool m_placed = false;

    VLSizeItem *m_size;
    VLDateItem *m_sent;
    VLStatusItem *m_statusCell;
    VLTableItem *m_accountCell;
    VLTableItem *m_from;
    VLTableItem *m_to;
    VLTableItem *m_priority;
    VLDateItem *m_arrived;
    VLTableItem *m_subject;
    VLTableItem *m_attachments;
    VLCheckTableItem *m_delete;
    VLCheckTableItem *m_bounce;
    VLCheckTableItem *m_blacklist;
    VLCheckTableItem *m_friends;
    VLCheckTableItem *m_report;
    VLCheckTableItem *m_spamCop;
    VLLearningItem *m_learning;
};
