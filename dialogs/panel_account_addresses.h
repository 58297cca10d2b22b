#pragma once
// The addresses of an account that receives mail under several of them, and what a bounce
// does when the address a message was sent to cannot be told. The add, replace and delete
// buttons only follow the state of the field and the list; nothing is wired to them yet.

#include "vl_dialog.h"
#include "vl_panel.h"

#include <QWidget>

class DataAccountAddresses;
class DataRadioSet;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;

class PanelAccountAddresses : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelAccountAddresses(QWidget *parent, const char *name);
    // assumeAddress is neither shown nor written back.
    void load(const DataAccountAddresses &record);
    void save(DataAccountAddresses &record) const;

public slots:
    void slotAddressChanged();
    void slotAddressDoubleClick();

private:
    QGroupBox *m_multiple;
    QLineEdit *m_address;
    QPushButton *m_add;
    QPushButton *m_replace;
    QPushButton *m_delete;
    QListWidget *m_list;
    QComboBox *m_assume;
    DataRadioSet *m_bounceType;
};

class DialogAccountAddresses : public VLDialog {
    Q_OBJECT
public:
    DialogAccountAddresses(QWidget *parent, const char *name);
    void load(const DataAccountAddresses &record) { m_panel->load(record); }
    void save(DataAccountAddresses &record) const { m_panel->save(record); }
    [[nodiscard]] PanelAccountAddresses *panel() const { return m_panel; }

private:
    PanelAccountAddresses *m_panel;
};
