#pragma once
// Form_About: one sentence on what the program computes and by which method, and who wrote it.
// Static labels only; a separate, non-modal window.

#include <QWidget>

namespace panelflow {

class FormAbout : public QWidget {
    Q_OBJECT
public:
    // A top-level window that belongs to `owner` (closing it hides it for the next showing).
    explicit FormAbout(QWidget* owner);
};

}  // namespace panelflow
