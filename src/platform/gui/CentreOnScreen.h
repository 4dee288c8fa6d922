// Places a top-level window in the middle of the screen it opens on, as the
// program's dialogs and notice windows do when they open.
#pragma once

class QWidget;

namespace varnoket {

void CentreOnScreen(QWidget& window);

}  // namespace varnoket
