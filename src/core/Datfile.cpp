#include "Datfile.h"
#include "AtomicFile.h"
#include "Codec.h"
#include "Error.h"
#include "RegularFile.h"
#include "FileCopy.h"
#include "Paths.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

std::unique_ptr<DataFileLock> TakeDataFileLock(const QString& dataFilePath)
{
    auto lock = std::make_unique<QLockFile>(Paths::Join(Paths::FolderOf(dataFilePath),
                                                        QLatin1Char('.') + Paths::FileNameOf(dataFilePath))
                                            + QStringLiteral(".lock"));
    // A build may run for many minutes: only a lock whose process has gone is stale.
    lock->setStaleLockTime(0);
    return lock->tryLock(0) ? std::move(lock) : nullptr;
}

QString DataFilePathOf(const QString& vystup, const QString& jmenoDat)
{
    return Paths::Join(vystup, jmenoDat + QStringLiteral(".dat"));
}

namespace {

bool FileExists(const QString& path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

// A part that exists but cannot be opened counts as empty here; appending it then fails at its step.
qint64 MeasuredSize(const QString& path) { return FileExists(path) ? QFileInfo(path).size() : 0; }

// Label texts name files without their folders: the progress window has two short lines.
QString TooLarge(const QString& what, const QString& path)
{
    return QStringLiteral("%1 %2 má 2 GiB nebo víc, to datový soubor nepojme.").arg(what, Paths::FileNameOf(path));
}

}  // namespace

DatFileWriter::DatFileWriter(DatFileInputs inputs, DatFileReport report)
    : In(std::move(inputs)), Report(std::move(report)), MusicName(Paths::FileNameOf(In.Project.Hudba))
{
}

DatFileWriter::~DatFileWriter() = default;

QString DatFileWriter::DataFilePath() const { return DataFilePathOf(In.Project.Vystup, In.Project.JmenoDat); }

QString DatFileWriter::ExePath() const { return Paths::Join(In.Project.Vystup, In.Project.JmenoInst + QStringLiteral(".exe")); }

bool DatFileWriter::Stopping() const { return Report.StopRequested && Report.StopRequested(); }

qint64 DatFileWriter::Chunk() const { return Report.ChunkBytes > 0 ? Report.ChunkBytes : DatFormat::ChunkSize; }

void DatFileWriter::Step(const QString& status)
{
    StatusText = status;
    if (Stopping())
        throw DatFileOutcome::Cancelled;
}

void DatFileWriter::ShowProgress()
{
    if (Report.ShowProgress)
        Report.ShowProgress(StatusText, BytesAppended);
}

void DatFileWriter::Fail(const QString& message)
{
    BytesAppended = 0;
    StatusText = QStringLiteral("Chyba: ") + message;
    ShowProgress();
    throw DatFileOutcome::Failed;
}

void DatFileWriter::WriteAll(const char* data, qint64 size)
{
    // A short write (the disk filling up) reports no error; the next write of the rest does, with
    // the reason the label shows.
    for (qint64 done = 0; done < size;) {
        const qint64 n = Dat->write(data + done, size - done);
        if (n <= 0)
            FailWrite(SystemErrorText(Dat->errorString()));
        done += n;
    }
}

void DatFileWriter::FailWrite(const QString& reason)
{
    Fail(QStringLiteral("Do datového souboru %1 nelze zapisovat: %2.").arg(Paths::FileNameOf(DataFilePath()), reason));
}

void DatFileWriter::AppendChunks(qint64 size, const std::function<void(qint64 done, qint64 want)>& copyChunk)
{
    if (Report.ShowPartSize)
        Report.ShowPartSize(qint32(size));
    for (qint64 done = 0; done < size;) {
        const qint64 want = qMin<qint64>(Chunk(), size - done);
        copyChunk(done, want);
        done += want;
        BytesAppended = qint32(done);
        ShowProgress();
        if (done < size && Stopping())
            throw DatFileOutcome::Cancelled;
    }
    BytesAppended = 0;
}

void DatFileWriter::AppendPart(const QString& status, bool wanted, const QString& path, qint64 measuredSize,
                               const QString& openFailure, const QString& appendFailure)
{
    Step(status);
    if (!wanted)
        return;
    QFile part;
    if (!FileExists(path))
        Fail(openFailure);
    // The header already holds the measured size: a part that changed since would corrupt the file.
    if (!OpenRegularFile(part, path, QIODevice::Unbuffered).isEmpty() || part.size() != measuredSize)
        Fail(appendFailure);
    ChunkCopy copy(part, *Dat);
    AppendChunks(measuredSize, [&](qint64, qint64 want) {
        const ChunkCopy::Result result = copy.Copy(want);
        if (result == ChunkCopy::Result::WriteFailed)
            FailWrite(copy.ErrorText());
        if (result == ChunkCopy::Result::ReadFailed)
            Fail(appendFailure);  // an error, or the part shrank under us
    });
}

void DatFileWriter::AppendStream(const QString& status, std::unique_ptr<QByteArray>& buffer)
{
    Step(status);
    const std::unique_ptr<QByteArray> text = std::move(buffer);  // released once appended
    if (text && !text->isEmpty())
        AppendChunks(text->size(),
                     [this, &text](qint64 done, qint64 want) { WriteAll(text->constData() + done, want); });
}

void DatFileWriter::CopyExtractor(const QString& extractor)
{
    Step(QStringLiteral("Kopíruji spustitelný soubor instalace..."));
    if (!FileExists(extractor))
        Fail(QStringLiteral("Vorvanex.exe nelze otevřít."));
    const QString failure = QStringLiteral("Chyba při kopírování spustitelného souboru instalace.");
    QFile source;
    if (!OpenRegularFile(source, extractor, QIODevice::Unbuffered).isEmpty())
        Fail(failure);
    QString error;
    Exe = CreateTemporaryBeside(ExePath(), error);
    if (!Exe)
        Fail(failure);
    ChunkCopy copy(source, *Exe);
    const qint64 size = source.size();
    for (qint64 done = 0; done < size; done += Chunk())
        if (copy.Copy(qMin<qint64>(Chunk(), size - done)) != ChunkCopy::Result::Copied)
            Fail(failure);
    // As a copy of the file would: the extractor's permissions go with it.
    Exe->setPermissions(source.permissions());
}

void DatFileWriter::Discard()
{
    for (std::unique_ptr<QFile>* file : {&Dat, &Exe}) {
        if (*file) {
            (*file)->close();
            (*file)->remove();
            file->reset();
        }
    }
}

DatFileOutcome DatFileWriter::Execute()
{
    DatFileOutcome outcome = DatFileOutcome::Done;
    // A failure or a stop ends the writing at once: thrown as the outcome, once the failure is shown.
    try {
        Write();
    } catch (DatFileOutcome ended) {
        outcome = ended;
        Discard();
    }
    if (outcome == DatFileOutcome::Cancelled) {
        // A stopped build leaves nothing half-written behind.
        BytesAppended = 0;
        StatusText = QStringLiteral("Sestavování bylo přerušeno.");
        ShowProgress();
    }
    In.Lock.reset();
    return outcome;
}

void DatFileWriter::Write()
{
    const QString archive = Paths::Join(In.ProjectFolder, QStringLiteral("archiv.rar"));
    const QString unrar = Paths::Join(In.UnrarFolder, QStringLiteral("Unrar.dll"));
    const QString extractor = Paths::Join(In.ExtractorFolder, QStringLiteral("Vorvanex.exe"));
    const bool hasPicture = !In.Project.Obrazek.isEmpty();
    const bool hasMusic = !MusicName.isEmpty();

    // 1. Measure the parts.
    const qint64 archiveSize = MeasuredSize(archive);
    const qint64 pictureSize = hasPicture ? MeasuredSize(In.Project.Obrazek) : 0;
    const qint64 musicSize = hasMusic ? MeasuredSize(In.Project.Hudba) : 0;
    const qint64 readmeSize = In.ReadmeStream ? In.ReadmeStream->size() : 0;
    const qint64 registrySize = In.RegIniStream ? In.RegIniStream->size() : 0;
    // A size field cannot hold 2 GiB: refuse before writing anything rather than record a wrapped size.
    const std::pair<qint64, QString> measured[DatFormat::PartCount] = {
        {archiveSize, TooLarge(QStringLiteral("Archiv"), archive)},
        {pictureSize, TooLarge(QStringLiteral("Soubor s obrázkem"), In.Project.Obrazek)},
        {musicSize, TooLarge(QStringLiteral("Soubor s hudbou"), In.Project.Hudba)},
        {readmeSize, QStringLiteral("Text Readme.nfo má 2 GiB nebo víc, to datový soubor nepojme.")},
        {registrySize, QStringLiteral("Text Reg.ini má 2 GiB nebo víc, to datový soubor nepojme.")},
    };
    DatHeader header;
    for (size_t i = 0; i < DatFormat::PartCount; ++i) {
        if (measured[i].first > In.PartLimit)
            Fail(measured[i].second);
        header.PartSizes[i] = qint32(measured[i].first);
    }
    const QByteArray texts[DatFormat::TextCount] = {
        Codec::ToWin1250(In.Project.Nazev),
        Codec::ToWin1250(In.Project.DiskMisto),
        Codec::ToWin1250(In.Project.CilAdr),
        Codec::ToWin1250(MusicName),
        In.Project.SpustitPrg ? Codec::ToWin1250(In.Project.NazevProg) : QByteArray(),
        In.Project.SpustitPrg ? Codec::ToWin1250(In.Project.PrikRadka) : QByteArray(),
    };
    for (size_t i = 0; i < DatFormat::TextCount; ++i)
        header.TextLengths[i] = qint32(texts[i].size());
    header.AskFlag = In.Project.SpustitPrg && In.Project.Zeptat ? 1 : 0;
    header.Rozbal = In.Project.Rozbal;
    header.Readme = In.Project.Readme;
    header.Konec = In.Project.Konec;

    if (Stopping())
        throw DatFileOutcome::Cancelled;

    // 2. Create the data file: a new temporary one, which replaces any of that name once whole. A
    // folder in the place of either file could never be replaced: refuse before writing.
    for (const QString& target : {DataFilePath(), ExePath()}) {
        const QFileInfo info(target);
        if (info.isDir() && !info.isSymLink())
            Fail(target == ExePath() ? QStringLiteral("Chyba při kopírování spustitelného souboru instalace.")
                                     : QStringLiteral("Datový soubor %1 nelze vytvořit: %2.")
                                           .arg(Paths::FileNameOf(target), SystemErrorText(EISDIR)));
    }
    QString createError;
    Dat = CreateTemporaryBeside(DataFilePath(), createError);
    if (!Dat)
        Fail(QStringLiteral("Datový soubor %1 nelze vytvořit: %2.")
                 .arg(Paths::FileNameOf(DataFilePath()), createError));

    // 3. Header and texts in one write.
    QByteArray head = header.Serialise();
    for (const QByteArray& text : texts)
        head += text;
    WriteAll(head.constData(), head.size());
    // Every later step also checks for the stop request.

    // 4. to 6. The archive, the picture and the music.
    AppendPart(QStringLiteral("Připojuji archiv..."), true, archive, archiveSize,
               QStringLiteral("Archiv nelze otevřít."), QStringLiteral("Chyba při připojování archivu."));
    AppendPart(QStringLiteral("Připojuji soubor s obrázkem..."), hasPicture, In.Project.Obrazek, pictureSize,
               QStringLiteral("Soubor s obrázkem nelze otevřít."),
               QStringLiteral("Chyba při připojování souboru s obrázkem."));
    AppendPart(QStringLiteral("Připojuji soubor s hudbou..."), hasMusic, In.Project.Hudba, musicSize,
               QStringLiteral("Soubor s hudbou nelze otevřít."),
               QStringLiteral("Chyba při připojování souboru s hudbou."));

    // 7. and 8. The side texts.
    AppendStream(QStringLiteral("Připojuji soubor Readme.nfo..."), In.ReadmeStream);
    AppendStream(QStringLiteral("Připojuji soubor Reg.ini..."), In.RegIniStream);

    // 9. Unrar.dll to the end of the file.
    AppendPart(QStringLiteral("Připojuji soubor Unrar.dll..."), true, unrar, MeasuredSize(unrar),
               QStringLiteral("Soubor Unrar.dll nelze otevřít."),
               QStringLiteral("Chyba při připojování souboru Unrar.dll."));

    // 10. The extractor beside the data file.
    CopyExtractor(extractor);

    // 11. and 12. Only whole files take the places of the old ones: the installer first, so that a
    // data file in place always has its installer beside it. A file cut short could still carry a
    // sound header (Unrar.dll has no size field), so a failed build leaves none.
    Dat->close();
    Exe->close();
    QString renameError;
    if (!ReplaceFile(Exe->fileName(), ExePath(), renameError))
        Fail(QStringLiteral("Spustitelný soubor instalace %1 nelze uložit: %2.")
                 .arg(Paths::FileNameOf(ExePath()), renameError));
    if (!ReplaceFile(Dat->fileName(), DataFilePath(), renameError))
        Fail(QStringLiteral("Datový soubor %1 nelze uložit: %2.").arg(Paths::FileNameOf(DataFilePath()), renameError));
    Dat.reset();
    Exe.reset();
    In.Lock.reset();  // before the end is reported: a new build of the target may start at once

    // 13. and 14.
    QFile::remove(archive);
    StatusText = QStringLiteral("Hotovo.");
    ShowProgress();
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
