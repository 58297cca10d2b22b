#pragma once
// Processing of the marked mail, the "Process mail" command: for every listed row, whatever
// the table shows of it, in a fixed order of steps over all rows, it keeps a copy of the
// message, sends bounces and SpamCop reports, reports to the community service, teaches the
// classifier, brings the friends list and the blacklist into line with the boxes, records the
// mail log and queues the deletions on the servers (a VLDeletionPlan). The rows stay; a
// deleted message's row goes when its server reports the deletion.

#include <QObject>
#include <QString>

class VLMailTable;

class VLMailProcessor : public QObject {
    Q_OBJECT
public:
    // Works on the rows of table, which outlives it.
    VLMailProcessor(VLMailTable *table, QObject *parent);

    // Carries out what the rows are marked for; the result of starting the mailbox queue,
    // true when a request is under way afterwards.
    bool process();

Q_SIGNALS:
    // What processing is doing, or why something failed, for the progress text.
    void sigProgressText(const QString &text);

private:
    VLMailTable *m_table;
};
