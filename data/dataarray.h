#pragma once
// Raw bytes of a message as the mail clients collect them: a plain byte buffer that
// grows at its end and is never zero-terminated by this class.

#include <QByteArray>
#include <QString>

class SODataArray : public QByteArray {
public:
    SODataArray() = default;
    SODataArray(const QByteArray &bytes) : QByteArray(bytes) {}

    // Appends every byte of the array.
    void append(const QByteArray &bytes);
    // Appends the characters of a zero-terminated string, without its terminator.
    void append(const char *s);
    // The bytes up to the first NUL (or all of them), as Latin-1 text.
    [[nodiscard]] QString string() const;
    // Empties the buffer.
    void clear();
};
