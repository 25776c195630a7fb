// The yardstick of start-up: a plain Qt Widgets main window with what a
// station's window has at its simplest (a menu bar, a status bar, a tab
// widget, labels and a line edit, so that it pays for the first font too),
// closed as soon as it is shown, the way the station is closed in the
// start-up measure.
#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("E&xit"), &window, &QWidget::close);
    window.menuBar()->addMenu(QStringLiteral("&Help"))->addAction(QStringLiteral("&About..."));
    auto* tabs = new QTabWidget(&window);
    for (const char* name : {"Program", "Verify", "Read"}) {
        auto* page = new QWidget(tabs);
        auto* form = new QFormLayout(page);
        form->addRow(new QLabel(QStringLiteral("Device:"), page), new QLineEdit(QStringLiteral("KS24C256"), page));
        form->addRow(new QLabel(QStringLiteral("Data file:"), page), new QLabel(QStringLiteral("<Empty>"), page));
        tabs->addTab(page, QString::fromLatin1(name));
    }
    window.setCentralWidget(tabs);
    window.statusBar()->showMessage(QStringLiteral("Ready"));
    window.resize(626, 452);
    window.show();
    std::fputs("shown\n", stdout);
    std::fflush(stdout);
    QTimer::singleShot(0, &window, &QMainWindow::close);
    return app.exec();
}
