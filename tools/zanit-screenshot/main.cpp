// zanit-screenshot OUT.png X Y WIDTH HEIGHT: saves that rectangle of the primary screen as a PNG.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "usage: zanit-screenshot OUT.png X Y WIDTH HEIGHT\n");
        return 2;
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        std::fprintf(stderr, "zanit-screenshot: no screen\n");
        return 1;
    }
    const QPixmap shot = screen->grabWindow(0, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                                            std::atoi(argv[5]));
    if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "zanit-screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
