#pragma once
// Chooses the mail program started after processing: one of the preconfigured clients, or a
// command typed or browsed by the user.

#include "vl_dialog.h"

#include <QString>

#include <functional>

class DataRadioSet;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class DialogEmailClient : public VLDialog {
    Q_OBJECT
public:
    // The file chooser behind "...": returns the chosen path, empty when cancelled.
    using FileChooser = std::function<QString()>;

    DialogEmailClient(QWidget *parent, const char *name);

    void setup(bool useSpecified, const QString &preconfigured, const QString &specified);
    // All three are written, whichever button is chosen.
    void results(bool &useSpecified, QString &preconfigured, QString &specified) const;

    // Replaces the standard open-file dialog (tests); an empty function restores it.
    static void setFileChooser(FileChooser chooser);

    [[nodiscard]] DataRadioSet *which() const { return m_which; }

public slots:
    void slotWhichChanged(int which);
    void slotFindClient();

private:
    QRadioButton *m_usePreconfigured;
    QRadioButton *m_useSpecified;
    DataRadioSet *m_which;
    QComboBox *m_preconfigured;
    QLineEdit *m_specified;
    QPushButton *m_browse;
    QLabel *m_hint;
};
