// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoadsWindow.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "results/LoadsReport.h"

namespace panelflow {
namespace {

constexpr const char* kCurrentNote =
    "Pressure loads of the current solution and the added masses of the body's six unit motions.";
constexpr const char* kEarlierNote =
    "These numbers belong to an earlier solution: choose Results → Loads and added masses… for the current one.";

}  // namespace

LoadsWindow::LoadsWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("LoadsWindow");
    setWindowTitle("Loads and added masses");
    Loads_Note = new QLabel(kCurrentNote, this);
    Loads_Note->setObjectName("Loads_Note");
    Loads_Note->setWordWrap(true);
    Loads_Table = new QPlainTextEdit(this);
    Loads_Table->setObjectName("Loads_Table");
    Loads_Table->setReadOnly(true);
    Loads_Table->setLineWrapMode(QPlainTextEdit::NoWrap);
    Loads_Table->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Loads_Copy = new QPushButton("Copy", this);
    Loads_Copy->setObjectName("Loads_Copy");
    Loads_Close = new QPushButton("Close", this);
    Loads_Close->setObjectName("Loads_Close");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Loads_Copy);
    buttons->addWidget(Loads_Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Loads_Note);
    layout->addWidget(Loads_Table);
    layout->addLayout(buttons);
    resize(760, 480);

    connect(Loads_Copy, &QPushButton::clicked, this, &LoadsWindow::Loads_Copy_Click);
    connect(Loads_Close, &QPushButton::clicked, this, &QWidget::close);
}

void LoadsWindow::Show(const BodyLoads& loads) {
    Loads_Note->setText(kCurrentNote);
    Loads_Table->setPlainText(QString::fromStdString(LoadsTableText(loads)));
    show();
    raise();
}

void LoadsWindow::MarkEarlier() { Loads_Note->setText(QString::fromUtf8(kEarlierNote)); }

void LoadsWindow::Loads_Copy_Click() { QGuiApplication::clipboard()->setText(Loads_Table->toPlainText()); }

}  // namespace panelflow
