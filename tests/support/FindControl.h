// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// GUI tests find a window's controls by their object names; a missing control ends the test run
// with its name.

#include <QObject>
#include <QString>
#include <QTest>
#include <QtGlobal>

namespace panelflow::testing {

template <class T>
T* FindControl(const QObject* window, const char* name) {
    T* control = window->findChild<T*>(QString::fromUtf8(name));
    if (!control) qFatal("no control %s", name);
    return control;
}

// Waits until the window's command has run on its worker thread and the window has shown its
// outcome (the window class has busy()).
template <class Window>
bool AwaitIdle(const Window& window, int milliseconds = 120000) {
    return QTest::qWaitFor([&window] { return !window.busy(); }, milliseconds);
}

}  // namespace panelflow::testing
