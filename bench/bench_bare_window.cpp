// The reference for the start-up benchmark: a bare Qt window that says when it is first activated and
// then ends, as the program does for the benchmark.
#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <cstdio>

namespace {
class BareWindow : public QWidget {
protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::WindowActivate) {
            std::fputs("activated\n", stdout);
            std::fflush(stdout);
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
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
