#pragma once
// Hover help: a short text for a widget, shown in a text browser while the mouse pointer is
// over that widget and cleared when it leaves. Texts come from an installed XML file and
// are attached to widgets by their object names.

#include <QHash>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QTextBrowser;
class QWidget;

// Reads a hover-help file: the text content of every "widget" child of the document
// element, under its "name" attribute (the empty name when it has none); of a repeated name
// the later text wins, other children are ignored. Nothing when the bytes are no XML.
std::optional<QMap<QString, QString>> readHoverHelp(const QByteArray &bytes);

class PanelHelp : public QObject {
    Q_OBJECT
public:
    // Replaces the process's instance (deleting the old one and every text attached through
    // it) by a new child of parent that shows help in browser.
    static PanelHelp *create(QObject *parent, QTextBrowser *browser);
    // The current instance, null when there is none.
    static PanelHelp *instance();

    ~PanelHelp() override;

    // Shows text while the pointer is over widget (replacing an earlier text for it).
    void addHelp(QWidget *widget, const QString &text);

    // Reads "data/<file>" of the installed data and attaches its texts to the listed
    // widgets that have an entry; nothing at all while there is no instance.
    template <typename... More> static void addHelp(const char *file, QWidget *first, More... more) {
        addHelpList(file, {first, static_cast<QWidget *>(more)...});
    }
    static void addHelpList(const char *file, const QList<QWidget *> &widgets);

    // How many widgets carry a text (for tests and traces).
    [[nodiscard]] int count() const { return int(m_texts.size()); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    PanelHelp(QObject *parent, QTextBrowser *browser);
    void forget(QObject *widget);

    // The browser belongs to the window; it may go first.
    QPointer<QTextBrowser> m_browser;
    QHash<QObject *, QString> m_texts;
};
