#pragma once
#include "DatFormat.h"
#include "Project.h"
#include <QByteArray>
#include <QLockFile>
#include <QString>
#include <QThread>
#include <functional>
#include <memory>

class QFile;

// Held by a build on its data file from before the archiver runs until the writer ends, so that a
// second build of the same target is refused instead of mixing its bytes into the first one's.
// Advisory: a lock file beside the data file, released by its owner or found stale once that
// process has gone. Nothing when another build holds the target.
using DataFileLock = QLockFile;
std::unique_ptr<DataFileLock> TakeDataFileLock(const QString& dataFilePath);

// <Vystup>/<JmenoDat>.dat, as the writer names it.
QString DataFilePathOf(const QString& vystup, const QString& jmenoDat);

// Everything the data file writer needs, copied when the build hands over, so that the writer never
// reads the main window while it runs. The two side texts are taken over: whoever holds the inputs
// owns them, and the writer releases each once it has been appended.
struct DatFileInputs {
    // Where Unrar.dll and Vorvanex.exe are taken from: the program's folder, or a per-user folder of an
    // installed copy.
    QString UnrarFolder;
    QString ExtractorFolder;
    QString ProjectFolder;  // archiv.rar
    ::Project Project;      // its paths as the build resolved them
    std::unique_ptr<QByteArray> RegIniStream;
    std::unique_ptr<QByteArray> ReadmeStream;
    std::unique_ptr<DataFileLock> Lock;  // released when the writer ends
    qint64 PartLimit = DatFormat::MaxPartSize;  // the largest part a size field records; tests lower it
};

// How the writer reports. Called on the writer's own thread, one ShowProgress per chunk.
struct DatFileReport {
    std::function<void(qint32 partSize)> ShowPartSize;
    std::function<void(const QString& status, qint32 bytesAppended)> ShowProgress;
    std::function<bool()> StopRequested;  // consulted between chunks and between steps
    // The bytes of a chunk. The progress window moves by the format's chunk; a caller without a
    // window may take larger ones, so that the kernel copies each part in few calls. The bytes
    // written are the same whatever the chunk.
    qint64 ChunkBytes = DatFormat::ChunkSize;
};

enum class DatFileOutcome { Done, Failed, Cancelled };

// Writes <Vystup>/<JmenoDat>.dat and copies the extractor to <Vystup>/<JmenoInst>.exe, streaming every
// part in chunks; no part is ever held whole apart from the two side texts. Both go to temporary files
// in the output folder and are renamed over their targets only when whole (a link of that name is
// replaced, never written through); a build that fails or stops leaves the earlier files as they were.
class DatFileWriter {
public:
    DatFileWriter(DatFileInputs inputs, DatFileReport report);
    ~DatFileWriter();

    DatFileOutcome Execute();

    QString DataFilePath() const;
    QString ExePath() const;

private:
    void Write();
    bool Stopping() const;
    qint64 Chunk() const;
    // Each step starts with its status text and ends the build when a stop was asked for.
    void Step(const QString& status);
    void ShowProgress();
    // Shows the failure and ends the build.
    [[noreturn]] void Fail(const QString& message);
    [[noreturn]] void FailWrite(const QString& reason);
    void WriteAll(const char* data, qint64 size);
    void AppendChunks(qint64 size, const std::function<void(qint64 done, qint64 want)>& copyChunk);
    void AppendPart(const QString& status, bool wanted, const QString& path, qint64 measuredSize,
                    const QString& openFailure, const QString& appendFailure);
    // An absent or empty text is not appended.
    void AppendStream(const QString& status, std::unique_ptr<QByteArray>& buffer);
    void CopyExtractor(const QString& extractor);
    void Discard();  // removes the temporary files

    DatFileInputs In;
    DatFileReport Report;
    QString MusicName;
    std::unique_ptr<QFile> Dat;  // the temporary data file
    std::unique_ptr<QFile> Exe;  // the temporary installer copy
    QString StatusText;
    qint32 BytesAppended = 0;
};

// The progress window, as the writer thread sees it. Implemented by the window; every call runs on the
// GUI thread while the writer waits.
class DatFileProgress {
public:
    virtual ~DatFileProgress() = default;
    virtual void ShowPartSize(qint32 partSize) = 0;
    virtual void ShowProgress(const QString& status, qint32 position) = 0;
    virtual void ThreadDone() = 0;  // after the writer has ended, whatever the outcome
};

// The writer on a thread of its own. It starts in its constructor, calls the progress window once per
// chunk with a blocking queued call, ends with ThreadDone on the GUI thread and deletes itself.
// The stop request is QThread::requestInterruption().
class TDatFileThread final : public QThread {
    Q_OBJECT
public:
    TDatFileThread(DatFileInputs inputs, DatFileProgress* progress);

    // GUI thread: no more calls reach the progress window (it is going away).
    void Detach() { Progress = nullptr; }
    // GUI thread: asks the writer to stop and waits for it without running the event loop, serving
    // only the writer's own pending calls. The object may be deleted afterwards.
    void StopAndWait();

protected:
    void run() override;

private:
    DatFileReport MakeReport();
    void CallProgress(const std::function<void(DatFileProgress*)>& call);

    DatFileProgress* Progress;  // read on the GUI thread only
    DatFileWriter Writer;
};
