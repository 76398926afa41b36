#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <string>
#include <utility>

#include "platform/sockets.h"

namespace v270::platform {

namespace {

// Winsock counts its users: every socket object holds one start-up, so no process-wide
// initialisation has to be wired anywhere.
class WinsockUse {
  public:
    WinsockUse() {
        WSADATA data{};
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    WinsockUse(const WinsockUse&) = delete;
    WinsockUse& operator=(const WinsockUse&) = delete;
    ~WinsockUse() {
        if (started_)
            WSACleanup();
    }
    bool started() const { return started_; }

  private:
    bool started_ = false;
};

class Socket {
  public:
    explicit Socket(SOCKET socket = INVALID_SOCKET) : socket_(socket) {}
    Socket(Socket&& other) noexcept : socket_(std::exchange(other.socket_, INVALID_SOCKET)) {}
    Socket& operator=(Socket&&) = delete;
    Socket(const Socket&) = delete;
    ~Socket() {
        if (socket_ != INVALID_SOCKET)
            closesocket(socket_);
    }
    SOCKET get() const { return socket_; }
    bool valid() const { return socket_ != INVALID_SOCKET; }

  private:
    SOCKET socket_;
};

// 1 when ready, 0 on timeout, -1 on failure.
int waitFor(SOCKET socket, short events, std::chrono::milliseconds timeout) {
    WSAPOLLFD entry{};
    entry.fd = socket;
    entry.events = events;
    const int result = WSAPoll(&entry, 1, static_cast<INT>(timeout.count()));
    if (result == SOCKET_ERROR)
        return -1;
    return result > 0 ? 1 : 0;
}

void disableCoalescing(SOCKET socket) {
    const BOOL on = TRUE;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

}  // namespace

// The Winsock use is declared first, so that it outlives the socket.
struct TcpStream::Impl {
    std::unique_ptr<WinsockUse> winsock;
    Socket socket;
};

struct TcpListener::Impl {
    std::unique_ptr<WinsockUse> winsock;
    Socket socket;
    uint16_t port = 0;
};

TcpStream::TcpStream(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TcpStream::~TcpStream() = default;

bool TcpStream::sendAll(std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const int chunk = static_cast<int>(std::min<size_t>(bytes.size(), 1u << 20));
        const int sent =
            send(impl_->socket.get(), reinterpret_cast<const char*>(bytes.data()), chunk, 0);
        if (sent <= 0)
            return false;
        bytes = bytes.subspan(static_cast<size_t>(sent));
    }
    return true;
}

Received TcpStream::receiveSome(std::span<uint8_t> buffer, std::chrono::milliseconds timeout) {
    const int ready = waitFor(impl_->socket.get(), POLLRDNORM, timeout);
    if (ready == 0)
        return {ReceiveStatus::Timeout, 0};
    if (ready < 0)
        return {ReceiveStatus::Closed, 0};
    const int capacity = static_cast<int>(std::min<size_t>(buffer.size(), 1u << 20));
    const int got = recv(impl_->socket.get(), reinterpret_cast<char*>(buffer.data()), capacity, 0);
    if (got <= 0)
        return {ReceiveStatus::Closed, 0};
    return {ReceiveStatus::Data, static_cast<size_t>(got)};
}

void TcpStream::shutdown() {
    ::shutdown(impl_->socket.get(), SD_BOTH);
}

TcpListener::TcpListener(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TcpListener::~TcpListener() = default;

std::unique_ptr<TcpListener> TcpListener::listenLoopback(uint16_t port) {
    auto winsock = std::make_unique<WinsockUse>();
    if (!winsock->started())
        return nullptr;
    Socket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!socket.valid())
        return nullptr;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(socket.get(), SOMAXCONN) != 0) {
        return nullptr;
    }
    int length = sizeof address;
    if (getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return nullptr;
    }
    auto impl = std::make_unique<Impl>(
        Impl{std::move(winsock), std::move(socket), ntohs(address.sin_port)});
    return std::make_unique<TcpListener>(std::move(impl));
}

uint16_t TcpListener::port() const {
    return impl_->port;
}

std::unique_ptr<TcpStream> TcpListener::accept(std::chrono::milliseconds timeout) {
    if (waitFor(impl_->socket.get(), POLLRDNORM, timeout) != 1)
        return nullptr;
    auto winsock = std::make_unique<WinsockUse>();
    Socket connection(::accept(impl_->socket.get(), nullptr, nullptr));
    if (!connection.valid())
        return nullptr;
    disableCoalescing(connection.get());
    return std::make_unique<TcpStream>(std::make_unique<TcpStream::Impl>(
        TcpStream::Impl{std::move(winsock), std::move(connection)}));
}

std::unique_ptr<TcpStream> connectTcp(const std::string& host, uint16_t port) {
    auto winsock = std::make_unique<WinsockUse>();
    if (!winsock->started())
        return nullptr;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
        return nullptr;
    }
    std::unique_ptr<TcpStream> stream;
    for (const addrinfo* entry = found; entry != nullptr && !stream; entry = entry->ai_next) {
        Socket socket(::socket(entry->ai_family, entry->ai_socktype, entry->ai_protocol));
        if (!socket.valid())
            continue;
        if (connect(socket.get(), entry->ai_addr, static_cast<int>(entry->ai_addrlen)) != 0) {
            continue;
        }
        disableCoalescing(socket.get());
        stream = std::make_unique<TcpStream>(std::make_unique<TcpStream::Impl>(
            TcpStream::Impl{std::move(winsock), std::move(socket)}));
    }
    freeaddrinfo(found);
    return stream;
}

}  // namespace v270::platform
