#pragma once
// The services a script reaches in the player window: the message pump on
// Qt's event loop, the publication's subroutines and included files, the
// window metrics behind the built-in variables, and the observer that shows
// the error box when [LastError] is set while ShowErrors is on.

#include "actions/services.h"
#include "vars/builtin_vars.h"
#include "vars/variables.h"

#include <functional>

namespace tomeric {

class TWorkForm;
class TSimpleDialogs;

class TPlayerPump final : public MessagePump {
public:
    explicit TPlayerPump(TWorkForm& form) : form_(form) {}
    void ProcessPendingMessages() override;
    void ProcessEscapeOnly() override;
    void WaitForMessages(int ms, bool urgentOnly) override;
    void DiscardUserInput() override;
    bool ShuttingDown() const override;
    void RestartIdleTimer() override;

private:
    TWorkForm& form_;
};

class TPlayerPublication final : public PublicationAccess {
public:
    explicit TPlayerPublication(TWorkForm& form) : form_(form) {}
    QString SubroutineText() const override;
    QStringList IncludedFiles() const override;
    std::optional<QString> FindIncludedFile(const QString& name) const override;
    QString ResolveFile(const QString& name) const override;
    bool PreviewMode() const override;
    bool SinglePagePreview() const override;
    std::optional<QString> PreviewEmbeddedPath(const QString& embeddedName) const override;
    QString LanguageText(TLanguageText which) const override;

private:
    TWorkForm& form_;
};

// Window questions of the built-in variables; the page questions are
// answered by the page list's host in front of this one.
class TWindowBuiltinHost final : public BuiltinHost {
public:
    explicit TWindowBuiltinHost(TWorkForm& form) : form_(form) {}
    int NextPageIndex() const override;
    QString PageTitle(int pageIndex) const override;
    int PageCount() const override;
    int WindowMetric(Metric metric) const override;
    void SetWindowMetric(Metric metric, int value) override;
    QString WindowState() const override;
    void SetWindowState(const QString& value) override;
    int WindowOrder() const override;
    void SetWindowOrder(int order) override;
    QString PubTitle() const override;
    void SetPubTitle(const QString& title) override;
    QString AppTitle() const override;
    void SetAppTitle(const QString& title) override;
    QString FocusedObject() const override;
    int ScreenWidth() const override;
    int ScreenHeight() const override;
    qint64 ScreenColors() const override;
    quint64 WindowHandle() const override;

private:
    TWorkForm& form_;
};

// Variable changes reach the window: the error box, and the texts that show
// a variable (redrawn through RefreshVariables).
class TWindowVariableObserver final : public VariableObserver {
public:
    TWindowVariableObserver(TWorkForm& form, TSimpleDialogs& dialogs);
    ~TWindowVariableObserver() override;
    void VariableChanged(const QString& bracketedName, const QString& value) override;
    void LastErrorSet(const QString& text, bool showErrorBox) override;

private:
    TWorkForm& form_;
    TSimpleDialogs& dialogs_;
};

} // namespace tomeric
