#pragma once
// The port row of the advanced server pages: "Server port number", the field and its
// "Use default" button, which follow the standard port of the SSL state.

#include <QString>

class QBoxLayout;
class QLineEdit;
class QWidget;
class VLDefaultButton;

struct AccountPortRow {
    QLineEdit *port = nullptr;
    VLDefaultButton *useDefault = nullptr;

    // Adds the row to the page's layout.
    static AccountPortRow add(QWidget *panel, QBoxLayout *top);
    // Switching SSL: the standard port replaces whatever was typed and becomes the default.
    void showStandard(const QString &standard);
    // After the stored port was loaded into the field: 0 stands for the standard port, which
    // is shown while the stored 0 is kept for saving.
    void loaded(int stored, const QString &standard);
};
