#pragma once

#include <QIcon>

// The program's picture, a perforated stamp with a mosaic of tesserae: the icon of
// every window, the about box's picture and the desktop icon.
QIcon ProgramIcon();
