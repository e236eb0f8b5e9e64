// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The common ground of the GUI tests: a fresh window over a results file in a temporary
// directory of its own, a recorder of the messages it shows (with the pointer's shape at each,
// -1 for the normal pointer, and the kind of each), and its controls found by their object names.

#include <QGuiApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "shell/Form1.h"
#include "support/FindControl.h"

namespace panelflow::testing {

struct RecordingWindowInterface : UserInterface {
    enum Kind { Message, Warning, Information };
    void ShowMessage(const std::string& text) override { Record(text, Message); }
    // The text as a message; its explanation apart, in the same place of `explanations`.
    void ShowExplainedMessage(const std::string& text, const std::string& explanation) override {
        Record(text, Message);
        explanations.back() = QString::fromStdString(explanation);
    }
    void ShowWarning(const std::string& text) override { Record(text, Warning); }
    void ShowInformation(const std::string& text) override { Record(text, Information); }
    void Record(const std::string& text, Kind kind) {
        messages.push_back(QString::fromStdString(text));
        explanations.push_back(QString());
        kinds.push_back(kind);
        const QCursor* cursor = QGuiApplication::overrideCursor();
        cursors.push_back(cursor ? cursor->shape() : -1);
    }
    QStringList messages, explanations;
    std::vector<Kind> kinds;
    std::vector<int> cursors;
};

// A base for the test classes (each a QObject with the test functions as slots).
class WindowTest : public QObject {
protected:
    template <class T>
    T* Control(const char* name) const {
        return FindControl<T>(window_.get(), name);
    }
    QString ResultsPath() const { return work_->filePath("Axisym.txt"); }

    // Shows a new window in a new temporary directory; its load empties the results file.
    void OpenWindow() {
        work_ = std::make_unique<QTemporaryDir>();
        QVERIFY(work_->isValid());
        ui_ = RecordingWindowInterface{};
        window_ = std::make_unique<Form1>(ui_, ResultsPath().toStdString());
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void CloseWindow() {
        window_.reset();
        work_.reset();
    }

    std::unique_ptr<QTemporaryDir> work_;
    RecordingWindowInterface ui_;
    std::unique_ptr<Form1> window_;
};

}  // namespace panelflow::testing
