#pragma once
// The "tomeric-ie" scheme: pages, pictures, scripts and styles of a web
// browser object load from the publication's included files. An address
// "tomeric-ie:page.htm" of the publication is "tomeric-ie://app/page.htm"
// for the engine; only the file name of the path counts, so a page can
// never reach beyond the publication's files ("../../etc/passwd" asks for
// an included file named "passwd").

#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

namespace tomeric {

inline constexpr char kEmbeddedSchemeName[] = "tomeric-ie";

// The engine's URL for an address as the publication writes it, and back.
QUrl EngineUrl(const QString& address);
QString PublicationAddress(const QUrl& url);
// The base of documents loaded from a text: relative names are included files.
QUrl EmbeddedBaseUrl();

class TEmbeddedFileScheme final : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override;
};

// Installs the handler on the default profile once.
void InstallEmbeddedScheme();

} // namespace tomeric
