#include "GuiHelpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QPixmap>
#include <QPointer>
#include <QTabBar>
#include <QTest>
#include <QTimer>

namespace vltest {

QWidget *waitForWindow(const QString &objectName, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && (objectName.isEmpty() || w->objectName() == objectName))
                return w;
        if (deadline.hasExpired())
            return nullptr;
        QTest::qWait(20);
    }
}

bool waitUntil(const std::function<bool()> &condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return condition();
        QTest::qWait(10);
    }
    return true;
}

void whenModal(const QString &objectName, std::function<void(QWidget *)> action, int timeoutMs) {
    auto *timer = new QTimer(qApp);
    auto deadline = std::make_shared<QDeadlineTimer>(timeoutMs);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, deadline, objectName, action]() {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible() && (objectName.isEmpty() || modal->objectName() == objectName)) {
            timer->stop();
            timer->deleteLater();
            action(modal);
            return;
        }
        if (!deadline->hasExpired())
            return;
        timer->stop();
        timer->deleteLater();
        ADD_FAILURE() << "no modal window \"" << objectName.toStdString() << "\" within the time limit";
        // Unblock whatever exec() is waiting, so the test ends instead of hanging.
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || !w->isModal())
                continue;
            if (auto *dialog = qobject_cast<QDialog *>(w))
                dialog->reject();
            else
                w->close();
        }
    });
    timer->start();
}

bool activate(QWidget *window, int timeoutMs) {
    if (!window->isVisible())
        window->show();
    window->raise();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window, timeoutMs);
}

QString widgetName(const QWidget *w) {
    if (!w)
        return QStringLiteral("(none)");
    if (!w->objectName().isEmpty())
        return w->objectName();
    if (auto *b = qobject_cast<const QAbstractButton *>(w); b && !b->text().isEmpty())
        return QString(b->text()).remove(QLatin1Char('&'));
    return QString::fromLatin1(w->metaObject()->className());
}

QStringList tabChain(QWidget *window, int maxSteps) {
    QStringList names;
    activate(window);
    QWidget *first = QApplication::focusWidget();
    if (!first)
        return names;
    names << widgetName(first);
    for (int i = 0; i < maxSteps; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *now = QApplication::focusWidget();
        if (!now || now == first)
            break;
        names << widgetName(now);
    }
    return names;
}

QChar mnemonicOf(const QString &text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return text.at(i + 1).toLower();
    }
    return {};
}

namespace {

// Every visible captioned control of the window with its caption.
QList<QPair<QWidget *, QString>> captions(QWidget *window) {
    QList<QPair<QWidget *, QString>> out;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window) || w->window() != window)
            continue;
        if (auto *b = qobject_cast<QAbstractButton *>(w)) {
            if (!b->text().isEmpty())
                out.append({w, b->text()});
        } else if (auto *g = qobject_cast<QGroupBox *>(w)) {
            if (!g->title().isEmpty())
                out.append({w, g->title()});
        } else if (auto *l = qobject_cast<QLabel *>(w)) {
            if (l->buddy() && !l->text().isEmpty())
                out.append({w, l->text()});
        } else if (auto *t = qobject_cast<QTabBar *>(w)) {
            for (int i = 0; i < t->count(); ++i)
                out.append({w, t->tabText(i)});
        }
    }
    return out;
}

} // namespace

QStringList mnemonicClashes(QWidget *window) {
    QMap<QChar, QStringList> byLetter;
    for (const auto &[w, text] : captions(window)) {
        const QChar m = mnemonicOf(text);
        if (!m.isNull())
            byLetter[m] << text;
    }
    QStringList clashes;
    for (auto it = byLetter.cbegin(); it != byLetter.cend(); ++it)
        if (it.value().size() > 1)
            clashes << QString(it.key()) + QStringLiteral(": ") + it.value().join(QStringLiteral(", "));
    return clashes;
}

QStringList missingMnemonics(QWidget *window, const QStringList &exempt) {
    QStringList missing;
    for (const auto &[w, text] : captions(window)) {
        if (mnemonicOf(text).isNull() && !exempt.contains(QString(text).remove(QLatin1Char('&'))))
            missing << text;
    }
    return missing;
}

void pressMnemonic(QWidget *window, QChar letter) {
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
    QTest::keyClick(target, letter.toLatin1(), Qt::AltModifier);
}

QString saveScreenshot(QWidget *window, const QString &name) {
    const QString dir = QStringLiteral(VL_BINARY_DIR "/screenshots");
    if (!QDir().mkpath(dir))
        return {};
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    return window->grab().save(path, "PNG") ? path : QString();
}

} // namespace vltest
