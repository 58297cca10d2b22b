#pragma once
// A record with one member of every kind the member conventions know, for the tests, the
// crash-safety writer and the fuzz target.

#include "data.h"

#include <QDomDocument>

#include <cstdio>

namespace vltest {

// List item: written as an element "item".
class TestItem : public Data {
public:
    TestItem() {
        name = "TestItem";
        clear();
    }
    void clear() override {
        text = QString();
        count = 0;
    }
    void setup(const QDomElement &e) override {
        setupItem(e, "text", text);
        setupItem(e, "count", count);
    }
    void check(const QDomElement &e, QStringList &errors) const override {
        checkItem(e, "text", text, errors);
        checkItem(e, "count", count, errors);
    }
    void store(QDomElement e) const override {
        storeItem(e, "text", text);
        storeItem(e, "count", count);
    }
    void print(int indent) const override {
        fprintf(stderr, "%*sTestItem:\n", indent, "");
        printItem(indent, "text", text);
        printItem(indent, "count", count);
    }
    bool operator==(const TestItem &o) const { return text == o.text && count == o.count; }

    QString text;
    int count;
};

// Sub-record: written into the child "section".
class TestSection : public Data {
public:
    TestSection() {
        name = "TestSection";
        clear();
    }
    void clear() override {
        enabled = false;
        colour = QString();
    }
    void setup(const QDomElement &e) override {
        setupItem(e, "enabled", enabled);
        setupItem(e, "colour", colour);
    }
    void check(const QDomElement &e, QStringList &errors) const override {
        checkItem(e, "enabled", enabled, errors);
        checkItem(e, "colour", colour, errors);
    }
    void store(QDomElement e) const override {
        storeItem(e, "enabled", enabled);
        storeItem(e, "colour", colour);
    }
    void print(int indent) const override {
        fprintf(stderr, "%*sTestSection:\n", indent, "");
        printItem(indent, "enabled", enabled);
        printItem(indent, "colour", colour);
    }
    bool operator==(const TestSection &o) const { return enabled == o.enabled && colour == o.colour; }

    bool enabled;
    QString colour;
};

class TestRecord : public Data {
public:
    TestRecord() {
        name = "TestRecord";
        clear();
    }
    void clear() override {
        flag = false;
        number = 0;
        big = 0;
        title = QString();
        words.clear();
        section.clear();
        items.clear();
        body = QString();
    }
    void setup(const QDomElement &e) override {
        setupItem(e, "flag", flag);
        setupItem(e, "number", number);
        setupItem(e, "big", big);
        setupItem(e, "title", title);
        setupItem(e, "words", words);
        section.setup(findElement(e, "section"));
        items.clear();
        const QDomElement holder = findElement(e, "items");
        for (QDomNode n = holder.firstChild(); !n.isNull(); n = n.nextSibling()) {
            if (n.isElement() && n.toElement().tagName() == QLatin1String("item")) {
                TestItem item;
                item.setup(n.toElement());
                items.append(item);
            }
        }
        body = getText(e, "body");
    }
    void check(const QDomElement &e, QStringList &errors) const override {
        checkItem(e, "flag", flag, errors);
        checkItem(e, "number", number, errors);
        checkItem(e, "big", big, errors);
        checkItem(e, "title", title, errors);
        checkItem(e, "words", words, errors);
        section.check(findElement(e, "section"), errors);
        int i = 0;
        const QDomElement holder = findElement(e, "items");
        for (QDomNode n = holder.firstChild(); !n.isNull(); n = n.nextSibling()) {
            if (n.isElement() && n.toElement().tagName() == QLatin1String("item")) {
                if (i < items.size())
                    items.at(i).check(n.toElement(), errors);
                ++i;
            }
        }
        if (i != items.size())
            errors.append(QStringLiteral("items: expected %1, got %2").arg(i).arg(items.size()));
        checkText(e, "body", body, errors);
    }
    void store(QDomElement e) const override {
        storeItem(e, "flag", flag);
        storeItem(e, "number", number);
        storeItem(e, "big", big);
        storeItem(e, "title", title);
        storeItem(e, "words", words);
        section.store(makeElement(e, "section"));
        QDomElement holder = makeElement(e, "items");
        while (!holder.firstChild().isNull())
            holder.removeChild(holder.firstChild());
        for (const TestItem &item : items) {
            QDomElement child = e.ownerDocument().createElement(QStringLiteral("item"));
            holder.appendChild(child);
            item.store(child);
        }
        makeText(e, "body", body);
    }
    void print(int indent) const override {
        fprintf(stderr, "%*sTestRecord:\n", indent, "");
        printItem(indent, "flag", flag);
        printItem(indent, "number", number);
        printItem(indent, "big", big);
        printItem(indent, "title", title);
        printItem(indent, "words", words);
        section.print(indent + 4);
        for (const TestItem &item : items)
            item.print(indent + 4);
    }
    // The previous version wrote flags as "true"/"false" and kept the title in an element
    // "oldTitle" somewhere below the root.
    void import(const QDomElement &e) override {
        flag = e.attribute(QStringLiteral("flag")) == QLatin1String("true");
        const QDomElement old = e.elementsByTagName(QStringLiteral("oldTitle")).item(0).toElement();
        if (!old.isNull())
            title = old.attribute(QStringLiteral("value"));
    }
    bool preSaveToStore() override {
        ++preSaveCalls;
        return changeOnSave;
    }
    bool operator==(const TestRecord &o) const {
        return flag == o.flag && number == o.number && big == o.big && title == o.title && words == o.words &&
               section == o.section && items == o.items && body == o.body;
    }

    bool flag;
    int number;
    long big;
    QString title;
    QStringList words;
    TestSection section;
    QList<TestItem> items;
    QString body;

    // Not part of the record: what the store did with it.
    int preSaveCalls = 0;
    bool changeOnSave = false;
};

// A record that implements nothing beyond the pure operations: the base's import.
class BareRecord : public Data {
public:
    BareRecord() { name = "BareRecord"; }
    void clear() override {}
    void setup(const QDomElement &) override {}
    void check(const QDomElement &, QStringList &) const override {}
    void store(QDomElement) const override {}
    void print(int) const override {}
};

} // namespace vltest
