#include "windows/simple_dialogs.h"

#include "actions/headless_services.h"
#include "platform/string_table.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace tomeric {

namespace {

constexpr int kMaxButtons = 50;

} // namespace

QString TSimpleDialogs::DisplayText(const QString& text)
{
    QString shown = text;
    shown.replace(QLatin1Char('|'), QLatin1Char('\n'));
    return shown;
}

QString TSimpleDialogs::QtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

QString TSimpleDialogs::Word(TLanguageText which, const QString& builtIn) const
{
    if (settings_ && !settings_->LanguageText(which).isEmpty())
        return settings_->LanguageText(which);
    return builtIn;
}

void TSimpleDialogs::Emit(const QString& name, const QStringList& texts)
{
    QString line = QStringLiteral("DIALOG ") + name;
    for (const QString& text : texts)
        line += QLatin1Char(' ') + QuoteForLine(text);
    sink_(line);
}

std::optional<QString> TSimpleDialogs::NextAnswer()
{
    if (answers_.isEmpty())
        return std::nullopt;
    return answers_.takeFirst();
}

int TSimpleDialogs::ShowQuery(const QString& title, const QString& message, const QString& buttons)
{
    if (Driven()) {
        Emit(QStringLiteral("MessageBox"), {title, message, buttons});
        const auto answer = NextAnswer();
        return answer ? answer->trimmed().toInt() : 0;
    }
    QMessageBox box(parent_);
    box.setWindowTitle(title);
    box.setText(DisplayText(message));
    box.setIcon(buttons.count(QLatin1Char('|')) >= 1 ? QMessageBox::Question : QMessageBox::Information);
    const QStringList captions =
        buttons.isEmpty() ? QStringList() : buttons.split(QLatin1Char('|')).mid(0, kMaxButtons);
    QList<QAbstractButton*> added;
    for (const QString& caption : captions)
        added.append(box.addButton(caption, QMessageBox::AcceptRole));
    if (captions.isEmpty())
        box.setStandardButtons(QMessageBox::NoButton);
    box.exec();
    const qsizetype chosen = added.indexOf(box.clickedButton());
    return chosen < 0 ? 0 : int(chosen + 1);
}

void TSimpleDialogs::AlertBox(const QString& title, const QString& message)
{
    if (Driven()) {
        Emit(QStringLiteral("AlertBox"), {title, message});
        return;
    }
    ShowQuery(title, message, Word(ltOk, Message(202)));
}

int TSimpleDialogs::MessageBox(const QString& title, const QString& message, const QString& buttons)
{
    return ShowQuery(title, message, buttons);
}

std::optional<QString> TSimpleDialogs::InputBox(const QString& title, const QString& prompt,
                                                const QString& current)
{
    if (Driven()) {
        Emit(QStringLiteral("InputBox"), {title, prompt, current});
        return NextAnswer();
    }
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, title, DisplayText(prompt), QLineEdit::Normal,
                                               current, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

std::optional<QString> TSimpleDialogs::FileOpenBox(const QString& title, const QString& filter,
                                                   const QString& initialFolder, const QString& options)
{
    if (Driven()) {
        Emit(QStringLiteral("FileOpenBox"), {title, filter, initialFolder, options});
        return NextAnswer();
    }
    if (options.contains(QLatin1String("MULTIPLE"), Qt::CaseInsensitive)) {
        const QStringList files = QFileDialog::getOpenFileNames(parent_, title, initialFolder, QtFilter(filter));
        if (files.isEmpty())
            return std::nullopt;
        return files.join(QLatin1Char(';'));
    }
    const QString file = QFileDialog::getOpenFileName(parent_, title, initialFolder, QtFilter(filter));
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

std::optional<QString> TSimpleDialogs::FileSaveBox(const QString& title, const QString& filter,
                                                   const QString& defaultName)
{
    if (Driven()) {
        Emit(QStringLiteral("FileSaveBox"), {title, filter, defaultName});
        return NextAnswer();
    }
    const QString file = QFileDialog::getSaveFileName(parent_, title, defaultName, QtFilter(filter));
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

std::optional<QString> TSimpleDialogs::FolderBox(const QString& title, const QString& startFolder)
{
    if (Driven()) {
        Emit(QStringLiteral("FolderBox"), {title, startFolder});
        return NextAnswer();
    }
    const QString folder = QFileDialog::getExistingDirectory(parent_, title, startFolder);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

void TSimpleDialogs::ShowError(const QString& text)
{
    if (Driven()) {
        sink_(QStringLiteral("ERROR ") + QuoteForLine(text));
        return;
    }
    ShowQuery(Word(ltErrorTitle, QStringLiteral("Erreur")), text, Word(ltOk, Message(202)));
}

int TSimpleDialogs::AskPassword(const QString& expected)
{
    const QString title = Word(ltPwordTitle, QStringLiteral("Mot de passe"));
    const QString message = Word(ltPwordMsg, QStringLiteral("Cette publication est protégée par un mot de passe."));
    const QString prompt = Word(ltPwordPrompt, QStringLiteral("Mot de passe :"));
    std::optional<QString> typed;
    if (Driven()) {
        Emit(QStringLiteral("Password"), {title, message, prompt});
        typed = NextAnswer();
    } else {
        bool ok = false;
        const QString text = QInputDialog::getText(parent_, title, DisplayText(message) + QLatin1Char('\n') + prompt,
                                                   QLineEdit::Password, QString(), &ok);
        if (ok)
            typed = text;
    }
    if (!typed || typed->isEmpty())
        return kPasswordCancelled;
    if (typed->compare(expected, Qt::CaseInsensitive) == 0)
        return kPasswordMatched;
    AlertBox(title, Word(ltPwordError, QStringLiteral("Mot de passe incorrect !")));
    return kPasswordWrong;
}

} // namespace tomeric
