#pragma once
// Display options (element "display" of the options record): the look of unread and seen
// messages, the tool buttons, and the mail-table columns.

#include "data.h"

#include <QList>

// One mail-table column (element "optionsColumn").
class DataOptionsColumn : public Data {
public:
    DataOptionsColumn();
    explicit DataOptionsColumn(const QDomElement &element);
    DataOptionsColumn(bool disable, int code, int width);
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;

    bool disable; // not shown
    // 1 Delete, 2 Bounce, 3 Blacklist, 4 Friends, 5 Status, 6 Size, 7 From, 8 Subject,
    // 9 Sent, 10 Account, 11 Learning, 12 Attach, 13 Report, 14 Priority, 15 To,
    // 16 Arrived, 17 Spamcop
    int code;
    int width; // pixels, as the mail table last had it
};

class DataOptionsDisplay : public Data {
public:
    DataOptionsDisplay();
    void clear() override;
    void setup(const QDomElement &element) override;
    void check(const QDomElement &element, QStringList &errors) const override;
    void store(QDomElement element) const override;
    void print(int indent) const override;
    void import(const QDomElement &oldRoot) override;

    bool unreadBold;
    bool unreadColored;
    QString unreadColor; // a colour name, "#rrggbb" as the colour button writes it
    bool readDisplay;    // list messages seen in an earlier check
    bool readColored;
    QString readColor;
    bool largeButtons;
    bool captionButtons;
    // In display order (child "columns"); empty means the default set of columns.
    QList<DataOptionsColumn> columns;
};
