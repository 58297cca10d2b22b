#pragma once
// Base of every persistent record: the virtual interface each record implements, the
// functions that map record members to an XML element, and reading and writing one record
// as a whole XML file.
//
// Member conventions (every record's setup, store and check follow them):
//   bool             attribute "0"/"1"; read as int, any non-zero value is true
//   int, long        attribute in decimal
//   short text       attribute, the text as it is
//   list of texts    one attribute, the items joined by "|"; read back without empty items
//   long text        child element holding one text node (makeText / getText)
//   sub-record       child element by tag (makeElement / findElement)
//   list of records  the holding element is emptied, then one child per item, in order
// Whatever is absent reads as false, 0, a null string or an empty list.
//
// Write scalar members with storeItem and read them with setupItem: storeItem also records
// the order in which a record writes its attributes, and the record file keeps that order.
// (Attributes set on the element directly are written after those, sorted by name.)

#include <QByteArray>
#include <QDomElement>
#include <QList>
#include <QString>
#include <QStringList>

class QFile;
class TrialRunner;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QObject;
class QRadioButton;
class QSlider;
class QSpinBox;
class DataRadioSet;
class VLColorButton;
class VLColorSpinner;

class Data {
public:
    // Draws the next serial tag of the process (the first record gets 1).
    Data();
    // A copy keeps the tag (and class name) of its source: copies are one logical record.
    Data(const Data &other) = default;
    Data &operator=(const Data &other) = default;
    virtual ~Data();

    // Resets every member to its default.
    virtual void clear() = 0;
    // Fills the members from the record's element.
    virtual void setup(const QDomElement &element) = 0;
    // Compares every member with the element, appending one text per difference.
    virtual void check(const QDomElement &element, QStringList &errors) const = 0;
    // Writes every member into the element (a handle on the DOM node).
    virtual void store(QDomElement element) const = 0;
    // Debug dump to standard error at the given indentation.
    virtual void print(int indent) const = 0;
    // Reads a record of the previous program version; the base only traces the call.
    virtual void import(const QDomElement &element);
    // Called by the store just before it writes; true when the record changed itself.
    virtual bool preSaveToStore();

    [[nodiscard]] int tag() const { return tag_; }

    // --- DOM helpers (names compare exactly) ---

    // First child element of that tag, else a new one appended to the parent.
    static QDomElement makeElement(QDomElement parent, const char *name);
    // First child element of that tag, else a null element.
    static QDomElement findElement(const QDomElement &parent, const char *name);
    // Replaces the first child element of that tag by a new one, appended last, that holds
    // one text node with the text.
    static void makeText(QDomElement parent, const char *name, const QString &text);
    // Value of the first child node of the first child element of that tag; null when
    // there is no such element or it has no child.
    static QString getText(const QDomElement &parent, const char *name);

    // Splits a log line at every '&' and appends the pieces (empty ones included) to fields.
    // A '\n' in the last byte is cut off (replaced by a NUL in the buffer). Only the first
    // length bytes are looked at, and a NUL among them ends the line.
    static void splitLine(char *line, long length, QList<QByteArray> &fields);

    // --- Member conventions: writing and reading attributes ---

    static void storeItem(QDomElement element, const char *name, bool value);
    static void storeItem(QDomElement element, const char *name, int value);
    static void storeItem(QDomElement element, const char *name, long value);
    static void storeItem(QDomElement element, const char *name, const QString &value);
    static void storeItem(QDomElement element, const char *name, const char *value);
    static void storeItem(QDomElement element, const char *name, const QStringList &value);

    static void setupItem(const QDomElement &element, const char *name, bool &value);
    static void setupItem(const QDomElement &element, const char *name, int &value);
    static void setupItem(const QDomElement &element, const char *name, long &value);
    static void setupItem(const QDomElement &element, const char *name, QString &value);
    static void setupItem(const QDomElement &element, const char *name, QStringList &value);

    // --- Checks: one "name: got [record] expected [element]" text per difference ---

    static void checkItem(const QDomElement &element, const char *name, const QString &value,
                          QStringList &errors);
    static void checkItem(const QDomElement &element, const char *name, const char *value,
                          QStringList &errors);
    static void checkItem(const QDomElement &element, const char *name, bool value, QStringList &errors);
    static void checkItem(const QDomElement &element, const char *name, int value, QStringList &errors);
    static void checkItem(const QDomElement &element, const char *name, long value, QStringList &errors);
    static void checkItem(const QDomElement &element, const char *name, const QStringList &value,
                          QStringList &errors);
    // Long text: compared with every child element of that name.
    static void checkText(const QDomElement &element, const char *name, const QString &value,
                          QStringList &errors);

    // --- Debug print of one member, indented by indent + 4 ---

    static void printItem(int indent, const char *name, bool value);
    static void printItem(int indent, const char *name, int value);
    static void printItem(int indent, const char *name, long value);
    static void printItem(int indent, const char *name, const QString &value);
    static void printItem(int indent, const char *name, const char *value);
    static void printItem(int indent, const char *name, const QStringList &value);

    // --- Error report of check(); keys (text before the first ':') in ignored are skipped ---

    static void showErrors(const char *label, const QStringList &errors, const QStringList &ignored);
    static void showErrors(TrialRunner &runner, const char *label, const QStringList &errors,
                           const QStringList &ignored);

    // --- Record files: XML declaration, root element "name", then store(root) ---

    // Writes the record into a file opened for writing. Null on success; "%1: cannot save"
    // (the file's name) when the bytes could not all be written.
    QString saveToFile(QFile &file) const;
    // clear(), then reads the record from a file opened for reading. Null on success;
    // "%1: cannot parse" (the file's name) otherwise, leaving the record cleared.
    QString loadFromFile(QFile &file);
    // The same on the path folder + base + "." + extension (the folder carries its own
    // trailing '/', or is empty); "%1: cannot open" (the path) when it cannot be opened.
    QString saveToFile(const QString &base, const char *extension, const QString &folder) const;
    QString loadFromFile(const QString &base, const char *extension, const QString &folder);

    // --- Widget binding: load puts a member into its widget, save reads it back ---
    //
    // A control the user did not change saves the value load put in, even where the widget
    // could not show it (a spin box clamps, a combo box has no such item, a colour is not in
    // a spinner's set, a radio number names no button): a dialog confirmed without changes
    // never rewrites stored values. A changed control saves what it shows. A page that
    // adjusts a control after loading (a default shown for 0) calls markLoaded on it, so
    // the adjusted state still counts as untouched.

    static void load(int value, QSpinBox *w);
    static void save(int &value, const QSpinBox *w);
    static void load(int value, QSlider *w);
    static void save(int &value, const QSlider *w);
    static void load(int value, QComboBox *w);
    static void save(int &value, const QComboBox *w);
    // Decimal text; a text that is no number saves as 0.
    static void load(int value, QLineEdit *w);
    static void save(int &value, const QLineEdit *w);
    static void load(const QString &value, QLineEdit *w);
    static void save(QString &value, const QLineEdit *w);
    static void load(bool value, QCheckBox *w);
    static void save(bool &value, const QCheckBox *w);
    // A checkable group box.
    static void load(bool value, QGroupBox *w);
    static void save(bool &value, const QGroupBox *w);
    // One item per string, in order.
    static void load(const QStringList &value, QListWidget *w);
    static void save(QStringList &value, const QListWidget *w);
    // Three loose radio buttons, any of them null: 1 to 3 checks that button, anything else
    // checks none; save gives the last checked button's number, 0 for none.
    static void load(int value, QRadioButton *first, QRadioButton *second, QRadioButton *third);
    static void save(int &value, const QRadioButton *first, const QRadioButton *second,
                     const QRadioButton *third);
    static void load(int value, DataRadioSet *w);
    static void save(int &value, const DataRadioSet *w);
    static void load(const QString &value, VLColorSpinner *w);
    static void save(QString &value, const VLColorSpinner *w);
    static void load(const QString &value, VLColorButton *w);
    static void save(QString &value, const VLColorButton *w);

    // The control's present state becomes its untouched state; the loaded value stays.
    static void markLoaded(QObject *w);
    static void markLoaded(QRadioButton *first, QRadioButton *second, QRadioButton *third);

protected:
    int tag_;
    // Class name of the most derived record, set by each constructor.
    const char *name;
};

// Declares, inside a record class, the overrides of the five members every record
// implements: clear, setup, check, store and print. (import and preSaveToStore, which only
// some records override, are declared by those records themselves.)
#define VL_DATA_OVERRIDES                                                                                    \
    void clear() override;                                                                                   \
    void setup(const QDomElement &element) override;                                                         \
    void check(const QDomElement &element, QStringList &errors) const override;                              \
    void store(QDomElement element) const override;                                                          \
    void print(int indent) const override;
