// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form1, the main window: the panel counts, the geometry commands, the view with its rotation
// and scale controls, the Hess command, the file picker and the About command; then the
// program's own menus: "Flow" (the free stream of the Hess command, the window "Body and
// solution") and "Results".
//
// The window owns the session (panel model, solution, shell state) and holds no computation of
// its own: each handler reads its controls, runs one command of the core, then redraws and
// shows or hides controls. The commands run on a worker thread (BackgroundWork.h): meanwhile the
// window repaints, shows the progress of long work with a Cancel button, and takes no input.
// A refused or cancelled command leaves the window as it was. Messages go to the UserInterface
// given at construction (a message box in the program, a recorder in tests).

#include <QHash>
#include <QMainWindow>
#include <functional>
#include <string>

#include "results/ResultsFile.h"
#include "commands/Session.h"
#include "base/Progress.h"
#include "commands/UserInterface.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollBar;
class QToolButton;

namespace panelflow {

class BackgroundWork;
class BodyWindow;
class DirectoryList;
class DriveList;
class FileList;
class FormAbout;
class FreeStreamDialog;
class PictureBox;
class ResultsMenu;

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // Creates the controls and starts the results file `outFile` empty.
    explicit Form1(UserInterface& ui, std::string outFile = std::string(kResultsFileName), QWidget* parent = nullptr);
    ~Form1() override;

    const Session& session() const { return session_; }
    // True while a command runs on the worker thread.
    bool busy() const;

    // Reads a body file named on the command line as if it had been chosen in the file picker,
    // which moves to its directory; its kind follows from its name as the picker's lists match
    // it. A name that neither list would show is refused (false) and changes nothing.
    bool OpenFile(const QString& path);

    // The window's handlers, one per user action.
    void Mn_Sphere_Click();
    void Command_HessPan_Click();
    void HScroll_X_Change();
    void HScroll_Y_Change();
    void HScroll_Z_Change();
    void VScroll_Ölçek_Change();
    void Pic1_Click();
    void Mn_ReadData_Click();
    void Mn_Corners_Click();
    void File_BodyFoil_Click(const QString& name);
    void File_BodyCoords_Click(const QString& name);
    void Drive1_Change();
    void Dir1_Change();
    void Mn_About_Click();
    void Close_IOWindow_Click();
    void Mn_FreeStream_Click();
    void FreeStream_Chosen(const FreeStream& stream);
    void Mn_BodyAndSolution_Click();

protected:
    // Closing the window while a command runs cancels it first, so that it undoes itself.
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void CreateMenus();
    void Connect();
    void Form_Load();

    // Redraws the view with the drawing options as they stand and the angle and scale texts.
    void Redraw();
    // The second half of every geometry command that succeeded.
    void ShowNewGeometry();
    // Runs a command on the worker thread; `done` follows on the window's thread with its outcome,
    // then the windows that show the session follow it and the keyboard goes back (RestoreFocus).
    void RunCommand(std::function<bool(UserInterface&, Progress&)> command, std::function<void(bool)> done);
    void ShowBusy(bool busy);
    // The keyboard goes to the open file picker's list, or else to the window itself (not to a
    // text box whose selected text the next key would replace).
    void RestoreFocus();
    void WriteAngle(QLineEdit* box, const QScrollBar* bar);

    UserInterface& ui_;
    Session session_;
    BackgroundWork* work_ = nullptr;

    QFrame* Frame_NI_NJ = nullptr;
    QLabel* label1 = nullptr;
    QLineEdit* Text_NI = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text_NJ = nullptr;
    QPushButton* Command_HessPan = nullptr;
    QFrame* Frame5 = nullptr;
    PictureBox* Pic1 = nullptr;
    QLabel* Label9 = nullptr;
    QLineEdit* Text_Ölçek = nullptr;
    QScrollBar* VScroll_Ölçek = nullptr;
    QFrame* Frame6 = nullptr;
    QLineEdit* Text_AlfaX = nullptr;
    QLineEdit* Text_AlfaY = nullptr;
    QLineEdit* Text_AlfaZ = nullptr;
    QScrollBar* HScroll_X = nullptr;
    QScrollBar* HScroll_Y = nullptr;
    QScrollBar* HScroll_Z = nullptr;
    QFrame* Frame_IOWindow = nullptr;
    DriveList* Drive1 = nullptr;
    DirectoryList* Dir1 = nullptr;
    FileList* File_BodyCoords = nullptr;
    FileList* File_BodyFoil = nullptr;
    QToolButton* Close_IOWindow = nullptr;
    QLabel* Picker_Kind = nullptr;
    QMenu* Mn_Geometry = nullptr;
    QAction* Mn_Sphere = nullptr;
    QAction* Mn_ReadData = nullptr;
    QAction* Mn_Corners = nullptr;
    QAction* Mn_About = nullptr;
    FormAbout* Form_About = nullptr;
    QMenu* Mn_Flow = nullptr;
    QAction* Mn_FreeStream = nullptr;
    QAction* Mn_BodyAndSolution = nullptr;
    FreeStreamDialog* Dialog_FreeStream = nullptr;
    BodyWindow* Window_Body = nullptr;
    ResultsMenu* Mn_Results = nullptr;

    // The directory last shown on each drive, so that choosing a drive again returns there.
    QHash<QString, QString> lastDirectoryOnDrive_;
};

}  // namespace panelflow
