#pragma once
// A short answer to the previewed message, written without starting a mail program and
// sent through the summary options' server from the summary address.

#include "dialogs/vl_dialog.h"

class DataEmailMessage;
class QLineEdit;
class QTextEdit;

class VLQuickReply : public VLDialog {
    Q_OBJECT
public:
    // Fills the fields from the message (only read here) and the options.
    VLQuickReply(const DataEmailMessage &message, QWidget *parent, const char *name);

    // Queues the reply on the sender "__quick__". A reply without an address to send to, or
    // with no outgoing server in the options, is refused with a warning and nothing is
    // queued; false then.
    bool send();

    // Send: a reply that cannot go out keeps the dialog open with a warning, so nothing
    // written is lost.
    void accept() override;

private:
    // Why the reply cannot be sent, or a null string.
    [[nodiscard]] QString problem() const;

    QLineEdit *m_from;
    QLineEdit *m_to;
    QLineEdit *m_subject;
    QTextEdit *m_body;
};
