// SPDX-License-Identifier: GPL-3.0-or-later
#include "FormAbout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QUrl>

#include "base/Version.h"

namespace panelflow {
namespace {

const QColor kAboutBackground(255, 255, 192);
const QColor kSentenceColour(0, 128, 0);
const QColor kTextColour(0, 0, 0);
const QColor kAddressColour(0, 0, 255);
constexpr double kSentencePoints = 9.75;
constexpr double kNotePoints = 8.25;
constexpr const char* kGuideText = "the user's guide";
// How many directories above the program's own the source tree's docs/ may lie (build/src/shell).
constexpr int kBuildTreeDepth = 4;

struct AboutLabel {
    const char* name;
    QString text;
    QRect place;
    double points;
    const QColor& colour;
};

QLabel* MakeLabel(const AboutLabel& line, QWidget* parent) {
    auto* label = new QLabel(line.text, parent);
    label->setObjectName(line.name);
    label->setGeometry(line.place);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont font("Verdana");
    font.setPointSizeF(line.points);
    label->setFont(font);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, line.colour);
    colours.setColor(QPalette::Link, line.colour);
    label->setPalette(colours);
    return label;
}

}  // namespace

QString UserGuidePath() {
    const QDir program(QCoreApplication::applicationDirPath());
    QStringList candidates{program.filePath("../share/doc/panelflow/docs/guide.md")};
    QDir up = program;
    for (int level = 0; level < kBuildTreeDepth && up.cdUp(); ++level) candidates << up.filePath("docs/guide.md");
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate).isFile()) return QFileInfo(candidate).canonicalFilePath();
    return {};
}

FormAbout::FormAbout(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName("Form_About");
    setWindowTitle("About");
    setFixedSize(240, 239);
    QPalette background = palette();
    background.setColor(QPalette::Window, kAboutBackground);
    setPalette(background);
    setAutoFillBackground(true);

    // The blue line is a link to the guide where the guide is found, plain black text where not.
    const QString guide = UserGuidePath();
    const QString version = QString::fromStdString(VersionLine("panelflow")).trimmed();
    // Read from top to bottom, the five green labels make one sentence.
    const AboutLabel labels[] = {
        {"Label2", "This program calculates", {40, 8, 161, 17}, kSentencePoints, kSentenceColour},
        {"Label9", "the potential flow around", {32, 32, 169, 17}, kSentencePoints, kSentenceColour},
        {"Label3", "a body of revolution", {48, 56, 137, 25}, kSentencePoints, kSentenceColour},
        {"Label6", "by using", {88, 80, 65, 17}, kSentencePoints, kSentenceColour},
        {"Label1", "Hess's source panel method", {24, 104, 193, 25}, kSentencePoints, kSentenceColour},
        {"Label7", "panelflow developers", {40, 136, 169, 17}, kNotePoints, kTextColour},
        {"Label8", "Last changed December 2026", {40, 160, 169, 17}, kNotePoints, kTextColour},
        {"Label_Version", "Version " + QString::fromStdString(VersionNumber()), {40, 178, 169, 17}, kNotePoints, kTextColour},
        {"Label4", "Questions? Most are answered in", {8, 200, 225, 17}, kNotePoints, kTextColour},
        {"Label5", kGuideText, {56, 216, 129, 17}, kNotePoints, guide.isEmpty() ? kTextColour : kAddressColour},
    };
    for (const AboutLabel& line : labels) MakeLabel(line, this);

    findChild<QLabel*>("Label_Version")->setToolTip(version);
    if (!guide.isEmpty()) {
        auto* link = findChild<QLabel*>("Label5");
        link->setTextFormat(Qt::RichText);
        link->setText(QString("<a href=\"%1\">%2</a>").arg(QUrl::fromLocalFile(guide).toString(QUrl::FullyEncoded), kGuideText));
        link->setOpenExternalLinks(true);
        link->setToolTip(QDir::toNativeSeparators(guide));
    }
}

}  // namespace panelflow
