#include "FormAbout.h"

#include <QLabel>

namespace panelflow {
namespace {

const QColor kAboutBackground(255, 255, 192);
const QColor kSentenceColour(0, 128, 0);
const QColor kTextColour(0, 0, 0);
const QColor kAddressColour(0, 0, 255);
constexpr double kSentencePoints = 9.75;
constexpr double kNotePoints = 8.25;

struct AboutLabel {
    const char* name;
    const char* text;
    QRect place;
    double points;
    const QColor& colour;
};

// Read from top to bottom, the five green labels make one sentence.
const AboutLabel kLabels[] = {
    {"Label2", "This program calculates", {40, 8, 161, 17}, kSentencePoints, kSentenceColour},
    {"Label9", "the potential flow around", {32, 32, 169, 17}, kSentencePoints, kSentenceColour},
    {"Label3", "a body of revolution", {48, 56, 137, 25}, kSentencePoints, kSentenceColour},
    {"Label6", "by using", {88, 80, 65, 17}, kSentencePoints, kSentenceColour},
    {"Label1", "Hess's source panel method", {24, 104, 193, 25}, kSentencePoints, kSentenceColour},
    {"Label7", "panelflow developers", {40, 136, 169, 17}, kNotePoints, kTextColour},
    {"Label8", "Last changed December 2026", {40, 160, 169, 17}, kNotePoints, kTextColour},
    {"Label4", "Questions and remarks are welcome at", {8, 200, 225, 17}, kNotePoints, kTextColour},
    {"Label5", "the project's issues", {56, 216, 129, 17}, kNotePoints, kAddressColour},
};

}  // namespace

FormAbout::FormAbout(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName("Form_About");
    setWindowTitle("About");
    setFixedSize(240, 239);
    QPalette background = palette();
    background.setColor(QPalette::Window, kAboutBackground);
    setPalette(background);
    setAutoFillBackground(true);

    for (const AboutLabel& line : kLabels) {
        auto* label = new QLabel(line.text, this);
        label->setObjectName(line.name);
        label->setGeometry(line.place);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QFont font("Verdana");
        font.setPointSizeF(line.points);
        label->setFont(font);
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, line.colour);
        label->setPalette(colours);
    }
}

}  // namespace panelflow
