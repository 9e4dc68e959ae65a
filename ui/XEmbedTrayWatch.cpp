#include "ui/XEmbedTrayWatch.h"

#include <cstdlib>
#include <memory>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

namespace {

// xcb's replies and errors are malloc'ed.
template <class T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;
template <class T> XcbReply<T> Owned(T* reply)
{
    return XcbReply<T>(reply, &std::free);
}

xcb_atom_t Atom(xcb_connection_t* connection, const QByteArray& name)
{
    const auto reply = Owned(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::uint16_t(name.size()), name.constData()), nullptr));
    return reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

int DefaultScreen()
{
    char* host = nullptr;
    int display = 0;
    int screen = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0)
        return 0;
    std::free(host);
    return screen;
}

}  // namespace

XEmbedTrayWatch::XEmbedTrayWatch(QObject* parent)
    : QObject(parent)
{
}

XEmbedTrayWatch::~XEmbedTrayWatch()
{
    if (m_connection != nullptr && QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void XEmbedTrayWatch::Start()
{
    // The offscreen platform answers as an X application too, without a connection.
    const auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (m_connection != nullptr || x11 == nullptr || x11->connection() == nullptr)
        return;
    m_connection = x11->connection();
    m_selection = Atom(m_connection, "_NET_SYSTEM_TRAY_S" + QByteArray::number(DefaultScreen()));
    m_manager = Atom(m_connection, "MANAGER");
    // Qt already listens on the root window for the MANAGER message; every X event passes here first.
    QCoreApplication::instance()->installNativeEventFilter(this);
    FindOwner();
}

bool XEmbedTrayWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & ~0x80) {
    case XCB_CLIENT_MESSAGE: {
        const auto* client = static_cast<const xcb_client_message_event_t*>(message);
        if (client->type == m_manager && client->format == 32 && client->data.data32[1] == m_selection)
            FindOwner();
        break;
    }
    case XCB_DESTROY_NOTIFY:
        if (static_cast<const xcb_destroy_notify_event_t*>(message)->window == m_owner)
            FindOwner();
        break;
    default:
        break;
    }
    return false; // Qt's own tray code needs the same events
}

void XEmbedTrayWatch::FindOwner()
{
    std::uint32_t owner = SelectionOwner();
    // An owner may be destroyed between the question and the watch on it: then ask again.
    for (int tries = 0; owner != XCB_WINDOW_NONE && !WatchDestruction(owner) && tries < 3; ++tries)
        owner = SelectionOwner();
    if (owner == m_owner)
        return;
    m_owner = owner;
    emit changed();
}

std::uint32_t XEmbedTrayWatch::SelectionOwner() const
{
    const auto reply = Owned(
        xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, m_selection), nullptr));
    return reply != nullptr ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
}

// The same mask Qt's tray code puts on the owner window, so neither undoes the other's.
bool XEmbedTrayWatch::WatchDestruction(std::uint32_t window) const
{
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    const auto error = Owned(xcb_request_check(
        m_connection, xcb_change_window_attributes_checked(m_connection, window, XCB_CW_EVENT_MASK, &mask)));
    return error == nullptr;
}
