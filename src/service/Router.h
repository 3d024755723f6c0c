// Router: which handler answers a method and path; 404 for an unknown path, 405 for another method.
#pragma once

#include "service/Request.h"
#include "service/Response.h"

#include <functional>
#include <string>
#include <vector>

namespace mph::service {

class Router {
public:
    using Handler = std::function<Response(const Request&)>;

    // Inline handlers answer at once and run on the HTTP threads; Worker handlers may wait (on the
    // store, on a long check) and run on the worker threads, so no HTTP thread is held up.
    enum class Dispatch { Inline, Worker };

    void add(std::string method, std::string path, Handler handler, Dispatch dispatch = Dispatch::Inline);
    // The handler's answer; a handler's exception becomes a 500 and a line on standard error.
    Response route(const Request& request) const;
    // How the handler route() would call is to be run; Inline for the router's own 404 and 405.
    Dispatch dispatch(const Request& request) const;

private:
    struct Route {
        std::string method;
        std::string path;
        Handler handler;
        Dispatch dispatch;
    };
    std::vector<Route> m_routes;
};

} // namespace mph::service
