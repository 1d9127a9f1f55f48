#include "Application.h"
#include "Dir.h"
#include "Project.h"
#include "TestEnv.h"
#include "TimeBounds.h"
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

// Notes every appearance and paint of the wait window; it is made and destroyed inside one handler.
class WaitWindowSpy : public QObject {
public:
    WaitWindowSpy() { qApp->installEventFilter(this); }
    ~WaitWindowSpy() override { qApp->removeEventFilter(this); }
    QStringList Shown;  // the label's text at each showing
    int Paints = 0;
    // Run from the event loop once the window shows, while the measurement waits: what a user does then.
    std::function<void(TDirSizeForm*)> WhileShown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched->objectName() == QLatin1String("DirSizeForm")) {
            if (event->type() == QEvent::Show) {
                if (auto* label = watched->findChild<QLabel*>("Label1"))
                    Shown << label->text();
                if (auto act = std::exchange(WhileShown, nullptr)) {
                    QPointer<TDirSizeForm> form = static_cast<TDirSizeForm*>(watched);
                    QTimer::singleShot(0, [act, form] {
                        if (form)
                            act(form);
                    });
                }
            }
            if (event->type() == QEvent::Paint)
                ++Paints;
        }
        return false;
    }
};

// A folder holding the given number of bytes in two files, one of them hidden in a subfolder.
QString MakeFolder(const QString& parent, const QString& name, qint64 bytes)
{
    const QString folder = QDir::toNativeSeparators(parent + QLatin1Char('/') + name);
    QDir().mkpath(folder + "/.sub");
    WriteBytes(folder + "/a", QByteArray(bytes / 2, 'a'));
    WriteBytes(folder + "/.sub/b", QByteArray(bytes - bytes / 2, 'b'));
    return folder;
}

// A folder of 1 KB in three files and ten subfolders of 1 KB each, with a subfolder "sub" of 2 KB
// without subfolders: a walk slowed down per subfolder takes long on the folder, none on "sub".
QString MakeSlowFolder(const QString& parent)
{
    const QString folder = QDir::toNativeSeparators(parent + "/Data");
    QDir().mkpath(folder + "/sub");
    for (const char* name : {"a", "b", "c"})
        WriteBytes(folder + "/" + name, QByteArray(1024 / 3 + (name[0] == 'a' ? 1 : 0), 'x'));
    for (int i = 0; i < 10; ++i) {
        QDir().mkpath(folder + QString("/f%1").arg(i));
        WriteBytes(folder + QString("/f%1/x").arg(i), QByteArray(1024, 'x'));
    }
    WriteBytes(folder + "/sub/y", QByteArray(2048, 'y'));
    return folder;
}

// Keys as a user types them, with the event loop running between them as it does for a person.
void TypeSlowly(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        TypeText(widget, QString(c));
        QTest::qWait(5);
    }
}

int Accept(TDirForm* chooser, const QString& folder)
{
    chooser->SetDirectory(folder);
    return QDialog::Accepted;
}

QString Stripped(QString text) { return text.remove(QLatin1Char('&')); }

}  // namespace

class TestFolders : public QObject {
    Q_OBJECT
private slots:
    void noFolderGivesZeroWithoutWaitWindow_data();
    void noFolderGivesZeroWithoutWaitWindow();
    void folderSizeInKB_data();
    void folderSizeInKB();
    void waitWindowActivatesMainWindowAgain();
    void storedDiskSpaceWinsWhenOpening();
    void chooserFillsTheField_data();
    void chooserFillsTheField();
    void chooserCancelChangesNothing_data();
    void chooserCancelChangesNothing();
    void chooserRefusesPathOutsideWin1250();
    void chooserNavigation();
    void chooserKeepsFullPathOfLongFolder();
    void winRarFileButton_data();
    void winRarFileButton();
    void captionsFit();
    void typingMeasuresOnceItPauses_data();
    void typingMeasuresOnceItPauses();
    void stopLeavesSizeUnchanged_data();
    void stopLeavesSizeUnchanged();
};

void TestFolders::noFolderGivesZeroWithoutWaitWindow_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty text") << QString();
    QTest::newRow("no such folder") << "@/nowhere";
    QTest::newRow("a file, not a folder") << "@/file";
}

void TestFolders::noFolderGivesZeroWithoutWaitWindow()
{
    QFETCH(QString, text);
    TestEnv env;
    TMainForm* main = env.Start();
    WriteBytes(env.Path("file"), QByteArray(4096, 'x'));
    text.replace(QLatin1Char('@'), env.ProgramFolder);
    Ui(main).Dir2AddEdit->setText("x");  // so that every row, the empty one too, is a change
    Ui(main).SpaceEdit->setText("77");
    Ui(main).RAREdit->setText("D:\\typed\\WinRAR.exe");
    main->TabPages->setCurrentIndex(2);
    WaitWindowSpy spy;
    Ui(main).Dir2AddEdit->setText(text);
    QCOMPARE(Ui(main).SpaceEdit->text(), "0");
    QVERIFY(spy.Shown.isEmpty());
    // No wait window, so no activation: the typed WinRAR path and the page stay.
    QCOMPARE(Ui(main).RAREdit->text(), "D:\\typed\\WinRAR.exe");
    QCOMPARE(main->TabPages->currentIndex(), 2);
    QVERIFY(main->Modified);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestFolders::folderSizeInKB_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("kb");
    QTest::newRow("1023 bytes give 0") << qint64(1023) << "0";
    QTest::newRow("1024 bytes give 1") << qint64(1024) << "1";
    QTest::newRow("1536 bytes truncate to 1") << qint64(1536) << "1";
    QTest::newRow("empty folder gives 0") << qint64(0) << "0";
}

void TestFolders::folderSizeInKB()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, kb);
    TestEnv env;
    TMainForm* main = env.Start();
    const QString folder = MakeFolder(env.ProgramFolder, "Data", bytes);
    Ui(main).TitleEdit->setText("Demo");
    // Typed: the prefix names no folder, the last key makes it one.
    Ui(main).Dir2AddEdit->setText(folder.chopped(1));
    WaitWindowSpy spy;
    TypeText(Ui(main).Dir2AddEdit, folder.right(1));
    QCOMPARE(Ui(main).Dir2AddEdit->text(), folder);
    QTRY_COMPARE(spy.Shown, QStringList{"Zjišťuji velikost adresáře k archivaci..."});
    QCOMPARE(Ui(main).SpaceEdit->text(), kb);
    QVERIFY2(spy.Paints > 0, "the wait window was not painted before the measurement");
    QVERIFY(main->findChildren<TDirSizeForm*>().isEmpty());  // destroyed, not just hidden
    QVERIFY(main->BuildPrAct->isEnabled());
    QVERIFY(main->Modified);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestFolders::waitWindowActivatesMainWindowAgain()
{
    // When the wait window goes away the main window's activation runs: the first page comes to the
    // front, while the WinRAR path the user typed stays (the stored one only starts a session). The
    // measurement's own change comes after that, so the project still counts as changed.
    TestEnv env;
    TMainForm* main = env.Start();
    const QString folder = MakeFolder(env.ProgramFolder, "Data", 4096);
    env.Settings.Stored = "E:\\Stored\\WinRAR.exe";
    Ui(main).RAREdit->setText("D:\\typed\\WinRAR.exe");
    main->TabPages->setCurrentIndex(3);
    Ui(main).Dir2AddEdit->setText(folder);
    QCOMPARE(Ui(main).SpaceEdit->text(), "4");
    QCOMPARE(Ui(main).RAREdit->text(), "D:\\typed\\WinRAR.exe");
    QCOMPARE(main->TabPages->currentIndex(), 0);
    QVERIFY(main->Modified);
    QVERIFY(!main->ActivatePending);
    // Only once: the platform's own activation arriving later must not run it again.
    main->TabPages->setCurrentIndex(3);
    QApplication::processEvents();
    QCOMPARE(main->TabPages->currentIndex(), 3);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestFolders::storedDiskSpaceWinsWhenOpening()
{
    TestEnv env;
    TMainForm* main = env.Start();
    const QString folder = MakeFolder(env.ProgramFolder, "Data", 8192);
    Project project;
    project.Nazev = "Demo";
    project.ArchAdr = folder;
    project.DiskMisto = "2345";
    project.WinRARExe = "D:\\Project\\WinRAR.exe";
    project.Vystup = env.Path("Vystup");
    project.JmenoInst = project.JmenoDat = "Demo";
    const QString path = env.Path("Projekty/Demo.zpf");
    WriteProjectFile(path, project);
    WaitWindowSpy spy;
    main->ReadProjectFile(path);
    QCOMPARE(spy.Shown.size(), 1);  // the folder was measured...
    QCOMPARE(Ui(main).SpaceEdit->text(), "2345");  // ...and the stored value replaced it
    QCOMPARE(Ui(main).RAREdit->text(), "D:\\Project\\WinRAR.exe");
    QVERIFY(!main->Modified);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestFolders::chooserFillsTheField_data()
{
    QTest::addColumn<bool>("packedFolder");
    QTest::addColumn<QString>("caption");
    QTest::newRow("folder to pack") << true << "Výběr adresáře k archivaci";
    QTest::newRow("target folder") << false << "Výběr cílového adresáře";
}

void TestFolders::chooserFillsTheField()
{
    QFETCH(bool, packedFolder);
    QFETCH(QString, caption);
    TestEnv env;
    TMainForm* main = env.Start();
    const QString folder = MakeFolder(env.ProgramFolder, "Vybraný", 3072);
    Ui(main).SpaceEdit->setText("55");
    main->Modified = false;
    QString seenCaption;
    env.Dlg.ModalScripts.push_back([&](QObject* window) {
        auto* chooser = qobject_cast<TDirForm*>(window);
        seenCaption = chooser->windowTitle();
        return Accept(chooser, folder);
    });
    if (packedFolder)
        Ui(main).Dir2AddBtn->click();
    else
        Ui(main).TarDirBtn->click();
    QCOMPARE(seenCaption, caption);
    QCOMPARE(env.Dlg.ModalCalls.size(), 1);
    QCOMPARE(env.Dlg.ModalCalls.first(), static_cast<QObject*>(main->Windows.DirForm));
    QCOMPARE((packedFolder ? Ui(main).Dir2AddEdit : Ui(main).TarDirEdit)->text(), folder);
    QCOMPARE((packedFolder ? Ui(main).TarDirEdit : Ui(main).Dir2AddEdit)->text(), QString());
    QCOMPARE(Ui(main).SpaceEdit->text(), packedFolder ? "3" : "55");
    QVERIFY(main->Modified);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestFolders::chooserCancelChangesNothing_data()
{
    QTest::addColumn<bool>("packedFolder");
    QTest::newRow("folder to pack") << true;
    QTest::newRow("target folder") << false;
}

void TestFolders::chooserCancelChangesNothing()
{
    QFETCH(bool, packedFolder);
    TestEnv env;
    TMainForm* main = env.Start();
    const QString other = MakeFolder(env.ProgramFolder, "Other", 5000);
    Ui(main).Dir2AddEdit->setText("old to pack");
    Ui(main).TarDirEdit->setText("old target");
    Ui(main).SpaceEdit->setText("55");
    main->Modified = false;
    WaitWindowSpy spy;
    env.Dlg.ModalScripts.push_back([&](QObject* window) {
        qobject_cast<TDirForm*>(window)->SetDirectory(other);  // the user wandered off, then cancelled
        return int(QDialog::Rejected);
    });
    if (packedFolder)
        Ui(main).Dir2AddBtn->click();
    else
        Ui(main).TarDirBtn->click();
    QCOMPARE(Ui(main).Dir2AddEdit->text(), "old to pack");
    QCOMPARE(Ui(main).TarDirEdit->text(), "old target");
    QCOMPARE(Ui(main).SpaceEdit->text(), "55");
    QVERIFY(spy.Shown.isEmpty());
    QVERIFY(!main->Modified);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestFolders::chooserRefusesPathOutsideWin1250()
{
    TestEnv env;
    TMainForm* main = env.Start();
    const QString folder = MakeFolder(env.ProgramFolder, "日本", 10);
    env.Dlg.ModalScripts.push_back([&](QObject* window) { return Accept(qobject_cast<TDirForm*>(window), folder); });
    Ui(main).Dir2AddBtn->click();
    QCOMPARE(Ui(main).Dir2AddEdit->text(), QString());
    QCOMPARE(env.Dlg.Messages.size(), 1);
    QCOMPARE(env.Dlg.Messages.first().Title, "Chyba");
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestFolders::chooserNavigation()
{
    TestEnv env;
    TMainForm* main = env.Start();
    TDirForm* chooser = main->Windows.DirForm;
    QCOMPARE(chooser->size(), QSize(221, 238));
    QCOMPARE(chooser->DirLabel->width(), 201);
    QCOMPARE(chooser->Directory(), QDir::toNativeSeparators(QDir::currentPath()));  // at first, the current folder
    MakeFolder(env.ProgramFolder, "Alpha/Inner", 10);
    MakeFolder(env.ProgramFolder, "beta", 10);
    chooser->SetDirectory(env.ProgramFolder);

    auto row = [chooser](const QString& name) {
        for (int i = 0; i < chooser->DirectoryListBox1->count(); ++i)
            if (chooser->DirectoryListBox1->item(i)->text().trimmed() == name)
                return chooser->DirectoryListBox1->item(i);
        return static_cast<QListWidgetItem*>(nullptr);
    };
    QVERIFY(row("Alpha") && row("beta"));
    QVERIFY2(!row(".sub"), "hidden folders clutter the list");
    // One click opens a folder: the label and the list follow.
    QListWidget* list = chooser->DirectoryListBox1;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row("Alpha")).center());
    const QString alpha = QDir::toNativeSeparators(env.ProgramFolder + "/Alpha");
    QCOMPARE(chooser->Directory(), alpha);
    QCOMPARE(chooser->DirLabel->text(), chooser->DirLabel->fontMetrics().elidedText(alpha, Qt::ElideMiddle, 201));
    QVERIFY(row("Inner"));
    // Clicking a folder above goes back up.
    chooser->DirectoryListBox1Click(row("Program"));
    QCOMPARE(chooser->Directory(), env.ProgramFolder);

    // The drive list offers the root and the home folder; choosing one shows its last folder.
    const QStringList drives = TDirForm::Drives();
    QVERIFY(drives.contains(QDir::toNativeSeparators(QDir::rootPath())));
#ifndef Q_OS_WIN
    QVERIFY(drives.contains(QDir::homePath()));
    const int root = chooser->DriveComboBox1->findText("/");
    const int home = chooser->DriveComboBox1->findText(QDir::homePath());
    QVERIFY(root >= 0 && home >= 0);
    if (!env.ProgramFolder.startsWith(QDir::homePath() + QLatin1Char('/'))) {
        chooser->DriveComboBox1Change(home);
        QCOMPARE(chooser->Directory(), QDir::homePath());
        QCOMPARE(chooser->DriveComboBox1->currentIndex(), home);
        chooser->DriveComboBox1Change(root);
        QCOMPARE(chooser->Directory(), env.ProgramFolder);
    }
#endif

    // It opens where the previous use left it, also after a cancel.
    QString openedAt;
    env.Dlg.ModalScripts.push_back([&](QObject*) {
        chooser->SetDirectory(alpha);
        return int(QDialog::Rejected);
    });
    env.Dlg.ModalScripts.push_back([&](QObject*) {
        openedAt = chooser->Directory();
        return int(QDialog::Rejected);
    });
    Ui(main).TarDirBtn->click();
    Ui(main).Dir2AddBtn->click();
    QCOMPARE(openedAt, alpha);

    // A folder that vanished gives way to its nearest existing parent.
    QDir(alpha).removeRecursively();
    chooser->SetDirectory(alpha + QDir::separator() + "Inner");
    QCOMPARE(chooser->Directory(), env.ProgramFolder);
    QVERIFY(!row("Alpha"));
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestFolders::chooserKeepsFullPathOfLongFolder()
{
    TestEnv env;
    TMainForm* main = env.Start();
    const QString folder
        = MakeFolder(env.ProgramFolder, "a very long folder name that cannot fit/and another one below it/end", 2048);
    env.Dlg.ModalScripts.push_back([&](QObject* window) {
        auto* chooser = qobject_cast<TDirForm*>(window);
        chooser->SetDirectory(folder);
        const QString shown = chooser->DirLabel->text();
        if (shown == folder || chooser->DirLabel->fontMetrics().horizontalAdvance(shown) > 201)
            return int(QDialog::Rejected);  // the label should shorten the path on screen
        return int(QDialog::Accepted);
    });
    Ui(main).Dir2AddBtn->click();
    QCOMPARE(Ui(main).Dir2AddEdit->text(), folder);
    QCOMPARE(Ui(main).SpaceEdit->text(), "2");
}

void TestFolders::winRarFileButton_data()
{
    QTest::addColumn<QString>("answer");  // null: cancel
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("messages");
    QTest::newRow("chosen file") << "/opt/WinRAR/WinRAR.exe"
                                 << "/opt/WinRAR/WinRAR.exe" << true << 0;
    QTest::newRow("cancel changes nothing") << QString() << "D:\\old\\WinRAR.exe" << false << 0;
    QTest::newRow("path outside Windows-1250 refused") << "/opt/日本/WinRAR.exe"
                                                       << "D:\\old\\WinRAR.exe" << false << 1;
}

void TestFolders::winRarFileButton()
{
    QFETCH(QString, answer);
    QFETCH(QString, field);
    QFETCH(bool, modified);
    QFETCH(int, messages);
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).TitleEdit->setText("Demo");
    Ui(main).SpaceEdit->setText("1");
    Ui(main).Dir2AddEdit->setText("x");
    Ui(main).RAREdit->setText("D:\\old\\WinRAR.exe");
    main->Modified = false;
    env.Dlg.OpenAnswers.push_back(answer);
    Ui(main).SpeedButton3->click();
    QCOMPARE(env.Dlg.OpenCalls.size(), 1);
    const FileDialogOptions& options = env.Dlg.OpenCalls.first();
    QCOMPARE(options.Title, "Otevřít spustitelný soubor WinRARa");
    QVERIFY(options.MustExist);
#ifdef Q_OS_WIN
    QCOMPARE(options.Filter, "Programy (*.exe, *.com, *.bat)|*.EXE;*.COM;*.BAT");
    QCOMPARE(options.InitialFolder, "C:");
#else
    QVERIFY(options.Filter.startsWith("Programy (*.exe, *.com, *.bat)|*.EXE;*.COM;*.BAT|"));
    QVERIFY2(options.Filter.endsWith("|*"), "programs without an extension cannot be chosen");
    QCOMPARE(options.InitialFolder, "/");
#endif
    QCOMPARE(Ui(main).RAREdit->text(), field);
    QCOMPARE(main->Modified, modified);
    QCOMPARE(env.Dlg.Messages.size(), messages);
    QVERIFY(main->BuildPrAct->isEnabled());
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestFolders::captionsFit()
{
    ApplyProgramFont();  // the captions must fit in the font the program uses
    TestEnv env;
    TMainForm* main = env.Start();
    TDirSizeForm wait(main);
    QCOMPARE(wait.size(), QSize(287, 104));
    QCOMPARE(wait.Image1->geometry(), QRect(24, 20, 16, 16));
    QCOMPARE(wait.Label1->pos(), QPoint(80, 20));
    for (QWidget* window : std::initializer_list<QWidget*>{&wait, main->Windows.DirForm}) {
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (label->text().isEmpty() || label->objectName() == QLatin1String("DirLabel"))
                continue;
            const int needed = label->fontMetrics().horizontalAdvance(Stripped(label->text()));
            QVERIFY2(needed <= label->width(), qPrintable(label->text()));
            QVERIFY2(window->rect().contains(label->mapTo(window, QPoint(label->width() - 1, label->height() - 1))),
                qPrintable(label->text()));
        }
        for (QPushButton* button : window->findChildren<QPushButton*>())
            QVERIFY2(button->fontMetrics().horizontalAdvance(Stripped(button->text())) + button->iconSize().width() + 8
                    <= button->width(),
                qPrintable(button->text()));
    }
}

void TestFolders::typingMeasuresOnceItPauses_data()
{
    QTest::addColumn<bool>("typeOnWhileMeasuring");
    QTest::newRow("each prefix measured") << false;
    QTest::newRow("keys typed while measuring are lost") << true;
}

void TestFolders::typingMeasuresOnceItPauses()
{
    QFETCH(bool, typeOnWhileMeasuring);
    TestEnv env;
    TMainForm* main = env.Start();
    const QString folder = MakeSlowFolder(env.ProgramFolder);
    main->Program()->FolderProbe = [](const QString&) { QThread::msleep(100); };
    Ui(main).Dir2AddEdit->setFocus();
    WaitWindowSpy spy;
    const QString typed = folder + QDir::separator() + "sub";
    if (typeOnWhileMeasuring) {
        // The user pauses on Data, whose walk takes a second, and types on while it is measured.
        const QString rest = typed.mid(folder.size());
        spy.WhileShown = [main, rest](TDirSizeForm*) { TypeSlowly(Ui(main).Dir2AddEdit, rest); };
        TypeSlowly(Ui(main).Dir2AddEdit, folder);
    } else {
        // Every prefix names a folder on the way (the root first): none of them is measured.
        TypeSlowly(Ui(main).Dir2AddEdit, typed);
        QCOMPARE(Ui(main).SpaceEdit->text(), QString());
    }
    QTRY_COMPARE(Ui(main).SpaceEdit->text(), "2");
    QCOMPARE(Ui(main).Dir2AddEdit->text(), typed);
    QCOMPARE(spy.Shown.size(), typeOnWhileMeasuring ? 2 : 1);
    QVERIFY(main->Modified);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestFolders::stopLeavesSizeUnchanged_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("Zrušit") << false;
    QTest::newRow("Escape in the field") << true;
}

void TestFolders::stopLeavesSizeUnchanged()
{
    QFETCH(bool, escape);
    TestEnv env;
    TMainForm* main = env.Start();
    const QString folder = MakeSlowFolder(env.ProgramFolder);
    // A slow disk: the whole walk takes five seconds.
    main->Program()->FolderProbe = [](const QString&) { QThread::msleep(500); };
    Ui(main).SpaceEdit->setText("55");
    Ui(main).Dir2AddEdit->setFocus();
    WaitWindowSpy spy;
    QString countShown;
    QElapsedTimer sinceStop;
    spy.WhileShown = [&](TDirSizeForm* wait) {
        // The files at the top are counted at once; the window says so.
        QTRY_VERIFY(wait->CountLabel->text() != "Započítáno souborů: 0");
        countShown = wait->CountLabel->text();
        sinceStop.start();
        if (escape)
            QTest::keyClick(Ui(main).Dir2AddEdit, Qt::Key_Escape);
        else
            QTest::mouseClick(wait->CancelBtn, Qt::LeftButton);
    };
    Ui(main).Dir2AddEdit->setText(folder);  // as the chooser sets it: measured at once
    QVERIFY2(sinceStop.isValid() && sinceStop.elapsed() < 400 * TimeBoundScale, "the measurement waited for the walk");
    QCOMPARE(countShown, "Započítáno souborů: 3");
    QCOMPARE(Ui(main).SpaceEdit->text(), "55");
    QCOMPARE(Ui(main).Dir2AddEdit->text(), folder);
    QCOMPARE(spy.Shown.size(), 1);
    QVERIFY(main->findChildren<TDirSizeForm*>().isEmpty());
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

QTEST_MAIN(TestFolders)
#include "tst_folders.moc"
