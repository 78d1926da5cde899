#pragma once
// TRuffleFlashEngine: the Flash player of a Flash object, Ruffle inside a
// Qt WebEngine view. The view shows the "tomeric-flash" scheme's player
// page; the movie's bytes are served to it from the player (never from
// outside), the object's properties become Ruffle's configuration, and the
// page reports the movie ready and the movie's fscommand calls.

#include "objects/flash_object.h"

#include <QStringList>
#include <QWebEnginePage>

class QWebEngineView;

namespace tomeric {

class TRufflePage final : public QWebEnginePage {
    Q_OBJECT
public:
    TRufflePage(TFlashEngineEvents& events, QObject* parent);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                          QString* result) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override;

private:
    TFlashEngineEvents& events_;
};

class TRuffleFlashEngine final : public TFlashEngine {
public:
    TRuffleFlashEngine(QWidget* parent, TFlashEngineEvents& events);
    ~TRuffleFlashEngine() override;

    QWidget* View() override;
    void Load(const TFlashPlayback& playback) override;
    void Play() override;
    void Pause() override;
    void Rewind() override;

private:
    // Runs a call of the page's controller, once the page is there.
    void Call(const QString& script);

    QWebEngineView* view_;
    TRufflePage* page_;
    QString token_;
    bool pageReady_ = false;
    QStringList waiting_;
};

// The engine of a Flash object; null when Ruffle is not installed.
TFlashEngine* CreateRuffleFlashEngine(QWidget* parent, TFlashEngineEvents& events);

} // namespace tomeric
