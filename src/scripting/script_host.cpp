#include "scripting/script_host.h"

#include "actions/action_eval.h"
#include "actions/command_context.h"
#include "extensions/function_loader.h"
#include "platform/string_table.h"
#include "vars/variables.h"

#include <QJSEngine>
#include <QJSValue>
#include <QObject>

namespace tomeric {

// The object a function body knows as "Publication".
class TPublicationBridge : public QObject {
    Q_OBJECT
public:
    TPublicationBridge(Services& services, const QString& language) : services_(services), language_(language) {}

    Q_INVOKABLE void qxExecAction(const QString& action)
    {
        if (Runs().AbortAll)
            return;
        TActionEval eval(services_, action, 0, skUserFunction, dtScript, language_);
        eval.Run();
    }
    Q_INVOKABLE QString qxGetVar(const QString& name) { return GetVariable(name); }
    Q_INVOKABLE void qxSetVar(const QString& name, const QVariant& value) { SetVariable(name, value.toString()); }

private:
    Services& services_;
    QString language_;
};

namespace {

bool IsJavaScript(const QString& language)
{
    return language.compare(QLatin1String("JScript"), Qt::CaseInsensitive) == 0 ||
           language.compare(QLatin1String("JavaScript"), Qt::CaseInsensitive) == 0;
}

// "Erreur dans le script de la fonction f.js :" CR "ReferenceError: x is not
// defined (ligne 3)".
QString ErrorReport(const QString& functionName, const QJSValue& error)
{
    QString text = Message(msgScriptFailed, functionName) + QLatin1Char('\r') + error.toString();
    const QJSValue line = error.property(QStringLiteral("lineNumber"));
    if (line.isNumber())
        text += QStringLiteral(" (ligne %1)").arg(line.toInt());
    return text;
}

void RunScriptFunction(CommandContext& ctx, const TFunctionLoader& function, const QString& body)
{
    if (!IsJavaScript(function.Language)) {
        ctx.ReportActionError(aeScriptFailed, Message(msgScriptLanguageMissing, function.Language));
        return;
    }
    QJSEngine engine;
    engine.installExtensions(QJSEngine::ConsoleExtension);
    TPublicationBridge bridge(ctx.Svc(), function.Language);
    QJSEngine::setObjectOwnership(&bridge, QJSEngine::CppOwnership);
    engine.globalObject().setProperty(QStringLiteral("Publication"), engine.newQObject(&bridge));
    const QJSValue result = engine.evaluate(body, function.LoadedFunction);
    if (result.isError())
        ctx.ReportActionError(aeScriptFailed, ErrorReport(function.LoadedFunction, result));
}

} // namespace

void InstallScriptFunctions()
{
    SetScriptFunctionRunner(RunScriptFunction);
}

} // namespace tomeric

#include "script_host.moc"
