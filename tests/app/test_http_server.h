#pragma once
// A small HTTP server on 127.0.0.1 for the GUI tests: serves fixed responses by path from its own thread.
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

class TestHttpServer {
public:
    struct Response {
        std::string contentType; // the Content-Type header's value
        std::string body;
        int delayMs = 0; // waits this long before answering
    };

    struct Request {
        std::string method, path, body;
    };

    TestHttpServer();
    ~TestHttpServer();

    void Serve(const std::string &path, Response response);
    std::string Url(const std::string &pathAndQuery) const;
    int RequestCount() const { return m_requests; }
    // The last request for this path (empty when there was none).
    Request LastRequest(const std::string &path);

private:
    void Run();
    void Answer(int client);

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_requests{0};
    std::mutex m_mutex;
    std::map<std::string, Response> m_responses;
    std::map<std::string, Request> m_lastRequests;
    std::thread m_thread;
};
