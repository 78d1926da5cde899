#pragma once
// A small SMTP server on the loopback interface for SendMail's tests, on the
// test's own event loop. It keeps every transaction (sender, recipients,
// the DATA lines as they arrived) and knows AUTH LOGIN for one user, or,
// with `knowsAuthLogin` false, answers it 502 and takes USER and PASS.

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>

namespace tomeric::testing {

struct TSmtpTransaction {
    QByteArray from;
    QList<QByteArray> recipients;
    QByteArray data; // CR LF lines, dot-stuffing kept, without the final "."
};

class TSmtpTestServer : public QObject {
public:
    explicit TSmtpTestServer(bool knowsAuthLogin = true) : knowsAuthLogin_(knowsAuthLogin)
    {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                states_[socket] = {};
                socket->write("220 test.local ESMTP ready\r\n");
                QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
            }
        });
    }

    quint16 Port() const { return server_.serverPort(); }
    QList<TSmtpTransaction> transactions;
    QList<QByteArray> commands; // every command line, in order
    QByteArray user = "ann", password = "secret";

private:
    enum class TStep { Command, AuthUser, AuthPassword, Data };
    struct TState {
        TStep step = TStep::Command;
        QByteArray buffer, authUser;
        TSmtpTransaction current;
    };

    void Read(QTcpSocket* socket)
    {
        TState& state = states_[socket];
        state.buffer += socket->readAll();
        qsizetype end;
        while ((end = state.buffer.indexOf("\r\n")) >= 0) {
            const QByteArray line = state.buffer.left(end);
            state.buffer.remove(0, end + 2);
            Handle(socket, state, line);
        }
    }

    void Handle(QTcpSocket* socket, TState& state, const QByteArray& line)
    {
        switch (state.step) {
        case TStep::Data:
            if (line == ".") {
                transactions << state.current;
                state.step = TStep::Command;
                socket->write("250 queued\r\n");
            } else {
                state.current.data += line + "\r\n";
            }
            return;
        case TStep::AuthUser:
            state.authUser = QByteArray::fromBase64(line);
            state.step = TStep::AuthPassword;
            socket->write("334 UGFzc3dvcmQ6\r\n");
            return;
        case TStep::AuthPassword:
            state.step = TStep::Command;
            socket->write(state.authUser == user && QByteArray::fromBase64(line) == password
                              ? "235 welcome\r\n" : "535 denied\r\n");
            return;
        case TStep::Command:
            break;
        }
        commands << line;
        const QByteArray verb = line.left(line.indexOf(' ') < 0 ? line.size() : line.indexOf(' ')).toUpper();
        if (verb == "AUTH") {
            if (!knowsAuthLogin_) {
                socket->write("502 not here\r\n");
                return;
            }
            state.step = TStep::AuthUser;
            socket->write("334 VXNlcm5hbWU6\r\n");
        } else if (verb == "MAIL") {
            state.current = {};
            state.current.from = line.mid(line.indexOf('<') + 1).chopped(1);
            socket->write("250 ok\r\n");
        } else if (verb == "RCPT") {
            state.current.recipients << line.mid(line.indexOf('<') + 1).chopped(1);
            socket->write("250 ok\r\n");
        } else if (verb == "DATA") {
            state.step = TStep::Data;
            socket->write("354 go on\r\n");
        } else if (verb == "QUIT") {
            socket->write("221 bye\r\n");
            socket->disconnectFromHost();
        } else if (verb == "EHLO") {
            socket->write("250-test.local\r\n250 AUTH LOGIN\r\n");
        } else {
            socket->write("250 ok\r\n"); // HELO, RSET, USER, PASS
        }
    }

    QTcpServer server_;
    bool knowsAuthLogin_;
    QHash<QTcpSocket*, TState> states_;
};

} // namespace tomeric::testing
