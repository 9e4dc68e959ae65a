// Stands in for the desktop on Wayland (a launcher, a notification service): it opens a window,
// which takes the focus, and asks the compositor for COUNT activation tokens, one a line on
// standard output. It runs until it is ended.
// Usage: activation_token_helper COUNT
#include <QGuiApplication>
#include <QRasterWindow>
#include <QtWaylandClient/QWaylandClientExtensionTemplate>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "qwayland-xdg-activation-v1.h"

namespace {

class Activation : public QWaylandClientExtensionTemplate<Activation>, public QtWayland::xdg_activation_v1 {
public:
    Activation()
        : QWaylandClientExtensionTemplate(1)
    {
        initialize();
    }
};

class Token : public QtWayland::xdg_activation_token_v1 {
public:
    using xdg_activation_token_v1::xdg_activation_token_v1;

protected:
    void xdg_activation_token_v1_done(const QString& token) override
    {
        std::printf("%s\n", qPrintable(token));
        std::fflush(stdout);
    }
};

}  // namespace

int main(int argc, char* argv[])
{
    const QGuiApplication app(argc, argv);
    QRasterWindow window;
    window.setTitle(QStringLiteral("token helper"));
    window.resize(200, 100);
    window.show();
    Activation activation;
    if (!activation.isActive()) {
        std::fprintf(stderr, "activation_token_helper: the compositor offers no xdg_activation_v1\n");
        return 1;
    }
    std::vector<std::unique_ptr<Token>> tokens;
    for (int i = argc > 1 ? std::atoi(argv[1]) : 1; i > 0; --i) {
        tokens.push_back(std::make_unique<Token>(activation.get_activation_token()));
        tokens.back()->commit();
    }
    return QGuiApplication::exec();
}
