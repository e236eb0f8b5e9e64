#pragma once
// GUI tests find a window's controls by their object names; a missing control ends the test run
// with its name.

#include <QObject>
#include <QString>
#include <QtGlobal>

namespace panelflow::testing {

template <class T>
T* FindControl(const QObject* window, const char* name) {
    T* control = window->findChild<T*>(QString::fromUtf8(name));
    if (!control) qFatal("no control %s", name);
    return control;
}

}  // namespace panelflow::testing
