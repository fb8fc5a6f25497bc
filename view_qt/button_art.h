// The button pictures as Qt pixmaps.
// SPDX-License-Identifier: MIT
#pragma once

#include <QPixmap>
#include <string>

// The button picture of that name (app/button_art.h) painted with antialiasing on a
// transparent background. A null pixmap for any other name.
QPixmap ButtonPicture(const std::string& name);
