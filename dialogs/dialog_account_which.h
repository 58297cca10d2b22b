#pragma once
// Asks which type of account to add; exec() returns the type (1 POP3, 2 IMAP, 3 Hotmail),
// 0 when cancelled.

#include "vl_dialog.h"

class DataRadioSet;

class DialogAccountWhich : public VLDialog {
    Q_OBJECT
public:
    DialogAccountWhich(QWidget *parent, const char *name);
    [[nodiscard]] DataRadioSet *types() const { return m_types; }

public slots:
    void accept() override;

private:
    DataRadioSet *m_types;
};
