// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Form_About: one sentence on what the program computes and by which method, who wrote it, the
// version, and a link to the user's guide. Static labels only; a separate, non-modal window.

#include <QString>
#include <QWidget>

namespace panelflow {

// The user's guide beside the program: installed (share/doc/panelflow/docs/guide.md next to
// bin/), or in the source tree that holds the build directory; "" when neither is there.
QString UserGuidePath();

class FormAbout : public QWidget {
    Q_OBJECT
public:
    // A top-level window that belongs to `owner` (closing it hides it for the next showing).
    explicit FormAbout(QWidget* owner);
};

}  // namespace panelflow
