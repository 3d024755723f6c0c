// Router: matching a request against the routes in the order they were added.
#include "service/Router.h"

#include <cstdio>
#include <exception>

namespace mph::service {

void Router::add(std::string method, std::string path, Handler handler, Dispatch dispatch) {
    m_routes.push_back({std::move(method), std::move(path), std::move(handler), dispatch});
}

Router::Dispatch Router::dispatch(const Request& request) const {
    for (const Route& route : m_routes)
        if (route.path == request.path && route.method == request.method) return route.dispatch;
    return Dispatch::Inline;
}

Response Router::route(const Request& request) const {
    std::string allowed;
    for (const Route& route : m_routes) {
        if (route.path != request.path) continue;
        if (route.method == request.method) {
            try {
                return route.handler(request);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "morphella-scored: %s %s failed: %s\n", request.method.c_str(),
                             route.path.c_str(), e.what());
                return Response::text(500, "internal error");
            }
        }
        if (!allowed.empty()) allowed += ", ";
        allowed += route.method;
    }
    if (allowed.empty()) return Response::text(404, "not found");
    Response r = Response::text(405, "method not allowed");
    r.headers.emplace_back("Allow", allowed);
    return r;
}

} // namespace mph::service
