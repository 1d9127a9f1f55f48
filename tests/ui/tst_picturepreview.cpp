#include "QtDialogs.h"
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The picture-open dialog's preview pane (the real dialog, answered from a timer).
class TestPicturePreview : public QObject {
    Q_OBJECT
private slots:
    void paneShowsTheCurrentPicture();
    void otherDialogsHaveNoPane();
};

void TestPicturePreview::paneShowsTheCurrentPicture()
{
    QTemporaryDir dir;
    QImage big(600, 400, QImage::Format_RGB32);
    big.fill(Qt::red);
    QVERIFY(big.save(dir.filePath("titul.bmp"), "BMP"));
    QFile text(dir.filePath("text.bmp"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("no picture here");
    text.close();

    QtDialogs dialogs;
    FileDialogOptions options;
    options.Title = "Otevřít bitmapu titulního obrázku";
    options.Filter = "Bitmapy (*.bmp)|*.bmp";
    options.InitialFolder = dir.path();
    options.PicturePreview = true;
    QSize shown;
    bool clearedForText = false;
    QTimer::singleShot(0, [&] {
        // No early returns here: the dialog must always be answered.
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (auto* pane = dialog->findChild<QLabel*>("PicturePreview")) {
            emit dialog->currentChanged(dir.filePath("titul.bmp"));
            shown = pane->pixmap().size();
            emit dialog->currentChanged(dir.filePath("text.bmp"));
            clearedForText = pane->pixmap().isNull();
        }
        dialog->selectFile(dir.filePath("titul.bmp"));
        static_cast<QDialog*>(dialog)->accept();
    });
    const std::optional<QString> chosen = dialogs.OpenFile(options);
    QVERIFY(chosen);
    QCOMPARE(*chosen, QDir::toNativeSeparators(dir.filePath("titul.bmp")));
    // Scaled down into the pane, keeping the proportions.
    QVERIFY(shown.width() > 0 && shown.width() <= 180);
    QVERIFY(qAbs(shown.width() * 2 - shown.height() * 3) <= 3);
    QVERIFY(clearedForText);
}

void TestPicturePreview::otherDialogsHaveNoPane()
{
    QtDialogs dialogs;
    FileDialogOptions options;
    options.Title = "Otevřít soubor s hudbou";
    options.Filter = "MIDI soubory (*.mid)|*.MID";
    bool hasPane = true;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        hasPane = dialog->findChild<QLabel*>("PicturePreview") != nullptr;
        dialog->reject();
    });
    QVERIFY(!dialogs.OpenFile(options));
    QVERIFY(!hasPane);
}

QTEST_MAIN(TestPicturePreview)
#include "tst_picturepreview.moc"
