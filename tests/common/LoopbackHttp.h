#pragma once

#include <QHostAddress>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// A small HTTP server on 127.0.0.1 for one test: answers every request with one status and
// body, or, when silent, takes connections and never answers.
class LoopbackHttp : public QObject {
public:
    int status = 200;
    QByteArray body;
    QByteArray contentType = "text/plain";
    bool silent = false;
    int dripMs = 0; // when set: a long body promised, then one byte every dripMs
    QList<QByteArray> heads; // each request's request line and headers

    LoopbackHttp() {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = m_server.nextPendingConnection()) {
                s->setParent(this);
                connect(s, &QTcpSocket::readyRead, this, [this, s] { serve(s); });
            }
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    // The target of each request line ("/path?query").
    QList<QByteArray> targets() const {
        QList<QByteArray> t;
        for (const QByteArray& h : heads)
            t.append(h.split(' ').value(1));
        return t;
    }

private:
    void serve(QTcpSocket* s) {
        QByteArray& buffer = m_buffers[s];
        buffer += s->readAll();
        const int end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        heads.append(buffer.left(end));
        buffer.clear();
        if (silent)
            return;
        if (dripMs > 0) {
            s->write("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n");
            auto* drip = new QTimer(s);
            connect(drip, &QTimer::timeout, s, [s] { s->write("1"); });
            drip->start(dripMs);
            return;
        }
        const QByteArray reason = status == 200 ? "OK" : "Error";
        s->write("HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\nContent-Type: " + contentType +
                 "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        s->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};
