#include "index.h"

SOHelpIndex *SOHelpKeywords::insert(const QByteArray &word, int number) {
    SOHelpIndex *entry = &m_entries.emplace_back(number);
    m_dictionary.insert(word, entry);
    return entry;
}

int SOHelpKeywords::addBook() {
    m_keyFiles.append(QStringList());
    return int(m_keyFiles.size() - 1);
}

void SOHelpKeywords::addKeyFile(int book, const QString &name) {
    if (book >= 0 && book < m_keyFiles.size())
        m_keyFiles[book].append(name);
}

int SOHelpKeywords::keyFileCount(int book) const {
    return book >= 0 && book < m_keyFiles.size() ? int(m_keyFiles[book].size()) : 0;
}

QString SOHelpKeywords::pageName(SOHelpPage page) const {
    if (page.file < 0 || page.file >= keyFileCount(page.book))
        return QString();
    return m_keyFiles[page.book][page.file];
}
