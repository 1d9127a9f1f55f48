#include "Datfile.h"
#include "Codec.h"
#include "DatFormat.h"
#include "FileCopy.h"
#include "Files.h"
#include "Paths.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

namespace {

bool FileExists(const QString& path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

// A part that exists but cannot be opened counts as empty here; appending it then fails at its step.
qint64 MeasuredSize(const QString& path) { return FileExists(path) ? qMax<qint64>(FileSizeOf(path), 0) : 0; }

// Label texts name files without their folders: the progress window has two short lines.
QString TooLarge(const QString& what, const QString& path)
{
    return QStringLiteral("%1 %2 má 2 GiB nebo víc, to datový soubor nepojme.").arg(what, Paths::FileNameOf(path));
}

}  // namespace

DatFileWriter::DatFileWriter(DatFileInputs inputs, DatFileReport report)
    : In(std::move(inputs)), Report(std::move(report)), MusicName(Paths::FileNameOf(In.Hudba))
{
}

DatFileWriter::~DatFileWriter() = default;

QString DatFileWriter::DataFilePath() const
{
    return Paths::Join(In.Vystup, In.JmenoDat + QStringLiteral(".dat"));
}

QString DatFileWriter::ExePath() const { return Paths::Join(In.Vystup, In.JmenoInst + QStringLiteral(".exe")); }

bool DatFileWriter::Stopping() const { return Report.StopRequested && Report.StopRequested(); }

qint64 DatFileWriter::Chunk() const { return Report.ChunkBytes > 0 ? Report.ChunkBytes : DatFormat::ChunkSize; }

bool DatFileWriter::GoOn()
{
    if (Failed || Cancelled)
        return false;
    if (Stopping())
        Cancelled = true;
    return !Cancelled;
}

void DatFileWriter::ShowPartSize(qint32 size)
{
    PartSize = size;
    if (Report.ShowPartSize)
        Report.ShowPartSize(PartSize);
}

void DatFileWriter::ShowProgress()
{
    if (Report.ShowProgress)
        Report.ShowProgress(StatusText, BytesAppended);
}

void DatFileWriter::ReportFailure(const QString& message)
{
    BytesAppended = 0;
    StatusText = QStringLiteral("Chyba: ") + message;
    ShowProgress();
    Failed = true;
}

bool DatFileWriter::WriteAll(const char* data, qint64 size)
{
    // A short write (the disk filling up) reports no error; the next write of the rest does, with
    // the reason the label shows.
    for (qint64 done = 0; done < size;) {
        const qint64 n = Dat->write(data + done, size - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

void DatFileWriter::ReportWriteFailure()
{
    WriteFailed = true;
    const QString reason = WriteError.isEmpty() ? Dat->errorString() : WriteError;
    ReportFailure(QStringLiteral("Do datového souboru %1 nelze zapisovat: %2.")
                      .arg(Paths::FileNameOf(DataFilePath()), reason));
}

DatFileWriter::Copied DatFileWriter::CopyChunks(QFile& source, qint64 size)
{
    ChunkCopy copy(source, *Dat);
    qint64 done = 0;
    while (done < size) {
        const qint64 want = qMin<qint64>(Chunk(), size - done);
        switch (copy.Copy(want)) {
        case ChunkCopy::Result::Copied:
            break;
        case ChunkCopy::Result::ReadFailed:
            return Copied::ReadFailed;  // an error, or the part shrank under us
        case ChunkCopy::Result::WriteFailed:
            WriteError = copy.ErrorText();
            return Copied::WriteFailed;
        }
        done += want;
        BytesAppended = qint32(done);
        ShowProgress();
        if (done < size && Stopping())
            return Copied::Stopped;
    }
    return Copied::All;
}

bool DatFileWriter::AppendFile(const QString& path, qint64 measuredSize, const QString& failureMessage)
{
    QFile part(path);
    if (!part.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        ReportFailure(failureMessage);
        return false;
    }
    // The header already holds the measured size: a part that changed since would corrupt the file.
    const qint64 size = part.size();
    if (size != measuredSize) {
        ReportFailure(failureMessage);
        return false;
    }
    ShowPartSize(qint32(size));
    const Copied copied = CopyChunks(part, size);
    BytesAppended = 0;
    switch (copied) {
    case Copied::All:
        return true;
    case Copied::ReadFailed:
        ReportFailure(failureMessage);
        return false;
    case Copied::WriteFailed:
        ReportWriteFailure();
        return false;
    case Copied::Stopped:
        Cancelled = true;
        return false;
    }
    return false;
}

bool DatFileWriter::AppendStream(std::unique_ptr<QByteArray>& buffer)
{
    ShowPartSize(qint32(buffer->size()));
    qint64 done = 0;
    const qint64 size = buffer->size();
    bool ok = true;
    while (done < size) {
        const qint64 want = qMin<qint64>(Chunk(), size - done);
        if (!WriteAll(buffer->constData() + done, want)) {
            ok = false;
            break;
        }
        done += want;
        BytesAppended = qint32(done);
        ShowProgress();
        if (done < size && Stopping()) {
            Cancelled = true;
            break;
        }
    }
    buffer.reset();
    BytesAppended = 0;
    if (!ok)
        ReportWriteFailure();
    return ok && !Cancelled;
}

void DatFileWriter::Cancel()
{
    // A stopped build leaves nothing half-written behind.
    Cancelled = true;
    if (Dat) {
        Dat->close();
        Dat->remove();
    }
    BytesAppended = 0;
    StatusText = QStringLiteral("Sestavování bylo přerušeno.");
    ShowProgress();
}

DatFileOutcome DatFileWriter::Execute()
{
    const QString archive = Paths::Join(In.ProjectFolder, QStringLiteral("archiv.rar"));
    const QString unrar =
        Paths::Join(In.UnrarFolder.isEmpty() ? In.ProgramFolder : In.UnrarFolder, QStringLiteral("Unrar.dll"));
    const QString extractor = Paths::Join(In.ExtractorFolder.isEmpty() ? In.ProgramFolder : In.ExtractorFolder,
                                          QStringLiteral("Vorvanex.exe"));
    const bool hasPicture = !In.Obrazek.isEmpty();
    const bool hasMusic = !MusicName.isEmpty();

    // 1. Measure the parts.
    const qint64 archiveSize = MeasuredSize(archive);
    const qint64 pictureSize = hasPicture ? MeasuredSize(In.Obrazek) : 0;
    const qint64 musicSize = hasMusic ? MeasuredSize(In.Hudba) : 0;
    // A size field cannot hold 2 GiB: refuse before writing anything rather than record a wrapped size.
    if (archiveSize > DatFormat::MaxPartSize) {
        ReportFailure(TooLarge(QStringLiteral("Archiv"), archive));
        return DatFileOutcome::Failed;
    }
    if (pictureSize > DatFormat::MaxPartSize) {
        ReportFailure(TooLarge(QStringLiteral("Soubor s obrázkem"), In.Obrazek));
        return DatFileOutcome::Failed;
    }
    if (musicSize > DatFormat::MaxPartSize) {
        ReportFailure(TooLarge(QStringLiteral("Soubor s hudbou"), In.Hudba));
        return DatFileOutcome::Failed;
    }
    const QByteArray texts[DatFormat::TextCount] = {
        Codec::ToWin1250(In.Nazev),
        Codec::ToWin1250(In.DiskMisto),
        Codec::ToWin1250(In.CilAdr),
        Codec::ToWin1250(MusicName),
        In.SpustitPrg ? Codec::ToWin1250(In.NazevProg) : QByteArray(),
        In.SpustitPrg ? Codec::ToWin1250(In.PrikRadka) : QByteArray(),
    };
    DatHeader header;
    header.ArchiveSize = qint32(archiveSize);
    header.PictureSize = qint32(pictureSize);
    header.MusicSize = qint32(musicSize);
    header.ReadmeSize = In.ReadmeStream ? qint32(In.ReadmeStream->size()) : 0;
    header.RegistrySize = In.RegIniStream ? qint32(In.RegIniStream->size()) : 0;
    header.TitleLength = qint32(texts[0].size());
    header.SpaceLength = qint32(texts[1].size());
    header.TargetLength = qint32(texts[2].size());
    header.MusicNameLength = qint32(texts[3].size());
    header.ProgNameLength = qint32(texts[4].size());
    header.CmdLineLength = qint32(texts[5].size());
    header.AskFlag = In.SpustitPrg && In.Zeptat ? 1 : 0;
    header.Rozbal = In.Rozbal;
    header.Readme = In.Readme;
    header.Konec = In.Konec;

    if (!GoOn()) {
        Cancel();
        return DatFileOutcome::Cancelled;
    }

    // 2. Create the data file, replacing any of that name.
    Dat = std::make_unique<QFile>(DataFilePath());
    if (!Dat->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        ReportFailure(QStringLiteral("Datový soubor %1 nelze vytvořit: %2.")
                          .arg(Paths::FileNameOf(DataFilePath()), Dat->errorString()));
        Dat.reset();
        return DatFileOutcome::Failed;
    }

    // 3. Header and texts in one write.
    QByteArray head = header.Serialise();
    for (const QByteArray& text : texts)
        head += text;
    if (!WriteAll(head.constData(), head.size()))
        ReportWriteFailure();
    // Every later step also checks for an earlier failure and for the stop request.

    // 4. The archive.
    StatusText = QStringLiteral("Připojuji archiv...");
    if (GoOn()) {
        if (FileExists(archive))
            AppendFile(archive, archiveSize, QStringLiteral("Chyba při připojování archivu."));
        else
            ReportFailure(QStringLiteral("Archiv nelze otevřít."));
    }

    // 5. The picture.
    StatusText = QStringLiteral("Připojuji soubor s obrázkem...");
    if (GoOn() && hasPicture) {
        if (!FileExists(In.Obrazek))
            ReportFailure(QStringLiteral("Soubor s obrázkem nelze otevřít."));
        else
            AppendFile(In.Obrazek, pictureSize, QStringLiteral("Chyba při připojování souboru s obrázkem."));
    }

    // 6. The music.
    StatusText = QStringLiteral("Připojuji soubor s hudbou...");
    if (GoOn() && hasMusic) {
        if (!FileExists(In.Hudba))
            ReportFailure(QStringLiteral("Soubor s hudbou nelze otevřít."));
        else
            AppendFile(In.Hudba, musicSize, QStringLiteral("Chyba při připojování souboru s hudbou."));
    }

    // 7. and 8. The side texts; an absent or empty one is not appended.
    StatusText = QStringLiteral("Připojuji soubor Readme.nfo...");
    if (GoOn() && header.ReadmeSize != 0)
        AppendStream(In.ReadmeStream);
    StatusText = QStringLiteral("Připojuji soubor Reg.ini...");
    if (GoOn() && header.RegistrySize != 0)
        AppendStream(In.RegIniStream);

    // 9. Unrar.dll to the end of the file.
    StatusText = QStringLiteral("Připojuji soubor Unrar.dll...");
    if (GoOn()) {
        if (FileExists(unrar))
            AppendFile(unrar, MeasuredSize(unrar), QStringLiteral("Chyba při připojování souboru Unrar.dll."));
        else
            ReportFailure(QStringLiteral("Soubor Unrar.dll nelze otevřít."));
    }

    // 10. The extractor beside the data file.
    StatusText = QStringLiteral("Kopíruji spustitelný soubor instalace...");
    if (GoOn()) {
        if (FileExists(extractor)) {
            const QString exe = ExePath();
            if (QFileInfo::exists(exe))
                QFile::remove(exe);
            if (!QFile::copy(extractor, exe))
                ReportFailure(QStringLiteral("Chyba při kopírování spustitelného souboru instalace."));
        } else {
            ReportFailure(QStringLiteral("Vorvanex.exe nelze otevřít."));
        }
    }

    if (Cancelled) {
        Cancel();
        return DatFileOutcome::Cancelled;
    }

    // 11. and 12.
    Dat->close();
    if (Failed) {
        // A file cut short by a full disk can still carry a sound header (Unrar.dll has no size field),
        // and it holds the space that ran out: it goes. Other failures leave the file as written.
        if (WriteFailed)
            Dat->remove();
        return DatFileOutcome::Failed;
    }

    // 13. and 14.
    QFile::remove(archive);
    StatusText = QStringLiteral("Hotovo.");
    ShowProgress();
    return DatFileOutcome::Done;
}

TDatFileThread::TDatFileThread(DatFileInputs inputs, DatFileProgress* progress)
    : Progress(progress), Writer(std::move(inputs), MakeReport())
{
    // This object lives on the GUI thread: its end-of-run handler runs there, after run() has returned.
    connect(this, &QThread::finished, this, [this] {
        if (Progress)
            Progress->ThreadDone();
        deleteLater();
    });
    start();
}

TDatFileThread::~TDatFileThread() = default;

DatFileReport TDatFileThread::MakeReport()
{
    DatFileReport report;
    report.ShowPartSize = [this](qint32 size) { CallProgress([size](DatFileProgress* p) { p->ShowPartSize(size); }); };
    report.ShowProgress = [this](const QString& status, qint32 appended) {
        // The writer waits inside the call, so its status text may be read by reference.
        CallProgress([&status, appended](DatFileProgress* p) { p->ShowProgress(status, appended); });
    };
    report.StopRequested = [this] { return isInterruptionRequested(); };
    return report;
}

void TDatFileThread::CallProgress(const std::function<void(DatFileProgress*)>& call)
{
    QMetaObject::invokeMethod(
        this,
        [this, &call] {
            if (Progress)
                call(Progress);
        },
        Qt::BlockingQueuedConnection);
}

void TDatFileThread::run() { Writer.Execute(); }

void TDatFileThread::StopAndWait()
{
    requestInterruption();
    // The writer may be waiting in a blocking call on this object: serve those calls, nothing else.
    while (!wait(QDeadlineTimer(5)))
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}
