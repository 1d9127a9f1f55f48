// The bitmap size reader: any bytes give a size or the error for a short file, never a fault.
#include "Error.h"
#include "Files.h"
#include <QBuffer>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        const BitmapSize s = GetBitmapSize(buffer, QStringLiteral("fuzz.bmp"));
        if (size < 26)
            std::abort();
        qint32 w = 0;
        std::memcpy(&w, data + 18, 4);
        if (s.Width != w)
            std::abort();
    } catch (const ZelvakonError&) {
        if (size >= 26)
            std::abort();
    }
    return 0;
}
