#pragma once
#include <QIcon>
#include <QPixmap>

// ImageList1 of the registry page: ten 16 x 16 images from the resources.
// 0 a key, 1 a key below a root while selected, 2..9 an entry of the value type with that code.
QPixmap RegistryImage(int index);
// The icon of a key node: image 0, and image 1 while selected for keys below the roots.
QIcon KeyIcon(bool belowRoot);
// The icon of an entry of the given type code.
QIcon ValueIcon(int code);
