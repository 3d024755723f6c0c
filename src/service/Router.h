// Router: which handler answers a method and path; 404 for an unknown path, 405 for another method.
#pragma once

#include "service/Request.h"
#include "service/Response.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace mph::service {

class Router {
public:
    using Handler = std::function<Response(const Request&)>;
    // Answers through reply, exactly once, from any thread, at once or later.
    using Reply = std::function<void(Response)>;
    using AsyncHandler = std::function<void(Request, Reply)>;
    // Told when the server stops: first with graceOver false (take nothing more, cancel what waits), then,
    // once the grace time is over, with true (end what still runs, answering it).
    using StopHook = std::function<void(bool graceOver)>;

    // Inline handlers answer at once and run on the HTTP threads; Worker handlers may wait (on the
    // store) and run on the worker threads, so no HTTP thread is held up; Async handlers take the request
    // on the HTTP thread and answer when they are done (the replays, on their own pool).
    enum class Dispatch { Inline, Worker, Async };

    void add(std::string method, std::string path, Handler handler, Dispatch dispatch = Dispatch::Inline);
    // A handler for every path that begins with prefix ("/replay/" takes "/replay/17").
    void addPrefix(std::string method, std::string prefix, Handler handler,
                   Dispatch dispatch = Dispatch::Inline);
    void addAsync(std::string method, std::string path, AsyncHandler handler, StopHook stop = {});
    // The handler's answer; a handler's exception becomes a 500 and a line on standard error.
    Response route(const Request& request) const;
    // Hands the request to its async handler (dispatch() must have said Async).
    void routeAsync(Request request, Reply reply) const;
    // How the handler route() would call is to be run; Inline for the router's own 404 and 405.
    Dispatch dispatch(const Request& request) const;
    void stop(bool graceOver) const;

private:
    struct Route {
        std::string method;
        std::string path;
        Handler handler;
        AsyncHandler async;
        Dispatch dispatch;
        bool prefix = false;
        bool matches(const std::string& path) const;
    };
    const Route* find(const Request& request) const;
    std::vector<Route> m_routes;
    std::vector<StopHook> m_stopHooks;
};

} // namespace mph::service
