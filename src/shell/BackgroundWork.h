// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs the window's commands on a worker thread, one at a time, so that the window keeps
// repainting while a long command computes. Work that lasts longer than half a second shows the
// progress window, with the stage and its fraction from the command's Progress reports and a
// Cancel button; Cancel asks the command to stop, and the command undoes itself (see
// base/Progress.h). The messages that the command shows meanwhile are held and shown, in their
// order, on the window's thread once it has finished: no message box is opened from the worker.

#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/Progress.h"
#include "commands/UserInterface.h"

namespace panelflow {

class ProgressWindow;

class BackgroundWork : public QObject {
    Q_OBJECT
public:
    // `ui` shows the held messages; `owner` is the window the progress window stands over.
    BackgroundWork(UserInterface& ui, QWidget* owner);
    ~BackgroundWork() override;

    // A command: true when it did its work, false when it was refused or cancelled.
    using Work = std::function<bool(UserInterface& ui, Progress& progress)>;

    // Starts `work` on the worker thread. Once it has returned, `done` runs with its outcome on
    // the window's thread, and then its messages are shown. Returns false (and does nothing)
    // while other work is under way.
    bool Start(Work work, std::function<void(bool done)> done);

    bool busy() const { return worker_.joinable(); }

    // Asks the work under way to stop and waits until it has (closing the window).
    void StopAndWait();

signals:
    void busyChanged(bool busy);

private:
    // The command's side: progress is stored for the window's timer to show, the wish to stop
    // read from Cancel, messages held with their kind.
    class Relay : public Progress, public UserInterface {
    public:
        void Report(std::string_view stage, double fraction) override;
        bool StopRequested() const override { return stop.load(); }
        void ShowMessage(const std::string& text) override { Hold(&UserInterface::ShowMessage, text); }
        void ShowExplainedMessage(const std::string& text, const std::string& explanation) override {
            messages.push_back([text, explanation](UserInterface& ui) { ui.ShowExplainedMessage(text, explanation); });
        }
        void ShowWarning(const std::string& text) override { Hold(&UserInterface::ShowWarning, text); }
        void ShowInformation(const std::string& text) override { Hold(&UserInterface::ShowInformation, text); }

        std::atomic<bool> stop{false};
        // Each shows one held message; read by the window only after the worker has ended.
        std::vector<std::function<void(UserInterface&)>> messages;
        mutable std::mutex mutex;
        std::string stage;
        double fraction = 0.0;

    private:
        void Hold(void (UserInterface::*show)(const std::string&), const std::string& text) {
            messages.push_back([show, text](UserInterface& ui) { (ui.*show)(text); });
        }
    };

    void Finish();
    void ShowProgress();

    UserInterface& ui_;
    ProgressWindow* window_;
    QTimer showTimer_, updateTimer_;
    Relay relay_;
    std::function<void(bool)> done_;
    bool succeeded_ = false;  // written by the worker, read by the window after joining it
    unsigned long runs_ = 0;  // counts the runs started and ended early, on the window's thread
    std::thread worker_;
};

}  // namespace panelflow
