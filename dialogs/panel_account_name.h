#pragma once
// The first page of every account editor: the name the user knows the account by and
// whether the default mail check includes it.

#include "vl_panel.h"

#include <QWidget>

class DataAccountName;
class QCheckBox;
class QLineEdit;

class PanelAccountName : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelAccountName(QWidget *parent, const char *name);
    void load(const DataAccountName &record);
    void save(DataAccountName &record) const;
    [[nodiscard]] QLineEdit *nameEdit() const { return m_name; }

private:
    QLineEdit *m_name;
    QCheckBox *m_inDefault;
};
