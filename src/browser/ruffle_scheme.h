#pragma once
// The "tomeric-flash" scheme: everything the page of a Flash object loads
// comes from the player itself, never from the Internet. One origin,
// tomeric-flash://player/, holds
//   /player.html            the page that hosts Ruffle (ruffle_player_page),
//   /ruffle/NAME            Ruffle's scripts and WebAssembly (RuffleFolder),
//   /movie/TOKEN/NAME       the movie an object handed over under TOKEN, or,
//                           for another NAME, the publication's included file
//                           of that name (movies that load other movies).
// Only the file name of a path counts, so nothing beside these is reached.

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

namespace tomeric {

inline constexpr char kRuffleSchemeName[] = "tomeric-flash";

// Before the QApplication exists.
void RegisterRuffleScheme();
// Installs the handler on the default profile once.
void InstallRuffleScheme();

QUrl RufflePlayerPageUrl();
// The movie's bytes are served under a token until forgotten.
QUrl ServeMovie(const QString& token, const QString& name, const QByteArray& movie);
void ForgetMovie(const QString& token);

class TRuffleScheme final : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override;
};

} // namespace tomeric
