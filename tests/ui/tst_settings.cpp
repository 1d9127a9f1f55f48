#include "Application.h"
#include "Dir.h"
#include "Settings.h"
#include "TestEnv.h"
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

// The project settings dialog and the WinRAR path through start and close.
class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void nameFieldsDropPathCharacters_data();
    void nameFieldsDropPathCharacters();
    void okOnlyWhenAllFilled_data();
    void okOnlyWhenAllFilled();
    void okStoresOutputFolder_data();
    void okStoresOutputFolder();
    void cancelKeepsProject();
    void opensWithProjectValues();
    void noSaveQuestionAfterSettingsAlone();
    void outputFolderChooser_data();
    void outputFolderChooser();
    void layout();
    void winRarPathAcrossRuns();
};

namespace {
QLineEdit* Field(TSetForm* form, const QString& name) { return form->findChild<QLineEdit*>(name); }

QWidget* NextTabStop(QWidget* widget)
{
    QWidget* next = widget->nextInFocusChain();
    while (next != widget && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}
}  // namespace

void TestSettings::nameFieldsDropPathCharacters_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<bool>("pasted");
    QTest::newRow("extension typed into the installer name") << "InstNameEdit"
                                                             << "Setup.exe"
                                                             << "Setupexe" << 1 << false;
    QTest::newRow("drive and backslash in the data file name") << "DatNameEdit"
                                                               << "C:\\Data"
                                                               << "CData" << 2 << false;
#ifndef Q_OS_WIN
    QTest::newRow("folder separator in a name") << "InstNameEdit"
                                                << "sub/Setup"
                                                << "subSetup" << 1 << false;
#endif
    QTest::newRow("Czech letters pass") << "DatNameEdit"
                                        << "Žluťoučký kůň"
                                        << "Žluťoučký kůň" << 0 << false;
    QTest::newRow("outside Windows-1250 dropped") << "InstNameEdit"
                                                  << "A日B"
                                                  << "AB" << 1 << false;
    // A name with ":" would be an alternate stream on Windows and one with "/" a file elsewhere: pasted
    // text is held to the same rule.
    QTest::newRow("pasted extension taken out too") << "InstNameEdit"
                                                    << "Setup.exe"
                                                    << "Setupexe" << 1 << true;
    QTest::newRow("output folder takes a path") << "OutDirEdit"
                                                << "C:\\Out.v2/x"
                                                << "C:\\Out.v2/x" << 0 << false;
}

void TestSettings::nameFieldsDropPathCharacters()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(int, beeps);
    QFETCH(bool, pasted);
    TestEnv env;
    TMainForm* main = env.Start();
    env.Dlg.ModalScripts.push_back([&](QObject* window) {
        QLineEdit* edit = Field(qobject_cast<TSetForm*>(window), field);
        edit->clear();
        if (pasted) {
            QApplication::clipboard()->setText(typed);
            edit->paste();
        } else {
            TypeText(edit, typed);
        }
        return int(QDialog::Rejected);
    });
    env.Dlg.Beeps = 0;
    main->SetAct->trigger();
    QCOMPARE(Field(main->Windows.SetForm, field)->text(), text);
    QCOMPARE(env.Dlg.Beeps, beeps);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestSettings::okOnlyWhenAllFilled_data()
{
    QTest::addColumn<QString>("inst");
    QTest::addColumn<QString>("dat");
    QTest::addColumn<QString>("out");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("all three filled") << "Setup"
                                      << "Data"
                                      << "/tmp" << true;
    QTest::newRow("output folder emptied") << "Setup"
                                           << "Data" << QString() << false;
    QTest::newRow("installer name emptied") << QString() << "Data"
                                            << "/tmp" << false;
    QTest::newRow("data file name emptied") << "Setup" << QString() << "/tmp" << false;
    QTest::newRow("a blank is text") << " "
                                     << " "
                                     << " " << true;
}

void TestSettings::okOnlyWhenAllFilled()
{
    QFETCH(QString, inst);
    QFETCH(QString, dat);
    QFETCH(QString, out);
    QFETCH(bool, enabled);
    TestEnv env;
    TMainForm* main = env.Start();
    const QString before = main->Vystup;
    bool okEnabled = !enabled;
    env.Dlg.ModalScripts.push_back([&](QObject* window) {
        auto* form = qobject_cast<TSetForm*>(window);
        form->InstNameEdit->setText(inst);
        form->DatNameEdit->setText(dat);
        form->OutDirEdit->setText(out);
        okEnabled = form->OkBtn->isEnabled();
        form->setResult(QDialog::Rejected);
        form->show();
        QTest::keyClick(form->OutDirEdit, Qt::Key_Return);  // Enter takes the default button's road
        if (form->isVisible())
            form->accept();  // and any other road to OK
        form->hide();
        return form->result();
    });
    main->SetActExecute();
    QCOMPARE(okEnabled, enabled);
    QCOMPARE(main->Vystup, enabled ? out : before);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestSettings::okStoresOutputFolder_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
#ifdef Q_OS_WIN
    QTest::newRow("trailing backslash stripped") << "C:\\Out\\"
                                                 << "C:\\Out";
    QTest::newRow("drive root loses its backslash") << "C:\\"
                                                    << "C:";
    QTest::newRow("no trailing backslash: unchanged") << "C:\\Out"
                                                      << "C:\\Out";
#else
    QTest::newRow("trailing separator stripped") << "/srv/Out/"
                                                 << "/srv/Out";
    QTest::newRow("no trailing separator: unchanged") << "/srv/Out"
                                                      << "/srv/Out";
    QTest::newRow("only one separator stripped") << "/srv/Out//"
                                                 << "/srv/Out/";
    QTest::newRow("root stays a folder") << "/"
                                         << "/";
    QTest::newRow("backslash is a plain character here") << "C:\\Out\\"
                                                         << "C:\\Out\\";
#endif
}

void TestSettings::okStoresOutputFolder()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    TestEnv env;
    TMainForm* main = env.Start();
    env.Dlg.ModalScripts.push_back([&](QObject* window) {
        auto* form = qobject_cast<TSetForm*>(window);
        form->InstNameEdit->setText("Setup");
        form->DatNameEdit->setText("Data");
        form->OutDirEdit->setText(typed);
        form->OkBtn->click();
        return form->result();
    });
    main->SetActExecute();
    QCOMPARE(main->Vystup, stored);
    QCOMPARE(main->JmenoInst, "Setup");
    QCOMPARE(main->JmenoDat, "Data");
    QCOMPARE(main->CollectProject().Vystup, stored);
    QVERIFY(!main->Modified);
}

void TestSettings::cancelKeepsProject()
{
    TestEnv env;
    TMainForm* main = env.Start();
    main->Vystup = "/srv/Vystup";
    main->JmenoInst = "Inst";
    main->JmenoDat = "Dat";
    env.Dlg.ModalScripts.push_back([&](QObject* window) {
        auto* form = qobject_cast<TSetForm*>(window);
        form->InstNameEdit->setText("X");
        form->DatNameEdit->setText("Y");
        form->OutDirEdit->setText("/elsewhere/");
        form->CancelBtn->click();
        return form->result();
    });
    main->SetActExecute();
    QCOMPARE(main->Vystup, "/srv/Vystup");
    QCOMPARE(main->JmenoInst, "Inst");
    QCOMPARE(main->JmenoDat, "Dat");
    QVERIFY(!main->Modified);
}

void TestSettings::opensWithProjectValues()
{
    // Every opening is filled from the project again: what a cancelled opening left is gone.
    TestEnv env;
    TMainForm* main = env.Start();
    QStringList seen;
    bool okAtOpen = false;
    auto look = [&](QObject* window) {
        auto* form = qobject_cast<TSetForm*>(window);
        seen << form->InstNameEdit->text() + QLatin1Char('|') + form->DatNameEdit->text() + QLatin1Char('|')
                + form->OutDirEdit->text();
        okAtOpen = form->OkBtn->isEnabled();
        form->OutDirEdit->clear();
        return int(QDialog::Rejected);
    };
    env.Dlg.ModalScripts.push_back(look);
    env.Dlg.ModalScripts.push_back(look);
    main->SetActExecute();
    main->SetActExecute();
    const QString expected = "Instal|Instal|" + env.Path("Vystup");
    QCOMPARE(seen, (QStringList{expected, expected}));
    QVERIFY(okAtOpen);
}

void TestSettings::noSaveQuestionAfterSettingsAlone()
{
    TestEnv env;
    TMainForm* main = env.Start();
    env.Dlg.ModalScripts.push_back([&](QObject* window) {
        auto* form = qobject_cast<TSetForm*>(window);
        form->InstNameEdit->setText("Novy");
        form->OutDirEdit->setText("/srv/Out/");
        form->OkBtn->click();
        return form->result();
    });
    main->SetActExecute();
    QCOMPARE(main->JmenoInst, "Novy");
    QVERIFY(main->close());  // no question scripted: one would be listed as unexpected
    QVERIFY(env.Dlg.Messages.isEmpty());
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestSettings::outputFolderChooser_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("taken");
    QTest::newRow("OK puts the folder in the field") << int(QDialog::Accepted) << true;
    QTest::newRow("cancel leaves the field") << int(QDialog::Rejected) << false;
}

void TestSettings::outputFolderChooser()
{
    QFETCH(int, answer);
    QFETCH(bool, taken);
    TestEnv env;
    TMainForm* main = env.Start();
    const QString folder = env.Path("Obrazky");
    QString caption;
    QString field;
    env.Dlg.ModalScripts.push_back([&](QObject* window) {
        auto* form = qobject_cast<TSetForm*>(window);
        form->OutDirBtn->click();
        field = form->OutDirEdit->text();
        return int(QDialog::Rejected);
    });
    env.Dlg.ModalScripts.push_back([&](QObject* window) {
        auto* chooser = qobject_cast<TDirForm*>(window);
        caption = chooser->windowTitle();
        chooser->SetDirectory(folder);
        return answer;
    });
    main->SetActExecute();
    QCOMPARE(caption, "Adresář pro datový soubor");
    QCOMPARE(field, taken ? folder : env.Path("Vystup"));
    QVERIFY(env.Dlg.Unexpected.isEmpty());
}

void TestSettings::layout()
{
    ApplyProgramFont();  // the captions must fit in the font the program uses
    TestEnv env;
    TMainForm* main = env.Start();
    TSetForm* form = main->Windows.SetForm;
    QCOMPARE(form->windowTitle(), "Nastavení projektu");
    QCOMPARE(form->size(), QSize(280, 214));
    QCOMPARE(form->CancelBtn->text(), "Zrušit");
    QVERIFY(form->OkBtn->x() < form->CancelBtn->x());
    QCOMPARE(NextTabStop(form->InstNameEdit), form->DatNameEdit);
    QCOMPARE(NextTabStop(form->DatNameEdit), form->OutDirEdit);
    QCOMPARE(NextTabStop(form->OutDirEdit), form->OutDirBtn);
    QCOMPARE(NextTabStop(form->OutDirBtn), form->OkBtn);
    QCOMPARE(NextTabStop(form->OkBtn), form->CancelBtn);
    QStringList texts;
    for (QLabel* label : form->findChildren<QLabel*>()) {
        texts << label->text();
        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(), qPrintable(label->text()));
        QVERIFY2(form->rect().contains(label->mapTo(form, QPoint(label->width() + 2, label->height() - 1))),
            qPrintable(label->text()));
    }
    for (const char* text : {"Jméno spustitelného souboru instalace:", "Jméno datového souboru instalace:",
             "Výstupní adresář pro datový soubor:", ".EXE", ".DAT"})
        QVERIFY2(texts.contains(QString::fromUtf8(text)), text);
}

void TestSettings::winRarPathAcrossRuns()
{
    // The real store in an ini file of the test's own, through start and close of the main window.
    QTemporaryDir dir;
    const QString ini = dir.filePath("Zelvakon.ini");
    QtSettingsStore store(ini);
    auto run = [&](const std::function<void(TMainForm*)>& act) {
        TestEnv env;
        env.Services.Settings = &store;
        TMainForm* main = env.Start();
        const QString shown = Ui(main).RAREdit->text();
        act(main);
        main->Modified = false;
        main->close();
        return shown;
    };
    auto stored = [&] { return QSettings(ini, QSettings::IniFormat).value("WinRARexe").toString(); };
    const QString def = "/usr/bin/rar";
    QCOMPARE(run([&](TMainForm* main) {
        QCOMPARE(stored(), def);
        Ui(main).RAREdit->setText("D:\\Tools\\WinRAR.exe");
    }),
        def);
    QCOMPARE(stored(), "D:\\Tools\\WinRAR.exe");
    QCOMPARE(run([](TMainForm* main) { Ui(main).RAREdit->clear(); }), "D:\\Tools\\WinRAR.exe");
    QCOMPARE(stored(), QString());
    QCOMPARE(run([](TMainForm*) {}), def);
    QCOMPARE(stored(), def);
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
