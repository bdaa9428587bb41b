#include "test_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

TestHttpServer::TestHttpServer() {
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length);
    m_port = ntohs(address.sin_port);
    listen(m_listener, 16);
    m_thread = std::thread([this] { Run(); });
}

TestHttpServer::~TestHttpServer() {
    m_stop = true;
    m_thread.join();
    close(m_listener);
}

void TestHttpServer::Serve(const std::string &path, Response response) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_responses[path] = std::move(response);
}

std::string TestHttpServer::Url(const std::string &pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + pathAndQuery;
}

void TestHttpServer::Run() {
    // One request at a time, answered on this thread, so that no answer outlives the server.
    while (!m_stop) {
        pollfd waiting{m_listener, POLLIN, 0};
        if (poll(&waiting, 1, 50) <= 0)
            continue;
        if (int client = accept(m_listener, nullptr, nullptr); client >= 0) {
            Answer(client);
            close(client);
        }
    }
}

void TestHttpServer::Answer(int client) {
    // The request line and headers, then as much body as Content-Length says.
    std::string request;
    char buffer[4096];
    size_t headersEnd = std::string::npos, bodySize = 0;
    while (headersEnd == std::string::npos || request.size() < headersEnd + bodySize) {
        ssize_t got = recv(client, buffer, sizeof buffer, 0);
        if (got <= 0)
            return;
        request.append(buffer, static_cast<size_t>(got));
        if (headersEnd == std::string::npos && (headersEnd = request.find("\r\n\r\n")) != std::string::npos) {
            size_t length = request.find("Content-Length: ");
            bodySize = length < headersEnd ? std::stoul(request.substr(length + 16)) : 0;
            headersEnd += 4;
        }
    }
    size_t start = request.find(' ') + 1;
    std::string path = request.substr(start, request.find_first_of(" ?", start) - start);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_lastRequests[path] = {request.substr(0, start - 1), path, request.substr(headersEnd)};
    ++m_requests;
    auto it = m_responses.find(path);
    const bool found = it != m_responses.end();
    const Response response = found ? it->second : Response{};
    lock.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(response.delayMs));
    std::string reply =
        (found ? "HTTP/1.1 200 OK\r\nContent-Type: " + response.contentType : std::string("HTTP/1.1 404 Not Found")) +
        "\r\nContent-Length: " + std::to_string(response.body.size()) + "\r\nConnection: close\r\n\r\n" + response.body;
    for (ssize_t sent = 0, n = 0; static_cast<size_t>(sent) < reply.size(); sent += n)
        if ((n = send(client, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL)) <= 0)
            break;
}

TestHttpServer::Request TestHttpServer::LastRequest(const std::string &path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_lastRequests.find(path);
    return it == m_lastRequests.end() ? Request{} : it->second;
}
