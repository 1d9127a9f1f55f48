#include "FileCopy.h"
#include "TestEnv.h"
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray Pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 31 + i / 97);
    return bytes;
}

}  // namespace

class TestFileCopy : public QObject {
    Q_OBJECT
private slots:
    void copiesBehindWhatTheTargetHolds_data();
    void copiesBehindWhatTheTargetHolds();
};

void TestFileCopy::copiesBehindWhatTheTargetHolds_data()
{
    QTest::addColumn<QString>("sourceFolder");  // empty: beside the target
    QTest::newRow("same file system, copied in the kernel") << QString();
    // Where the kernel cannot copy between file systems, the buffer takes over.
    const QStorageInfo shm(QStringLiteral("/dev/shm"));
    if (shm.isValid() && shm.device() != QStorageInfo(QDir::tempPath()).device())
        QTest::newRow("across file systems") << QStringLiteral("/dev/shm");
}

void TestFileCopy::copiesBehindWhatTheTargetHolds()
{
    QFETCH(QString, sourceFolder);
    QTemporaryDir dir;
    QTemporaryDir other(sourceFolder.isEmpty() ? QDir::tempPath() + QStringLiteral("/x-XXXXXX")
                                               : sourceFolder + QStringLiteral("/x-XXXXXX"));
    const QByteArray part = Pattern(100000);
    WriteBytes(other.path() + QStringLiteral("/part"), part);
    QFile source(other.path() + QStringLiteral("/part"));
    QVERIFY(source.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
    QFile target(dir.path() + QStringLiteral("/target"));
    QVERIFY(target.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    QCOMPARE(target.write("head"), qint64(4));
    {
        ChunkCopy copy(source, target);
        QCOMPARE(copy.Copy(40196), ChunkCopy::Result::Copied);
        QCOMPARE(copy.Copy(40196), ChunkCopy::Result::Copied);
        QCOMPARE(copy.Copy(19608), ChunkCopy::Result::Copied);
    }
    // The target's own writes go on behind the copied bytes.
    QCOMPARE(target.pos(), qint64(100004));
    QCOMPARE(target.write("tail"), qint64(4));
    target.close();
    QCOMPARE(ReadBytes(target.fileName()), QByteArray("head") + part + "tail");
}

QTEST_GUILESS_MAIN(TestFileCopy)
#include "tst_filecopy.moc"
