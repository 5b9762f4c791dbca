// An empty Qt Widgets window: what the window program's start is measured
// against (bench/start/windowstart.sh).
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(480, 360);
    window.show();
    return QApplication::exec();
}
