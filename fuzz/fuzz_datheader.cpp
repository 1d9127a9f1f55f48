// The data file's header check, which the inspector runs before it trusts any offset: any bytes and any
// file size give an answer, never a fault, and an accepted header describes a layout inside the file.
#include "DatFormat.h"
#include <QBuffer>
#include <QtEndian>
#include <cstdlib>

namespace {

void Check(const QByteArray& bytes, qint64 fileSize)
{
    const DatCheck check = VerifyDatHeader(bytes, fileSize);
    QByteArray copy = bytes;
    QBuffer device(&copy);
    device.open(QIODevice::ReadOnly);
    const DatCheck fromDevice = VerifyDatHeader(device, fileSize);
    if (check.Ok != fromDevice.Ok || check.Error.isEmpty() == !check.Ok)
        std::abort();
    if (!check.Ok)
        return;
    const DatLayout& l = check.Layout;
    // The header read is the header written: the bytes come back from Serialise.
    if (l.Header.Serialise() != bytes.left(DatFormat::HeaderSize) || !(fromDevice.Layout.Header == l.Header))
        std::abort();
    qint64 at = DatFormat::HeaderSize;
    const auto lengths = l.Header.TextLengths;
    for (size_t i = 0; i < lengths.size(); ++i) {
        if (lengths[i] < 0 || l.TextOffsets[i] != at)
            std::abort();
        at += lengths[i];
    }
    const auto sizes = l.Header.PartSizes;
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (sizes[i] < 0 || l.PartOffsets[i] != at)
            std::abort();
        at += sizes[i];
    }
    if (l.UnrarOffset != at || l.UnrarSize < 0 || l.UnrarOffset + l.UnrarSize != fileSize || fileSize != l.FileSize)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // The bytes as a whole file, and as the start of a file whose size the last 8 bytes give.
    Check(bytes, bytes.size());
    if (size >= DatFormat::HeaderSize + 8) {
        const qint64 claimed = qFromLittleEndian<qint64>(data + size - 8);
        Check(bytes.left(qsizetype(size) - 8), claimed);
    }
    return 0;
}
