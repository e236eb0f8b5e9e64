// SPDX-License-Identifier: GPL-3.0-or-later
#include "WatchStopSignals.h"

#include <QApplication>
#include <QTimer>

#include "base/StopSignals.h"

namespace panelflow {

void WatchStopSignals() {
    CatchStopSignals();
    auto* timer = new QTimer(qApp);
    timer->setInterval(100);
    QObject::connect(timer, &QTimer::timeout, timer, [timer] {
        if (CaughtStopSignal() == 0) return;
        timer->stop();
        QApplication::closeAllWindows();
        QCoreApplication::exit(1);
    });
    timer->start();
}

int ExitStatusAfterStopSignal(int status) {
    const int signal = CaughtStopSignal();
    return signal != 0 ? 128 + signal : status;
}

}  // namespace panelflow
