// SPDX-License-Identifier: GPL-3.0-or-later
#include "FieldDialog.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "commands/FieldCommand.h"

namespace panelflow {
namespace {

constexpr const char* kVtsFilter = "VTK structured grid for ParaView (*.vts)";
constexpr const char* kCsvFilter = "CSV table, one row per point (*.csv)";

}  // namespace

FieldDialog::FieldDialog(const Session& session, Runner run, QWidget* parent)
    : QDialog(parent), session_(session), run_(std::move(run)) {
    setObjectName("FieldDialog");
    setWindowTitle("Flow field");
    setModal(false);

    Field_Box = new QRadioButton("Box grid X0:X1:NX,Y0:Y1:NY,Z0:Z1:NZ", this);
    Field_Box->setObjectName("Field_Box");
    Field_Box->setChecked(true);
    Field_BoxText = new QLineEdit(this);
    Field_BoxText->setObjectName("Field_BoxText");
    Field_Points = new QRadioButton("Points file (CSV, header x,y,z)", this);
    Field_Points->setObjectName("Field_Points");
    Field_PointsFile = new QLineEdit(this);
    Field_PointsFile->setObjectName("Field_PointsFile");
    Field_BrowsePoints = new QPushButton("Browse…", this);
    Field_BrowsePoints->setObjectName("Field_BrowsePoints");
    Field_Output = new QLineEdit(this);
    Field_Output->setObjectName("Field_Output");
    Field_Output->setPlaceholderText("flow.vts or flow.csv");
    Field_BrowseOutput = new QPushButton("Browse…", this);
    Field_BrowseOutput->setObjectName("Field_BrowseOutput");
    Field_Status = new QLabel(this);
    Field_Status->setObjectName("Field_Status");
    Field_Status->setWordWrap(true);
    Field_Write = new QPushButton("Compute and write", this);
    Field_Write->setObjectName("Field_Write");
    Field_Write->setDefault(true);
    Field_Close = new QPushButton("Close", this);
    Field_Close->setObjectName("Field_Close");

    auto* grid = new QGridLayout;
    grid->addWidget(Field_Box, 0, 0, 1, 2);
    grid->addWidget(Field_BoxText, 1, 0, 1, 2);
    grid->addWidget(Field_Points, 2, 0, 1, 2);
    grid->addWidget(Field_PointsFile, 3, 0);
    grid->addWidget(Field_BrowsePoints, 3, 1);
    grid->addWidget(new QLabel("Write to (.vts: a box grid for streamlines; .csv: a table)", this), 4, 0, 1, 2);
    grid->addWidget(Field_Output, 5, 0);
    grid->addWidget(Field_BrowseOutput, 5, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Field_Write);
    buttons->addWidget(Field_Close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(Field_Status);
    layout->addLayout(buttons);
    resize(520, 260);

    connect(Field_Write, &QPushButton::clicked, this, &FieldDialog::Field_Write_Click);
    connect(Field_BrowsePoints, &QPushButton::clicked, this, &FieldDialog::Field_BrowsePoints_Click);
    connect(Field_BrowseOutput, &QPushButton::clicked, this, &FieldDialog::Field_BrowseOutput_Click);
    connect(Field_Close, &QPushButton::clicked, this, &QDialog::close);
    connect(Field_PointsFile, &QLineEdit::textEdited, this, [this] { Field_Points->setChecked(true); });
    connect(Field_BoxText, &QLineEdit::textEdited, this, [this] { Field_Box->setChecked(true); });
}

void FieldDialog::Refresh() {
    const QString offered = QString::fromStdString(DefaultFieldBox(session_));
    if (Field_BoxText->text().isEmpty() || Field_BoxText->text() == offeredBox_) Field_BoxText->setText(offered);
    offeredBox_ = offered;
    Field_Status->clear();
}

// The output's name says the format; a name without .vts or .csv gets the one that fits.
void FieldDialog::Field_Write_Click() {
    const bool box = Field_Box->isChecked();
    const std::string where = (box ? Field_BoxText : Field_PointsFile)->text().toStdString();
    QString output = Field_Output->text().trimmed();
    if (!output.isEmpty() && !output.endsWith(".vts", Qt::CaseInsensitive) && !output.endsWith(".csv", Qt::CaseInsensitive))
        output += box ? ".vts" : ".csv";
    Field_Output->setText(output);
    Field_Status->setText("Computing…");
    const std::string path = output.toStdString();
    run_([this, where, path](UserInterface& ui, Progress& progress) { return FieldCommand(session_, where, path, ui, &progress); },
         [this, output](bool done) { Field_Status->setText(done ? "Written to " + output + "." : QString()); });
}

void FieldDialog::Field_BrowsePoints_Click() {
    const QString path = QFileDialog::getOpenFileName(this, "Points file", QString(), "CSV files (*.csv);;All files (*)",
                                                      nullptr, QFileDialog::DontUseNativeDialog);
    if (path.isEmpty()) return;
    Field_PointsFile->setText(path);
    Field_Points->setChecked(true);
}

void FieldDialog::Field_BrowseOutput_Click() {
    QString filter = Field_Box->isChecked() ? kVtsFilter : kCsvFilter;
    const QString path = QFileDialog::getSaveFileName(this, "Write the flow field to", QString(),
                                                      QString(kVtsFilter) + ";;" + kCsvFilter, &filter,
                                                      QFileDialog::DontUseNativeDialog);
    if (path.isEmpty()) return;
    const bool vts = path.endsWith(".vts", Qt::CaseInsensitive) || (!path.endsWith(".csv", Qt::CaseInsensitive) && filter == kVtsFilter);
    Field_Output->setText(path.endsWith(".vts", Qt::CaseInsensitive) || path.endsWith(".csv", Qt::CaseInsensitive)
                              ? path
                              : path + (vts ? ".vts" : ".csv"));
}

}  // namespace panelflow
