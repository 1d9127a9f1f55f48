#pragma once
#include "BitmapData.h"
#include <QString>
#include <QtGlobal>

struct BitmapSize {
    qint32 Width = 0;
    qint32 Height = 0;
};

// Width and height of a bitmap file: signed 32-bit little-endian at byte offsets 18 and 22, taken as
// stored, with no signature test. A file that cannot be opened or is shorter than 26 bytes throws
// ZelvakonError naming the file.
BitmapSize GetBitmapSize(const QString& path);
// The same from an open device (the fuzz target reads from memory); name is the file named in errors.
class QIODevice;
BitmapSize GetBitmapSize(QIODevice& file, const QString& name);

// BitmapDataFault for a file; throws ZelvakonError naming the file when it cannot be read or is not whole.
void CheckBitmapData(const QString& path);
