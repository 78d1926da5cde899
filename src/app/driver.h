#pragma once
// The driver: a script of verbs that plays a publication without a person
// (qxplay5 --drive FILE). One verb a line; blank lines and lines starting
// with "#" are skipped. The verbs run one after the other on the event
// loop, so the publication stays live between them; when the script ends
// the player closes.
//
//   wait MS  |  click NAME  |  rclick NAME  |  dblclick NAME  |  hover NAME
//   key KEY  |  type TEXT   |  answer VALUE |  run ACTION LINE
//   vars FILE  |  screenshot FILE  |  quit

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tomeric {

class TWorkForm;

// A key as the driver writes it ("Ctrl+Shift+PgDn", "Esc", "a"): the Qt key
// and modifiers; nothing when the text names no key.
struct TDriverKey {
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    QString text; // the character typed, for letters and Space
};
std::optional<TDriverKey> ParseDriverKey(const QString& text);

// One line cut into its verb (lower-cased) and the rest.
struct TDriverLine {
    QString verb;
    QString argument;
};
std::optional<TDriverLine> ParseDriverLine(const QString& line);

// The "answer" lines at the top of a script, before any other verb: their
// answers are queued before the publication starts, for the dialogs of the
// start-up (the start password). Returns the answers; `lines` keeps the rest.
QStringList TakeLeadingAnswers(QStringList& lines);

class TDriver : public QObject {
    Q_OBJECT
public:
    // `errors` receives the complaints (unknown verb, no such object...).
    TDriver(TWorkForm& form, QStringList lines, std::function<void(const QString&)> errors);

    // Begins with the first verb on the event loop.
    void Start();

private:
    void Next();
    // Runs one verb; returns the delay before the next one.
    int Perform(const TDriverLine& line);
    void Finish();
    void MouseOn(const QString& verb, const QString& name);
    void PressKey(const QString& keyText);
    void TypeText(const QString& text);
    void WriteVariables(const QString& file);
    void Screenshot(const QString& file);
    void Complain(const QString& text);

    TWorkForm& form_;
    QStringList lines_;
    int position_ = 0;
    bool finished_ = false;
    std::function<void(const QString&)> errors_;
};

} // namespace tomeric
