#pragma once
// What the spam-tools dialog and side-pane tests share: the process's data folder, set once
// before any store exists; stores reset to a known content (and files) per test; entries and
// filters made in one line; a store file's bytes.

#include "data/data_list_filters.h"
#include "data/data_list_matches.h"
#include "data/data_tools.h"
#include "data/store.h"
#include "data/store_list_filters.h"
#include "data/store_list_matches.h"
#include "data/store_tools.h"

#include "TempDir.h"

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

namespace toolsdlg {

// The data folder of this test process; the stores read and write there.
inline QString dataDir() {
    static vltest::TempDir dir("tools-data");
    static const bool set = [] {
        Store::setDataDir(QString::fromStdString(dir.path()));
        // The installed hover help, from the source tree.
        qputenv("VL_SHAREDIR", VL_SOURCE_DIR "/share");
        return true;
    }();
    (void)set;
    return Store::dataDir();
}

inline QByteArray fileBytes(const char *base) {
    QFile file(dataDir() + QLatin1String(base) + QStringLiteral(".vlp"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline DataEmailMatch address(const char *text, qint64 used = 1000, bool disabled = false) {
    DataEmailMatch e;
    e.address = QString::fromUtf8(text);
    e.wildcard = e.address.contains(QLatin1Char('*'));
    e.disabled = disabled;
    e.lastUsed = used;
    return e;
}

inline DataEmailFilter filter(const char *name, const char *text) {
    DataEmailFilter f;
    f.filterName = QString::fromUtf8(name);
    f.rules = {DataEmailFilterRule(2, 1, QString::fromUtf8(text))};
    return f;
}

inline DataListEmailMatch list(const QList<DataEmailMatch> &entries) {
    DataListEmailMatch l;
    l.entries = entries;
    return l;
}

inline QStringList addresses(const DataListEmailMatch &l) {
    QStringList out;
    for (const DataEmailMatch &e : l.entries)
        out << e.address;
    return out;
}

template <class S, class R> void put(S *store, const R &record) {
    static_cast<R &>(*store) = record;
    store->setChanged(false);
    ASSERT_TRUE(store->saveToStore().isNull());
}

// Every store holds the given content, in memory and in its file.
inline void resetStores(const QList<DataEmailMatch> &friends, const QList<DataEmailMatch> &blacklist,
                        const QList<DataEmailFilter> &filters = {}, const DataTools *tools = nullptr) {
    dataDir();
    put(StoreListEmailMatch::friends(), list(friends));
    put(StoreListEmailMatch::blacklist(), list(blacklist));
    DataListEmailFilter f;
    f.filters = filters;
    put(StoreListEmailFilter::filter(), f);
    DataTools t;
    t.clear();
    put(StoreTools::tools(), tools ? *tools : t);
}

} // namespace toolsdlg

#include "GuiHelpers.h"
#include "panel_email_match.h"

#include <QLineEdit>
#include <QRadioButton>

namespace toolsdlg {

// Types a plain address into the entry dialog when it opens and confirms it.
inline void answerEntry(const QString &text) {
    vltest::whenModal(QStringLiteral("EmailMatch"), [text](QWidget *w) {
        auto *dialog = qobject_cast<DialogEmailMatch *>(w);
        ASSERT_NE(dialog, nullptr);
        vltest::child<QRadioButton>(dialog, QStringLiteral("plain"))->setChecked(true);
        vltest::child<QLineEdit>(dialog, QStringLiteral("plainAddress"))->setText(text);
        dialog->accept();
    });
}

} // namespace toolsdlg
