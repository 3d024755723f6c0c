// Router: matching a request against the routes in the order they were added.
#include "service/Router.h"

#include <cstdio>
#include <exception>

namespace mph::service {

void Router::add(std::string method, std::string path, Handler handler, Dispatch dispatch) {
    m_routes.push_back({std::move(method), std::move(path), std::move(handler), {}, dispatch, false});
}

void Router::addPrefix(std::string method, std::string prefix, Handler handler, Dispatch dispatch) {
    m_routes.push_back({std::move(method), std::move(prefix), std::move(handler), {}, dispatch, true});
}

bool Router::Route::matches(const std::string& requested) const {
    return prefix ? requested.compare(0, path.size(), path) == 0 : requested == path;
}

void Router::addAsync(std::string method, std::string path, AsyncHandler handler, StopHook stop) {
    m_routes.push_back({std::move(method), std::move(path), {}, std::move(handler), Dispatch::Async, false});
    if (stop) m_stopHooks.push_back(std::move(stop));
}

const Router::Route* Router::find(const Request& request) const {
    for (const Route& route : m_routes)
        if (route.matches(request.path) && route.method == request.method) return &route;
    return nullptr;
}

Router::Dispatch Router::dispatch(const Request& request) const {
    const Route* route = find(request);
    return route != nullptr ? route->dispatch : Dispatch::Inline;
}

void Router::routeAsync(Request request, Reply reply) const {
    const Route* found = find(request);
    if (found == nullptr || !found->async) {
        reply(route(request));
        return;
    }
    try {
        found->async(std::move(request), reply);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "morphella-scored: %s failed: %s\n", found->path.c_str(), e.what());
        reply(Response::text(500, "internal error"));
    }
}

void Router::stop(bool graceOver) const {
    for (const StopHook& hook : m_stopHooks)
        hook(graceOver);
}

Response Router::route(const Request& request) const {
    std::string allowed;
    for (const Route& route : m_routes) {
        if (!route.matches(request.path)) continue;
        if (route.method == request.method && route.handler) {
            try {
                return route.handler(request);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "morphella-scored: %s %s failed: %s\n", request.method.c_str(),
                             route.path.c_str(), e.what());
                return Response::text(500, "internal error");
            }
        }
        if (route.method == request.method) continue;
        if (!allowed.empty()) allowed += ", ";
        allowed += route.method;
    }
    if (allowed.empty()) return Response::text(404, "not found");
    Response r = Response::text(405, "method not allowed");
    r.headers.emplace_back("Allow", allowed);
    return r;
}

} // namespace mph::service
