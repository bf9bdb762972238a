// The start-up anchor: a bare Qt raster window of the phone's default size that paints one label and
// quits once it has painted, as `norvale --open Settings --quit-after 0` does. It prints how many frames
// it painted so the comparison can check that it did paint.

#include <QGuiApplication>
#include <QPainter>
#include <QRasterWindow>
#include <QTimer>

#include <cstdio>

namespace {

class LabelWindow : public QRasterWindow {
public:
    int frames = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(QRect(QPoint(0, 0), size()), Qt::white);
        painter.setFont(QFont(QString(), 17));
        painter.drawText(QRect(16, 60, width() - 32, 40), Qt::AlignLeft | Qt::AlignVCenter, "Settings");
        ++frames;
        QTimer::singleShot(0, qApp, &QGuiApplication::quit);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    LabelWindow window;
    window.resize(390, 844);
    window.show();
    const int code = app.exec();
    std::printf("frames painted: %d\n", window.frames);
    return code;
}
