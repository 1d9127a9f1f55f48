#pragma once
#include "Files.h"
#include <QString>

// The title picture's rules, shared by the area editor and the preview. The window shows the
// message that belongs to the fault.
enum class SkinPictureFault { None, Extension, TooLarge, TooSmall };

// The file-name part's last dot onwards, ASCII letters upper-cased, must be ".BMP".
bool HasBmpExtension(const QString& path);
// The maximum is tested before the minimum: 700x50 is too large, a top-down bitmap too small.
SkinPictureFault CheckSkinPictureSize(const BitmapSize& size);
// The extension, then the size read from the file into size, then that the file holds all its pixel
// data. A file that cannot be read or is not whole throws ZelvakonError; with a wrong extension the
// file is not opened at all.
SkinPictureFault CheckSkinPictureFile(const QString& path, BitmapSize& size);
