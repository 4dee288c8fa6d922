// The pictures of the tray icon: 0 at rest, 1 while a backup or an update
// check works, 2 at rest while the last success is too old or the last run
// failed. Drawn at start, so the program carries no image files.
#pragma once

#include <QIcon>
#include <vector>

namespace varnoket {

inline constexpr int kWarningTrayPicture = 2;

std::vector<QIcon> MakeTrayPictures();

}  // namespace varnoket
