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

    void add(std::string method, std::string path, Handler handler);
    // The handler's answer; a handler's exception becomes a 500 and a line on standard error.
    Response route(const Request& request) const;

private:
    struct Route {
        std::string method;
        std::string path;
        Handler handler;
    };
    std::vector<Route> m_routes;
};

} // namespace mph::service
