#pragma once
// A small SMTP server on the loopback interface for SendMail's tests, on the
// test's own event loop. It keeps every transaction (sender, recipients,
// the DATA lines as they arrived) and knows AUTH LOGIN for one user, or,
// with `knowsAuthLogin` false, answers it 502 and takes USER and PASS. With
// a TLS mode it offers STARTTLS or speaks TLS from the first byte, with the
// test certificate of tls_test_identity.h.

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>

#include "tls_test_identity.h"

namespace tomeric::testing {

struct TSmtpTransaction {
    QByteArray from;
    QList<QByteArray> recipients;
    QByteArray data; // CR LF lines, dot-stuffing kept, without the final "."
};

enum class TSmtpTls { None, StartTls, Implicit };

// Hands out TLS-capable sockets, so a connection can switch to TLS midway.
class TTlsCapableListener : public QTcpServer {
protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        socket->setLocalCertificate(TestCertificate());
        socket->setPrivateKey(TestPrivateKey());
        addPendingConnection(socket);
    }
};

class TSmtpTestServer : public QObject {
public:
    explicit TSmtpTestServer(bool knowsAuthLogin = true, TSmtpTls tls = TSmtpTls::None)
        : knowsAuthLogin_(knowsAuthLogin), tls_(tls)
    {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (auto* socket = static_cast<QSslSocket*>(server_.nextPendingConnection())) {
                states_[socket] = {};
                QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
                if (tls_ != TSmtpTls::Implicit) {
                    socket->write("220 test.local ESMTP ready\r\n");
                    continue;
                }
                QObject::connect(socket, &QSslSocket::encrypted, this,
                                 [socket] { socket->write("220 test.local ESMTP ready\r\n"); });
                socket->startServerEncryption();
            }
        });
    }

    quint16 Port() const { return server_.serverPort(); }
    QList<TSmtpTransaction> transactions;
    QList<QByteArray> commands; // every command line, in order
    QList<bool> commandsEncrypted; // whether each command came over TLS
    QByteArray user = "ann", password = "secret";
    // Sent in plain text right behind the answer to STARTTLS, as an attacker
    // on the way could slip it in.
    QByteArray plainAfterStartTls;

private:
    enum class TStep { Command, AuthUser, AuthPassword, Data };
    struct TState {
        TStep step = TStep::Command;
        QByteArray buffer, authUser;
        TSmtpTransaction current;
    };

    void Read(QSslSocket* socket)
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

    void Handle(QSslSocket* socket, TState& state, const QByteArray& line)
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
        commandsEncrypted << socket->isEncrypted();
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
            const bool offersTls = tls_ == TSmtpTls::StartTls && !socket->isEncrypted();
            socket->write(offersTls ? "250-test.local\r\n250-STARTTLS\r\n250 AUTH LOGIN\r\n"
                                    : "250-test.local\r\n250 AUTH LOGIN\r\n");
        } else if (verb == "STARTTLS") {
            socket->write("220 go ahead\r\n" + plainAfterStartTls);
            socket->startServerEncryption();
        } else {
            socket->write("250 ok\r\n"); // HELO, RSET, USER, PASS
        }
    }

    TTlsCapableListener server_;
    bool knowsAuthLogin_;
    TSmtpTls tls_;
    QHash<QSslSocket*, TState> states_;
};

} // namespace tomeric::testing
