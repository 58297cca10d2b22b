#pragma once
// The spam-tools pages built alone, each on its section of a tools record: one way to make,
// load and save any of them, a widget reached by a path of object names, and the
// differences between two sections as their records' own check reports them.

#include "data/data_tools.h"
#include "panel_tools_learning.h"
#include "panel_tools_origin.h"
#include "panel_tools_spamcop.h"
#include "panel_tools_tm.h"
#include "panel_tools_virus.h"

#include <QDomDocument>
#include <QStringList>
#include <QWidget>

#include <memory>

#include <gtest/gtest.h>

namespace toolstest {

enum class Page { Origin, Virus, Learning, SpamCop, TM };

inline const char *pageName(Page page) {
    switch (page) {
    case Page::Origin:
        return "origin";
    case Page::Virus:
        return "virus";
    case Page::Learning:
        return "learning";
    case Page::SpamCop:
        return "spamcop";
    case Page::TM:
        return "tm";
    }
    return "";
}

inline QWidget *makePage(Page page, QWidget *parent) {
    const char *name = pageName(page);
    switch (page) {
    case Page::Origin:
        return new PanelToolsOrigin(parent, name);
    case Page::Virus:
        return new PanelToolsVirus(parent, name);
    case Page::Learning:
        return new PanelToolsLearning(parent, name);
    case Page::SpamCop:
        return new PanelToolsSpamCop(parent, name);
    case Page::TM:
        return new PanelToolsTM(parent, name);
    }
    return nullptr;
}

inline void loadPage(Page page, QWidget *w, const DataTools &tools) {
    switch (page) {
    case Page::Origin:
        static_cast<PanelToolsOrigin *>(w)->load(tools.origin);
        break;
    case Page::Virus:
        static_cast<PanelToolsVirus *>(w)->load(tools.virus);
        break;
    case Page::Learning:
        static_cast<PanelToolsLearning *>(w)->load(tools.learning);
        break;
    case Page::SpamCop:
        static_cast<PanelToolsSpamCop *>(w)->load(tools.spamcop);
        break;
    case Page::TM:
        static_cast<PanelToolsTM *>(w)->load(tools.tm);
        break;
    }
}

inline void savePage(Page page, QWidget *w, DataTools &tools) {
    switch (page) {
    case Page::Origin:
        static_cast<PanelToolsOrigin *>(w)->save(tools.origin);
        break;
    case Page::Virus:
        static_cast<PanelToolsVirus *>(w)->save(tools.virus);
        break;
    case Page::Learning:
        static_cast<PanelToolsLearning *>(w)->save(tools.learning);
        break;
    case Page::SpamCop:
        static_cast<PanelToolsSpamCop *>(w)->save(tools.spamcop);
        break;
    case Page::TM:
        static_cast<PanelToolsTM *>(w)->save(tools.tm);
        break;
    }
}

inline const Data &section(const DataTools &tools, Page page) {
    switch (page) {
    case Page::Origin:
        return tools.origin;
    case Page::Virus:
        return tools.virus;
    case Page::Learning:
        return tools.learning;
    case Page::SpamCop:
        return tools.spamcop;
    case Page::TM:
        return tools.tm;
    }
    return tools.tm;
}

// What the record's check finds in actual against expected; empty when they agree.
inline QStringList differences(const Data &expected, const Data &actual) {
    QDomDocument document;
    QDomElement element = document.createElement(QStringLiteral("section"));
    document.appendChild(element);
    expected.store(element);
    QStringList errors;
    actual.check(element, errors);
    return errors;
}

// Every section cleared: all flags off, numbers 0, texts empty, no servers.
inline DataTools clearedTools() {
    DataTools tools;
    tools.clear();
    return tools;
}

// The widget at a path of object names, each found anywhere below the one before; a test
// failure (and null) when a step is missing.
template <typename T = QWidget> T *at(const QObject *root, const QString &path) {
    const QObject *node = root;
    for (const QString &step : path.split(QLatin1Char('/'))) {
        node = node ? node->findChild<QObject *>(step) : nullptr;
        if (!node)
            break;
    }
    T *found = qobject_cast<T *>(const_cast<QObject *>(node));
    if (!found)
        ADD_FAILURE() << "no " << T::staticMetaObject.className() << " at \"" << path.toStdString() << "\"";
    return found;
}

inline DataToolsOriginServer server(const char *name, const char *domain, bool disabled = false) {
    DataToolsOriginServer s;
    s.serviceName = QLatin1String(name);
    s.domainName = QLatin1String(domain);
    s.disabled = disabled;
    return s;
}

} // namespace toolstest
