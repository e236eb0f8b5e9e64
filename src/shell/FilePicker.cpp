// SPDX-License-Identifier: GPL-3.0-or-later
#include "FilePicker.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStorageInfo>
#include <QStyle>

#include <algorithm>

namespace panelflow {
namespace {

// The role under which a directory entry keeps the path it opens.
constexpr int kPathRole = Qt::UserRole;

}  // namespace

QStringList DriveRoots() {
    QStringList roots;
    for (const QFileInfo& drive : QDir::drives()) roots << QDir::cleanPath(drive.absoluteFilePath());
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady()) roots << QDir::cleanPath(volume.rootPath());
    roots.removeDuplicates();
    std::sort(roots.begin(), roots.end());
    return roots;
}

QString DriveOf(const QString& path, const QStringList& roots) {
    const QString clean = QDir::cleanPath(path);
    QString best;
    for (const QString& root : roots) {
        const bool inside = clean == root || clean.startsWith(root.endsWith('/') ? root : root + '/');
        if (inside && root.size() > best.size()) best = root;
    }
    return best;
}

QString FullPath(const QString& directory, const QString& name) {
    const QString joined = directory.endsWith('/') ? directory + name : directory + '/' + name;
    return QDir::toNativeSeparators(joined);
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    for (const QString& root : DriveRoots()) addItem(QDir::toNativeSeparators(root), root);
}

void DriveList::ShowDriveOf(const QString& path) {
    QStringList roots;
    for (int index = 0; index < count(); ++index) roots << itemData(index).toString();
    const int index = findData(DriveOf(path, roots));
    if (index < 0 || index == currentIndex()) return;
    const bool blocked = blockSignals(true);
    setCurrentIndex(index);
    blockSignals(blocked);
}

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemActivated, this, &DirectoryList::Open);
}

void DirectoryList::setPath(const QString& path) {
    QDir dir(path);
    path_ = QDir::cleanPath(dir.absolutePath());
    clear();

    auto* current = new QListWidgetItem(style()->standardIcon(QStyle::SP_DirOpenIcon), QDir::toNativeSeparators(path_), this);
    current->setData(kPathRole, path_);
    current->setToolTip(QDir::toNativeSeparators(path_));
    if (!dir.isRoot()) {
        auto* up = new QListWidgetItem(style()->standardIcon(QStyle::SP_FileDialogToParent), "..", this);
        QDir parentDir(path_);
        parentDir.cdUp();
        up->setData(kPathRole, parentDir.absolutePath());
    }
    const QFileInfoList subdirectories =
        dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& sub : subdirectories) {
        auto* item = new QListWidgetItem(style()->standardIcon(QStyle::SP_DirIcon), sub.fileName(), this);
        item->setData(kPathRole, sub.absoluteFilePath());
    }
    setCurrentRow(0);
    setToolTip(QDir::toNativeSeparators(path_));
    emit pathChanged(path_);
}

void DirectoryList::Open(QListWidgetItem* item) {
    const QString target = item->data(kPathRole).toString();
    if (!target.isEmpty() && target != path_) setPath(target);
}

bool IsBodyFile(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return QDir::match(kProfilePattern, name) || QDir::match(kCornerPattern, name);
}

FileList::FileList(const QString& pattern, const QString& kind, QWidget* parent)
    : QListWidget(parent), pattern_(pattern), kind_(kind) {
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { emit fileChosen(item->text()); });
}

void FileList::setDirectory(const QString& directory) {
    directory_ = directory;
    setToolTip(kind_ + " (" + pattern_ + ") in " + QDir::toNativeSeparators(directory) + "; a click builds the body");
    clear();
    const QStringList names = QDir(directory).entryList(QStringList{pattern_}, QDir::Files | QDir::Readable,
                                                        QDir::Name | QDir::IgnoreCase);
    addItems(names);
}

bool FileList::Matches(const QString& name) const { return QDir::match(pattern_, name); }

QString FileList::selectedName() const {
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void FileList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        emit fileChosen(currentItem()->text());
        return;
    }
    QListWidget::keyPressEvent(event);
}

}  // namespace panelflow
