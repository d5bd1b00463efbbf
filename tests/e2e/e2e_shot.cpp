// tess-e2e-shot: takes a picture of the X screen or of one window, for the
// end-to-end test and the README's screenshots, judges whether a picture shows
// anything, and waits for a program to catch up with the input sent to it.
//
//   tess-e2e-shot grab OUT.png [WINDOW-ID]   the whole screen, or one window
//   tess-e2e-shot inked IN.png [X Y W H]     exit 0 when the area holds text or lines
//   tess-e2e-shot marked IN.png              prints "X Y W H" of the strongly coloured
//                                            part (a selected cell, a highlighted item)
//   tess-e2e-shot ping WINDOW-ID [SECONDS]   returns once the window's program has handled
//                                            every event sent to it before
//
// "Inked" means: more than one colour, and at least a few hundred dark pixels
// (text, rules, frames) spread over at least a dozen rows. An empty page, a
// black screen or a window that never drew fails.

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScopeGuard>
#include <QScreen>
#include <QSet>

#include <xcb/xcb.h>

#include <poll.h>
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: tess-e2e-shot grab OUT.png [WINDOW-ID]\n"
                 "       tess-e2e-shot inked IN.png [X Y W H]\n"
                 "       tess-e2e-shot marked IN.png\n"
                 "       tess-e2e-shot ping WINDOW-ID [SECONDS]\n");
    return 2;
}

int Grab(const QStringList& args)
{
    if (args.size() < 1 || args.size() > 2) return Usage();
    WId window = 0;
    if (args.size() == 2) {
        bool ok = false;
        window = static_cast<WId>(args.at(1).toULongLong(&ok, 0));
        if (!ok) return Usage();
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        std::fprintf(stderr, "tess-e2e-shot: no screen\n");
        return 1;
    }
    const QPixmap picture = screen->grabWindow(window);
    if (picture.isNull() || !picture.save(args.at(0), "PNG")) {
        std::fprintf(stderr, "tess-e2e-shot: could not grab or save %s\n", qPrintable(args.at(0)));
        return 1;
    }
    return 0;
}

int Inked(const QStringList& args)
{
    if (args.size() != 1 && args.size() != 5) return Usage();
    QImage image(args.at(0));
    if (image.isNull()) {
        std::fprintf(stderr, "tess-e2e-shot: cannot read %s\n", qPrintable(args.at(0)));
        return 1;
    }
    QRect area = image.rect();
    if (args.size() == 5) area = QRect(args.at(1).toInt(), args.at(2).toInt(), args.at(3).toInt(), args.at(4).toInt());
    area &= image.rect();
    image = image.convertToFormat(QImage::Format_RGB32);

    QSet<QRgb> colours;
    qint64 dark = 0;
    int inkedRows = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int rowDark = 0;
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = line[x];
            if (colours.size() < 1000) colours.insert(pixel);
            if (qGray(pixel) < 96) ++rowDark;
        }
        dark += rowDark;
        // A row that is dark from edge to edge is a frame or a black screen, not ink.
        if (rowDark > 0 && rowDark < area.width()) ++inkedRows;
    }
    std::printf("%dx%d area: %lld colours, %lld dark pixels, %d inked rows\n", area.width(), area.height(),
                static_cast<long long>(colours.size()), dark, inkedRows);
    return colours.size() > 1 && dark >= 300 && inkedRows >= 12 ? 0 : 1;
}

int Marked(const QStringList& args)
{
    if (args.size() != 1) return Usage();
    QImage image(args.at(0));
    if (image.isNull()) {
        std::fprintf(stderr, "tess-e2e-shot: cannot read %s\n", qPrintable(args.at(0)));
        return 1;
    }
    image = image.convertToFormat(QImage::Format_RGB32);
    // Windows are grey, black and white; the selection is the one vivid colour.
    QRect marked;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = QColor::fromRgb(line[x]);
            if (colour.hsvSaturation() > 128 && colour.value() > 96) marked |= QRect(x, y, 1, 1);
        }
    }
    if (marked.isEmpty()) {
        std::fprintf(stderr, "tess-e2e-shot: nothing marked in %s\n", qPrintable(args.at(0)));
        return 1;
    }
    std::printf("%d %d %d %d\n", marked.x(), marked.y(), marked.width(), marked.height());
    return 0;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, static_cast<uint16_t>(strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// A window manager asks whether a program still answers with _NET_WM_PING; the
// program sends the message back to the root window when it handles it, after
// every key press and click that reached it before. That makes a barrier
// without any effect on the program: no key, no click, no focus change.
int Ping(const QStringList& args)
{
    if (args.isEmpty() || args.size() > 2) return Usage();
    bool ok = false;
    const auto window = static_cast<xcb_window_t>(args.at(0).toULong(&ok, 0));
    if (!ok) return Usage();
    const double seconds = args.size() == 2 ? args.at(1).toDouble(&ok) : 30.0;
    if (!ok || seconds <= 0) return Usage();

    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "tess-e2e-shot: cannot open the display\n");
        return 1;
    }
    const auto close = qScopeGuard([connection] { xcb_disconnect(connection); });
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    // The answer goes to those who listen to the root window's structure.
    const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t protocols = Atom(connection, "WM_PROTOCOLS");
    const xcb_atom_t ping = Atom(connection, "_NET_WM_PING");

    const uint32_t stamp = static_cast<uint32_t>(::getpid()) ^
                           static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = protocols;
    message.data.data32[0] = ping;
    message.data.data32[1] = stamp;
    message.data.data32[2] = window;
    const xcb_void_cookie_t sent =
        xcb_send_event_checked(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    if (std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(xcb_request_check(connection, sent),
                                                                         &std::free);
        error) {
        std::fprintf(stderr, "tess-e2e-shot: no window 0x%x\n", window);
        return 1;
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        while (std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event{xcb_poll_for_event(connection),
                                                                                &std::free}) {
            if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) continue;
            const auto* answer = reinterpret_cast<const xcb_client_message_event_t*>(event.get());
            if (answer->type == protocols && answer->data.data32[0] == ping && answer->data.data32[1] == stamp)
                return 0;
        }
        if (xcb_connection_has_error(connection)) return 1;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            std::fprintf(stderr, "tess-e2e-shot: window 0x%x did not answer within %g s\n", window, seconds);
            return 1;
        }
        pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
        ::poll(&descriptor, 1, static_cast<int>(std::min<long long>(left.count(), 100)));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return Usage();
    const QString command = QString::fromLocal8Bit(argv[1]);
    if (command != QLatin1String("grab")) {
        QStringList args;
        for (int i = 2; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
        if (command == QLatin1String("inked")) return Inked(args);
        if (command == QLatin1String("marked")) return Marked(args);
        if (command == QLatin1String("ping")) return Ping(args);
        return Usage();
    }
    QGuiApplication app(argc, argv);
    QStringList args = QGuiApplication::arguments().mid(2);
    return Grab(args);
}
