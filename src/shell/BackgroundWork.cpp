// SPDX-License-Identifier: GPL-3.0-or-later
#include "BackgroundWork.h"

#include <QMetaObject>
#include <exception>
#include <utility>

#include "ProgressWindow.h"

namespace panelflow {
namespace {

constexpr int kQuietMilliseconds = 500;  // work shorter than this shows no progress window
constexpr int kUpdateMilliseconds = 100;

}  // namespace

BackgroundWork::BackgroundWork(UserInterface& ui, QWidget* owner)
    : QObject(owner), ui_(ui), window_(new ProgressWindow(owner)) {
    showTimer_.setSingleShot(true);
    showTimer_.setInterval(kQuietMilliseconds);
    updateTimer_.setInterval(kUpdateMilliseconds);
    connect(&showTimer_, &QTimer::timeout, this, &BackgroundWork::ShowProgress);
    connect(&updateTimer_, &QTimer::timeout, this, &BackgroundWork::ShowProgress);
    connect(window_, &ProgressWindow::cancelled, this, [this] { relay_.stop.store(true); });
}

BackgroundWork::~BackgroundWork() { StopAndWait(); }

bool BackgroundWork::Start(Work work, std::function<void(bool)> done) {
    if (busy()) return false;
    relay_.stop.store(false);
    relay_.messages.clear();
    relay_.Report("", 0.0);
    done_ = std::move(done);
    const unsigned long run = ++runs_;
    emit busyChanged(true);
    worker_ = std::thread([this, run, work = std::move(work)] {
        try {
            succeeded_ = work(relay_, relay_);
        } catch (const Cancelled&) {
            succeeded_ = false;  // the command has undone itself
        } catch (const std::exception& fault) {
            succeeded_ = false;
            relay_.ShowMessage(std::string("The command could not be completed: ") + fault.what());
        }
        // A run that StopAndWait has already ended is not finished twice.
        QMetaObject::invokeMethod(this, [this, run] {
            if (run == runs_) Finish();
        }, Qt::QueuedConnection);
    });
    showTimer_.start();
    return true;
}

void BackgroundWork::StopAndWait() {
    if (!busy()) return;
    relay_.stop.store(true);
    worker_.join();
    ++runs_;
    showTimer_.stop();
    updateTimer_.stop();
    window_->hide();
    emit busyChanged(false);
}

void BackgroundWork::Finish() {
    worker_.join();
    showTimer_.stop();
    updateTimer_.stop();
    window_->hide();
    emit busyChanged(false);
    if (done_) std::exchange(done_, nullptr)(succeeded_);
    for (const auto& show : relay_.messages) show(ui_);
}

void BackgroundWork::ShowProgress() {
    std::string stage;
    double fraction;
    {
        std::lock_guard lock(relay_.mutex);
        stage = relay_.stage;
        fraction = relay_.fraction;
    }
    window_->Show(stage, fraction);
    if (!updateTimer_.isActive()) updateTimer_.start();
}

void BackgroundWork::Relay::Report(std::string_view newStage, double newFraction) {
    std::lock_guard lock(mutex);
    stage = newStage;
    fraction = newFraction;
}

}  // namespace panelflow
