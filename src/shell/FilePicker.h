// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The controls of the file picker: a drive list (on this platform the file-system roots and
// mounted volumes), a directory list that opens directories and reports every change of its
// path, and file lists that show a directory's files matching one pattern.

#include <QComboBox>
#include <QListWidget>
#include <QString>
#include <QStringList>

namespace panelflow {

// The patterns of the two kinds of body file, a profile and a panel corner-point file; a name
// matches a pattern whatever the letter case.
inline constexpr char kProfilePattern[] = "*.BodyFoil";
inline constexpr char kCornerPattern[] = "*.Coords";

// True when the file name of `path` matches one of the two patterns.
bool IsBodyFile(const QString& path);

// The roots of the mounted volumes, "/" first, without repeats.
QStringList DriveRoots();

// The drive of `path`: the longest root in `roots` that contains it ("" when none does).
QString DriveOf(const QString& path, const QStringList& roots);

// The full path of `name` in `directory`: one separator between them, none added when the
// directory (a root) already ends in one; in the platform's notation.
QString FullPath(const QString& directory, const QString& name);

// The drive list: one entry per root; the data of each entry is its root path.
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent);
    QString drive() const { return currentData().toString(); }
    // Selects the drive that holds `path` without raising a change.
    void ShowDriveOf(const QString& path);
};

// The directory list: the current directory at the top, ".." to go up, then its
// subdirectories. Opening an entry (double click or Enter) makes it the path. The list's tooltip
// is the whole path, which the narrow list cuts off.
class DirectoryList : public QListWidget {
    Q_OBJECT
public:
    explicit DirectoryList(QWidget* parent);
    QString path() const { return path_; }
    // Shows `path` and raises pathChanged, as a choice by the user does.
    void setPath(const QString& path);

signals:
    void pathChanged(const QString& path);

private:
    void Open(QListWidgetItem* item);
    QString path_;
};

// A file list: the files of its directory whose names match its pattern (letter case ignored),
// sorted by name. Choosing a file (a click, or Enter on the current one) raises fileChosen; a
// double click chooses it once. `kind` says what the files are ("Body profiles"): the caption
// above the list; with the pattern and the directory it makes the list's tooltip.
class FileList : public QListWidget {
    Q_OBJECT
public:
    FileList(const QString& pattern, const QString& kind, QWidget* parent);
    QString pattern() const { return pattern_; }
    QString kind() const { return kind_; }
    QString directory() const { return directory_; }
    // True when a file called `name` matches the pattern.
    bool Matches(const QString& name) const;
    // Lists the matching files of `directory`.
    void setDirectory(const QString& directory);
    // The chosen name, "" when none is.
    QString selectedName() const;

signals:
    void fileChosen(const QString& name);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString pattern_;
    QString kind_;
    QString directory_;
};

}  // namespace panelflow
