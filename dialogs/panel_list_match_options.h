#pragma once
// The options of one address list: expiry of unused plain addresses and of unused
// wildcard expressions after some days, and the order by domain. The expiry happens when
// the list is saved to its store; the order at the table's next load.

#include "vl_dialog.h"

#include <QWidget>

class DataListMatchOptions;
class QCheckBox;
class QSpinBox;

class PanelListMatchOptions : public QWidget {
    Q_OBJECT
public:
    PanelListMatchOptions(QWidget *parent, const char *name);

    void load(const DataListMatchOptions &options);
    // A day count the spin box could not show (0 of a new list, above 999) saves back as
    // stored while the user leaves it alone.
    void save(DataListMatchOptions &options) const;

private:
    QCheckBox *m_expireEmail;
    QSpinBox *m_expireEmailAfter;
    QCheckBox *m_expireWildcard;
    QSpinBox *m_expireWildcardAfter;
    QCheckBox *m_sortByDomain;
};

class DialogListMatchOptions : public VLDialog {
    Q_OBJECT
public:
    DialogListMatchOptions(QWidget *parent, const char *name);

    void load(const DataListMatchOptions &options) { m_panel->load(options); }
    void save(DataListMatchOptions &options) const { m_panel->save(options); }

private:
    PanelListMatchOptions *m_panel;
};
