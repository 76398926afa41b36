#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/sockets.h"

namespace v270::platform {

namespace {

// Owns one socket descriptor.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&&) = delete;
    Descriptor(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

  private:
    int fd_;
};

// Waits for `events` on `fd`: 1 when ready, 0 on timeout, -1 on failure.
int waitFor(int fd, short events, std::chrono::milliseconds timeout) {
    pollfd entry{fd, events, 0};
    for (;;) {
        const int result = ::poll(&entry, 1, static_cast<int>(timeout.count()));
        if (result >= 0)
            return result > 0 ? 1 : 0;
        if (errno != EINTR)
            return -1;
    }
}

void disableCoalescing(int fd) {
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

}  // namespace

struct TcpStream::Impl {
    Descriptor socket;
};

struct TcpListener::Impl {
    Descriptor socket;
    uint16_t port = 0;
};

TcpStream::TcpStream(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TcpStream::~TcpStream() = default;

bool TcpStream::sendAll(std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = ::send(impl_->socket.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        bytes = bytes.subspan(static_cast<size_t>(sent));
    }
    return true;
}

Received TcpStream::receiveSome(std::span<uint8_t> buffer, std::chrono::milliseconds timeout) {
    const int ready = waitFor(impl_->socket.get(), POLLIN, timeout);
    if (ready == 0)
        return {ReceiveStatus::Timeout, 0};
    if (ready < 0)
        return {ReceiveStatus::Closed, 0};
    for (;;) {
        const ssize_t got = ::recv(impl_->socket.get(), buffer.data(), buffer.size(), 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return {ReceiveStatus::Closed, 0};
        return {ReceiveStatus::Data, static_cast<size_t>(got)};
    }
}

void TcpStream::shutdown() {
    ::shutdown(impl_->socket.get(), SHUT_RDWR);
}

TcpListener::TcpListener(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TcpListener::~TcpListener() = default;

std::unique_ptr<TcpListener> TcpListener::listenLoopback(uint16_t port) {
    Descriptor socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.valid())
        return nullptr;
    const int on = 1;
    ::setsockopt(socket.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(socket.get(), SOMAXCONN) != 0) {
        return nullptr;
    }
    socklen_t length = sizeof address;
    if (::getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return nullptr;
    }
    auto impl = std::make_unique<Impl>(Impl{std::move(socket), ntohs(address.sin_port)});
    return std::make_unique<TcpListener>(std::move(impl));
}

uint16_t TcpListener::port() const {
    return impl_->port;
}

std::unique_ptr<TcpStream> TcpListener::accept(std::chrono::milliseconds timeout) {
    if (waitFor(impl_->socket.get(), POLLIN, timeout) != 1)
        return nullptr;
    Descriptor connection(::accept4(impl_->socket.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!connection.valid())
        return nullptr;
    disableCoalescing(connection.get());
    return std::make_unique<TcpStream>(
        std::make_unique<TcpStream::Impl>(TcpStream::Impl{std::move(connection)}));
}

std::unique_ptr<TcpStream> connectTcp(const std::string& host, uint16_t port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) {
        return nullptr;
    }
    std::unique_ptr<TcpStream> stream;
    for (const addrinfo* entry = found; entry != nullptr && !stream; entry = entry->ai_next) {
        Descriptor socket(
            ::socket(entry->ai_family, entry->ai_socktype | SOCK_CLOEXEC, entry->ai_protocol));
        if (!socket.valid())
            continue;
        if (::connect(socket.get(), entry->ai_addr, entry->ai_addrlen) != 0)
            continue;
        disableCoalescing(socket.get());
        stream = std::make_unique<TcpStream>(
            std::make_unique<TcpStream::Impl>(TcpStream::Impl{std::move(socket)}));
    }
    ::freeaddrinfo(found);
    return stream;
}

}  // namespace v270::platform
