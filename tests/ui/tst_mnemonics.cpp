#include "TestEnv.h"
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

// Alt+letter shared by the menu bar and a control of the window: the control on screen wins.
class TestMnemonics : public QObject {
    Q_OBJECT
private slots:
    void init() { QDir(QDir::homePath()).mkpath("."); }
    void sharedLetterGoesToControlOnScreen_data();
    void sharedLetterGoesToControlOnScreen();
};

void TestMnemonics::sharedLetterGoesToControlOnScreen_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("picture");  // enables "&Nastavit klikací plochy"
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("editorOpens");
    QTest::addColumn<QString>("menuOpens");  // objectName of the menu that pops up, or empty
    const int alt = int(Qt::AltModifier);
    QTest::newRow("Alt+N on the picture page clicks the button, not the help menu")
        << 2 << true << int(Qt::Key_N) << alt << true << QString();
    QTest::newRow("Alt+N with the button disabled opens the help menu")
        << 2 << false << int(Qt::Key_N) << alt << false << "NapovedaMenu";
    QTest::newRow("Alt+N where the button is not on screen opens the help menu")
        << 0 << true << int(Qt::Key_N) << alt << false << "NapovedaMenu";
    QTest::newRow("Alt+S on the picture page: Stop is disabled, the file menu opens")
        << 2 << true << int(Qt::Key_S) << alt << false << "SouborMenu";
    QTest::newRow("F10 reaches the menu bar where Alt+N cannot")
        << 2 << true << int(Qt::Key_F10) << 0 << false << "SouborMenu";
}

void TestMnemonics::sharedLetterGoesToControlOnScreen()
{
    QFETCH(int, page);
    QFETCH(bool, picture);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, editorOpens);
    QFETCH(QString, menuOpens);
    TestEnv env;
    TMainForm* main = env.Start();
    QApplication::setActiveWindow(main);
    if (picture) {
        QImage image(300, 200, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        const QString path = env.Path("Obrazky/titul.bmp");
        QVERIFY(image.save(path, "BMP"));
        Ui(main).SkinEdit->setText(path);
    }
    main->TabPages->setCurrentIndex(page);
    // Typing goes to a field of the page: the letter must not end up in it.
    QLineEdit* field = page == 2 ? static_cast<QLineEdit*>(Ui(main).SkinEdit) : Ui(main).TitleEdit;
    field->setFocus();
    const QString fieldText = field->text();

    QStringList modalWindows;
    env.Dlg.ModalScripts.push_back([&modalWindows](QObject* window) {
        modalWindows << window->objectName();
        return int(QDialog::Rejected);
    });
    QTest::keyClick(field, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    QVERIFY(env.Dlg.Unexpected.isEmpty());
    QCOMPARE(modalWindows, editorOpens ? QStringList{"AreaForm"} : QStringList());
    QMenu* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QCOMPARE(popup ? popup->objectName() : QString(), menuOpens);
    if (popup)
        popup->close();
    QCOMPARE(field->text(), fieldText);
}

QTEST_MAIN(TestMnemonics)
#include "tst_mnemonics.moc"
