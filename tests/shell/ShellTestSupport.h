#pragma once
// Helpers shared by the shell's Qt tests.

#include "CalvaroModel.h"
#include "SampleWaters.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QFocusEvent>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <memory>

// A water whose every checked value is in range (conductivity and alkalinity selected).
inline std::unique_ptr<TWaterDataset> ValidWater() {
    return std::make_unique<TWaterDataset>(DiluteWater());
}

// Every window a test made must be gone when it ends. Deferred deletions are carried out first.
inline QStringList LeakedTopLevelWidgets() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QStringList leaked;
    for (const QWidget* widget : QApplication::topLevelWidgets())
        leaked << QStringLiteral("%1 \"%2\"")
                      .arg(QString::fromLatin1(widget->metaObject()->className()), widget->windowTitle());
    return leaked;
}

#define VERIFY_NO_TOP_LEVEL_LEAK()                                                                           \
    do {                                                                                                     \
        const QStringList leaked = LeakedTopLevelWidgets();                                                  \
        QVERIFY2(leaked.isEmpty(), qPrintable(QStringLiteral("windows left open: ") + leaked.join(u", ")));  \
    } while (false)

// Entering and leaving a box as the focus does it (offscreen windows never become active).
inline void EnterBox(QWidget* box) {
    QFocusEvent event(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(box, &event);
}
inline void LeaveBox(QWidget* box) {
    QFocusEvent event(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(box, &event);
}

// Types a text into a box as the operator would: replaces what it held, then leaves it.
inline void TypeIntoBox(QLineEdit* box, const QString& text) {
    EnterBox(box);
    box->selectAll();
    box->del();
    QTest::keyClicks(box, text);
    LeaveBox(box);
}

// True when the box carries the input check's invalid colours (dark blue, white text).
inline bool IsColouredInvalid(const QLineEdit* box) {
    return box->styleSheet().contains(QStringLiteral("rgb(31, 70, 118)"));
}
inline bool IsColouredValid(const QLineEdit* box) {
    return box->styleSheet().contains(QStringLiteral("background-color: rgb(255, 255, 255)"));
}

inline QByteArray ReadWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

inline bool WriteWholeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(content) == content.size();
}
