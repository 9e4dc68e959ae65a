// Start-up to the first show of the main window, for the client as main() builds it and for
// the bare dialog floor. The process ends at that show event and prints its peak RSS, so the
// caller's wall clock around the process measures exactly start-up. "floor-idle" shows the
// bare dialog and stays, for the idle CPU floor.
//   qornc_bench_startup client CONFIG_DIR SERVER_PORT NOTIFY_PORT
//   qornc_bench_startup floor | floor-idle
#include <QApplication>
#include <QEvent>

#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "BareDialog.h"
#include "BenchClock.h"
#include "app/CClientApp.h"
#include "ui/MessageBoxes.h"

namespace {

class ExitAtFirstShow : public QObject {
public:
    explicit ExitAtFirstShow(const char* className) : m_className(className) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->inherits(m_className)) {
            std::printf("peak_rss_kib %ld\n", PeakRssKiB());
            std::fflush(stdout);
            ::_exit(0); // teardown is not start-up
        }
        return false;
    }

private:
    const char* m_className;
};

class NoBoxes : public MessageBoxes {
public:
    void Information(QWidget*, const QString& text) override { std::fprintf(stderr, "box: %s\n", qPrintable(text)); }
    void Stop(QWidget*, const QString& text) override { std::fprintf(stderr, "box: %s\n", qPrintable(text)); }
};

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 2)
        return 2;
    const bool client = std::strcmp(argv[1], "client") == 0;
    const bool idle = std::strcmp(argv[1], "floor-idle") == 0;
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ExitAtFirstShow exitAtShow(client ? "CClientDlg" : "QDialog");
    if (!idle)
        application.installEventFilter(&exitAtShow);

    if (client) {
        if (argc < 5)
            return 2;
        NoBoxes boxes;
        ClientAppOptions options;
        options.configDir = argv[2];
        options.serverPort = quint16(std::atoi(argv[3]));
        options.notifyPort = quint16(std::atoi(argv[4]));
        CClientApp app(options, boxes);
        return app.Run();
    }
    BareDialog dialog;
    dialog.show();
    return application.exec();
}
