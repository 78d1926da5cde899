#pragma once
// External control: other programs run action lines in the running
// publication and read its variables, over the D-Bus session bus. Each
// running publication owns one service name,
//
//   org.tomeric.Publication.<NAME>     object /org/tomeric/DdeServer
//                                      interface org.tomeric.DdeServer
//
// where NAME is the publication file's name up to its first "." (letters,
// digits and "_" kept, anything else "_"), followed by "_2", "_3" ... when
// another copy holds it already. Methods:
//
//   Execute(macro) -> item   each non-empty line in order: a line starting
//                            with "[" is a variable reference and the item
//                            becomes its value; any other line runs as an
//                            action script (source kind 59)
//   RunAction(text)          runs the text as one action script
//   GetVariable(name) -> s   the value of [name] ("name" or "[name]")
//
// tomeric-remote is the command-line client. Without a session bus the
// player says so once on standard error and runs on without it.

#include <QObject>
#include <QString>

#include <functional>

namespace tomeric {

inline constexpr const char* kExternalServicePrefix = "org.tomeric.Publication.";
inline constexpr const char* kExternalObjectPath = "/org/tomeric/DdeServer";
inline constexpr const char* kExternalInterface = "org.tomeric.DdeServer";

// Whether a session bus can be reached without starting one.
bool SessionBusAddressKnown();

class TExternalControl : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tomeric.DdeServer")

public:
    using ScriptRunner = std::function<void(const QString& text)>;

    explicit TExternalControl(ScriptRunner runScript, QObject* parent = nullptr);
    ~TExternalControl() override;

    // Takes a service name for the publication file; false when there is
    // no session bus (said once on standard error).
    bool Offer(const QString& publicationFile);
    // The service name held; empty when none.
    QString ServiceName() const { return serviceName_; }

    // The D-Bus service name for a publication file (without the suffix
    // that tells copies apart).
    static QString ServiceNameFor(const QString& publicationFile);

public slots:
    Q_SCRIPTABLE QString Execute(const QString& macro);
    Q_SCRIPTABLE void RunAction(const QString& text);
    Q_SCRIPTABLE QString GetVariable(const QString& name);

private:
    void Withdraw();

    ScriptRunner runScript_;
    QString serviceName_;
};

} // namespace tomeric
