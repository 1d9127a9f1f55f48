#include "Progress.h"
#include "TestEnv.h"
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Folders and parts for one writer run with an archive of many chunks.
struct Parts {
    QTemporaryDir Dir;
    QString Dat = Dir.path() + QStringLiteral("/Instal.dat");
    Parts()
    {
        WriteBytes(Dir.path() + QStringLiteral("/archiv.rar"), QByteArray(3000000, 'a'));
        WriteBytes(Dir.path() + QStringLiteral("/Unrar.dll"), "MZ unrar");
        WriteBytes(Dir.path() + QStringLiteral("/Vorvanex.exe"), "MZ");
    }
    DatFileInputs Inputs() const
    {
        DatFileInputs in;
        in.UnrarFolder = in.ExtractorFolder = in.ProjectFolder = in.Project.Vystup = Dir.path();
        in.Project.JmenoDat = in.Project.JmenoInst = QStringLiteral("Instal");
        in.Project.Nazev = QStringLiteral("Hra");
        return in;
    }
};

}  // namespace

class TestProgress : public QObject {
    Q_OBJECT
private slots:
    void layout();
    void closing_data();
    void closing();
    void emptyPartIsNoBusyBar();
};

void TestProgress::layout()
{
    TProgressForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Průběh sestavování"));
    QCOMPARE(form.size(), QSize(334, 142));
    QCOMPARE(form.findChild<QLabel*>(QStringLiteral("ProjLabel")), form.ProjLabel);
    QCOMPARE(form.findChild<QLabel*>(QStringLiteral("ProgLabel")), form.ProgLabel);
    QCOMPARE(form.findChild<QProgressBar*>(QStringLiteral("ProgBar")), form.ProgBar);
    QCOMPARE(form.findChild<QPushButton*>(QStringLiteral("BitBtn")), form.BitBtn);
    QCOMPARE(form.ProgBar->width(), 309);
    QCOMPARE(form.BitBtn->text(), QStringLiteral("Zrušit"));
    QVERIFY(form.BitBtn->isDefault());
    const QRect button = form.BitBtn->geometry();
    QVERIFY(qAbs(button.left() - (334 - button.right() - 1)) <= 1);  // centred
    QVERIFY(button.bottom() < 142);
    // The longest texts the label shows must fit, wrapped, without cutting a line off.
    for (const QString& text : {
             QStringLiteral("Chyba: Chyba při kopírování spustitelného souboru instalace."),
             QStringLiteral("Chyba: Chyba při připojování souboru s obrázkem."),
             QStringLiteral("Kopíruji spustitelný soubor instalace..."),
             QStringLiteral("Chyba: Soubor s obrázkem titulni_obrazek.bmp má 2 GiB nebo víc, to datový soubor "
                            "nepojme."),
             QStringLiteral("Chyba: Do datového souboru Instalace.dat nelze zapisovat: na disku není dost místa."),
         }) {
        const QRect room = form.ProgLabel->contentsRect().adjusted(form.ProgLabel->indent(), 0, 0, 0);
        const QRect need = form.ProgLabel->fontMetrics().boundingRect(room, Qt::TextWordWrap, text);
        QVERIFY2(need.height() <= room.height() && need.width() <= room.width(), qPrintable(text));
    }
}

void TestProgress::closing_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("stopped");
    QTest::newRow("Escape is the button: the writer stops") << "escape" << true;
    QTest::newRow("the title bar only closes the window") << "titlebar" << false;
}

void TestProgress::closing()
{
    QFETCH(QString, how);
    QFETCH(bool, stopped);
    Parts parts;
    TProgressForm form;
    QSignalSpy ended(&form, &TProgressForm::WorkerEnded);
    form.PrepareBuild(QStringLiteral("/x/Projekty/hra.zpf"), parts.Inputs());
    bool done = false;
    connect(form.ProgBar, &QProgressBar::valueChanged, &form, [&] {
        if (done)
            return;
        done = true;
        if (how == QLatin1String("escape")) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&form, &key);
        } else {
            form.close();
        }
    });
    form.show();
    QVERIFY(QTest::qWaitFor([&] { return ended.count() == 1; }, 20000));
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(form.ProjLabel->text(), QStringLiteral("Projekt:     hra.zpf"));
    QCOMPARE(form.BitBtn->text(), QStringLiteral("Zavřít"));
    QCOMPARE(QFile::exists(parts.Dat), !stopped);
    QCOMPARE(form.ProgLabel->text(),
             stopped ? QStringLiteral("Sestavování bylo přerušeno.") : QStringLiteral("Hotovo."));

    // Shown again without a new build: the button only closes it.
    form.show();
    QTRY_COMPARE(form.BitBtn->text(), QStringLiteral("Zrušit"));
    QVERIFY(!form.WorkerRunning());
    form.BitBtn->click();
    QVERIFY(!form.isVisible());
    QCOMPARE(ended.count(), 1);
}

void TestProgress::emptyPartIsNoBusyBar()
{
    TProgressForm form;
    form.ShowPartSize(0);
    QVERIFY(form.ProgBar->maximum() > form.ProgBar->minimum());
    form.ShowPartSize(123456);
    form.ShowProgress(QStringLiteral("Připojuji archiv..."), 40196);
    QCOMPARE(form.ProgBar->maximum(), 123456);
    QCOMPARE(form.ProgBar->value(), 40196);
    QCOMPARE(form.ProgLabel->text(), QStringLiteral("Připojuji archiv..."));
}

QTEST_MAIN(TestProgress)
#include "tst_progress.moc"
