#pragma once
// The prompt for new login details after a server refused an account's login: why it was
// refused, the server shown, user name, password and the remember box, plus the protocol's
// secure-login choices in the "options" container that the two subclasses fill. Only the
// fields shown are written back; the server, port and SSL setting stay as they are.

#include "vl_dialog.h"

class DataAccountIncomingIMAP;
class DataAccountIncomingPOP3;
class DataAccountIncomingPOP3IMAP;
class DataAccountAdvancedServer;
class DataRadioSet;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;

class DialogLogin : public VLDialog {
    Q_OBJECT
public:
    DialogLogin(QWidget *parent, const char *name);

    // Why the last login failed, shown above the fields as plain text; none hides it.
    void setReason(const QString &reason);

protected:
    void loadLogin(const DataAccountIncomingPOP3IMAP &record, const DataAccountAdvancedServer &advanced);
    void saveLogin(DataAccountIncomingPOP3IMAP &record, DataAccountAdvancedServer &advanced) const;
    // Chains the common fields, then the protocol's own, then the button row.
    void chainTabs(const QList<QWidget *> &options);

    [[nodiscard]] QWidget *options() const { return m_options; }
    [[nodiscard]] QGridLayout *optionsGrid() const { return m_optionsGrid; }

    QCheckBox *m_secure = nullptr;
    DataRadioSet *m_authType = nullptr;

private:
    QLabel *m_reason;
    QLabel *m_server;
    QLineEdit *m_name;
    QLineEdit *m_password;
    QCheckBox *m_remember;
    QWidget *m_options;
    QGridLayout *m_optionsGrid;
};

class DialogLoginPOP3 : public DialogLogin {
    Q_OBJECT
public:
    DialogLoginPOP3(QWidget *parent, const char *name);
    void load(const DataAccountIncomingPOP3 &record);
    void save(DataAccountIncomingPOP3 &record) const;
};

class DialogLoginIMAP : public DialogLogin {
    Q_OBJECT
public:
    DialogLoginIMAP(QWidget *parent, const char *name);
    void load(const DataAccountIncomingIMAP &record);
    void save(DataAccountIncomingIMAP &record) const;
};
