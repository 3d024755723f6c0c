// HttpServer: libmicrohttpd set-up, the per-connection state, the deadline watch, request logging and the
// graceful stop.
#include "service/HttpServer.h"

#include "service/Log.h"

#include <microhttpd.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace mph::service {

namespace {

using Clock = std::chrono::steady_clock;

// Where a connection's current request is: waiting for its head (or for the next request), receiving
// its body, or being answered (no deadline of ours applies then).
enum Phase : int { kHead, kBody, kBusy };

constexpr auto kWatchEvery = std::chrono::milliseconds(100);
// Answered at once when the bodies held would pass the budget.
constexpr long kBusyRetrySeconds = 5;

MHD_Result queue(MHD_Connection* c, const Response& response) {
    MHD_Response* r = MHD_create_response_from_buffer(
        response.body.size(), const_cast<char*>(response.body.data()), MHD_RESPMEM_MUST_COPY);
    if (r == nullptr) return MHD_NO;
    MHD_add_response_header(r, MHD_HTTP_HEADER_CONTENT_TYPE, response.contentType.c_str());
    // Whatever a reply holds, a browser runs nothing from elsewhere and never guesses another type for it.
    MHD_add_response_header(r, "Content-Security-Policy", "default-src 'self'");
    MHD_add_response_header(r, "X-Content-Type-Options", "nosniff");
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
    // A client that goes away mid-request is ordinary (and an attacker could flood the log with it).
    if (std::strstr(line, "closed") != nullptr || std::strstr(line, "closure") != nullptr) return;
    log::line("http: %s", line);
}

int64_t nowTicks() {
    return Clock::now().time_since_epoch().count();
}

} // namespace

// What the server knows of one client connection; its current request runs from the URI callback to
// the completion callback (or to the connection's close when the library answered it by itself).
struct HttpServer::Connection {
    ClientAddress peer;
    ClientAddress client;
    bool countedPerKey = false;
    int fd = -1;
    std::string uri;
    std::string method;
    Clock::time_point started;
    bool pending = false;
    bool headSeen = false;
    // A POST's body as it arrives; what went wrong with it; and the bytes of it counted in the budget
    // (held until the request is answered, since the handler keeps the body until then).
    std::string body;
    bool bodyTooLarge = false;
    bool bodyOverBudget = false;
    bool unexpectedBody = false;
    size_t held = 0;
    // The answer a worker left for the request while the connection was suspended.
    std::unique_ptr<Response> ready;
    // Read by the deadline watch.
    std::atomic<int> phase{kHead};
    std::atomic<int64_t> phaseStart{0};
    std::atomic<size_t> phaseBytes{0};
    bool shut = false; // under the connections mutex
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

    static void enter(Connection& connection, Phase phase) {
        connection.phaseStart.store(nowTicks());
        connection.phaseBytes.store(0);
        connection.phase.store(phase);
    }

    static void releaseBody(HttpServer& server, Connection& connection) {
        server.m_buffered.fetch_sub(connection.held);
        connection.held = 0;
        connection.body.clear();
        connection.body.shrink_to_fit();
    }

    static void finish(HttpServer& server, Connection& connection, unsigned status) {
        releaseBody(server, connection);
        if (!connection.pending) return;
        connection.pending = false;
        server.logRequest(connection, status);
        server.m_inFlight.fetch_sub(1);
    }

    static MHD_Result acceptPolicy(void* cls, const sockaddr* addr, socklen_t) {
        auto& server = *static_cast<HttpServer*>(cls);
        const ClientAddress peer = ClientAddress::fromSocket(addr);
        if (server.m_config.perAddressConnections == 0) return MHD_YES;
        if (server.m_haveProxy && peer.key == server.m_proxy.key) return MHD_YES;
        std::lock_guard<std::mutex> guard(server.m_connectionsMutex);
        const auto found = server.m_perKey.find(peer.key);
        const unsigned open = found != server.m_perKey.end() ? found->second : 0;
        return open < server.m_config.perAddressConnections ? MHD_YES : MHD_NO;
    }

    static void notifyConnection(void* cls, MHD_Connection* c, void** socketContext,
                                 MHD_ConnectionNotificationCode code) {
        auto& server = *static_cast<HttpServer*>(cls);
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            auto* connection = new Connection;
            const MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
            connection->peer = ClientAddress::fromSocket(info != nullptr ? info->client_addr : nullptr);
            connection->client = connection->peer;
            const MHD_ConnectionInfo* fd = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CONNECTION_FD);
            connection->fd = fd != nullptr ? fd->connect_fd : -1;
            enter(*connection, kHead);
            {
                std::lock_guard<std::mutex> guard(server.m_connectionsMutex);
                server.m_connections.insert(connection);
                connection->countedPerKey =
                    !(server.m_haveProxy && connection->peer.key == server.m_proxy.key);
                if (connection->countedPerKey) ++server.m_perKey[connection->peer.key];
            }
            *socketContext = connection;
        } else if (auto* connection = static_cast<Connection*>(*socketContext)) {
            finish(server, *connection, statusOf(c));
            {
                // The socket is still open here; once out of the set, the watch never touches it again.
                std::lock_guard<std::mutex> guard(server.m_connectionsMutex);
                server.m_connections.erase(connection);
                if (connection->countedPerKey) {
                    const auto found = server.m_perKey.find(connection->peer.key);
                    if (found != server.m_perKey.end() && --found->second == 0) server.m_perKey.erase(found);
                }
            }
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

    static unsigned long long announcedLength(MHD_Connection* c) {
        const char* length = MHD_lookup_connection_value(c, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
        return length != nullptr ? std::strtoull(length, nullptr, 10) : 0;
    }

    // The client of a request: its peer, or for the trusted proxy the address it forwarded for.
    static ClientAddress clientOf(HttpServer& server, MHD_Connection* c, const Connection& connection) {
        if (!server.m_haveProxy || !(connection.peer.key == server.m_proxy.key)) return connection.peer;
        const char* forwarded = MHD_lookup_connection_value(c, MHD_HEADER_KIND, "X-Forwarded-For");
        if (forwarded == nullptr) return connection.peer;
        // The proxy appends the address it saw; anything before it is the client's own claim.
        std::string_view list = forwarded;
        const size_t comma = list.rfind(',');
        ClientAddress client;
        if (!ClientAddress::fromText(comma == std::string_view::npos ? list : list.substr(comma + 1), client))
            return connection.peer;
        return client;
    }

    static Response overBudget() {
        return Response::retryLater(503, "too many uploads at once; try again later", kBusyRetrySeconds);
    }

    static MHD_Result access(void* cls, MHD_Connection* c, const char* url, const char* method, const char*,
                             const char* upload, size_t* uploadSize, void** requestContext) {
        auto& server = *static_cast<HttpServer*>(cls);
        auto* connection = static_cast<Connection*>(*requestContext);
        if (connection == nullptr) return MHD_NO;
        const Config& config = server.m_config;
        const bool post = std::strcmp(method, MHD_HTTP_METHOD_POST) == 0;
        const bool get = std::strcmp(method, MHD_HTTP_METHOD_GET) == 0;
        // A GET or POST is answered once the library knows the request is complete (a body comes in the
        // calls between), so the connection stays open for the next one. Any other method is answered at
        // once: the library then skips its body and closes the connection.
        if (!connection->headSeen) {
            connection->headSeen = true;
            connection->method = method;
            connection->client = clientOf(server, c, *connection);
            releaseBody(server, *connection);
            connection->bodyTooLarge = connection->bodyOverBudget = connection->unexpectedBody = false;
            enter(*connection, kBody);
            if (get || post) {
                const unsigned long long announced = post ? announcedLength(c) : 0;
                if (announced > config.maxBodyBytes) {
                    enter(*connection, kBusy);
                    return queue(c, Response::text(413, "the request's body is larger than " +
                                                            std::to_string(config.maxBodyBytes) + " bytes"));
                }
                if (announced > 0 && server.m_buffered.load() + announced > config.bodyBudgetBytes) {
                    enter(*connection, kBusy);
                    return queue(c, overBudget());
                }
                return MHD_YES;
            }
        }
        if (*uploadSize > 0) {
            const size_t n = *uploadSize;
            *uploadSize = 0;
            connection->phaseBytes.fetch_add(n);
            if (!post) {
                // A GET has nothing to do with a body: it is read past and the request refused.
                connection->unexpectedBody = true;
            } else if (connection->bodyTooLarge || connection->bodyOverBudget) {
                // Read past; the answer is already decided.
            } else if (connection->body.size() + n > config.maxBodyBytes) {
                connection->bodyTooLarge = true;
                releaseBody(server, *connection);
            } else if (server.m_buffered.fetch_add(n) + n > config.bodyBudgetBytes) {
                server.m_buffered.fetch_sub(n);
                connection->bodyOverBudget = true;
                releaseBody(server, *connection);
            } else {
                connection->held += n;
                connection->body.append(upload, n);
            }
            return MHD_YES;
        }
        enter(*connection, kBusy);
        if (connection->ready) {
            const std::unique_ptr<Response> response = std::move(connection->ready);
            return queue(c, *response);
        }
        if (connection->bodyTooLarge)
            return queue(c, Response::text(413, "the request's body is larger than " +
                                                    std::to_string(config.maxBodyBytes) + " bytes"));
        if (connection->bodyOverBudget) return queue(c, overBudget());
        if (connection->unexpectedBody) return queue(c, Response::text(400, "a GET request takes no body"));
        Request request;
        request.method = method;
        request.path = url;
        const size_t question = connection->uri.find('?');
        if (question != std::string::npos) request.query = connection->uri.substr(question + 1);
        request.client = connection->client;
        if (const char* tags = MHD_lookup_connection_value(c, MHD_HEADER_KIND, "If-None-Match"))
            request.ifNoneMatch = tags;
        request.body = std::move(connection->body);
        connection->body.clear();
        switch (server.m_router.dispatch(request)) {
        case Router::Dispatch::Inline:
            return queue(c, server.m_router.route(request));
        case Router::Dispatch::Worker: {
            // The connection sleeps while a worker runs the handler; once resumed, the library calls this
            // function again and the answer is sent from the branch above.
            MHD_suspend_connection(c);
            std::function<void()> job = [&server, c, connection, request = std::move(request)] {
                connection->ready = std::make_unique<Response>(server.m_router.route(request));
                MHD_resume_connection(c);
            };
            // While stopping, the workers take nothing more: the request is answered here instead.
            if (server.m_workers->post(job) != WorkerPool::Posted::Taken) job();
            return MHD_YES;
        }
        case Router::Dispatch::Async:
            MHD_suspend_connection(c);
            server.m_router.routeAsync(std::move(request), [c, connection](Response response) {
                connection->ready = std::make_unique<Response>(std::move(response));
                MHD_resume_connection(c);
            });
            return MHD_YES;
        }
        return MHD_NO;
    }

    static void completed(void* cls, MHD_Connection* c, void** requestContext, MHD_RequestTerminationCode) {
        auto* connection = static_cast<Connection*>(*requestContext);
        if (connection != nullptr) {
            auto& server = *static_cast<HttpServer*>(cls);
            finish(server, *connection, statusOf(c));
            // The next request on this connection has the head deadline from now.
            enter(*connection, kHead);
        }
        *requestContext = nullptr;
    }
};

HttpServer::HttpServer(const Router& router, const Config& config) : m_router(router), m_config(config) {}

HttpServer::~HttpServer() {
    stop(std::chrono::milliseconds(0));
}

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
    m_haveProxy = !m_config.trustProxy.empty();
    if (m_haveProxy && !ClientAddress::fromText(m_config.trustProxy, m_proxy))
        throw std::runtime_error("--trust-proxy: not an IP address: " + m_config.trustProxy);
    m_workers = std::make_unique<WorkerPool>(m_config.workers);
    m_daemon =
        MHD_start_daemon(flags, m_config.port, &Callbacks::acceptPolicy, this, &Callbacks::access, this,
                         MHD_OPTION_EXTERNAL_LOGGER, &externalLog, nullptr, MHD_OPTION_SOCK_ADDR, addr,
                         MHD_OPTION_THREAD_POOL_SIZE, m_config.threads < 1 ? 1u : m_config.threads,
                         MHD_OPTION_CONNECTION_LIMIT, m_config.maxConnections, MHD_OPTION_CONNECTION_TIMEOUT,
                         m_config.timeoutSeconds, MHD_OPTION_NOTIFY_CONNECTION, &Callbacks::notifyConnection,
                         this, MHD_OPTION_URI_LOG_CALLBACK, &Callbacks::uriLog, this,
                         MHD_OPTION_NOTIFY_COMPLETED, &Callbacks::completed, this, MHD_OPTION_END);
    if (m_daemon == nullptr) {
        m_workers.reset();
        throw std::runtime_error("cannot listen on " + m_config.bind + " port " +
                                 std::to_string(m_config.port));
    }
    const MHD_DaemonInfo* info = MHD_get_daemon_info(m_daemon, MHD_DAEMON_INFO_BIND_PORT);
    m_port = info != nullptr ? info->port : m_config.port;
    m_watchStop = false;
    m_watch = std::thread([this] { watchDeadlines(); });
}

std::string HttpServer::endpoint() const {
    const bool v6 = m_config.bind.find(':') != std::string::npos;
    return (v6 ? "[" + m_config.bind + "]" : m_config.bind) + ":" + std::to_string(m_port);
}

// The library's time-out only counts silence, so a client sending a byte now and then would hold its
// connection for ever. This thread ends every request whose head or body is past its deadline, or whose
// body comes too slowly, by shutting its socket: the library then sees the peer gone and closes it on its
// own thread.
void HttpServer::watchDeadlines() {
    const int64_t second = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)).count();
    const int64_t head = second * m_config.headSeconds, body = second * m_config.bodySeconds;
    const int64_t grace = second * m_config.uploadGraceSeconds;
    std::unique_lock<std::mutex> lock(m_watchMutex);
    while (!m_watchWake.wait_for(lock, kWatchEvery, [this] { return m_watchStop; })) {
        const int64_t now = nowTicks();
        std::lock_guard<std::mutex> guard(m_connectionsMutex);
        for (Connection* c : m_connections) {
            if (c->shut || c->fd < 0) continue;
            const int phase = c->phase.load();
            const int64_t elapsed = now - c->phaseStart.load();
            bool late = false;
            if (phase == kHead) {
                late = elapsed > head;
            } else if (phase == kBody) {
                const double seconds = static_cast<double>(elapsed) / static_cast<double>(second);
                late = elapsed > body || (elapsed > grace && static_cast<double>(c->phaseBytes.load()) <
                                                                 seconds * m_config.minUploadBytesPerSecond);
            }
            if (!late) continue;
            ::shutdown(c->fd, SHUT_RDWR);
            c->shut = true;
            m_deadlineCloses.fetch_add(1);
        }
    }
}

void HttpServer::stop(std::chrono::milliseconds grace) {
    if (m_daemon == nullptr) return;
    m_quiescedFd = MHD_quiesce_daemon(m_daemon);
    // What waits in a queue is answered now; what runs gets the grace time.
    m_router.stop(false);
    const Clock::time_point deadline = Clock::now() + grace;
    while (m_inFlight.load() > 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    m_router.stop(true);
    // No connection may stay suspended when the daemon stops: the workers finish and resume theirs.
    m_workers->stop();
    {
        std::lock_guard<std::mutex> guard(m_watchMutex);
        m_watchStop = true;
    }
    m_watchWake.notify_all();
    if (m_watch.joinable()) m_watch.join();
    MHD_stop_daemon(m_daemon);
    m_daemon = nullptr;
    if (m_quiescedFd >= 0) ::close(m_quiescedFd);
    m_quiescedFd = -1;
}

void HttpServer::logRequest(const Connection& connection, unsigned status) {
    if (m_config.logFd < 0) return;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - connection.started).count();
    const std::string target = log::escaped(connection.uri);
    const std::string method = connection.method.empty() ? "-" : log::escaped(connection.method, 16);
    char line[600];
    const int n = std::snprintf(line, sizeof line, "%s %s %s %u %.1fms", connection.client.text.c_str(),
                                method.c_str(), target.c_str(), status, ms);
    if (n < 0) return;
    log::raw(m_config.logFd, std::string_view(line, std::min(static_cast<size_t>(n), sizeof line - 1)));
}

} // namespace mph::service
