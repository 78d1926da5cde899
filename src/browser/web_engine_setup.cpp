#include "browser/web_engine_setup.h"

#include "browser/embedded_scheme.h"
#include "browser/ruffle_scheme.h"

#include <QCoreApplication>
#include <QWebEngineUrlScheme>

#include <iostream>

#include <unistd.h>

namespace tomeric {

namespace {

void RegisterEmbeddedScheme()
{
    QWebEngineUrlScheme scheme(kEmbeddedSchemeName);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::CorsEnabled |
                    QWebEngineUrlScheme::LocalAccessAllowed |
                    QWebEngineUrlScheme::ContentSecurityPolicyIgnored);
    QWebEngineUrlScheme::registerScheme(scheme);
}

// Set before the engine starts, said when the first page object uses it,
// so that publications without web pages print nothing.
bool sandboxTurnedOff = false;

void AllowRunningAsRoot()
{
    if (geteuid() != 0 || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        return;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    sandboxTurnedOff = true;
}

} // namespace

void PrepareWebEngine()
{
    RegisterEmbeddedScheme();
    RegisterRuffleScheme();
    AllowRunningAsRoot();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

void WebEngineStarting()
{
    if (!sandboxTurnedOff)
        return;
    sandboxTurnedOff = false;
    std::cerr << "web engine: the player runs as root, so the engine's sandbox is turned off" << std::endl;
}

} // namespace tomeric
