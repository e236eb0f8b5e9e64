// SPDX-License-Identifier: GPL-3.0-or-later
// A body file named on the window program's command line is read as if it had been chosen in
// the file picker: its kind from its name, the picker moved to its directory, a refusal shown as
// a message. Offscreen, messages recorded.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <clocale>

#include "shell/FilePicker.h"
#include "support/WindowTest.h"

namespace {

void WriteFile(const QString& path, const char* text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

// A 4-point profile (NI = 3) and a regular octahedron (NI = 2, NJ = 4).
constexpr char kProfile[] = "Lens,4,points\n1,0,0\n2,0.25,0.4\n3,0.75,0.4\n4,1,0\n";
constexpr char kOctahedron[] =
    "2,4\n1,1,-1,0,0\n1,2,-1,0,0\n1,3,-1,0,0\n1,4,-1,0,0\n1,5,-1,0,0\n2,1,0,1,0\n2,2,0,0,1\n2,3,0,-1,0\n"
    "2,4,0,0,-1\n2,5,0,1,0\n3,1,1,0,0\n3,2,1,0,0\n3,3,1,0,0\n3,4,1,0,0\n3,5,1,0,0\n";

}  // namespace

class OpenFileTest : public panelflow::testing::WindowTest {
    Q_OBJECT

private:
    QString PickerPath() const { return static_cast<panelflow::DirectoryList*>(Control<QListWidget>("Dir1"))->path(); }
    bool PickerShown() const { return Control<QWidget>("Frame_IOWindow")->isVisibleTo(window_.get()); }

private slots:
    void init() { OpenWindow(); }
    void cleanup() { CloseWindow(); }

    void eachKindIsReadFromItsSuffixWhateverTheCaseAndThePickerMovesToItsDirectory() {
        QVERIFY(QDir(work_->path()).mkdir("bodies"));
        const QString bodies = work_->filePath("bodies");
        WriteFile(bodies + "/lens.bodyfoil", kProfile);
        WriteFile(bodies + "/octahedron.Coords", kOctahedron);

        // A name relative to the working directory, as a shell passes it.
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(work_->path()));
        const bool opened = window_->OpenFile("bodies/lens.bodyfoil");
        QDir::setCurrent(before);
        QVERIFY(opened);
        QVERIFY(panelflow::testing::AwaitIdle(*window_));
        QVERIFY2(ui_.messages.isEmpty(), qPrintable(ui_.messages.join('\n')));
        QCOMPARE(window_->session().model.NI, 3);
        QCOMPARE(Control<QLineEdit>("Text_NI")->text(), QString("3"));
        QCOMPARE(PickerPath(), bodies);
        QVERIFY(!PickerShown());
        QVERIFY(Control<QWidget>("Command_HessPan")->isVisibleTo(window_.get()));

        QVERIFY(window_->OpenFile(bodies + "/octahedron.Coords"));
        QVERIFY(panelflow::testing::AwaitIdle(*window_));
        QCOMPARE(window_->session().model.NI, 2);
        QCOMPARE(window_->session().model.NJ, 4);
        QCOMPARE(Control<QLineEdit>("Text_NI")->text(), QString("3"));
    }

    void otherNamesAreRefusedAndAMissingFileIsTheReadersMessage() {
        const QString start = PickerPath();
        QVERIFY(!window_->OpenFile(work_->filePath("notes.txt")));
        QVERIFY(!window_->OpenFile(work_->filePath("BodyFoil")));
        QCOMPARE(PickerPath(), start);

        QVERIFY(window_->OpenFile(work_->filePath("gone.Coords")));
        QVERIFY(panelflow::testing::AwaitIdle(*window_));
        QCOMPARE(ui_.messages.size(), 1);
        QVERIFY2(ui_.messages[0].contains("gone.Coords"), qPrintable(ui_.messages[0]));
        QCOMPARE(window_->session().model.NI, 0);
        QVERIFY(!Control<QWidget>("Command_HessPan")->isVisibleTo(window_.get()));
    }
};

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    OpenFileTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "OpenFileTest.moc"
