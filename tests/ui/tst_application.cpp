#include "Application.h"
#include "Project.h"
#include "QtDialogs.h"
#include "TestEnv.h"
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

Q_DECLARE_METATYPE(MsgAnswer)

// What the program sets up around its windows at start-up: Qt's Czech texts, the file dialogs' filter
// captions, project files dropped on the main window.
class TestApplication : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { QDir(QDir::homePath()).mkpath("."); }
    void programIconTravelsWithTheProgram();
    void saveDialogAndItsQuestionSpeakCzech();
    void editContextMenuSpeaksCzech();
    void filterCaptionShowsPatternOnce_data();
    void filterCaptionShowsPatternOnce();
    void droppedProjectOpens_data();
    void droppedProjectOpens();

private:
    bool Czech = false;
};

namespace {

// Runs body on the file dialog that call opens, then lets call return.
template <typename Body>
void OnFileDialog(Body body)
{
    QTimer::singleShot(0, [body] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        body(dialog);
        dialog->reject();
    });
}

}  // namespace

void TestApplication::initTestCase() { Czech = LoadQtTranslation(); }

void TestApplication::programIconTravelsWithTheProgram()
{
    // Built in, so a portable copy shows it too, at the size of title bars and task lists.
    QCOMPARE(ProgramIcon().pixmap(48).size(), QSize(48, 48));
}

void TestApplication::saveDialogAndItsQuestionSpeakCzech()
{
    if (!Czech)
        QSKIP("Qt's Czech translation (Debian qt6-translations-l10n) is not installed");
    QTemporaryDir dir;
    WriteBytes(dir.filePath("Hra.zpf"), "[Hra]\r\n");
    FileDialogOptions options;
    options.Title = "Uložit projekt jako";
    options.Filter = "Zelvakon Project File (*.zpf)|*.ZPF";
    options.InitialFolder = dir.path();
    options.FileName = "Hra.zpf";
    options.ConfirmOverwrite = true;
    QStringList texts;
    QString question;
    OnFileDialog([&](QFileDialog* dialog) {
        for (const char* label : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
            texts << dialog->findChild<QLabel*>(label)->text();
        auto* buttons = dialog->findChild<QDialogButtonBox*>("buttonBox");
        for (QAbstractButton* button : buttons->buttons())
            texts << button->text();
        // Accepting the name of an existing file asks before replacing it; No keeps the dialog open.
        QTimer::singleShot(0, [&question] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                question = box->text();
                for (QAbstractButton* button : box->buttons())
                    question += " | " + button->text();
                box->button(QMessageBox::No)->click();
            }
        });
        for (QAbstractButton* button : buttons->buttons())
            if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole)
                button->click();
    });
    QCOMPARE(QtDialogs().SaveFile(options), std::nullopt);
    texts.sort();
    QCOMPARE(texts, QStringList({"&Uložit", "Hledat v:", "Název &souboru:", "Soubory typu:", "Zrušit"}));
    QCOMPARE(question, "Soubor Hra.zpf již existuje.\nChcete jej nahradit? | &Ano | &Ne");
}

void TestApplication::editContextMenuSpeaksCzech()
{
    if (!Czech)
        QSKIP("Qt's Czech translation (Debian qt6-translations-l10n) is not installed");
    TestEnv env;
    TMainForm* main = env.Start();
    Ui(main).TitleEdit->setText("Hra");
    std::unique_ptr<QMenu> menu(Ui(main).TitleEdit->createStandardContextMenu());
    QStringList captions;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator())
            captions << action->text().section('\t', 0, 0);
    QCOMPARE(captions, QStringList({"&Zpět", "&Znovu", "&Vyjmout", "&Kopírovat", "&Vložit", "Smazat", "Vybrat vše"}));
}

void TestApplication::filterCaptionShowsPatternOnce_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("caption");
    QTest::newRow("pictures") << "Bitmapy (*.bmp)|*.bmp" << "Bitmapy (*.bmp)";
    QTest::newRow("ini files, upper-case pattern") << "Soubory .ini (*.ini)|*.INI" << "Soubory .ini (*.ini)";
    QTest::newRow("programs, several patterns")
        << "Programy (*.exe, *.com, *.bat)|*.EXE;*.COM;*.BAT" << "Programy (*.exe, *.com, *.bat)";
    QTest::newRow("a caption without its pattern gets it") << "Projekty|*.zpf" << "Projekty (*.zpf *.ZPF)";
}

void TestApplication::filterCaptionShowsPatternOnce()
{
    QFETCH(QString, filter);
    QFETCH(QString, caption);
    QTemporaryDir dir;
    // The patterns still match in either letter case.
    const QString suffix = filter.section('|', 1).section(';', 0, 0).mid(1);
    WriteBytes(dir.filePath("a" + suffix.toLower()), "x");
    WriteBytes(dir.filePath("B" + suffix.toUpper()), "x");
    FileDialogOptions options;
    options.Filter = filter;
    options.InitialFolder = dir.path();
    options.MustExist = true;
    QStringList captions;
    QStringList listed;
    OnFileDialog([&](QFileDialog* dialog) {
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        for (int i = 0; i < types->count(); ++i)
            captions << types->itemText(i);
        auto* model = dialog->findChild<QFileSystemModel*>();
        QTRY_COMPARE(model->rowCount(model->index(dir.path())), 2);
        const QModelIndex folder = model->index(dir.path());
        for (int row = 0; row < model->rowCount(folder); ++row)
            if (model->flags(model->index(row, 0, folder)) & Qt::ItemIsEnabled)
                listed << model->index(row, 0, folder).data().toString();
    });
    QCOMPARE(QtDialogs().OpenFile(options), std::nullopt);
    QCOMPARE(captions, QStringList{caption});
    listed.sort();
    QCOMPARE(listed, QStringList({"B" + suffix.toUpper(), "a" + suffix.toLower()}));
}

void TestApplication::droppedProjectOpens_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<MsgAnswer>("answer");  // to the save question, when asked
    QTest::addColumn<bool>("opens");
    QTest::newRow("a project file opens") << "Hra.zpf" << false << MsgAnswer::Ok << true;
    QTest::newRow("upper-case extension") << "HRA.ZPF" << false << MsgAnswer::Ok << true;
    QTest::newRow("modified project: No opens without saving") << "Hra.zpf" << true << MsgAnswer::No << true;
    QTest::newRow("modified project: Storno keeps it") << "Hra.zpf" << true << MsgAnswer::Cancel << false;
    QTest::newRow("not a project file: the drop is refused") << "Hra.txt" << false << MsgAnswer::Ok << false;
}

void TestApplication::droppedProjectOpens()
{
    QFETCH(QString, fileName);
    QFETCH(bool, modified);
    QFETCH(MsgAnswer, answer);
    QFETCH(bool, opens);
    TestEnv env;
    TMainForm* main = env.Start();
    Project project;
    project.Nazev = "Želví hra";
    const QString path = env.Path(fileName);
    WriteProjectFile(path, project);
    if (modified) {
        Ui(main).TitleEdit->setText("Rozdělaný");
        env.Dlg.Answers.push_back(answer);
    }
    const QString title = Ui(main).TitleEdit->text();

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main, &enter);
    QCOMPARE(enter.isAccepted(), fileName.endsWith(".zpf", Qt::CaseInsensitive));
    if (enter.isAccepted()) {
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(main, &drop);
        QVERIFY(drop.isAccepted());
        QCoreApplication::sendPostedEvents();
    }
    QCOMPARE(env.Dlg.Messages.size(), modified ? 1 : 0);
    QVERIFY(env.Dlg.Unexpected.isEmpty());
    QCOMPARE(Ui(main).TitleEdit->text(), opens ? "Želví hra" : title);
    QCOMPARE(main->windowTitle(), "Zelvakon - " + (opens ? fileName : "Bezejmena.zpf"));
    QCOMPARE(main->Modified, !opens && modified);
}

QTEST_MAIN(TestApplication)
#include "tst_application.moc"
