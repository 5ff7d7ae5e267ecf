#include "tests/update/LoopbackServer.h"

#include <QTcpSocket>
#include <QTimer>

#include <memory>

LoopbackServer::Reply LoopbackServer::status(int code, const QByteArray& reason,
                                             const QByteArray& body,
                                             const QList<QByteArray>& headers)
{
    Reply r;
    r.head = "HTTP/1.1 " + QByteArray::number(code) + ' ' + reason;
    for (const QByteArray& h : headers)
        r.head += "\r\n" + h;
    r.body = body;
    return r;
}

LoopbackServer::Reply LoopbackServer::file(const QByteArray& body)
{
    return status(200, "OK", body, {QByteArrayLiteral("Content-Type: application/x-msdownload")});
}

bool LoopbackServer::start()
{
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackServer::accept);
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        return false;
    m_port = m_server.serverPort();
    return true;
}

void LoopbackServer::stop()
{
    m_server.close();
}

QUrl LoopbackServer::base() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port));
}

void LoopbackServer::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        auto pending = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, pending] {
            pending->append(socket->readAll());
            const qsizetype end = pending->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QByteArray head = pending->left(end);
            pending->remove(0, end + 4);
            requests.append(head);
            serve(socket, head);
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void LoopbackServer::serve(QTcpSocket* socket, const QByteArray& head)
{
    const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
    const QByteArray path = requestLine.size() > 1 ? requestLine.at(1) : QByteArray();
    const Reply r = m_routes.value(path, status(404, "Not Found", "no such file"));
    if (!r.answer)
        return;
    const QByteArray body = r.sendBytes < 0 ? r.body : r.body.left(r.sendBytes);
    const qint64 length = r.declaredLength < 0 ? r.body.size() : r.declaredLength;
    socket->write(r.head + "\r\nContent-Length: " + QByteArray::number(length)
                  + "\r\nConnection: close\r\n\r\n");
    const bool closeAfter = r.closeAfter;
    if (r.chunks <= 1) {
        socket->write(body);
        ++chunksSent;
        if (closeAfter)
            socket->disconnectFromHost();
        return;
    }
    auto* timer = new QTimer(socket);
    const qsizetype piece = qMax<qsizetype>(1, (body.size() + r.chunks - 1) / r.chunks);
    auto sent = std::make_shared<qsizetype>(0);
    connect(timer, &QTimer::timeout, socket, [this, socket, timer, body, piece, sent, closeAfter] {
        socket->write(body.mid(*sent, piece));
        *sent += piece;
        ++chunksSent;
        if (*sent >= body.size()) {
            timer->stop();
            if (closeAfter)
                socket->disconnectFromHost();
        }
    });
    timer->start(r.intervalMs);
}
