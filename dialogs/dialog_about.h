#pragma once
// The About box: the maker, the web links (opened in the user's browser, the box stays
// open) and the version, in a label as large as its text so that it never scrolls.

#include "vl_dialog.h"

class VLRTLabel;

class DialogAbout : public VLDialog {
    Q_OBJECT
public:
    DialogAbout(QWidget *parent, const char *name);

    [[nodiscard]] VLRTLabel *label() const { return m_label; }
    // The rich text of the box for a maker's address (ending in "/").
    static QString aboutText(const QString &site);

public slots:
    void slotLinkClicked(const QString &url);

private:
    VLRTLabel *m_label;
};
