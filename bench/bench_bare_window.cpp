// The reference for the start-up benchmark: a bare Qt window that ends at its first activation.
#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace {
class BareWindow : public QWidget {
protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::WindowActivate)
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return QWidget::event(e);
    }
};
}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    BareWindow window;
    window.resize(538, 299);
    window.show();
    return app.exec();
}
