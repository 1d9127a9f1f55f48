#include "Dir.h"
#include "Dirsizedlg.h"
#include "Project.h"
#include "TestEnv.h"
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

// Notes every appearance and paint of the wait window; it is made and destroyed inside one handler.
class WaitWindowSpy : public QObject {
public:
    WaitWindowSpy() { qApp->installEventFilter(this); }
    ~WaitWindowSpy() override { qApp->removeEventFilter(this); }
    QStringList Shown;  // the label's text at each showing
    int Paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched->objectName() == QLatin1String("DirSizeForm")) {
            if (event->type() == QEvent::Show)
                if (auto* label = watched->findChild<QLabel*>(QStringLiteral("Label1")))
                    Shown << label->text();
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
    QDir().mkpath(folder + QStringLiteral("/.sub"));
    WriteBytes(folder + QStringLiteral("/a"), QByteArray(bytes / 2, 'a'));
    WriteBytes(folder + QStringLiteral("/.sub/b"), QByteArray(bytes - bytes / 2, 'b'));
    return folder;
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
};

void TestFolders::noFolderGivesZeroWithoutWaitWindow_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty text") << QString();
    QTest::newRow("no such folder") << QStringLiteral("@/nowhere");
    QTest::newRow("a file, not a folder") << QStringLiteral("@/file");
}

void TestFolders::noFolderGivesZeroWithoutWaitWindow()
{
    QFETCH(QString, text);
    TestEnv env;
    TMainForm* main = env.Start();
    WriteBytes(env.Path(QStringLiteral("file")), QByteArray(4096, 'x'));
    text.replace(QLatin1Char('@'), env.ProgramFolder);
    main->Dir2AddEdit->setText(QStringLiteral("x"));  // so that every row, the empty one too, is a change
    main->SpaceEdit->setText(QStringLiteral("77"));
    main->RAREdit->setText(QStringLiteral("D:\\typed\\WinRAR.exe"));
    main->TabPages->setCurrentIndex(2);
    WaitWindowSpy spy;
    main->Dir2AddEdit->setText(text);
    QCOMPARE(main->SpaceEdit->text(), QStringLiteral("0"));
    QVERIFY(spy.Shown.isEmpty());
    // No wait window, so no activation: the typed WinRAR path and the page stay.
    QCOMPARE(main->RAREdit->text(), QStringLiteral("D:\\typed\\WinRAR.exe"));
    QCOMPARE(main->TabPages->currentIndex(), 2);
    QVERIFY(main->Modified);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestFolders::folderSizeInKB_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("kb");
    QTest::newRow("1023 bytes give 0") << qint64(1023) << QStringLiteral("0");
    QTest::newRow("1024 bytes give 1") << qint64(1024) << QStringLiteral("1");
    QTest::newRow("1536 bytes truncate to 1") << qint64(1536) << QStringLiteral("1");
    QTest::newRow("empty folder gives 0") << qint64(0) << QStringLiteral("0");
}

void TestFolders::folderSizeInKB()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, kb);
    TestEnv env;
    TMainForm* main = env.Start();
    const QString folder = MakeFolder(env.ProgramFolder, QStringLiteral("Data"), bytes);
    main->TitleEdit->setText(QStringLiteral("Demo"));
    // Typed: the prefix names no folder, the last key makes it one.
    main->Dir2AddEdit->setText(folder.chopped(1));
    WaitWindowSpy spy;
    TypeText(main->Dir2AddEdit, folder.right(1));
    QCOMPARE(main->Dir2AddEdit->text(), folder);
    QCOMPARE(main->SpaceEdit->text(), kb);
    QCOMPARE(spy.Shown, QStringList{QStringLiteral("Zjišťuji velikost adresáře k archivaci...")});
    QVERIFY2(spy.Paints > 0, "the wait window was not painted before the measurement");
    QVERIFY(main->findChildren<TDirSizeForm*>().isEmpty());  // destroyed, not just hidden
    QVERIFY(main->BuildPrAct->isEnabled());
    QVERIFY(main->Modified);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestFolders::waitWindowActivatesMainWindowAgain()
{
    // When the wait window goes away the main window's activation runs: the stored WinRAR path
    // replaces a typed one and the first page comes to the front. The measurement's own change comes
    // after that, so the project still counts as changed.
    TestEnv env;
    TMainForm* main = env.Start();
    const QString folder = MakeFolder(env.ProgramFolder, QStringLiteral("Data"), 4096);
    env.Settings.Stored = QStringLiteral("E:\\Stored\\WinRAR.exe");
    main->RAREdit->setText(QStringLiteral("D:\\typed\\WinRAR.exe"));
    main->TabPages->setCurrentIndex(3);
    main->Dir2AddEdit->setText(folder);
    QCOMPARE(main->SpaceEdit->text(), QStringLiteral("4"));
    QCOMPARE(main->RAREdit->text(), QStringLiteral("E:\\Stored\\WinRAR.exe"));
    QCOMPARE(main->TabPages->currentIndex(), 0);
    QVERIFY(main->Modified);
    QVERIFY(!main->ActivatePending);
    // Only once: the platform's own activation arriving later must not run it again.
    main->RAREdit->setText(QStringLiteral("D:\\typed\\WinRAR.exe"));
    QApplication::processEvents();
    QCOMPARE(main->RAREdit->text(), QStringLiteral("D:\\typed\\WinRAR.exe"));
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestFolders::storedDiskSpaceWinsWhenOpening()
{
    TestEnv env;
    TMainForm* main = env.Start();
    const QString folder = MakeFolder(env.ProgramFolder, QStringLiteral("Data"), 8192);
    Project project;
    project.Nazev = QStringLiteral("Demo");
    project.ArchAdr = folder;
    project.DiskMisto = QStringLiteral("2345");
    project.WinRARExe = QStringLiteral("D:\\Project\\WinRAR.exe");
    project.Vystup = env.Path(QStringLiteral("Vystup"));
    project.JmenoInst = project.JmenoDat = QStringLiteral("Demo");
    const QString path = env.Path(QStringLiteral("Projekty/Demo.zpf"));
    WriteProjectFile(path, project);
    WaitWindowSpy spy;
    main->ReadProjectFile(path);
    QCOMPARE(spy.Shown.size(), 1);  // the folder was measured...
    QCOMPARE(main->SpaceEdit->text(), QStringLiteral("2345"));  // ...and the stored value replaced it
    QCOMPARE(main->RAREdit->text(), QStringLiteral("D:\\Project\\WinRAR.exe"));
    QVERIFY(!main->Modified);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestFolders::chooserFillsTheField_data()
{
    QTest::addColumn<bool>("packedFolder");
    QTest::addColumn<QString>("caption");
    QTest::newRow("folder to pack") << true << QStringLiteral("Výběr adresáře k archivaci");
    QTest::newRow("target folder") << false << QStringLiteral("Výběr cílového adresáře");
}

void TestFolders::chooserFillsTheField()
{
    QFETCH(bool, packedFolder);
    QFETCH(QString, caption);
    TestEnv env;
    TMainForm* main = env.Start();
    const QString folder = MakeFolder(env.ProgramFolder, QStringLiteral("Vybraný"), 3072);
    main->SpaceEdit->setText(QStringLiteral("55"));
    main->Modified = false;
    QString seenCaption;
    env.Dlg.ModalScripts.push_back([&](QObject* window) {
        auto* chooser = qobject_cast<TDirForm*>(window);
        seenCaption = chooser->windowTitle();
        return Accept(chooser, folder);
    });
    if (packedFolder)
        main->Dir2AddBtn->click();
    else
        main->TarDirBtn->click();
    QCOMPARE(seenCaption, caption);
    QCOMPARE(env.Dlg.ModalCalls.size(), 1);
    QCOMPARE(env.Dlg.ModalCalls.first(), main->Windows.DirForm);
    QCOMPARE((packedFolder ? main->Dir2AddEdit : main->TarDirEdit)->text(), folder);
    QCOMPARE((packedFolder ? main->TarDirEdit : main->Dir2AddEdit)->text(), QString());
    QCOMPARE(main->SpaceEdit->text(), packedFolder ? QStringLiteral("3") : QStringLiteral("55"));
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
    const QString other = MakeFolder(env.ProgramFolder, QStringLiteral("Other"), 5000);
    main->Dir2AddEdit->setText(QStringLiteral("old to pack"));
    main->TarDirEdit->setText(QStringLiteral("old target"));
    main->SpaceEdit->setText(QStringLiteral("55"));
    main->Modified = false;
    WaitWindowSpy spy;
    env.Dlg.ModalScripts.push_back([&](QObject* window) {
        qobject_cast<TDirForm*>(window)->SetDirectory(other);  // the user wandered off, then cancelled
        return int(QDialog::Rejected);
    });
    if (packedFolder)
        main->Dir2AddBtnClick();
    else
        main->TarDirBtnClick();
    QCOMPARE(main->Dir2AddEdit->text(), QStringLiteral("old to pack"));
    QCOMPARE(main->TarDirEdit->text(), QStringLiteral("old target"));
    QCOMPARE(main->SpaceEdit->text(), QStringLiteral("55"));
    QVERIFY(spy.Shown.isEmpty());
    QVERIFY(!main->Modified);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestFolders::chooserRefusesPathOutsideWin1250()
{
    TestEnv env;
    TMainForm* main = env.Start();
    const QString folder = MakeFolder(env.ProgramFolder, QStringLiteral("日本"), 10);
    env.Dlg.ModalScripts.push_back([&](QObject* window) { return Accept(qobject_cast<TDirForm*>(window), folder); });
    main->Dir2AddBtnClick();
    QCOMPARE(main->Dir2AddEdit->text(), QString());
    QCOMPARE(env.Dlg.Messages.size(), 1);
    QCOMPARE(env.Dlg.Messages.first().Title, QStringLiteral("Chyba"));
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
    MakeFolder(env.ProgramFolder, QStringLiteral("Alpha/Inner"), 10);
    MakeFolder(env.ProgramFolder, QStringLiteral("beta"), 10);
    chooser->SetDirectory(env.ProgramFolder);

    auto row = [chooser](const QString& name) {
        for (int i = 0; i < chooser->DirectoryListBox1->count(); ++i)
            if (chooser->DirectoryListBox1->item(i)->text().trimmed() == name)
                return chooser->DirectoryListBox1->item(i);
        return static_cast<QListWidgetItem*>(nullptr);
    };
    QVERIFY(row(QStringLiteral("Alpha")) && row(QStringLiteral("beta")));
    QVERIFY2(!row(QStringLiteral(".sub")), "hidden folders clutter the list");
    // One click opens a folder: the label and the list follow.
    QListWidget* list = chooser->DirectoryListBox1;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(row(QStringLiteral("Alpha"))).center());
    const QString alpha = QDir::toNativeSeparators(env.ProgramFolder + QStringLiteral("/Alpha"));
    QCOMPARE(chooser->Directory(), alpha);
    QCOMPARE(chooser->DirLabel->text(), chooser->DirLabel->fontMetrics().elidedText(alpha, Qt::ElideMiddle, 201));
    QVERIFY(row(QStringLiteral("Inner")));
    // Clicking a folder above goes back up.
    chooser->DirectoryListBox1Click(row(QStringLiteral("Program")));
    QCOMPARE(chooser->Directory(), env.ProgramFolder);

    // The drive list offers the root and the home folder; choosing one shows its last folder.
    const QStringList drives = TDirForm::Drives();
    QVERIFY(drives.contains(QDir::toNativeSeparators(QDir::rootPath())));
#ifndef Q_OS_WIN
    QVERIFY(drives.contains(QDir::homePath()));
    const int root = chooser->DriveComboBox1->findText(QStringLiteral("/"));
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
    main->TarDirBtnClick();
    main->Dir2AddBtnClick();
    QCOMPARE(openedAt, alpha);

    // A folder that vanished gives way to its nearest existing parent.
    QDir(alpha).removeRecursively();
    chooser->SetDirectory(alpha + QDir::separator() + QStringLiteral("Inner"));
    QCOMPARE(chooser->Directory(), env.ProgramFolder);
    QVERIFY(!row(QStringLiteral("Alpha")));
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestFolders::chooserKeepsFullPathOfLongFolder()
{
    TestEnv env;
    TMainForm* main = env.Start();
    const QString folder = MakeFolder(env.ProgramFolder,
                                      QStringLiteral("a very long folder name that cannot fit/and another one below it/end"), 2048);
    env.Dlg.ModalScripts.push_back([&](QObject* window) {
        auto* chooser = qobject_cast<TDirForm*>(window);
        chooser->SetDirectory(folder);
        const QString shown = chooser->DirLabel->text();
        if (shown == folder || chooser->DirLabel->fontMetrics().horizontalAdvance(shown) > 201)
            return int(QDialog::Rejected);  // the label should shorten the path on screen
        return int(QDialog::Accepted);
    });
    main->Dir2AddBtnClick();
    QCOMPARE(main->Dir2AddEdit->text(), folder);
    QCOMPARE(main->SpaceEdit->text(), QStringLiteral("2"));
}

void TestFolders::winRarFileButton_data()
{
    QTest::addColumn<QString>("answer");  // null: cancel
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("messages");
    QTest::newRow("chosen file") << QStringLiteral("/opt/WinRAR/WinRAR.exe") << QStringLiteral("/opt/WinRAR/WinRAR.exe") << true << 0;
    QTest::newRow("cancel changes nothing") << QString() << QStringLiteral("D:\\old\\WinRAR.exe") << false << 0;
    QTest::newRow("path outside Windows-1250 refused") << QStringLiteral("/opt/日本/WinRAR.exe") << QStringLiteral("D:\\old\\WinRAR.exe")
                                                      << false << 1;
}

void TestFolders::winRarFileButton()
{
    QFETCH(QString, answer);
    QFETCH(QString, field);
    QFETCH(bool, modified);
    QFETCH(int, messages);
    TestEnv env;
    TMainForm* main = env.Start();
    main->TitleEdit->setText(QStringLiteral("Demo"));
    main->SpaceEdit->setText(QStringLiteral("1"));
    main->Dir2AddEdit->setText(QStringLiteral("x"));
    main->RAREdit->setText(QStringLiteral("D:\\old\\WinRAR.exe"));
    main->Modified = false;
    env.Dlg.OpenAnswers.push_back(answer);
    main->SpeedButton3->click();
    QCOMPARE(env.Dlg.OpenCalls.size(), 1);
    const FileDialogOptions& options = env.Dlg.OpenCalls.first();
    QCOMPARE(options.Title, QStringLiteral("Otevřít spustitelný soubor WinRARa"));
    QVERIFY(options.MustExist);
#ifdef Q_OS_WIN
    QCOMPARE(options.Filter, QStringLiteral("Programy (*.exe, *.com, *.bat)|*.EXE;*.COM;*.BAT"));
    QCOMPARE(options.InitialFolder, QStringLiteral("C:"));
#else
    QVERIFY(options.Filter.startsWith(QStringLiteral("Programy (*.exe, *.com, *.bat)|*.EXE;*.COM;*.BAT|")));
    QVERIFY2(options.Filter.endsWith(QStringLiteral("|*")), "programs without an extension cannot be chosen");
    QCOMPARE(options.InitialFolder, QStringLiteral("/"));
#endif
    QCOMPARE(main->RAREdit->text(), field);
    QCOMPARE(main->Modified, modified);
    QCOMPARE(env.Dlg.Messages.size(), messages);
    QVERIFY(main->BuildPrAct->isEnabled());
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestFolders::captionsFit()
{
    TestEnv env;
    TMainForm* main = env.Start();
    TDirSizeForm wait(main);
    QCOMPARE(wait.size(), QSize(287, 59));
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

QTEST_MAIN(TestFolders)
#include "tst_folders.moc"
