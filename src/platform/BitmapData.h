#pragma once
#include <QString>

class QIODevice;

// Whether a bitmap file holds everything its headers promise: the "BM" signature, an info header,
// and the whole colour table and pixel data where the header puts them. A picture shown from a file
// cut short shows leftover memory, and the extractor would show the same. Empty when sound,
// otherwise the Czech reason. Any bytes give an answer; only the headers are read.
QString BitmapDataFault(QIODevice& file, qint64 fileSize);
