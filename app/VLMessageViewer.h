#pragma once
// One message in a window of its own: a table of its main header fields above the preview
// pane.

#include "dialogs/vl_dialog.h"

class DataEmailMessage;
class QTextBrowser;
class VLMessageDisplay;

class VLMessageViewer : public VLDialog {
    Q_OBJECT
public:
    VLMessageViewer(QWidget *parent, const char *name);

    // Fills the header table, shows the message and names it in the caption.
    void setMessage(const DataEmailMessage &message);

    [[nodiscard]] VLMessageDisplay *display() const { return m_display; }

private:
    QTextBrowser *m_headers;
    VLMessageDisplay *m_display;
};
