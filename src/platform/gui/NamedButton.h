// A push button as the program's windows make them: named after its control
// (tests find it by that name), with its caption and hint, and never taking
// the Enter key for itself (the windows' own checks decide what Enter does).
#pragma once

class QPushButton;
class QWidget;

namespace varnoket {

// `hint` may be null: no tooltip.
QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, const char* hint);

}  // namespace varnoket
