#pragma once
// A read-only rich-text label that sizes itself to its text, so it never scrolls: the
// explanatory sentences of the dialogs. Links do not navigate; they are reported.

#include <QTextBrowser>

class VLRTLabel : public QTextBrowser {
    Q_OBJECT
public:
    // noFit keeps the text's own width; otherwise a longer text is laid out at a width
    // chosen from its length.
    VLRTLabel(QWidget *parent, bool noFit);
    VLRTLabel(const QString &text, QWidget *parent, bool noFit);

    void setText(const QString &text);

signals:
    void linkClicked(const QString &link);

protected:
    // Never navigates inside the label.
    void doSetSource(const QUrl &name, QTextDocument::ResourceType type) override;

private:
    bool m_noFit;
};
