#include "Application.h"
#include "Error.h"
#include "Paths.h"
#include "ProfileFile.h"
#include "TestEnv.h"
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

Q_DECLARE_METATYPE(MsgAnswer)

class TestMainForm : public QObject {
    Q_OBJECT
private slots:
    void init() { QDir(QDir::homePath()).mkpath("."); }
    void startsUntitled();
    void menusAndCommands();
    void pageControls();
    void tabGoesThroughPagesThenButtons();
    void modifiedByEveryHandler_data();
    void modifiedByEveryHandler();
    void buildEnabledByFourFields_data();
    void buildEnabledByFourFields();
    void spaceEditTakesDigitsOnly();
    void unencodableCharactersDropped();
    void pastedLineBreaksTakenOut();
    void memoTakesWindows1250Only_data();
    void memoTakesWindows1250Only();
    void runCheckBoxEnablesRunFields();
    void saveChangesQuestion_data();
    void saveChangesQuestion();
    void untitledSaveIsSaveAs_data();
    void untitledSaveIsSaveAs();
    void saveAsDialogRules_data();
    void saveAsDialogRules();
    void cancelledSaveAsCancelsTheCommand_data();
    void cancelledSaveAsCancelsTheCommand();
    void sideFilesFollowTheProject();
    void openAppliesStoredDiskSpace();
    void everyFieldComesBackFromThePages();
    void refusedOpenKeepsTheProject_data();
    void refusedOpenKeepsTheProject();
    void openedProjectWithoutWinRarDisablesBuild();
    void unencodablePathRefused();
    void failedSaveKeepsModifiedAndCaption();
    void closeStoresWinRarPath_data();
    void closeStoresWinRarPath();
    void closeEndsWhenStoreFails();
    void newResetsToNewDefaults();
    void helpAndAbout();
    void escapedErrorShownInErrorBox_data();
    void escapedErrorShownInErrorBox();
};

static QString Caption(const QString& name) { return "Zelvakon - " + name; }

void TestMainForm::startsUntitled()
{
    TestEnv env;
    TMainForm* main = env.Start();
    QCOMPARE(main->windowTitle(), Caption("Bezejmena.zpf"));
    QVERIFY(!main->BuildPrAct->isEnabled());
    QVERIFY(!main->BuildBtn->isEnabled());
    QCOMPARE(Ui(main).RAREdit->text(), "/usr/bin/rar");
    QCOMPARE(env.Settings.Stored, "/usr/bin/rar");
    QCOMPARE(main->TabPages->currentIndex(), 0);
    for (const char* folder : {"Projekty", "Vystup", "Obrazky", "Hudba"})
        QVERIFY(QFileInfo(env.Path(folder)).isDir());
    QCOMPARE(main->ProjectPath, env.Path("Projekty/Bezejmena.zpf"));
    QCOMPARE(main->ProjectFolder, env.Path("Projekty"));
    QCOMPARE(main->Vystup, env.Path("Vystup"));
    QCOMPARE(main->JmenoInst, "Instal");
    QCOMPARE(main->JmenoDat, "Instal");
    QCOMPARE(main->findChild<QTreeView*>("RegView")->model()->rowCount(), 6);
    QVERIFY(!main->Modified);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestMainForm::menusAndCommands()
{
    TestEnv env;
    TMainForm* main = env.Start();
    QStringList seen;
    for (QAction* menu : main->menuBar()->actions()) {
        QStringList items;
        for (QAction* a : menu->menu()->actions())
            items << (a->isSeparator() ? QString("-") : a->text() + "|" + a->shortcut().toString() + "|" + a->statusTip());
        seen << menu->text() + ": " + items.join("; ");
    }
    QCOMPARE(seen, QStringList({
        "&Soubor: &Nový projekt...|Ctrl+N|Vytvoří nový projekt; &Otevřít projekt... |Ctrl+O|Otevře projekt ze souboru na disku; "
        "&Uložit projekt...|Ctrl+S|Uloží současný projekt do souboru na disk; Uložit projekt &jako...||Uloží současný projekt na "
        "disk pod zvoleným jménem; -; &Konec|Ctrl+X|Ukončí Zelvakon",
        "&Projekt: &Sestavit...|F9|Sestaví současný projekt a vygeneruje datový soubor pro Vorvanex; -; &Nastavení||",
        "&Nápověda: &Zobrazit nápovědu|F1|Zobrazí nápovědu k programu; -; O &programu||Zobrazí informace o programu"}));
    QCOMPARE(main->BuildBtn->text(), "Sestavit...");
    QCOMPARE(main->ExitBtn->text(), "&Konec");
}

void TestMainForm::pageControls()
{
    TestEnv env;
    TMainForm* main = env.Start();
    QStringList pages;
    for (int i = 0; i < main->TabPages->count(); ++i)
        pages << main->TabPages->tabText(i);
    QCOMPARE(pages, QStringList({"Program", "Nfo soubor", "Hudba a obrázek", "Registry", "Spustit po extrakci"}));
    auto control = [main](const char* name) { return main->findChild<QPushButton*>(name); };
    const QList<std::pair<QWidget*, bool>> enabled = {
        {Ui(main).ClearBtn, false}, {Ui(main).LoadBtn, true},    {Ui(main).TestBtn, false},    {Ui(main).StopBtn, false},
        {Ui(main).SetBtn, false},   {Ui(main).PrevBtn, false},   {control("AddKeyBtn"), false},  {control("EditKeyBtn"), false},
        {control("DelKeyBtn"), false}, {control("AddBtn"), false},   {control("EditBtn"), false},    {control("DelBtn"), false},
        {control("OpenBtn"), true},   {Ui(main).ProgNameEdit, false}, {Ui(main).CmLineEdit, false}, {Ui(main).AskChBox, false},
        {Ui(main).RunChBox, true}};
    for (const auto& [widget, on] : enabled)
        QVERIFY2(widget->isEnabled() == on, qPrintable(widget->objectName()));
    QCOMPARE(Ui(main).SetBtn->text(), "&Nastavit klikací plochy");
    QCOMPARE(control("OpenBtn")->statusTip(), "Načte informace o modifikaci registrů z ini souboru");
    QCOMPARE(Ui(main).RunChBox->text(), "Po rozbalení spustit definovaný program");
    QCOMPARE(Ui(main).AskChBox->text(), "Zeptat se na spuštění");
    QCOMPARE(Ui(main).ProgNameLabel->text(), "Název programu:");
    QCOMPARE(Ui(main).CmLineLabel->text(), "Příkazová řádka:");
}

void TestMainForm::tabGoesThroughPagesThenButtons()
{
    TestEnv env;
    TMainForm* main = env.Start();
    QStringList order;
    for (QWidget* w = main->nextInFocusChain(); w != main; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty() && !w->objectName().startsWith("qt_"))
            order << w->objectName();
    const QStringList expected = {"TabPages", "ScrollLeftButton", "ScrollRightButton", "TitleEdit", "SpaceEdit",
                                  "Dir2AddEdit", "Dir2AddBtn", "TarDirEdit", "TarDirBtn",
                                  "RAREdit", "SpeedButton3", "ReadMemo", "LoadBtn", "ClearBtn", "BkMusicEdit",
                                  "BkMusicBtn", "TestBtn", "StopBtn", "SkinEdit", "SkinBtn", "SetBtn", "PrevBtn",
                                  "RegView", "ValueView", "AddKeyBtn", "EditKeyBtn", "DelKeyBtn", "OpenBtn", "AddBtn",
                                  "EditBtn", "DelBtn", "RunChBox", "ProgNameEdit", "CmLineEdit", "AskChBox",
                                  "BuildBtn", "ExitBtn"};
    QCOMPARE(order, expected);
}

void TestMainForm::modifiedByEveryHandler_data()
{
    QTest::addColumn<QString>("control");
    for (const char* name : {"TitleEdit", "SpaceEdit", "Dir2AddEdit", "TarDirEdit", "RAREdit", "ProgNameEdit", "CmLineEdit",
                             "BkMusicEdit", "SkinEdit", "ReadMemo", "RunChBox", "AskChBox"})
        QTest::newRow(name) << QString(name);
}

void TestMainForm::modifiedByEveryHandler()
{
    QFETCH(QString, control);
    TestEnv env;
    TMainForm* main = env.Start();
    QWidget* widget = main->findChild<QWidget*>(control);
    QVERIFY(widget);
    QVERIFY(!main->Modified);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(edit->text() + "1");
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(widget))
        memo->setPlainText("x");
    else if (auto* box = qobject_cast<QCheckBox*>(widget))
        box->setChecked(!box->isChecked());
    QVERIFY(main->Modified);
    // Saving, opening, New and the activation clear the flag.
    env.Dlg.Answers.push_back(MsgAnswer::No);
    main->NewPrActExecute();
    QVERIFY(!main->Modified);
}

void TestMainForm::buildEnabledByFourFields_data()
{
    QTest::addColumn<QString>("empty");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("all four filled") << "" << true;
    QTest::newRow("title empty") << "TitleEdit" << false;
    QTest::newRow("space empty") << "SpaceEdit" << false;
    QTest::newRow("folder empty") << "Dir2AddEdit" << false;
    QTest::newRow("winrar empty") << "RAREdit" << false;
    QTest::newRow("target folder is not part of the rule") << "TarDirEdit" << true;
}

void TestMainForm::buildEnabledByFourFields()
{
    QFETCH(QString, empty);
    QFETCH(bool, enabled);
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).TitleEdit->setText("Hra");
    Ui(main).Dir2AddEdit->setText("/nonexistent-folder");
    Ui(main).SpaceEdit->setText("10");
    Ui(main).TarDirEdit->setText("C:\\Hra");
    if (!empty.isEmpty())
        main->findChild<QLineEdit*>(empty)->clear();
    QCOMPARE(main->BuildPrAct->isEnabled(), enabled);
    QCOMPARE(main->BuildBtn->isEnabled(), enabled);
}

void TestMainForm::spaceEditTakesDigitsOnly()
{
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).SpaceEdit->setFocus();
    TypeText(Ui(main).SpaceEdit, "12a3 -ř4");
    QCOMPARE(Ui(main).SpaceEdit->text(), "1234");
    QCOMPARE(env.Dlg.Beeps, 4);
    QTest::keyClick(Ui(main).SpaceEdit, Qt::Key_Backspace);
    QCOMPARE(Ui(main).SpaceEdit->text(), "123");
    QCOMPARE(env.Dlg.Beeps, 4);
}

void TestMainForm::unencodableCharactersDropped()
{
    TestEnv env;
    TMainForm* main = env.Start();
    TypeText(Ui(main).TitleEdit, "Kůň€αß");  // Greek alpha has no place in Windows-1250; ß has
    QCOMPARE(Ui(main).TitleEdit->text(), "Kůň€ß");
    QCOMPARE(env.Dlg.Beeps, 1);
    // Every one-line field of every page, and the readme memo, refuses it as well.
    Ui(main).RunChBox->setChecked(true);  // the run fields take input only then
    for (QLineEdit* edit : main->centralWidget()->findChildren<QLineEdit*>()) {
        if (edit == Ui(main).SpaceEdit)
            continue;
        edit->clear();
        TypeText(edit, "a中b");
        QVERIFY2(edit->text() == "ab", qPrintable(edit->objectName()));
    }
    TypeText(Ui(main).ReadMemo, "c中d");
    QCOMPARE(Ui(main).ReadMemo->toPlainText(), "cd");
}

void TestMainForm::pastedLineBreaksTakenOut()
{
    TestEnv env;
    TMainForm* main = env.Start();
    QApplication::clipboard()->setText("a\nb\r\nα[c]");
    Ui(main).TitleEdit->paste();
    QCOMPARE(Ui(main).TitleEdit->text(), "ab[c]");
    QCOMPARE(env.Dlg.Beeps, 1);
    Ui(main).SpaceEdit->paste();
    QCOMPARE(Ui(main).SpaceEdit->text(), "");
    // Whatever reaches a value by code, a line break never reaches the file.
    Ui(main).CmLineEdit->setText("x\ny");
    QVERIFY_THROWS_EXCEPTION(ZelvakonError, main->WriteProjectFile(env.Path("Projekty/Hra.zpf")));
}

void TestMainForm::memoTakesWindows1250Only_data()
{
    QTest::addColumn<QString>("how");  // "paste" or "shift+enter"
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<int>("beeps");
    QTest::newRow("Shift+Enter is a line break") << "shift+enter" << "a" << QByteArray("a\r\nb") << 0;
    QTest::newRow("pasted Cyrillic, emoji and tick dropped") << "paste" << "Kůň Жук 😀 ✓!" << QByteArray("K\xF9\xF2   !") << 1;
    QTest::newRow("pasted line separator is a line break") << "paste" << "a\u2028\u2028b" << QByteArray("a\r\n\r\nb") << 0;
}

void TestMainForm::memoTakesWindows1250Only()
{
    QFETCH(QString, how);
    QFETCH(QString, text);
    QFETCH(QByteArray, saved);
    QFETCH(int, beeps);
    TestEnv env;
    TMainForm* main = env.Start();
    if (how == "paste") {
        QApplication::clipboard()->setText(text);
        Ui(main).ReadMemo->paste();
    } else {
        TypeText(Ui(main).ReadMemo, text);
        QTest::keyClick(Ui(main).ReadMemo, Qt::Key_Return, Qt::ShiftModifier);
        TypeText(Ui(main).ReadMemo, "b");
    }
    QCOMPARE(env.Dlg.Beeps, beeps);
    main->WriteProjectFile(env.Path("Projekty/Hra.zpf"));
    QCOMPARE(ReadBytes(env.Path("Projekty/Readme.nfo")), saved);
}

void TestMainForm::runCheckBoxEnablesRunFields()
{
    TestEnv env;
    TMainForm* main = env.Start();
    const QColor face = QApplication::palette().color(QPalette::Button);
    const QColor window = QApplication::palette().color(QPalette::Base);
    QCOMPARE(Ui(main).ProgNameEdit->palette().color(QPalette::Base), face);
    Ui(main).ProgNameEdit->setText("hra.exe");
    Ui(main).RunChBox->setChecked(true);
    for (QWidget* w : std::initializer_list<QWidget*>{Ui(main).ProgNameLabel, Ui(main).ProgNameEdit, Ui(main).CmLineLabel,
                                                      Ui(main).CmLineEdit, Ui(main).AskChBox})
        QVERIFY(w->isEnabled());
    QCOMPARE(Ui(main).CmLineEdit->palette().color(QPalette::Base), window);
    Ui(main).RunChBox->setChecked(false);
    QVERIFY(!Ui(main).CmLineEdit->isEnabled());
    QCOMPARE(Ui(main).CmLineEdit->palette().color(QPalette::Base), face);
    QCOMPARE(Ui(main).ProgNameEdit->text(), "hra.exe");
}

void TestMainForm::saveChangesQuestion_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<MsgAnswer>("answer");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<bool>("saved");
    for (const char* command : {"new", "open", "close"}) {
        QTest::addRow("%s yes saves and goes on", command) << QString(command) << MsgAnswer::Yes << true << true;
        QTest::addRow("%s no goes on unsaved", command) << QString(command) << MsgAnswer::No << true << false;
        QTest::addRow("%s cancel stops", command) << QString(command) << MsgAnswer::Cancel << false << false;
    }
}

void TestMainForm::saveChangesQuestion()
{
    QFETCH(QString, command);
    QFETCH(MsgAnswer, answer);
    QFETCH(bool, goesOn);
    QFETCH(bool, saved);
    TestEnv env;
    TMainForm* main = env.Start();
    const QString path = env.Path("Projekty/Hra.zpf");
    Ui(main).TitleEdit->setText("Hra");
    main->WriteProjectFile(path);
    Ui(main).TitleEdit->setText("Hra 2");
    env.Dlg.Answers.push_back(answer);
    bool wentOn = false;
    if (command == "new") {
        main->NewPrActExecute();
        wentOn = Ui(main).TitleEdit->text().isEmpty();
    } else if (command == "open") {
        if (goesOn)
            env.Dlg.OpenAnswers.push_back(QString());  // the user then cancels the file dialog
        main->OpenPrActExecute();
        wentOn = env.Dlg.OpenCalls.size() == 1;
    } else {
        wentOn = main->close();
    }
    QCOMPARE(env.Dlg.Messages.size(), 1);
    QCOMPARE(env.Dlg.Messages[0].Text, "Projekt Hra.zpf byl změněn. Uložit změny?");
    QCOMPARE(env.Dlg.Messages[0].Title, "Dotaz");
    QCOMPARE(env.Dlg.Messages[0].Icon, MsgIcon::Question);
    QCOMPARE(env.Dlg.Messages[0].Buttons, MsgButtons::YesNoCancel);
    QCOMPARE(wentOn, goesOn);
    QCOMPARE(ProfileFile::Load(path).Read("Hra.zpf", "Nazev"), saved ? "Hra 2" : "Hra");
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestMainForm::untitledSaveIsSaveAs_data()
{
    QTest::addColumn<QString>("untitledName");
    QTest::newRow("as created") << "Bezejmena.zpf";
    QTest::newRow("any letter case") << "BEZEJMENA.ZPF";
}

void TestMainForm::untitledSaveIsSaveAs()
{
    QFETCH(QString, untitledName);
    TestEnv env;
    TMainForm* main = env.Start();
    main->SetProjectPath(env.Path("Projekty/" + untitledName));
    env.Dlg.SaveAnswers.push_back(env.Path("Projekty/Demo"));
    main->SavePrActExecute();
    QCOMPARE(env.Dlg.SaveCalls.size(), 1);
    const FileDialogOptions& options = env.Dlg.SaveCalls[0];
    QCOMPARE(options.Title, "Uložit projekt jako");
    QCOMPARE(options.Filter, "Zelvakon Project File (*.zpf)|*.ZPF");
    QCOMPARE(options.FileName, "Bezejmena.zpf");
    QCOMPARE(options.InitialFolder, env.Path("Projekty"));
    QVERIFY(options.ConfirmOverwrite);
    QCOMPARE(main->windowTitle(), Caption("Demo.zpf"));
    QVERIFY(QFileInfo::exists(env.Path("Projekty/Demo.zpf")));
    // A further save writes without a dialog; the Save As dialog then offers the last name.
    Ui(main).TitleEdit->setText("x");
    main->SavePrActExecute();
    QCOMPARE(env.Dlg.SaveCalls.size(), 1);
    QVERIFY(!main->Modified);
    env.Dlg.SaveAnswers.push_back(QString());
    main->SavePrAsActExecute();
    QCOMPARE(env.Dlg.SaveCalls[1].FileName, "Demo.zpf");
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestMainForm::saveAsDialogRules_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<MsgAnswer>("answer");  // to the overwrite question; Ok: none expected
    QTest::addColumn<QString>("saved");     // the file written, empty: none
    QTest::addColumn<QString>("message");
    QTest::newRow("a name without .zpf over an existing project asks; No keeps it")
        << "Jiny" << MsgAnswer::No << "" << "Soubor Jiny.zpf již existuje.\nChcete jej nahradit?";
    QTest::newRow("a name without .zpf over an existing project asks; Yes replaces it")
        << "Jiny" << MsgAnswer::Yes << "Jiny.zpf" << "Soubor Jiny.zpf již existuje.\nChcete jej nahradit?";
    QTest::newRow("a new name without .zpf gets it") << "Novy" << MsgAnswer::Ok << "Novy.zpf" << "";
    QTest::newRow("Reg.ini refused") << "Reg.ini" << MsgAnswer::Ok << ""
                                     << "Jméno Reg.ini patří souboru, který se ukládá vedle projektu.\nZvolte prosím jiné jméno.";
    QTest::newRow("README.NFO refused") << "README.NFO" << MsgAnswer::Ok << ""
                                        << "Jméno README.NFO patří souboru, který se ukládá vedle projektu.\nZvolte prosím jiné jméno.";
}

void TestMainForm::saveAsDialogRules()
{
    QFETCH(QString, typed);
    QFETCH(MsgAnswer, answer);
    QFETCH(QString, saved);
    QFETCH(QString, message);
    TestEnv env;
    TMainForm* main = env.Start();
    const QByteArray old = "[Jiny.zpf]\r\nNazev=stary\r\n";
    WriteBytes(env.Path("Projekty/Jiny.zpf"), old);
    Ui(main).TitleEdit->setText("novy");
    env.Dlg.SaveAnswers = {env.Path("Projekty/" + typed), QString()};  // a dialog kept open is then cancelled
    if (answer != MsgAnswer::Ok)
        env.Dlg.Answers.push_back(answer);
    QCOMPARE(main->SavePrAsActExecute(), !saved.isEmpty());
    QCOMPARE(env.Dlg.Messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QCOMPARE(env.Dlg.Messages[0].Text, message);
    QCOMPARE(ReadBytes(env.Path("Projekty/Jiny.zpf")) == old, saved != "Jiny.zpf");
    QCOMPARE(main->windowTitle(), Caption(saved.isEmpty() ? "Bezejmena.zpf" : saved));
    QCOMPARE(main->Modified, saved.isEmpty());
    QCOMPARE(QDir(env.Path("Projekty")).entryList(QDir::Files).size(), saved == "Novy.zpf" ? 2 : 1);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestMainForm::cancelledSaveAsCancelsTheCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("new") << "new";
    QTest::newRow("open") << "open";
    QTest::newRow("close") << "close";
}

void TestMainForm::cancelledSaveAsCancelsTheCommand()
{
    QFETCH(QString, command);
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).TitleEdit->setText("rozdělaná práce");
    env.Dlg.Answers.push_back(MsgAnswer::Yes);  // save the untitled project: Save As ...
    env.Dlg.SaveAnswers.push_back(QString());   // ... cancelled
    if (command == "new")
        main->NewPrActExecute();
    else if (command == "open")
        main->OpenPrActExecute();
    else
        QVERIFY(!main->close());
    QVERIFY(main->isVisible());
    QCOMPARE(Ui(main).TitleEdit->text(), "rozdělaná práce");
    QVERIFY(main->Modified);
    QVERIFY(env.Dlg.OpenCalls.isEmpty());
    QCOMPARE(env.Dlg.Messages.size(), 1);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestMainForm::sideFilesFollowTheProject()
{
    TestEnv env;
    TMainForm* main = env.Start();
    const QString path = env.Path("Projekty/Hra.zpf");
    WriteBytes(env.Path("Projekty/Reg.ini"), "[HKEY_CURRENT_USER\\X]\r\nNic=Nic\r\n");
    Ui(main).ReadMemo->setPlainText("Ahoj\nsvěte\n");
    main->WriteProjectFile(path);
    QCOMPARE(ReadBytes(env.Path("Projekty/Readme.nfo")), QByteArray("Ahoj\r\nsv\xECte\r\n"));
    // Only the six root keys: the old Reg.ini goes without a question.
    QVERIFY(!QFileInfo::exists(env.Path("Projekty/Reg.ini")));
    Ui(main).ReadMemo->clear();
    main->ReadProjectFile(path);
    QCOMPARE(Ui(main).ReadMemo->toPlainText(), "Ahoj\nsvěte\n");
    QVERIFY(!main->Modified);
    Ui(main).ReadMemo->clear();
    main->WriteProjectFile(path);
    QVERIFY(!QFileInfo::exists(env.Path("Projekty/Readme.nfo")));
    QVERIFY(env.Dlg.Messages.isEmpty());
}

void TestMainForm::everyFieldComesBackFromThePages()
{
    // Each page fills its own fields and collects them again: none may be dropped or swapped.
    TestEnv env;
    TMainForm* main = env.Start();
    Project p;
    p.Nazev = "Želví hra";
    p.DiskMisto = "12";
    p.ArchAdr = "nikde";
    p.CilAdr = "C:\\Hry";
    p.WinRARExe = "rar";
    p.Hudba = "hudba.mid";
    p.Obrazek = "obr.bmp";
    p.SpustitPrg = true;
    p.NazevProg = "hra.exe";
    p.PrikRadka = "-x";
    p.Zeptat = true;
    p.Vystup = "Ven";
    p.JmenoInst = "Setup";
    p.JmenoDat = "Data";
    p.Rozbal = {1, 2, 3, 4};
    p.Readme = {5, 6, 7, 8};
    p.Konec = {9, 10, 11, 12};
    p.ReadmeText = "první\r\ndruhá";
    main->ApplyProject(p);
    QCOMPARE(main->CollectProject(), p);
    // New empties them all; emptying the folder writes "0" into the disk space.
    main->Modified = false;
    main->NewPrActExecute();
    Project blank = main->CollectProject();
    QCOMPARE(blank.DiskMisto, "0");
    QCOMPARE(blank.Nazev + blank.ArchAdr + blank.Hudba + blank.Obrazek + blank.NazevProg + blank.ReadmeText, QString());
    QVERIFY(!blank.SpustitPrg && !blank.Zeptat && blank.Konec == ClickArea());
}

void TestMainForm::openAppliesStoredDiskSpace()
{
    TestEnv env;
    TMainForm* main = env.Start();
    const QString path = env.Path("Projekty/Hra.zpf");
    WriteBytes(path, "[Jiny.zpf]\r\nNazev= Hra \r\nArchAdr=" + env.Path("Obrazky").toUtf8()
                         + "\r\nDiskMisto=777\r\nSpustitPrg=1\r\nZeptat=0x1\r\nJmenoInst=Setup\r\n[Konec]\r\nLevy=-3\r\n");
    env.Dlg.OpenAnswers.push_back(path);
    main->OpenPrActExecute();
    QCOMPARE(env.Dlg.OpenCalls[0].Title, "Otevřít projekt...");
    QCOMPARE(env.Dlg.OpenCalls[0].Filter, "Projektové soubory (*.zpf)|*.ZPF");
    QCOMPARE(main->windowTitle(), Caption("Hra.zpf"));
    QCOMPARE(Ui(main).TitleEdit->text(), "Hra");
    QCOMPARE(Ui(main).SpaceEdit->text(), "777");
    QVERIFY(Ui(main).RunChBox->isChecked());
    QVERIFY(Ui(main).CmLineEdit->isEnabled());
    QVERIFY(Ui(main).AskChBox->isChecked());
    QCOMPARE(main->JmenoInst, "Setup");
    QCOMPARE(main->Media()->Konec.Levy, -3);
    QVERIFY(!main->Modified);
}

void TestMainForm::refusedOpenKeepsTheProject_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("file without sections") << "empty";
    QTest::newRow("Reg.ini over the size limit") << "large";
    QTest::newRow("Reg.ini that cannot be read") << "unreadable";
}

void TestMainForm::refusedOpenKeepsTheProject()
{
    QFETCH(QString, fault);
    TestEnv env;
    TMainForm* main = env.Start();
    const QString mine = env.Path("Projekty/Moje.zpf");
    main->WriteProjectFile(mine);
    Ui(main).TitleEdit->setText("Zůstane");
    QDir().mkpath(env.Path("Jinde"));
    const QString path = env.Path("Jinde/Hra.zpf");
    const QString regIni = env.Path("Jinde/Reg.ini");
    WriteBytes(path, fault == "empty" ? "" : "[Hra.zpf]\r\nNazev=Hra\r\n");
    if (fault == "large") {
        QFile file(regIni);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(ProfileFile::MaxFileSize + 1));  // sparse
    } else if (fault == "unreadable") {
        QVERIFY(QFile::link("/proc/self/mem", regIni));  // opens, but every read fails
    }
    QVERIFY_THROWS_EXCEPTION(ZelvakonError, main->ReadProjectFile(path));
    QCOMPARE(Ui(main).TitleEdit->text(), "Zůstane");
    QCOMPARE(main->windowTitle(), Caption("Moje.zpf"));
    QCOMPARE(main->ProjectPath, mine);
    QVERIFY(main->Modified);
    // Ctrl+S saves the project that stayed, where it came from; the refused folder is left alone.
    main->SavePrActExecute();
    QCOMPARE(ProfileFile::Load(mine).Read("Moje.zpf", "Nazev"), "Zůstane");
    QCOMPARE(ProfileFile::Load(path).Read("Hra.zpf", "Nazev"), fault == "empty" ? "" : "Hra");
    if (fault == "large")
        QCOMPARE(QFileInfo(regIni).size(), ProfileFile::MaxFileSize + 1);
    if (fault == "unreadable")
        QCOMPARE(QFileInfo(regIni).symLinkTarget(), "/proc/self/mem");
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestMainForm::openedProjectWithoutWinRarDisablesBuild()
{
    TestEnv env;
    TMainForm* main = env.Start();
    const QString path = env.Path("Projekty/Hra.zpf");
    WriteBytes(path, "[Hra.zpf]\r\nNazev=Hra\r\nArchAdr=/x\r\nDiskMisto=5\r\n");
    main->ReadProjectFile(path);
    QVERIFY(Ui(main).RAREdit->text().isEmpty());
    QVERIFY(!main->BuildPrAct->isEnabled());
}

void TestMainForm::unencodablePathRefused()
{
    TestEnv env;
    TMainForm* main = env.Start();
    env.Dlg.OpenAnswers.push_back(env.Path("Projekty/Ελλάδα.zpf"));
    main->OpenPrActExecute();
    QCOMPARE(env.Dlg.Messages.size(), 1);
    QCOMPARE(env.Dlg.Messages[0].Title, "Chyba");
    QVERIFY(env.Dlg.Messages[0].Text.contains("Windows-1250"));
    QCOMPARE(main->windowTitle(), Caption("Bezejmena.zpf"));
}

void TestMainForm::failedSaveKeepsModifiedAndCaption()
{
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).TitleEdit->setText("Hra");
    // The folder is a file: nothing can be written below it.
    WriteBytes(env.Path("Soubor"), "x");
    QVERIFY_THROWS_EXCEPTION(ZelvakonError, main->WriteProjectFile(env.Path("Soubor/Hra.zpf")));
    QVERIFY(main->Modified);
    QCOMPARE(main->windowTitle(), Caption("Bezejmena.zpf"));
    QCOMPARE(main->ProjectPath, env.Path("Soubor/Hra.zpf"));
}

void TestMainForm::closeStoresWinRarPath_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("nextStart");
    QTest::newRow("a path") << "D:\\Tools\\WinRAR.exe" << "D:\\Tools\\WinRAR.exe";
    QTest::newRow("empty field stored, default at next start") << "" << "/usr/bin/rar";
}

void TestMainForm::closeStoresWinRarPath()
{
    QFETCH(QString, field);
    QFETCH(QString, nextStart);
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).RAREdit->setText(field);
    main->Modified = false;
    QVERIFY(main->close());
    QCOMPARE(env.Settings.Stored, field);
    QVERIFY(env.Dlg.Messages.isEmpty());
    env.Main.reset();
    TMainForm* again = env.Start();
    QCOMPARE(Ui(again).RAREdit->text(), nextStart);
    env.Dlg.Answers.push_back(MsgAnswer::No);
    again->NewPrActExecute();
    QCOMPARE(Ui(again).RAREdit->text(), nextStart);
}

void TestMainForm::closeEndsWhenStoreFails()
{
    TestEnv env;
    TMainForm* main = env.Start();
    env.Settings.FailWrites = true;
    // Shown once, and the program still ends: refusing would leave no way out.
    QVERIFY(main->close());
    QCOMPARE(env.Dlg.Messages.size(), 1);
    QCOMPARE(env.Dlg.Messages[0].Title, "Zelvakon");
    QCOMPARE(env.Dlg.Messages[0].Icon, MsgIcon::Error);
    QCOMPARE(env.Dlg.Messages[0].Text, "Hodnotu WinRARexe nelze uložit.");
}

void TestMainForm::newResetsToNewDefaults()
{
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).Dir2AddEdit->setText("/x");
    main->Media()->Rozbal = {1, 2, 3, 4};
    main->Vystup = "/jinam";
    main->TabPages->setCurrentIndex(3);
    env.Dlg.Answers.push_back(MsgAnswer::No);
    main->NewPrActExecute();
    QCOMPARE(main->JmenoInst, "Install");
    QCOMPARE(main->JmenoDat, "Install");
    QCOMPARE(main->Vystup, env.Path("Vystup"));
    QCOMPARE(Ui(main).SpaceEdit->text(), "0");  // emptying the folder field measured "nothing"
    QVERIFY(main->Media()->Rozbal == ClickArea());
    QCOMPARE(main->TabPages->currentIndex(), 0);
    QVERIFY(!main->Modified);
    // New when nothing changed asks nothing.
    main->NewPrActExecute();
    QCOMPARE(env.Dlg.Messages.size(), 1);
}

void TestMainForm::helpAndAbout()
{
    TestEnv env;
    TMainForm* main = env.Start();
    QApplication::setActiveWindow(main);
    QTest::keyClick(main, Qt::Key_F1);
    QCOMPARE(env.Help.Calls, QStringList(env.Path("Zelvakon.hlp") + "#HlavniStrana"));
    env.Dlg.ModalScripts.push_back([](QObject* window) {
        const QStringList texts = {window->findChild<QLabel*>("ProductName")->text(),
                                   window->findChild<QLabel*>("Version")->text(),
                                   window->findChild<QLabel*>("Copyright")->text()};
        return texts == QStringList({"Zelvakon", "build 002", "Freeware"}) ? 1 : 0;
    });
    main->AboutActExecute();
    QCOMPARE(env.Dlg.ModalCalls.size(), 1);
    QCOMPARE(qobject_cast<QWidget*>(env.Dlg.ModalCalls[0])->windowTitle(), "O programu");
}

void TestMainForm::escapedErrorShownInErrorBox_data()
{
    QTest::addColumn<bool>("fromCommand");
    QTest::newRow("a command's error ends at its handler") << true;
    QTest::newRow("what escapes anything else ends in the event loop") << false;
}

void TestMainForm::escapedErrorShownInErrorBox()
{
    QFETCH(bool, fromCommand);
    TestEnv env;
    TMainForm* main = env.Start();
    if (fromCommand) {
        const QString path = env.Path("Projekty/Prazdny.zpf");
        WriteBytes(path, "");
        env.Dlg.OpenAnswers.push_back(path);
        main->OpenPrAct->trigger();  // called directly: nothing but the handler's wrapper can catch it
    } else {
        static_cast<ZelvakonApplication*>(qApp)->ErrorDialogs = &env.Dlg;
        QMetaObject::invokeMethod(qApp, [] { throw ZelvakonError("Soubor x nelze otevřít"); }, Qt::QueuedConnection);
        QCoreApplication::processEvents();
        static_cast<ZelvakonApplication*>(qApp)->ErrorDialogs = nullptr;
    }
    QCOMPARE(env.Dlg.Messages.size(), 1);
    QCOMPARE(env.Dlg.Messages[0].Title, "Zelvakon");
    QVERIFY(env.Dlg.Messages[0].Text.endsWith("."));
}

int main(int argc, char** argv)
{
    ZelvakonApplication app(argc, argv);
    TestMainForm test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainform.moc"
