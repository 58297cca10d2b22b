#pragma once
// Replays a recorded script of interface actions; for now only what the records'
// verification report needs: loading a script and naming it by its tag.

#include <QString>

class TrialRunner {
public:
    TrialRunner() = default;

    // Reads the script document at path and keeps the "tag" attribute of its root element
    // (a null string when the root has none). A script that cannot be read or parsed leaves
    // the tag as it was and gives false.
    bool load(const QString &path);

    // The tag of the loaded script; a null string before the first successful load.
    [[nodiscard]] const QString &tag() const { return m_tag; }

private:
    QString m_tag;
};
