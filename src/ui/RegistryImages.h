#pragma once
#include <QIcon>
#include <QPixmap>

// ImageList1 of the registry page: ten 16 x 16 images from the resources.
// 0 a key, 1 a key below a root while selected, 2..9 an entry of the value type with that code.
QPixmap RegistryImage(int index);
// An icon of image normal, showing image selected while its row is selected.
QIcon RegistryIcon(int normal, int selected);
