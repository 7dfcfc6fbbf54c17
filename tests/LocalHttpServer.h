// A tiny HTTP/1.0 server on 127.0.0.1 for download tests. Routes:
//   /file.txt  200 with Body()
//   /missing   404
//   /redirect  302 to /file.txt
//   /slow      200, 1 MB announced, 1 KB every 20 ms (for cancelling)
// plus the routes a test sets with SetRoute; Hits counts the requests per path.
// Stops and joins all its threads in the destructor.
#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>
#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace xpmtest {

// Nothing may leave the machine: downloads in tests ignore any proxy of the environment.
inline void UnsetProxies()
{
    for (const char *v : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        qunsetenv(v);
}

class TLocalHttpServer
{
public:
    TLocalHttpServer()
    {
        for (int i = 0; i < 3000; ++i)
            FBody += char('a' + i % 26);
        FSocket = ::socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        ::setsockopt(FSocket, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        if (::bind(FSocket, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(FSocket, 16) != 0)
            return;
        socklen_t len = sizeof addr;
        ::getsockname(FSocket, reinterpret_cast<sockaddr *>(&addr), &len);
        FPort = ntohs(addr.sin_port);
        FAcceptThread = std::thread([this]() { AcceptLoop(); });
    }

    ~TLocalHttpServer()
    {
        FStop = true;
        if (FAcceptThread.joinable())
            FAcceptThread.join();
        std::lock_guard<std::mutex> guard(FMutex);
        for (auto &t : FWorkers)
            t.join();
        if (FSocket >= 0)
            ::close(FSocket);
    }

    int Port() const { return FPort; }
    QString Url(const char *APath) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(FPort).arg(QString::fromLatin1(APath));
    }
    const QByteArray &Body() const { return FBody; }

    // Serves ABody with the HTTP status AStatus under APath from now on.
    void SetRoute(const QByteArray &APath, const QByteArray &ABody, int AStatus = 200)
    {
        std::lock_guard<std::mutex> guard(FRouteMutex);
        FRoutes[APath] = {AStatus, ABody};
    }
    // Requests received for APath so far.
    int Hits(const QByteArray &APath) const
    {
        std::lock_guard<std::mutex> guard(FRouteMutex);
        const auto it = FHits.find(APath);
        return it == FHits.end() ? 0 : it->second;
    }
    int TotalHits() const
    {
        std::lock_guard<std::mutex> guard(FRouteMutex);
        int n = 0;
        for (const auto &h : FHits)
            n += h.second;
        return n;
    }

private:
    void AcceptLoop()
    {
        while (!FStop) {
            pollfd p{FSocket, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const int c = ::accept(FSocket, nullptr, nullptr);
            if (c < 0)
                continue;
            std::lock_guard<std::mutex> guard(FMutex);
            FWorkers.emplace_back([this, c]() { Serve(c); });
        }
    }

    static bool SendAll(int C, const QByteArray &A)
    {
        qsizetype done = 0;
        while (done < A.size()) {
            const ssize_t n = ::send(C, A.constData() + done, size_t(A.size() - done), MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            done += n;
        }
        return true;
    }

    void Serve(int C)
    {
        QByteArray req;
        char buf[1024];
        while (!req.contains("\r\n\r\n") && !FStop) {
            pollfd p{C, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const ssize_t n = ::recv(C, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            req.append(buf, n);
        }
        const QByteArray path = req.split(' ').value(1);
        bool routed = false;
        std::pair<int, QByteArray> route;
        {
            std::lock_guard<std::mutex> guard(FRouteMutex);
            ++FHits[path];
            const auto it = FRoutes.find(path);
            if (it != FRoutes.end()) {
                routed = true;
                route = it->second;
            }
        }
        if (routed) {
            SendAll(C, "HTTP/1.0 " + QByteArray::number(route.first) + (route.first == 200 ? " OK" : " Error") +
                           "\r\nContent-Length: " + QByteArray::number(route.second.size()) + "\r\n\r\n" +
                           route.second);
        } else if (path == "/file.txt") {
            SendAll(C, "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                           QByteArray::number(FBody.size()) + "\r\n\r\n" + FBody);
        } else if (path == "/redirect") {
            SendAll(C, "HTTP/1.0 302 Found\r\nLocation: /file.txt\r\nContent-Length: 0\r\n\r\n");
        } else if (path == "/slow") {
            bool ok = SendAll(C, "HTTP/1.0 200 OK\r\nContent-Length: 1000000\r\n\r\n");
            for (int i = 0; ok && i < 1000 && !FStop; ++i) {
                ok = SendAll(C, QByteArray(1000, 'x'));
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        } else {
            SendAll(C, "HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found");
        }
        ::shutdown(C, SHUT_RDWR);
        ::close(C);
    }

    QByteArray FBody;
    int FSocket = -1;
    int FPort = 0;
    std::atomic<bool> FStop{false};
    std::thread FAcceptThread;
    std::mutex FMutex;
    std::vector<std::thread> FWorkers;
    mutable std::mutex FRouteMutex;
    std::map<QByteArray, std::pair<int, QByteArray>> FRoutes;
    std::map<QByteArray, int> FHits;
};

} // namespace xpmtest
