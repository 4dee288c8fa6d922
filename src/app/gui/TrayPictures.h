// The two pictures of the tray icon: 0 at rest, 1 while a backup or an
// update check works. Drawn at start, so the program carries no image files.
#pragma once

#include <QIcon>
#include <vector>

namespace varnoket {

std::vector<QIcon> MakeTrayPictures();

}  // namespace varnoket
