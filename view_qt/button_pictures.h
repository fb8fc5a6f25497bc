#pragma once

#include <QPixmap>
#include <string>

// The picture a command button shows: "help" (41 x 45), "ok" (44 x 36), "cancel" (37 x 39), on a
// transparent background. A null pixmap for any other name.
QPixmap ButtonPicture(const std::string& name);
