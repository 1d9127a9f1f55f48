#include "TestEnv.h"
#include "Progress.h"
#include <QSignalSpy>
#include "Error.h"
#include "Forms.h"
#include "Paths.h"
#include <QDir>
#include <QToolButton>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QLabel>
#include <QCheckBox>
#include <QFile>
#include <QtEndian>
#include <QTest>

QString FakeSettings::LoadWinRarPath()
{
    if (Stored.isEmpty()) {
        Stored = DefaultWinRarPath();
        ++Writes;
    }
    return Stored;
}

void FakeSettings::StoreWinRarPath(const QString& path)
{
    if (FailWrites)
        throw ZelvakonError(QStringLiteral("Hodnotu WinRARexe nelze uložit"));
    Stored = path;
    ++Writes;
}

TestEnv::TestEnv()
{
    ProgramFolder = QDir::toNativeSeparators(Dir.path() + QStringLiteral("/Program"));
    QDir().mkpath(ProgramFolder);
    Services.Dlg = &Dlg;
    Services.Settings = &Settings;
    Services.Help = &Help;
    Services.ProgramFolder = ProgramFolder;
}

TestEnv::~TestEnv() { Main.reset(); }

TMainForm* TestEnv::Start()
{
    Main = std::make_unique<TMainForm>(Services);
    CreateForms(Main.get());
    Main->show();
    Main->activateWindow();
    // As at a real start: the window is shown and painted before anything else happens.
    if (QTest::qWaitForWindowExposed(Main.get()))
        QCoreApplication::sendPostedEvents();
    if (Main->ActivatePending) {
        // Offscreen windows are not always activated by the platform: run the activation directly.
        Main->ActivatePending = false;
        Main->FormActivate();
    }
    return Main.get();
}

namespace {

template <typename T>
T* Control(const QWidget* main, const char* name)
{
    T* control = main->findChild<T*>(QLatin1String(name));
    if (!control)
        qFatal("no control %s in the main window", name);
    return control;
}

}  // namespace

PageControls Ui(const QWidget* main)
{
#define CONTROL(name) Control<std::remove_pointer_t<decltype(PageControls::name)>>(main, #name)
    return {CONTROL(TitleEdit),   CONTROL(SpaceEdit),    CONTROL(Dir2AddEdit), CONTROL(Dir2AddBtn),
            CONTROL(TarDirEdit),  CONTROL(TarDirBtn),    CONTROL(RAREdit),     CONTROL(SpeedButton3),
            CONTROL(ReadMemo),    CONTROL(LoadBtn),      CONTROL(ClearBtn),    CONTROL(BkMusicEdit),
            CONTROL(BkMusicBtn),  CONTROL(TestBtn),      CONTROL(StopBtn),     CONTROL(SkinEdit),
            CONTROL(SkinBtn),     CONTROL(SetBtn),       CONTROL(PrevBtn),     CONTROL(RunChBox),
            CONTROL(ProgNameLabel), CONTROL(ProgNameEdit), CONTROL(CmLineLabel), CONTROL(CmLineEdit),
            CONTROL(AskChBox)};
#undef CONTROL
}

PageControls Ui(const std::unique_ptr<TMainForm>& main) { return Ui(main.get()); }

QString TestEnv::Path(const QString& relative) const { return Paths::Join(ProgramFolder, relative); }

int RunArchiveWindow(QObject* window, const std::function<void(TArchiveForm*)>& whileRunning)
{
    auto* form = qobject_cast<TArchiveForm*>(window);
    if (!form)
        return -1;
    QSignalSpy ended(form, &TArchiveForm::RunEnded);
    form->show();
    if (whileRunning)
        whileRunning(form);
    if (!QTest::qWaitFor([&] { return ended.count() > 0 && !form->isVisible(); }, 60000))
        return -2;
    return form->result();
}

void TypeText(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

QByteArray Pattern(int size, char seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(uint(seed) + uint(i) * 13u + uint(i) / 509u);  // wraps on purpose
    return bytes;
}

QByteArray BitmapBytes(qint32 width, qint32 height, int size)
{
    const qint64 rows = qAbs(qint64(height)) * ((qint64(width) + 31) / 32 * 4);
    const int offBits = 14 + 40 + 8;  // two palette entries
    QByteArray bytes(offBits, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    qToLittleEndian<qint32>(offBits, bytes.data() + 10);
    qToLittleEndian<qint32>(40, bytes.data() + 14);
    qToLittleEndian<qint32>(width, bytes.data() + 18);
    qToLittleEndian<qint32>(height, bytes.data() + 22);
    qToLittleEndian<quint16>(1, bytes.data() + 26);
    qToLittleEndian<quint16>(1, bytes.data() + 28);
    qToLittleEndian<quint32>(0x00FFFFFF, bytes.data() + offBits - 4);
    // A picture whose rows would not fit in memory is refused for its size before its pixels are read.
    const qint64 pixels = rows > (qint64(1) << 26) ? size - offBits : qMax<qint64>(rows, size - offBits);
    bytes += Pattern(int(pixels), 'b');
    qToLittleEndian<qint32>(qint32(bytes.size()), bytes.data() + 2);
    return bytes;
}
