#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

// A tiny HTTP/1.1 server on 127.0.0.1 with canned answers per path. It runs
// in the test's thread: the check's own event loop serves it.
class LoopbackServer : public QObject {
    Q_OBJECT

public:
    struct Reply {
        bool answer = true;      // false: read the request, never answer
        QByteArray head;         // status line and headers, without the blank line
        QByteArray body;
        qint64 sendBytes = -1;   // how much of the body goes out; -1 all
        qint64 declaredLength = -1; // Content-Length; -1 the body's size
        bool closeAfter = true;  // false: keep the connection silent afterwards
        int chunks = 1;          // the body in this many pieces ...
        int intervalMs = 0;      // ... this far apart
    };

    static Reply status(int code, const QByteArray& reason, const QByteArray& body = {},
                        const QList<QByteArray>& headers = {});
    static Reply file(const QByteArray& body);

    bool start();
    void stop();
    QUrl base() const;
    quint16 port() const { return m_port; }
    void route(const QByteArray& path, const Reply& reply) { m_routes.insert(path, reply); }

    // The request heads received, in order.
    QList<QByteArray> requests;
    int chunksSent = 0;

private:
    void accept();
    void serve(class QTcpSocket* socket, const QByteArray& head);

    QTcpServer m_server;
    quint16 m_port = 0;
    QHash<QByteArray, Reply> m_routes;
};
