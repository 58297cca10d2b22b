#pragma once
// Processing of the marked mail, the "Process mail" command: for every listed row, whatever
// the table shows of it, in a fixed order of steps over all rows, it keeps a copy of the
// message, sends bounces and SpamCop reports, reports to the community service, teaches the
// classifier, brings the friends list and the blacklist into line with the boxes, records the
// mail log and queues the deletions on the servers (a VLDeletionPlan). The rows stay; a
// deleted message's row goes when its server reports the deletion.

#include <QObject>
#include <QString>
#include <QStringList>

class VLMailTable;

class VLMailProcessor : public QObject {
    Q_OBJECT
public:
    // Works on the rows of table, which outlives it.
    VLMailProcessor(VLMailTable *table, QObject *parent);

    // Carries out what the rows are marked for; the result of starting the mailbox queue,
    // true when a request is under way afterwards.
    bool process();
    // What the last run could not do or what failed in it, for the progress text at its end;
    // empty when all went out.
    [[nodiscard]] QString notice() const;

Q_SIGNALS:
    // What processing is doing, or why something failed, for the progress text.
    void sigProgressText(const QString &text);

private:
    // One more thing to tell; each is told once.
    void note(const QString &text);

    VLMailTable *m_table;
    QStringList m_notices;
};
