// HttpServer: libmicrohttpd set-up, the per-connection state, request logging and the graceful stop.
#include "service/HttpServer.h"

#include <microhttpd.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <tuple>
#include <utility>

namespace mph::service {

namespace {

using Clock = std::chrono::steady_clock;

// The address as text, and the key the rate limiter counts it under: the address itself for IPv4
// (an IPv4-mapped IPv6 address counts as its IPv4 address), the /64 network for IPv6.
std::pair<std::string, std::string> describeAddress(const sockaddr* addr) {
    char buffer[INET6_ADDRSTRLEN] = "?";
    if (addr != nullptr && addr->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(addr)->sin_addr, buffer, sizeof buffer);
        return {buffer, buffer};
    }
    if (addr == nullptr || addr->sa_family != AF_INET6) return {buffer, buffer};
    const in6_addr& ip = reinterpret_cast<const sockaddr_in6*>(addr)->sin6_addr;
    if (IN6_IS_ADDR_V4MAPPED(&ip)) {
        inet_ntop(AF_INET, ip.s6_addr + 12, buffer, sizeof buffer);
        return {buffer, buffer};
    }
    inet_ntop(AF_INET6, &ip, buffer, sizeof buffer);
    std::string text = buffer;
    in6_addr network{};
    std::memcpy(network.s6_addr, ip.s6_addr, 8);
    inet_ntop(AF_INET6, &network, buffer, sizeof buffer);
    return {text, std::string(buffer) + "/64"};
}

// Printable bytes only and a bounded length, so a hostile path cannot forge or flood log lines.
std::string loggable(std::string_view text) {
    constexpr size_t kMax = 200;
    std::string out;
    for (size_t i = 0; i < text.size() && i < kMax; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        out += b > 0x20 && b < 0x7F ? static_cast<char>(b) : '?';
    }
    if (text.size() > kMax) out += "...";
    return out;
}

MHD_Result queue(MHD_Connection* c, const Response& response) {
    MHD_Response* r = MHD_create_response_from_buffer(
        response.body.size(), const_cast<char*>(response.body.data()), MHD_RESPMEM_MUST_COPY);
    if (r == nullptr) return MHD_NO;
    MHD_add_response_header(r, MHD_HTTP_HEADER_CONTENT_TYPE, response.contentType.c_str());
    for (const auto& [name, value] : response.headers)
        MHD_add_response_header(r, name.c_str(), value.c_str());
    const MHD_Result queued = MHD_queue_response(c, static_cast<unsigned>(response.status), r);
    MHD_destroy_response(r);
    return queued;
}

void externalLog(void*, const char* format, va_list args) {
    char line[512];
    std::vsnprintf(line, sizeof line, format, args);
    size_t n = std::strlen(line);
    while (n > 0 && line[n - 1] == '\n')
        line[--n] = '\0';
    std::fprintf(stderr, "morphella-scored: http: %s\n", line);
}

} // namespace

// What the server knows of one client connection; its current request runs from the URI callback to
// the completion callback (or to the connection's close when the library answered it by itself).
struct HttpServer::Connection {
    std::string address;
    std::string addressKey;
    std::string uri;
    std::string method;
    Clock::time_point started;
    bool pending = false;
    bool headSeen = false;
    // A POST's body as it arrives, and whether it went past the limit.
    std::string body;
    bool bodyTooLarge = false;
    // The answer a worker left for the request while the connection was suspended.
    std::unique_ptr<Response> ready;
};

// The C callbacks of the library, each a thin step into the server.
struct HttpServer::Callbacks {
    static Connection* connectionOf(MHD_Connection* c) {
        const MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
        return info != nullptr ? static_cast<Connection*>(info->socket_context) : nullptr;
    }

    static unsigned statusOf(MHD_Connection* c) {
        const MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_HTTP_STATUS);
        return info != nullptr ? info->http_status : 0;
    }

    static void finish(HttpServer& server, Connection& connection, unsigned status) {
        if (!connection.pending) return;
        connection.pending = false;
        server.logRequest(connection, status);
        server.m_inFlight.fetch_sub(1);
    }

    static void notifyConnection(void* cls, MHD_Connection* c, void** socketContext,
                                 MHD_ConnectionNotificationCode code) {
        auto& server = *static_cast<HttpServer*>(cls);
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            auto* connection = new Connection;
            const MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
            std::tie(connection->address, connection->addressKey) =
                describeAddress(info != nullptr ? info->client_addr : nullptr);
            *socketContext = connection;
        } else if (auto* connection = static_cast<Connection*>(*socketContext)) {
            finish(server, *connection, statusOf(c));
            delete connection;
            *socketContext = nullptr;
        }
    }

    // Called with the raw request target before the library splits off and decodes the query.
    static void* uriLog(void* cls, const char* uri, MHD_Connection* c) {
        auto& server = *static_cast<HttpServer*>(cls);
        Connection* connection = connectionOf(c);
        if (connection == nullptr) return nullptr;
        finish(server, *connection, statusOf(c));
        connection->uri = uri != nullptr ? uri : "";
        connection->method.clear();
        connection->headSeen = false;
        connection->started = Clock::now();
        connection->pending = true;
        server.m_inFlight.fetch_add(1);
        return connection;
    }

    // Whether the head announces a body beyond the limit.
    static bool announcesTooMuch(MHD_Connection* c, size_t limit) {
        const char* length = MHD_lookup_connection_value(c, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
        return length != nullptr && std::strtoull(length, nullptr, 10) > limit;
    }

    static MHD_Result access(void* cls, MHD_Connection* c, const char* url, const char* method, const char*,
                             const char* upload, size_t* uploadSize, void** requestContext) {
        auto& server = *static_cast<HttpServer*>(cls);
        auto* connection = static_cast<Connection*>(*requestContext);
        if (connection == nullptr) return MHD_NO;
        // A GET or POST is answered once the library knows the request is complete (a POST's body comes
        // in the calls between), so the connection stays open for the next one. Any other method is
        // answered at once: the library then skips its body and closes the connection.
        const bool first = !connection->headSeen;
        connection->headSeen = true;
        const bool post = std::strcmp(method, MHD_HTTP_METHOD_POST) == 0;
        if (first && (std::strcmp(method, MHD_HTTP_METHOD_GET) == 0 || post)) {
            connection->body.clear();
            connection->bodyTooLarge = false;
            if (!post || !announcesTooMuch(c, server.m_config.maxBodyBytes)) return MHD_YES;
            connection->bodyTooLarge = true;
        }
        if (post && *uploadSize > 0) {
            if (connection->body.size() + *uploadSize > server.m_config.maxBodyBytes)
                connection->bodyTooLarge = true;
            else
                connection->body.append(upload, *uploadSize);
            *uploadSize = 0;
            return MHD_YES;
        }
        connection->method = method;
        if (connection->bodyTooLarge) {
            connection->body.clear();
            connection->bodyTooLarge = false;
            return queue(c, Response::text(413, "the request's body is larger than " +
                                                    std::to_string(server.m_config.maxBodyBytes) + " bytes"));
        }
        if (connection->ready) {
            const std::unique_ptr<Response> response = std::move(connection->ready);
            return queue(c, *response);
        }
        Request request;
        request.method = method;
        request.path = url;
        const size_t question = connection->uri.find('?');
        if (question != std::string::npos) request.query = connection->uri.substr(question + 1);
        request.address = connection->address;
        request.addressKey = connection->addressKey;
        request.body = std::move(connection->body);
        connection->body.clear();
        if (server.m_router.dispatch(request) == Router::Dispatch::Inline)
            return queue(c, server.m_router.route(request));
        // The connection sleeps while a worker runs the handler; once resumed, the library calls this
        // function again and the answer is sent from the first branch above.
        MHD_suspend_connection(c);
        std::function<void()> job = [&server, c, connection, request = std::move(request)] {
            connection->ready = std::make_unique<Response>(server.m_router.route(request));
            MHD_resume_connection(c);
        };
        // While stopping, the workers take nothing more: the request is answered here instead.
        if (!server.m_workers->post(job)) job();
        return MHD_YES;
    }

    static void completed(void* cls, MHD_Connection* c, void** requestContext, MHD_RequestTerminationCode) {
        auto* connection = static_cast<Connection*>(*requestContext);
        if (connection != nullptr) finish(*static_cast<HttpServer*>(cls), *connection, statusOf(c));
        *requestContext = nullptr;
    }
};

HttpServer::HttpServer(const Router& router, const Config& config) : m_router(router), m_config(config) {}

HttpServer::~HttpServer() { stop(std::chrono::milliseconds(0)); }

void HttpServer::start() {
    sockaddr_in v4{};
    sockaddr_in6 v6{};
    const sockaddr* addr = nullptr;
    unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_USE_ITC |
                     MHD_ALLOW_SUSPEND_RESUME | MHD_USE_ERROR_LOG;
    if (inet_pton(AF_INET, m_config.bind.c_str(), &v4.sin_addr) == 1) {
        v4.sin_family = AF_INET;
        v4.sin_port = htons(m_config.port);
        addr = reinterpret_cast<const sockaddr*>(&v4);
    } else if (inet_pton(AF_INET6, m_config.bind.c_str(), &v6.sin6_addr) == 1) {
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(m_config.port);
        addr = reinterpret_cast<const sockaddr*>(&v6);
        flags |= IN6_IS_ADDR_UNSPECIFIED(&v6.sin6_addr) ? MHD_USE_DUAL_STACK : MHD_USE_IPv6;
    } else {
        throw std::runtime_error("not an IP address: " + m_config.bind);
    }
    m_workers = std::make_unique<WorkerPool>(m_config.workers);
    m_daemon = MHD_start_daemon(
        flags, m_config.port, nullptr, nullptr, &Callbacks::access, this, MHD_OPTION_EXTERNAL_LOGGER,
        &externalLog, nullptr, MHD_OPTION_SOCK_ADDR, addr, MHD_OPTION_THREAD_POOL_SIZE,
        m_config.threads < 1 ? 1u : m_config.threads, MHD_OPTION_CONNECTION_LIMIT, m_config.maxConnections,
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, m_config.perAddressConnections, MHD_OPTION_CONNECTION_TIMEOUT,
        m_config.timeoutSeconds, MHD_OPTION_NOTIFY_CONNECTION, &Callbacks::notifyConnection, this,
        MHD_OPTION_URI_LOG_CALLBACK, &Callbacks::uriLog, this, MHD_OPTION_NOTIFY_COMPLETED,
        &Callbacks::completed, this, MHD_OPTION_END);
    if (m_daemon == nullptr) {
        m_workers.reset();
        throw std::runtime_error("cannot listen on " + m_config.bind + " port " +
                                 std::to_string(m_config.port));
    }
    const MHD_DaemonInfo* info = MHD_get_daemon_info(m_daemon, MHD_DAEMON_INFO_BIND_PORT);
    m_port = info != nullptr ? info->port : m_config.port;
}

std::string HttpServer::endpoint() const {
    const bool v6 = m_config.bind.find(':') != std::string::npos;
    return (v6 ? "[" + m_config.bind + "]" : m_config.bind) + ":" + std::to_string(m_port);
}

void HttpServer::stop(std::chrono::milliseconds grace) {
    if (m_daemon == nullptr) return;
    m_quiescedFd = MHD_quiesce_daemon(m_daemon);
    const Clock::time_point deadline = Clock::now() + grace;
    while (m_inFlight.load() > 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    // No connection may stay suspended when the daemon stops: the workers finish and resume theirs.
    m_workers->stop();
    MHD_stop_daemon(m_daemon);
    m_daemon = nullptr;
    if (m_quiescedFd >= 0) ::close(m_quiescedFd);
    m_quiescedFd = -1;
}

void HttpServer::logRequest(const Connection& connection, unsigned status) {
    if (m_config.logFd < 0) return;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - connection.started).count();
    const size_t question = connection.uri.find('?');
    const std::string path = loggable(std::string_view(connection.uri).substr(0, question));
    const std::string method = connection.method.empty() ? "-" : loggable(connection.method);
    char line[512];
    int n = std::snprintf(line, sizeof line, "%s %s %s %u %.1fms\n", connection.address.c_str(),
                          method.c_str(), path.c_str(), status, ms);
    if (n < 0) return;
    if (static_cast<size_t>(n) >= sizeof line) n = sizeof line - 1;
    // One write per line keeps lines whole when several threads log at once.
    [[maybe_unused]] const ssize_t written = ::write(m_config.logFd, line, static_cast<size_t>(n));
}

} // namespace mph::service
