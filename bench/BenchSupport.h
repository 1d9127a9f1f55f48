#pragma once
// Shared by the benchmarks: the median of a set of timings, incompressible archive bytes, and the
// process's resident memory.
#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <algorithm>
#include <vector>

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Random bytes, the same in every run, that no file system or cache layer can shrink.
inline bool WriteIncompressible(const QString& path, qint64 mib)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1 << 20, '\0');
    QRandomGenerator random(1);
    for (qint64 i = 0; i < mib; ++i) {
        random.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
        if (file.write(block) != block.size())
            return false;
    }
    return file.flush();
}

// A field of /proc/self/status in KiB (VmRSS: resident now, VmHWM: its peak); -1 when unreadable.
inline qint64 StatusKiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// The peak resident size starts again from the present one.
inline void ResetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}
