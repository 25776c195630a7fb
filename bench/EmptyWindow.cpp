// An empty main window that closes as soon as it is shown, the way the
// station is closed in the start-up measure.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.show();
    std::fputs("shown\n", stdout);
    std::fflush(stdout);
    QTimer::singleShot(0, &window, &QMainWindow::close);
    return app.exec();
}
