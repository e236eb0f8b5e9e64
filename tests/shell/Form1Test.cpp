// SPDX-License-Identifier: GPL-3.0-or-later
// The window as a person uses it: real widgets found by their object names, driven by QTest on
// the offscreen platform, checked by what they show (texts, visibility, the picture's pixels)
// and by the results file. Messages go to a recorder, so no test can wait on a modal box.

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <clocale>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "shell/FilePicker.h"
#include "shell/Form1.h"
#include "shell/MessageBoxUserInterface.h"
#include "support/FindControl.h"
#include "support/WindowTest.h"

using panelflow::Form1;

namespace {

constexpr QRgb kBackground = qRgb(255, 255, 192);
constexpr QRgb kRedPixel = qRgb(255, 0, 0);
constexpr QRgb kBluePixel = qRgb(0, 0, 255);

int CountPixels(const QImage& image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) ++count;
    return count;
}

// Rows between the first and the last that hold a pixel of the colour (0 when none does).
int VerticalExtent(const QImage& image, QRgb colour) {
    int top = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) {
                if (top < 0) top = y;
                bottom = y;
            }
    return top < 0 ? 0 : bottom - top + 1;
}

// A number text with every digit a double needs, independent of the locale.
QString Number(double value) { return QString::number(value, 'g', 17); }

void WriteFile(const QString& path, const QString& text) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A sphere of diameter 1 as a profile of `points` points equally spaced in angle.
QString SphereProfileText(int points) {
    QString text = "Sphere, " + QString::number(points) + ", points\n";
    for (int n = 1; n <= points; ++n) {
        const double t = std::acos(-1.0) * (n - 1) / (points - 1);
        const double r = (n == 1 || n == points) ? 0.0 : std::sin(t) / 2;
        text += QString::number(n) + ", " + Number((1 - std::cos(t)) / 2) + ", " + Number(r) + "\n";
    }
    return text;
}

// The same sphere as a corner-point grid of NI x NJ panels, meridians turning positively about +x
// from the -z side (negatively when `turn` is -1: the normals then point inwards), the last column
// repeating the first.
QString SphereCornerText(int NI, int NJ, int turn = 1) {
    const double pi = std::acos(-1.0);
    QString text = QString::number(NI) + ", " + QString::number(NJ) + "\n";
    for (int i = 1; i <= NI + 1; ++i)
        for (int j = 1; j <= NJ + 1; ++j) {
            const double t = pi * (i - 1) / NI;
            const double r = (i == 1 || i == NI + 1) ? 0.0 : std::sin(t) / 2;
            const double theta = -pi / 2 + turn * (j - 1) * 2 * pi / NJ;
            text += QString("%1, %2, %3, %4, %5\n")
                        .arg(i)
                        .arg(j)
                        .arg(Number((1 - std::cos(t)) / 2), Number(r * std::cos(theta)), Number(r * std::sin(theta)));
        }
    return text;
}

// A flat diamond whose two columns of panels lie on top of each other with opposite normals:
// the body folds onto itself, and the elimination meets a zero pivot.
constexpr const char* kFoldedBody =
    "2, 2\n1, 1, 0, 0, 0\n1, 2, 0, 0, 0\n1, 3, 0, 0, 0\n2, 1, 0.5, 0, -0.5\n2, 2, 0.5, 0, 0.5\n"
    "2, 3, 0.5, 0, -0.5\n3, 1, 1, 0, 0\n3, 2, 1, 0, 0\n3, 3, 1, 0, 0\n";

// The batch program's standard error and results file for `arguments`, run in `directory`.
struct BatchRun {
    QString errors;
    QByteArray results;
};
BatchRun RunBatch(const QStringList& arguments, const QString& directory) {
    QProcess batch;
    batch.setWorkingDirectory(directory);
    batch.start(PANELFLOW_SHELL_BATCH_PROGRAM, arguments);
    batch.waitForFinished(60000);
    return {QString::fromUtf8(batch.readAllStandardError()), ReadFile(directory + "/Axisym.txt")};
}

QRect ScrollBarPart(QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    if (bar->orientation() == Qt::Horizontal) option.state |= QStyle::State_Horizontal;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

}  // namespace

class Form1Test : public panelflow::testing::WindowTest {
    Q_OBJECT

private:
    QString TextOf(const char* name) const { return Control<QLineEdit>(name)->text(); }
    void Type(const char* name, const QString& text) {
        QLineEdit* box = Control<QLineEdit>(name);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    bool Shown(const char* name) const { return Control<QWidget>(name)->isVisibleTo(window_.get()); }
    void Trigger(const char* action) {
        Control<QAction>(action)->trigger();
        Settle();
    }
    // Waits until the command has run on the worker thread and the window has shown its outcome.
    void Settle() { QVERIFY(panelflow::testing::AwaitIdle(*window_)); }
    void ClickHess() {
        QTest::mouseClick(Control<QPushButton>("Command_HessPan"), Qt::LeftButton);
        Settle();
    }
    QImage Picture() const { return Control<QWidget>("Pic1")->grab().toImage(); }
    void ClickPicture() {
        QWidget* picture = Control<QWidget>("Pic1");
        QTest::mouseClick(picture, Qt::LeftButton, {}, picture->rect().center());
    }
    void ClickFile(const char* list, const QString& name) {
        auto* files = Control<QListWidget>(list);
        const auto items = files->findItems(name, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(items[0]).center());
        Settle();
    }
    // A double click: press and release, then the second press that the view reports as a
    // double click, and its release.
    void DoubleClickEntry(const char* list, const QString& entry) {
        auto* view = Control<QListWidget>(list);
        const auto items = view->findItems(entry, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        const QPoint where = view->visualItemRect(items[0]).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, where);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, where);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, where);
        Settle();
    }
    void OpenDirectoryEntry(const QString& entry) { DoubleClickEntry("Dir1", entry); }
    QStringList Names(const char* list) const {
        QStringList names;
        auto* files = Control<QListWidget>(list);
        for (int row = 0; row < files->count(); ++row) names << files->item(row)->text();
        return names;
    }
    void ClickMenuBar(const char* action) {
        QMenuBar* bar = window_->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(Control<QAction>(action)).center());
    }

private slots:
    // The results file left from an earlier run is emptied by the window's load.
    void init() {
        work_ = std::make_unique<QTemporaryDir>();
        QVERIFY(work_->isValid());
        WriteFile(ResultsPath(), "left from an earlier run\r\n");
        ui_ = panelflow::testing::RecordingWindowInterface{};
        window_ = std::make_unique<Form1>(ui_, ResultsPath().toStdString());
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void cleanup() {
        CloseWindow();
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);  // no command leaves the pointer busy
    }

    void startStateShowsTheDefaultsAndAnEmptyResultsFile() {
        QCOMPARE(window_->windowTitle(), QString("Form1"));
        QCOMPARE(TextOf("Text_NI"), QString("4"));
        QCOMPARE(TextOf("Text_NJ"), QString("4"));
        QCOMPARE(TextOf("Text_AlfaX"), QString("0"));
        QCOMPARE(TextOf("Text_AlfaY"), QString("0"));
        QCOMPARE(TextOf("Text_AlfaZ"), QString("0"));
        QCOMPARE(TextOf("Text_Ölçek"), QString("1"));
        QCOMPARE(Control<QPushButton>("Command_HessPan")->text(), QString("Apply Hess panel method"));
        QVERIFY(!Shown("Command_HessPan"));
        QVERIFY(!Shown("Frame_IOWindow"));
        QVERIFY(Shown("Pic1"));
        QCOMPARE(Control<QLabel>("label1")->text(), QString("NI ="));
        QCOMPARE(Control<QLabel>("Label2")->text(), QString("NJ ="));
        QCOMPARE(Control<QLabel>("Label9")->text(), QString("Scale"));
        for (const char* name : {"Frame_NI_NJ", "Frame5", "Frame6"}) QVERIFY(Shown(name));

        for (const char* name : {"HScroll_X", "HScroll_Y", "HScroll_Z"}) {
            auto* bar = Control<QScrollBar>(name);
            QCOMPARE(bar->orientation(), Qt::Horizontal);
            QCOMPARE(bar->minimum(), 0);
            QCOMPARE(bar->maximum(), 180);
            QCOMPARE(bar->value(), 90);
            QCOMPARE(bar->singleStep(), 1);
            QCOMPARE(bar->pageStep(), 10);
        }
        auto* scale = Control<QScrollBar>("VScroll_Ölçek");
        QCOMPARE(scale->orientation(), Qt::Vertical);
        QCOMPARE(scale->minimum(), 1);
        QCOMPARE(scale->maximum(), 8);
        QCOMPARE(scale->value(), 1);
        QCOMPARE(scale->singleStep(), 1);

        const QList<QAction*> menus = window_->menuBar()->actions();
        QCOMPARE(menus.size(), 4);
        QCOMPARE(menus[0]->text(), QString("Geometry"));
        QCOMPARE(menus[1]->text(), QString("About"));
        QCOMPARE(menus[2]->text(), QString("Flow"));
        QCOMPARE(menus[3]->text(), QString("Results"));
        QCOMPARE(menus[0]->menu(), Control<QMenu>("Mn_Geometry"));
        QVERIFY(menus[1]->menu() == nullptr);
        const QList<QAction*> items = Control<QMenu>("Mn_Geometry")->actions();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0], Control<QAction>("Mn_Sphere"));
        QCOMPARE(items[0]->text(), QString("Calculate sphere coordinates"));
        QCOMPARE(items[1], Control<QAction>("Mn_ReadData"));
        QCOMPARE(items[1]->text(), QString("Read body profile from a file"));
        QCOMPARE(items[2], Control<QAction>("Mn_Corners"));
        QCOMPARE(items[2]->text(), QString("Read panel corner points from a file"));

        QVERIFY(QFile::exists(ResultsPath()));
        QCOMPARE(QFileInfo(ResultsPath()).size(), 0);
        // The window's load draws nothing: the picture is all background until the first redraw,
        // which draws the axes.
        const QImage picture = Picture();
        QCOMPARE(CountPixels(picture, kBackground), picture.width() * picture.height());
        QVERIFY(ui_.messages.isEmpty());
        ClickPicture();
        QVERIFY(CountPixels(Picture(), kRedPixel) > 0);
    }

    void sphereCommandShowsTheHessButtonAndLeavesThePickerAsItWas() {
        Trigger("Mn_Sphere");
        QVERIFY(Shown("Command_HessPan"));
        QVERIFY(!Shown("Frame_IOWindow"));
        QCOMPARE(window_->session().model.NI, 4);
        QCOMPARE(window_->session().model.NJ, 4);
        const int red = CountPixels(Picture(), kRedPixel);

        Trigger("Mn_ReadData");
        Type("Text_NI", "6");
        Trigger("Mn_Sphere");
        QVERIFY(Shown("Frame_IOWindow"));
        QVERIFY(Shown("File_BodyFoil"));
        QVERIFY(!Shown("File_BodyCoords"));
        QVERIFY(Shown("Command_HessPan"));
        QCOMPARE(window_->session().model.NI, 6);
        QVERIFY(CountPixels(Picture(), kRedPixel) > 0);
        QVERIFY(red > 0);
        QVERIFY(ui_.messages.isEmpty());
    }

    void hessCommandHidesTheButtonAndDrawsTheNet() {
        Trigger("Mn_Sphere");
        const int blueBefore = CountPixels(Picture(), kBluePixel);  // the z axis only
        ClickHess();
        QVERIFY(!Shown("Command_HessPan"));
        QVERIFY(window_->session().shell.DrawCpSurface);
        QVERIFY(CountPixels(Picture(), kBluePixel) > blueBefore + 100);
        QVERIFY(ReadFile(ResultsPath()).contains("1-Cp"));
        QVERIFY(ui_.messages.isEmpty());

        // A new geometry shows the button again and drops the net.
        Trigger("Mn_Sphere");
        QVERIFY(Shown("Command_HessPan"));
        QCOMPARE(CountPixels(Picture(), kBluePixel), blueBefore);
    }

    void hessCommandWithoutGeometryAsksForOneAndChangesNothing() {
        const QImage before = Picture();
        window_->Command_HessPan_Click();  // the button is hidden; the command guards itself
        Settle();
        QCOMPARE(ui_.messages, QStringList{QString::fromUtf8("Geometriyi hazırla")});
        QVERIFY2(ui_.explanations[0].startsWith("There is no body to solve for yet"), qPrintable(ui_.explanations[0]));
        QVERIFY(!Shown("Command_HessPan"));
        QCOMPARE(QFileInfo(ResultsPath()).size(), 0);
        QCOMPARE(Picture(), before);
        QVERIFY(!window_->session().shell.GeometryReady);
    }

    void refusedSphereCountsLeaveTheWindowAsItWas() {
        const QImage empty = Picture();
        Type("Text_NI", "abc");
        Trigger("Mn_Sphere");
        QCOMPARE(ui_.messages.size(), 1);
        QCOMPARE(ui_.cursors[0], -1);  // the box comes when the work is over, under the normal pointer
        QVERIFY(!Shown("Command_HessPan"));
        QCOMPARE(Picture(), empty);
        QCOMPARE(QFileInfo(ResultsPath()).size(), 0);

        Type("Text_NI", "4");
        Trigger("Mn_Sphere");
        ClickHess();
        const QImage solved = Picture();
        const qint64 length = QFileInfo(ResultsPath()).size();
        Type("Text_NJ", "0");
        Trigger("Mn_Sphere");
        QCOMPARE(ui_.messages.size(), 2);
        QVERIFY(!Shown("Command_HessPan"));  // still solved: the button stays hidden
        QCOMPARE(Picture(), solved);
        QCOMPARE(QFileInfo(ResultsPath()).size(), length);
        QCOMPARE(window_->session().model.NJ, 4);
    }

    void rotationBarsWriteTheirValueMinusNinety_data() {
        QTest::addColumn<QString>("bar");
        QTest::addColumn<QString>("box");
        QTest::newRow("x") << "HScroll_X" << "Text_AlfaX";
        QTest::newRow("y") << "HScroll_Y" << "Text_AlfaY";
        QTest::newRow("z") << "HScroll_Z" << "Text_AlfaZ";
    }
    void rotationBarsWriteTheirValueMinusNinety() {
        QFETCH(QString, bar);
        QFETCH(QString, box);
        auto* scroll = Control<QScrollBar>(bar.toUtf8().constData());
        const QStringList boxes{"Text_AlfaX", "Text_AlfaY", "Text_AlfaZ"};
        const struct {
            int value;
            const char* text;
        } cases[] = {{0, "-90"}, {180, "90"}, {90, "0"}, {137, "47"}, {3, "-87"}};
        for (const auto& c : cases) {
            scroll->setValue(c.value);
            for (const QString& other : boxes)
                QCOMPARE(TextOf(other.toUtf8().constData()), other == box ? QString(c.text) : QString("0"));
        }
    }

    void rotationBarArrowAndTroughStepByOneAndTen() {
        auto* bar = Control<QScrollBar>("HScroll_X");
        QTest::mouseClick(bar, Qt::LeftButton, {}, ScrollBarPart(bar, QStyle::SC_ScrollBarAddLine).center());
        QCOMPARE(bar->value(), 91);
        QCOMPARE(TextOf("Text_AlfaX"), QString("1"));
        QTest::mouseClick(bar, Qt::LeftButton, {}, ScrollBarPart(bar, QStyle::SC_ScrollBarSubLine).center());
        QTest::mouseClick(bar, Qt::LeftButton, {}, ScrollBarPart(bar, QStyle::SC_ScrollBarSubLine).center());
        QCOMPARE(TextOf("Text_AlfaX"), QString("-1"));
        const QRect trough = ScrollBarPart(bar, QStyle::SC_ScrollBarSubPage);
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(trough.left() + 2, trough.center().y()));
        QCOMPARE(bar->value(), 79);
        QCOMPARE(TextOf("Text_AlfaX"), QString("-11"));
    }

    void scaleBarWritesOneToEightAndMagnifies() {
        Trigger("Mn_Sphere");
        auto* bar = Control<QScrollBar>("VScroll_Ölçek");
        const int side = Control<QWidget>("Pic1")->height();
        for (int s = 1; s <= 8; ++s) {
            bar->setValue(s);
            QCOMPARE(TextOf("Text_Ölçek"), QString::number(s));
            // The sphere (diameter 1, from z = -0.5 to 0.5) fills s/12 of the picture's height;
            // the red x axis is horizontal and adds nothing to the height.
            const double expected = side * s / 12.0;
            const int extent = VerticalExtent(Picture(), kRedPixel);
            QVERIFY2(std::abs(extent - expected) <= 3,
                     qPrintable(QString("scale %1: %2 rows, expected %3").arg(s).arg(extent).arg(expected)));
        }
        QTest::mouseClick(bar, Qt::LeftButton, {}, ScrollBarPart(bar, QStyle::SC_ScrollBarSubLine).center());
        QCOMPARE(TextOf("Text_Ölçek"), QString("7"));
    }

    void draggingAThumbChangesNothingUntilItIsReleased() {
        Trigger("Mn_Sphere");
        auto* bar = Control<QScrollBar>("HScroll_Y");
        const QImage before = Picture();
        const QPoint thumb = ScrollBarPart(bar, QStyle::SC_ScrollBarSlider).center();
        QTest::mousePress(bar, Qt::LeftButton, {}, thumb);
        QTest::mouseMove(bar, thumb + QPoint(60, 0));
        QTest::mouseMove(bar, thumb + QPoint(90, 0));
        QVERIFY(bar->sliderPosition() > 90);
        QCOMPARE(TextOf("Text_AlfaY"), QString("0"));
        QCOMPARE(Picture(), before);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb + QPoint(90, 0));
        QVERIFY(bar->value() > 90);
        QCOMPARE(TextOf("Text_AlfaY"), QString::number(bar->value() - 90));
        QVERIFY(Picture() != before);
    }

    void clickInThePictureZeroesTheAnglesWithoutMovingTheBars() {
        Trigger("Mn_Sphere");
        const QImage straight = Picture();
        Control<QScrollBar>("HScroll_X")->setValue(120);
        Control<QScrollBar>("HScroll_Z")->setValue(60);
        Type("Text_AlfaY", "45");
        QCOMPARE(TextOf("Text_AlfaX"), QString("30"));
        QCOMPARE(TextOf("Text_AlfaZ"), QString("-30"));
        QVERIFY(Picture() != straight);

        ClickPicture();
        QCOMPARE(TextOf("Text_AlfaX"), QString("0"));
        QCOMPARE(TextOf("Text_AlfaY"), QString("0"));
        QCOMPARE(TextOf("Text_AlfaZ"), QString("0"));
        QCOMPARE(Control<QScrollBar>("HScroll_X")->value(), 120);
        QCOMPARE(Control<QScrollBar>("HScroll_Y")->value(), 90);
        QCOMPARE(Control<QScrollBar>("HScroll_Z")->value(), 60);
        QCOMPARE(Picture(), straight);

        // The next change of one bar rewrites only its own text.
        Control<QScrollBar>("HScroll_Y")->setValue(95);
        QCOMPARE(TextOf("Text_AlfaY"), QString("5"));
        QCOMPARE(TextOf("Text_AlfaX"), QString("0"));
        QCOMPARE(TextOf("Text_AlfaZ"), QString("0"));
    }

    void typedTextsWithoutAUsableNumberKeepThePicture() {
        Trigger("Mn_Sphere");
        const QImage straight = Picture();
        for (const char* scale : {"abc", "0", "-3", "", "1e-300"}) {
            Type("Text_Ölçek", scale);
            ClickPicture();
            QVERIFY2(Picture() == straight, scale);
        }
        Type("Text_Ölçek", "1");
        // An angle too large for the view counts as 0; a bar change redraws with it.
        Type("Text_AlfaX", "1e999");
        auto* bar = Control<QScrollBar>("HScroll_Y");
        bar->setValue(91);
        bar->setValue(90);
        QCOMPARE(TextOf("Text_AlfaX"), QString("1e999"));
        QCOMPARE(Picture(), straight);
        QVERIFY(ui_.messages.isEmpty());
    }

    void pickerMenuItemsShowTheMatchingListOnly() {
        Trigger("Mn_ReadData");
        QVERIFY(Shown("Frame_IOWindow"));
        QVERIFY(Shown("File_BodyFoil"));
        QVERIFY(!Shown("File_BodyCoords"));
        QVERIFY(Shown("Drive1"));
        QVERIFY(Shown("Dir1"));
        Trigger("Mn_Corners");
        QVERIFY(Shown("Frame_IOWindow"));
        QVERIFY(Shown("File_BodyCoords"));
        QVERIFY(!Shown("File_BodyFoil"));
        QCOMPARE(Control<QWidget>("File_BodyCoords")->geometry(), Control<QWidget>("File_BodyFoil")->geometry());
        // The picker lies over the drawing area.
        QWidget* frame = Control<QWidget>("Frame_IOWindow");
        const QPoint middle = frame->mapTo(window_.get(), frame->rect().center());
        QWidget* onTop = window_->childAt(middle);
        QVERIFY(onTop && (onTop == frame || frame->isAncestorOf(onTop)));
        QVERIFY(Control<QWidget>("Pic1")->geometry().contains(
            Control<QWidget>("Pic1")->parentWidget()->mapFrom(window_.get(), middle)));
        Trigger("Mn_ReadData");
        QVERIFY(Shown("File_BodyFoil"));
        QVERIFY(!Shown("File_BodyCoords"));
    }

    void directoryChangesUpdateBothFileListsAndTheDrive() {
        QDir(work_->path()).mkdir("bodies");
        const QString bodies = work_->filePath("bodies");
        WriteFile(bodies + "/Egg.BodyFoil", SphereProfileText(5));
        WriteFile(bodies + "/Grid.Coords", SphereCornerText(2, 4));
        WriteFile(bodies + "/notes.txt", "not a body\n");
        Trigger("Mn_ReadData");
        auto* dir = static_cast<panelflow::DirectoryList*>(Control<QListWidget>("Dir1"));
        dir->setPath(work_->path());
        QVERIFY(Names("File_BodyFoil").isEmpty());

        OpenDirectoryEntry("bodies");
        QCOMPARE(QDir(dir->path()), QDir(bodies));
        QCOMPARE(Names("File_BodyFoil"), QStringList{"Egg.BodyFoil"});
        QCOMPARE(Names("File_BodyCoords"), QStringList{"Grid.Coords"});  // the hidden list follows too

        OpenDirectoryEntry("..");
        QCOMPARE(QDir(dir->path()), QDir(work_->path()));
        QVERIFY(Names("File_BodyFoil").isEmpty());
        QVERIFY(Names("File_BodyCoords").isEmpty());
        OpenDirectoryEntry("bodies");

        auto* drives = Control<QComboBox>("Drive1");
        QVERIFY(drives->findData(QString("/")) >= 0);
        const QString drive = panelflow::DriveOf(bodies, panelflow::DriveRoots());
        QCOMPARE(drives->currentData().toString(), drive);
        // Choosing the drive shows the directory last shown on it.
        window_->Drive1_Change();
        QCOMPARE(QDir(dir->path()), QDir(bodies));

        const QStringList roots{"/", "/media/usb"};
        QCOMPARE(panelflow::DriveOf("/media/usb/data", roots), QString("/media/usb"));
        QCOMPARE(panelflow::DriveOf("/media/usb", roots), QString("/media/usb"));
        QCOMPARE(panelflow::DriveOf("/media/usbstick", roots), QString("/"));
        QCOMPARE(panelflow::FullPath("/", "a.BodyFoil"), QString("/a.BodyFoil"));
        QCOMPARE(panelflow::FullPath("/data/bodies", "a.BodyFoil"), QString("/data/bodies/a.BodyFoil"));
    }

    void choosingAProfileFileBuildsItAndResetsNI() {
        WriteFile(work_->filePath("Sphere7.BodyFoil"), SphereProfileText(7));
        WriteFile(work_->filePath("Decoy.Coords"), SphereCornerText(2, 4));
        Trigger("Mn_ReadData");
        static_cast<panelflow::DirectoryList*>(Control<QListWidget>("Dir1"))->setPath(work_->path());
        QCOMPARE(Names("File_BodyFoil"), QStringList{"Sphere7.BodyFoil"});
        const QImage empty = Picture();

        ClickFile("File_BodyFoil", "Sphere7.BodyFoil");
        QVERIFY2(ui_.messages.isEmpty(), qPrintable(ui_.messages.join('\n')));
        QCOMPARE(TextOf("Text_NI"), QString("6"));
        QCOMPARE(TextOf("Text_NJ"), QString("4"));
        QCOMPARE(window_->session().model.NI, 6);
        QCOMPARE(window_->session().model.NJ, 4);
        QCOMPARE(QString::fromStdString(window_->session().shell.ProfileFile),
                 QDir::toNativeSeparators(work_->filePath("Sphere7.BodyFoil")));
        QVERIFY(!Shown("Frame_IOWindow"));
        QVERIFY(Shown("Command_HessPan"));
        QVERIFY(CountPixels(Picture(), kRedPixel) > CountPixels(empty, kRedPixel));
        QVERIFY(ReadFile(ResultsPath()).startsWith(" Profile of the body of revolution"));

        // The same file again while the box already holds 6: the text stays as typed.
        Type("Text_NI", "6 ");
        Trigger("Mn_ReadData");
        ClickFile("File_BodyFoil", "Sphere7.BodyFoil");
        QCOMPARE(TextOf("Text_NI"), QString("6 "));
    }

    // The picker hides at the first click of a double click; the second must not land in the
    // picture below as a click of its own (which would zero the angles).
    void doubleClickingAFileDoesNotClickThePictureBelow() {
        WriteFile(work_->filePath("Sphere7.BodyFoil"), SphereProfileText(7));
        Control<QScrollBar>("HScroll_X")->setValue(120);
        Trigger("Mn_ReadData");
        static_cast<panelflow::DirectoryList*>(Control<QListWidget>("Dir1"))->setPath(work_->path());
        auto* files = Control<QListWidget>("File_BodyFoil");
        const QPoint item = files->visualItemRect(files->findItems("Sphere7.BodyFoil", Qt::MatchExactly)[0]).center();
        const QPoint where = files->viewport()->mapTo(window_.get(), item);
        QVERIFY(Control<QWidget>("Pic1")->rect().contains(Control<QWidget>("Pic1")->mapFrom(window_.get(), where)));

        QTest::mouseDClick(window_->windowHandle(), Qt::LeftButton, {}, where);
        Settle();
        QCOMPARE(window_->session().model.NI, 6);
        QVERIFY(!Shown("Frame_IOWindow"));
        QCOMPARE(TextOf("Text_AlfaX"), QString("30"));

        // A double click in the picture itself is still a click.
        QTest::mouseDClick(window_->windowHandle(), Qt::LeftButton, {}, where);
        QCOMPARE(TextOf("Text_AlfaX"), QString("0"));
    }

    void choosingACornerFileKeepsBothCountBoxes() {
        WriteFile(work_->filePath("Grid.Coords"), SphereCornerText(3, 6));
        Type("Text_NI", "5");
        Type("Text_NJ", "7");
        Trigger("Mn_Corners");
        static_cast<panelflow::DirectoryList*>(Control<QListWidget>("Dir1"))->setPath(work_->path());
        ClickFile("File_BodyCoords", "Grid.Coords");
        QVERIFY2(ui_.messages.isEmpty(), qPrintable(ui_.messages.join('\n')));
        QCOMPARE(window_->session().model.NI, 3);
        QCOMPARE(window_->session().model.NJ, 6);
        QCOMPARE(TextOf("Text_NI"), QString("5"));
        QCOMPARE(TextOf("Text_NJ"), QString("7"));
        QVERIFY(!Shown("Frame_IOWindow"));
        QVERIFY(Shown("Command_HessPan"));
        QVERIFY(CountPixels(Picture(), kRedPixel) > 0);
    }

    void refusedFileKeepsThePickerTheDrawingAndTheButton() {
        WriteFile(work_->filePath("Broken.BodyFoil"), "Broken, 5, points\n1, 0, 0\n2, 0.1\n");
        Trigger("Mn_Sphere");
        ClickHess();
        const QImage solved = Picture();
        const QByteArray results = ReadFile(ResultsPath());

        Trigger("Mn_ReadData");
        static_cast<panelflow::DirectoryList*>(Control<QListWidget>("Dir1"))->setPath(work_->path());
        Type("Text_NI", "9");
        ClickFile("File_BodyFoil", "Broken.BodyFoil");
        QCOMPARE(ui_.messages.size(), 1);
        QVERIFY2(ui_.messages[0].contains("Broken.BodyFoil"), qPrintable(ui_.messages[0]));
        QVERIFY(Shown("Frame_IOWindow"));
        QVERIFY(!Shown("Command_HessPan"));
        QCOMPARE(TextOf("Text_NI"), QString("9"));
        QCOMPARE(window_->session().model.NI, 4);
        QVERIFY(window_->session().shell.DrawCpSurface);
        QCOMPARE(ReadFile(ResultsPath()), results);
        // The picture under the picker is the solved one still.
        QCOMPARE(Picture(), solved);

        WriteFile(work_->filePath("Broken.Coords"), "2, 2\n1, 1, 0, 0, 0\n");
        Trigger("Mn_Corners");
        // A double click on a refused file chooses it once: one message, not two.
        DoubleClickEntry("File_BodyCoords", "Broken.Coords");
        QCOMPARE(ui_.messages.size(), 2);
        QVERIFY(Shown("Frame_IOWindow"));
        QCOMPARE(window_->session().model.NI, 4);
        QCOMPARE(Picture(), solved);
    }

    void aboutShownTwiceGivesOneWindow() {
        ClickMenuBar("Mn_About");
        auto aboutWindows = [] {
            QList<QWidget*> found;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == "Form_About") found << w;
            return found;
        };
        QCOMPARE(aboutWindows().size(), 1);
        QWidget* about = aboutWindows()[0];
        QVERIFY(about->isVisible());
        QCOMPARE(about->windowTitle(), QString("About"));
        QVERIFY(!about->isModal());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        const QPoint place = about->pos();

        ClickMenuBar("Mn_About");
        QCOMPARE(aboutWindows().size(), 1);
        QCOMPARE(about->pos(), place);

        QStringList sentence;
        for (const char* name : {"Label2", "Label9", "Label3", "Label6", "Label1"}) {
            auto* label = about->findChild<QLabel*>(name);
            QVERIFY(label);
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 128, 0));
            sentence << label->text();
        }
        QCOMPARE(sentence.join(' '),
                 QString("This program calculates the potential flow around a body of revolution by using "
                         "Hess's source panel method"));
        for (const char* name : {"Label7", "Label8", "Label4", "Label5"})
            QVERIFY(!about->findChild<QLabel*>(name)->text().isEmpty());
        // The blue line is a link, to the user's guide of this tree; a version line stands above.
        auto* link = about->findChild<QLabel*>("Label5");
        QVERIFY(link->openExternalLinks());
        const QString href = link->text().section('"', 1, 1);
        QVERIFY2(href.endsWith("/docs/guide.md") && QFileInfo(QUrl(href).toLocalFile()).isFile(), qPrintable(href));
        auto* version = about->findChild<QLabel*>("Label_Version");
        QVERIFY(version && version->text().startsWith("Version 1."));

        // The window stays usable beside it, and closing it keeps it for the next "About".
        Trigger("Mn_Sphere");
        QVERIFY(Shown("Command_HessPan"));
        about->close();
        QVERIFY(!about->isVisible());
        ClickMenuBar("Mn_About");
        QCOMPARE(aboutWindows().size(), 1);
        QVERIFY(about->isVisible());
    }

    // A folded body is no solution: the message keeps its text and says why beneath it, the
    // sections are written, and nothing is drawn, plotted or exported as if it were the flow.
    void zeroPivotSaysWhyAndKeepsNoSolution() {
        WriteFile(work_->filePath("Folded.Coords"), kFoldedBody);
        Control<QScrollBar>("HScroll_X")->setValue(150);  // turned, so that a net off the body would show
        Trigger("Mn_Corners");
        static_cast<panelflow::DirectoryList*>(Control<QListWidget>("Dir1"))->setPath(work_->path());
        ClickFile("File_BodyCoords", "Folded.Coords");
        QVERIFY2(ui_.messages.isEmpty(), qPrintable(ui_.messages.join('\n')));
        const QImage wireFrame = Picture();

        ClickHess();
        QCOMPARE(Picture(), wireFrame);  // no net of the free stream alone
        QVERIFY(!Control<QAction>("Mn_Plot")->isEnabled());
        QVERIFY(!Control<QAction>("Mn_Export")->isEnabled());
        QCOMPARE(ui_.messages, QStringList{QString::fromUtf8(" sıfır diyagonal elemanı")});
        QCOMPARE(ui_.kinds[0], panelflow::testing::RecordingWindowInterface::Message);
        QVERIFY2(ui_.explanations[0].contains("zero pivot at step 2 of 4"), qPrintable(ui_.explanations[0]));
        const QByteArray results = ReadFile(ResultsPath());
        QVERIFY(results.contains("Source strengths\r\n\r\n0.000000  0.000000  \r\n"));
        QVERIFY(results.contains("1-Cp"));
        Trigger("Mn_BodyAndSolution");
        QCOMPARE(Control<QLabel>("Body_Solution")->text(), QString("none: the elimination met a zero pivot at step 2 of 4"));
    }

    void bodyAndSolutionWindowFollowsTheCommands() {
        auto text = [this](const char* name) { return Control<QLabel>(name)->text(); };
        Trigger("Mn_BodyAndSolution");
        QWidget* body = Control<QWidget>("BodyWindow");
        QVERIFY(body->isVisible() && !body->isModal() && body->isWindow());
        QCOMPARE(text("Body_Name"), QString("none yet"));

        Trigger("Mn_Sphere");
        QCOMPARE(text("Body_Name"), QString("sphere of diameter 1"));
        QCOMPARE(text("Body_Panels"), QString::fromUtf8("4 × 4 (NI × NJ), 16 panels"));
        QCOMPARE(text("Body_Stream"), QString("(1, 0, 0), speed 1"));
        QCOMPARE(text("Body_Solver"), QString("none yet"));
        QVERIFY(text("Body_Solution").startsWith("none yet"));
        ClickHess();
        QCOMPARE(text("Body_Solver"), QString("dense: coefficient tables written"));
        QCOMPARE(text("Body_Solution"), QString("solved, in the free stream (1, 0, 0)"));

        // A corner file leaves the count boxes alone; the window says what was loaded.
        WriteFile(work_->filePath("Grid.Coords"), SphereCornerText(3, 6));
        Trigger("Mn_Corners");
        static_cast<panelflow::DirectoryList*>(Control<QListWidget>("Dir1"))->setPath(work_->path());
        ClickFile("File_BodyCoords", "Grid.Coords");
        QCOMPARE(text("Body_Name"), QDir::toNativeSeparators(work_->filePath("Grid.Coords")));
        QCOMPARE(text("Body_Panels"), QString::fromUtf8("3 × 6 (NI × NJ), 18 panels"));
        QVERIFY(text("Body_Solution").startsWith("none yet"));
        ClickHess();
        Trigger("Mn_Plot");
        QCOMPARE(Control<QWidget>("PlotWindow")->windowTitle(),
                 QString::fromUtf8("1 − Cp along the body — Grid.Coords, 3 × 6 panels, free stream (1, 0, 0)"));
        QVERIFY(ui_.messages.isEmpty());
    }

    // The dialog refuses, word for word, what the batch program's --stream refuses; the Hess
    // command then solves in the stream chosen, as the batch program does.
    void freeStreamDialogRefusesAsTheBatchProgramAndTheHessUsesIt() {
        Trigger("Mn_FreeStream");
        auto* dialog = Control<QDialog>("FreeStreamDialog");
        QVERIFY(dialog->isVisible());
        QCOMPARE(TextOf("Stream_X") + TextOf("Stream_Y") + TextOf("Stream_Z"), QString("100"));
        QPushButton* ok = Control<QDialogButtonBox>("Stream_Buttons")->button(QDialogButtonBox::Ok);
        QVERIFY(ok->isEnabled());
        for (const QStringList& stream : {QStringList{"1", "abc", "0"}, QStringList{"0", "0", "0"},
                                          QStringList{"1e999", "0", "0"}, QStringList{"nan", "1", "0"}}) {
            Type("Stream_X", stream[0]);
            Type("Stream_Y", stream[1]);
            Type("Stream_Z", stream[2]);
            QVERIFY(!ok->isEnabled());
            const BatchRun batch = RunBatch({"--stream", stream.join(','), "sphere"}, work_->path());
            QCOMPARE("panelflow-batch: " + Control<QLabel>("Stream_Reading")->text(), batch.errors.section('\n', 0, 0));
        }
        Type("Stream_X", "0");
        Type("Stream_Y", " 2 ");
        Type("Stream_Z", "0");
        QCOMPARE(Control<QLabel>("Stream_Reading")->text(), QString("Speed 2, along (0, 1, 0)."));
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(Control<QLabel>("Body_Stream")->text(), QString("(0, 2, 0), speed 2"));

        Trigger("Mn_Sphere");
        ClickHess();
        QVERIFY(ui_.messages.isEmpty());
        QTemporaryDir batchDir;
        const BatchRun batch = RunBatch({"--stream", "0,2,0", "sphere", "hess"}, batchDir.path());
        QVERIFY(batch.results.contains("1-Cp"));
        QVERIFY(ReadFile(ResultsPath()) == batch.results);
    }

    // After a refused file the picker keeps the keyboard; it says what it lists and, in a tooltip,
    // the whole directory that its narrow list cuts off.
    void pickerKeepsTheKeyboardAfterARefusedFileAndSaysWhatItLists() {
        WriteFile(work_->filePath("Broken.BodyFoil"), "Broken, 5, points\n1, 0, 0\n");
        Trigger("Mn_ReadData");
        auto* dir = static_cast<panelflow::DirectoryList*>(Control<QListWidget>("Dir1"));
        dir->setPath(work_->path());
        ClickFile("File_BodyFoil", "Broken.BodyFoil");
        QCOMPARE(ui_.messages.size(), 1);
        QCOMPARE(QApplication::focusWidget(), Control<QWidget>("File_BodyFoil"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!Shown("Frame_IOWindow"));

        Trigger("Mn_ReadData");
        QCOMPARE(dir->toolTip(), QDir::toNativeSeparators(QDir(work_->path()).absolutePath()));
        QVERIFY(Control<QWidget>("File_BodyFoil")->toolTip().contains("*.BodyFoil"));
        QCOMPARE(Control<QLabel>("Picker_Kind")->text(), QString("Body profiles"));
        Trigger("Mn_Corners");
        QCOMPARE(Control<QLabel>("Picker_Kind")->text(), QString("Corner points"));
        QVERIFY(Control<QWidget>("File_BodyCoords")->toolTip().contains("*.Coords"));
    }

    // Refusals carry the error icon, warnings the warning icon, confirmations the information
    // icon; an explanation stands beneath the text.
    void messageBoxesShowTheIconOfTheirKind() {
        // A warning keeps its kind on its way from the worker thread.
        WriteFile(work_->filePath("Inward.Coords"), SphereCornerText(3, 6, -1));
        Trigger("Mn_Corners");
        static_cast<panelflow::DirectoryList*>(Control<QListWidget>("Dir1"))->setPath(work_->path());
        ClickFile("File_BodyCoords", "Inward.Coords");
        QCOMPARE(ui_.kinds, std::vector<panelflow::testing::RecordingWindowInterface::Kind>{
                                panelflow::testing::RecordingWindowInterface::Warning});

        panelflow::MessageBoxUserInterface boxes;
        boxes.SetParent(window_.get());
        struct Seen {
            QMessageBox::Icon icon;
            QString text, informative;
        };
        std::vector<Seen> seen;
        const auto closeNextBox = [&seen] {
            QTimer::singleShot(0, [&seen] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                seen.push_back({box->icon(), box->text(), box->informativeText()});
                box->accept();
            });
        };
        closeNextBox();
        boxes.ShowMessage("refused");
        closeNextBox();
        boxes.ShowExplainedMessage("kept as it was", "what to do");
        closeNextBox();
        boxes.ShowWarning("suspect");
        closeNextBox();
        boxes.ShowInformation("saved");
        QCOMPARE(seen.size(), 4u);
        QCOMPARE(seen[0].icon, QMessageBox::Critical);
        QCOMPARE(seen[1].icon, QMessageBox::Critical);
        QCOMPARE(seen[1].text + "|" + seen[1].informative, QString("kept as it was|what to do"));
        QCOMPARE(seen[2].icon, QMessageBox::Warning);
        QCOMPARE(seen[3].icon, QMessageBox::Information);
    }

    void renderedWindowShowsRedBlueAndTheBackground() {
        Trigger("Mn_Sphere");
        ClickHess();
        const QImage shot = window_->grab().toImage();
        QWidget* picture = Control<QWidget>("Pic1");
        const QImage area = shot.copy(QRect(picture->mapTo(window_.get(), QPoint(0, 0)), picture->size()));
        QCOMPARE(area.size(), QSize(400, 400));
        QVERIFY(CountPixels(area, kRedPixel) > 100);
        QVERIFY(CountPixels(area, kBluePixel) > 300);
        QVERIFY(CountPixels(area, kBackground) > area.width() * area.height() / 2);
    }

    void windowResultsFileEqualsTheBatchProgramsOutput() {
        Trigger("Mn_Sphere");
        ClickHess();
        QVERIFY(ui_.messages.isEmpty());

        QTemporaryDir batchDir;
        QProcess batch;
        batch.setWorkingDirectory(batchDir.path());
        batch.start(PANELFLOW_SHELL_BATCH_PROGRAM, {"sphere", "hess"});
        QVERIFY(batch.waitForFinished(60000));
        QCOMPARE(batch.exitStatus(), QProcess::NormalExit);
        QCOMPARE(batch.exitCode(), 0);
        const QByteArray expected = ReadFile(batchDir.filePath("Axisym.txt"));
        QVERIFY(!expected.isEmpty());
        QCOMPARE(ReadFile(ResultsPath()), expected);
    }
};

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("panelflow");
    Form1Test test;
    return QTest::qExec(&test, argc, argv);
}

#include "Form1Test.moc"
