// A push button as the program's windows make them: named after its control
// (tests find it by that name), with its caption and hint, and never taking
// the Enter key for itself (the windows' own checks decide what Enter does).
#pragma once

#include <QString>

class QPushButton;
class QWidget;

namespace varnoket {

// An empty `hint`: no tooltip.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint);

}  // namespace varnoket
