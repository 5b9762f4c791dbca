// An empty Qt Widgets window: what the window program's start is measured
// against (bench/start/windowstart.sh). With --japanese the window shows one
// line of Japanese text, to tell how much of the difference is text in
// Japanese fonts (the empty window draws no text at all).
#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(480, 360);
    if (argc > 1 && std::strcmp(argv[1], "--japanese") == 0) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(new QLabel(QString::fromUtf8("今日のミルボ 2026年5月6日 (水) 健康 感情 知性 大変良い 良い 普通 まあまあ 頑張って")));
    }
    window.show();
    return QApplication::exec();
}
