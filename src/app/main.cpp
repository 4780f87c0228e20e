#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Velmora (V1.0.000)"));
    window.show();
    return app.exec();
}
