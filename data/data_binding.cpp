// Data::load / Data::save for every widget kind the dialogs bind.
#include "data.h"
#include "data_radio_set.h"
#include "vl_color_button.h"
#include "vl_color_spinner.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>

namespace {

// What load put in, and what the control showed right after: while the control still shows
// that, the user has not changed it and the loaded value is saved.
constexpr const char *kLoadedValue = "vlLoadedValue";
constexpr const char *kLoadedState = "vlLoadedState";

QStringList itemTexts(const QListWidget *w) {
    QStringList texts;
    for (int i = 0; i < w->count(); ++i)
        texts.append(w->item(i)->text());
    return texts;
}

int checkedRadio(const QRadioButton *first, const QRadioButton *second, const QRadioButton *third) {
    int value = 0;
    const QRadioButton *buttons[] = {first, second, third};
    for (int i = 0; i < 3; ++i)
        if (buttons[i] && buttons[i]->isChecked())
            value = i + 1;
    return value;
}

// The loose radio buttons keep their binding on the first one that exists.
template <typename Button> Button *radioHolder(Button *first, Button *second, Button *third) {
    return first ? first : second ? second : third;
}

// The state a control shows, in the form its binding compares; invalid for a control no
// binding knows.
QVariant shownState(const QObject *w) {
    if (auto *x = qobject_cast<const QSpinBox *>(w))
        return x->value();
    if (auto *x = qobject_cast<const QSlider *>(w))
        return x->value();
    if (auto *x = qobject_cast<const QComboBox *>(w))
        return x->currentIndex();
    if (auto *x = qobject_cast<const QLineEdit *>(w))
        return x->text();
    if (auto *x = qobject_cast<const QCheckBox *>(w))
        return x->isChecked();
    if (auto *x = qobject_cast<const QGroupBox *>(w))
        return x->isChecked();
    if (auto *x = qobject_cast<const QListWidget *>(w))
        return itemTexts(x);
    if (auto *x = qobject_cast<const DataRadioSet *>(w))
        return x->value();
    if (auto *x = qobject_cast<const VLColorSpinner *>(w))
        return x->value();
    if (auto *x = qobject_cast<const VLColorButton *>(w))
        return x->value();
    return {};
}

void remember(QObject *w, const QVariant &loaded, const QVariant &state) {
    if (!w)
        return;
    w->setProperty(kLoadedValue, loaded);
    w->setProperty(kLoadedState, state);
}

template <typename T> void remember(QObject *w, const T &loaded) {
    remember(w, QVariant::fromValue(loaded), shownState(w));
}

// The loaded value while the control shows what it showed after load, else shown.
template <typename T> T untouchedOr(const QObject *w, const QVariant &state, const T &shown) {
    if (!w)
        return shown;
    const QVariant loaded = w->property(kLoadedValue);
    if (loaded.isValid() && w->property(kLoadedState) == state)
        return loaded.value<T>();
    return shown;
}

template <typename T> T untouchedOr(const QObject *w, const T &shown) {
    return untouchedOr(w, shownState(w), shown);
}

} // namespace

void Data::load(int value, QSpinBox *w) {
    w->setValue(value);
    remember(w, value);
}

void Data::save(int &value, const QSpinBox *w) {
    value = untouchedOr(w, w->value());
}

void Data::load(int value, QSlider *w) {
    w->setValue(value);
    remember(w, value);
}

void Data::save(int &value, const QSlider *w) {
    value = untouchedOr(w, w->value());
}

void Data::load(int value, QComboBox *w) {
    w->setCurrentIndex(value);
    remember(w, value);
}

void Data::save(int &value, const QComboBox *w) {
    value = untouchedOr(w, w->currentIndex());
}

void Data::load(int value, QLineEdit *w) {
    w->setText(QString::number(value));
    remember(w, value);
}

void Data::save(int &value, const QLineEdit *w) {
    bool ok = false;
    int shown = w->text().toInt(&ok, 10);
    if (!ok)
        shown = 0;
    value = untouchedOr(w, shown);
}

void Data::load(const QString &value, QLineEdit *w) {
    w->setText(value);
    remember(w, value);
}

void Data::save(QString &value, const QLineEdit *w) {
    value = untouchedOr(w, w->text());
}

void Data::load(bool value, QCheckBox *w) {
    w->setChecked(value);
    remember(w, value);
}

void Data::save(bool &value, const QCheckBox *w) {
    value = untouchedOr(w, w->isChecked());
}

void Data::load(bool value, QGroupBox *w) {
    w->setChecked(value);
    remember(w, value);
}

void Data::save(bool &value, const QGroupBox *w) {
    value = untouchedOr(w, w->isChecked());
}

void Data::load(const QStringList &value, QListWidget *w) {
    w->clear();
    w->addItems(value);
    remember(w, value);
}

void Data::save(QStringList &value, const QListWidget *w) {
    value = untouchedOr(w, itemTexts(w));
}

void Data::load(int value, QRadioButton *first, QRadioButton *second, QRadioButton *third) {
    QRadioButton *buttons[] = {first, second, third};
    if (value >= 1 && value <= 3 && buttons[value - 1])
        buttons[value - 1]->setChecked(true);
    remember(radioHolder(first, second, third), QVariant(value),
             QVariant(checkedRadio(first, second, third)));
}

void Data::save(int &value, const QRadioButton *first, const QRadioButton *second,
                const QRadioButton *third) {
    const int shown = checkedRadio(first, second, third);
    value = untouchedOr(radioHolder(first, second, third), QVariant(shown), shown);
}

void Data::load(int value, DataRadioSet *w) {
    w->setValue(value);
    remember(w, value);
}

void Data::save(int &value, const DataRadioSet *w) {
    value = untouchedOr(w, w->value());
}

void Data::load(const QString &value, VLColorSpinner *w) {
    w->setValue(value);
    remember(w, value);
}

void Data::save(QString &value, const VLColorSpinner *w) {
    value = untouchedOr(w, w->value());
}

void Data::load(const QString &value, VLColorButton *w) {
    w->setValue(value);
    remember(w, value);
}

void Data::save(QString &value, const VLColorButton *w) {
    value = untouchedOr(w, w->value());
}

void Data::markLoaded(QObject *w) {
    if (w && w->property(kLoadedValue).isValid())
        w->setProperty(kLoadedState, shownState(w));
}

void Data::markLoaded(QRadioButton *first, QRadioButton *second, QRadioButton *third) {
    QObject *holder = radioHolder(first, second, third);
    if (holder && holder->property(kLoadedValue).isValid())
        holder->setProperty(kLoadedState, checkedRadio(first, second, third));
}
