// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QToolButton>
#include <memory>

#include "BackgroundWork.h"
#include "BodyWindow.h"
#include "FilePicker.h"
#include "FormAbout.h"
#include "FreeStreamDialog.h"
#include "ImageCanvas.h"
#include "PictureBox.h"
#include "ResultsMenu.h"
#include "commands/Commands.h"
#include "commands/ViewTexts.h"

namespace panelflow {
namespace {

// The rotation bars run 0..180 and write their value minus this offset, -90..90 degrees.
constexpr int kAngleOffset = 90;
constexpr int kAngleBarMaximum = 180;
constexpr int kScaleMinimum = 1;
constexpr int kScaleMaximum = 8;
constexpr int kArrowStep = 1;
constexpr int kTroughStep = 10;
constexpr QSize kClientSize(463, 549);
constexpr QSize kPictureSize(400, 400);
// The controls are laid out in pixels for a small dialog font.
constexpr int kFontPoints = 8;
// How far below the window's top "Body and solution" first stands, clear of "About".
constexpr int kBodyWindowDrop = 300;

QFrame* MakeFrame(const char* name, QWidget* parent, QRect place) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(place);
    return frame;
}

QLabel* MakeLabel(const char* name, const char* text, QWidget* parent, QRect place) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(place);
    return label;
}

QLineEdit* MakeTextBox(const QString& name, const char* text, QWidget* parent, QRect place) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setGeometry(place);
    return box;
}

// The change handler runs after every change of value, but a dragged thumb changes the value
// only when it is released: no redraw while the user drags.
QScrollBar* MakeScrollBar(const QString& name, Qt::Orientation orientation, QWidget* parent, QRect place,
                          int minimum, int maximum, int value, int pageStep) {
    auto* bar = new QScrollBar(orientation, parent);
    bar->setObjectName(name);
    bar->setGeometry(place);
    bar->setRange(minimum, maximum);
    bar->setValue(value);
    bar->setSingleStep(kArrowStep);
    bar->setPageStep(pageStep);
    bar->setTracking(false);
    return bar;
}

std::string Text(const QLineEdit* box) { return box->text().toStdString(); }

}  // namespace

Form1::Form1(UserInterface& ui, std::string outFile, QWidget* parent) : QMainWindow(parent), ui_(ui) {
    session_.shell.OutFile = std::move(outFile);
    CreateControls();
    CreateMenus();
    Connect();
    Form_Load();
}

// The command under way ends (undoing itself) before the session it works on goes.
Form1::~Form1() { work_->StopAndWait(); }

void Form1::CreateControls() {
    setObjectName("Form1");
    setWindowTitle("Form1");
    QFont small = font();
    small.setPointSize(kFontPoints);
    setFont(small);
    auto* client = new QWidget(this);
    client->setFixedSize(kClientSize);
    setCentralWidget(client);

    Frame_NI_NJ = MakeFrame("Frame_NI_NJ", client, {8, 0, 121, 49});
    label1 = MakeLabel("label1", "NI =", Frame_NI_NJ, {8, 16, 25, 17});
    Text_NI = MakeTextBox("Text_NI", "4", Frame_NI_NJ, {32, 16, 25, 19});
    Label2 = MakeLabel("Label2", "NJ =", Frame_NI_NJ, {64, 16, 25, 17});
    Text_NJ = MakeTextBox("Text_NJ", "4", Frame_NI_NJ, {88, 16, 25, 21});

    Command_HessPan = new QPushButton("Apply Hess panel method", client);
    Command_HessPan->setObjectName("Command_HessPan");
    Command_HessPan->setGeometry(144, 8, 297, 33);
    Command_HessPan->hide();

    Frame5 = MakeFrame("Frame5", client, {8, 48, 449, 497});
    Pic1 = new PictureBox(kPictureSize, Frame5);
    Pic1->setObjectName("Pic1");
    Pic1->move(40, 8);
    Label9 = MakeLabel("Label9", "Scale", Frame5, {4, 16, 34, 17});
    Text_Ölçek = MakeTextBox("Text_Ölçek", "1", Frame5, {8, 32, 25, 19});
    VScroll_Ölçek = MakeScrollBar("VScroll_Ölçek", Qt::Vertical, Frame5, {8, 48, 25, 361}, kScaleMinimum,
                                   kScaleMaximum, kScaleMinimum, kArrowStep);

    Frame6 = MakeFrame("Frame6", Frame5, {32, 408, 417, 81});
    Text_AlfaX = MakeTextBox("Text_AlfaX", "0", Frame6, {8, 8, 33, 19});
    HScroll_X = MakeScrollBar("HScroll_X", Qt::Horizontal, Frame6, {48, 8, 361, 17}, 0, kAngleBarMaximum,
                              kAngleOffset, kTroughStep);
    Text_AlfaY = MakeTextBox("Text_AlfaY", "0", Frame6, {8, 32, 33, 19});
    HScroll_Y = MakeScrollBar("HScroll_Y", Qt::Horizontal, Frame6, {48, 32, 361, 19}, 0, kAngleBarMaximum,
                              kAngleOffset, kTroughStep);
    Text_AlfaZ = MakeTextBox("Text_AlfaZ", "0", Frame6, {8, 56, 33, 19});
    HScroll_Z = MakeScrollBar("HScroll_Z", Qt::Horizontal, Frame6, {48, 56, 361, 19}, 0, kAngleBarMaximum,
                              kAngleOffset, kTroughStep);

    // The file picker lies over the drawing area.
    Frame_IOWindow = MakeFrame("Frame_IOWindow", client, {88, 88, 273, 177});
    Frame_IOWindow->setAutoFillBackground(true);
    Drive1 = new DriveList(Frame_IOWindow);
    Drive1->setObjectName("Drive1");
    Drive1->setGeometry(8, 16, 113, 21);
    Dir1 = new DirectoryList(Frame_IOWindow);
    Dir1->setObjectName("Dir1");
    Dir1->setGeometry(8, 40, 113, 126);
    File_BodyCoords = new FileList(kCornerPattern, "Corner points", Frame_IOWindow);
    File_BodyCoords->setObjectName("File_BodyCoords");
    File_BodyCoords->setGeometry(128, 16, 137, 149);
    File_BodyFoil = new FileList(kProfilePattern, "Body profiles", Frame_IOWindow);
    File_BodyFoil->setObjectName("File_BodyFoil");
    File_BodyFoil->setGeometry(128, 16, 137, 149);
    // The picker closes without a choice by its small close control or Escape.
    Close_IOWindow = new QToolButton(Frame_IOWindow);
    Close_IOWindow->setObjectName("Close_IOWindow");
    Close_IOWindow->setText(QString::fromUtf8("\u00d7"));
    Close_IOWindow->setToolTip("Close without choosing a file");
    Close_IOWindow->setGeometry(254, 1, 16, 14);
    Close_IOWindow->setAutoRaise(true);
    // Above the file list, the kind of files it lists.
    Picker_Kind = MakeLabel("Picker_Kind", "", Frame_IOWindow, {130, 2, 122, 14});
    Frame_IOWindow->raise();
    Frame_IOWindow->hide();

    Form_About = new FormAbout(this);
    Dialog_FreeStream = new FreeStreamDialog(this);
    Window_Body = new BodyWindow(session_, this);
    work_ = new BackgroundWork(ui_, this);
}

void Form1::CreateMenus() {
    Mn_Geometry = menuBar()->addMenu("Geometry");
    Mn_Geometry->setObjectName("Mn_Geometry");
    Mn_Sphere = Mn_Geometry->addAction("Calculate sphere coordinates");
    Mn_Sphere->setObjectName("Mn_Sphere");
    Mn_ReadData = Mn_Geometry->addAction("Read body profile from a file");
    Mn_ReadData->setObjectName("Mn_ReadData");
    Mn_Corners = Mn_Geometry->addAction("Read panel corner points from a file");
    Mn_Corners->setObjectName("Mn_Corners");
    // "About" has no items: choosing it on the menu bar runs its command.
    Mn_About = menuBar()->addAction("About");
    Mn_About->setObjectName("Mn_About");
    Mn_Flow = menuBar()->addMenu("Flow");
    Mn_Flow->setObjectName("Mn_Flow");
    Mn_FreeStream = Mn_Flow->addAction("Free stream…");
    Mn_FreeStream->setObjectName("Mn_FreeStream");
    Mn_BodyAndSolution = Mn_Flow->addAction("Body and solution…");
    Mn_BodyAndSolution->setObjectName("Mn_BodyAndSolution");
    Mn_Results = new ResultsMenu(menuBar(), session_, ui_, this,
                                 [this](ResultsMenu::Command command, std::function<void(bool)> done) {
                                     RunCommand(std::move(command), std::move(done));
                                 });
}

void Form1::Connect() {
    connect(Mn_Sphere, &QAction::triggered, this, &Form1::Mn_Sphere_Click);
    connect(Mn_ReadData, &QAction::triggered, this, &Form1::Mn_ReadData_Click);
    connect(Mn_Corners, &QAction::triggered, this, &Form1::Mn_Corners_Click);
    connect(Mn_About, &QAction::triggered, this, &Form1::Mn_About_Click);
    connect(Mn_FreeStream, &QAction::triggered, this, &Form1::Mn_FreeStream_Click);
    connect(Dialog_FreeStream, &FreeStreamDialog::streamChosen, this, &Form1::FreeStream_Chosen);
    connect(Mn_BodyAndSolution, &QAction::triggered, this, &Form1::Mn_BodyAndSolution_Click);
    connect(Command_HessPan, &QPushButton::clicked, this, &Form1::Command_HessPan_Click);
    connect(HScroll_X, &QScrollBar::valueChanged, this, &Form1::HScroll_X_Change);
    connect(HScroll_Y, &QScrollBar::valueChanged, this, &Form1::HScroll_Y_Change);
    connect(HScroll_Z, &QScrollBar::valueChanged, this, &Form1::HScroll_Z_Change);
    connect(VScroll_Ölçek, &QScrollBar::valueChanged, this, &Form1::VScroll_Ölçek_Change);
    connect(Pic1, &PictureBox::clicked, this, &Form1::Pic1_Click);
    connect(Drive1, &QComboBox::currentIndexChanged, this, &Form1::Drive1_Change);
    connect(Dir1, &DirectoryList::pathChanged, this, &Form1::Dir1_Change);
    connect(File_BodyFoil, &FileList::fileChosen, this, &Form1::File_BodyFoil_Click);
    connect(File_BodyCoords, &FileList::fileChosen, this, &Form1::File_BodyCoords_Click);
    connect(Close_IOWindow, &QToolButton::clicked, this, &Form1::Close_IOWindow_Click);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), Frame_IOWindow);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &Form1::Close_IOWindow_Click);
    connect(work_, &BackgroundWork::busyChanged, this, &Form1::ShowBusy);
}

// The picture keeps its background until the first redraw.
void Form1::Form_Load() {
    StartCommand(session_, ui_);
    Dir1->setPath(QDir::currentPath());
    Drive1->ShowDriveOf(Dir1->path());
}

bool Form1::busy() const { return work_->busy(); }

void Form1::RunCommand(std::function<bool(UserInterface&, Progress&)> command, std::function<void(bool)> done) {
    work_->Start(std::move(command), [this, done = std::move(done)](bool succeeded) {
        done(succeeded);
        Mn_Results->ShowSolution();
        Window_Body->Refresh();
        RestoreFocus();
    });
}

// While a command runs, the window and the plot take no input (clicks and keys are not kept for
// later) and the pointer shows that the window is busy.
void Form1::ShowBusy(bool busy) {
    centralWidget()->setEnabled(!busy);
    menuBar()->setEnabled(!busy);
    Mn_Results->SetBusy(busy);
    if (busy) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
        return;
    }
    QApplication::restoreOverrideCursor();
}

void Form1::RestoreFocus() {
    if (!Frame_IOWindow->isVisible()) {
        centralWidget()->setFocus();
        return;
    }
    (File_BodyFoil->isVisible() ? File_BodyFoil : File_BodyCoords)->setFocus();
}

void Form1::closeEvent(QCloseEvent* event) {
    work_->StopAndWait();
    QMainWindow::closeEvent(event);
}

void Form1::Redraw() {
    const ViewTexts texts{Text(Text_AlfaX), Text(Text_AlfaY), Text(Text_AlfaZ), Text(Text_Ölçek)};
    {
        ImageCanvas canvas(Pic1->image());
        RedrawCommand(session_, texts, canvas);
    }
    Pic1->update();
}

void Form1::ShowNewGeometry() {
    Redraw();
    Command_HessPan->show();
}

void Form1::Mn_Sphere_Click() {
    RunCommand([this, ni = Text(Text_NI), nj = Text(Text_NJ)](UserInterface& ui, Progress& progress) {
        return SphereCommand(session_, ni, nj, ui, &progress);
    }, [this](bool done) {
        if (done) ShowNewGeometry();
    });
}

// The free stream is the one set in "Free stream…" when the button is pressed.
void Form1::Command_HessPan_Click() {
    HessSettings settings;
    settings.writeTables = Mn_Results->WriteTables();
    RunCommand([this, stream = session_.shell.Stream, settings](UserInterface& ui, Progress& progress) {
        return HessCommand(session_, ui, &progress, stream, settings).done;
    }, [this](bool done) {
        if (!done) return;
        Redraw();
        Command_HessPan->hide();
    });
}

void Form1::WriteAngle(QLineEdit* box, const QScrollBar* bar) {
    box->setText(QString::number(bar->value() - kAngleOffset));
    Redraw();
}

void Form1::HScroll_X_Change() { WriteAngle(Text_AlfaX, HScroll_X); }
void Form1::HScroll_Y_Change() { WriteAngle(Text_AlfaY, HScroll_Y); }
void Form1::HScroll_Z_Change() { WriteAngle(Text_AlfaZ, HScroll_Z); }

void Form1::VScroll_Ölçek_Change() {
    Text_Ölçek->setText(QString::number(VScroll_Ölçek->value()));
    Redraw();
}

void Form1::Pic1_Click() {
    Text_AlfaX->setText("0");
    Text_AlfaY->setText("0");
    Text_AlfaZ->setText("0");
    Redraw();
}

// Opening the picker reads its directory again, so that files made since the last look show.
// The shown list takes the keyboard, so that Escape closes the picker at once.
void Form1::Mn_ReadData_Click() {
    Dir1->setPath(Dir1->path());
    Frame_IOWindow->show();
    File_BodyCoords->hide();
    File_BodyFoil->show();
    Picker_Kind->setText(File_BodyFoil->kind());
    File_BodyFoil->setFocus();
}

void Form1::Mn_Corners_Click() {
    Dir1->setPath(Dir1->path());
    Frame_IOWindow->show();
    File_BodyCoords->show();
    File_BodyFoil->hide();
    Picker_Kind->setText(File_BodyCoords->kind());
    File_BodyCoords->setFocus();
}

void Form1::File_BodyFoil_Click(const QString& name) {
    const std::string path = FullPath(File_BodyFoil->directory(), name).toStdString();
    auto niText = std::make_shared<std::string>(Text(Text_NI));
    RunCommand([this, path, niText, nj = Text(Text_NJ)](UserInterface& ui, Progress& progress) {
        return ProfileFileCommand(session_, path, *niText, nj, ui, &progress);
    }, [this, niText](bool done) {
        if (!done) return;
        Text_NI->setText(QString::fromStdString(*niText));
        Frame_IOWindow->hide();
        ShowNewGeometry();
    });
}

void Form1::File_BodyCoords_Click(const QString& name) {
    const std::string path = FullPath(File_BodyCoords->directory(), name).toStdString();
    RunCommand([this, path](UserInterface& ui, Progress& progress) {
        return CornerFileCommand(session_, path, ui, &progress);
    }, [this](bool done) {
        if (!done) return;
        Frame_IOWindow->hide();
        ShowNewGeometry();
    });
}

bool Form1::OpenFile(const QString& path) {
    const QFileInfo file(path);
    const QString name = file.fileName();
    if (!File_BodyFoil->Matches(name) && !File_BodyCoords->Matches(name)) return false;
    Dir1->setPath(file.absolutePath());
    if (File_BodyFoil->Matches(name)) {
        File_BodyFoil_Click(name);
    } else {
        File_BodyCoords_Click(name);
    }
    return true;
}

void Form1::Close_IOWindow_Click() { Frame_IOWindow->hide(); }

void Form1::Drive1_Change() {
    const QString drive = Drive1->drive();
    Dir1->setPath(lastDirectoryOnDrive_.value(drive, drive));
}

void Form1::Dir1_Change() {
    const QString path = Dir1->path();
    Drive1->ShowDriveOf(path);
    lastDirectoryOnDrive_.insert(Drive1->drive(), path);
    File_BodyCoords->setDirectory(path);
    File_BodyFoil->setDirectory(path);
}

void Form1::Mn_FreeStream_Click() { Dialog_FreeStream->Open(session_.shell.Stream); }

void Form1::FreeStream_Chosen(const FreeStream& stream) {
    session_.shell.Stream = stream;
    Window_Body->Refresh();
}

void Form1::Mn_BodyAndSolution_Click() {
    Window_Body->Refresh();
    // Beside the window, below where "About" stands.
    if (!Window_Body->isVisible()) Window_Body->move(frameGeometry().topRight() + QPoint(8, kBodyWindowDrop));
    Window_Body->show();
    Window_Body->raise();
}

void Form1::Mn_About_Click() {
    if (Form_About->isVisible()) return;
    Form_About->move(frameGeometry().topRight() + QPoint(8, 0));
    Form_About->show();
}

}  // namespace panelflow
