#include "panel_help.h"

#include "vl_share_dir.h"

#include <QDomDocument>
#include <QEvent>
#include <QFile>
#include <QTextBrowser>
#include <QWidget>

#include <cstdio>

namespace {
PanelHelp *s_instance = nullptr;
}

std::optional<QMap<QString, QString>> readHoverHelp(const QByteArray &bytes) {
    QDomDocument document;
    if (!document.setContent(bytes))
        return std::nullopt;
    QMap<QString, QString> texts;
    const QDomElement root = document.documentElement();
    for (QDomElement e = root.firstChildElement(QStringLiteral("widget")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("widget")))
        texts.insert(e.attribute(QStringLiteral("name")), e.text());
    return texts;
}

PanelHelp::PanelHelp(QObject *parent, QTextBrowser *browser) : QObject(parent), m_browser(browser) {
    s_instance = this;
}

PanelHelp::~PanelHelp() {
    if (s_instance == this)
        s_instance = nullptr;
    // Widgets that outlive the instance must not call a dead filter.
    for (auto it = m_texts.cbegin(); it != m_texts.cend(); ++it)
        it.key()->removeEventFilter(this);
}

PanelHelp *PanelHelp::create(QObject *parent, QTextBrowser *browser) {
    delete s_instance;
    return new PanelHelp(parent, browser);
}

PanelHelp *PanelHelp::instance() {
    return s_instance;
}

void PanelHelp::addHelp(QWidget *widget, const QString &text) {
    if (!widget)
        return;
    if (!m_texts.contains(widget)) {
        widget->installEventFilter(this);
        // A widget destroyed before the instance takes its entry with it, so no later
        // event or cleanup reaches a dangling key.
        connect(widget, &QObject::destroyed, this, &PanelHelp::forget);
    }
    m_texts.insert(widget, text);
}

void PanelHelp::forget(QObject *widget) {
    m_texts.remove(widget);
}

void PanelHelp::addHelpList(const char *file, const QList<QWidget *> &widgets) {
    PanelHelp *help = s_instance;
    if (!help)
        return;
    const QString path = vlShareDir() + QStringLiteral("data/%1").arg(QString::fromUtf8(file));
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        fprintf(stderr, "PanelHelp::addHelp: %s: cannot open\n", path.toLocal8Bit().constData());
        return;
    }
    const std::optional<QMap<QString, QString>> texts = readHoverHelp(in.readAll());
    if (!texts) {
        fprintf(stderr, "PanelHelp::addHelp: %s: cannot parse\n", file);
        return;
    }
    for (QWidget *w : widgets) {
        if (!w)
            break;
        const auto it = texts->constFind(w->objectName());
        if (it != texts->cend())
            help->addHelp(w, it.value());
    }
}

bool PanelHelp::eventFilter(QObject *watched, QEvent *event) {
    const auto it = m_texts.constFind(watched);
    if (it != m_texts.cend() && m_browser) {
        if (event->type() == QEvent::Enter)
            m_browser->setText(QStringLiteral("<qt>") + it.value() + QStringLiteral("</qt>"));
        else if (event->type() == QEvent::Leave)
            m_browser->clear();
    }
    return false;
}
