#pragma once
// A small HTTP server inside the test program: a thread listening on 127.0.0.1 at a port
// the system picks, answering each request with what the test's handler says (a body and
// status, a reply that stalls, one cut short of its announced length, one that trickles a
// byte every 100 ms, or a connection closed without a reply), and keeping every request's
// head for the test to look at.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct HttpTestReply {
    enum Kind { Normal, Stall, Close, Cut, Trickle };
    int status = 200;
    std::string body;
    Kind kind = Normal;
};

class HttpTestServer {
public:
    using Handler = std::function<HttpTestReply(const std::string& target)>;

    explicit HttpTestServer(Handler handler) : handler_(std::move(handler)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        int yes = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = 0;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(listener_, 8);
        socklen_t len = sizeof a;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { Run(); });
    }
    ~HttpTestServer() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    int Port() const { return port_; }
    std::string Url(const std::string& path = "") const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    // The heads of the requests so far: request line and header lines, "\r\n" between.
    std::vector<std::string> Requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

private:
    bool Wait(int fd, short events) {
        pollfd p{fd, events, 0};
        while (!stop_) {
            if (::poll(&p, 1, 50) > 0) return true;
        }
        return false;
    }

    void Run() {
        while (Wait(listener_, POLLIN)) {
            const int c = ::accept(listener_, nullptr, nullptr);
            if (c < 0) continue;
            Serve(c);
            ::close(c);
        }
    }

    void Serve(int c) {
        std::string head;
        char buf[1024];
        while (head.find("\r\n\r\n") == std::string::npos) {
            if (!Wait(c, POLLIN)) return;
            const ssize_t n = ::recv(c, buf, sizeof buf, 0);
            if (n <= 0) return;
            head.append(buf, static_cast<std::size_t>(n));
        }
        head.erase(head.find("\r\n\r\n"));
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(head);
        }
        const std::size_t sp1 = head.find(' ');
        const std::string target = head.substr(sp1 + 1, head.find(' ', sp1 + 1) - sp1 - 1);
        const HttpTestReply reply = handler_(target);
        if (reply.kind == HttpTestReply::Close) return;
        std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " X\r\nContent-Type: text/plain\r\n";
        if (reply.kind == HttpTestReply::Stall) {
            // Promises more than it sends, then goes quiet until the test ends.
            out += "Content-Length: " + std::to_string(reply.body.size() + 1000) + "\r\n\r\n" + reply.body;
            Send(c, out);
            while (!stop_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return;
        }
        if (reply.kind == HttpTestReply::Cut) {
            // Promises more than it sends, then closes the connection.
            out += "Content-Length: " + std::to_string(reply.body.size() + 1000) + "\r\n\r\n" + reply.body;
            Send(c, out);
            return;
        }
        out += "Content-Length: " + std::to_string(reply.body.size()) + "\r\nConnection: close\r\n\r\n";
        if (reply.kind == HttpTestReply::Trickle) {
            Send(c, out);
            for (std::size_t i = 0; i < reply.body.size() && !stop_ && Send(c, reply.body.substr(i, 1)); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            return;
        }
        Send(c, out + reply.body);
    }

    bool Send(int c, const std::string& s) {
        for (std::size_t sent = 0; sent < s.size();) {
            const ssize_t n = ::send(c, s.data() + sent, s.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) return false;
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }

    Handler handler_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};
