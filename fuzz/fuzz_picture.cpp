// The picture reader on whole files, as the preview and the area editor read a title picture: the
// check that every byte the headers promise is there, then Qt's bitmap reader on a file it passed.
// Any bytes give a verdict, and a picture that passes decodes from bytes that are all there.
#include "BitmapData.h"
#include "Error.h"
#include "Files.h"
#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    if (!BitmapDataFault(buffer, bytes.size()).isEmpty())
        return 0;
    // A whole bitmap always has the header the size reader needs.
    try {
        buffer.seek(0);
        GetBitmapSize(buffer, QStringLiteral("fuzz.bmp"));
    } catch (const ZelvakonError&) {
        std::abort();
    }
    buffer.seek(0);
    QImageReader reader(&buffer, "bmp");
    const QImage image = reader.read();
    // Touch every pixel, so that the sanitizers see what the decoder left in the image.
    unsigned sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* line = image.constScanLine(y);
        for (qsizetype x = 0; x < image.bytesPerLine(); ++x)
            sum += line[x];
    }
    static volatile unsigned sink;
    sink = sum;
    return 0;
}
